#include "CMFFT.h"
#include "AnalyserKernels.h"
#include "SRFFT.h"
#include "SRRealFFT.h"
#include "LogGrid.h"
#include "Window.h"

#include <algorithm>
#include <climits>
#include <cmath>
#include <cstring>

namespace {

constexpr double kWindowGain = 2.51188643150958; // +8 dB
constexpr double kLog10Of2 = 0.30102999566398125;
constexpr double kGridSpanDecades = 3.31135115757134; // log10(20481 / 10)
constexpr double kGridTopHz = 22000.0;
constexpr double kDecayPerFrame = 0.25;
constexpr int kBandsPerOctave[5] = {1, 3, 6, 12, 24};

double* Zeros(int n) { return new double[n](); }

void Release(double*& p)
{
  delete[] p;
  p = nullptr;
}

// Truncates a parameter value; false when it is not a representable int.
bool Truncate(double v, int& out)
{
  if (!std::isfinite(v) || v <= static_cast<double>(INT_MIN) - 1.0 || v >= static_cast<double>(INT_MAX) + 1.0)
    return false;
  out = static_cast<int>(v);
  return true;
}

} // namespace

CMFFT::CMFFT() { Init(); }

CMFFT::~CMFFT() { FreeBuffers(); }

void CMFFT::FreeBuffers()
{
  for (double** p : {&mWork, &mSpectrum, &mWindow, &mGrid, &mMagnitude, &mPeakHold, &mDecayPeak, &mAverage,
                     &mExpAverage, &mSum, &mBandA, &mBandB, &mGridOut})
    Release(*p);
  for (int c = 0; c < mChannelBufferCount; ++c)
    delete[] mChannelBuffers[c];
  delete[] mChannelBuffers;
  mChannelBuffers = nullptr;
  mChannelBufferCount = 0;
}

void CMFFT::Init()
{
  FreeBuffers();
  const int n = mFFTSize;
  mFrameLength = 2 * n;
  mWritePos = 0;
  mWork = Zeros(mFrameLength + 2);
  mSpectrum = Zeros(mFrameLength + 2);
  SRFFTInit(); // the tables, before the audio thread transforms
  mKernels = &AnalyserKernelsForProcessor();
  mSeparate = SRRealFFTSeparatorForProcessor();
  for (double** p : {&mMagnitude, &mPeakHold, &mDecayPeak, &mAverage, &mExpAverage, &mSum})
    *p = Zeros(n);
  mFrameCount = 1;

  mWindow = MakeWindow(mFrameLength, kWindowBlackmanHarris4, true);
  for (int i = 0; i < mFrameLength; ++i)
    mWindow[i] *= kWindowGain;

  // The first buffer is the analysis ring; it exists even without channels.
  mChannelBufferCount = std::max(mNumChannels, 1);
  mChannelBuffers = new double*[mChannelBufferCount];
  for (int c = 0; c < mChannelBufferCount; ++c)
    mChannelBuffers[c] = Zeros(mFrameLength);

  mBandsPerOctave = mBandIndex >= 1 && mBandIndex <= 5 ? kBandsPerOctave[mBandIndex - 1] : 1;
  const double step = kLog10Of2 / mBandsPerOctave;
  const int octaves = static_cast<int>(kGridSpanDecades / (mBandsPerOctave * step));
  mGridCount = octaves > 0 ? mBandsPerOctave * octaves + 1 : 0;
  mGrid = Zeros(std::max(mGridCount, 1));
  for (int i = 0; i < mGridCount; ++i)
    mGrid[i] = std::pow(10.0, i * step + 1.0);
  if (mGridCount > 0)
    mGrid[mGridCount - 1] = kGridTopHz;

  mBandA = Zeros(std::max(mGridCount, 1));
  mBandB = Zeros(std::max(mGridCount, 1));
  mGridOut = Zeros(std::max(mGridCount, 1));
  std::copy(mGrid, mGrid + mGridCount, mGridOut);
  mReady = 0;
}

void CMFFT::Reset()
{
  for (double* p : {mMagnitude, mPeakHold, mDecayPeak, mAverage, mExpAverage, mSum})
    std::fill(p, p + mFFTSize, 0.0);
  std::fill(mBandA, mBandA + mGridCount, 0.0);
  std::fill(mBandB, mBandB + mGridCount, 0.0);
  std::copy(mGrid, mGrid + mGridCount, mGridOut);
  mFrameCount = 1;
  mReady = 0;
}

void CMFFT::SetNumChannels(int n)
{
  mNumChannels = std::max(n, 0);
  Init();
}

void CMFFT::SetBlockSize(int n) { mBlockSize = n; }

void CMFFT::SetSampleRate(double fs)
{
  if (!std::isfinite(fs) || fs <= 0.0)
    return;
  mSampleRate = fs;
  Init();
}

void CMFFT::SetParam(int index, double value)
{
  if (index == kParamReset) { // the value carries no meaning for a reset
    Reset();
    return;
  }
  int v = 0;
  if (index < kParamFFTSize || index > kParamMode || !Truncate(value, v))
    return;
  switch (index) {
  case kParamFFTSize:
    if (v < 2 || v > kMaxFFTSize || (v & (v - 1)) != 0)
      return;
    mFFTSize = v;
    break;
  case kParamBandIndex: mBandIndex = v; break;
  default: mMode = v; break;
  }
  Init();
}

double CMFFT::GetParam(int index)
{
  switch (index) {
  case kParamFFTSize: return mFFTSize;
  case kParamBandIndex: return mBandIndex;
  case kParamMode: return mMode;
  default: return 0.0;
  }
}

double CMFFT::GetInfo(int index)
{
  switch (index) {
  case kInfoBandIndex: return mBandIndex;
  case kInfoFFTSize: return mFFTSize;
  case kInfoReady: return mReady;
  case kInfoGridCount: return mGridCount;
  default: return 0.0;
  }
}

double* CMFFT::GetData(int index)
{
  switch (index) {
  case kDataAverage:
  case kDataAverageAgain: return mAverage;
  case kDataPeakHold: return mPeakHold;
  case kDataGrid: return mGridOut;
  case kDataBandA: return mBandA;
  case kDataBandB: return mBandB;
  default: return nullptr;
  }
}

bool CMFFT::GetName(char* out)
{
  if (out == nullptr)
    return false;
  std::memcpy(out, "MFFT", 5);
  return true;
}

void CMFFT::Process(double** inputs, double** outputs, int nFrames) { Feed(inputs, outputs, nFrames, true); }

void CMFFT::ProcessCapture(double** inputs, double** outputs, int nFrames) { Feed(inputs, outputs, nFrames, false); }

void CMFFT::Feed(double** inputs, double** outputs, int nFrames, bool mapBands)
{
  if (nFrames < 1 || inputs == nullptr)
    return;
  if (outputs != nullptr) {
    for (int c = 0; c < mNumChannels; ++c)
      if (outputs[c] != inputs[c])
        std::memmove(outputs[c], inputs[c], sizeof(double) * nFrames);
  }
  double* ring = mChannelBuffers[0];
  const int n = mFFTSize;
  for (int i = 0; i < nFrames; ++i) {
    double s = 0.0;
    for (int c = 0; c < mNumChannels; ++c)
      s += inputs[c][i];
    ring[n + mWritePos] = s;
    if (++mWritePos == n) {
      mWritePos = 0;
      Analyse();
      if (mapBands && mBandIndex != 0)
        MapToBands();
      mReady = 1;
    }
  }
}

void CMFFT::Analyse()
{
  const int n = mFFTSize;
  double* ring = mChannelBuffers[0];
  mKernels->Window(mWork, ring, mWindow, mFrameLength);
  mWork[mFrameLength] = mWork[mFrameLength + 1] = 0.0;
  SRRealFFTUsing(mSeparate, mWork, mSpectrum, mFrameLength);
  std::copy(ring + n, ring + mFrameLength, ring);

  const double c = std::pow(10.0, -n / (0.01 * mSampleRate));
  const AnalyserSpectra spectra{mMagnitude, mSum, mAverage, mExpAverage, mPeakHold, mDecayPeak};
  mKernels->Accumulate(spectra, mSpectrum, n, c, 1.0 / mFrameCount, kDecayPerFrame);
  ++mFrameCount;
}

void CMFFT::MapToBands()
{
  if (mGridCount < 1)
    return;
  switch (mMode) {
  case 0:
  case 2:
    MapSpectrumToGrid(mAverage, mFFTSize, mGrid, mGridCount, mBandA, mSampleRate);
    MapSpectrumToGrid(mExpAverage, mFFTSize, mGrid, mGridCount, mBandB, mSampleRate);
    break;
  case 1:
  case 3:
    MapSpectrumToGrid(mPeakHold, mFFTSize, mGrid, mGridCount, mBandA, mSampleRate);
    MapSpectrumToGrid(mDecayPeak, mFFTSize, mGrid, mGridCount, mBandB, mSampleRate);
    break;
  default: break;
  }
}
