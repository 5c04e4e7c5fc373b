// The host state chunk against bytes laid out here, libxml2 as an outside
// reader of its XML, and cut or damaged chunks.
#include <functional>
#include <gtest/gtest.h>
#include <libxml/parser.h>
#include <libxml/tree.h>

#include <cmath>
#include <random>
#include <set>

#include "CommaLocale.h"
#include "StateTestPlugin.h"

namespace {

using testplug::Bytes;
using testplug::Magnitudes;
using testplug::StatePlug;
using testplug::ToChunk;

class StateChunk : public testplug::Vorelle3Test {
protected:
  // Curves and parameters that differ from every default.
  static void Shape(StatePlug& p, uint64_t seed, const char* refName)
  {
    std::mt19937_64 rng(seed);
    std::uniform_real_distribution<double> level(1e-5, 0.2);
    for (unsigned k = 0; k < p.Curves().Fingerprint().count; ++k)
      p.Curves().Fingerprint().mag[k] = level(rng);
    for (unsigned k = 0; k < p.Curves().CustomReference().count; ++k)
      p.Curves().CustomReference().mag[k] = level(rng);
    p.Curves().SetCustomRefName(refName);
    p.Curves().SetFingerprintValid(true);
    p.Curves().SetCustomRefValid(true);
    const double values[][2] = {{kGain, -4.3}, {kMix, 37.0}, {kReferenceMode, 4.0}, {kGUIScale, 1.25}};
    for (const auto& v : values)
      p.GetParam(int(v[0]))->Set(v[1]);
    p.OnParamReset(plugin::kPresetRecall);
    p.ComputeCurves();
  }

  // Restores `rounds` copies of a saved state with a few random bits flipped.
  static void RestoreDamagedChunks(int rounds);
};

// Minutes under the sanitizers and the emulator: optimised builds only (label soak).
class StateChunkSoak : public StateChunk {};

TEST_F(StateChunk, AFreshInstanceSavesTheExpectedBytes)
{
  StatePlug p;
  const std::string xml = testplug::DefaultStateXML();
  const uint32_t xmlSize = 8 + uint32_t(xml.size());
  Bytes body;
  body.U32(1).Tag("ZQCM").Tag("ZQCS").U32(xmlSize).U32(1).U32(uint32_t(xml.size())).Text(xml).Pad(xmlSize & 1);
  body.Tag("ZQV0").U32(8).U32(3).U32(0);
  body.Tag("ZQV1").U32(8).U32(3).U32(0);
  Bytes want;
  want.Tag("RIFF").U32(uint32_t(body.b.size())).b.insert(want.b.end(), body.b.begin(), body.b.end());
  EXPECT_EQ(p.Saved(), want.b);
  // 32 + L (+ pad) + 16 + 16 bytes.
  EXPECT_EQ(want.b.size(), 32 + xml.size() + (xmlSize & 1) + 32);
}

TEST_F(StateChunk, CurveSectionsStoreMagnitudesBeforeFrequenciesAndPadAnOddName)
{
  StatePlug p;
  Shape(p, 11, "abc.ref"); // K = 7: odd section size
  const std::vector<uint8_t> saved = p.Saved();
  const Vorelle3CurveRecord& fp = p.Curves().Fingerprint();
  const Vorelle3CurveRecord& ref = p.Curves().CustomReference();
  Bytes fpSection, refSection;
  fpSection.Tag("ZQV0").U32(8 + 16 * fp.count).U32(3).U32(fp.count);
  for (unsigned k = 0; k < fp.count; ++k)
    fpSection.F64(fp.mag[k]);
  for (unsigned k = 0; k < fp.count; ++k)
    fpSection.F64(fp.freq[k]);
  refSection.Tag("ZQV1").U32(12 + 7 + 16 * ref.count).U32(3).U32(ref.count).U32(7).Text("abc.ref");
  for (unsigned k = 0; k < ref.count; ++k)
    refSection.F64(ref.mag[k]);
  for (unsigned k = 0; k < ref.count; ++k)
    refSection.F64(ref.freq[k]);
  refSection.Pad(true);
  Bytes tail;
  tail.b = fpSection.b;
  tail.b.insert(tail.b.end(), refSection.b.begin(), refSection.b.end());
  ASSERT_GT(saved.size(), tail.b.size());
  EXPECT_TRUE(std::equal(tail.b.begin(), tail.b.end(), saved.end() - long(tail.b.size())));
  uint32_t container;
  std::memcpy(&container, saved.data() + 4, 4);
  EXPECT_EQ(container, saved.size() - 8);
}

TEST_F(StateChunk, RestoringIntoANewInstanceIsBitExactAndProcessesIdentically)
{
  StatePlug a;
  Shape(a, 5, "Pink.ref");
  const std::vector<uint8_t> saved = a.Saved();
  StatePlug b;
  const plugin::IByteChunk chunk = ToChunk(saved);
  EXPECT_EQ(b.UnserializeState(chunk, 0), int(saved.size()));
  EXPECT_EQ(b.Values(), a.Values());
  EXPECT_TRUE(b.Curves().FingerprintValid());
  EXPECT_TRUE(b.Curves().CustomRefValid());
  EXPECT_STREQ(b.Curves().CustomRefName(), "Pink.ref");
  EXPECT_EQ(Magnitudes(b.Curves().Fingerprint()), Magnitudes(a.Curves().Fingerprint()));
  EXPECT_EQ(Magnitudes(b.Curves().CustomReference()), Magnitudes(a.Curves().CustomReference()));
  EXPECT_EQ(b.Saved(), saved);

  for (StatePlug* p : {&a, &b}) {
    p->GetParam(kActivityState)->Set(kProcessing);
    p->OnParamChange(kActivityState, plugin::kUI, -1);
  }
  std::mt19937 rng(3);
  std::uniform_real_distribution<double> noise(-0.3, 0.3);
  std::vector<double> l(4096), r(4096);
  for (size_t i = 0; i < l.size(); ++i) {
    l[i] = noise(rng);
    r[i] = noise(rng);
  }
  std::vector<double> al, ar, bl, br;
  a.Run(l, r, al, ar, 512);
  b.Run(l, r, bl, br, 512);
  EXPECT_EQ(al, bl);
  EXPECT_EQ(ar, br);
}

TEST_F(StateChunk, ARestoreDesignsTheFilterOnlyWhenTheHostCanNextRender)
{
  StatePlug a;
  Shape(a, 5, "Pink.ref");
  a.GetParam(kReferenceMode)->Set(4.0);
  a.OnParamChange(kReferenceMode, plugin::kUI, -1);
  const std::vector<uint8_t> saved = a.Saved();
  CFPropertyListRef plist = nullptr;
  ASSERT_EQ(a.SaveClassInfo(&plist), noErr);
  const plugin::IByteChunk chunk = ToChunk(saved);

  const struct {
    const char* door;
    std::function<void(StatePlug&)> restore;
    bool designed;
  } rows[] = {
    {"the state chunk alone", [&](StatePlug& b) { b.UnserializeState(chunk, 0); }, false},
    {"the class info", [&](StatePlug& b) { EXPECT_EQ(b.RestoreClassInfo(plist), noErr); }, true},
    {"a preset recall",
     [&](StatePlug& b) {
       plugin::IPreset* preset = b.Slot(0);
       preset->mChunk.Clear();
       preset->mChunk.PutBytes(saved.data(), int(saved.size()));
       EXPECT_TRUE(b.RestorePreset(0));
     },
     true},
    {"the chunk, then Initialize",
     [&](StatePlug& b) {
       b.UnserializeState(chunk, 0);
       EXPECT_EQ(b.Initialize(), noErr);
     },
     true},
    {"the chunk, then the idle tick's deferred work",
     [&](StatePlug& b) {
       b.UnserializeState(chunk, 0);
       b.RunDeferredWork();
     },
     true},
  };
  for (const auto& row : rows) {
    StatePlug b;
    const unsigned before = b.Generation();
    row.restore(b);
    EXPECT_EQ(b.Saved(), saved) << row.door;
    EXPECT_EQ(b.Generation() != before, row.designed) << row.door;
    EXPECT_EQ(b.FilterImpulse() == a.FilterImpulse(), row.designed) << row.door;
  }
  CFRelease(plist);
}

TEST_F(StateChunk, ReaderStopsWhereTheLayoutEnds)
{
  StatePlug p;
  const std::vector<uint8_t> full = p.Saved();
  const int q = int(full.size()) - 32; // the fingerprint section
  struct Case {
    const char* what;
    std::vector<uint8_t> bytes;
    int start;
    int result;
  };
  auto with = [&](size_t at, const char* tag) {
    std::vector<uint8_t> b = full;
    std::memcpy(b.data() + at, tag, 4);
    return b;
  };
  std::vector<uint8_t> prefixed = full;
  prefixed.insert(prefixed.begin(), 5, 0x55);
  const std::vector<Case> cases = {
    {"empty", {}, 0, 0},
    {"not RIFF", with(0, "RIFX"), 0, 0},
    {"negative start", full, -3, -3},
    {"other form", with(12, "ZQCN"), 0, 12},
    {"no XML section", with(16, "ZQCT"), 0, 16},
    {"no fingerprint section", with(size_t(q), "ZQVX"), 0, q},
    {"no reference section", with(size_t(q) + 16, "ZQVX"), 0, q + 16},
    {"after other data", prefixed, 5, int(prefixed.size())},
    {"whole", full, 0, int(full.size())},
  };
  for (const Case& c : cases) {
    const plugin::IByteChunk chunk = ToChunk(c.bytes);
    EXPECT_EQ(p.UnserializeState(chunk, c.start), c.result) << c.what;
  }
}

TEST_F(StateChunk, PresetChunksApplyTheirParametersAndStopAtTheFingerprintSection)
{
  StatePlug p;
  plugin::IPreset preset;
  p.MakePresetFromState(preset, "Loud", 1, int(kGain), 6.5);
  p.Curves().SetFingerprintValid(false);
  EXPECT_EQ(p.UnserializeState(preset.mChunk, 0), preset.mChunk.Size());
  EXPECT_EQ(p.GetParam(kGain)->Value(), 6.5);
  EXPECT_STREQ(p.GetPresetName(0), "Loud");
  EXPECT_FALSE(p.Curves().FingerprintValid());
}

TEST_F(StateChunk, XMLValuesAreSteppedClampedOrSkippedAsTheParametersRequire)
{
  struct Case {
    const char* param;
    const char* attrs;
    int index;
    double want;
  };
  const Case cases[] = {
    {"GUI scale", "", kGUIScale, 0.5},                                                 // no val: 0.0, clamped
    {"Mix", " val=\"250\"", kMix, 100.0},                                              // above the maximum
    {"Gain", " val=\"-3.25\"", kGain, -3.25}, {"Gain", " val=\"1e1000\"", kGain, 0.0}, // not finite: unreadable
    {"Nothing", " val=\"3\"", kGain, 0.0},                                             // unknown name: skipped
    {"Reference mode", " val=\"2.6\"", kReferenceMode, 3.0}, // a fraction: the nearest mode
    {"Reference mode", " val=\"1.4\"", kReferenceMode, 1.0},
  };
  for (const Case& c : cases) {
    StatePlug p;
    const std::string xml = std::string("<?xml version=\"1.0\" ?><PresetXMLTree version=\"1\">"
                                        "<PluginVendor>Zelvant</PluginVendor><PluginName>Vorelle3</PluginName>"
                                        "<PluginVersion>x</PluginVersion><Preset name=\"P\"><Parameter>"
                                        "<Param name=\"") +
                            c.param + "\"" + c.attrs + " /></Parameter></Preset></PresetXMLTree>";
    Bytes b;
    b.U32(uint32_t(xml.size())).Text(xml);
    const plugin::IByteChunk chunk = ToChunk(b.b);
    EXPECT_EQ(p.ReadStateXML(chunk, 0), int(4 + xml.size())) << c.param << c.attrs;
    EXPECT_DOUBLE_EQ(p.GetParam(c.index)->Value(), c.want) << c.param << c.attrs;
  }
}

TEST_F(StateChunk, AChunkWithAnotherCountKeepsThatCurveButRestoresTheRest)
{
  StatePlug a;
  Shape(a, 9, "r.ref");
  std::vector<uint8_t> saved = a.Saved();
  // Patch the fingerprint count to 66: the section no longer matches.
  const std::string xmlEnd = "</PresetXMLTree>\n";
  auto it = std::search(saved.begin(), saved.end(), xmlEnd.begin(), xmlEnd.end());
  size_t q = size_t(it - saved.begin()) + xmlEnd.size();
  q += q & 1;
  ASSERT_EQ(std::memcmp(saved.data() + q, "ZQV0", 4), 0);
  const uint32_t other = 66;
  std::memcpy(saved.data() + q + 12, &other, 4);
  StatePlug b;
  const std::vector<double> before = Magnitudes(b.Curves().Fingerprint());
  const plugin::IByteChunk chunk = ToChunk(saved);
  EXPECT_EQ(b.UnserializeState(chunk, 0), int(saved.size()));
  EXPECT_FALSE(b.Curves().FingerprintValid());
  EXPECT_EQ(Magnitudes(b.Curves().Fingerprint()), before);
  EXPECT_TRUE(b.Curves().CustomRefValid());
  EXPECT_EQ(b.Values(), a.Values());
}

TEST_F(StateChunk, AnotherPluginsXMLChangesNoParameterButTheCurvesStillLoad)
{
  StatePlug a;
  Shape(a, 13, "n.ref");
  std::vector<uint8_t> saved = a.Saved();
  const std::string name = "<PluginName>Vorelle3</PluginName>";
  auto it = std::search(saved.begin(), saved.end(), name.begin(), name.end());
  ASSERT_NE(it, saved.end());
  *(it + 19) = 'X'; // Vorelle3 -> VorelleX, same length
  StatePlug b;
  const std::vector<double> values = b.Values();
  const plugin::IByteChunk chunk = ToChunk(saved);
  EXPECT_EQ(b.UnserializeState(chunk, 0), int(saved.size()));
  EXPECT_EQ(b.Values(), values);
  EXPECT_TRUE(b.Curves().FingerprintValid());
  EXPECT_TRUE(b.Curves().CustomRefValid());
  EXPECT_FALSE(b.LastRestoreComplete()) << "the parameter section was dropped";
}

TEST_F(StateChunk, ACutChunkAppliesEveryWholeSectionAndOnlySaysCompleteWhenNothingIsMissing)
{
  StatePlug a;
  Shape(a, 21, "cut.ref"); // odd name: the chunk ends in a pad byte nothing reads
  const std::vector<uint8_t> saved = a.Saved();
  // Section ends worked out from the bytes, not by the reader.
  uint32_t xmlSize, fpSize, refSize;
  std::memcpy(&xmlSize, saved.data() + 20, 4);
  const size_t xmlEnd = 24 + xmlSize, q = xmlEnd + (xmlSize & 1);
  std::memcpy(&fpSize, saved.data() + q + 4, 4);
  const size_t fpEnd = q + 8 + fpSize, r = fpEnd;
  std::memcpy(&refSize, saved.data() + r + 4, 4);
  const size_t refEnd = r + 8 + refSize;
  ASSERT_EQ(refEnd + 1, saved.size());

  StatePlug fresh;
  const std::vector<double> defaults = fresh.Values();
  // Every length around a boundary, and a sample between them (each length
  // needs a new instance).
  std::set<size_t> lengths;
  for (size_t edge : {size_t(0), size_t(4), size_t(12), size_t(16), size_t(20), size_t(28), xmlEnd, q, q + 4, q + 12,
                      fpEnd, r + 4, r + 12, refEnd, saved.size()}) {
    for (size_t d = 0; d < 3; ++d) {
      if (edge >= d)
        lengths.insert(edge - d);
      if (edge + d <= saved.size())
        lengths.insert(edge + d);
    }
  }
  for (size_t len = 0; len < saved.size(); len += 251)
    lengths.insert(len);
  for (size_t len : lengths) {
    StatePlug b;
    // The chunk holds exactly the cut bytes; the reader must not look past.
    const plugin::IByteChunk chunk = ToChunk(std::vector<uint8_t>(saved.begin(), saved.begin() + long(len)));
    const int result = b.UnserializeState(chunk, 0);
    // The stop positions: a tag that is not there stops at its own
    // position when that lies inside the bytes; a section cut off, or a
    // position past the bytes, gives -1. A chunk missing only its last pad
    // byte ends where its bytes end.
    int want = -1;
    if (len < 4)
      want = 0;
    else if (len >= 12 && len < 16)
      want = 12;
    else if (len >= 16 && len < 20)
      want = 16;
    else if (len >= q && len < q + 4)
      want = int(q);
    else if (len >= r && len < r + 4)
      want = int(r);
    else if (len >= refEnd)
      want = int(len);
    EXPECT_EQ(result, want) << "length " << len;
    EXPECT_EQ(b.Values(), len >= xmlEnd ? a.Values() : defaults) << "length " << len;
    EXPECT_EQ(b.Curves().FingerprintValid(), len >= fpEnd) << "length " << len;
    EXPECT_EQ(b.Curves().CustomRefValid(), len >= refEnd) << "length " << len;
    if (len >= refEnd) {
      EXPECT_EQ(b.Saved(), saved) << "length " << len;
    }
    EXPECT_EQ(b.LastRestoreComplete(), len >= refEnd) << "length " << len;
  }
}

TEST_F(StateChunk, AChunkCutAtASectionBoundaryIsNotComplete)
{
  StatePlug a;
  Shape(a, 22, "b.ref");
  const std::vector<uint8_t> saved = a.Saved();
  uint32_t xmlSize;
  std::memcpy(&xmlSize, saved.data() + 20, 4);
  const size_t q = 24 + xmlSize + (xmlSize & 1);
  StatePlug b;
  const plugin::IByteChunk chunk = ToChunk(std::vector<uint8_t>(saved.begin(), saved.begin() + long(q)));
  EXPECT_EQ(b.UnserializeState(chunk, 0), int(q));
  EXPECT_EQ(b.Values(), a.Values());
  EXPECT_FALSE(b.LastRestoreComplete()) << "the container announces two more sections";
}

// Each applied curve rebuilds the filter, so a round costs a filter design.
void StateChunk::RestoreDamagedChunks(int rounds)
{
  StatePlug a;
  Shape(a, 31, "flip.ref");
  const std::vector<uint8_t> saved = a.Saved();
  StatePlug b;
  std::mt19937 rng(1234);
  for (int round = 0; round < rounds; ++round) {
    std::vector<uint8_t> bytes = saved;
    const int flips = 1 + int(rng() % 4);
    for (int f = 0; f < flips; ++f)
      bytes[rng() % bytes.size()] ^= uint8_t(1u << (rng() % 8));
    const std::vector<uint8_t> before = b.Saved();
    const plugin::IByteChunk chunk = ToChunk(bytes);
    const int result = b.UnserializeState(chunk, 0);
    // A refusal before the parameters changes nothing; later, the reader
    // applies what it read whole.
    if (result < 0 && !testplug::ReachesParameters(bytes)) {
      ASSERT_EQ(b.Saved(), before) << "round " << round;
    }
    ASSERT_LE(result, int(bytes.size())) << "round " << round;
    for (int i = 0; i < b.NParams(); ++i) {
      const plugin::IParam* param = b.GetParam(i);
      ASSERT_NE(param, nullptr);
      const double v = param->Value();
      ASSERT_TRUE(v >= param->GetMin() && v <= param->GetMax()) << "round " << round;
    }
    for (const Vorelle3CurveRecord* c : {&b.Curves().Fingerprint(), &b.Curves().CustomReference()})
      for (unsigned k = 0; k < c->count; ++k)
        ASSERT_TRUE(std::isfinite(c->mag[k]));
  }
}

TEST_F(StateChunk, DamagedChunksNeverCrashAndLeaveTheStateSane) { RestoreDamagedChunks(30); }

TEST_F(StateChunkSoak, ManyDamagedChunksNeverCrashAndLeaveTheStateSane) { RestoreDamagedChunks(150); }

TEST_F(StateChunk, SizesFromTheDataCannotWrapAPosition)
{
  StatePlug p;
  std::vector<uint8_t> bytes = p.Saved();
  // An XML section size near 2^32 puts the fingerprint section out of reach.
  const uint32_t huge = 0xFFFFFFF1u;
  std::memcpy(bytes.data() + 20, &huge, 4);
  const plugin::IByteChunk chunk = ToChunk(bytes);
  EXPECT_EQ(p.UnserializeState(chunk, 0), -1);
}

TEST_F(StateChunk, TheXMLIsReadByAnIndependentParserInAnyLocale)
{
  testsupport::CommaLocale locale; // inactive locale: still a plain check
  StatePlug p;
  p.GetParam(kGain)->Set(-2.5);
  const std::vector<uint8_t> saved = p.Saved();
  uint32_t length;
  std::memcpy(&length, saved.data() + 28, 4);
  const std::string xml(reinterpret_cast<const char*>(saved.data() + 32), length);
  xmlDocPtr doc = xmlReadMemory(xml.data(), int(xml.size()), "state.xml", nullptr, XML_PARSE_NONET);
  ASSERT_NE(doc, nullptr);
  xmlNodePtr root = xmlDocGetRootElement(doc);
  EXPECT_STREQ(reinterpret_cast<const char*>(root->name), "PresetXMLTree");
  int params = 0;
  std::string gain;
  for (xmlNodePtr n = root->children; n; n = n->next) {
    if (n->type != XML_ELEMENT_NODE || xmlStrcmp(n->name, BAD_CAST "Preset"))
      continue;
    for (xmlNodePtr list = n->children; list; list = list->next) {
      for (xmlNodePtr param = list->children; param; param = param->next) {
        if (param->type != XML_ELEMENT_NODE)
          continue;
        ++params;
        xmlChar* name = xmlGetProp(param, BAD_CAST "name");
        xmlChar* val = xmlGetProp(param, BAD_CAST "val");
        if (!xmlStrcmp(name, BAD_CAST "Gain"))
          gain = reinterpret_cast<const char*>(val);
        xmlFree(name);
        xmlFree(val);
      }
    }
  }
  xmlFreeDoc(doc);
  EXPECT_EQ(params, 10);
  EXPECT_EQ(gain, "-2.500000");
  StatePlug b;
  const plugin::IByteChunk chunk = ToChunk(saved);
  EXPECT_EQ(b.UnserializeState(chunk, 0), int(saved.size()));
  EXPECT_EQ(b.GetParam(kGain)->Value(), -2.5);
}

} // namespace
