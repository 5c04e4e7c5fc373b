#include <CoreText/CoreText.h>
#include <standin/Testing.h>

#include <gtest/gtest.h>

#include <algorithm>
#include <filesystem>
#include <fstream>
#include <unistd.h>

#include "CoreTextFont.h"
#include "CoreTextHelpers.h"
#include "FontTestKit.h"
#include "IFontInfo.h"

using namespace plugin::igraphics;
using namespace fonttest;
namespace fs = std::filesystem;

namespace {

std::string Attribute(FontDescriptor descriptor, CFStringRef key)
{
  auto value =
    static_cast<CFStringRef>(CTFontDescriptorCopyAttribute(static_cast<CTFontDescriptorRef>(descriptor), key));
  char text[256] = "";
  if (value) {
    CFStringGetCString(value, text, sizeof text, kCFStringEncodingUTF8);
    CFRelease(value);
  }
  return text;
}

void ExpectFontDataOf(const PlatformFont& font, const std::string& file, int face, const std::string& what)
{
  const IFontDataPtr data = font.GetFontData();
  const std::vector<uint8_t> bytes = ReadFile(file);
  ASSERT_TRUE(data->IsValid()) << what;
  EXPECT_EQ(data->GetFaceIdx(), face) << what;
  ASSERT_EQ(data->GetSize(), int(bytes.size())) << what;
  EXPECT_TRUE(std::equal(bytes.begin(), bytes.end(), data->Get())) << what;
  const Tables t = ReadWithFontTools(file, face);
  const IFontInfo& info = data->GetInfo();
  EXPECT_EQ(info.GetUnitsPerEM(), t.unitsPerEm) << what;
  EXPECT_EQ(info.GetAscender(), t.ascent) << what;
  EXPECT_EQ(info.GetDescender(), t.descent) << what;
  EXPECT_EQ(info.GetLineGap(), t.lineGap) << what;
  EXPECT_EQ(info.GetStyle().Get(), t.style) << what;
}

class CoreTextFontTest : public testing::Test {
protected:
  void SetUp() override
  {
    standin::Reset();
    bundle = OutputDir() + "/Fonts" + std::to_string(::getpid()) + ".component";
    fs::remove_all(bundle);
    fs::create_directories(bundle + "/Contents/Resources");
    fs::copy_file(kRoboto + "Roboto-Regular.ttf", bundle + "/Contents/Resources/Roboto-Regular.ttf");
    standin::RegisterBundle({"com.example.fonts", bundle, "", {}});
    baseline = standin::LiveCFObjectCount();
  }
  void TearDown() override
  {
    EXPECT_EQ(standin::LiveCFObjectCount(), baseline) << "CF objects left behind";
    standin::Reset();
    fs::remove_all(bundle);
  }

  std::string bundle;
  long baseline = 0;
};

} // namespace

TEST_F(CoreTextFontTest, FileFontComesFromTheBundleResourcesAndGivesNoDataOnceTheFileIsGone)
{
  PlatformFontPtr font =
    CoreTextHelpers::LoadPlatformFont("Roboto-Regular", "Roboto-Regular.ttf", "com.example.fonts", "");
  ASSERT_TRUE(font);
  EXPECT_FALSE(font->IsSystem());
  ASSERT_TRUE(font->GetDescriptor());
  EXPECT_EQ(Attribute(font->GetDescriptor(), kCTFontFamilyNameAttribute), "Roboto");
  EXPECT_EQ(Attribute(font->GetDescriptor(), kCTFontStyleNameAttribute), "Regular");
  ExpectFontDataOf(*font, bundle + "/Contents/Resources/Roboto-Regular.ttf", 0, "file font");

  EXPECT_FALSE(CoreTextHelpers::LoadPlatformFont("Missing", "Missing.ttf", "com.example.fonts", ""));
  EXPECT_FALSE(CoreTextHelpers::LoadPlatformFont("Missing", nullptr, "com.example.fonts", ""));
  // A file that is there but is no font.
  std::ofstream(bundle + "/Contents/Resources/Broken.ttf") << "not a font at all";
  EXPECT_FALSE(CoreTextHelpers::LoadPlatformFont("Broken", "Broken.ttf", "com.example.fonts", ""));

  // A font whose file goes away gives no data.
  fs::remove(bundle + "/Contents/Resources/Roboto-Regular.ttf");
  const IFontDataPtr data = font->GetFontData();
  EXPECT_FALSE(data->IsValid());
  EXPECT_EQ(data->GetSize(), 0);
}

TEST_F(CoreTextFontTest, FamilyAndStyleFindTheInstalledFileOrReportItMissing)
{
  const struct {
    const char* family;
    int style;
    std::string file;
  } cases[] = {
    {"Roboto", kTextStyleRegular, kRoboto + "Roboto-Regular.ttf"},
    {"Roboto", kTextStyleBold, kRoboto + "Roboto-Bold.ttf"},
    {"Roboto", kTextStyleItalic, kRoboto + "Roboto-Italic.ttf"},
    {"Roboto", 7, kRoboto + "Roboto-Regular.ttf"},
    {"Roboto", -1, kRoboto + "Roboto-Regular.ttf"},
    {"DejaVu Sans", kTextStyleBold, kDejaVu + "DejaVuSans-Bold.ttf"},
    {"DejaVu Serif", kTextStyleItalic, kDejaVu + "DejaVuSerif-Italic.ttf"},
    {"DejaVu Sans", kTextStyleItalic, ""}, // its slanted face is "Oblique"
    {"No Such Family", kTextStyleRegular, ""},
  };
  for (const auto& c : cases) {
    const std::string what = std::string(c.family) + " " + std::to_string(c.style);
    PlatformFontPtr font = CoreTextHelpers::LoadPlatformFontByName("id", c.family, ETextStyle(c.style));
    ASSERT_EQ(bool(font), !c.file.empty()) << what;
    if (!font)
      continue;
    EXPECT_TRUE(font->IsSystem()) << what;
    ExpectFontDataOf(*font, c.file, 0, what);
  }
  const std::vector<std::string> missing = standin::MissingFontRequests();
  EXPECT_EQ(missing, (std::vector<std::string>{"DejaVu Sans/Italic", "No Such Family/Regular"}));
}

TEST_F(CoreTextFontTest, FamilyAndStyleChooseTheFaceOfACollection)
{
  const std::string pair = bundle + "/Contents/Resources/VorellePair.ttc";
  const std::string two = bundle + "/Contents/Resources/VorelleTwoFamilies.ttc";
  ASSERT_FALSE(PairCollection().empty() || TwoFamilyCollection().empty());
  fs::copy_file(PairCollection(), pair);
  fs::copy_file(TwoFamilyCollection(), two);
  const struct {
    const char* family;
    ETextStyle style;
    std::string file; // empty: no such face
    int face;
  } cases[] = {
    {"Vorelle Pair", kTextStyleBold, pair, 1},  {"Vorelle Pair", kTextStyleRegular, pair, 0},
    {"Vorelle Pair", kTextStyleItalic, "", -1}, {"Vorelle One", kTextStyleBold, two, 1},
    {"Vorelle Two", kTextStyleRegular, two, 2}, {"Vorelle Two", kTextStyleBold, two, 3},
  };
  for (const auto& c : cases) {
    const std::string what = std::string(c.family) + " " + std::to_string(c.style);
    PlatformFontPtr font = CoreTextHelpers::LoadPlatformFontByName("id", c.family, c.style);
    ASSERT_EQ(bool(font), !c.file.empty()) << what;
    if (font)
      ExpectFontDataOf(*font, c.file, c.face, what);
  }
}

TEST_F(CoreTextFontTest, MemoryFontKeepsItsOwnCopyOfTheBytes)
{
  const std::string file = kDejaVu + "DejaVuSans-Bold.ttf";
  std::vector<uint8_t> bytes = ReadFile(file);
  PlatformFontPtr font = CoreTextHelpers::LoadPlatformFontFromData("Bold", bytes.data(), int(bytes.size()));
  std::fill(bytes.begin(), bytes.end(), 0); // the caller's buffer is its own
  ASSERT_TRUE(font);
  EXPECT_FALSE(font->IsSystem());
  EXPECT_EQ(Attribute(font->GetDescriptor(), kCTFontFamilyNameAttribute), "DejaVu Sans");
  EXPECT_EQ(CTFontDescriptorCopyAttribute(static_cast<CTFontDescriptorRef>(font->GetDescriptor()), kCTFontURLAttribute),
            nullptr)
    << "a font from memory has no file";
  ExpectFontDataOf(*font, file, 0, "memory font");

  const char junk[] = "0123456789abcdef";
  EXPECT_FALSE(CoreTextHelpers::LoadPlatformFontFromData("Junk", junk, sizeof junk));
  EXPECT_FALSE(CoreTextHelpers::LoadPlatformFontFromData("Null", nullptr, 100));
  EXPECT_FALSE(CoreTextHelpers::LoadPlatformFontFromData("Empty", junk, 0));
  EXPECT_FALSE(CoreTextHelpers::LoadPlatformFontFromData("Negative", junk, -4));
}

TEST_F(CoreTextFontTest, EveryCutOfFontBytesIsSafeAndParsesOnlyWhenWhole)
{
  const SynthFont synth = MakeSynthFont(u"Synth", "Synth", "Bold");
  ASSERT_LE(synth.bytes.size(), 512u);
  ASSERT_FALSE(PairCollection().empty());
  const std::vector<std::vector<uint8_t>> fonts = {synth.bytes, ReadFile(kRoboto + "Roboto-Regular.ttf"),
                                                   ReadFile(kDejaVu + "DejaVuSans.ttf"), ReadFile(PairCollection())};
  FontDescriptorCache cache;
  for (size_t which = 0; which < fonts.size(); ++which)
    for (int length = 0; length <= 512 && length <= int(fonts[which].size()); ++length) {
      // A copy of exactly the cut, so that any read past it is seen.
      const std::vector<uint8_t> cut(fonts[which].begin(), fonts[which].begin() + length);
      const uint8_t* bytes = length ? cut.data() : nullptr;
      const bool whole = which == 0 && length == int(synth.bytes.size());
      for (int face = 0; face < 3; ++face)
        EXPECT_EQ(IFontInfo(bytes, length, face).IsComplete(), whole && face == 0)
          << "font " << which << " cut at " << length << " face " << face;
      EXPECT_EQ(IFontInfo::FindFace(bytes, length, "", "Bold"), whole ? 0 : -1);
      EXPECT_EQ(IFontData(bytes, length, 0).GetSize(), length);

      PlatformFontPtr font = CoreTextHelpers::LoadPlatformFontFromData("cut", cut.data(), length);
      if (!font)
        continue;
      EXPECT_EQ(font->GetFontData()->GetSize(), length);
      std::lock_guard<std::recursive_mutex> lock(cache.mMutex);
      CoreTextHelpers::CachePlatformFont(("cut" + std::to_string(which) + "-" + std::to_string(length)).c_str(), *font,
                                         cache);
    }
  cache.Empty();
}
