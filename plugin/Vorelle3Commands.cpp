// Reactions to parameter changes and to the editor's action tags.
//
// Host writes may arrive on the render thread: there nothing allocates or
// touches the editor, and work that would (finishing a capture, rebuilding
// the filter, the editor's labels) is left to the next idle tick.
#include <algorithm>
#include <cmath>

#include "IGraphics.h"
#include "MainThread.h"
#include "Vorelle3.h"

using namespace plugin;
using plugin::igraphics::IGraphics;

namespace {

constexpr double kDBPerNeper = 8.685889638065037;
constexpr double kSilentLevel = 6.309e-8;

// Tags of the editor's buttons, menus and file pickers.
enum EActionTag {
  kTagAbout = 11,
  kTagCheckUpdate = 12,
  kTagLoadPreset = 14,
  kTagSavePreset = 15,
  kTagSaveDefaultPreset = 16,
  kTagScanPresets = 17,
  kTagTakeDrawScale = 20,
  kTagScaleOne = 21,
  kTagScaleMin = 22,
  kTagLoadFingerprint = 23,
  kTagSaveFingerprint = 24,
  kTagLoadReference = 25,
  kTagSaveReference = 26,
  kTagFixedScale = 28,
  kLastActionTag = 35,
};

bool HostReportsLatencyAtOnce(int host, int hostVersion)
{
  switch (host) {
  case kHostFLStudio:
  case kHostLogic:
  case kHostGarageBand:
  case kHostStudioOne:
  case kHostWaveform:
  case kHostSadie: return true;
  case kHostAbletonLive: return hostVersion == 0;
  default: return false;
  }
}

} // namespace

bool Vorelle3::OnMainThread() const { return plugin::IsMainThread(); }

void Vorelle3::OnParamChange(int paramIdx, EParamSource source, int)
{
  switch (source) {
  case kReset:
  case kPresetRecall:
  case kUI: break;
  case kHost:
    if (const IParam* p = GetParam(paramIdx); p && !p->GetCanAutomate())
      return;
    break;
  default: return;
  }

  if (paramIdx >= 0 && paramIdx < kNumParams)
    ParameterChanged(paramIdx, GetParam(paramIdx)->Value());
  else if (paramIdx >= kNumParams && paramIdx <= kLastActionTag)
    ActionTag(paramIdx);

  // A filter a restore left for later is designed before the host can
  // render with this change (Initialize's reset among them); Initialize also
  // hands the latency over at once, since a reset before the host was
  // identified (the maximum frames) could not.
  if (OnMainThread() && !mRestoring)
    RunDeferredWork();
  HandOverLatency(source == kReset);
}

void Vorelle3::HandOverLatency(bool now)
{
  int latency;
  {
    std::lock_guard<std::recursive_mutex> lock(mMutex);
    mLatency = mADMode != 0 ? mFilterLatency : 0;
    latency = mLatency;
  }
  IExtPDCHandler::mLatency = latency;
  if ((now || HostReportsLatencyAtOnce(GetHost(), GetHostVersion(false))) && GetLatency() != latency)
    UpdateLatency(*this, latency);
}

void Vorelle3::ParameterChanged(int paramIdx, double value)
{
  switch (paramIdx) {
  case kGUIScale:
    if (value != mGUIScale) {
      mGUIScale = value;
      mGUIResizePending = true;
    }
    break;
  case kTooltips:
    if (int(value) != mTooltips) {
      mTooltips = int(value);
      if (IGraphics* ui = OnMainThread() ? GetUI() : nullptr)
        ui->EnableTooltips(value > 0);
    }
    break;
  case kActivityState: {
    const int state = int(value);
    const int old = mActivityState;
    if (state == old)
      break;
    mActivityState = state;
    if (old == kCapture)
      FinishCapture();
    else if (state == kCapture)
      StartCapture();
    RequestLabelUpdate();
    break;
  }
  case kReferenceMode: {
    const int r = int(std::floor(value + 0.5));
    if (r != mReferenceMode) {
      mReferenceMode = r;
      // The output fades in again when the filter for the new reference
      // takes over, which may be an idle tick later.
      mFadeOnNextFilter = true;
      RequestCurves();
    }
    break;
  }
  case kADMode:
    if (int(value) != mADMode) {
      mADMode = int(value);
      RequestCurves();
    }
    break;
  case kGain:
    if (value != mGain) {
      mGain = value;
      std::lock_guard<std::recursive_mutex> lock(mMutex);
      mOutput.ResetPeak();
    }
    break;
  case kMix: mMix = value; break;
  case kResetPeakMax:
    if (int(value) != mResetPeakMax) {
      mResetPeakMax = int(value);
      if (mResetPeakMax == 1) {
        std::lock_guard<std::recursive_mutex> lock(mMutex);
        mOutput.ResetPeak();
      }
    }
    break;
  case kMatchPeakMax:
    if (int(value) != mMatchPeakMax) {
      mMatchPeakMax = int(value);
      if (mMatchPeakMax == 1)
        MatchPeakMax();
    }
    break;
  case kOnlineUpdateCheck: mOnlineUpdateCheck = int(value); break;
  default: break;
  }
}

void Vorelle3::MatchPeakMax()
{
  double peak;
  {
    std::lock_guard<std::recursive_mutex> lock(mMutex);
    peak = mOutput.PeakMax();
  }
  // Without a measured peak there is nothing to match: a silent level would
  // raise the gain by 144 dB.
  if (std::fabs(peak) <= kSilentLevel)
    return;
  mGain = mGain - std::log(std::fabs(peak)) * kDBPerNeper;
  SetParamValueAndNotify(kGain, mGain, false);
  std::lock_guard<std::recursive_mutex> lock(mMutex);
  mOutput.ResetPeak();
}

void Vorelle3::ActionTag(int tag)
{
  IGraphics* ui = OnMainThread() ? GetUI() : nullptr;
  switch (tag) {
  case kTagAbout:
    if (ui && !mAboutPending)
      mAboutPending = true;
    break;
  case kTagCheckUpdate:
    if (ui && !mUpdateCheckPending)
      mUpdateCheckPending = true;
    break;
  case kTagLoadPreset:
  case kTagSavePreset:
  case kTagSaveDefaultPreset:
  case kTagScanPresets:
    if (ui)
      PresetAction(tag);
    break;
  case kTagTakeDrawScale:
    if (ui) {
      mGUIScale = ui->GetDrawScale();
      SetParamValueAndNotify(kGUIScale, mGUIScale, false);
    }
    break;
  case kTagScaleOne: SetGUIScaleAndResize(1.0); break;
  case kTagScaleMin: SetGUIScaleAndResize(GetParam(kGUIScale)->GetMin()); break;
  case kTagLoadFingerprint:
  case kTagSaveFingerprint:
  case kTagLoadReference:
  case kTagSaveReference:
    if (OnMainThread())
      FileAction(tag);
    break;
  case kTagFixedScale:
    if (const IParam* fixed = mExtraParams.Get(kTagFixedScale - mGUIScaleMenuTag))
      SetGUIScaleAndResize(GetFixedGUIScale(int(fixed->Value())));
    break;
  default: break;
  }
}

void Vorelle3::SetGUIScaleAndResize(double scale)
{
  mGUIScale = scale;
  SetParamValueAndNotify(kGUIScale, mGUIScale, false);
  mGUIResizePending = true;
}

double Vorelle3::GetFixedGUIScale(int index) const
{
  static constexpr double kScales[] = {0.0, 0.75, 1.0, 1.25, 1.5, 1.75, 2.0, 2.25, 2.5, 2.75, 0.0};
  const IParam* scale = GetParam(kGUIScale);
  if (index == 0)
    return scale->GetMin();
  if (index == 10)
    return scale->GetMax();
  if (index > 0 && index < 10)
    return kScales[index];
  return scale->GetDefault();
}

void Vorelle3::SetParamValueAndNotify(int paramIdx, double value, bool normalized)
{
  IParam* param = GetParam(paramIdx);
  if (!param || !std::isfinite(value))
    return;
  double normalizedValue;
  if (normalized) {
    if (param->GetNormalized() == value)
      return;
    normalizedValue = value;
  } else {
    if (param->Value() == value)
      return;
    normalizedValue = param->ToNormalized(value);
  }
  SetParameterValue(paramIdx, normalizedValue, true);
  // The editor is told directly only on its own thread; elsewhere the value
  // goes through the queue the timer drains.
  if (OnMainThread())
    SendParameterValueFromDelegate(paramIdx, value, normalized);
  else
    SendParameterValueFromAPI(paramIdx, value, normalized);
}

// ---------------------------------------------------------------------------
// Capture

bool Vorelle3::FinishCapture()
{
  if (!OnMainThread()) {
    mDeferredWork.fetch_or(kDeferFinishCapture);
    return false;
  }
  mDeferredWork.fetch_and(~unsigned(kDeferFinishCapture));
  std::vector<double> mapped;
  bool ok;
  {
    std::lock_guard<std::recursive_mutex> lock(mMutex);
    ok = mAnalyser && MapAnalyserOntoGrid(*mAnalyser, mSampleRate, mapped);
    // The flag stays as the last capture block left it.
    if (ok)
      std::copy(mapped.begin(), mapped.begin() + long(std::min(mapped.size(), size_t(mCurves.Fingerprint().count))),
                mCurves.Fingerprint().mag);
  }
  if (ok)
    ComputeCurves();
  return ok;
}

void Vorelle3::StartCapture()
{
  // A finish still waiting for the idle tick belongs to the capture that
  // this one replaces.
  mDeferredWork.fetch_and(~unsigned(kDeferFinishCapture));
  std::lock_guard<std::recursive_mutex> lock(mMutex);
  mCurves.ClearFingerprint();
  if (mAnalyser)
    mAnalyser->SetParam(CMFFT::kParamReset, 0.0);
}

void Vorelle3::RequestCurves()
{
  if (OnMainThread() && !mRestoring)
    ComputeCurves();
  else
    mDeferredWork.fetch_or(kDeferCurves);
}

void Vorelle3::RequestLabelUpdate()
{
  if (OnMainThread())
    UpdateCustomStyleLabel();
  else
    mDeferredWork.fetch_or(kDeferLabel);
}

void Vorelle3::RunDeferredWork()
{
  const unsigned work = mDeferredWork.exchange(0);
  const bool rebuilt = (work & kDeferFinishCapture) && FinishCapture();
  if ((work & kDeferCurves) && !rebuilt)
    ComputeCurves();
  if (work & kDeferLabel)
    UpdateCustomStyleLabel();
  if (work & (kDeferFinishCapture | kDeferCurves))
    HandOverLatency(false);
}
