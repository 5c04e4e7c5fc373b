#include "PlugUnderTest.h"

#include <gtest/gtest.h>

#include <cstring>
#include <string>
#include <vector>

namespace {

using namespace plugin;
using testsupport::PlugUnderTest;

// Raw bytes of a state chunk: the values as little-endian doubles, written
// here without the chunk class.
std::vector<uint8_t> DoublesAsBytes(const std::vector<double>& values)
{
  std::vector<uint8_t> bytes(values.size() * 8);
  for (size_t i = 0; i < values.size(); ++i) {
    uint64_t bits;
    std::memcpy(&bits, &values[i], 8);
    for (int b = 0; b < 8; ++b)
      bytes[i * 8 + b] = static_cast<uint8_t>(bits >> (8 * b));
  }
  return bytes;
}

std::vector<double> CurrentValues(const IPluginBase& plug)
{
  std::vector<double> v;
  for (int i = 0; i < plug.NParams(); ++i)
    v.push_back(plug.GetParam(i)->Value());
  return v;
}

IByteChunk ChunkOf(const std::vector<uint8_t>& bytes)
{
  IByteChunk c;
  c.PutBytes(bytes.data(), static_cast<int>(bytes.size()));
  return c;
}

std::vector<uint8_t> BytesOf(const IByteChunk& c) { return std::vector<uint8_t>(c.GetData(), c.GetData() + c.Size()); }

TEST(IPluginBase, IdentityComesFromTheConfiguration)
{
  PlugUnderTest plug;
  EXPECT_EQ(plug.GetPluginVersion(false), 196629);
  EXPECT_EQ(plug.GetPluginVersion(true), 3210);
  UT_String s;
  plug.GetPluginVersionStr(s);
  EXPECT_STREQ(s.Get(), "v3.0.21");
  EXPECT_STREQ(plug.GetAPIStr(), "AU");
  EXPECT_STREQ(plug.GetArchStr(), "x64");
  EXPECT_STREQ(plug.GetPluginName(), "TestPlug");
  EXPECT_STREQ(plug.GetMfrName(), "Zelvant");
  EXPECT_EQ(plug.GetUniqueID(), 0x5A563630); // 'ZV60'
  EXPECT_EQ(plug.GetMfrID(), 0x5A564E58);    // 'ZVNX'
  EXPECT_STREQ(plug.GetBundleID(), "com.Zelvant.audiounit.TestPlug");
  EXPECT_EQ(plug.GetHost(), kHostUninit);
  EXPECT_STREQ(plug.GetHostName(), "Unknown");
  EXPECT_EQ(plug.GetHostVersion(false), 0);
  EXPECT_EQ(plug.GetMinWidth(), 325);
  EXPECT_EQ(plug.GetMaxWidth(), 1300);
  EXPECT_EQ(plug.GetMinHeight(), 235);
  EXPECT_EQ(plug.GetMaxHeight(), 940);
  EXPECT_EQ(plug.GetEditorWidth(), 650);
  EXPECT_TRUE(plug.HasUI());
  EXPECT_EQ(plug.NPresets(), 3);
}

TEST(IPluginBase, ApiNamesAndBuildLine)
{
  const char* names[] = {"VST2", "VST3", "AU", "AUv3", "AAX", "APP", "WAM", "WEB", "", ""};
  for (int api = 0; api < 10; ++api) {
    PlugUnderTest plug(testsupport::TestPlugConfig(), static_cast<EAPI>(api));
    EXPECT_STREQ(plug.GetAPIStr(), names[api]) << api;
  }
  PlugUnderTest plug;
  UT_String info;
  plug.GetBuildInfoStr(info);
  char month[4] = {};
  int day = 0, year = 0, hour = -1, minute = -1;
  const std::string text = info.Get();
  const std::string head = "TestPlug version v3.0.21 AU (x64), built on ";
  ASSERT_EQ(text.compare(0, head.size(), head), 0) << text;
  ASSERT_EQ(std::sscanf(text.c_str() + head.size(), "%3s %d %d at %d:%d", month, &day, &year, &hour, &minute), 5)
    << text;
  EXPECT_EQ(text.back(), ' ');
  EXPECT_EQ(text.substr(text.size() - 7, 1), " ") << "only hours and minutes are shown";
}

TEST(IPluginBase, NamesAreCutAt128Characters)
{
  Config c = testsupport::TestPlugConfig();
  const std::string longName(300, 'n');
  c.pluginName = longName.c_str();
  PlugUnderTest plug(c);
  EXPECT_EQ(std::strlen(plug.GetPluginName()), 128u);
}

TEST(IPluginBase, DefaultStateIsEveryValueAsALittleEndianDouble)
{
  PlugUnderTest plug;
  plug.GetParam(testsupport::kTestGain)->Set(-7.5);
  IByteChunk chunk;
  ASSERT_TRUE(plug.SerializeState(chunk));
  EXPECT_EQ(chunk.Size(), 80);
  EXPECT_EQ(BytesOf(chunk), DoublesAsBytes(CurrentValues(plug)));
  EXPECT_EQ(plug.UnserializeState(chunk, 0), 80);
}

TEST(IPluginBase, ShortStateChangesNoParameterAndReportsFailure)
{
  PlugUnderTest source;
  source.RestorePreset(1);
  IByteChunk full;
  source.SerializeState(full);
  const std::vector<uint8_t> bytes = BytesOf(full);

  for (int len = 0; len < 80; ++len) {
    PlugUnderTest plug;
    const std::vector<double> before = CurrentValues(plug);
    plug.mChanges.clear();
    IByteChunk cut = ChunkOf(std::vector<uint8_t>(bytes.begin(), bytes.begin() + len));
    EXPECT_EQ(plug.UnserializeState(cut, 0), -1) << len;
    EXPECT_EQ(CurrentValues(plug), before) << "live state changed by " << len << " bytes";
    EXPECT_TRUE(plug.mChanges.empty());
  }
  PlugUnderTest plug;
  EXPECT_EQ(plug.UnserializeState(full, -1), -1);
  EXPECT_EQ(plug.UnserializeState(full, 1), -1);
  plug.mChanges.clear();
  EXPECT_EQ(plug.UnserializeState(full, 0), 80);
  EXPECT_EQ(CurrentValues(plug), CurrentValues(source));
  ASSERT_EQ(plug.mChanges.size(), 10u); // every parameter reported as a preset recall
  EXPECT_EQ(plug.mChanges[9].source, kPresetRecall);
}

TEST(IPluginBase, StateAndPresetsRoundTripByteForByte)
{
  PlugUnderTest a;
  a.RestorePreset(1);
  IByteChunk state, presets;
  a.SerializeState(state);
  a.SerializePresets(presets);

  PlugUnderTest b;
  EXPECT_EQ(b.UnserializeState(state, 0), state.Size());
  IByteChunk state2;
  b.SerializeState(state2);
  EXPECT_EQ(BytesOf(state2), BytesOf(state));

  EXPECT_EQ(b.UnserializePresets(presets, 0), presets.Size());
  IByteChunk presets2;
  b.SerializePresets(presets2);
  EXPECT_EQ(BytesOf(presets2), BytesOf(presets));
  for (int i = 0; i < a.NPresets(); ++i)
    EXPECT_STREQ(b.GetPresetName(i), a.GetPresetName(i));
}

TEST(IPluginBase, PresetListLayoutIsNameFlagAndState)
{
  Config c = testsupport::TestPlugConfig();
  c.nPresets = 4;
  PlugUnderTest plug(c);
  IByteChunk chunk;
  ASSERT_TRUE(plug.SerializePresets(chunk));
  const uint8_t* p = chunk.GetData();
  int pos = 0;
  const char* names[] = {"Default", "Loud", "Bypassed", "empty"};
  for (int i = 0; i < 4; ++i) {
    int32_t len;
    std::memcpy(&len, p + pos, 4);
    ASSERT_EQ(len, static_cast<int32_t>(std::strlen(names[i])));
    EXPECT_EQ(std::string(reinterpret_cast<const char*>(p + pos + 4), len), names[i]);
    pos += 4 + len;
    EXPECT_EQ(p[pos], i < 3 ? 1 : 0);
    pos += 1 + (i < 3 ? 80 : 0);
  }
  EXPECT_EQ(pos, chunk.Size());
}

TEST(IPluginBase, PresetsSurviveEveryTruncationOfTheirChunk)
{
  PlugUnderTest a;
  IByteChunk presets;
  a.SerializePresets(presets);
  const std::vector<uint8_t> bytes = BytesOf(presets);
  for (size_t len = 0; len < bytes.size(); ++len) {
    PlugUnderTest b;
    b.GetParam(testsupport::kTestGain)->Set(5.0);
    IByteChunk cut = ChunkOf(std::vector<uint8_t>(bytes.begin(), bytes.begin() + len));
    EXPECT_EQ(b.UnserializePresets(cut, 0), -1) << len;
    for (int i = 0; i < b.NPresets(); ++i)
      EXPECT_LT(std::strlen(b.GetPresetName(i)), 256u);
    IByteChunk again;
    EXPECT_TRUE(b.SerializePresets(again));
  }
}

TEST(IPluginBase, ALongPresetNameIsCutTo255CharactersAndReadingGoesOn)
{
  Config c = testsupport::TestPlugConfig();
  c.nPresets = 2;
  PlugUnderTest plug(c);
  IByteChunk state;
  plug.SerializeState(state);
  const uint8_t yes = 1, no = 0;

  IByteChunk chunk;
  const std::string longName(1000, 'x');
  chunk.PutStr(longName.c_str());
  chunk.Put(&yes);
  chunk.PutChunk(&state);
  chunk.PutStr("second");
  chunk.Put(&no);
  EXPECT_EQ(plug.UnserializePresets(chunk, 0), chunk.Size());
  EXPECT_EQ(std::string(plug.GetPresetName(0)), std::string(255, 'x'));
  EXPECT_STREQ(plug.GetPresetName(1), "second");

  // A NUL inside the stored name ends it; a negative length gives "".
  IByteChunk withNul;
  const char named[] = {'a', 'b', '\0', 'c'};
  const int32_t len = 4;
  withNul.Put(&len);
  withNul.PutBytes(named, 4);
  withNul.Put(&yes);
  withNul.PutChunk(&state);
  const int32_t negative = -3;
  withNul.Put(&negative);
  withNul.Put(&no);
  EXPECT_EQ(plug.UnserializePresets(withNul, 0), withNul.Size());
  EXPECT_STREQ(plug.GetPresetName(0), "ab");
  EXPECT_STREQ(plug.GetPresetName(1), "");
}

TEST(IPluginBase, RestoringPresetsByIndexAndName)
{
  Config c = testsupport::TestPlugConfig();
  c.nPresets = 5;
  PlugUnderTest plug(c);
  EXPECT_TRUE(plug.RestorePreset(1));
  EXPECT_EQ(plug.GetCurrentPresetIdx(), 1);
  EXPECT_EQ(plug.GetParam(testsupport::kTestGain)->Value(), 12.0);
  EXPECT_EQ(plug.GetParam(testsupport::kTestSteps)->Value(), 3.0);

  EXPECT_FALSE(plug.RestorePreset(5));
  EXPECT_FALSE(plug.RestorePreset(-1));
  EXPECT_EQ(plug.GetCurrentPresetIdx(), 1);
  EXPECT_STREQ(plug.GetPresetName(7), "");

  EXPECT_TRUE(plug.RestorePreset("Bypassed"));
  EXPECT_EQ(plug.GetCurrentPresetIdx(), 2);
  EXPECT_FALSE(plug.RestorePreset("bypassed"));
  EXPECT_FALSE(plug.RestorePreset(""));
  EXPECT_FALSE(plug.RestorePreset(static_cast<const char*>(nullptr)));

  // Empty slots become user presets holding the current state.
  EXPECT_TRUE(plug.RestorePreset(3));
  EXPECT_STREQ(plug.GetPresetName(3), "user preset 1");
  EXPECT_TRUE(plug.RestorePreset(4));
  EXPECT_STREQ(plug.GetPresetName(4), "user preset 2");
  EXPECT_EQ(plug.GetPreset(4)->mChunk.Size(), 80);
}

TEST(IPluginBase, ModifyMakeDefaultAndPrune)
{
  Config c = testsupport::TestPlugConfig();
  c.nPresets = 6;
  PlugUnderTest plug(c);
  plug.GetParam(testsupport::kTestMix)->Set(42.0);
  plug.ModifyCurrentPreset("Mine");
  EXPECT_STREQ(plug.GetPresetName(0), "Mine");
  plug.GetParam(testsupport::kTestMix)->Set(1.0);
  plug.RestorePreset(0);
  EXPECT_EQ(plug.GetParam(testsupport::kTestMix)->Value(), 42.0);

  plug.MakeDefaultPresets(nullptr, 2);
  EXPECT_STREQ(plug.GetPresetName(3), "Empty");
  EXPECT_STREQ(plug.GetPresetName(4), "Empty");
  EXPECT_STREQ(plug.GetPresetName(5), "empty");
  plug.PruneUninitializedPresets();
  EXPECT_EQ(plug.NPresets(), 5);
  EXPECT_STREQ(plug.GetPresetName(4), "Empty");

  Config one = testsupport::TestPlugConfig();
  one.nPresets = 1;
  one.nParams = 0;
  // A plug-in without declared presets keeps one empty slot until pruned.
  class Empty : public IPluginAPIBase, public IPluginProcessor {
  public:
    explicit Empty(Config c) : IPluginAPIBase(c, kAPIAU), IPluginProcessor(c, kAPIAU) {}
    bool SendMidiMsg(const IMidiMsg&) override { return true; }
  } empty(one);
  EXPECT_EQ(empty.NPresets(), 1);
  empty.PruneUninitializedPresets();
  EXPECT_EQ(empty.NPresets(), 0);
  EXPECT_FALSE(empty.RestorePreset(0));
}

TEST(IPluginBase, PresetMakersFillTheFirstEmptySlot)
{
  Config c = testsupport::TestPlugConfig();
  c.nPresets = 6;
  PlugUnderTest plug(c);
  plug.GetParam(testsupport::kTestPan)->Set(0.5);
  plug.MakePresetFromNamedParams("Named", 2, testsupport::kTestGain, -3.0, testsupport::kTestSteps, 2.0);
  std::vector<double> expected = CurrentValues(plug);
  expected[testsupport::kTestGain] = -3.0;
  expected[testsupport::kTestSteps] = 2.0;
  EXPECT_EQ(BytesOf(plug.GetPreset(3)->mChunk), DoublesAsBytes(expected));

  IByteChunk raw = ChunkOf({1, 2, 3});
  plug.MakePresetFromChunk("Raw", raw);
  EXPECT_EQ(BytesOf(plug.GetPreset(4)->mChunk), (std::vector<uint8_t>{1, 2, 3}));
  EXPECT_STREQ(plug.GetPresetName(4), "Raw");

  plug.MakePresetFromBlob("Blob", "Zm9vYmFy", 6); // "foobar"
  EXPECT_EQ(BytesOf(plug.GetPreset(5)->mChunk), (std::vector<uint8_t>{'f', 'o', 'o', 'b', 'a', 'r'}));

  plug.MakePreset("Nowhere", 0, 0, 0, 0.0, 0.0, 0.0, 0.0, 0.0, 0.0, 0.0); // every slot taken
  for (int i = 0; i < plug.NPresets(); ++i)
    EXPECT_STRNE(plug.GetPresetName(i), "Nowhere");
}

TEST(IPluginBase, ParameterGroupsAndRanges)
{
  PlugUnderTest plug;
  std::vector<int> tone;
  plug.ForParamInGroup("Tone", [&](int i, IParam&) { tone.push_back(i); });
  EXPECT_EQ(tone, (std::vector<int>{testsupport::kTestDrive, testsupport::kTestPan}));

  std::vector<int> range;
  plug.ForParamInRange(8, 20, [&](int i, IParam&) { range.push_back(i); });
  EXPECT_EQ(range, (std::vector<int>{8, 9}));

  plug.GetParam(testsupport::kTestDrive)->Set(0.9);
  plug.GetParam(testsupport::kTestPan)->Set(0.9);
  plug.DefaultParamValues("Tone");
  EXPECT_EQ(plug.GetParam(testsupport::kTestDrive)->Value(), 0.25);
  EXPECT_EQ(plug.GetParam(testsupport::kTestPan)->Value(), 0.0);

  plug.InitParamRange(7, 9, 1, "Band %d", 0.5, 0.0, 2.0, 0.5, "x", 0, "Bands");
  EXPECT_STREQ(plug.GetParam(7)->GetName(), "Band 1");
  EXPECT_STREQ(plug.GetParam(9)->GetName(), "Band 3");
  EXPECT_EQ(plug.GetParam(9)->GetMax(), 2.0);

  plug.GetParam(7)->Set(1.5);
  plug.CopyParamValues(7, 8, 1);
  EXPECT_EQ(plug.GetParam(8)->Value(), 1.5);

  plug.CloneParams(3, 3, 9, "Gain", "Trim", "Copies");
  EXPECT_STREQ(plug.GetParam(9)->GetName(), "Trim");
  EXPECT_STREQ(plug.GetParam(9)->GetGroup(), "Copies");
  EXPECT_EQ(plug.GetParam(9)->GetMin(), -24.0);

  plug.RandomiseParamValues(0, 9);
  for (int i = 0; i < plug.NParams(); ++i) {
    const IParam* p = plug.GetParam(i);
    EXPECT_GE(p->Value(), p->GetMin());
    EXPECT_LE(p->Value(), p->GetMax());
  }
}

TEST(IPluginBase, HostNamePicksTheHostCode)
{
  PlugUnderTest plug;
  plug.SetHost("Logic Pro X", PackVersion(10, 7, 4));
  EXPECT_EQ(plug.GetHost(), 21);
  EXPECT_STREQ(plug.GetHostName(), "Logic Pro X");
  EXPECT_EQ(plug.GetHostVersion(true), 10 * 1000 + 7 * 100 + 4 * 10);
  UT_String v;
  plug.GetHostVersionStr(v);
  EXPECT_STREQ(v.Get(), "v10.7.4");
  EXPECT_EQ(plug.mLog, "host;hostpost;");

  plug.SetHost(nullptr, 0);
  EXPECT_EQ(plug.GetHost(), 0);
  EXPECT_STREQ(plug.GetHostName(), "Logic Pro X");
  plug.SetHost("", 0);
  EXPECT_EQ(plug.GetHost(), 0);
  EXPECT_STREQ(plug.GetHostName(), "");
}

} // namespace
