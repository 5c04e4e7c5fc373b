// The audio thread's side: the block, its per-sample stage and the reset.
#include <algorithm>
#include <cmath>

#include "Vorelle3.h"

namespace {

constexpr double kNeperPerDB = 0.11512925464970228;

} // namespace

void Vorelle3::ProcessBlock(double** inputs, double** outputs, int nFrames)
{
  std::lock_guard<std::recursive_mutex> lock(mMutex);
  if (GetHost() == plugin::kHostProTools && GetLatency() != IExtPDCHandler::mLatency)
    UpdateLatency(*this, IExtPDCHandler::mLatency);
  if (nFrames < 1 || !inputs || !outputs)
    return;
  ProcessAudio(inputs, outputs, nFrames);
  mOutput.CountFrames(nFrames);
}

void Vorelle3::ProcessAudio(double** inputs, double** outputs, int nFrames)
{
  const double g = mGain <= -144.0 ? 0.0 : std::exp(kNeperPerDB * mGain);
  double* outL = outputs[0];
  double* outR = outputs[1];

  if (mActivityState == kCapture) {
    mAnalyser->ProcessCapture(inputs, outputs, nFrames);
    mCurves.SetFingerprintValid(int(mAnalyser->GetInfo(CMFFT::kInfoReady)) != 0);
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

  mOutput.Process(outL, outR, nFrames, mActivityState == kProcessing);
}

void Vorelle3::OnReset()
{
  std::lock_guard<std::recursive_mutex> lock(mMutex);
  const double fs = GetSampleRate();
  const int blockSize = GetBlockSize();
  if (fs == mSampleRate && blockSize == mBlockSize)
    return;
  mSampleRate = fs;
  mBlockSize = blockSize;
  ReinitDSP();
}
