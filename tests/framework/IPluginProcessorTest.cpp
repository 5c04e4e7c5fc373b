#include "IPluginProcessor.h"

#include "AllocationCounter.h"

#include <gtest/gtest.h>

#include <cstring>
#include <random>
#include <vector>

namespace {

using namespace plugin;

class Processor : public IPluginProcessor {
public:
  explicit Processor(const char* io) : IPluginProcessor(MakeConfig(io), kAPIAU) {}

  bool SendMidiMsg(const IMidiMsg& msg) override
  {
    mSent.push_back(msg);
    return mSent.size() <= mAccept;
  }

  static Config MakeConfig(const char* io)
  {
    Config c;
    c.channelIOStr = io;
    return c;
  }

  std::vector<IMidiMsg> mSent;
  size_t mAccept = 1000;
};

// Gain of 0.5 on every channel, written out of place, so a wrong pointer
// (scratch of another channel, stale block) is visible.
class HalfGain : public Processor {
public:
  using Processor::Processor;
  void ProcessBlock(double** in, double** out, int n) override
  {
    for (int c = 0; c < MaxNChannels(kOutput); ++c)
      for (int s = 0; s < n; ++s)
        out[c][s] = (c < MaxNChannels(kInput) ? in[c][s] : 0.0) * 0.5;
  }
};

struct ParseCase {
  const char* text;
  int nConfigs;
  int maxIn, maxOut, maxInBuses, maxOutBuses;
};

TEST(ChannelIOText, ParsesConfigurationsBusesAndMaxima)
{
  const ParseCase cases[] = {
    {"2-2", 1, 2, 2, 1, 1},          {"1-1 2-2", 2, 2, 2, 1, 1}, {"1.1-2 *-*", 2, 2, 2, 2, 1},
    {"0-2", 1, 0, 2, 0, 1},          {"2.2-2", 1, 4, 2, 2, 1},   {"", 0, 0, 0, 0, 0},
    {"  2-2   1-1 ", 2, 2, 2, 1, 1}, {"2", 1, 2, 0, 1, 0},       {"x-y", 1, 0, 0, 0, 0},
  };
  for (const ParseCase& c : cases) {
    UT_PtrList<IOConfig> configs;
    int in = -1, out = -1, inB = -1, outB = -1;
    EXPECT_EQ(ParseChannelIOStr(c.text, configs, in, out, inB, outB), c.nConfigs) << c.text;
    EXPECT_EQ(in, c.maxIn) << c.text;
    EXPECT_EQ(out, c.maxOut) << c.text;
    EXPECT_EQ(inB, c.maxInBuses) << c.text;
    EXPECT_EQ(outB, c.maxOutBuses) << c.text;
    configs.Empty(true);
  }
}

TEST(ChannelIOText, WildcardBusesCountMinus64AndAreKept)
{
  UT_PtrList<IOConfig> configs;
  int in, out, inB, outB;
  ASSERT_EQ(ParseChannelIOStr("1.1-2 *-*", configs, in, out, inB, outB), 2);
  const IOConfig* first = configs.Get(0);
  ASSERT_EQ(first->NBuses(kInput), 2);
  EXPECT_EQ(first->GetBusInfo(kInput, 0)->mNChans, 1);
  EXPECT_EQ(first->GetBusInfo(kInput, 1)->mNChans, 1);
  EXPECT_EQ(first->GetBusInfo(kOutput, 0)->mNChans, 2);
  const IOConfig* second = configs.Get(1);
  EXPECT_EQ(second->GetBusInfo(kInput, 0)->mNChans, -64);
  EXPECT_EQ(second->GetTotalNChannels(kOutput), -64);
  configs.Empty(true);
}

TEST(IPluginProcessor, StereoEffectAnswersItsBusQueries)
{
  Processor p("2-2");
  EXPECT_EQ(p.NIOConfigs(), 1);
  EXPECT_EQ(p.MaxNChannels(kInput), 2);
  EXPECT_EQ(p.MaxNChannels(kOutput), 2);
  EXPECT_TRUE(p.LegalIO(2, 2));
  EXPECT_FALSE(p.LegalIO(1, 2));
  EXPECT_TRUE(p.LegalIO(-1, 2));
  EXPECT_TRUE(p.LegalIO(2, -1));
  EXPECT_FALSE(p.LegalIO(2, 1));
  int idx = -5;
  EXPECT_EQ(p.MaxNBuses(kInput, &idx), 1);
  EXPECT_EQ(idx, 0);
  EXPECT_EQ(p.MaxNChannelsForBus(kOutput, 0), 2);
  EXPECT_EQ(p.MaxNChannelsForBus(kOutput, 1), 0);
  EXPECT_EQ(p.GetIOConfigWithChanCounts({2}, {2}), 0);
  EXPECT_EQ(p.GetIOConfigWithChanCounts({2}, {}), 0);
  EXPECT_EQ(p.GetIOConfigWithChanCounts({1}, {}), -1);
  EXPECT_EQ(p.GetIOConfigWithChanCounts({2}, {1}), -1);
  EXPECT_EQ(p.GetAUPluginType(), FourCharCode("aufx"));
  EXPECT_EQ(p.GetSampleRate(), 44100.0);
  EXPECT_EQ(p.GetBlockSize(), 0);
  EXPECT_EQ(p.NChannelsConnected(kInput), 0);
}

TEST(IPluginProcessor, SeveralConfigurationsAnswerPerBusAndByWidths)
{
  Processor p("1-1 2.1-2 1-2.2");
  EXPECT_TRUE(p.LegalIO(3, 2));
  EXPECT_TRUE(p.LegalIO(1, 4));
  EXPECT_FALSE(p.LegalIO(3, 4));
  int idx = -1;
  EXPECT_EQ(p.MaxNBuses(kInput, &idx), 2);
  EXPECT_EQ(idx, 1);
  EXPECT_EQ(p.MaxNBuses(kOutput, &idx), 2);
  EXPECT_EQ(idx, 2);
  EXPECT_EQ(p.MaxNChannelsForBus(kInput, 0), 2);
  EXPECT_EQ(p.MaxNChannelsForBus(kInput, 1), 1);
  EXPECT_EQ(p.GetIOConfigWithChanCounts({1}, {2, 2}), 2);
  EXPECT_EQ(p.GetIOConfigWithChanCounts({1}, {}), 0);
  EXPECT_EQ(p.MaxNChannels(kInput), 3);
  EXPECT_EQ(p.MaxNChannels(kOutput), 4);

  Processor wild("*-2 1-1");
  EXPECT_EQ(wild.MaxNChannelsForBus(kInput, 0), -1);
  EXPECT_EQ(wild.MaxNChannelsForBus(kOutput, 0), 2);

  Processor none("");
  EXPECT_FALSE(none.LegalIO(-1, -1));
  EXPECT_EQ(none.MaxNBuses(kInput), 0);
}

TEST(IPluginProcessor, PlugInTypePicksTheComponentType)
{
  struct {
    int type;
    bool midiIn;
    char code[5];
  } cases[] = {
    {0, false, "aufx"}, {0, true, "aumf"}, {1, false, "aumu"}, {1, true, "aumu"}, {2, false, "aumi"}, {7, true, "aufx"},
  };
  for (const auto& c : cases) {
    Config config = Processor::MakeConfig("2-2");
    config.plugType = c.type;
    config.plugDoesMidiIn = c.midiIn;
    class P : public IPluginProcessor {
    public:
      using IPluginProcessor::IPluginProcessor;
      bool SendMidiMsg(const IMidiMsg&) override { return true; }
    } p(config, kAPIAU);
    EXPECT_EQ(p.GetAUPluginType(), FourCharCode(c.code)) << c.code;
  }
}

TEST(IPluginProcessor, BusNamesFollowCountAndDirection)
{
  Processor p("2-2");
  UT_String s;
  struct {
    ERoute dir;
    int bus, n;
    const char* name;
  } cases[] = {
    {kInput, 0, 1, "Input"},   {kInput, 0, 2, "Main"},    {kInput, 1, 2, "Aux"},
    {kInput, 2, 3, "Input 2"}, {kOutput, 0, 1, "Output"}, {kOutput, 3, 4, "Output 3"},
  };
  for (const auto& c : cases) {
    p.GetBusName(c.dir, c.bus, c.n, s);
    EXPECT_STREQ(s.Get(), c.name);
  }
}

TEST(IPluginProcessor, ChannelLabelsAreNumberedFromOneUnlessZeroBased)
{
  Processor p("2-2");
  p.SetChannelLabel(kInput, 1, "In %i");
  p.SetChannelLabel(kOutput, 1, "Out %i", true);
  p.SetChannelLabel(kOutput, 7, "nothing %i");
  EXPECT_STREQ(p.GetChannelLabel(kInput, 1), "In 2");
  EXPECT_STREQ(p.GetChannelLabel(kOutput, 1), "Out 1");
  EXPECT_STREQ(p.GetChannelLabel(kOutput, 7), "");
}

TEST(IPluginProcessor, SamplesPerBeatFollowTempo)
{
  Processor p("2-2");
  p.SetSampleRate(48000.0);
  EXPECT_DOUBLE_EQ(p.GetSamplesPerBeat(), 24000.0);
  ITimeInfo t;
  t.mTempo = 0.0;
  p.SetTimeInfo(t);
  EXPECT_EQ(p.GetSamplesPerBeat(), 0.0);
}

std::vector<float> RandomBlock(std::mt19937& rng, int n)
{
  std::uniform_real_distribution<float> d(-1.0f, 1.0f);
  std::vector<float> v(n);
  for (float& x : v)
    x = d(rng);
  return v;
}

TEST(IPluginProcessor, FloatBuffersPassThroughDoubleScratchBitExactly)
{
  constexpr int kFrames = 64;
  std::mt19937 rng(1234);
  Processor p("2-2");
  p.SetBlockSize(kFrames);
  p.SetChannelConnections(kInput, 0, 2, true);
  p.SetChannelConnections(kOutput, 0, 2, true);

  std::vector<float> in0 = RandomBlock(rng, kFrames), in1 = RandomBlock(rng, kFrames);
  in0[3] = 1e-40f; // a denormal survives the round trip too
  std::vector<float> out0(kFrames, 9.0f), out1(kFrames, 9.0f);
  float* ins[] = {in0.data(), in1.data()};
  float* outs[] = {out0.data(), out1.data()};
  p.AttachFloatBuffers(kInput, 0, 2, ins, kFrames);
  p.AttachFloatBuffers(kOutput, 0, 2, outs, kFrames);
  p.ProcessBuffers(0.0f, kFrames);
  EXPECT_EQ(std::memcmp(out0.data(), in0.data(), sizeof(float) * kFrames), 0);
  EXPECT_EQ(std::memcmp(out1.data(), in1.data(), sizeof(float) * kFrames), 0);
}

TEST(IPluginProcessor, InPlaceHostBuffersAreProcessedCorrectly)
{
  constexpr int kFrames = 32;
  std::mt19937 rng(99);
  HalfGain p("2-2");
  p.SetBlockSize(kFrames);
  p.SetChannelConnections(kInput, 0, 2, true);
  p.SetChannelConnections(kOutput, 0, 2, true);

  std::vector<float> ch0 = RandomBlock(rng, kFrames), ch1 = RandomBlock(rng, kFrames);
  const std::vector<float> ref0 = ch0, ref1 = ch1;
  float* bufs[] = {ch0.data(), ch1.data()};
  p.AttachFloatBuffers(kInput, 0, 2, bufs, kFrames);
  p.AttachFloatBuffers(kOutput, 0, 2, bufs, kFrames);
  p.ProcessBuffers(0.0f, kFrames);
  for (int s = 0; s < kFrames; ++s) {
    EXPECT_EQ(ch0[s], static_cast<float>(static_cast<double>(ref0[s]) * 0.5));
    EXPECT_EQ(ch1[s], static_cast<float>(static_cast<double>(ref1[s]) * 0.5));
  }

  // The pass-through with the same in-place buffers leaves them untouched.
  std::vector<float> again = ch0;
  p.AttachFloatBuffers(kInput, 0, 2, bufs, kFrames);
  p.AttachFloatBuffers(kOutput, 0, 2, bufs, kFrames);
  p.PassThroughBuffers(0.0f, kFrames);
  EXPECT_EQ(ch0, again);
}

TEST(IPluginProcessor, AccumulatingAddsOntoTheHostBuffer)
{
  constexpr int kFrames = 8;
  HalfGain p("1-1");
  p.SetBlockSize(kFrames);
  p.SetChannelConnections(kInput, 0, 1, true);
  p.SetChannelConnections(kOutput, 0, 1, true);
  std::vector<float> in(kFrames, 1.0f), out(kFrames, 0.25f);
  float* ins[] = {in.data()};
  float* outs[] = {out.data()};
  p.AttachFloatBuffers(kInput, 0, 1, ins, kFrames);
  p.AttachFloatBuffers(kOutput, 0, 1, outs, kFrames);
  p.ProcessBuffersAccumulating(0.0f, kFrames);
  for (float x : out)
    EXPECT_EQ(x, 0.75f);
}

TEST(IPluginProcessor, ANewlyDisconnectedInputReadsSilenceNotItsLastBlock)
{
  constexpr int kFrames = 16;
  HalfGain p("2-2");
  p.SetBlockSize(kFrames);
  p.SetChannelConnections(kInput, 0, 2, true);
  p.SetChannelConnections(kOutput, 0, 2, true);
  std::vector<float> in0(kFrames, 0.8f), in1(kFrames, -0.6f), out0(kFrames), out1(kFrames);
  float* ins[] = {in0.data(), in1.data()};
  float* outs[] = {out0.data(), out1.data()};
  p.AttachFloatBuffers(kInput, 0, 2, ins, kFrames);
  p.AttachFloatBuffers(kOutput, 0, 2, outs, kFrames);
  p.ProcessBuffers(0.0f, kFrames);
  ASSERT_EQ(out1[0], -0.3f);

  p.SetChannelConnections(kInput, 1, 1, false);
  EXPECT_EQ(p.NChannelsConnected(kInput), 1);
  float* ins1[] = {in0.data()};
  p.AttachFloatBuffers(kInput, 0, 2, ins1, kFrames); // only the connected channel takes a buffer
  p.AttachFloatBuffers(kOutput, 0, 2, outs, kFrames);
  p.ProcessBuffers(0.0f, kFrames);
  for (int s = 0; s < kFrames; ++s) {
    EXPECT_EQ(out0[s], 0.4f);
    EXPECT_EQ(out1[s], 0.0f) << "stale input replayed at sample " << s;
  }
}

TEST(IPluginProcessor, DisconnectedChannelsPointAtValidScratchOnceSized)
{
  Processor p("2-2");
  p.SetChannelConnections(kInput, 0, 2, false);
  EXPECT_EQ(p.GetInputs()[0], nullptr); // no block size yet
  p.SetBlockSize(128);
  ASSERT_NE(p.GetInputs()[0], nullptr);
  ASSERT_NE(p.GetInputs()[1], nullptr);
  for (int s = 0; s < 128; ++s)
    EXPECT_EQ(p.GetInputs()[1][s], 0.0);
  p.SetBlockSize(4096); // the scratch moves; the pointers follow it
  p.GetInputs()[0][4095] = 1.0;
  p.GetInputs()[1][4095] = 1.0;
  // Ranges past the end are cut.
  p.SetChannelConnections(kOutput, 1, 10, true);
  EXPECT_EQ(p.NChannelsConnected(kOutput), 1);
  EXPECT_FALSE(p.IsChannelConnected(kOutput, 0));
  EXPECT_TRUE(p.IsChannelConnected(kOutput, 1));
}

TEST(IPluginProcessor, SameBlockSizeKeepsTheScratchContents)
{
  Processor p("2-2");
  p.SetBlockSize(8);
  p.SetChannelConnections(kInput, 0, 2, true);
  std::vector<float> a(8, 0.5f), b(8, 0.25f);
  float* ins[] = {a.data(), b.data()};
  p.AttachFloatBuffers(kInput, 0, 2, ins, 8);
  p.SetBlockSize(8);
  EXPECT_EQ(p.GetInputs()[0][7], 0.5);
  p.SetBlockSize(16);
  EXPECT_EQ(p.GetInputs()[0][7], 0.0);
}

TEST(IPluginProcessor, DefaultBlockCopiesInputsAndZeroesExtraOutputs)
{
  struct Case {
    const char* io;
    int nIn, nOut;
  };
  for (const Case c : {Case{"2-2", 2, 2}, Case{"1-2", 1, 2}, Case{"2-1", 2, 1}}) {
    Processor p(c.io);
    constexpr int kFrames = 4;
    std::vector<std::vector<double>> in(c.nIn, std::vector<double>(kFrames)),
      out(c.nOut, std::vector<double>(kFrames, 7.0));
    std::vector<double*> ip, op;
    for (int i = 0; i < c.nIn; ++i) {
      for (int s = 0; s < kFrames; ++s)
        in[i][s] = i + 1 + s * 0.125;
      ip.push_back(in[i].data());
    }
    for (auto& o : out)
      op.push_back(o.data());
    p.ProcessBlock(ip.data(), op.data(), kFrames);
    for (int o = 0; o < c.nOut; ++o)
      for (int s = 0; s < kFrames; ++s)
        EXPECT_EQ(out[o][s], o < c.nIn ? in[o][s] : 0.0) << c.io << " out " << o;
  }
}

TEST(IPluginProcessor, DoubleBuffersAreUsedDirectlyAndBypassCopiesUndelayed)
{
  constexpr int kFrames = 8;
  HalfGain p("1-2");
  p.SetBlockSize(kFrames);
  p.SetChannelConnections(kInput, 0, 1, true);
  p.SetChannelConnections(kOutput, 0, 2, true);
  std::vector<double> in(kFrames), o0(kFrames, 3.0), o1(kFrames, 3.0);
  for (int s = 0; s < kFrames; ++s)
    in[s] = s;
  double* ins[] = {in.data()};
  double* outs[] = {o0.data(), o1.data()};
  p.AttachDoubleBuffers(kInput, 0, 1, ins);
  p.AttachDoubleBuffers(kOutput, 0, 2, outs);
  EXPECT_EQ(p.GetInputs()[0], in.data());
  p.PassThroughBuffers(0.0, kFrames);
  EXPECT_EQ(o0, in);
  EXPECT_EQ(o1, std::vector<double>(kFrames, 0.0));
  p.ProcessBuffers(0.0, kFrames);
  EXPECT_EQ(o0[6], 3.0);
}

TEST(IPluginProcessor, FrameCountsAboveTheBlockSizeAreCutToIt)
{
  Processor p("1-1");
  p.SetBlockSize(4);
  p.SetChannelConnections(kInput, 0, 1, true);
  p.SetChannelConnections(kOutput, 0, 1, true);
  std::vector<float> in(8, 1.0f), out(8, 5.0f);
  float* ins[] = {in.data()};
  float* outs[] = {out.data()};
  p.AttachFloatBuffers(kInput, 0, 1, ins, 8);
  p.AttachFloatBuffers(kOutput, 0, 1, outs, 8);
  p.ProcessBuffers(0.0f, 8);
  EXPECT_EQ(out, (std::vector<float>{1, 1, 1, 1, 5, 5, 5, 5}));
}

TEST(IPluginProcessor, DefaultConnectionsCutInputsFromTheThirdOn)
{
  Processor p("4-4");
  p.SetChannelConnections(kInput, 0, 4, true);
  EXPECT_EQ(p.InitDefaultChannelConnections(), 4);
  EXPECT_EQ(p.NChannelsConnected(kInput), 2);
  EXPECT_EQ(p.NChannelsConnected(kOutput), 2);
  EXPECT_TRUE(p.IsChannelConnected(kOutput, 3));
}

TEST(IPluginProcessor, MidiPassesThroughAndABatchReportsAnyRefusal)
{
  Processor p("2-2");
  p.ProcessMidiMsg(IMidiMsg(3, 0x90, 60, 100));
  ASSERT_EQ(p.mSent.size(), 1u);
  EXPECT_EQ(p.mSent[0].mData1, 60);
  UT_TypedBuf<IMidiMsg> batch;
  for (int i = 0; i < 3; ++i)
    batch.Add(IMidiMsg(i, 0x80, 60, 0));
  EXPECT_TRUE(p.SendMidiMsgs(batch));
  p.mAccept = 5;
  EXPECT_FALSE(p.SendMidiMsgs(batch));
  EXPECT_EQ(p.mSent.size(), 7u); // every message is still offered
  EXPECT_FALSE(p.SendSysEx(SysExData()));
}

TEST(IPluginProcessor, TheBlockPathAllocatesNothing)
{
  constexpr int kFrames = 256;
  HalfGain p("2-2");
  p.SetBlockSize(kFrames);
  p.SetChannelConnections(kInput, 0, 2, true);
  p.SetChannelConnections(kOutput, 0, 2, true);
  std::vector<float> a(kFrames, 0.1f), b(kFrames, 0.2f), c(kFrames), d(kFrames);
  float* ins[] = {a.data(), b.data()};
  float* outs[] = {c.data(), d.data()};
  testsupport::ScopedAllocationCount count;
  for (int block = 0; block < 10; ++block) {
    p.AttachFloatBuffers(kInput, 0, 2, ins, kFrames);
    p.AttachFloatBuffers(kOutput, 0, 2, outs, kFrames);
    p.ProcessBuffers(0.0f, kFrames);
    p.PassThroughBuffers(0.0f, kFrames);
    p.SetChannelConnections(kInput, 1, 1, false);
    p.SetChannelConnections(kInput, 1, 1, true);
  }
  EXPECT_EQ(count.Count(), 0u);
}

} // namespace

#include "PlugUnderTest.h"

namespace {

TEST(IPluginProcessor, TheTestPlugInPassesFloatAudioThroughBitExactly)
{
  constexpr int kFrames = 512;
  testsupport::PlugUnderTest plug;
  ASSERT_TRUE(plug.LegalIO(2, 2));
  plug.SetBlockSize(kFrames);
  plug.SetChannelConnections(plugin::kInput, 0, 2, true);
  plug.SetChannelConnections(plugin::kOutput, 0, 2, true);
  std::mt19937 rng(7);
  for (bool inPlace : {false, true}) {
    std::vector<float> l = RandomBlock(rng, kFrames), r = RandomBlock(rng, kFrames);
    const std::vector<float> l0 = l, r0 = r;
    std::vector<float> ol(kFrames), orr(kFrames);
    float* ins[] = {l.data(), r.data()};
    float* outs[] = {ol.data(), orr.data()};
    plug.AttachFloatBuffers(plugin::kInput, 0, 2, ins, kFrames);
    plug.AttachFloatBuffers(plugin::kOutput, 0, 2, inPlace ? ins : outs, kFrames);
    plug.ProcessBuffers(0.0f, kFrames);
    EXPECT_EQ(inPlace ? l : ol, l0);
    EXPECT_EQ(inPlace ? r : orr, r0);
  }
}

} // namespace
