// The correction filter's design, measured with FFTW: natural-order
// transforms, the minimum-phase fold, magnitudes at the grid frequencies,
// symmetry and energy build-up of the two phase modes.
#include <gtest/gtest.h>
#include <fftw3.h>

#include <cmath>
#include <complex>
#include <random>
#include <vector>

#include "CurveMath.h"
#include "FilterDesign.h"
#include "ReferenceCurves.h"

namespace {

using cd = std::complex<double>;
constexpr int kTaps = 32768;
constexpr double kRate = 48000.0;
constexpr double kMagnitudeToleranceDB = 0.05;
constexpr double kLinearPhaseRippleDB = 0.3;

// DFT of a real sequence zero-padded to `size`, by FFTW.
std::vector<cd> RealSpectrum(const std::vector<double>& x, int size)
{
  std::vector<double> in(size_t(size), 0.0);
  std::copy(x.begin(), x.begin() + std::min<size_t>(x.size(), size_t(size)), in.begin());
  std::vector<cd> out(size_t(size / 2 + 1));
  fftw_plan p = fftw_plan_dft_r2c_1d(size, in.data(), reinterpret_cast<fftw_complex*>(out.data()), FFTW_ESTIMATE);
  fftw_execute(p);
  fftw_destroy_plan(p);
  return out;
}

std::vector<cd> ComplexTransform(std::vector<cd> x, int sign)
{
  const int n = int(x.size());
  std::vector<cd> out(x.size());
  fftw_plan p = fftw_plan_dft_1d(n, reinterpret_cast<fftw_complex*>(x.data()),
                                 reinterpret_cast<fftw_complex*>(out.data()), sign, FFTW_ESTIMATE);
  fftw_execute(p);
  fftw_destroy_plan(p);
  return out;
}

// A smooth, centred correction: what matching reference 3 from a
// fingerprint shaped like reference 0 asks for.
Vorelle3CurveRecord SampleCorrection(double fmax)
{
  Vorelle3CurveRecord ref, fp, diff;
  CopyReferenceCurve(3, ref);
  CopyReferenceCurve(0, fp);
  diff = ref;
  ComputeDifferenceCurve(ref, fp, fmax, diff);
  return diff;
}

double MagnitudeDBAt(const std::vector<cd>& spectrum, int size, double f)
{
  const long bin = std::lround(f * size / kRate);
  return 20.0 * std::log10(std::abs(spectrum[size_t(bin)]));
}

} // namespace

TEST(NaturalOrderFFT, ForwardAndInverseAgreeWithFFTW)
{
  std::mt19937 rng(11);
  std::normal_distribution<double> g;
  for (int m : {2, 4, 8, 16, 64, 1024, 32768}) {
    std::vector<cd> x(static_cast<size_t>(m));
    for (cd& v : x)
      v = {g(rng), g(rng)};
    std::vector<double> data(2 * size_t(m));
    for (int k = 0; k < m; ++k) {
      data[2 * size_t(k)] = x[size_t(k)].real();
      data[2 * size_t(k) + 1] = x[size_t(k)].imag();
    }
    ForwardFFT(data.data(), m);
    const std::vector<cd> ref = ComplexTransform(x, FFTW_FORWARD);
    double err = 0.0;
    for (int k = 0; k < m; ++k)
      err = std::max(err, std::abs(cd(data[2 * size_t(k)], data[2 * size_t(k) + 1]) - ref[size_t(k)]));
    EXPECT_LT(err, 1e-9 * std::sqrt(double(m))) << m;
    InverseFFT(data.data(), m);
    err = 0.0;
    for (int k = 0; k < m; ++k)
      err = std::max(err, std::abs(cd(data[2 * size_t(k)], data[2 * size_t(k) + 1]) - x[size_t(k)]));
    EXPECT_LT(err, 1e-12 * m) << m;
  }
}

TEST(MinimumPhaseFold, AKnownMinimumPhaseFIRComesBackFromItsMagnitude)
{
  // Zeros at 0.5, -0.8 and 0.6 +- 0.3i, all inside the unit circle:
  // (1 - 0.5 z^-1)(1 + 0.8 z^-1)(1 - 1.2 z^-1 + 0.45 z^-2).
  std::vector<double> full = {1.0};
  for (const std::vector<double>& factor :
       {std::vector<double>{1.0, -0.5}, std::vector<double>{1.0, 0.8}, std::vector<double>{1.0, -1.2, 0.45}}) {
    std::vector<double> next(full.size() + factor.size() - 1, 0.0);
    for (size_t i = 0; i < full.size(); ++i)
      for (size_t j = 0; j < factor.size(); ++j)
        next[i + j] += full[i] * factor[j];
    full = next;
  }

  const int m = 1024;
  const std::vector<cd> response = RealSpectrum(full, m);
  std::vector<double> data(2 * size_t(m), 0.0);
  for (int k = 0; k < m; ++k) {
    const cd v = response[size_t(k <= m / 2 ? k : m - k)];
    data[2 * size_t(k)] = std::log(std::abs(v));
  }
  MinimumPhaseFold(data.data(), m);
  std::vector<cd> rebuilt(static_cast<size_t>(m));
  for (int k = 0; k < m; ++k) {
    const double mag = std::abs(response[size_t(k <= m / 2 ? k : m - k)]);
    const double phi = data[2 * size_t(k) + 1];
    rebuilt[size_t(k)] = mag * cd(std::cos(phi), -std::sin(phi));
  }
  const std::vector<cd> back = ComplexTransform(rebuilt, FFTW_BACKWARD);
  for (int i = 0; i < m; ++i) {
    const double expected = i < int(full.size()) ? full[size_t(i)] : 0.0;
    EXPECT_NEAR(back[size_t(i)].real() / m, expected, 1e-9) << i;
    EXPECT_NEAR(back[size_t(i)].imag() / m, 0.0, 1e-9) << i;
  }
}

TEST(ImpulseHelpers, IdentityAndRotation)
{
  std::vector<double> x(6, 5.0);
  SetIdentity(x.data(), 6);
  EXPECT_EQ(x, (std::vector<double>{1, 0, 0, 0, 0, 0}));
  struct Case {
    int k;
    std::vector<double> expected;
  };
  const Case cases[] = {{0, {0, 1, 2, 3, 4}}, {2, {3, 4, 0, 1, 2}},   {-1, {1, 2, 3, 4, 0}},
                        {7, {3, 4, 0, 1, 2}}, {-11, {1, 2, 3, 4, 0}}, {5, {0, 1, 2, 3, 4}}};
  for (const Case& c : cases) {
    std::vector<double> v = {0, 1, 2, 3, 4};
    CircularShift(v.data(), 5, c.k);
    EXPECT_EQ(v, c.expected) << c.k;
  }
}

TEST(ImpulseHelpers, DesignSizeIsThePowerOfTwoAtOrAboveTheLength)
{
  struct Case {
    int n, m;
  };
  const Case cases[] = {{32768, 32768}, {32767, 32768}, {32769, 65536}, {1, 2},           {2, 2},
                        {3, 4},         {0, 0},         {-5, 0},        {524288, 524288}, {524289, 0}};
  for (const Case& c : cases)
    EXPECT_EQ(DesignFFTSize(c.n), c.m) << c.n;
}

TEST(ImpulseHelpers, TaperModesUseTheSincWindowFallingHalfWholeOrRotated)
{
  // The window written out here: w_len(j) = sin(x) / x, x = (j - len/2) / (4 pi).
  const double pi = 3.14159265358979323846;
  auto w = [pi](int len, int j) {
    const double x = (j - 0.5 * len) / pi * 0.25;
    return x == 0.0 ? 1.0 : std::sin(x) / x;
  };
  const int n = 64, h = n / 2;
  auto expected = [&](int mode, int i) {
    switch (mode) {
    case 0: return w(2 * n, n + i);
    case 1: return w(n, i);
    case 2: return i < h ? w(n, i + h) : w(n, i - h);
    default: return 1.0;
    }
  };
  for (int mode : {0, 1, 2, 3, -1}) {
    std::vector<double> x(n, 1.0);
    ApplyImpulseWindow(x.data(), n, mode);
    for (int i = 0; i < n; ++i)
      ASSERT_NEAR(x[size_t(i)], expected(mode, i), 1e-12) << mode << " " << i;
  }
}

class DesignedMagnitude : public ::testing::TestWithParam<bool> {};

TEST_P(DesignedMagnitude, EqualsTheCorrectionAtEveryGridFrequency)
{
  const bool linear = GetParam();
  const Vorelle3CurveRecord diff = SampleCorrection(22000.0);
  std::vector<double> h(kTaps);
  SmoothCurve(h.data(), kTaps, diff, linear, kRate);
  if (linear)
    CircularShift(h.data(), kTaps, (kTaps - 1) / 2);

  // On the design bins the filter is exact: at the bin next to each grid
  // frequency the response is the curve there.
  const std::vector<cd> onBins = RealSpectrum(h, kTaps);
  for (unsigned i = 0; i < diff.count; ++i) {
    const long bin = std::lround(diff.freq[i] * kTaps / kRate);
    const double wanted = InterpolateCurve(diff.freq, diff.mag, int(diff.count), bin * kRate / kTaps);
    EXPECT_NEAR(20.0 * std::log10(std::abs(onBins[size_t(bin)])), wanted, kMagnitudeToleranceDB) << diff.freq[i];
  }
  // Between the bins (zero-padded 8x) the response is the curve value itself
  // wherever the curve is smooth on the scale of a bin (its swings below
  // 50 Hz are only a few bins wide). The zero-phase design rings on both
  // sides, and what its 16384 samples per side cut off shows as ripple
  // between the bins up to about 1 kHz.
  const int size = 8 * kTaps;
  const std::vector<cd> spectrum = RealSpectrum(h, size);
  for (unsigned i = 0; i < diff.count; ++i) {
    const double f = diff.freq[i];
    if (f < 50.0)
      continue;
    const double tolerance = linear && f < 1000.0 ? kLinearPhaseRippleDB : kMagnitudeToleranceDB;
    EXPECT_NEAR(MagnitudeDBAt(spectrum, size, f), diff.mag[i], tolerance) << f << " Hz";
  }
  // Beyond the grid the last value holds up to half the rate.
  EXPECT_NEAR(MagnitudeDBAt(spectrum, size, 23500.0), diff.mag[diff.count - 1], kMagnitudeToleranceDB);
}

INSTANTIATE_TEST_SUITE_P(BothPhaseModes, DesignedMagnitude, ::testing::Values(false, true),
                         [](const auto& info) { return info.param ? "LinearPhase" : "MinimumPhase"; });

TEST(DesignedImpulse, LinearPhaseIsZeroPhaseAndSymmetricOnceCentred)
{
  const Vorelle3CurveRecord diff = SampleCorrection(22000.0);
  std::vector<double> h(kTaps);
  SmoothCurve(h.data(), kTaps, diff, true, kRate);
  for (int i = 1; i < kTaps / 2; ++i)
    ASSERT_NEAR(h[size_t(i)], h[size_t(kTaps - i)], 1e-12) << i;
  CircularShift(h.data(), kTaps, (kTaps - 1) / 2);
  const int centre = 16383;
  for (int k = 1; k <= centre; ++k)
    ASSERT_NEAR(h[size_t(centre + k)], h[size_t(centre - k)], 1e-12) << k;
  int peak = 0;
  for (int i = 0; i < kTaps; ++i)
    if (std::fabs(h[size_t(i)]) > std::fabs(h[size_t(peak)]))
      peak = i;
  EXPECT_EQ(peak, centre);
}

TEST(DesignedImpulse, MinimumPhaseBuildsUpEnergyFastestAmongEqualMagnitudes)
{
  const Vorelle3CurveRecord diff = SampleCorrection(22000.0);
  std::vector<double> minimum(kTaps), linear(kTaps);
  SmoothCurve(minimum.data(), kTaps, diff, false, kRate);
  SmoothCurve(linear.data(), kTaps, diff, true, kRate);
  CircularShift(linear.data(), kTaps, (kTaps - 1) / 2);
  // Same magnitude, so the same total energy (Parseval)...
  double eMin = 0.0, eLin = 0.0;
  for (int i = 0; i < kTaps; ++i) {
    eMin += minimum[size_t(i)] * minimum[size_t(i)];
    eLin += linear[size_t(i)] * linear[size_t(i)];
  }
  EXPECT_NEAR(eMin / eLin, 1.0, 1e-9);
  // ...but the minimum-phase partial energy leads at every index; and so it
  // does against the time-reversed (maximum-phase-like) minimum-phase one.
  double sumMin = 0.0, sumLin = 0.0, sumRev = 0.0;
  for (int i = 0; i < kTaps; ++i) {
    sumMin += minimum[size_t(i)] * minimum[size_t(i)];
    sumLin += linear[size_t(i)] * linear[size_t(i)];
    sumRev += minimum[size_t(kTaps - 1 - i)] * minimum[size_t(kTaps - 1 - i)];
    ASSERT_GE(sumMin, sumLin - 1e-9 * eMin) << i;
    ASSERT_GE(sumMin, sumRev - 1e-9 * eMin) << i;
  }
  EXPECT_GT(minimum[0] * minimum[0], 0.1 * eMin);
}

TEST(DesignedImpulse, AFlatCurveGivesAUnitImpulseInBothModes)
{
  Vorelle3CurveRecord flat;
  CopyReferenceCurve(0, flat);
  flat.FillMagnitudes(0.0);
  for (bool linear : {false, true}) {
    std::vector<double> h(kTaps, 9.0);
    SmoothCurve(h.data(), kTaps, flat, linear, kRate);
    EXPECT_NEAR(h[0], 1.0, 1e-12);
    double rest = 0.0;
    for (int i = 1; i < kTaps; ++i)
      rest = std::max(rest, std::fabs(h[size_t(i)]));
    EXPECT_LT(rest, 1e-12) << linear;
  }
}

TEST(DesignedImpulse, DeepCutsAndDegenerateRatesStayFinite)
{
  Vorelle3CurveRecord diff = SampleCorrection(22000.0);
  diff.mag[30] = -400.0; // a notch at the -144 dB floor: gain exactly 0
  for (double rate : {kRate, 0.0, std::nan(""), 192000.0}) {
    for (bool linear : {false, true}) {
      std::vector<double> h(kTaps);
      SmoothCurve(h.data(), kTaps, diff, linear, rate);
      for (double v : h)
        ASSERT_TRUE(std::isfinite(v)) << rate << " " << linear;
    }
  }
}
