#include "FFT.h"
#include "FFTReference.h"

#include <gtest/gtest.h>

using namespace analysis_test;

namespace {

constexpr double kRoundTripTolerance = 1e-13;

Spectrum RealSignal(int n, unsigned seed)
{
  Spectrum x = RandomSignal(n, seed);
  for (auto& v : x)
    v = v.real();
  return x;
}

// RealFFT's n/2 + 1 bins as complex values.
Spectrum RealBins(const std::vector<double>& data, int n)
{
  Spectrum out(n / 2 + 1);
  for (int k = 0; k <= n / 2; ++k)
    out[k] = Complex(data[2 * k], data[2 * k + 1]);
  return out;
}

} // namespace

TEST(ComplexFFT, ForwardIsTheUnscaledPositiveExponentTransform)
{
  for (int n = 1; n <= 65536; n *= 2) {
    const Spectrum x = RandomSignal(n, 40u + n);
    std::vector<double> data = Interleave(x);
    ComplexFFT(data.data(), n, +1);
    Spectrum got(n);
    for (int k = 0; k < n; ++k)
      got[k] = Complex(data[2 * k], data[2 * k + 1]);
    EXPECT_LT(RelativeError(got, FftwDft(x, +1)), 1e-14 * (n + 16)) << "n = " << n;
    if (n <= 32) {
      EXPECT_LT(RelativeError(got, NaiveDft(x, +1)), 1e-14 * 32) << "n = " << n;
    }
  }
}

TEST(ComplexFFT, InverseIsTheScaledNegativeExponentTransform)
{
  const int n = 1024;
  const Spectrum x = RandomSignal(n, 41u);
  std::vector<double> data = Interleave(x);
  ComplexFFT(data.data(), n, -1);
  Spectrum expected = FftwDft(x, -1), got(n);
  for (int k = 0; k < n; ++k) {
    expected[k] /= n;
    got[k] = Complex(data[2 * k], data[2 * k + 1]);
  }
  EXPECT_LT(RelativeError(got, expected), 1e-12);
}

TEST(ComplexFFT, ForwardThenInverseRestoresTheInput)
{
  for (int n : {1, 2, 8, 4096}) {
    const std::vector<double> input = Interleave(RandomSignal(n, 42u));
    std::vector<double> data = input;
    ComplexFFT(data.data(), n, +1);
    ComplexFFT(data.data(), n, -1);
    for (size_t i = 0; i < data.size(); ++i)
      ASSERT_NEAR(data[i], input[i], kRoundTripTolerance) << "n = " << n;
  }
}

TEST(RealFFT, EqualsTheConjugateOfFftwRealToComplex)
{
  for (int n = 4; n <= 65536; n *= 2) {
    const Spectrum x = RealSignal(n, 50u + n);
    std::vector<double> data(n + 2, 0.0);
    for (int j = 0; j < n; ++j)
      data[j] = x[j].real();
    RealFFT(data.data(), n, +1);
    Spectrum expected = FftwDft(x, +1);
    expected.resize(n / 2 + 1);
    EXPECT_LT(RelativeError(RealBins(data, n), expected), 1e-14 * (n + 16)) << "n = " << n;
    if (n <= 32) {
      Spectrum naive = NaiveDft(x, +1);
      naive.resize(n / 2 + 1);
      EXPECT_LT(RelativeError(RealBins(data, n), naive), 1e-14 * 32) << "n = " << n;
    }
    EXPECT_EQ(data[1], 0.0);
    EXPECT_EQ(data[n + 1], 0.0);
  }
}

TEST(RealFFT, ImpulseGivesOneInEveryBinAndConstantGivesNAtDC)
{
  const int n = 64;
  std::vector<double> impulse(n + 2, 0.0), constant(n + 2, 0.0);
  impulse[0] = 1.0;
  std::fill(constant.begin(), constant.begin() + n, 1.0);
  RealFFT(impulse.data(), n, +1);
  RealFFT(constant.data(), n, +1);
  for (int k = 0; k <= n / 2; ++k) {
    EXPECT_NEAR(impulse[2 * k], 1.0, 1e-14);
    EXPECT_NEAR(impulse[2 * k + 1], 0.0, 1e-14);
    EXPECT_NEAR(constant[2 * k], k == 0 ? n : 0.0, 1e-12);
    EXPECT_NEAR(constant[2 * k + 1], 0.0, 1e-12);
  }
}

TEST(RealFFT, SineAtBinKHasPositiveImaginaryPartOfHalfN)
{
  const int n = 256, k = 5;
  std::vector<double> data(n + 2, 0.0);
  for (int j = 0; j < n; ++j)
    data[j] = std::sin(2.0 * std::numbers::pi * k * j / n);
  RealFFT(data.data(), n, +1);
  EXPECT_NEAR(data[2 * k + 1], n / 2.0, 1e-11);
  EXPECT_NEAR(data[2 * k], 0.0, 1e-11);
}

TEST(RealFFT, NyquistBinSitsAtIndexN)
{
  const int n = 16;
  std::vector<double> data(n + 2, 0.0);
  for (int j = 0; j < n; ++j)
    data[j] = (j % 2 == 0) ? 1.0 : -1.0;
  RealFFT(data.data(), n, +1);
  EXPECT_NEAR(data[n], n, 1e-13);
  EXPECT_NEAR(data[0], 0.0, 1e-13);
}

TEST(RealFFT, ForwardThenInverseRestoresTheInput)
{
  for (int n : {4, 8, 1024, 32768}) {
    std::vector<double> input(n + 2, 0.0);
    const Spectrum x = RealSignal(n, 60u);
    for (int j = 0; j < n; ++j)
      input[j] = x[j].real();
    std::vector<double> data = input;
    RealFFT(data.data(), n, +1);
    RealFFT(data.data(), n, -1);
    for (int j = 0; j < n; ++j)
      ASSERT_NEAR(data[j], input[j], kRoundTripTolerance) << "n = " << n;
  }
}

TEST(FFT, UnsupportedSizesAndDirectionsLeaveTheDataUntouched)
{
  std::vector<double> data(16);
  for (size_t i = 0; i < data.size(); ++i)
    data[i] = 0.25 * static_cast<double>(i);
  const std::vector<double> before = data;
  ComplexFFT(data.data(), 3, 1);
  ComplexFFT(data.data(), 0, 1);
  ComplexFFT(data.data(), 4, 0);
  RealFFT(data.data(), 2, 1);
  RealFFT(data.data(), 12, 1);
  RealFFT(data.data(), 8, 2);
  EXPECT_EQ(data, before);
}

TEST(PolarConversion, MatchesStdComplexAndRoundTrips)
{
  const Spectrum x = RandomSignal(8, 70u);
  const std::vector<double> rect = Interleave(x);
  std::vector<double> polar(16), back(16);
  RectToPolar(rect.data(), 0, polar.data(), 0, 16);
  for (int k = 0; k < 8; ++k) {
    EXPECT_NEAR(polar[2 * k], std::abs(x[k]), 1e-15);
    EXPECT_NEAR(polar[2 * k + 1], std::arg(x[k]), 1e-15);
  }
  PolarToRect(polar.data(), 0, back.data(), 0, 16);
  for (int i = 0; i < 16; ++i)
    EXPECT_NEAR(back[i], rect[i], 1e-15);
}

TEST(PolarConversion, ShiftsForwardInPlaceWithoutOverwritingUnreadPairs)
{
  const Spectrum x = RandomSignal(4, 71u);
  std::vector<double> buf = Interleave(x);
  buf.resize(12, 0.0);
  RectToPolar(buf.data(), 0, buf.data(), 2, 8); // shift by one pair
  for (int k = 0; k < 4; ++k) {
    EXPECT_NEAR(buf[2 + 2 * k], std::abs(x[k]), 1e-15) << k;
    EXPECT_NEAR(buf[3 + 2 * k], std::arg(x[k]), 1e-15) << k;
  }
}
