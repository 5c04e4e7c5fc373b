#include "OutputStage.h"

#include <algorithm>
#include <cmath>

namespace {

constexpr double kClipFloor = 1e-8;

} // namespace

void OutputStage::Prepare(double fs)
{
  if (!std::isfinite(fs) || fs <= 0.0)
    fs = 0.0;
  // At least one sample: a zero interval would divide by zero in the block.
  mMeterIntervalSamples = std::max(int(kMeterIntervalMs * 0.001 * fs), 1);
  mMeterSampleCount = 0;
  mFadeLength = int(0.25 * fs);
  mFadePos = 0;
  mFadeExponent = 2.0;
  mClipAttackCoef = 0.0; // no attack time: the envelope jumps
  mClipEnvelope = mClipLatch = 0.0;
  mClipState = kClipInitial;
  mClipReleaseCoef = fs > 0.0 ? std::pow(10.0, -1.0 / (0.1 * fs)) : 0.0;
  mClipHoldSamples = static_cast<long long>(2.0 * fs);
}

void OutputStage::NotePeak(double level) { mPeakMax = std::max(mPeakMax, std::fabs(level)); }

void OutputStage::DetectClip(double left, double right)
{
  const double c = (std::fabs(left) > 1.0 || std::fabs(right) > 1.0) ? 1.0 : 0.0;
  mClipLatch = std::max(mClipLatch, c);
  double e = mClipEnvelope;
  if (c > e) {
    e = (e - c) * mClipAttackCoef + c;
    mClipHoldCount = 0;
    mClipState = kClipHold;
  } else if (mClipState == kClipRelease) {
    e = (e - c) * mClipReleaseCoef + c;
  } else if (mClipState == kClipHold) {
    const long long k = mClipHoldCount++;
    if (k >= mClipHoldSamples) {
      mClipState = kClipRelease;
      e = (e - c) * mClipReleaseCoef + c;
    }
  }
  mClipEnvelope = e < kClipFloor ? 0.0 : e;
}

void OutputStage::Process(double* left, double* right, int nFrames, bool processing)
{
  for (int i = 0; i < nFrames; ++i) {
    double l = left[i], r = right[i];
    DetectClip(l, r);
    if (!processing)
      continue;
    mPeakMax = std::max({mPeakMax, std::fabs(l), std::fabs(r)});
    l = std::clamp(l, -1.0, 1.0);
    r = std::clamp(r, -1.0, 1.0);
    if (mFadePos != mFadeLength) {
      ++mFadePos;
      const double f = std::pow(double(mFadePos) / double(mFadeLength), mFadeExponent);
      l *= f;
      r *= f;
    }
    left[i] = l;
    right[i] = r;
  }
}

void OutputStage::CountFrames(int nFrames)
{
  mMeterSampleCount += nFrames;
  if (mMeterSampleCount >= mMeterIntervalSamples) {
    mMeterSampleCount %= mMeterIntervalSamples;
    mMeterUpdatePending = true;
  }
}
