// The audio block: delays, mix and gain law, limiter, peak, clip detector,
// fade-in, meter cadence, capture, reset and latency, allocation.
#include <AllocationCounter.h>

#include <cmath>
#include <random>

#include "Vorelle3Fixture.h"

using namespace testplug;

namespace {

constexpr double kRate = 48000.0;
constexpr int kBlock = 512;
constexpr double kSampleTolerance = 1e-9;
constexpr int kDigitalDelay = 16383;

std::vector<double> Noise(size_t n, unsigned seed, double amplitude)
{
  std::mt19937 rng(seed);
  std::uniform_real_distribution<double> u(-amplitude, amplitude);
  std::vector<double> x(n);
  for (double& v : x)
    v = u(rng);
  return x;
}

// Fade-in factor of output sample i after a rebuild or reference change.
double Fade(size_t i, int length)
{
  if (i >= size_t(length))
    return 1.0;
  const double x = double(i + 1) / length;
  return x * x;
}

struct Rig : Vorelle3Test {
  void Make(int adMode)
  {
    plug = std::make_unique<TestVorelle3>();
    plug->SetHost("Test host", 0);
    plug->Reconfigure(kRate, kBlock);
    plug->SetADMode(adMode);
    plug->ComputeCurves();
  }
  std::unique_ptr<TestVorelle3> plug;
};

} // namespace

struct ModeCase {
  int adMode;
  int delay;
};
class PassThrough : public Rig, public ::testing::WithParamInterface<ModeCase> {};

TEST_P(PassThrough, WithoutFingerprintProcessingPassesAudioDelayedByTheReportedLatency)
{
  Make(GetParam().adMode);
  const int delay = GetParam().delay;
  EXPECT_EQ(plug->WantedLatency(), delay);
  plug->SetActivity(kProcessing);
  const std::vector<double> l = Noise(60000, 1, 0.5), r = Noise(60000, 2, 0.5);
  std::vector<double> outL, outR;
  plug->Run(l, r, outL, outR, 300);
  for (size_t i = 0; i < l.size(); ++i) {
    const double f = Fade(i, plug->Output().FadeLength());
    const double el = i >= size_t(delay) ? l[i - size_t(delay)] * f : 0.0;
    const double er = i >= size_t(delay) ? r[i - size_t(delay)] * f : 0.0;
    ASSERT_NEAR(outL[i], el, kSampleTolerance) << i;
    ASSERT_NEAR(outR[i], er, kSampleTolerance) << i;
  }
}

TEST_P(PassThrough, IdleGivesTheDelayedDrySignalWhateverGainAndMix)
{
  Make(GetParam().adMode);
  const int delay = GetParam().delay;
  plug->SetActivity(kIdle);
  plug->SetGain(12.0);
  plug->SetMix(30.0);
  // Idle neither limits nor fades.
  const std::vector<double> l = Noise(40000, 3, 1.8), r = Noise(40000, 4, 1.8);
  std::vector<double> outL, outR;
  plug->Run(l, r, outL, outR, kBlock);
  for (size_t i = 0; i < l.size(); ++i) {
    ASSERT_NEAR(outL[i], i >= size_t(delay) ? l[i - size_t(delay)] : 0.0, kSampleTolerance) << i;
    ASSERT_NEAR(outR[i], i >= size_t(delay) ? r[i - size_t(delay)] : 0.0, kSampleTolerance) << i;
  }
  EXPECT_EQ(plug->Output().PeakMax(), 0.0);
}

INSTANTIATE_TEST_SUITE_P(BothModes, PassThrough, ::testing::Values(ModeCase{0, 0}, ModeCase{1, kDigitalDelay}),
                         [](const auto& info) { return info.param.adMode ? "Digital" : "Analoge"; });

TEST_F(Rig, MixAndGainActOnTheFilteredShareOnlyAndTheOutputIsClamped)
{
  // With a unit filter wet and dry are the same signal x, so the output is
  // clamp((g * w + 1 - w) * x) after the fade.
  struct Case {
    double mix, gainDB;
  };
  const Case cases[] = {{0.0, 12.0}, {100.0, 6.0}, {50.0, 0.0}, {30.0, -24.0}, {30.0, -200.0}, {75.0, 24.0}};
  Make(0);
  const std::vector<double> l = Noise(20000, 5, 0.9), r = Noise(20000, 6, 0.9);
  for (const Case& c : cases) {
    plug->SetActivity(kProcessing);
    plug->SetMix(c.mix);
    plug->SetGain(c.gainDB);
    plug->SetReferenceMode(0); // restarts the fade
    std::vector<double> outL, outR;
    plug->Run(l, r, outL, outR, kBlock);
    const double g = c.gainDB <= -144.0 ? 0.0 : std::pow(10.0, c.gainDB / 20.0), w = c.mix / 100.0;
    for (size_t i = 0; i < l.size(); ++i) {
      const double f = Fade(i, plug->Output().FadeLength());
      ASSERT_NEAR(outL[i], std::clamp((g * w + 1.0 - w) * l[i], -1.0, 1.0) * f, kSampleTolerance)
        << c.mix << " " << c.gainDB << " " << i;
      ASSERT_NEAR(outR[i], std::clamp((g * w + 1.0 - w) * r[i], -1.0, 1.0) * f, kSampleTolerance);
    }
  }
}

TEST_F(Rig, ADryPathThatDeliversLessIsUsedAsFarAsItGoesAndSilentBeyond)
{
  Make(0);
  // A lagging engine fed 100-frame blocks falls short by part of a block.
  const int lag = 100, block = 100;
  plug->LetDryPathLag(lag);
  // The same engine outside the plug-in says how much dry signal each block
  // brings: output = g w x + (1 - w) (dry where delivered, else 0).
  CImpulseBuffer unitImpulse;
  unitImpulse.SetNumChannels(2);
  ASSERT_EQ(unitImpulse.SetLength(32768), 32768);
  unitImpulse.GetChannel(0)[0] = unitImpulse.GetChannel(1)[0] = 1.0;
  CDividedConvolutionEngine reference;
  reference.SetImpulse(&unitImpulse, 2 * plug->MaxImpulseSize(), plug->BlockSizeBuilt(), 0, 0, lag, false);

  plug->SetActivity(kProcessing);
  plug->SetMix(50.0);
  plug->SetGain(6.0);
  const double g = std::pow(10.0, 6.0 / 20.0), w = 0.5;
  const std::vector<double> l = Noise(30 * block, 12, 0.3), r = Noise(30 * block, 13, 0.3);
  std::vector<double> outL(l.size()), outR(r.size());
  int shortBlocks = 0;
  for (size_t pos = 0; pos < l.size(); pos += block) {
    double* in[2] = {const_cast<double*>(l.data() + pos), const_cast<double*>(r.data() + pos)};
    double* out[2] = {outL.data() + pos, outR.data() + pos};
    plug->ProcessBlock(in, out, block);
    reference.Add(in, block, 2);
    const int nd = std::min(reference.Avail(block, false), block);
    double** dry = reference.Get();
    if (nd > 0 && nd < block)
      ++shortBlocks;
    for (int i = 0; i < block; ++i) {
      const double f = Fade(pos + size_t(i), plug->Output().FadeLength());
      const double dl = i < nd ? dry[0][i] : 0.0, dr = i < nd ? dry[1][i] : 0.0;
      ASSERT_NEAR(outL[pos + size_t(i)], (g * w * l[pos + size_t(i)] + (1.0 - w) * dl) * f, kSampleTolerance)
        << pos + size_t(i);
      ASSERT_NEAR(outR[pos + size_t(i)], (g * w * r[pos + size_t(i)] + (1.0 - w) * dr) * f, kSampleTolerance)
        << pos + size_t(i);
    }
    reference.Advance(nd);
  }
  EXPECT_GT(shortBlocks, 0) << "the dry path never fell short";
}

TEST_F(Rig, APeakAboveFullScaleIsRecordedLimitedAndHeldThenReleased)
{
  Make(0);
  plug->SetActivity(kProcessing);
  // Past the fade, then one sample of 1.5 in silence.
  std::vector<double> x(size_t(plug->Output().FadeLength()) + 1000, 0.0), outL, outR;
  x[x.size() - 10] = 1.5;
  plug->Run(x, x, outL, outR, kBlock);
  EXPECT_EQ(plug->Output().PeakMax(), 1.5);
  EXPECT_EQ(outL[x.size() - 10], 1.0);
  EXPECT_EQ(plug->Output().ClipEnvelope(), 1.0);
  EXPECT_EQ(plug->Output().ClipLatch(), 1.0);
  EXPECT_EQ(plug->Output().ClipState(), 1);

  // Held for 2 s after the clipped sample (9 samples are already behind us)...
  const std::vector<double> silence(size_t(2 * kRate) - 9, 0.0);
  plug->Run(silence, silence, outL, outR, kBlock);
  EXPECT_EQ(plug->Output().ClipEnvelope(), 1.0);
  EXPECT_EQ(plug->Output().ClipState(), 1);
  // ...then falls by a factor of ten each 0.1 s...
  const std::vector<double> tenth(size_t(0.1 * kRate), 0.0);
  plug->Run(tenth, tenth, outL, outR, kBlock);
  EXPECT_EQ(plug->Output().ClipState(), 4);
  EXPECT_NEAR(plug->Output().ClipEnvelope(), 0.1, 1e-3);
  plug->Run(tenth, tenth, outL, outR, kBlock);
  EXPECT_NEAR(plug->Output().ClipEnvelope(), 0.01, 1e-4);
  // ...and is cut to 0 below 1e-8 (eight decades: 0.8 s).
  const std::vector<double> rest(size_t(0.7 * kRate), 0.0);
  plug->Run(rest, rest, outL, outR, kBlock);
  EXPECT_EQ(plug->Output().ClipEnvelope(), 0.0);
  EXPECT_EQ(plug->Output().ClipLatch(), 1.0);
  EXPECT_EQ(plug->Output().PeakMax(), 1.5);
}

TEST_F(Rig, AReferenceChangeFadesTheOutputInOverAQuarterSecond)
{
  Make(0);
  plug->SetActivity(kProcessing);
  const std::vector<double> x(30000, 0.5);
  std::vector<double> outL, outR;
  plug->Run(x, x, outL, outR, kBlock);
  plug->SetReferenceMode(2);
  plug->Run(x, x, outL, outR, 1000);
  ASSERT_EQ(plug->Output().FadeLength(), 12000);
  EXPECT_NEAR(outL[0], 0.5 / (12000.0 * 12000.0), 1e-15);
  EXPECT_NEAR(outL[5999], 0.5 * 0.25, 1e-12);
  EXPECT_EQ(outL[11999], 0.5);
  EXPECT_EQ(outL[20000], 0.5);
}

TEST_F(Rig, TheMeterIsDueEveryTwentyFiveMilliseconds)
{
  Make(0);
  ASSERT_EQ(plug->Output().MeterInterval(), 1200);
  const std::vector<double> x(kBlock, 0.1);
  std::vector<double> outL, outR;
  std::vector<int> due;
  for (int b = 0; b < 10; ++b) {
    plug->Output().TakeMeterUpdate();
    plug->Run(x, x, outL, outR, kBlock);
    if (plug->Output().MeterUpdatePending())
      due.push_back(b);
  }
  // 512-frame blocks cross multiples of 1200 after blocks 2, 4, 7 and 9.
  EXPECT_EQ(due, (std::vector<int>{2, 4, 7, 9}));
}

TEST_F(Rig, CapturePassesAudioAndBecomesValidOnceTheAnalyserIsReady)
{
  Make(0);
  plug->SetActivity(kCapture);
  const std::vector<double> l = Noise(16384 + 100, 7, 1.5), r = Noise(16384 + 100, 8, 1.5);
  std::vector<double> outL, outR;
  const std::vector<double> head(l.begin(), l.begin() + 16000), headR(r.begin(), r.begin() + 16000);
  plug->Run(head, headR, outL, outR, kBlock);
  EXPECT_EQ(outL, head);
  EXPECT_EQ(outR, headR);
  EXPECT_FALSE(plug->Curves().FingerprintValid());
  plug->Run(l, r, outL, outR, kBlock);
  EXPECT_EQ(outL, l);
  EXPECT_TRUE(plug->Curves().FingerprintValid());
  EXPECT_EQ(plug->Output().PeakMax(), 0.0);
}

TEST_F(Rig, AResetWithUnchangedRateAndBlockSizeRebuildsNothing)
{
  Make(0);
  const CorrectionFilter* before = plug->Filter();
  const CMFFT* analyser = &plug->Analyser();
  plug->OnReset();
  EXPECT_EQ(plug->Filter(), before);
  EXPECT_EQ(&plug->Analyser(), analyser);
}

TEST_F(Rig, ARateChangeKeepsTheFingerprintAndTheCustomReference)
{
  Make(0);
  Vorelle3CurveRecord& fp = plug->Curves().Fingerprint();
  for (unsigned i = 0; i < fp.count; ++i)
    fp.mag[i] = 0.01 * (i + 1);
  plug->Curves().SetFingerprintValid(true);
  plug->Curves().CustomReference().mag[5] = 0.5;
  plug->Curves().SetCustomRefValid(true);
  const std::vector<double> grid(fp.freq, fp.freq + fp.count);
  plug->Reconfigure(96000.0, 256);
  EXPECT_EQ(plug->SampleRateBuilt(), 96000.0);
  EXPECT_TRUE(plug->Curves().FingerprintValid());
  EXPECT_TRUE(plug->Curves().CustomRefValid());
  ASSERT_EQ(plug->Curves().Fingerprint().count, 67u);
  for (unsigned i = 0; i < 67; ++i) {
    EXPECT_EQ(plug->Curves().Fingerprint().mag[i], 0.01 * (i + 1));
    EXPECT_EQ(plug->Curves().Fingerprint().freq[i], grid[i]);
  }
  EXPECT_EQ(plug->Curves().CustomReference().mag[5], 0.5);
  // The curve records' grid: 10 * 2^(k/6) Hz, 10 .. 20480 Hz.
  EXPECT_NEAR(grid.front(), 10.0, 1e-9);
  EXPECT_NEAR(grid.back(), 20480.0, 1e-6);
  EXPECT_NEAR(plug->Curves().Difference().freq[66], 20480.0, 1e-6);
  EXPECT_EQ(plug->Curves().CustomReference().freq[66], 20480.0);
}

TEST_F(Rig, ARebuildOnAnotherPointCountDropsBothCurvesAndTheirFlags)
{
  Make(0);
  plug->Curves().Fingerprint().FillMagnitudes(0.02);
  plug->Curves().SetFingerprintValid(true);
  plug->Curves().SetCustomRefValid(true);
  plug->SetBandIndex(4);
  plug->Reconfigure(96000.0, kBlock);
  EXPECT_EQ(plug->Curves().Fingerprint().count, 133u);
  EXPECT_EQ(plug->Curves().Fingerprint().mag[10], 0.0);
  EXPECT_FALSE(plug->Curves().FingerprintValid());
  EXPECT_FALSE(plug->Curves().CustomRefValid());
  EXPECT_STREQ(plug->Curves().CustomRefName(), "(None)");
  // The filter is the identity again, not a reference's raw shape.
  EXPECT_EQ(plug->FilterImpulse()[0], 1.0);
}

TEST_F(Rig, SwitchingToDigitalReportsEngineLatencyPlusHalfTheImpulse)
{
  Make(0);
  EXPECT_EQ(plug->GetProcessingLatency(), 0);
  plug->SetADMode(1);
  plug->ComputeCurves();
  EXPECT_EQ(plug->GetProcessingLatency(), kDigitalDelay);
  EXPECT_EQ(plug->WantedLatency(), kDigitalDelay);
  EXPECT_TRUE(plug->LinearPhase());
  EXPECT_EQ(plug->DryImpulse()[kDigitalDelay], 1.0);
  // A rate change hands the new latency to the host.
  plug->Reconfigure(44100.0, kBlock);
  EXPECT_EQ(plug->HandedLatency(), kDigitalDelay);
  EXPECT_EQ(plug->GetLatency(), kDigitalDelay);
  plug->SetADMode(0);
  plug->ReinitDSP();
  EXPECT_EQ(plug->GetLatency(), 0);
}

TEST_F(Rig, OnlyTheBlockOfAnIdentifiedProToolsHandsOverAPendingLatency)
{
  plug = std::make_unique<TestVorelle3>();
  plug->SetADMode(1);
  plug->ReinitDSP(); // host not yet identified: nothing reaches it
  ASSERT_EQ(plug->HandedLatency(), kDigitalDelay);
  ASSERT_EQ(plug->GetLatency(), 0);
  const std::vector<double> x(kBlock, 0.1);
  std::vector<double> outL, outR;
  struct Case {
    const char* host;
    int latencyAfter;
  };
  const Case cases[] = {{nullptr, 0}, {"Some Other Host", 0}, {"ProTools", kDigitalDelay}};
  for (const Case& c : cases) {
    if (c.host)
      plug->SetHost(c.host, 0);
    plug->Run(x, x, outL, outR, kBlock);
    EXPECT_EQ(plug->GetLatency(), c.latencyAfter) << (c.host ? c.host : "unidentified");
  }
}

TEST_F(Rig, TheFilterFollowsTheModeMirrorNotTheParameterValue)
{
  Make(0);
  // A host write the plug-in ignored leaves parameter and mirror apart.
  plug->GetParam(kADMode)->Set(1.0);
  plug->ComputeCurves();
  EXPECT_FALSE(plug->LinearPhase());
  EXPECT_EQ(plug->GetProcessingLatency(), 0);
  EXPECT_EQ(plug->FilterImpulse()[0], 1.0);
}

TEST_F(Rig, DegenerateRatesGiveFiniteOutputAndNoDivisionByZero)
{
  for (double fs : {0.0, 20.0, std::nan("")}) {
    Make(0);
    plug->Reconfigure(fs, kBlock);
    EXPECT_GE(plug->Output().MeterInterval(), 1);
    for (int state : {kProcessing, kIdle, kCapture}) {
      plug->SetActivity(state);
      const std::vector<double> x = Noise(3000, 9, 0.5);
      std::vector<double> outL, outR;
      plug->Run(x, x, outL, outR, kBlock);
      for (double v : outL)
        ASSERT_TRUE(std::isfinite(v)) << fs << " " << state;
    }
  }
}

TEST_F(Rig, TheAudioBlockAllocatesNothingInAnyState)
{
  for (int adMode : {0, 1}) {
    Make(adMode);
    std::mt19937 rng(10);
    std::uniform_int_distribution<int> sizes(1, kBlock);
    const std::vector<double> x = Noise(kBlock, 11, 0.5);
    std::vector<double> out0(kBlock), out1(kBlock);
    double* in[2] = {const_cast<double*>(x.data()), const_cast<double*>(x.data())};
    double* out[2] = {out0.data(), out1.data()};
    for (int state : {kProcessing, kIdle, kCapture, kProcessing}) {
      plug->SetActivity(state);
      testsupport::ScopedAllocationCount count;
      // Three seconds in full and in random-sized blocks.
      for (int b = 0; b < 300; ++b)
        plug->ProcessBlock(in, out, b % 2 ? kBlock : sizes(rng));
      EXPECT_EQ(count.Count(), 0u) << "AD mode " << adMode << ", state " << state;
    }
  }
}
