#include "LongTermSpectrum.h"

#include <cmath>
#include <limits>

namespace host {

namespace {

constexpr double kPi = 3.14159265358979323846;

// In-place iterative radix-2 transform; n a power of two.
void Transform(std::vector<std::complex<double>>& a)
{
  const size_t n = a.size();
  for (size_t i = 1, j = 0; i < n; ++i) {
    size_t bit = n >> 1;
    for (; j & bit; bit >>= 1)
      j ^= bit;
    j ^= bit;
    if (i < j)
      std::swap(a[i], a[j]);
  }
  for (size_t len = 2; len <= n; len <<= 1) {
    const std::complex<double> step = std::polar(1.0, -2.0 * kPi / double(len));
    for (size_t i = 0; i < n; i += len) {
      std::complex<double> w = 1.0;
      for (size_t k = 0; k < len / 2; ++k) {
        const std::complex<double> u = a[i + k], v = a[i + k + len / 2] * w;
        a[i + k] = u + v;
        a[i + k + len / 2] = u - v;
        w *= step;
      }
    }
  }
}

} // namespace

LongTermSpectrum::LongTermSpectrum(double sampleRate)
: mSampleRate(sampleRate), mWindow(kFrameSize), mRing(kFrameSize, 0.0), mWork(kFrameSize),
  mPower(kFrameSize / 2 + 1, 0.0)
{
  double energy = 0.0;
  for (int i = 0; i < kFrameSize; ++i) {
    mWindow[size_t(i)] = 0.5 - 0.5 * std::cos(2.0 * kPi * i / kFrameSize);
    energy += mWindow[size_t(i)] * mWindow[size_t(i)];
  }
  // Noise of variance s^2 gives s^2 times the window's energy in every bin.
  mSilenceDB = 10.0 * std::log10(std::ldexp(1.0, -48) * energy);
}

void LongTermSpectrum::Add(const float* samples, size_t n)
{
  for (size_t i = 0; i < n; ++i) {
    mRing[mFill++] = samples[i];
    if (mFill == mRing.size()) {
      Analyse();
      // Half overlap: the second half starts the next frame.
      std::copy(mRing.begin() + kFrameSize / 2, mRing.end(), mRing.begin());
      mFill = kFrameSize / 2;
    }
  }
}

void LongTermSpectrum::Analyse()
{
  for (int i = 0; i < kFrameSize; ++i)
    mWork[size_t(i)] = mRing[size_t(i)] * mWindow[size_t(i)];
  Transform(mWork);
  for (size_t k = 0; k < mPower.size(); ++k)
    mPower[k] += std::norm(mWork[k]);
  ++mFrames;
}

double LongTermSpectrum::BandLevelDB(double lowHz, double highHz) const
{
  const double binHz = mSampleRate / kFrameSize;
  double sum = 0.0;
  int count = 0;
  for (size_t k = 1; k < mPower.size(); ++k) {
    const double f = double(k) * binHz;
    if (f >= lowHz && f < highHz) {
      sum += mPower[k];
      ++count;
    }
  }
  if (mFrames == 0 || count == 0)
    return -std::numeric_limits<double>::infinity();
  return 10.0 * std::log10(sum / count / mFrames + 1e-300);
}

std::vector<double> OctaveCentres(double sampleRate)
{
  std::vector<double> centres;
  for (double c = 31.25; c <= 16000.0 && c / std::sqrt(2.0) < sampleRate / 2.0; c *= 2.0)
    centres.push_back(c);
  return centres;
}

} // namespace host
