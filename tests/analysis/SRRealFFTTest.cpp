#include "SRRealFFT.h"

#include <gtest/gtest.h>

#include <cmath>

#include "CpuFeatures.h"
#include "FFT.h"
#include "FFTReference.h"
#include "SRFFT.h"
#include "Window.h"

using namespace analysis_test;

namespace {

// Rounding grows with the number of passes, log2(n).
double Tolerance(int n) { return 4e-16 * std::log2(double(n)) + 1e-16; }

struct Transformed {
  Spectrum bins;     // n/2 + 1 values
  double dcIm, nyIm; // the two imaginary parts that must be zero
};

// The separation pass of every instruction set this processor runs.
std::vector<SRRealFFTSeparator> EverySeparator()
{
  std::vector<SRRealFFTSeparator> sets{SRRealFFTSeparateBaseline};
  if constexpr (kBuildHasAvx2Routines)
    if (ThisProcessor().avx2Fma)
      sets.push_back(SRRealFFTSeparateAvx2);
  return sets;
}

Transformed Transform(const std::vector<double>& x, SRRealFFTSeparator separate = nullptr)
{
  const int n = int(x.size());
  std::vector<double> in(x), out(n + 2, -7.0);
  if (separate)
    SRRealFFTUsing(separate, in.data(), out.data(), n);
  else
    SRRealFFT(in.data(), out.data(), n);
  Transformed t{Spectrum(n / 2 + 1), out[1], out[n + 1]};
  for (int k = 0; k <= n / 2; ++k)
    t.bins[k] = Complex(out[2 * k], out[2 * k + 1]);
  return t;
}

} // namespace

TEST(SRRealFFT, EqualsThePositiveExponentTransformOfFftwAndTheNaiveSum)
{
  SRFFTInit();
  // Every instruction set's separation; the largest table's size and the one
  // past it, whose odd twiddles are derived.
  for (SRRealFFTSeparator separate : EverySeparator()) {
    for (int n : {4, 8, 16, 32, 64, 128, 1024, 32768, 65536, kSRFFTMaxSize, 2 * kSRFFTMaxSize}) {
      Spectrum x = RandomSignal(n, 90u + n);
      std::vector<double> real(n);
      for (int j = 0; j < n; ++j) {
        x[j] = x[j].real();
        real[j] = x[j].real();
      }
      const Transformed t = Transform(real, separate);
      Spectrum expected = FftwDft(x, +1);
      expected.resize(n / 2 + 1);
      EXPECT_LT(RelativeError(t.bins, expected), Tolerance(n)) << "n = " << n;
      if (n <= 64) {
        Spectrum naive = NaiveDft(x, +1);
        naive.resize(n / 2 + 1);
        EXPECT_LT(RelativeError(t.bins, naive), Tolerance(n)) << "n = " << n;
      }
      EXPECT_EQ(t.dcIm, 0.0);
      EXPECT_EQ(t.nyIm, 0.0);
    }
  }
}

TEST(SRRealFFT, GivesTheRadixTwoRealTransformWithinRounding)
{
  // The analyser's frame: a windowed sine between bins, far below and near
  // full scale, so small bins are compared as well as large ones.
  SRFFTInit();
  constexpr int n = 32768;
  std::vector<double> x(n), ref(n + 2, 0.0);
  const double* w = MakeWindow(n, 9, true);
  for (int j = 0; j < n; ++j)
    x[j] = ref[j] = w[j] * (std::sin(0.0123 * j) + 1e-6 * std::cos(2.1 * j));
  delete[] w;
  RealFFT(ref.data(), n, 1);
  const Transformed t = Transform(x);
  double largest = 0.0;
  for (int k = 0; k <= n / 2; ++k)
    largest = std::max(largest, std::abs(t.bins[k]));
  for (int k = 0; k <= n / 2; ++k)
    ASSERT_NEAR(std::abs(t.bins[k] - Complex(ref[2 * k], ref[2 * k + 1])), 0.0, 1e-13 * largest) << "bin " << k;
}

TEST(SRRealFFT, UnsupportedSizesLeaveBothArraysUntouched)
{
  for (int n : {-8, 0, 2, 3, 6, 12}) {
    std::vector<double> in(8, 1.5), out(8, -2.0);
    SRRealFFT(in.data(), out.data(), n);
    EXPECT_EQ(in, std::vector<double>(8, 1.5)) << n;
    EXPECT_EQ(out, std::vector<double>(8, -2.0)) << n;
  }
  // and a supported size without a separation pass
  std::vector<double> in(64, 1.5), out(66, -2.0);
  SRRealFFTUsing(nullptr, in.data(), out.data(), 64);
  EXPECT_EQ(in, std::vector<double>(64, 1.5));
  EXPECT_EQ(out, std::vector<double>(66, -2.0));
}
