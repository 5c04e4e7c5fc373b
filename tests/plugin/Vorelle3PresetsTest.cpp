// XML preset files and preset records, read back by libxml2 and by a second
// instance.
#include <gtest/gtest.h>
#include <libxml/parser.h>
#include <libxml/tree.h>

#include <fstream>
#include <map>
#include <sstream>

#include "CommaLocale.h"
#include "StateTestPlugin.h"

namespace {

using plugin::UT_String;
using testplug::StatePlug;

class Presets : public testplug::Vorelle3Test {
protected:
  std::string File(const char* name) const { return (mRoot / name).string(); }

  static std::string Slurp(const std::string& path)
  {
    std::ifstream in(path, std::ios::binary);
    std::stringstream s;
    s << in.rdbuf();
    return s.str();
  }
  static void Write(const std::string& path, const std::string& text) { std::ofstream(path, std::ios::binary) << text; }

  static std::string PresetText(const char* vendor, const std::string& params, const char* extra = "")
  {
    return std::string("<?xml version=\"1.0\" ?>\n<PresetXMLTree version=\"1\">\n<PluginVendor>") + vendor +
           "</PluginVendor>\n<PluginName>Vorelle3</PluginName>\n<PluginVersion>v3.0.21</PluginVersion>\n" + extra +
           "<Preset name=\"Mine\">\n<Parameter>\n" + params + "</Parameter>\n</Preset>\n</PresetXMLTree>\n";
  }

  // name -> val of every Param, read by libxml2; empty when it refuses the text.
  static std::map<std::string, std::string> ParamsByLibxml(const std::string& xml, std::string* presetName = nullptr)
  {
    std::map<std::string, std::string> out;
    xmlDocPtr doc = xmlReadMemory(xml.data(), int(xml.size()), "p.xml", nullptr, XML_PARSE_NONET);
    if (!doc)
      return out;
    for (xmlNodePtr n = xmlDocGetRootElement(doc)->children; n; n = n->next) {
      if (n->type != XML_ELEMENT_NODE || xmlStrcmp(n->name, BAD_CAST "Preset"))
        continue;
      if (presetName) {
        xmlChar* v = xmlGetProp(n, BAD_CAST "name");
        *presetName = reinterpret_cast<const char*>(v);
        xmlFree(v);
      }
      for (xmlNodePtr list = n->children; list; list = list->next) {
        for (xmlNodePtr p = list->children; p; p = p->next) {
          if (p->type != XML_ELEMENT_NODE)
            continue;
          xmlChar* name = xmlGetProp(p, BAD_CAST "name");
          xmlChar* val = xmlGetProp(p, BAD_CAST "val");
          out[reinterpret_cast<const char*>(name)] = reinterpret_cast<const char*>(val);
          xmlFree(name);
          xmlFree(val);
        }
      }
    }
    xmlFreeDoc(doc);
    return out;
  }

  // The XML text inside a preset record's chunk.
  static std::string RecordXML(const plugin::IPreset& preset)
  {
    uint32_t length = 0;
    if (preset.mChunk.Get(&length, 28) < 0)
      return "";
    return std::string(reinterpret_cast<const char*>(preset.mChunk.GetData() + 32), length);
  }
};

TEST_F(Presets, ASavedFileIsTheExpectedTreeAndAnIndependentParserAcceptsIt)
{
  StatePlug p;
  p.GetParam(kGain)->Set(-1.5);
  ASSERT_TRUE(p.SavePresetFile(UT_String(File("a.zvp").c_str()), UT_String("Init")));
  const std::string text = Slurp(File("a.zvp"));
  EXPECT_EQ(text, testplug::DefaultStateXML("1.000000", "-1.500000"));
  const auto params = ParamsByLibxml(text);
  ASSERT_EQ(params.size(), 10u);
  EXPECT_EQ(params.at("Gain"), "-1.500000");
  EXPECT_EQ(params.at("Mix"), "100.000000");
}

TEST_F(Presets, ASavedFileLoadsBackAndRenamesTheCurrentPreset)
{
  StatePlug a;
  a.GetParam(kGain)->Set(7.3);
  a.GetParam(kMix)->Set(55.0);
  ASSERT_TRUE(a.SavePresetFile(UT_String(File("b.zvp").c_str()), UT_String("Warm")));
  StatePlug b;
  UT_String name;
  ASSERT_TRUE(b.LoadPresetFileWithData(UT_String(File("b.zvp").c_str()), name, IXMLPreset::ELoadMode::kLoad));
  EXPECT_STREQ(name.Get(), "Warm");
  EXPECT_EQ(b.Values(), a.Values());
  EXPECT_STREQ(b.GetPresetName(b.GetCurrentPresetIdx()), "Warm");
}

TEST_F(Presets, ValidationAppliesNothingAndRefusesForeignOrBrokenFiles)
{
  struct Case {
    const char* what;
    std::string text;
    bool ok;
  };
  const std::string gain = "<Param name=\"Gain\" val=\"4.0\" />\n";
  const std::vector<Case> cases = {
    {"own", PresetText("Zelvant", gain), true},
    {"extra Data element", PresetText("Zelvant", gain, "<Data>free text</Data>\n"), true},
    {"unknown parameter", PresetText("Zelvant", "<Param name=\"Drive\" val=\"1\" />\n" + gain), true},
    {"foreign vendor", PresetText("Other", gain), false},
    {"other element among the Params", PresetText("Zelvant", gain + "<Knob name=\"Mix\" val=\"1\" />\n"), false},
    {"no Params", PresetText("Zelvant", ""), false},
    {"not XML", "<PresetXMLTree", false},
    {"name not first",
     "<?xml version=\"1.0\" ?><PresetXMLTree><PluginVendor>Zelvant</PluginVendor><PluginName>"
     "Vorelle3</PluginName><PluginVersion/><Preset id=\"1\" name=\"x\"><Parameter>" +
       gain + "</Parameter></Preset></PresetXMLTree>",
     false},
  };
  for (const Case& c : cases) {
    StatePlug p;
    Write(File("v.zvp"), c.text);
    UT_String name;
    EXPECT_EQ(p.LoadPresetFileWithData(UT_String(File("v.zvp").c_str()), name, IXMLPreset::ELoadMode::kValidate), c.ok)
      << c.what;
    EXPECT_EQ(p.GetParam(kGain)->Value(), 0.0) << c.what;
  }
  StatePlug p;
  UT_String name;
  EXPECT_FALSE(p.LoadPresetFileWithData(UT_String(File("missing.zvp").c_str()), name, IXMLPreset::ELoadMode::kLoad));
}

TEST_F(Presets, AFileNamingOnlyGainChangesOnlyGainOrMakesARecordOfDefaults)
{
  Write(File("g.zvp"), PresetText("Zelvant", "<Param name=\"Gain\" val=\"3.0\" />\n"));
  StatePlug p;
  p.GetParam(kMix)->Set(20.0);
  UT_String name;
  ASSERT_TRUE(p.LoadPresetFileWithData(UT_String(File("g.zvp").c_str()), name, IXMLPreset::ELoadMode::kLoad));
  EXPECT_EQ(p.GetParam(kGain)->Value(), 3.0);
  EXPECT_EQ(p.GetParam(kMix)->Value(), 20.0);

  plugin::IPreset record;
  p.ApplyPresetXML(&record, UT_String(File("g.zvp").c_str()));
  EXPECT_TRUE(record.mInitialized);
  EXPECT_STREQ(record.mName, "Mine");
  std::string presetName;
  const auto params = ParamsByLibxml(RecordXML(record), &presetName);
  EXPECT_EQ(presetName, "Mine");
  EXPECT_EQ(params.at("Gain"), "3.000000");
  EXPECT_EQ(params.at("Mix"), "100.000000"); // the default, not the live 20
  EXPECT_EQ(params.at("Activity state"), "1.000000");
  p.ApplyPresetXML(nullptr, UT_String(File("g.zvp").c_str()));
}

TEST_F(Presets, AWalkStoppedByAnotherElementAppliesNothing)
{
  Write(File("s.zvp"), PresetText("Zelvant", "<Param name=\"Gain\" val=\"2.0\" />\n<Other />\n"
                                             "<Param name=\"Mix\" val=\"10\" />\n"));
  for (auto mode : {IXMLPreset::ELoadMode::kLoad, IXMLPreset::ELoadMode::kStartUp}) {
    StatePlug p;
    const std::vector<uint8_t> before = p.Saved();
    UT_String name;
    EXPECT_FALSE(p.LoadPresetFileWithData(UT_String(File("s.zvp").c_str()), name, mode));
    EXPECT_EQ(p.GetParam(kGain)->Value(), 0.0);
    EXPECT_EQ(p.GetParam(kMix)->Value(), 100.0);
    EXPECT_EQ(p.Saved(), before);
  }
}

TEST_F(Presets, TheDefaultPresetOfOneInstanceStartsTheNext)
{
  UT_String folder;
  {
    StatePlug a;
    folder.Set(a.GetAUDataPath());
    a.GetParam(kGain)->Set(5.0);
    a.GetParam(kGUIScale)->Set(1.5);
    ASSERT_TRUE(a.SaveDefaultPreset(folder));
  }
  EXPECT_TRUE(std::filesystem::exists(std::string(folder.Get()) + "/default.zvp"));
  StatePlug b;
  EXPECT_EQ(b.GetParam(kGain)->Value(), 5.0);
  EXPECT_EQ(b.GUIScale(), 1.5);
  EXPECT_STREQ(b.GetPresetName(b.GetCurrentPresetIdx()), "Init");
  // The current preset holds the loaded values: restoring it keeps them.
  b.GetParam(kGain)->Set(0.0);
  ASSERT_TRUE(b.RestorePreset(b.GetCurrentPresetIdx()));
  EXPECT_EQ(b.GetParam(kGain)->Value(), 5.0);
}

TEST_F(Presets, LongNamesAreCutTo255BytesWithoutSplittingACharacter)
{
  StatePlug p;
  const std::string ascii(300, 'n');
  plugin::IPreset record;
  p.MakePresetFromState(record, ascii.c_str(), 0);
  EXPECT_EQ(std::string(record.mName), ascii.substr(0, 255));
  // 127 two-byte characters fill 254 bytes; the 128th would need 256.
  std::string wide;
  for (int i = 0; i < 150; ++i)
    wide += "\xC3\xA9";
  p.CopyPresetToSlot(record, 0);
  record.mName[0] = 0;
  p.MakePresetFromState(record, wide.c_str(), 0);
  EXPECT_EQ(std::string(record.mName), wide.substr(0, 254));
  ASSERT_TRUE(p.SavePresetFile(UT_String(File("w.zvp").c_str()), UT_String(wide.c_str())));
  UT_String name;
  ASSERT_TRUE(p.LoadPresetFileWithData(UT_String(File("w.zvp").c_str()), name, IXMLPreset::ELoadMode::kLoad));
  EXPECT_EQ(std::string(name.Get()), wide.substr(0, 254));
  EXPECT_EQ(std::string(p.GetPresetName(p.GetCurrentPresetIdx())), wide.substr(0, 254));
  const std::string saved = Slurp(File("w.zvp"));
  EXPECT_EQ(ParamsByLibxml(saved).size(), 10u); // still well-formed UTF-8
}

TEST_F(Presets, RecordsFromArgumentListsUseDefaultsForUnnamedParameters)
{
  StatePlug p;
  const int before = p.NCodePresets();
  p.MakePresetFromState("Two", 2, int(kGain), -6.0, int(kADMode), 1);
  ASSERT_EQ(p.NCodePresets(), before + 1);
  const plugin::IPreset* record = p.GetCodePreset(before);
  EXPECT_STREQ(record->mName, "Two");
  const auto params = ParamsByLibxml(RecordXML(*record));
  EXPECT_EQ(params.at("Gain"), "-6.000000");
  EXPECT_EQ(params.at("AD mode"), "1.000000");
  EXPECT_EQ(params.at("Mix"), "100.000000");
  // Copied to slot 0 and restored, it sets the plug-in.
  p.CopyPresetToSlot(*record, 0);
  p.CopyPresetToSlot(*record, 99); // outside the list: nothing
  EXPECT_STREQ(p.GetPresetName(0), "Two");
  ASSERT_TRUE(p.RestorePreset(0));
  EXPECT_EQ(p.GetParam(kGain)->Value(), -6.0);
  EXPECT_EQ(p.GetParam(kADMode)->Value(), 1.0);
}

TEST_F(Presets, PresetNamesFromPathsAndTheDefaultPath)
{
  const struct {
    const char* path;
    const char* name;
  } names[] = {{"/a/b/Warm.zvp", "Warm"}, {"/a/b.c/NoDot", "NoDot"}, {"x.y.zvp", "x.y"}, {"/a/", ""}, {"", ""}};
  for (const auto& n : names)
    EXPECT_STREQ(IXMLPreset::PresetNameFromPath(n.path).Get(), n.name) << n.path;
  EXPECT_STREQ(IXMLPreset::DefaultPresetPath(UT_String("/d")).Get(), "/d/default.zvp");
  EXPECT_STREQ(IXMLPreset::DefaultPresetPath(UT_String("/d/")).Get(), "/d/default.zvp");
}

TEST_F(Presets, ACommaLocaleStillWritesAndReadsDecimalPoints)
{
  testsupport::CommaLocale locale;
  if (!locale.Active())
    GTEST_SKIP() << "no comma locale can be made here";
  StatePlug p;
  p.GetParam(kGain)->Set(-2.5);
  ASSERT_TRUE(p.SavePresetFile(UT_String(File("c.zvp").c_str()), UT_String("C")));
  EXPECT_EQ(ParamsByLibxml(Slurp(File("c.zvp"))).at("Gain"), "-2.500000");
  p.GetParam(kGain)->Set(0.0);
  UT_String name;
  ASSERT_TRUE(p.LoadPresetFileWithData(UT_String(File("c.zvp").c_str()), name, IXMLPreset::ELoadMode::kLoad));
  EXPECT_EQ(p.GetParam(kGain)->Value(), -2.5);
}

TEST_F(Presets, AnUnwritableFolderMakesSavingFail)
{
  StatePlug p;
  EXPECT_FALSE(p.SavePresetFile(UT_String(File("no/such/dir/p.zvp").c_str()), UT_String("x")));
  EXPECT_FALSE(p.SaveDefaultPreset(UT_String(File("nowhere").c_str())));
}

} // namespace
