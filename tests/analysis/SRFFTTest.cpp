#include "SRFFT.h"
#include "CpuFeatures.h"
#include "SRFFTRunners.h"
#include "FFTReference.h"
#include "AllocationCounter.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <thread>

using namespace analysis_test;

namespace {

constexpr double kPerLevelTolerance = 1e-12; // relative error allowed per log2 n
constexpr double kExactTolerance = 1e-9;     // absolute, for results of size ~n

std::vector<int> AllSizes()
{
  std::vector<int> sizes;
  for (int n = kSRFFTMinSize; n <= kSRFFTMaxSize; n *= 2)
    sizes.push_back(n);
  return sizes;
}

int Log2(int n)
{
  int l = 0;
  while ((1 << l) < n)
    ++l;
  return l;
}

// Reads the scrambled forward output back into natural bin order.
Spectrum Unpermute(const std::vector<double>& data, int n)
{
  Spectrum out(n);
  for (int m = 0; m < n; ++m) {
    const int p = SRFFTPermute(m, n);
    out[m] = Complex(data[2 * p], data[2 * p + 1]);
  }
  return out;
}

class SRFFTBySize : public ::testing::TestWithParam<int> {
protected:
  void SetUp() override { SRFFTInit(); }
};

} // namespace

TEST_P(SRFFTBySize, UnpermutedForwardEqualsFftw)
{
  const int n = GetParam();
  const Spectrum x = RandomSignal(n, 1234u + n);
  std::vector<double> data = Interleave(x);
  SRFFT(data.data(), n, 0);
  EXPECT_LT(RelativeError(Unpermute(data, n), FftwDft(x, -1)), kPerLevelTolerance * Log2(n));
}

TEST_P(SRFFTBySize, InverseOfForwardGivesNTimesTheInput)
{
  const int n = GetParam();
  const Spectrum x = RandomSignal(n, 99u + n);
  std::vector<double> data = Interleave(x);
  SRFFT(data.data(), n, 0);
  SRFFT(data.data(), n, 1);
  Spectrum back(n);
  for (int j = 0; j < n; ++j)
    back[j] = Complex(data[2 * j], data[2 * j + 1]) / static_cast<double>(n);
  EXPECT_LT(RelativeError(back, x), kPerLevelTolerance * Log2(n));
}

TEST_P(SRFFTBySize, InverseEqualsFftwBackwardOfTheScrambledSpectrum)
{
  const int n = GetParam();
  const Spectrum spectrum = RandomSignal(n, 7u + n);
  std::vector<double> data(2 * n);
  for (int m = 0; m < n; ++m) {
    const int p = SRFFTPermute(m, n);
    data[2 * p] = spectrum[m].real();
    data[2 * p + 1] = spectrum[m].imag();
  }
  SRFFT(data.data(), n, 1);
  Spectrum out(n);
  for (int j = 0; j < n; ++j)
    out[j] = Complex(data[2 * j], data[2 * j + 1]);
  EXPECT_LT(RelativeError(out, FftwDft(spectrum, +1)), kPerLevelTolerance * Log2(n));
}

TEST_P(SRFFTBySize, PermutationTableOfEachSizeIsAPermutation)
{
  const int n = GetParam();
  std::vector<int> seen(n, 0);
  for (int m = 0; m < n; ++m) {
    const int p = SRFFTPermute(m, n);
    ASSERT_GE(p, 0);
    ASSERT_LT(p, n);
    ++seen[p];
  }
  EXPECT_TRUE(std::all_of(seen.begin(), seen.end(), [](int c) { return c == 1; }));
  EXPECT_EQ(SRFFTPermute(0, n), 0);
  if (n >= 16) {
    EXPECT_EQ(SRFFTPermuteTable(n - 16)[1], SRFFTPermute(1, n));
  }
}

TEST_P(SRFFTBySize, SingleRisingPhasorPutsNAtThePositionOfBinOne)
{
  const int n = GetParam();
  std::vector<double> data(2 * n);
  for (int j = 0; j < n; ++j) {
    const double angle = 2.0 * std::numbers::pi * j / n;
    data[2 * j] = std::cos(angle);
    data[2 * j + 1] = std::sin(angle);
  }
  SRFFT(data.data(), n, 0);
  const int at = SRFFTPermute(1, n);
  double elsewhere = 0.0;
  for (int p = 0; p < n; ++p)
    if (p != at)
      elsewhere = std::max(elsewhere, std::abs(Complex(data[2 * p], data[2 * p + 1])));
  EXPECT_NEAR(data[2 * at], n, kExactTolerance * n);
  EXPECT_NEAR(data[2 * at + 1], 0.0, kExactTolerance * n);
  EXPECT_LT(elsewhere, kExactTolerance * n);
}

INSTANTIATE_TEST_SUITE_P(EveryPowerOfTwo, SRFFTBySize, ::testing::ValuesIn(AllSizes()));

TEST(SRFFT, BaselineAndWideInstructionRoutinesBothEqualFftw)
{
  std::vector<SRFFTRunner> runners{SRFFTRunBaseline};
  if constexpr (kBuildHasAvx2Routines)
    if (ThisProcessor().avx2Fma)
      runners.push_back(SRFFTRunAvx2);
  for (SRFFTRunner run : runners) {
    for (int n = 2; n <= 65536; n *= 2) {
      const Spectrum x = RandomSignal(n, 77u + n);
      std::vector<double> data = Interleave(x);
      run(data.data(), n, 0, SRFFTTwiddleTables());
      EXPECT_LT(RelativeError(Unpermute(data, n), FftwDft(x, -1)), kPerLevelTolerance * Log2(n)) << n;
      run(data.data(), n, 1, SRFFTTwiddleTables());
      Spectrum back(n);
      for (int j = 0; j < n; ++j)
        back[j] = Complex(data[2 * j], data[2 * j + 1]) / static_cast<double>(n);
      EXPECT_LT(RelativeError(back, x), kPerLevelTolerance * Log2(n)) << n;
    }
  }
}

TEST(SRFFT, SmallSizesEqualANaiveDft)
{
  SRFFTInit();
  for (int n = 2; n <= 64; n *= 2) {
    const Spectrum x = RandomSignal(n, 5u);
    std::vector<double> data = Interleave(x);
    SRFFT(data.data(), n, 0);
    EXPECT_LT(RelativeError(Unpermute(data, n), NaiveDft(x, -1)), 1e-14 * n) << "n = " << n;
  }
}

TEST(SRFFT, ImpulseGivesOneEverywhereAndConstantGivesNAtPositionZero)
{
  for (int n : {2, 16, 1024, 65536}) {
    std::vector<double> impulse(2 * n, 0.0), constant(2 * n, 0.0);
    impulse[0] = 1.0;
    for (int j = 0; j < n; ++j)
      constant[2 * j] = 1.0;
    SRFFT(impulse.data(), n, 0);
    SRFFT(constant.data(), n, 0);
    for (int p = 0; p < n; ++p) {
      ASSERT_EQ(impulse[2 * p], 1.0) << n;
      ASSERT_EQ(impulse[2 * p + 1], 0.0) << n;
      ASSERT_NEAR(constant[2 * p], p == 0 ? n : 0.0, kExactTolerance * n) << n;
      ASSERT_NEAR(constant[2 * p + 1], 0.0, kExactTolerance * n) << n;
    }
  }
}

TEST(SRFFT, SixteenPointOutputOrderIsTheSplitRadixScramble)
{
  // Position of X(m), m = 0..15, worked out by hand from the recursion.
  const int expected[16] = {0, 12, 6, 11, 3, 15, 5, 9, 1, 13, 7, 10, 2, 14, 4, 8};
  for (int m = 0; m < 16; ++m)
    EXPECT_EQ(SRFFTPermute(m, 16), expected[m]) << "m = " << m;
  // Four points: positive-exponent bins in bit-reversed order (Y0, Y2, Y1, Y3).
  const int four[4] = {0, 3, 1, 2};
  for (int m = 0; m < 4; ++m)
    EXPECT_EQ(SRFFTPermute(m, 4), four[m]);
}

TEST(SRFFT, UnsupportedSizesLeaveTheDataUntouched)
{
  // The buffer is far smaller than the sizes, so any write is also an overflow.
  std::vector<double> data(32);
  for (size_t i = 0; i < data.size(); ++i)
    data[i] = 0.5 + static_cast<double>(i);
  const std::vector<double> before = data;
  for (int n : {-8, 0, 1, 3, 6, 12, 1048576, 1 << 30})
    for (int dir : {0, 1})
      SRFFT(data.data(), n, dir);
  EXPECT_EQ(data, before);
}

TEST(SRFFT, BadPermutationQueriesAnswerMinusOne)
{
  const struct {
    int m, n;
  } cases[] = {{0, 3}, {-1, 16}, {16, 16}, {0, 1048576}, {0, 0}};
  for (const auto& c : cases)
    EXPECT_EQ(SRFFTPermute(c.m, c.n), -1) << c.m << ", " << c.n;
  EXPECT_EQ(SRFFTPermuteTable(-1), nullptr);
  EXPECT_EQ(SRFFTPermuteTable(kSRFFTPermuteTableSize), nullptr);
  EXPECT_NE(SRFFTPermuteTable(kSRFFTPermuteTableSize - 1), nullptr);
}

TEST(SRFFT, ProductOfSpectraTransformedBackIsNTimesTheCircularConvolution)
{
  const int n = 256;
  const Spectrum x = RandomSignal(n, 11u), h = RandomSignal(n, 12u);
  std::vector<double> a = Interleave(x), b = Interleave(h), product(2 * n);
  SRFFT(a.data(), n, 0);
  SRFFT(b.data(), n, 0);
  SRFFTComplexMulTo(product.data(), a.data(), b.data(), n);
  SRFFT(product.data(), n, 1);
  Spectrum got(n), direct(n);
  for (int j = 0; j < n; ++j) {
    got[j] = Complex(product[2 * j], product[2 * j + 1]) / static_cast<double>(n);
    for (int k = 0; k < n; ++k)
      direct[j] += x[k] * h[(j - k + n) % n];
  }
  EXPECT_LT(RelativeError(got, direct), 1e-13);
}

TEST(SRFFT, WorksOnDataThatIsOnlyEightByteAligned)
{
  const int n = 512;
  const Spectrum x = RandomSignal(n, 3u);
  std::vector<double> aligned = Interleave(x), shifted(2 * n + 1);
  std::copy(aligned.begin(), aligned.end(), shifted.begin() + 1);
  SRFFT(aligned.data(), n, 0);
  SRFFT(shifted.data() + 1, n, 0);
  EXPECT_TRUE(std::equal(aligned.begin(), aligned.end(), shifted.begin() + 1));
}

TEST(SRFFT, TransformsAllocateNothing)
{
  SRFFTInit();
  std::vector<double> data(2 * 65536, 0.25);
  testsupport::ScopedAllocationCount count;
  SRFFT(data.data(), 65536, 0);
  SRFFT(data.data(), 65536, 1);
  SRFFT(data.data(), 16, 0);
  EXPECT_EQ(count.Count(), 0u);
}

TEST(SRFFT, ConcurrentFirstInitialisationGivesOneConsistentTable)
{
  // Runs in its own process under ctest, so the threads race for the first build.
  constexpr int kThreads = 8, n = 4096;
  const Spectrum x = RandomSignal(n, 21u);
  const Spectrum reference = FftwDft(x, -1);
  std::vector<double> errors(kThreads, 1.0);
  std::vector<std::thread> threads;
  for (int t = 0; t < kThreads; ++t)
    threads.emplace_back([&, t] {
      SRFFTInit();
      std::vector<double> data = Interleave(x);
      SRFFT(data.data(), n, 0);
      errors[t] = RelativeError(Unpermute(data, n), reference);
    });
  for (auto& th : threads)
    th.join();
  for (double e : errors)
    EXPECT_LT(e, kPerLevelTolerance * 12);
}

TEST(SRFFT, ComplexProductHelpersMatchStdComplexAndRefuseOddCounts)
{
  const int count = 6;
  const Spectrum a = RandomSignal(count, 31u), b = RandomSignal(count, 32u), c = RandomSignal(count, 33u);
  std::vector<double> mul = Interleave(a), to(2 * count), add = Interleave(c);
  const std::vector<double> ai = Interleave(a), bi = Interleave(b);
  SRFFTComplexMul(mul.data(), bi.data(), count);
  SRFFTComplexMulTo(to.data(), ai.data(), bi.data(), count);
  SRFFTComplexMulAdd(add.data(), ai.data(), bi.data(), count);
  for (int k = 0; k < count; ++k) {
    const Complex p = a[k] * b[k], s = c[k] + a[k] * b[k];
    EXPECT_NEAR(mul[2 * k], p.real(), 1e-15);
    EXPECT_NEAR(mul[2 * k + 1], p.imag(), 1e-15);
    EXPECT_EQ(to[2 * k], mul[2 * k]);
    EXPECT_NEAR(add[2 * k], s.real(), 1e-15);
    EXPECT_NEAR(add[2 * k + 1], s.imag(), 1e-15);
  }
  std::vector<double> untouched = ai;
  for (int bad : {0, 1, 3, -2})
    SRFFTComplexMul(untouched.data(), bi.data(), bad);
  EXPECT_EQ(untouched, ai);
}
