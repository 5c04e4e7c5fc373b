#include <CoreText/CoreText.h>
#include <standin/Testing.h>

#include <gtest/gtest.h>

#include <cmath>

#include "CoreTextHelpers.h"
#include "FontDescriptorCache.h"
#include "FontTestKit.h"

using namespace plugin::igraphics;
using namespace fonttest;

namespace {

PlatformFontPtr MemoryFont(const std::string& path)
{
  const std::vector<uint8_t> bytes = ReadFile(path);
  return CoreTextHelpers::LoadPlatformFontFromData("id", bytes.data(), int(bytes.size()));
}

class FontDescriptorCacheTest : public testing::Test {
protected:
  void SetUp() override { baseline = standin::LiveCFObjectCount(); }
  void TearDown() override
  {
    cache.Empty();
    EXPECT_EQ(standin::LiveCFObjectCount(), baseline) << "descriptors left behind";
  }

  FontDescriptorCache cache;
  long baseline = 0;
};

} // namespace

TEST_F(FontDescriptorCacheTest, EmRatioIsEmSizeOverTheLineHeightOfTheTables)
{
  const std::string tall = EditedRoboto("Tall", 2048, 1900, -500);
  const std::string flat = EditedRoboto("Flat", 1000, 300, 300);
  const std::string upside = EditedRoboto("Upside", 1000, -300, 300);
  ASSERT_FALSE(tall.empty() || flat.empty() || upside.empty());
  const Tables roboto = ReadWithFontTools(kRoboto + "Roboto-Regular.ttf");
  const Tables dejavu = ReadWithFontTools(kDejaVu + "DejaVuSans.ttf");
  const struct {
    const char* id;
    std::string path;
    double ratio;
  } cases[] = {
    {"Roboto", kRoboto + "Roboto-Regular.ttf", double(roboto.unitsPerEm) / (roboto.ascent - roboto.descent)},
    {"DejaVu", kDejaVu + "DejaVuSans.ttf", double(dejavu.unitsPerEm) / (dejavu.ascent - dejavu.descent)},
    {"Tall", tall, 2048.0 / 2400.0},
    {"Flat", flat, 1.0}, // ascender equals descender: no height to divide by
    {"Upside", upside, 1.0},
  };
  for (const auto& c : cases) {
    PlatformFontPtr font = MemoryFont(c.path);
    ASSERT_TRUE(font) << c.id;
    CoreTextHelpers::CachePlatformFont(c.id, *font, cache);
    const CoreTextFontDescriptor* entry = CoreTextHelpers::GetCTFontDescriptor(c.id, cache);
    ASSERT_TRUE(entry) << c.id;
    EXPECT_EQ(entry->mEMRatio, c.ratio) << c.id;
    EXPECT_TRUE(std::isfinite(entry->mEMRatio)) << c.id;
  }
  EXPECT_EQ(cache.Size(), 5);
}

TEST_F(FontDescriptorCacheTest, FirstFontWithADescriptorCachedUnderAnIdStays)
{
  PlatformFontPtr first = MemoryFont(kRoboto + "Roboto-Regular.ttf");
  PlatformFontPtr second = MemoryFont(kDejaVu + "DejaVuSans.ttf");
  ASSERT_TRUE(first && second);
  CoreTextHelpers::CachePlatformFont("Sans", *first, cache);
  const CoreTextFontDescriptor* entry = CoreTextHelpers::GetCTFontDescriptor("Sans", cache);
  ASSERT_TRUE(entry);
  const double ratio = entry->mEMRatio;
  CoreTextHelpers::CachePlatformFont("Sans", *second, cache);
  EXPECT_EQ(cache.Size(), 1);
  EXPECT_EQ(CoreTextHelpers::GetCTFontDescriptor("Sans", cache), entry);
  EXPECT_EQ(entry->mDescriptor, first->GetDescriptor());
  EXPECT_EQ(entry->mEMRatio, ratio);
  EXPECT_EQ(CoreTextHelpers::GetCTFontDescriptor("Sans-1.0x", cache), nullptr);
  EXPECT_EQ(CoreTextHelpers::GetCTFontDescriptor("Other", cache), nullptr);
  EXPECT_EQ(CoreTextHelpers::GetCTFontDescriptor(nullptr, cache), nullptr);
  // A font without a descriptor is not cached.
  CoreTextHelpers::CachePlatformFont("Plain", PlatformFont(), cache);
  EXPECT_EQ(CoreTextHelpers::GetCTFontDescriptor("Plain", cache), nullptr);

  // The entry keeps the descriptor after the font is gone.
  first.reset();
  EXPECT_EQ(CFGetRetainCount(entry->mDescriptor), 1);
  EXPECT_EQ(CFGetTypeID(entry->mDescriptor), CTFontDescriptorGetTypeID());
}

TEST_F(FontDescriptorCacheTest, ProcessCacheEmptiesWhenItsLastUserGoes)
{
  FontDescriptorCache& shared = GetFontDescriptorCache();
  PlatformFontPtr font = MemoryFont(kRoboto + "Roboto-Regular.ttf");
  ASSERT_TRUE(font);
  AddFontDescriptorCacheUser();
  AddFontDescriptorCacheUser();
  CoreTextHelpers::CachePlatformFont("Roboto-Regular", *font, shared);
  RemoveFontDescriptorCacheUser();
  EXPECT_TRUE(CoreTextHelpers::GetCTFontDescriptor("Roboto-Regular", shared));
  RemoveFontDescriptorCacheUser();
  EXPECT_FALSE(CoreTextHelpers::GetCTFontDescriptor("Roboto-Regular", shared));
  EXPECT_EQ(shared.mUsers, 0);
  RemoveFontDescriptorCacheUser(); // one too many leaves the count at 0
  EXPECT_EQ(shared.mUsers, 0);
}
