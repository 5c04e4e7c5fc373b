// Sample-rate dependent set-up and the correction filter's rebuild.
#include <algorithm>
#include <cmath>
#include <vector>

#include "LogGrid.h"
#include "ReferenceCurves.h"
#include "Vorelle3.h"

namespace {

constexpr double kGridStartHz = 10.0;
constexpr double kGridTopHz = 22050.0;
constexpr double kTopCorrectionHz = 22000.0;

// A usable rate, or 0 for one that is not finite and positive.
double UsableRate(double fs) { return std::isfinite(fs) && fs > 0.0 ? fs : 0.0; }

} // namespace

void Vorelle3::InitDSP()
{
  mOutput.Prepare(mSampleRate);

  mAnalyser = std::make_unique<CMFFT>();
  mAnalyser->SetNumChannels(mNumInputs);
  mAnalyser->SetBlockSize(mBlockSize);
  mAnalyser->SetSampleRate(mSampleRate);
  mAnalyser->SetParam(CMFFT::kParamFFTSize, mFFTSize);
  mAnalyser->SetParam(CMFFT::kParamBandIndex, mBandIndex);
  mAnalyser->SetParam(CMFFT::kParamMode, mSpectrumMode);

  // The grid does not depend on the rate: a rebuild with the same point
  // count keeps the captured fingerprint and the custom reference.
  const int count = std::max(int(mAnalyser->GetInfo(CMFFT::kInfoGridCount)), 0);
  // The points the capture is mapped onto: six per octave from 10 Hz.
  std::vector<double> grid(size_t(count), 0.0);
  if (CountLogGridPoints(nullptr, 1.0, mBandsPerOctave, kGridStartHz, kGridTopHz) == count)
    FillLogGrid(nullptr, grid.data(), 1.0, mBandsPerOctave, kGridStartHz, kGridTopHz);
  else if (const double* analyserGrid = mAnalyser->GetData(CMFFT::kDataGrid))
    std::copy(analyserGrid, analyserGrid + count, grid.begin());
  mCurves.Rebuild(count, grid.data());

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
  mBuiltInputs.reset(); // an identity filter, whatever the curves say
  mFilterLatency = mFilter->latency;
  mLatency = mADMode == 0 ? 0 : mFilterLatency;
  ++mDSPGeneration;
}

void Vorelle3::ComputeCurves()
{
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
      valid = mCurves.FingerprintValid();
      diff = mCurves.Difference();
      if (valid) {
        fingerprint = mCurves.Fingerprint();
        reference = mCurves.Selected(mReferenceMode, builtIn);
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
    DesignInputs inputs{std::vector<double>(diff.mag, diff.mag + diff.count),
                        design.linearPhase,
                        design.windowImpulse,
                        design.sampleRate,
                        design.impulseLength,
                        design.maxImpulseSize,
                        design.blockSize};
    {
      // The filter in place was designed from these very inputs (a state
      // restored and undone, a reference change without a fingerprint).
      std::lock_guard<std::recursive_mutex> lock(mMutex);
      if (generation == mDSPGeneration && mBuiltInputs && *mBuiltInputs == inputs) {
        SettleNewFilter(diff);
        return;
      }
    }
    auto fresh = std::make_unique<CorrectionFilter>();
    BuildCorrectionFilter(*fresh, design);

    std::lock_guard<std::recursive_mutex> lock(mMutex);
    if (generation != mDSPGeneration)
      continue;
    std::swap(mFilter, fresh);
    mBuiltInputs = std::move(inputs);
    mLinearPhase = design.linearPhase;
    mFilterLatency = mFilter->latency;
    SettleNewFilter(diff);
    ++mDSPGeneration;
    // The replaced filter goes with `fresh`, after the lock is released.
    return;
  }
}

void Vorelle3::SettleNewFilter(const Vorelle3CurveRecord& diff)
{
  if (mFadeOnNextFilter.exchange(false))
    mOutput.RestartFade();
  mCurves.Difference() = diff;
  mLatency = mADMode != 0 ? mFilterLatency : 0;
  mOutput.ResetPeak();
}

void Vorelle3::ReinitDSP()
{
  InitDSP();
  ComputeCurves();
  std::lock_guard<std::recursive_mutex> lock(mMutex);
  IExtPDCHandler::mLatency = mLatency;
  if (GetLatency() != IExtPDCHandler::mLatency)
    UpdateLatency(*this, IExtPDCHandler::mLatency);
}
