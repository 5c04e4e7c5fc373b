// The uniformly partitioned engine against direct convolution in long
// double, and its rules for sizes, channels, silence and bad input.
#include <gtest/gtest.h>

#include <cmath>
#include <limits>

#include "CConvolutionEngine.h"
#include "ConvolutionReference.h"
#include "FailingAllocator.h"

using namespace convref;

namespace {

constexpr uint32_t kSeed = 4711;

// A partition with several blocks, whatever the impulse length.
int SeveralBlocksFFTSize(int impulseLength)
{
  int f = 32;
  while (f < impulseLength / 2 && f < 16384)
    f *= 2;
  return f;
}

} // namespace

class ConvolutionEngineMatrix : public testing::TestWithParam<int> {};

TEST_P(ConvolutionEngineMatrix, EqualsDirectConvolutionForAnyImpulseInputAndBlockPattern)
{
  const int length = GetParam();
  const Pattern patterns[] = {{700, 900}, {4096, 5000}, {9, 17}, {1, 3}};
  ForEachCase(length, [&](const Case& c) {
    const CImpulseBuffer impulse = MakeImpulse(c.h);
    struct Config {
      const char* name;
      int fftSize;
      bool direct;
    } configs[] = {
      {"automatic FFT size", -1, false}, {"several blocks", SeveralBlocksFFTSize(length), false}, {"direct", 0, true}};
    int patternIndex = int(c.seed % 2);
    for (const Config& config : configs) {
      if (config.direct && length > 4097)
        continue;
      CConvolutionEngine engine;
      engine.SetImpulse(&impulse, config.fftSize, 0, 0, config.direct, false, true);
      const Pattern p = patterns[patternIndex++ % 4];
      const Channels out = Stream(engine, c.x, c.total, p, c.seed);
      EXPECT_LE(RelativeError(c.ref, out), kRelativeTolerance)
        << c.label << ", " << config.name << ", adds up to " << p.maxAdd;
    }
  });
}

INSTANTIATE_TEST_SUITE_P(ImpulseLengths, ConvolutionEngineMatrix, testing::Values(1, 63, 1000, 4097));
// Long impulses take minutes under the sanitizers and the emulator: optimised
// builds only (label soak).
INSTANTIATE_TEST_SUITE_P(LongImpulsesSoak, ConvolutionEngineMatrix, testing::Values(32768, 70000));

TEST(ConvolutionEngine, AutomaticFftSizeFollowsTheImpulseLengthUpToItsCap)
{
  const struct {
    int length, fftSize, expected;
  } cases[] = {
    {1000, -1, 2048}, {32768, -1, 65536},  {32768, -16384, 32768}, {1, -1, 32},       {16, -1, 32},
    {17, -1, 64},     {70000, -1, 262144}, {300000, -1, 524288},   {1000, -15, 2048}, {1000, -16, 32},
    {1000, 0, 2048},  {1000, 4096, 4096},  {1000, 1000, 1024},     {1000, 1, 2},
  };
  for (const auto& c : cases) {
    CImpulseBuffer impulse;
    impulse.SetLength(c.length);
    impulse.GetChannel(0)[0] = 1.0;
    CConvolutionEngine engine;
    EXPECT_EQ(engine.SetImpulse(&impulse, c.fftSize, 0, 0, false, false, true), c.expected / 2)
      << c.length << " / " << c.fftSize;
    EXPECT_EQ(engine.GetFFTSize(), c.expected);
  }
}

TEST(ConvolutionEngine, IdenticalImpulseChannelsBecomeOneUnlessKept)
{
  const std::vector<double> h = MakeImpulseChannel(300, kSeed);
  std::vector<double> other = h;
  other[299] = std::nextafter(other[299], 1.0);
  const struct {
    std::vector<double> second;
    bool keep;
    int expected;
  } cases[] = {{h, false, 1}, {h, true, 2}, {other, false, 2}, {std::vector<double>(h.begin(), h.end() - 1), false, 2}};
  for (const auto& c : cases) {
    const CImpulseBuffer impulse = MakeImpulse({h, c.second});
    CConvolutionEngine engine;
    engine.SetImpulse(&impulse, -1, 0, 0, false, c.keep, true);
    EXPECT_EQ(engine.GetImpulseChannels(), c.expected);
  }
}

TEST(ConvolutionEngine, UnitImpulseReproducesTheInputInBothModesWithFftOutputInStepsOfABlock)
{
  CImpulseBuffer impulse;
  impulse.SetLength(1);
  impulse.GetChannel(0)[0] = 1.0;
  const Channels x = MakeInput(InputKind::kIndependent, 2, 300, kSeed);
  for (bool direct : {false, true}) {
    CConvolutionEngine engine;
    const int block = engine.SetImpulse(&impulse, -1, 0, 0, direct, false, true);
    EXPECT_EQ(block, direct ? 0 : 16);
    double* in[2] = {const_cast<double*>(x[0].data()), const_cast<double*>(x[1].data())};
    int added = 0;
    for (int n : {5, 11, 16, 1, 100, 167}) {
      double* at[2] = {in[0] + added, in[1] + added};
      engine.Add(at, n, 2);
      added += n;
      const int expected = direct ? added : added / 16 * 16;
      EXPECT_EQ(engine.Avail(1 << 20, false), expected) << (direct ? "direct" : "fft") << " after " << added;
    }
    // Direct mode multiplies by 1.0; the transforms round a little.
    const double tolerance = direct ? 0.0 : 1e-15;
    const int avail = engine.Avail(1 << 20, false);
    double** out = engine.Get();
    for (int c = 0; c < 2; ++c)
      for (int i = 0; i < avail; ++i)
        ASSERT_NEAR(out[c][i], x[size_t(c)][size_t(i)], tolerance) << "channel " << c << " i " << i;
  }
}

TEST(ConvolutionEngine, FewerSamplesThanABlockLeaveTheAvailableOutputUnchanged)
{
  const CImpulseBuffer impulse = MakeImpulse({MakeImpulseChannel(1000, kSeed)});
  CConvolutionEngine engine;
  const int block = engine.SetImpulse(&impulse, -1, 0, 0, false, false, true);
  ASSERT_EQ(block, 1024);
  engine.Add(nullptr, block, 1);
  EXPECT_EQ(engine.Avail(1 << 20, false), block);
  for (int n : {1, 500, 522}) {
    engine.Add(nullptr, n, 1);
    EXPECT_EQ(engine.Avail(1 << 20, false), block);
  }
  engine.Add(nullptr, 1, 1);
  EXPECT_EQ(engine.Avail(1 << 20, false), 2 * block);
}

TEST(ConvolutionEngine, BlocksBelowTheSilenceThresholdContributeExactZeros)
{
  const CImpulseBuffer impulse = MakeImpulse({MakeImpulseChannel(100, kSeed), MakeImpulseChannel(100, kSeed + 1)});
  std::vector<double> tiny(512);
  for (size_t i = 0; i < tiny.size(); ++i)
    tiny[i] = (i % 2 ? 1 : -1) * 0.9e-12;
  for (int nch : {1, 2}) {
    CConvolutionEngine engine;
    engine.SetImpulse(&impulse, -1, 0, 0, false, false, true);
    double* in[2] = {tiny.data(), tiny.data()};
    engine.Add(in, 512, nch);
    ASSERT_EQ(engine.Avail(512, false), 512);
    for (int c = 0; c < nch; ++c)
      for (int i = 0; i < 512; ++i)
        ASSERT_EQ(engine.Get()[c][i], 0.0);
  }
}

TEST(ConvolutionEngine, InfinitiesNansAndTinyValuesAreFlushedBeforeTheTransform)
{
  std::vector<double> h = MakeImpulseChannel(200, kSeed);
  std::vector<double> clean = h;
  const double bad[] = {std::numeric_limits<double>::infinity(), -std::numeric_limits<double>::infinity(),
                        std::numeric_limits<double>::quiet_NaN(), 1e-300, -4e-320};
  for (size_t i = 0; i < std::size(bad); ++i) {
    h[10 + 20 * i] = bad[i];
    clean[10 + 20 * i] = 0.0;
  }
  Channels x = MakeInput(InputKind::kIndependent, 1, 2000, kSeed);
  Channels cleanX = x;
  x[0][300] = std::numeric_limits<double>::quiet_NaN();
  x[0][301] = std::numeric_limits<double>::infinity();
  cleanX[0][300] = cleanX[0][301] = 0.0;
  const CImpulseBuffer impulse = MakeImpulse({h});
  CConvolutionEngine engine;
  engine.SetImpulse(&impulse, -1, 0, 0, false, false, true);
  const Reference ref = Convolve({clean}, cleanX, 2000, kSeed);
  EXPECT_LE(RelativeError(ref, Stream(engine, x, 2000, {300, 400}, kSeed)), kRelativeTolerance);
}

TEST(ConvolutionEngine, ChangingTheChannelCountDropsOrPadsChannelOne)
{
  const CImpulseBuffer impulse = MakeImpulse({MakeImpulseChannel(100, kSeed)});
  CConvolutionEngine engine;
  const int block = engine.SetImpulse(&impulse, -1, 0, 0, false, false, true);
  engine.Add(nullptr, 3 * block + 10, 2);
  ASSERT_EQ(engine.Avail(1 << 20, false), 3 * block);

  engine.Add(nullptr, block, 1);
  EXPECT_EQ(engine.Get()[1], nullptr) << "a dropped channel serves no output";
  EXPECT_EQ(engine.Avail(1 << 20, false), 4 * block);

  // Channel 1 comes back aligned with channel 0's output and pending input.
  engine.Add(nullptr, block - 10, 2);
  EXPECT_EQ(engine.GetQueued(1), 4 * block + 10);
  EXPECT_EQ(engine.Avail(1 << 20, false), 4 * block + 10);
  EXPECT_EQ(engine.GetQueued(0), 5 * block);
}

// One channel leaves whole blocks pending; the second channel then joins,
// padded to channel 0's position. Their queues come level again later, but
// channel 0's delay line never held channel 1, so they must not pair, nor
// share while channel 0's past differs from channel 1's.
TEST(ConvolutionEngine, ASecondChannelJoiningMidStreamIsFilteredExactly)
{
  constexpr size_t kTotal = 2000;
  const struct {
    int impulseChannels, pending;
  } cases[] = {{1, 32}, {1, 64}, {1, 10}, {2, 32}, {2, 64}, {2, 10}};
  for (const auto& [impulseChannels, pending] : cases) {
    Channels h = {MakeImpulseChannel(100, kSeed)};
    if (impulseChannels == 2)
      h.push_back(MakeImpulseChannel(100, kSeed + 1));
    const CImpulseBuffer impulse = MakeImpulse(h);
    // Unrelated channels for the mono impulse; equal ones (sharing) for the stereo one.
    const InputKind kind = impulseChannels == 1 ? InputKind::kIndependent : InputKind::kIdentical;
    Channels x = MakeInput(kind, 2, kTotal, kSeed + uint32_t(pending));
    std::fill(x[1].begin(), x[1].begin() + pending, 0.0); // channel 1 is silent until it joins
    CConvolutionEngine engine;
    ASSERT_EQ(engine.SetImpulse(&impulse, 64, 0, 0, false, false, true), 32);
    double* first[1] = {x[0].data()};
    engine.Add(first, pending, 1);
    engine.Avail(0, false);
    Channels out(2);
    std::mt19937 rng(kSeed);
    for (size_t t = size_t(pending); t < kTotal;) {
      const int n = std::min(1 + int(rng() % 80), int(kTotal - t));
      double* in[2] = {x[0].data() + t, x[1].data() + t};
      engine.Add(in, n, 2);
      t += size_t(n);
      const int got = engine.Avail(1 << 20, false);
      for (int c = 0; c < 2; ++c)
        out[size_t(c)].insert(out[size_t(c)].end(), engine.Get()[c], engine.Get()[c] + got);
      engine.Advance(got);
    }
    const size_t done = out[1].size();
    ASSERT_GT(done, kTotal / 2);
    EXPECT_LE(RelativeError(Convolve(h, x, done, kSeed), out), kRelativeTolerance)
      << impulseChannels << "-channel impulse, " << pending << " samples pending";
  }
}

TEST(ConvolutionEngine, ResetForgetsTheSignalButKeepsTheImpulse)
{
  const Channels h = {MakeImpulseChannel(1000, kSeed)};
  const CImpulseBuffer impulse = MakeImpulse(h);
  const Channels x = MakeInput(InputKind::kIndependent, 2, 5000, kSeed);
  CConvolutionEngine engine;
  engine.SetImpulse(&impulse, -1, 0, 0, false, false, true);
  Stream(engine, MakeInput(InputKind::kIndependent, 2, 3000, kSeed + 1), 1500, {600, 700}, kSeed);
  engine.Reset();
  const Reference ref = Convolve(h, x, 5000, kSeed);
  EXPECT_LE(RelativeError(ref, Stream(engine, x, 5000, {600, 700}, kSeed)), kRelativeTolerance);
}

TEST(ConvolutionEngine, AnEngineWithoutImpulsePassesAudioThrough)
{
  CImpulseBuffer empty;
  empty.SetLength(0);
  const Channels x = MakeInput(InputKind::kIndependent, 2, 1000, kSeed);
  for (int variant = 0; variant < 3; ++variant) {
    CConvolutionEngine engine;
    if (variant == 1)
      engine.SetImpulse(&empty, -1, 0, 0, false, false, true);
    if (variant == 2)
      engine.SetImpulse(nullptr, -1, 0, 0, false, false, true);
    const Channels out = Stream(engine, x, 1000, {100, 150}, kSeed);
    for (int c = 0; c < 2; ++c)
      for (size_t i = 0; i < 1000; ++i)
        ASSERT_EQ(out[size_t(c)][i], x[size_t(c)][i]) << "variant " << variant;
  }
}

TEST(ConvolutionEngine, ANewImpulseOfAnotherShapeMidStreamRebuildsTheDelayLine)
{
  const Channels shortH = {MakeImpulseChannel(100, kSeed)}, longH = {MakeImpulseChannel(5000, kSeed)};
  const CImpulseBuffer first = MakeImpulse(shortH), second = MakeImpulse(longH);
  CConvolutionEngine engine;
  engine.SetImpulse(&first, -1, 0, 0, false, false, true);
  const Channels x = MakeInput(InputKind::kIndependent, 2, 20000, kSeed);
  Stream(engine, x, 3000, {500, 600}, kSeed);
  engine.SetImpulse(&second, -1, 0, 0, false, false, true);
  const Channels out = Stream(engine, x, 12000, {500, 600}, kSeed);
  for (const auto& ch : out)
    for (double v : ch)
      ASSERT_TRUE(std::isfinite(v));
}

TEST(ConvolutionEngine, FailedAllocationsShortenTheOutputAndNeverBreakTheEngine)
{
  const CImpulseBuffer impulse = MakeImpulse({MakeImpulseChannel(3000, kSeed), MakeImpulseChannel(3000, kSeed + 1)});
  const Channels x = MakeInput(InputKind::kSilences, 2, 6000, kSeed);
  for (int skip = 0; skip < 40; ++skip) {
    CConvolutionEngine engine;
    testsupport::ScopedAllocationFailure failure(skip, 1 + skip % 3);
    engine.SetImpulse(&impulse, skip % 2 ? -1 : 1024, 0, 0, skip % 5 == 4, false, true);
    double* in[2] = {const_cast<double*>(x[0].data()), const_cast<double*>(x[1].data())};
    for (int pos = 0; pos + 500 <= 6000; pos += 500) {
      double* at[2] = {in[0] + pos, in[1] + pos};
      engine.Add(at, 500, 2);
      const int avail = engine.Avail(500, skip % 3 == 0);
      double** out = engine.Get();
      for (int c = 0; c < 2; ++c)
        for (int i = 0; out[c] && i < std::min(avail, engine.GetQueued(c)); ++i)
          ASSERT_TRUE(std::isfinite(out[c][i]));
      engine.Advance(avail);
    }
  }
}

// 2^26 samples under the automatic cap need 256 blocks of 2^19 complex values:
// 2^31 bytes of spectra, one more than a buffer can address.
TEST(ConvolutionEngine, AnImpulseWhoseSpectraCannotBeAddressedLeavesTheEnginePassingAudioThrough)
{
  constexpr int kLength = 1 << 26;
  CImpulseBuffer impulse;
  ASSERT_EQ(impulse.SetLength(kLength), kLength);
  impulse.GetChannel(0)[0] = 0.5;
  impulse.GetChannel(0)[kLength - 1] = 0.25;
  CConvolutionEngine engine;
  EXPECT_EQ(engine.SetImpulse(&impulse, -1, 0, 0, false, false, true), CConvolutionEngine::kMaxFFTSize / 2);
  const Channels x = MakeInput(InputKind::kIndependent, 2, 1000, kSeed);
  const Channels out = Stream(engine, x, 1000, {100, 150}, kSeed);
  for (int c = 0; c < 2; ++c)
    for (size_t i = 0; i < 1000; ++i)
      ASSERT_EQ(out[size_t(c)][i], x[size_t(c)][i]);
}
