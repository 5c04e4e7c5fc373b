#include <CoreGraphics/CoreGraphics.h>
#include <CoreText/CoreText.h>
#include <standin/Testing.h>

#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <unistd.h>
#include <vector>

namespace {

namespace fs = std::filesystem;

const char* kRobotoBold = "/usr/share/fonts/truetype/roboto/unhinted/RobotoTTF/Roboto-Bold.ttf";

// The file a descriptor of this family and style matches, or "" for none.
std::string Match(const char* family, const char* style)
{
  const void* keys[] = {kCTFontFamilyNameAttribute, kCTFontStyleNameAttribute};
  CFStringRef f = CFStringCreateWithCString(nullptr, family, kCFStringEncodingUTF8);
  CFStringRef s = CFStringCreateWithCString(nullptr, style, kCFStringEncodingUTF8);
  const void* values[] = {f, s};
  CFDictionaryRef attributes =
    CFDictionaryCreate(nullptr, keys, values, 2, &kCFTypeDictionaryKeyCallBacks, &kCFTypeDictionaryValueCallBacks);
  CTFontDescriptorRef d = CTFontDescriptorCreateWithAttributes(attributes);
  auto url = static_cast<CFURLRef>(CTFontDescriptorCopyAttribute(d, kCTFontURLAttribute));
  UInt8 path[1024] = "";
  if (url) {
    CFURLGetFileSystemRepresentation(url, true, path, sizeof path);
    CFRelease(url);
  }
  for (CFTypeRef r : {CFTypeRef(d), CFTypeRef(attributes), CFTypeRef(s), CFTypeRef(f)})
    CFRelease(r);
  return reinterpret_cast<char*>(path);
}

class FontStandinTest : public testing::Test {
protected:
  void SetUp() override
  {
    standin::Reset();
    previousHome = standin::UserHome();
    home = fs::temp_directory_path() / ("standin-fonts-" + std::to_string(::getpid()));
    fs::remove_all(home);
    standin::SetUserHome(home.string());
    baseline = standin::LiveCFObjectCount();
  }
  void TearDown() override
  {
    EXPECT_EQ(standin::LiveCFObjectCount(), baseline);
    standin::SetUserHome(previousHome, false);
    standin::Reset();
    fs::remove_all(home);
  }

  std::string previousHome;
  fs::path home;
  long baseline = 0;
};

} // namespace

TEST_F(FontStandinTest, ProviderHandsItsBlockBackOnceWhenTheLastReferenceGoes)
{
  static int released = 0;
  static const void* releasedData = nullptr;
  released = 0;
  const UInt8 block[] = {1, 2, 3, 4};
  CGDataProviderRef p = CGDataProviderCreateWithData(nullptr, block, sizeof block, [](void*, const void* data, size_t) {
    ++released;
    releasedData = data;
  });
  ASSERT_TRUE(p);
  CFDataRef copy = CGDataProviderCopyData(p);
  ASSERT_TRUE(copy);
  EXPECT_EQ(CFDataGetLength(copy), 4);
  EXPECT_NE(CFDataGetBytePtr(copy), block);
  CFRelease(copy);
  CGDataProviderRetain(p);
  CGDataProviderRelease(p);
  EXPECT_EQ(released, 0);
  CGDataProviderRelease(p);
  EXPECT_EQ(released, 1);
  EXPECT_EQ(releasedData, block);
  CGDataProviderRelease(nullptr);
}

TEST_F(FontStandinTest, DescriptorsMatchUserFontsBeforeSystemFoldersAndReportMisses)
{
  EXPECT_EQ(Match("Roboto", "Bold"), kRobotoBold);
  fs::create_directories(home / "Library/Fonts/sub");
  fs::copy_file(kRobotoBold, home / "Library/Fonts/sub/MyBold.ttf");
  EXPECT_EQ(Match("roboto", "BOLD"), (home / "Library/Fonts/sub/MyBold.ttf").string()) << "names match in any case";

  standin::SetSystemFontFolders({});
  EXPECT_EQ(Match("Roboto", "Italic"), "");
  EXPECT_EQ(standin::MissingFontRequests(), std::vector<std::string>{"Roboto/Italic"});
  standin::Reset();
  EXPECT_TRUE(standin::MissingFontRequests().empty());
  EXPECT_NE(Match("Roboto", "Italic"), "") << "the reset brings the system folders back";
}
