#include <gtest/gtest.h>

#include <functional>

#include "FontTestKit.h"
#include "IFontData.h"
#include "IFontInfo.h"

using namespace plugin::igraphics;
using namespace fonttest;

namespace {

void ExpectSameAsFontTools(const IFontInfo& info, const Tables& t, const std::string& what)
{
  ASSERT_GT(t.unitsPerEm, 0) << "fontTools could not read " << what;
  EXPECT_TRUE(info.IsComplete()) << what;
  EXPECT_EQ(info.GetUnitsPerEM(), t.unitsPerEm) << what;
  EXPECT_EQ(info.GetMacStyle(), t.macStyle) << what;
  EXPECT_EQ(info.GetAscender(), t.ascent) << what;
  EXPECT_EQ(info.GetDescender(), t.descent) << what;
  EXPECT_EQ(info.GetLineGap(), t.lineGap) << what;
  EXPECT_STREQ(info.GetFamily().Get(), t.family.c_str()) << what;
  EXPECT_STREQ(info.GetStyle().Get(), t.style.c_str()) << what;
}

} // namespace

TEST(FontInfo, EveryFaceOfFontsAndCollectionsReadsTheSameTablesAsFontTools)
{
  const std::string pair = PairCollection();
  ASSERT_FALSE(pair.empty()) << "fontTools could not make the collection";
  const struct {
    std::string path;
    int faces;
  } cases[] = {{kRoboto + "Roboto-Regular.ttf", 1},      {kRoboto + "Roboto-BoldItalic.ttf", 1},
               {kDejaVu + "DejaVuSans.ttf", 1},          {kDejaVu + "DejaVuSerifCondensed-Italic.ttf", 1},
               {kDejaVu + "DejaVuSansMono-Bold.ttf", 1}, {pair, 2}};
  for (const auto& c : cases) {
    const std::vector<uint8_t> bytes = ReadFile(c.path);
    ASSERT_FALSE(bytes.empty()) << c.path;
    for (int face = 0; face < c.faces; ++face)
      ExpectSameAsFontTools(IFontInfo(bytes.data(), int(bytes.size()), face), ReadWithFontTools(c.path, face),
                            c.path + " face " + std::to_string(face));
    EXPECT_FALSE(IFontInfo(bytes.data(), int(bytes.size()), c.faces).IsComplete()) << c.path << " has no more faces";
    EXPECT_FALSE(IFontInfo(bytes.data(), int(bytes.size()), -1).IsComplete()) << c.path;
  }
}

TEST(FontInfo, FontDataKeepsACopyThatItsInfoReads)
{
  const std::vector<uint8_t> bytes = ReadFile(PairCollection());
  const int size = int(bytes.size());
  ASSERT_GT(size, 0);
  const IFontData data(bytes.data(), size, 1);
  EXPECT_TRUE(data.IsValid());
  EXPECT_STREQ(data.GetInfo().GetStyle().Get(), "Bold");
  EXPECT_EQ(data.GetInfo().GetData(), data.Get()) << "the info reads the data's own copy";
  EXPECT_FALSE(IFontData(bytes.data(), size, -1).IsValid());
}

TEST(FontInfo, CollectionFacesAreFoundByFamilyAndStyle)
{
  const std::string pair = PairCollection(), two = TwoFamilyCollection();
  ASSERT_FALSE(pair.empty() || two.empty()) << "fontTools could not make the collections";
  const struct {
    std::string path;
    const char* family;
    const char* style;
    int face;
  } cases[] = {{pair, "", "Bold", 1},
               {pair, "", "Regular", 0},
               {pair, "", "", 0},
               {pair, "", "Italic", -1},
               {pair, "", "bold", -1},
               {two, "Vorelle One", "Regular", 0},
               {two, "Vorelle One", "Bold", 1},
               {two, "Vorelle Two", "Regular", 2},
               {two, "Vorelle Two", "Bold", 3},
               {two, "Vorelle Two", "", 2},
               {two, "", "Bold", 1},
               {two, "Vorelle Two", "Italic", -1},
               {two, "Vorelle", "Regular", -1},
               {two, "vorelle two", "Regular", -1}};
  for (const auto& c : cases) {
    const std::vector<uint8_t> bytes = ReadFile(c.path);
    const int face = IFontInfo::FindFace(bytes.data(), int(bytes.size()), c.family, c.style);
    EXPECT_EQ(face, c.face) << c.path << " " << c.family << "/" << c.style;
    if (face < 0)
      continue;
    const Tables t = ReadWithFontTools(c.path, face);
    EXPECT_TRUE(!*c.family || t.family == c.family) << t.family;
    EXPECT_TRUE(!*c.style || t.style == c.style) << t.style;
  }
}

TEST(FontInfo, NameStringsDecodeUTF16AndFallBackToMacintoshRecords)
{
  // U+00FC, U+07FF and U+0800 (either side of the two- to three-byte
  // boundary) and U+1F600 (a surrogate pair).
  const SynthFont f = MakeSynthFont(u"Gr\u00fc\u07ff\u0800\U0001F600n", "MacName", "Bold");
  const IFontInfo info(f.bytes.data(), int(f.bytes.size()), 0);
  ASSERT_TRUE(info.IsComplete());
  EXPECT_STREQ(info.GetFamily().Get(), "Gr\xc3\xbc\xdf\xbf\xe0\xa0\x80\xf0\x9f\x98\x80n");
  EXPECT_STREQ(info.GetStyle().Get(), "Bold");
  EXPECT_EQ(info.GetUnitsPerEM(), 1000);
  EXPECT_EQ(info.GetAscender(), 800);
  EXPECT_EQ(info.GetDescender(), -200);
  EXPECT_EQ(info.GetLineGap(), 90);

  const SynthFont empty = MakeSynthFont(u"", "MacName", "Bold");
  EXPECT_STREQ(IFontInfo(empty.bytes.data(), int(empty.bytes.size()), 0).GetFamily().Get(), "MacName");
}

TEST(FontInfo, DamagedDirectoriesAndTablesAreRefused)
{
  const SynthFont f = MakeSynthFont(u"Synth", "Synth", "Bold");
  using Edit = std::function<void(std::vector<uint8_t>&)>;
  const size_t headRecord = 12, hheaRecord = 28, nameRecord = 44;
  const struct {
    const char* what;
    Edit edit;
    bool complete;
    const char* family;
  } cases[] = {
    {"intact", [](auto&) {}, true, "Synth"},
    {"OTTO tag", [](auto& b) { std::copy_n("OTTO", 4, b.begin()); }, true, "Synth"},
    {"0x31 tag", [](auto& b) { PutU32(b, 0, 0x31000000); }, true, "Synth"},
    {"typ1 tag", [](auto& b) { std::copy_n("typ1", 4, b.begin()); }, true, "Synth"},
    {"unknown tag", [](auto& b) { std::copy_n("wOFF", 4, b.begin()); }, false, ""},
    {"head past the end", [&](auto& b) { PutU32(b, headRecord + 8, uint32_t(b.size())); }, false, ""},
    {"head offset overflows", [&](auto& b) { PutU32(b, headRecord + 8, 0xFFFFFFF0u); }, false, ""},
    {"hhea too short", [&](auto& b) { PutU32(b, hheaRecord + 12, 35); }, false, ""},
    {"name length past the end", [&](auto& b) { PutU32(b, nameRecord + 12, 0x7FFFFFFF); }, false, ""},
    {"table count past the end", [](auto& b) { PutU16(b, 4, 0xFFFF); }, true, "Synth"},
    {"no tables", [](auto& b) { PutU16(b, 4, 0); }, false, ""},
    {"name count past the table", [&](auto& b) { PutU16(b, f.nameAt + 2, 0xFFFF); }, true, "Synth"},
    {"string offset past the table", [&](auto& b) { PutU16(b, f.nameRecordsAt + 10, 0xFFF0); }, true, "Synth"},
    {"all strings past the table", [&](auto& b) { PutU16(b, f.nameAt + 4, 0xFFFF); }, true, ""},
  };
  for (const auto& c : cases) {
    std::vector<uint8_t> b = f.bytes;
    c.edit(b);
    const IFontInfo info(b.data(), int(b.size()), 0);
    EXPECT_EQ(info.IsComplete(), c.complete) << c.what;
    EXPECT_STREQ(info.GetFamily().Get(), c.family) << c.what;
    if (!c.complete) {
      EXPECT_EQ(info.GetData(), nullptr) << c.what;
      EXPECT_EQ(info.GetUnitsPerEM(), 0) << c.what;
      EXPECT_EQ(info.GetAscender(), 0) << c.what;
    }
  }
}

TEST(FontInfo, CollectionHeadersAreChecked)
{
  const SynthFont f = MakeSynthFont(u"Synth", "Synth", "Bold");
  // A collection of two copies of the face: header, then the font shifted.
  auto collection = [&](uint32_t version, uint32_t count, uint32_t secondOffset) {
    std::vector<uint8_t> b(20, 0);
    std::copy_n("ttcf", 4, b.begin());
    PutU32(b, 4, version);
    PutU32(b, 8, count);
    PutU32(b, 12, 20);
    PutU32(b, 16, secondOffset);
    std::vector<uint8_t> face = f.bytes;
    for (size_t r = 12; r < 12 + 3 * 16; r += 16) // table offsets count from the file start
      PutU32(face, r + 8, uint32_t(face[r + 8] << 24 | face[r + 9] << 16 | face[r + 10] << 8 | face[r + 11]) + 20);
    b.insert(b.end(), face.begin(), face.end());
    return b;
  };
  const struct {
    const char* what;
    uint32_t version, count, second;
    int face;
    bool complete;
  } cases[] = {
    {"version 1, face 1", 0x00010000, 2, 20, 1, true},
    {"version 2, face 1", 0x00020000, 2, 20, 1, true},
    {"version 3", 0x00030000, 2, 20, 0, false},
    {"count not above the index", 0x00010000, 1, 20, 1, false},
    {"no faces", 0x00010000, 0, 20, 0, false},
    {"count past the offsets", 0x00010000, 0xFFFFFFFF, 20, 2, false},
    {"face offset past the end", 0x00010000, 2, 0xFFFFFFF0, 1, false},
  };
  for (const auto& c : cases) {
    const std::vector<uint8_t> b = collection(c.version, c.count, c.second);
    EXPECT_EQ(IFontInfo(b.data(), int(b.size()), c.face).IsComplete(), c.complete) << c.what;
  }
  const std::vector<uint8_t> b = collection(0x00010000, 0xFFFFFFFF, 20);
  EXPECT_EQ(IFontInfo::FindFace(b.data(), int(b.size()), "", "Italic"), -1)
    << "ends at the first face that does not parse";
}
