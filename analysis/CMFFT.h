#pragma once
// Long-term spectrum analyser. Sums the channels it is fed, runs a windowed
// real FFT over frames of 2N samples with hop N (N = FFT size setting) and
// keeps per-bin spectra: latest magnitude, plain average, exponential average,
// peak hold and a decaying peak; optionally reduces two of them to a
// logarithmic grid (10 Hz .. 22 kHz, 1 to 24 points per octave).
//
// Scaling: magnitudes of the unscaled real FFT of the window-weighted frame;
// the window sums to 10^(8/20), so a constant c in every channel sums to
// nch*c and gives nch*c*10^(8/20) at bin 0.
// Threads: not thread-safe; Process and ProcessCapture allocate nothing.
// Every reconfiguration (channels, sample rate, FFT size, band index, mode)
// discards all results and invalidates pointers from GetData.
#include "CPluginProcessor.h"
#include "PreferredFrequencyTable.h"
#include "SRRealFFT.h"

struct AnalyserKernels;

class CMFFT : public CPluginProcessor {
public:
  // Largest accepted FFT size setting; sizes must be powers of two >= 2.
  static constexpr int kMaxFFTSize = 1 << 20;

  // Indices of SetParam, GetInfo and GetData.
  enum EParam { kParamFFTSize = 0, kParamBandIndex = 1, kParamMode = 2, kParamReset = 3 };
  enum EInfo { kInfoBandIndex = 1, kInfoFFTSize = 5, kInfoReady = 9, kInfoGridCount = 10 };
  enum EData {
    kDataAverage = 6,
    kDataPeakHold = 7,
    kDataAverageAgain = 8, // the same average as kDataAverage
    kDataGrid = 11,
    kDataBandA = 12,
    kDataBandB = 13
  };

  CMFFT();
  ~CMFFT() override;

  void Process(double** inputs, double** outputs, int nFrames) override;
  void SetNumChannels(int n) override;
  void SetBlockSize(int n) override;
  // Rates that are not finite and positive are ignored.
  void SetSampleRate(double fs) override;
  int GetNumParams() override { return 4; }
  // 0: FFT size (ignored unless a power of two from 2 to kMaxFFTSize),
  // 1: band index (0 none, 1..5 = 1, 3, 6, 12, 24 points per octave),
  // 2: mode (0/2 average + exponential average, 1/3 peak hold + decaying peak),
  // 3: reset (whatever the value). Values are truncated; non-finite ones are
  // ignored.
  void SetParam(int index, double value) override;
  double GetParam(int index) override;
  // 1 band index, 5 FFT size, 9 ready (a frame was analysed), 10 grid count.
  double GetInfo(int index) override;
  // 6 and 8 average, 7 peak hold, 11 grid (Hz), 12 band A, 13 band B.
  double* GetData(int index) override;
  bool GetName(char* out) override;

  // As Process without the band mapping; outputs may be null.
  void ProcessCapture(double** inputs, double** outputs, int nFrames);

  // Read-only views for inspection (N values each, grid-sized for the grid).
  const double* Magnitude() const { return mMagnitude; }
  const double* ExpAverage() const { return mExpAverage; }
  const double* DecayPeak() const { return mDecayPeak; }
  const double* Window() const { return mWindow; }
  int WritePos() const { return mWritePos; }
  // Frames analysed so far, plus one.
  int FrameCount() const { return mFrameCount; }

  PreferredFrequencyTable& PreferredFrequencies() { return mPreferredFreqs; }

private:
  void Init();
  void FreeBuffers();
  void Feed(double** inputs, double** outputs, int nFrames, bool mapBands);
  void Analyse();
  void MapToBands();
  void Reset();

  int mBandIndex = 0;
  int mFFTSize = 4096;
  int mMode = 0;
  int mFrameLength = 0;
  int mWritePos = 0;
  double* mWork = nullptr;     // windowed frame, transformed in place
  double* mSpectrum = nullptr; // its bins 0..N, as the real FFT lays them out
  double* mWindow = nullptr;
  // The routine sets for this processor, chosen by Init, on the thread that
  // configures, so that the audio thread never makes the first choice.
  const AnalyserKernels* mKernels = nullptr;
  SRRealFFTSeparator mSeparate = nullptr;
  double** mChannelBuffers = nullptr;
  int mChannelBufferCount = 0;
  int mGridCount = 0;
  double* mGrid = nullptr;
  double* mMagnitude = nullptr;
  double* mPeakHold = nullptr;
  double* mDecayPeak = nullptr;
  double* mAverage = nullptr;
  double* mExpAverage = nullptr;
  double* mSum = nullptr;
  int mFrameCount = 1;
  int mBandsPerOctave = 1;
  double* mBandA = nullptr;
  double* mBandB = nullptr;
  double* mGridOut = nullptr;
  int mReady = 0;
  PreferredFrequencyTable mPreferredFreqs;
};
