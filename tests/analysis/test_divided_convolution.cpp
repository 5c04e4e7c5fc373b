// The divided engine against direct convolution in long double, its slice
// tables, zero latency, priming and its behaviour over a long stream.
#include <gtest/gtest.h>

#include <cmath>
#include <sstream>

#include "AllocationCounter.h"
#include "CDividedConvolutionEngine.h"
#include "ConvolutionReference.h"
#include "FailingAllocator.h"

using namespace convref;

namespace {

constexpr uint32_t kSeed = 8191;
constexpr int kPluginMaxFFT = 65536;

using Slices = std::vector<CDividedConvolutionEngine::SliceInfo>;

Slices SlicesOf(const CDividedConvolutionEngine& engine)
{
  Slices s;
  for (int i = 0; i < engine.GetNumSlices(); ++i)
    s.push_back(engine.GetSliceInfo(i));
  return s;
}

std::string Describe(const Slices& slices)
{
  std::ostringstream text;
  for (const auto& s : slices)
    text << "(" << s.start << ", " << s.length << ", " << s.fftSize << ") ";
  return text.str();
}

// Noise defined for every time, so a long stream needs no stored input.
double NoiseAt(int channel, int64_t t)
{
  uint64_t z = uint64_t(t) * 0x9E3779B97F4A7C15ull + uint64_t(channel + 1) * 0xBF58476D1CE4E5B9ull;
  z = (z ^ (z >> 30)) * 0xBF58476D1CE4E5B9ull;
  z = (z ^ (z >> 27)) * 0x94D049BB133111EBull;
  z ^= z >> 31;
  return double(z >> 11) * 0x1.0p-52 - 1.0;
}

// Alternating sound and silence, as music has it.
double SignalAt(int channel, int64_t t, int rate)
{
  return (t / (7 * int64_t(rate))) % 4 != 3 ? NoiseAt(channel, t) : 0.0;
}

} // namespace

class DividedEngineMatrix : public testing::TestWithParam<int> {};

TEST_P(DividedEngineMatrix, EqualsDirectConvolutionForAnyImpulseInputAndBlockPattern)
{
  const int length = GetParam();
  const Pattern patterns[] = {{512, 512}, {700, 900}, {9, 17}, {3000, 4000}};
  ForEachCase(length, [&](const Case& c) {
    const CImpulseBuffer impulse = MakeImpulse(c.h);
    struct Config {
      const char* name;
      int maxFFT, blockSize, latency;
      bool noSharing;
    } configs[] = {{"no block size", kPluginMaxFFT, 0, 0, false},
                   {"block size 512", kPluginMaxFFT, 512, 0, false},
                   {"latency 1000", kPluginMaxFFT, 0, 1000, false},
                   {"largest FFT 1024", 1024, 0, 0, true}};
    int patternIndex = int(c.seed % 4);
    for (const Config& config : configs) {
      CDividedConvolutionEngine engine;
      engine.SetImpulse(&impulse, config.maxFFT, config.blockSize, 0, 0, config.latency, false);
      const Pattern p = patterns[patternIndex++ % 4];
      const Channels out = Stream(engine, c.x, c.total, p, c.seed, config.noSharing);
      EXPECT_LE(RelativeError(c.ref, out), kRelativeTolerance)
        << c.label << ", " << config.name << ", adds up to " << p.maxAdd;
    }
  });
}

INSTANTIATE_TEST_SUITE_P(ImpulseLengths, DividedEngineMatrix, testing::Values(1, 63, 1000, 4097));
// The plug-in's length and one past the largest FFT: minutes under the
// sanitizers and the emulator, so optimised builds only (label soak).
INSTANTIATE_TEST_SUITE_P(LongImpulsesSoak, DividedEngineMatrix, testing::Values(32768, 70000));

TEST(DividedEngine, SlicesGrowWithTheirStartAsTheTablesGiveThem)
{
  const struct {
    int length, maxFFT, blockSize, latency;
    Slices expected;
  } cases[] = {
    {32768,
     kPluginMaxFFT,
     0,
     0,
     {{0, 64, 0}, {64, 192, 128}, {256, 768, 512}, {1024, 3072, 2048}, {4096, 28672, 8192}}},
    {32768,
     kPluginMaxFFT,
     100,
     0,
     {{0, 64, 0}, {64, 192, 128}, {256, 768, 512}, {1024, 3072, 2048}, {4096, 28672, 8192}}},
    {32768,
     kPluginMaxFFT,
     384,
     0,
     {{0, 64, 0}, {64, 192, 128}, {256, 768, 512}, {1024, 3072, 2048}, {4096, 28672, 8192}}},
    {32768, kPluginMaxFFT, 512, 0, {{0, 256, 0}, {256, 768, 512}, {1024, 3072, 2048}, {4096, 28672, 8192}}},
    {32768, kPluginMaxFFT, 0, 1000, {{0, 1024, 1024}, {1024, 3072, 2048}, {4096, 28672, 8192}}},
    {70000,
     kPluginMaxFFT,
     512,
     0,
     {{0, 256, 0}, {256, 768, 512}, {1024, 3072, 2048}, {4096, 12288, 8192}, {16384, 53616, 32768}}},
    {70000, 4096, 0, 0, {{0, 64, 0}, {64, 192, 128}, {256, 768, 512}, {1024, 3072, 2048}, {4096, 65904, 8192}}},
    {100, kPluginMaxFFT, 0, 0, {{0, 100, 0}}},
    {1, kPluginMaxFFT, 0, 0, {{0, 1, 0}}},
  };
  for (const auto& c : cases) {
    CImpulseBuffer impulse;
    impulse.SetLength(c.length);
    impulse.GetChannel(0)[0] = 1.0;
    CDividedConvolutionEngine engine;
    engine.SetImpulse(&impulse, c.maxFFT, c.blockSize, 0, 0, c.latency, false);
    EXPECT_EQ(Describe(SlicesOf(engine)), Describe(c.expected))
      << "impulse " << c.length << ", block size " << c.blockSize << ", latency " << c.latency;
  }
}

TEST(DividedEngine, LatencyIsZeroWithoutAllowanceAndHalfTheFirstFftWithIt)
{
  const struct {
    int length, blockSize, latency, expected;
  } cases[] = {{32768, 0, 0, 0},       {32768, 512, 0, 0},     {1, 0, 0, 0},
               {32768, 0, 1000, 512},  {32768, 0, 32, 32},     {32768, 512, 100, 128},
               {32768, 512, 200, 128}, {32768, 512, 300, 256}, {32768, 0, 1000000, 65536}};
  for (const auto& c : cases) {
    CImpulseBuffer impulse;
    impulse.SetLength(c.length);
    CDividedConvolutionEngine engine;
    EXPECT_EQ(engine.SetImpulse(&impulse, kPluginMaxFFT, c.blockSize, 0, 0, c.latency, false), c.expected)
      << c.length << " " << c.blockSize << " " << c.latency;
    EXPECT_EQ(engine.GetLatency(), c.expected);
  }
  CDividedConvolutionEngine none;
  EXPECT_EQ(none.GetLatency(), 0);
}

TEST(DividedEngine, EveryAddOfNSamplesMakesNAvailableWithoutLatency)
{
  const CImpulseBuffer impulse = MakeImpulse({MakeImpulseChannel(32768, kSeed), MakeImpulseChannel(32768, kSeed + 1)});
  std::mt19937 rng(kSeed);
  for (int blockSize : {512, 0}) {
    CDividedConvolutionEngine engine;
    ASSERT_EQ(engine.SetImpulse(&impulse, kPluginMaxFFT, blockSize, 0, 0, 0, false), 0);
    for (int i = 0; i < 300; ++i) {
      const int n = i < 100 ? 512 : 1 + int(rng() % 2000);
      engine.Add(nullptr, n, 2);
      ASSERT_EQ(engine.Avail(n, false), n) << "block size " << blockSize << ", call " << i;
      engine.Advance(n);
    }
  }
}

TEST(DividedEngine, AllowedLatencyDelaysTheOutputByAtMostThatMuch)
{
  const CImpulseBuffer impulse = MakeImpulse({MakeImpulseChannel(32768, kSeed)});
  CDividedConvolutionEngine engine;
  const int latency = engine.SetImpulse(&impulse, kPluginMaxFFT, 0, 0, 0, 1000, false);
  ASSERT_EQ(latency, 512);
  std::mt19937 rng(kSeed);
  int64_t added = 0, taken = 0;
  for (int i = 0; i < 300; ++i) {
    const int n = 1 + int(rng() % 1500);
    engine.Add(nullptr, n, 2);
    added += n;
    const int got = engine.Avail(1 << 20, false);
    engine.Advance(got);
    taken += got;
    ASSERT_GE(taken, added - (latency - 1));
    ASSERT_LE(taken, added);
  }
}

TEST(DividedEngine, ResetChannelCountServesNoChannelUntilTheNextAdd)
{
  const CImpulseBuffer impulse = MakeImpulse({MakeImpulseChannel(1000, kSeed)});
  CDividedConvolutionEngine engine;
  engine.SetImpulse(&impulse, kPluginMaxFFT, 0, 0, 0, 0, false);
  engine.Add(nullptr, 300, 2);
  ASSERT_EQ(engine.Avail(100, false), 100);
  engine.ResetChannelCount();
  EXPECT_EQ(engine.Get()[0], nullptr);
  EXPECT_EQ(engine.Get()[1], nullptr);
  EXPECT_EQ(engine.Avail(100, false), 0);
  engine.Add(nullptr, 300, 2);
  EXPECT_NE(engine.Get()[0], nullptr);
  EXPECT_NE(engine.Get()[1], nullptr);
}

TEST(DividedEngine, AskingForNothingReturnsZeroAndQueuesNothing)
{
  const CImpulseBuffer impulse = MakeImpulse({MakeImpulseChannel(1000, kSeed)});
  CDividedConvolutionEngine engine;
  engine.SetImpulse(&impulse, kPluginMaxFFT, 0, 0, 0, 0, false);
  engine.Add(nullptr, 300, 2);
  EXPECT_EQ(engine.Avail(0, false), 0);
  EXPECT_EQ(engine.Get()[0], nullptr);
  EXPECT_EQ(engine.Avail(300, false), 300);
}

TEST(DividedEngine, ResetAndRenewedSlicesFilterLikeAFreshEngine)
{
  const Channels h = {MakeImpulseChannel(5000, kSeed), MakeImpulseChannel(5000, kSeed + 1)};
  const CImpulseBuffer impulse = MakeImpulse(h);
  const CImpulseBuffer other = MakeImpulse({MakeImpulseChannel(3000, kSeed + 2)});
  const Channels x = MakeInput(InputKind::kSilences, 2, 12000, kSeed);
  const Reference ref = Convolve(h, x, 12000, kSeed);
  const Channels warmUp = MakeInput(InputKind::kIndependent, 2, 9000, kSeed + 3);

  CDividedConvolutionEngine engine;
  engine.SetImpulse(&impulse, kPluginMaxFFT, 512, 0, 0, 0, false);
  Stream(engine, warmUp, 7000, {512, 512}, kSeed);
  engine.Reset();
  EXPECT_LE(RelativeError(ref, Stream(engine, x, 12000, {512, 512}, kSeed)), kRelativeTolerance) << "after Reset";

  engine.SetImpulse(&other, kPluginMaxFFT, 0, 0, 0, 0, false);
  Stream(engine, warmUp, 7000, {300, 500}, kSeed);
  engine.SetImpulse(&impulse, kPluginMaxFFT, 512, 0, 0, 0, false, true);
  EXPECT_LE(RelativeError(ref, Stream(engine, x, 12000, {300, 500}, kSeed)), kRelativeTolerance)
    << "after renewing the slices in place";
}

TEST(DividedEngine, AnOffsetAndALengthLimitSelectPartOfTheImpulse)
{
  const std::vector<double> h = MakeImpulseChannel(6000, kSeed);
  const Channels part = {std::vector<double>(h.begin() + 1000, h.begin() + 4000)};
  const CImpulseBuffer impulse = MakeImpulse({h});
  const Channels x = MakeInput(InputKind::kIndependent, 1, 8000, kSeed);
  CDividedConvolutionEngine engine;
  engine.SetImpulse(&impulse, kPluginMaxFFT, 0, 3000, 1000, 0, false);
  EXPECT_LE(RelativeError(Convolve(part, x, 8000, kSeed), Stream(engine, x, 8000, {256, 256}, kSeed)),
            kRelativeTolerance);
}

// The plug-in's case over a long stream at 48 kHz: once warmed up the stream
// allocates nothing, so its memory stays bounded, and it still convolves.
static void StreamKeepsMemoryBoundedAndStaysExact(int seconds)
{
  constexpr int kRate = 48000, kBlock = 512;
  const int64_t kFrames = int64_t(seconds) * kRate;
  constexpr int64_t kWarmUp = int64_t(5) * kRate;
  const int length = 32768;
  const Channels h = {MakeImpulseChannel(length, kSeed), MakeImpulseChannel(length, kSeed + 1)};
  const CImpulseBuffer impulse = MakeImpulse(h);
  CDividedConvolutionEngine engine;
  ASSERT_EQ(engine.SetImpulse(&impulse, kPluginMaxFFT, kBlock, 0, 0, 0, false), 0);

  std::mt19937 rng(kSeed);
  std::vector<int64_t> checks;
  // In the last minute, and past the first impulse length, where the stream
  // has fed the engine every sample the reference sums.
  const int64_t span = std::min<int64_t>(60 * kRate, kFrames - length);
  for (int i = 0; i < 40; ++i)
    checks.push_back(kFrames - 1 - int64_t(rng() % uint64_t(span)));
  std::vector<double> in[2] = {std::vector<double>(kBlock), std::vector<double>(kBlock)};
  double* inputs[2] = {in[0].data(), in[1].data()};
  double worst = 0.0, peak = 0.0;
  size_t newCalls = 0;
  int bufferCalls = 0;
  for (int64_t t = 0; t < kFrames; t += kBlock) {
    for (int c = 0; c < 2; ++c)
      for (int i = 0; i < kBlock; ++i)
        in[c][size_t(i)] = SignalAt(c, t + i, kRate);
    const testsupport::ScopedAllocationCount news;
    const int buffersBefore = testsupport::BufferAllocationCalls();
    engine.Add(inputs, kBlock, 2);
    const int got = engine.Avail(kBlock, false);
    double** out = engine.Get();
    ASSERT_EQ(got, kBlock);
    for (int64_t when : checks) {
      if (when < t || when >= t + kBlock)
        continue;
      for (int c = 0; c < 2; ++c) {
        long double ref = 0.0L;
        for (int k = 0; k < length; ++k)
          ref += (long double)h[size_t(c)][size_t(k)] * SignalAt(c, when - k, kRate);
        worst = std::max(worst, std::fabs(out[c][when - t] - double(ref)));
        peak = std::max(peak, std::fabs(double(ref)));
      }
    }
    engine.Advance(got);
    if (t >= kWarmUp) {
      newCalls += news.Count();
      bufferCalls += testsupport::BufferAllocationCalls() - buffersBefore;
    }
  }
  EXPECT_EQ(newCalls, 0u);
  EXPECT_EQ(bufferCalls, 0);
  EXPECT_GT(peak, 0.0);
  EXPECT_LE(worst, kRelativeTolerance * peak);
}

TEST(DividedEngine, ATwentySecondStreamKeepsMemoryBoundedAndStaysExact) { StreamKeepsMemoryBoundedAndStaysExact(20); }

// Minutes under the sanitizers: optimised builds only (label soak).
TEST(DividedEngineSoak, ATenMinuteStreamKeepsMemoryBoundedAndStaysExact)
{
  StreamKeepsMemoryBoundedAndStaysExact(10 * 60);
}
