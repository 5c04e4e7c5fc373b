// The plug-in object as a host first sees it: identity, parameters, presets.
#include <libxml/parser.h>
#include <libxml/tree.h>

#include <cstdint>
#include <cstring>
#include <map>
#include <string>

#include "TestGraphics.h"
#include "Vorelle3Fixture.h"

using namespace testplug;
using plugin::IParam;

namespace {

struct ParamRow {
  int index;
  const char* name;
  IParam::EParamType type;
  double min, max, step, def;
  const char* label;
  int flags;
  const char* group;
  std::vector<const char*> texts;
};

uint32_t WordAt(const plugin::IByteChunk& chunk, int pos)
{
  uint32_t v = 0;
  std::memcpy(&v, chunk.GetData() + pos, 4);
  return v;
}

std::string TagAt(const plugin::IByteChunk& chunk, int pos)
{
  return std::string(reinterpret_cast<const char*>(chunk.GetData() + pos), 4);
}

// A factory preset record taken apart byte by byte: the container header and
// the parameter text, nothing after it. Returns the text's preset name and
// its "Param" values by name, read by libxml2.
std::string ReadFactoryRecord(const plugin::IPreset& preset, std::map<std::string, std::string>& params)
{
  const plugin::IByteChunk& c = preset.mChunk;
  EXPECT_GE(c.Size(), 32);
  if (c.Size() < 32)
    return {};
  EXPECT_EQ(TagAt(c, 0), "RIFF");
  EXPECT_EQ(WordAt(c, 8), 1u);
  EXPECT_EQ(TagAt(c, 12), "ZQCM");
  EXPECT_EQ(TagAt(c, 16), "ZQCS");
  EXPECT_EQ(WordAt(c, 24), 1u);
  const uint32_t length = WordAt(c, 28);
  const uint32_t section = WordAt(c, 20);
  EXPECT_EQ(section, 8 + length);
  const int end = 32 + int(length) + int(section & 1);
  EXPECT_EQ(c.Size(), end) << "no curve sections follow the text";
  EXPECT_EQ(WordAt(c, 4), uint32_t(end - 8));
  if (c.Size() < 32 + int(length))
    return {};
  std::string name;
  xmlDocPtr doc =
    xmlReadMemory(reinterpret_cast<const char*>(c.GetData() + 32), int(length), "r.xml", nullptr, XML_PARSE_NONET);
  EXPECT_NE(doc, nullptr);
  if (!doc)
    return {};
  for (xmlNodePtr n = xmlDocGetRootElement(doc)->children; n; n = n->next) {
    if (n->type != XML_ELEMENT_NODE || xmlStrcmp(n->name, BAD_CAST "Preset"))
      continue;
    xmlChar* v = xmlGetProp(n, BAD_CAST "name");
    name = reinterpret_cast<const char*>(v);
    xmlFree(v);
    for (xmlNodePtr list = n->children; list; list = list->next) {
      for (xmlNodePtr p = list->children; p; p = p->next) {
        if (p->type != XML_ELEMENT_NODE)
          continue;
        xmlChar* pn = xmlGetProp(p, BAD_CAST "name");
        xmlChar* pv = xmlGetProp(p, BAD_CAST "val");
        params[reinterpret_cast<const char*>(pn)] = reinterpret_cast<const char*>(pv);
        xmlFree(pn);
        xmlFree(pv);
      }
    }
  }
  xmlFreeDoc(doc);
  return name;
}

} // namespace

TEST_F(Vorelle3Test, TheHostSeesExactlyTenParametersWithTheirRangesFlagsAndTexts)
{
  TestVorelle3 plug;
  const int cannot = IParam::kFlagCannotAutomate, meta = IParam::kFlagMeta, stepped = IParam::kFlagStepped;
  const ParamRow rows[] = {
    {0, "GUI scale", IParam::kTypeDouble, 0.5, 3.0, 0.01, 1.0, "", cannot, "GUI", {}},
    {1, "Toggle tooltips", IParam::kTypeEnum, 0, 1, 1, 1, "", cannot | stepped, "GUI", {"Off", "On"}},
    {2, "Activity state", IParam::kTypeEnum, 0, 2, 1, 1, "", stepped, "Processing", {"Capture", "Idle", "Processing"}},
    {3, "Reference mode", IParam::kTypeDouble, 0.0, 4.0, 1.0, 0.0, "", stepped, "Processing", {}},
    {4, "AD mode", IParam::kTypeEnum, 0, 1, 1, 0, "", cannot | stepped, "Processing", {"Analoge", "Digital"}},
    {5, "Gain", IParam::kTypeDouble, -24.0, 24.0, 0.1, 0.0, "dB", meta, "Processing", {}},
    {6, "Mix", IParam::kTypeDouble, 0.0, 100.0, 1.0, 100.0, "%", 0, "Processing", {}},
    {7, "Reset peak max", IParam::kTypeEnum, 0, 1, 1, 0, "", stepped, "Processing", {"Off", "On"}},
    {8, "Match peak max", IParam::kTypeEnum, 0, 1, 1, 0, "", stepped, "Processing", {"Off", "On"}},
    {9, "Online Update Check", IParam::kTypeEnum, 0, 1, 1, 1, "", cannot | stepped, "GUI", {"Off", "On"}},
  };
  ASSERT_EQ(plug.NParams(), 10);
  for (const ParamRow& row : rows) {
    const IParam* p = plug.GetParam(row.index);
    ASSERT_NE(p, nullptr);
    EXPECT_STREQ(p->GetName(), row.name);
    EXPECT_EQ(p->Type(), row.type) << row.name;
    EXPECT_EQ(p->GetMin(), row.min) << row.name;
    EXPECT_EQ(p->GetMax(), row.max) << row.name;
    EXPECT_EQ(p->GetStep(), row.step) << row.name;
    EXPECT_EQ(p->GetDefault(), row.def) << row.name;
    EXPECT_EQ(p->Value(), row.def) << row.name;
    EXPECT_STREQ(p->GetLabel(), row.label) << row.name;
    EXPECT_EQ(p->GetFlags(), row.flags) << row.name;
    EXPECT_STREQ(p->GetGroup(), row.group) << row.name;
    EXPECT_EQ(p->Unit(), IParam::kUnitCustom) << row.name;
    ASSERT_EQ(p->NDisplayTexts(), int(row.texts.size())) << row.name;
    for (size_t i = 0; i < row.texts.size(); ++i)
      EXPECT_STREQ(p->GetDisplayText(double(i)), row.texts[i]);
  }
}

TEST_F(Vorelle3Test, FixedGUIScaleIsAnEditorOnlyEnumOfElevenScales)
{
  TestVorelle3 plug;
  const IParam* p = plug.GetExtraParam(0);
  ASSERT_NE(p, nullptr);
  EXPECT_EQ(plug.GetExtraParam(1), nullptr);
  EXPECT_STREQ(p->GetName(), "Fixed GUI Scale");
  EXPECT_EQ(p->Type(), IParam::kTypeEnum);
  EXPECT_EQ(p->GetMin(), 0.0);
  EXPECT_EQ(p->GetMax(), 10.0);
  EXPECT_EQ(p->GetDefault(), 2.0);
  EXPECT_EQ(p->GetFlags(), IParam::kFlagStepped); // no flag of its own
  EXPECT_STREQ(p->GetLabel(), "");
  EXPECT_STREQ(p->GetGroup(), "");
  const char* texts[] = {"50%", "75%", "100%", "125%", "150%", "175%", "200%", "225%", "250%", "275%", "300%"};
  ASSERT_EQ(p->NDisplayTexts(), 11);
  for (int i = 0; i < 11; ++i)
    EXPECT_STREQ(p->GetDisplayText(i), texts[i]);
  for (int i = 0; i < plug.NParams(); ++i)
    EXPECT_STRNE(plug.GetParam(i)->GetName(), "Fixed GUI Scale");
  // Rebuilding the presets does not add a second one.
  EXPECT_EQ(plug.MakeInitPreset(), 2);
  EXPECT_EQ(plug.GetExtraParam(1), nullptr);
}

TEST_F(Vorelle3Test, ThePresetListOffersInitFirst)
{
  TestVorelle3 plug;
  ASSERT_EQ(plug.NPresets(), 1);
  EXPECT_STREQ(plug.GetPresetName(0), "Init");
  EXPECT_TRUE(plug.GetPreset(0)->mInitialized);
  EXPECT_GT(plug.GetPreset(0)->mChunk.Size(), 0);
  EXPECT_STREQ(plug.GetInitPreset().mName, "Init");
  ASSERT_EQ(plug.NCodePresets(), 2);
  EXPECT_STREQ(plug.GetCodePreset(0)->mName, "Init");
  EXPECT_STREQ(plug.GetCodePreset(1)->mName, "1234567890123456789012");
  // Pruning (as the host's open does) keeps it.
  plug.PruneUninitializedPresets();
  EXPECT_STREQ(plug.GetPresetName(0), "Init");
}

TEST_F(Vorelle3Test, FactoryPresetsHoldEveryDefaultUnderTheirOwnNameAndNoCurves)
{
  TestVorelle3 plug;
  const std::map<std::string, std::string> defaults = {
    {"GUI scale", "1.000000"},      {"Toggle tooltips", "1.000000"},
    {"Activity state", "1.000000"}, {"Reference mode", "0.000000"},
    {"AD mode", "0.000000"},        {"Gain", "0.000000"},
    {"Mix", "100.000000"},          {"Reset peak max", "0.000000"},
    {"Match peak max", "0.000000"}, {"Online Update Check", "1.000000"}};
  struct Record {
    const plugin::IPreset* preset;
    const char* name;
  };
  const Record records[] = {{plug.GetPreset(0), "Init"},
                            {&plug.GetInitPreset(), "Init"},
                            {plug.GetCodePreset(0), "Init"},
                            {plug.GetCodePreset(1), "1234567890123456789012"}};
  for (const Record& r : records) {
    ASSERT_NE(r.preset, nullptr) << r.name;
    std::map<std::string, std::string> params;
    EXPECT_EQ(ReadFactoryRecord(*r.preset, params), r.name);
    EXPECT_EQ(params, defaults) << r.name;
  }
}

TEST_F(Vorelle3Test, RestoringInitResetsTheParametersAndKeepsItsName)
{
  TestVorelle3 plug;
  plug.GetParam(kGain)->Set(-7.5);
  plug.GetParam(kMix)->Set(40.0);
  ASSERT_TRUE(plug.RestorePreset(0));
  EXPECT_STREQ(plug.GetPresetName(0), "Init");
  EXPECT_EQ(plug.GetParam(kGain)->Value(), 0.0);
  EXPECT_EQ(plug.GetParam(kMix)->Value(), 100.0);
}

TEST_F(Vorelle3Test, IdentityAndEditorGeometryFollowTheConfiguration)
{
  TestVorelle3 plug;
  EXPECT_STREQ(plug.GetPluginName(), "Vorelle3");
  EXPECT_STREQ(plug.GetProductName(), "Vorelle3");
  EXPECT_STREQ(plug.GetMfrName(), "Zelvant");
  EXPECT_EQ(plug.GetPluginVersion(false), 0x00030015);
  EXPECT_EQ(plug.GetUniqueID(), 0x5A563630); // "ZV60"
  EXPECT_EQ(plug.GetMfrID(), 0x5A564E58);    // "ZVNX"
  EXPECT_STREQ(plug.GetBundleID(), "com.Zelvant.audiounit.Vorelle3");
  EXPECT_TRUE(plug.DoesStateChunks());
  EXPECT_EQ(plug.GetEditorWidth(), 650);
  EXPECT_EQ(plug.GetEditorHeight(), 470);
  EXPECT_EQ(plug.GetMinWidth(), 325);
  EXPECT_EQ(plug.GetMaxWidth(), 1300);
  EXPECT_EQ(plug.GetMinHeight(), 235);
  EXPECT_EQ(plug.GetMaxHeight(), 940);
  EXPECT_EQ(plug.MaxNChannels(plugin::kInput), 2);
  EXPECT_EQ(plug.MaxNChannels(plugin::kOutput), 2);
  EXPECT_EQ(plug.GetLatency(), 0);
  EXPECT_STREQ(plug.GetViewClassName(), "Vorelle3_View");
  // The editor stays on without editor functions: the composition root may
  // install them after construction; until then no view is made.
  EXPECT_TRUE(plug.HasUI());
  EXPECT_EQ(plug.OpenWindow(nullptr), nullptr);
  plug.SetMakeGraphicsFunc(
    [](plugin::igraphics::IGEditorDelegate& d) { return new testsupport::TestGraphics(d, 650, 470); });
  EXPECT_NE(plug.OpenWindow(nullptr), nullptr);
  plug.CloseWindow();
}

TEST_F(Vorelle3Test, AFreshInstanceStartsIdleAnalogeAtUnityWithEverythingOn)
{
  TestVorelle3 plug;
  EXPECT_EQ(plug.ActivityState(), kIdle);
  EXPECT_EQ(plug.ReferenceMode(), 0);
  EXPECT_EQ(plug.ADMode(), 0);
  EXPECT_EQ(plug.Gain(), 0.0);
  EXPECT_EQ(plug.Mix(), 100.0);
  EXPECT_EQ(plug.GUIScale(), 1.0);
  EXPECT_EQ(plug.Tooltips(), 1);
  EXPECT_EQ(plug.OnlineUpdateCheck(), 1);
  EXPECT_FALSE(plug.Curves().FingerprintValid());
  EXPECT_FALSE(plug.Curves().CustomRefValid());
  EXPECT_STREQ(plug.Curves().CustomRefName(), "(None)");
  EXPECT_EQ(plug.WantedLatency(), 0);
  // The data folder and its "AU" folder exist.
  EXPECT_TRUE(std::filesystem::is_directory(plug.GetDataPath()));
  EXPECT_TRUE(std::filesystem::is_directory(plug.GetAUDataPath()));
}

TEST_F(Vorelle3Test, TheSettingsFileIsReadFromTheDataFolder)
{
  std::string dataPath;
  {
    TestVorelle3 first;
    dataPath = first.GetDataPath();
  }
  struct Case {
    const char* text;
    int expected;
  };
  const Case cases[] = {{"HasUI=0\n", 0}, {"HasUI=1\n", 1}, {"Other=0\n", 1}, {"[GUI]\nHasUI=7\n", 7}};
  for (const Case& c : cases) {
    {
      std::FILE* f = std::fopen((dataPath + "/plugin.ini").c_str(), "w");
      ASSERT_NE(f, nullptr);
      std::fputs(c.text, f);
      std::fclose(f);
    }
    TestVorelle3 plug;
    EXPECT_EQ(plug.ReadIniInt("GUI", "HasUI", 1), c.expected) << c.text;
    EXPECT_EQ(plug.ReadIniInt("AnySection", "HasUI", 1), c.expected) << c.text;
  }
}
