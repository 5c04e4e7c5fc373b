// Each set of the engine's inner loops against sums in long double, at the
// lengths where the wide loops hand over to narrower ones, with buffers of
// exact size and odd alignment so that a read past the end shows under the
// address sanitizer.
#include <gtest/gtest.h>

#include <cmath>
#include <random>
#include <string>
#include <vector>

#include "ConvolutionKernels.h"
#include "CpuFeatures.h"

namespace {

constexpr uint32_t kSeed = 1234;
// Error allowed relative to the sum of the terms' magnitudes: a few roundings
// per term, where a wrong index or a lost term errs by the order of one.
constexpr double kSumTolerance = 1e-14;

struct NamedKernels {
  std::string name;
  const ConvolutionKernels* kernels;
};

std::vector<NamedKernels> EveryKernelSet()
{
  std::vector<NamedKernels> sets{{"baseline", &ConvolutionKernelsBaseline()}};
  if constexpr (kBuildHasAvx2Routines)
    if (ThisProcessor().avx2Fma)
      sets.push_back({"AVX2", &ConvolutionKernelsAvx2()});
  return sets;
}

// size doubles of noise, one double into their storage so that they sit off
// the vector alignment, ending where the storage ends.
struct OddBuffer {
  explicit OddBuffer(size_t size, std::mt19937& rng) : storage(size + 1)
  {
    std::uniform_real_distribution<double> dist(-1.0, 1.0);
    for (double& v : storage)
      v = dist(rng);
  }
  double* data() { return storage.data() + 1; }
  std::vector<double> storage;
};

} // namespace

TEST(ConvolutionKernels, DirectConvolutionEqualsLongDoubleSumsForAnyLengthAndTapSpan)
{
  const int lengths[] = {1, 3, 4, 5, 15, 16, 17, 31, 32, 33, 47, 52, 63, 512, 515};
  const struct {
    int first, end, taps;
  } spans[] = {{0, 1, 1}, {0, 256, 256}, {3, 200, 210}, {5, 5, 9}, {7, 8, 8}};
  std::mt19937 rng(kSeed);
  for (const NamedKernels& set : EveryKernelSet())
    for (int n : lengths)
      for (const auto& span : spans) {
        OddBuffer x(size_t(n + span.taps - 1), rng), rev(size_t(span.taps), rng);
        std::vector<double> out(size_t(n) + 1, -7.0);
        set.kernels->DirectConvolve(out.data(), n, x.data(), rev.data(), span.first, span.end);
        for (int i = 0; i < n; ++i) {
          long double sum = 0.0L, magnitude = 0.0L;
          for (int k = span.first; k < span.end; ++k) {
            const long double term = (long double)rev.data()[k] * x.data()[i + k];
            sum += term;
            magnitude += std::fabs(term);
          }
          ASSERT_NEAR(out[size_t(i)], double(sum), kSumTolerance * double(magnitude))
            << set.name << ", n " << n << ", taps " << span.first << ".." << span.end << ", output " << i;
        }
        EXPECT_EQ(out[size_t(n)], -7.0) << set.name << ": wrote past n = " << n;
      }
}

TEST(ConvolutionKernels, ComplexMultiplySumEqualsLongDoubleSumsForAnyLengthCountAndMode)
{
  const int lengths[] = {1, 2, 3, 7, 8, 9, 16, 17, 24, 32, 33, 513};
  std::mt19937 rng(kSeed + 1);
  for (const NamedKernels& set : EveryKernelSet())
    for (int n : lengths)
      for (int count : {0, 1, 3, 8})
        for (bool add : {false, true}) {
          std::vector<OddBuffer> xs, hs;
          std::vector<const double*> a, b;
          for (int j = 0; j < count; ++j) {
            xs.emplace_back(size_t(2 * n), rng);
            hs.emplace_back(size_t(2 * n), rng);
          }
          for (int j = 0; j < count; ++j) {
            a.push_back(xs[size_t(j)].data());
            b.push_back(hs[size_t(j)].data());
          }
          OddBuffer acc(size_t(2 * n), rng);
          const std::vector<double> before(acc.data(), acc.data() + 2 * n);
          set.kernels->ComplexMulSum(acc.data(), a.data(), b.data(), count, n, add);
          for (int e = 0; e < n; ++e) {
            long double re = add ? before[size_t(2 * e)] : 0.0L, im = add ? before[size_t(2 * e + 1)] : 0.0L;
            long double magnitude = std::fabs(re) + std::fabs(im);
            for (int j = 0; j < count; ++j) {
              const long double xr = a[size_t(j)][2 * e], xi = a[size_t(j)][2 * e + 1];
              const long double hr = b[size_t(j)][2 * e], hi = b[size_t(j)][2 * e + 1];
              re += xr * hr - xi * hi;
              im += xi * hr + xr * hi;
              magnitude += std::fabs(xr * hr) + std::fabs(xi * hi) + std::fabs(xi * hr) + std::fabs(xr * hi);
            }
            const std::string where = set.name + ", n " + std::to_string(n) + ", count " + std::to_string(count) +
                                      (add ? ", adding" : ", writing") + ", element " + std::to_string(e);
            ASSERT_NEAR(acc.data()[2 * e], double(re), kSumTolerance * double(magnitude)) << where;
            ASSERT_NEAR(acc.data()[2 * e + 1], double(im), kSumTolerance * double(magnitude)) << where;
          }
        }
}
