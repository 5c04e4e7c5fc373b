// End to end: capture noise shaped by a known equaliser, match it to a
// built-in reference, and measure the result with a second analyser.
#include <fftw3.h>

#include <cmath>
#include <random>

#include "LogGrid.h"
#include "ReferenceCurves.h"
#include "Vorelle3Fixture.h"

using namespace testplug;

namespace {

constexpr double kRate = 48000.0;
constexpr int kBlock = 512;
constexpr double kShapeToleranceDB = 1.0;
constexpr double kSeconds = 24.0;

// Gaussian noise through a one-pole high-pass at 120 Hz, a one-pole
// low-pass at 2.5 kHz and a gentle resonance near 700 Hz.
std::vector<double> ShapedNoise(size_t n, unsigned seed)
{
  std::mt19937 rng(seed);
  std::normal_distribution<double> g(0.0, 0.02);
  const double pi = 3.14159265358979323846;
  const double hp = std::exp(-2.0 * pi * 120.0 / kRate), lp = std::exp(-2.0 * pi * 2500.0 / kRate);
  const double r = 0.97, theta = 2.0 * pi * 700.0 / kRate;
  const double a1 = -2.0 * r * std::cos(theta), a2 = r * r;
  double hpX = 0.0, hpY = 0.0, lpY = 0.0, y1 = 0.0, y2 = 0.0;
  std::vector<double> out(n);
  for (size_t i = 0; i < n; ++i) {
    const double x = g(rng);
    hpY = hp * (hpY + x - hpX);
    hpX = x;
    lpY = (1.0 - lp) * hpY + lp * lpY;
    const double res = lpY - a1 * y1 - a2 * y2;
    y2 = y1;
    y1 = res;
    out[i] = lpY + 0.05 * res;
  }
  return out;
}

// The second analyser: Hann-windowed FFTW frames of 8192 with half overlap,
// magnitudes averaged, then averaged over the bins from grid point i-1 to i+1.
std::vector<double> BandLevels(const std::vector<double>& x, const std::vector<double>& grid)
{
  const int size = 8192;
  std::vector<double> frame(size), window(size), magnitude(size / 2 + 1, 0.0);
  std::vector<fftw_complex> spectrum(size / 2 + 1);
  for (int i = 0; i < size; ++i)
    window[size_t(i)] = 0.5 - 0.5 * std::cos(2.0 * 3.14159265358979323846 * i / size);
  fftw_plan plan = fftw_plan_dft_r2c_1d(size, frame.data(), spectrum.data(), FFTW_ESTIMATE);
  int frames = 0;
  for (size_t start = 0; start + size <= x.size(); start += size / 2, ++frames) {
    for (int i = 0; i < size; ++i)
      frame[size_t(i)] = x[start + size_t(i)] * window[size_t(i)];
    fftw_execute(plan);
    for (int k = 0; k <= size / 2; ++k)
      magnitude[size_t(k)] += std::hypot(spectrum[size_t(k)][0], spectrum[size_t(k)][1]);
  }
  fftw_destroy_plan(plan);
  const double binHz = kRate / size;
  std::vector<double> levels(grid.size());
  for (size_t i = 0; i < grid.size(); ++i) {
    const double lo = grid[i > 0 ? i - 1 : 0], hi = grid[std::min(i + 1, grid.size() - 1)];
    double sum = 0.0;
    int count = 0;
    for (int k = int(std::ceil(lo / binHz)); k <= int(hi / binHz) && k <= size / 2; ++k, ++count)
      sum += magnitude[size_t(k)];
    levels[i] = 20.0 * std::log10(sum / std::max(count, 1) / frames);
  }
  return levels;
}

} // namespace

class Matching : public Vorelle3Test, public ::testing::WithParamInterface<int> {};

TEST_P(Matching, ProcessedNoiseTakesTheReferenceShapeWithinOneDecibel)
{
  const int adMode = GetParam();
  const int reference = 2;
  TestVorelle3 plug;
  plug.Reconfigure(kRate, kBlock);
  plug.SetADMode(adMode);
  plug.ComputeCurves();

  // Capture, then reduce the analyser's average to the curve grid as the
  // end of a capture does.
  const size_t n = size_t(kSeconds * kRate);
  const std::vector<double> captured = ShapedNoise(n, 21);
  std::vector<double> outL, outR;
  plug.SetActivity(kCapture);
  plug.Run(captured, captured, outL, outR, kBlock);
  ASSERT_TRUE(plug.Curves().FingerprintValid());
  const int count = CountLogGridPoints(nullptr, 1.0, 6, 10.0, 22050.0);
  ASSERT_EQ(count, 67);
  std::vector<double> grid(static_cast<size_t>(count));
  FillLogGrid(nullptr, grid.data(), 1.0, 6, 10.0, 22050.0);
  std::vector<double> mapped(size_t(count), 0.0);
  MapSpectrumToGrid(plug.Analyser().GetData(6), int(plug.Analyser().GetInfo(5)), grid.data(), count, mapped.data(),
                    kRate);
  for (int i = 0; i < count; ++i)
    plug.Curves().Fingerprint().mag[i] = mapped[size_t(i)];

  plug.SetReferenceMode(reference);
  plug.ComputeCurves();
  plug.SetActivity(kProcessing);
  const std::vector<double> fresh = ShapedNoise(n, 22);
  plug.Run(fresh, fresh, outL, outR, kBlock);
  ASSERT_LT(plug.Output().PeakMax(), 1.0) << "the test signal must not clip";

  // Skip the fade and the filter's start.
  const std::vector<double> settled(outL.begin() + size_t(kRate), outL.end());
  const std::vector<double> levels = BandLevels(settled, grid);
  std::vector<double> deviation;
  for (int i = 0; i < count; ++i) {
    if (grid[size_t(i)] < 50.0 || grid[size_t(i)] > 16000.0)
      continue;
    deviation.push_back(levels[size_t(i)] - 20.0 * std::log10(ReferenceCurveMagnitude(reference, i)));
  }
  const auto [lo, hi] = std::minmax_element(deviation.begin(), deviation.end());
  const double centre = (*lo + *hi) / 2.0;
  for (size_t j = 0; j < deviation.size(); ++j)
    EXPECT_NEAR(deviation[j], centre, kShapeToleranceDB) << "point " << j;
  // Without the correction the shaped noise is far from that shape.
  const std::vector<double> before = BandLevels(captured, grid);
  double spread = 0.0;
  for (int i = 0; i < count; ++i)
    if (grid[size_t(i)] >= 50.0 && grid[size_t(i)] <= 16000.0)
      spread = std::max(
        spread, std::fabs(before[size_t(i)] - 20.0 * std::log10(ReferenceCurveMagnitude(reference, i)) - centre));
  EXPECT_GT(spread, 10.0);
}

INSTANTIATE_TEST_SUITE_P(BothModes, Matching, ::testing::Values(0, 1),
                         [](const auto& info) { return info.param ? "Digital" : "Analoge"; });
