#pragma once
// The unit's parameters as the offline host presents them: which ones a
// command may set and to what, and the listing `auhost info` prints. The
// unit is asked for names, ranges, defaults, units and value names; only
// the roles below are known to the host. Host main thread.

#include <string>
#include <utility>
#include <vector>

#include "AUHostUnit.h"

namespace host {

enum EHostParam : unsigned {
  kParamActivityState = 2,
  kParamReferenceMode = 3,
  kParamGain = 5,
  kParamMix = 6,
  kParamResetPeakMax = 7,
  kParamMatchPeakMax = 8,
};
enum EActivity { kActivityCapture = 0, kActivityIdle = 1, kActivityProcessing = 2 };

// Buttons that act once when set to 1; no setting for a whole file.
inline bool IsOneShotButton(unsigned id) { return id == kParamResetPeakMax || id == kParamMatchPeakMax; }

struct HostParameter {
  unsigned mId = 0;
  std::string mName;
  float mMin = 0.f, mMax = 0.f, mDefault = 0.f;
  std::string mUnit;                    // "dB", "%", ... or empty
  std::vector<std::string> mValueNames; // for indexed parameters, from the minimum on
  bool mHostSettable = true;            // false: only the plug-in's editor changes it
  bool mWholeNumbers = false;           // indexed, on/off, or a choice by number
};

HostParameter DescribeParameter(const AUHostUnit& unit, unsigned id);

// Empty when `--param id=value` may be applied, else why not. With
// jobDrivesState the activity state and reference mode are the job's.
std::string CheckHostParameter(const AUHostUnit& unit, unsigned id, float value, bool jobDrivesState);

// Empty when the unit's parameter id may take value at all (it exists, the
// value lies in its range, whole where it must be), else why not.
std::string CheckParameterValue(const AUHostUnit& unit, unsigned id, float value);

// Checks and sets each (id, value) in order. Empty on success, else why the
// first one was refused.
std::string SetHostParameters(AUHostUnit& unit, const std::vector<std::pair<unsigned, float>>& params,
                              bool jobDrivesState);

// One line per parameter: id, name, range, default, unit, and what a host
// may do with it.
std::string FormatParameterList(const AUHostUnit& unit);

} // namespace host
