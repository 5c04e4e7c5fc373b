// The audio thread's side: the block, its per-sample stage and the reset.
#include <algorithm>
#include <cmath>

#include "Vorelle3.h"

namespace {

constexpr double kNeperPerDB = 0.11512925464970228;
constexpr int kClipRelease = 4;
constexpr int kClipHold = 1;
constexpr double kClipFloor = 1e-8;

} // namespace

void Vorelle3::ProcessBlock(double** inputs, double** outputs, int nFrames) {
  std::lock_guard<std::recursive_mutex> lock(mMutex);
  if (GetHost() == plugin::kHostProTools && GetLatency() != IExtPDCHandler::mLatency)
    UpdateLatency(*this, IExtPDCHandler::mLatency);
  if (nFrames < 1 || !inputs || !outputs) return;
  ProcessAudio(inputs, outputs, nFrames);

  mMeterSampleCount += nFrames;
  if (mMeterSampleCount >= mMeterIntervalSamples) {
    mMeterSampleCount %= mMeterIntervalSamples;
    mMeterUpdatePending = true;
  }
}

void Vorelle3::ProcessAudio(double** inputs, double** outputs, int nFrames) {
  const double g = mGain <= -144.0 ? 0.0 : std::exp(kNeperPerDB * mGain);
  double* outL = outputs[0];
  double* outR = outputs[1];

  if (mActivityState == kCapture) {
    mAnalyser->ProcessCapture(inputs, outputs, nFrames);
    mFingerprintValid = int(mAnalyser->GetInfo(CMFFT::kInfoReady)) != 0;
  } else if (mActivityState == kIdle || mActivityState == kProcessing) {
    const double w = mActivityState == kIdle ? 0.0 : mMix / 100.0;
    CDividedConvolutionEngine& wetEngine = mFilter->convolver;
    CDividedConvolutionEngine& dryEngine = mFilter->dryDelay;
    wetEngine.Add(inputs, nFrames, 2);
    const int n = std::min(wetEngine.Avail(nFrames, false), nFrames);
    dryEngine.Add(inputs, nFrames, 2);
    const int nd = std::min(dryEngine.Avail(nFrames, false), nFrames);

    // Missing filtered samples lead as silence; a short dry path is zero
    // where it has nothing.
    const int offset = nFrames - n;
    std::fill(outL, outL + offset, 0.0);
    std::fill(outR, outR + offset, 0.0);
    double** wet = wetEngine.Get();
    double** dry = dryEngine.Get();
    double* out[2] = {outL, outR};
    for (int c = 0; c < 2; ++c) {
      const double* wc = wet[c];
      const double* dc = dry[c];
      for (int i = 0; i < n; ++i) {
        const double wetSample = wc ? wc[i] : 0.0;
        const double drySample = dc && i < nd ? dc[i] : 0.0;
        out[c][offset + i] = g * w * wetSample + (1.0 - w) * drySample;
      }
    }
    wetEngine.Advance(n);
    dryEngine.Advance(nd);
  }

  const bool processing = mActivityState == kProcessing;
  for (int i = 0; i < nFrames; ++i) {
    double l = outL[i], r = outR[i];
    const double c = (std::fabs(l) > 1.0 || std::fabs(r) > 1.0) ? 1.0 : 0.0;
    mClipLatch = std::max(mClipLatch, c);
    double e = mClipEnvelope;
    if (c > e) {
      e = (e - c) * mClipAttackCoef + c;
      mClipHoldCount = 0;
      mClipState = kClipHold;
    } else if (mClipState == kClipRelease) {
      e = (e - c) * mClipReleaseCoef + c;
    } else if (mClipState == kClipHold) {
      const int k = mClipHoldCount++;
      if (k >= mClipHoldSamples) {
        mClipState = kClipRelease;
        e = (e - c) * mClipReleaseCoef + c;
      }
    }
    mClipEnvelope = e < kClipFloor ? 0.0 : e;

    if (processing) {
      mPeakMax = std::max({mPeakMax, std::fabs(l), std::fabs(r)});
      l = std::clamp(l, -1.0, 1.0);
      r = std::clamp(r, -1.0, 1.0);
      if (mFadePos != mFadeLength) {
        ++mFadePos;
        const double f = std::pow(double(mFadePos) / double(mFadeLength), mFadeExponent);
        l *= f;
        r *= f;
      }
      outL[i] = l;
      outR[i] = r;
    }
  }
}

void Vorelle3::OnReset() {
  std::lock_guard<std::recursive_mutex> lock(mMutex);
  const double fs = GetSampleRate();
  const int blockSize = GetBlockSize();
  if (fs == mSampleRate && blockSize == mBlockSize) return;
  mSampleRate = fs;
  mBlockSize = blockSize;
  ReinitDSP();
}
