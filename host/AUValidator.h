#pragma once
// The host's validation of a bundle's effect unit, through the exported
// doors and the AudioUnit calls only: opening and closing by both doors,
// Lookup, a property sweep, parameters, formats, lifecycle, render (slices,
// null buffers, bypass, pulls, refusals, notifications, upstream units,
// parameters written from another thread), class info and factory presets.
// Each check opens its own unit, so one failure does not hide another.
// Main thread (one check starts a second thread of its own).

#include <functional>
#include <string>
#include <vector>

#include "AUBundle.h"
#include "AUHostUnit.h"

namespace host {

struct CheckResult {
  std::string mName;
  bool mPassed = false;
  bool mSkipped = false; // nothing to check: neither passed nor failed
  std::string mDetail;   // what went wrong, or why it was skipped
};

class AUValidator {
public:
  static constexpr double kSampleRate = 44100.0;
  static constexpr UInt32 kMaxFrames = 1024;

  explicit AUValidator(const AUBundle& bundle) : mBundle(bundle) {}

  // Runs every check in order; onResult hears each as it finishes.
  std::vector<CheckResult> Run(const std::function<void(const CheckResult&)>& onResult = {});
  // The names of the checks, in running order.
  static std::vector<std::string> CheckNames();
  // Runs one check by name ("" detail when it passed).
  CheckResult RunCheck(const std::string& name);

private:
  using Check = std::string (AUValidator::*)();
  struct Entry {
    const char* mName;
    Check mCheck;
  };
  static const std::vector<Entry>& Checks();

  // Opens a unit with a stereo float format at kSampleRate and kMaxFrames.
  std::string OpenConfigured(AUHostUnit& unit, EDoor door = EDoor::kFactory);
  // The same, fed by the source signal through a render callback, initialized.
  std::string OpenRendering(AUHostUnit& unit);

  std::string CheckDoors();
  std::string CheckLookup();
  std::string CheckPropertySweep();
  std::string CheckShortBuffers();
  std::string CheckParameterInfo();
  std::string CheckParameterIds();
  std::string CheckChannelCounts();
  std::string CheckMaxFrames();
  std::string CheckLifecycle();
  std::string CheckRenderSlices();
  std::string CheckNullBuffers();
  std::string CheckBypass();
  std::string CheckPullOnce();
  std::string CheckRefusedRenders();
  std::string CheckRenderNotify();
  std::string CheckUpstream(bool fastDispatch);
  std::string CheckUpstreamFast() { return CheckUpstream(true); }
  std::string CheckUpstreamTable() { return CheckUpstream(false); }
  std::string CheckClassInfo();
  std::string CheckWrongClassInfo();
  std::string CheckPresets();
  std::string CheckFactoryPresets();
  std::string CheckViewFactory();
  std::string CheckThreadedParameters();

  const AUBundle& mBundle;
  std::string mSkipReason; // set by a check that found nothing to check
};

} // namespace host
