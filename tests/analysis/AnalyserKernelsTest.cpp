// Each set of the analyser's per-frame loops against the update written out
// bin by bin with std::hypot, at lengths on both sides of the wide loops'
// step, from buffers of exact size so that a read past the end shows under
// the address sanitizer.
#include <gtest/gtest.h>

#include <algorithm>
#include <array>
#include <cmath>
#include <limits>
#include <random>
#include <string>
#include <vector>

#include "AnalyserKernels.h"
#include "CpuFeatures.h"

namespace {

constexpr uint32_t kSeed = 4321;
// Relative: a rounding or two (hypot against the square root of the sum of
// squares, the wide set fusing the exponential average).
constexpr double kTolerance = 1e-15;
constexpr double kNaN = std::numeric_limits<double>::quiet_NaN();

struct NamedKernels {
  std::string name;
  const AnalyserKernels* kernels;
};

std::vector<NamedKernels> EveryKernelSet()
{
  std::vector<NamedKernels> sets{{"baseline", &AnalyserKernelsBaseline()}};
  if constexpr (kBuildHasAvx2Routines)
    if (ThisProcessor().avx2Fma)
      sets.push_back({"AVX2", &AnalyserKernelsAvx2()});
  return sets;
}

std::vector<double> Noise(size_t n, double lo, double hi, std::mt19937& rng)
{
  std::uniform_real_distribution<double> dist(lo, hi);
  std::vector<double> v(n);
  for (double& x : v)
    x = dist(rng);
  return v;
}

// Equal within kTolerance of the larger, or both not a number.
void ExpectNear(double got, double want, const std::string& where)
{
  if (std::isnan(want)) {
    EXPECT_TRUE(std::isnan(got)) << where;
    return;
  }
  EXPECT_NEAR(got, want, kTolerance * std::max(std::abs(want), 1.0)) << where;
}

} // namespace

TEST(AnalyserKernels, WindowMultipliesEverySampleAndNoMore)
{
  std::mt19937 rng(kSeed);
  for (const NamedKernels& set : EveryKernelSet()) {
    for (int n : {1, 3, 4, 5, 8, 33}) {
      const std::vector<double> in = Noise(size_t(n), -1.0, 1.0, rng), window = Noise(size_t(n), 0.0, 2.0, rng);
      std::vector<double> out(size_t(n), -9.0);
      set.kernels->Window(out.data(), in.data(), window.data(), n);
      for (int i = 0; i < n; ++i)
        EXPECT_EQ(out[size_t(i)], in[size_t(i)] * window[size_t(i)]) << set.name << " n " << n << " i " << i;
    }
  }
}

TEST(AnalyserKernels, AccumulateFollowsTheRunningSpectraBinByBin)
{
  struct Case {
    const char* what;
    int n;
    int nanAt; // bin whose real part is not a number, or -1
  };
  const Case cases[] = {
    {"one bin", 1, -1},
    {"below the wide step", 3, -1},
    {"one wide step", 4, -1},
    {"a step and a tail", 7, -1},
    {"many steps", 64, -1},
    {"a bin not a number keeps its peak and lets its decaying peak fall", 8, 5},
    {"the same in the tail", 6, 5},
  };
  constexpr double c = 0.3, inverseCount = 1.0 / 3.0, decay = 0.25;
  std::mt19937 rng(kSeed);
  for (const NamedKernels& set : EveryKernelSet()) {
    for (const Case& t : cases) {
      const size_t n = size_t(t.n);
      std::vector<double> bins = Noise(2 * n, -1.0, 1.0, rng);
      if (t.nanAt >= 0)
        bins[2 * size_t(t.nanAt)] = kNaN;
      // Old values around the new magnitudes, so that peaks both rise and fall.
      std::array<std::vector<double>, 6> arrays;
      for (auto& a : arrays)
        a = Noise(n, 0.0, 1.5, rng);
      const std::array<std::vector<double>, 6> old = arrays;
      const AnalyserSpectra s{arrays[0].data(), arrays[1].data(), arrays[2].data(),
                              arrays[3].data(), arrays[4].data(), arrays[5].data()};
      set.kernels->Accumulate(s, bins.data(), t.n, c, inverseCount, decay);
      for (size_t k = 0; k < n; ++k) {
        const std::string where = set.name + ", " + t.what + ", bin " + std::to_string(k);
        const double m = std::hypot(bins[2 * k], bins[2 * k + 1]);
        const double sum = old[1][k] + m;
        ExpectNear(s.magnitude[k], m, where + ": magnitude");
        ExpectNear(s.sum[k], sum, where + ": sum");
        ExpectNear(s.average[k], sum * inverseCount, where + ": average");
        ExpectNear(s.expAverage[k], old[3][k] * c + m * (1.0 - c), where + ": exponential average");
        ExpectNear(s.peakHold[k], std::isnan(m) ? old[4][k] : std::max(old[4][k], m), where + ": peak");
        ExpectNear(s.decayPeak[k], old[5][k] < m ? m : old[5][k] * decay, where + ": decaying peak");
      }
    }
  }
}
