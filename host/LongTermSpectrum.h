#pragma once
// The host's own measure of a signal's long-term spectrum: Hann-windowed
// frames of kFrameSize samples with half overlap, power averaged per bin,
// fed in blocks of any size. Independent of the plug-in's analysis code.
// One thread.

#include <complex>
#include <cstddef>
#include <vector>

namespace host {

class LongTermSpectrum {
public:
  static constexpr int kFrameSize = 8192;

  explicit LongTermSpectrum(double sampleRate);

  void Add(const float* samples, size_t n);
  int Frames() const { return mFrames; }
  // Mean power of the bins from lowHz up to (not including) highHz, in dB;
  // -inf when no frame was analysed or no bin lies in the band.
  double BandLevelDB(double lowHz, double highHz) const;
  // The level at which a band holds no signal: that of white noise at the
  // rounding step of 24-bit audio (2^-24 RMS), below which lie only the
  // rounding of float samples and a transform's own error.
  double SilenceDB() const { return mSilenceDB; }

private:
  void Analyse();

  double mSampleRate;
  std::vector<double> mWindow;
  std::vector<double> mRing;
  std::vector<std::complex<double>> mWork;
  std::vector<double> mPower;
  size_t mFill = 0;
  int mFrames = 0;
  double mSilenceDB = 0.0;
};

// Octave bands centred on 31.25 Hz .. 16 kHz (edges a half octave either
// side) that begin below half the sample rate.
std::vector<double> OctaveCentres(double sampleRate);

} // namespace host
