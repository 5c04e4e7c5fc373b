// Sample-rate dependent set-up and the correction filter's rebuild.
#include <algorithm>
#include <cmath>

#include "LogGrid.h"
#include "ReferenceCurves.h"
#include "Vorelle3.h"

namespace {

constexpr double kGridStartHz = 10.0;
constexpr double kGridTopHz = 22050.0;
constexpr double kTopCorrectionHz = 22000.0;

// A usable rate, or 0 for one that is not finite and positive.
double UsableRate(double fs) {
  return std::isfinite(fs) && fs > 0.0 ? fs : 0.0;
}

} // namespace

void Vorelle3::InitDSP() {
  const double fs = UsableRate(mSampleRate);

  mMeterIntervalSamples = std::max(int(mMeterIntervalMs * 0.001 * fs), 1);
  mMeterSampleCount = 0;
  mFadeLength = int(0.25 * fs);
  mFadePos = 0;
  mFadeExponent = 2.0;
  mClipAttackCoef = 0.0;  // no attack time: the envelope jumps
  mClipEnvelope = mClipLatch = 0.0;
  mClipState = 0;
  mClipReleaseCoef = fs > 0.0 ? std::pow(10.0, -1.0 / (0.1 * fs)) : 0.0;
  mClipHoldSamples = int(2.0 * fs);

  mAnalyser = std::make_unique<CMFFT>();
  mAnalyser->SetNumChannels(mNumInputs);
  mAnalyser->SetBlockSize(mBlockSize);
  mAnalyser->SetSampleRate(mSampleRate);
  mAnalyser->SetParam(CMFFT::kParamFFTSize, mFFTSize);
  mAnalyser->SetParam(CMFFT::kParamBandIndex, mBandIndex);
  mAnalyser->SetParam(CMFFT::kParamMode, mSpectrumMode);

  // The grid does not depend on the rate: a rebuild with the same point
  // count keeps the captured fingerprint and the custom reference.
  const int count = int(mAnalyser->GetInfo(CMFFT::kInfoGridCount));
  if (!mFingerprint || !mDiffCurve || !mCustomReference || int(mFingerprint->count) != count) {
    mFingerprint = std::make_unique<Vorelle3CurveRecord>();
    mDiffCurve = std::make_unique<Vorelle3CurveRecord>();
    mCustomReference = std::make_unique<Vorelle3CurveRecord>();
    mFingerprint->Resize(count);
    // The points the capture is mapped onto: six per octave from 10 Hz.
    if (CountLogGridPoints(nullptr, 1.0, mBandsPerOctave, kGridStartHz, kGridTopHz) == count)
      FillLogGrid(nullptr, mFingerprint->freq, 1.0, mBandsPerOctave, kGridStartHz, kGridTopHz);
    else if (const double* grid = mAnalyser->GetData(CMFFT::kDataGrid))
      std::copy(grid, grid + count, mFingerprint->freq);
    *mDiffCurve = *mFingerprint;
    CopyReferenceCurve(0, *mCustomReference);
    mFingerprintValid = mCustomRefValid = false;
    mCustomRefName.Set("(None)");
  }

  mLinearPhase = mADMode != 0;
  auto filter = std::make_unique<CorrectionFilter>();
  CorrectionDesign design;
  design.linearPhase = mLinearPhase;
  design.windowImpulse = mWindowImpulse;
  design.sampleRate = GetSampleRate();
  design.impulseLength = mImpulseLength;
  design.maxImpulseSize = mMaxImpulseSize;
  design.blockSize = mBlockSize;
  BuildCorrectionFilter(*filter, design);
  mFilter = std::move(filter);
  mFilterLatency = mFilter->latency;
  mLatency = mADMode == 0 ? 0 : mFilterLatency;
  ++mDSPGeneration;
}

const Vorelle3CurveRecord& Vorelle3::SelectedReference(Vorelle3CurveRecord& builtIn) const {
  if (mReferenceMode == kCustomReference && mCustomReference) return *mCustomReference;
  const int mode = mReferenceMode;
  const int index = mode >= 1 && mode <= 3 ? mode : 0;
  CopyReferenceCurve(index, builtIn);
  return builtIn;
}

void Vorelle3::ComputeCurves() {
  // The design takes far longer than an audio block: inputs are copied under
  // the lock, the filter is built outside it and swapped in under it. A
  // rebuild that happened meanwhile (InitDSP, another ComputeCurves) makes
  // this one start over from the new state.
  for (;;) {
    Vorelle3CurveRecord fingerprint, reference, diff, builtIn;
    bool valid;
    unsigned generation;
    CorrectionDesign design;
    {
      std::lock_guard<std::recursive_mutex> lock(mMutex);
      generation = mDSPGeneration;
      valid = mFingerprintValid && mFingerprint;
      if (mDiffCurve) diff = *mDiffCurve;
      if (valid) {
        fingerprint = *mFingerprint;
        reference = SelectedReference(builtIn);
      }
      design.linearPhase = mADMode != 0;
      design.windowImpulse = mWindowImpulse;
      design.sampleRate = GetSampleRate();
      design.impulseLength = mImpulseLength;
      design.maxImpulseSize = mMaxImpulseSize;
      design.blockSize = mBlockSize;
    }

    if (valid) {
      const double fmax = std::min(0.5 * UsableRate(design.sampleRate), kTopCorrectionHz);
      ComputeDifferenceCurve(reference, fingerprint, fmax, diff);
    }
    design.diff = &diff;
    auto fresh = std::make_unique<CorrectionFilter>();
    BuildCorrectionFilter(*fresh, design);

    std::lock_guard<std::recursive_mutex> lock(mMutex);
    if (generation != mDSPGeneration) continue;
    std::swap(mFilter, fresh);
    if (mDiffCurve) *mDiffCurve = diff;
    mLinearPhase = design.linearPhase;
    mFilterLatency = mFilter->latency;
    mLatency = mADMode != 0 ? mFilterLatency : 0;
    mPeakMax = 0.0;
    ++mDSPGeneration;
    // The replaced filter goes with `fresh`, after the lock is released.
    return;
  }
}

void Vorelle3::ReinitDSP() {
  InitDSP();
  ComputeCurves();
  std::lock_guard<std::recursive_mutex> lock(mMutex);
  IExtPDCHandler::mLatency = mLatency;
  if (GetLatency() != IExtPDCHandler::mLatency) UpdateLatency(*this, IExtPDCHandler::mLatency);
}
