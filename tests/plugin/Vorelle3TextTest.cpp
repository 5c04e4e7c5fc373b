// XML text in one encoding both ways: legacy preset files, names that must
// survive any number of save and restore cycles, text that is not UTF-8,
// byte-order marks, and values that are no finite number.
#include <CoreFoundation/CoreFoundation.h>
#include <gtest/gtest.h>

#include <algorithm>
#include <fstream>
#include <string>

#include "StateTestPlugin.h"

namespace {

using plugin::UT_String;
using testplug::Bytes;
using testplug::StatePlug;
using testplug::ToChunk;

class XMLText : public testplug::Vorelle3Test {
protected:
  std::string WriteFile(const char* name, const std::string& bytes) const
  {
    const std::string path = (mRoot / name).string();
    std::ofstream(path, std::ios::binary) << bytes;
    return path;
  }

  // A preset file as a user might have one: name, gain and the declaration
  // given.
  static std::string PresetFile(const std::string& name, const std::string& gain, const char* decl = "")
  {
    return std::string("<?xml version=\"1.0\"") + decl + " ?>\n<PresetXMLTree version=\"1\">\n" +
           "<PluginVendor>Zelvant</PluginVendor><PluginName>Vorelle3</PluginName>" +
           "<PluginVersion>v3.0.21</PluginVersion>\n<Preset name=\"" + name +
           "\"><Parameter><Param name=\"Gain\" val=\"" + gain + "\" /></Parameter></Preset>\n</PresetXMLTree>\n";
  }

  // A state chunk of header and XML section only.
  static plugin::IByteChunk StateWithXML(const std::string& xml)
  {
    const uint32_t size = 8 + uint32_t(xml.size());
    Bytes body;
    body.U32(1).Tag("ZQCM").Tag("ZQCS").U32(size).U32(1).U32(uint32_t(xml.size())).Text(xml).Pad(size & 1);
    Bytes all;
    all.Tag("RIFF").U32(uint32_t(body.b.size()));
    all.b.insert(all.b.end(), body.b.begin(), body.b.end());
    return ToChunk(all.b);
  }
};

TEST_F(XMLText, ALegacyPresetNamedCafeLoadsAndEveryLaterStateKeepsItsParameters)
{
  const std::string path = WriteFile("legacy.zvp", PresetFile("Caf\xE9", "-6.000000", " encoding=\"ISO-8859-1\""));
  StatePlug a;
  UT_String name;
  ASSERT_TRUE(a.LoadPresetFileWithData(UT_String(path.c_str()), name, Vorelle3::ELoadMode::kLoad));
  EXPECT_STREQ(name.Get(), "Caf\xC3\xA9");
  a.GetParam(kMix)->Set(25.0);
  const std::vector<uint8_t> saved = a.Saved();
  for (int cycle = 0; cycle < 3; ++cycle) {
    StatePlug b;
    const plugin::IByteChunk chunk = ToChunk(saved);
    EXPECT_EQ(b.UnserializeState(chunk, 0), int(saved.size()));
    EXPECT_TRUE(b.LastRestoreComplete());
    EXPECT_EQ(b.Values(), a.Values());
    EXPECT_EQ(b.GetParam(kGain)->Value(), -6.0);
    EXPECT_STREQ(b.GetPresetName(0), "Caf\xC3\xA9");
  }
}

TEST_F(XMLText, ACharacterReferenceInAPresetFileNameIsReadAsUTF8AndStaysThatWay)
{
  const std::string path = WriteFile("ref.zvp", PresetFile("&#xF0;&#x09;x", "-1.000000"));
  StatePlug a;
  UT_String name;
  ASSERT_TRUE(a.LoadPresetFileWithData(UT_String(path.c_str()), name, Vorelle3::ELoadMode::kLoad));
  const std::string want = "\xC3\xB0\tx";
  EXPECT_EQ(std::string(name.Get()), want);
  std::vector<uint8_t> saved = a.Saved();
  for (int cycle = 0; cycle < 4; ++cycle) {
    StatePlug b;
    const plugin::IByteChunk chunk = ToChunk(saved);
    ASSERT_EQ(b.UnserializeState(chunk, 0), int(saved.size()));
    EXPECT_EQ(std::string(b.GetPresetName(0)), want) << "cycle " << cycle;
    EXPECT_EQ(b.GetParam(kGain)->Value(), -1.0) << "cycle " << cycle;
    const std::vector<uint8_t> again = b.Saved();
    ASSERT_EQ(again.size(), saved.size()) << "cycle " << cycle;
    saved = again;
  }
}

TEST_F(XMLText, ANameSurvivesAnyNumberOfSaveAndRestoreCyclesByteForByte)
{
  const std::string names[] = {
    "&#xF0;\t",         "a&amp;b &lt;", "<>\"'", "line\nbreak\r\n", "Caf\xC3\xA9 \xF0\x9F\x8E\xB5",
    "\x01\x1F control", "&#x26;",       "&#x",   "ends with &",     "  blanks  ",
    "&#xZZ; &#;",       "\x7F",
  };
  for (const std::string& name : names) {
    StatePlug a;
    a.SetPresetNameForTest(0, name.c_str());
    std::vector<uint8_t> saved = a.Saved();
    for (int cycle = 0; cycle < 4; ++cycle) {
      StatePlug b;
      const plugin::IByteChunk chunk = ToChunk(saved);
      ASSERT_EQ(b.UnserializeState(chunk, 0), int(saved.size())) << name;
      ASSERT_TRUE(b.LastRestoreComplete()) << name;
      ASSERT_EQ(std::string(b.GetPresetName(0)), name) << "cycle " << cycle;
      const std::vector<uint8_t> again = b.Saved();
      ASSERT_EQ(again, saved) << name << " cycle " << cycle;
      saved = again;
    }
    // The same through a preset file.
    const UT_String path((mRoot / "named.zvp").string().c_str());
    ASSERT_TRUE(a.SavePresetFile(path, UT_String(name.c_str())));
    UT_String read;
    ASSERT_TRUE(a.LoadPresetFileWithData(path, read, Vorelle3::ELoadMode::kValidate));
    EXPECT_EQ(std::string(read.Get()), name);
  }
  // A name that is not UTF-8 is written as Latin-1 once, then kept.
  StatePlug a;
  a.SetPresetNameForTest(0, "\xE9t\xE9");
  StatePlug b;
  const plugin::IByteChunk chunk = ToChunk(a.Saved());
  b.UnserializeState(chunk, 0);
  EXPECT_TRUE(b.LastRestoreComplete());
  EXPECT_STREQ(b.GetPresetName(0), "\xC3\xA9t\xC3\xA9");
}

TEST_F(XMLText, TextThatIsNotUTF8NeverReachesTheParserAndTheRestoreSaysSo)
{
  const std::string good = testplug::DefaultStateXML("1.000000", "-3.000000");
  const std::string cases[] = {
    good + "\xF0",                                                    // a lone lead byte at the very end
    good.substr(0, good.size() - 2) + "\xE2\x82",                     // a sequence cut by the end
    std::string(good).replace(good.find("-3.000000"), 9, "-3.0\xC3"), // inside an attribute
    std::string(good).replace(good.find("Init"), 4, "\xC0\xAF"),      // an overlong form
    std::string(good).replace(good.find("Init"), 4, "\xED\xA0\x80"),  // a surrogate
  };
  for (const std::string& xml : cases) {
    StatePlug b;
    const std::vector<double> before = b.Values();
    const plugin::IByteChunk chunk = StateWithXML(xml);
    b.UnserializeState(chunk, 0);
    EXPECT_EQ(b.Values(), before);
    EXPECT_FALSE(b.LastRestoreComplete());
  }
  // The same text, well formed, is applied.
  StatePlug b;
  const plugin::IByteChunk chunk = StateWithXML(good);
  b.UnserializeState(chunk, 0);
  EXPECT_TRUE(b.LastRestoreComplete());
  EXPECT_EQ(b.GetParam(kGain)->Value(), -3.0);
}

TEST_F(XMLText, PresetFilesMayStartWithAByteOrderMark)
{
  StatePlug p;
  const std::string path = WriteFile("bom.zvp", "\xEF\xBB\xBF" + PresetFile("B\xC3\xB6m", "-2.000000"));
  UT_String name;
  ASSERT_TRUE(p.LoadPresetFileWithData(UT_String(path.c_str()), name, Vorelle3::ELoadMode::kLoad));
  EXPECT_STREQ(name.Get(), "B\xC3\xB6m");
  EXPECT_EQ(p.GetParam(kGain)->Value(), -2.0);
}

TEST_F(XMLText, ValuesThatAreNoFiniteNumberLeaveTheParameterAsItWas)
{
  for (const char* val : {"nan", "-nan", "inf", "-infinity", "1e999", "0x1p99999"}) {
    StatePlug p;
    p.GetParam(kGain)->Set(-1.5);
    UT_String name;
    const std::string path = WriteFile("nan.zvp", PresetFile("n", val));
    EXPECT_TRUE(p.LoadPresetFileWithData(UT_String(path.c_str()), name, Vorelle3::ELoadMode::kLoad)) << val;
    EXPECT_EQ(p.GetParam(kGain)->Value(), -1.5) << val;

    std::string xml = testplug::DefaultStateXML();
    xml.replace(xml.find("val=\"0.000000\" />\n            <Param name=\"Mix\""), 14,
                std::string("val=\"") + val + "\"");
    const plugin::IByteChunk chunk = StateWithXML(xml);
    p.UnserializeState(chunk, 0);
    EXPECT_EQ(p.GetParam(kGain)->Value(), -1.5) << val;
    EXPECT_EQ(p.GetParam(kMix)->Value(), 100.0) << val;
  }
}

} // namespace

namespace {

// A class info is taken whole or refused with the state as it was, never
// refused after a part of it was kept.
TEST_F(XMLText, ARefusedClassInfoLeavesTheStateAsItWas)
{
  StatePlug a;
  for (unsigned k = 0; k < a.Curves().Fingerprint().count; ++k)
    a.Curves().Fingerprint().mag[k] = 0.01 + 0.001 * k;
  a.Curves().SetFingerprintValid(true);
  a.GetParam(kGain)->Set(-4.0);
  a.GetParam(kMix)->Set(40.0);
  a.GetParam(kReferenceMode)->Set(2.0);
  CFPropertyListRef plist = nullptr;
  ASSERT_EQ(a.SaveClassInfo(&plist), noErr);
  const std::vector<uint8_t> saved = a.Saved();

  auto withData = [&](const std::vector<uint8_t>& bytes) {
    CFMutableDictionaryRef dict = CFDictionaryCreateMutableCopy(nullptr, 0, static_cast<CFDictionaryRef>(plist));
    CFDataRef data = CFDataCreate(nullptr, bytes.data(), CFIndex(bytes.size()));
    CFDictionarySetValue(dict, CFSTR("data"), data);
    CFRelease(data);
    return dict;
  };
  std::vector<uint8_t> foreign = saved;
  const std::string tag = "<PluginName>Vorelle3";
  auto it = std::search(foreign.begin(), foreign.end(), tag.begin(), tag.end());
  ASSERT_NE(it, foreign.end());
  *(it + long(tag.size()) - 1) = 'X';
  uint32_t xmlSize;
  std::memcpy(&xmlSize, saved.data() + 20, 4);
  const size_t q = 24 + xmlSize + (xmlSize & 1);

  const struct {
    const char* what;
    std::vector<uint8_t> bytes;
    OSStatus status;
  } table[] = {
    {"the whole state", saved, noErr},
    {"another plug-in's parameters", foreign, kAudioUnitErr_InvalidPropertyValue},
    {"a state cut in its curves", {saved.begin(), saved.end() - 100}, kAudioUnitErr_InvalidPropertyValue},
    {"a state cut after its fingerprint", {saved.begin(), saved.end() - 4}, kAudioUnitErr_InvalidPropertyValue},
    {"a state cut after its parameters", {saved.begin(), saved.begin() + long(q)}, kAudioUnitErr_InvalidPropertyValue},
    {"31 bytes of a longer state", {saved.begin(), saved.begin() + 31}, kAudioUnitErr_InvalidPropertyValue},
  };
  for (const auto& row : table) {
    StatePlug b;
    b.GetParam(kGain)->Set(-1.0);
    b.OnParamChange(kGain, plugin::kUI, -1);
    b.GetParam(kReferenceMode)->Set(1.0);
    b.OnParamChange(kReferenceMode, plugin::kUI, -1); // a filter designed for this state
    const std::vector<uint8_t> before = b.Saved();
    const unsigned designs = b.Generation();
    CFMutableDictionaryRef dict = withData(row.bytes);
    EXPECT_EQ(b.RestoreClassInfo(dict), row.status) << row.what;
    if (row.status == noErr) {
      EXPECT_EQ(b.Saved(), saved) << row.what;
      EXPECT_EQ(b.ReferenceMode(), 2) << row.what;
    } else {
      EXPECT_EQ(b.Saved(), before) << row.what;
      EXPECT_FALSE(b.Curves().FingerprintValid()) << row.what;
      EXPECT_EQ(b.GetParam(kGain)->Value(), -1.0) << row.what;
      EXPECT_EQ(b.Gain(), -1.0) << row.what;
      EXPECT_EQ(b.Mix(), 100.0) << row.what;
      EXPECT_EQ(b.ReferenceMode(), 1) << row.what;
      EXPECT_EQ(b.Generation(), designs) << row.what << ": the filter in place already fits the state";
    }
    CFRelease(dict);
  }
  CFRelease(plist);
}

} // namespace
