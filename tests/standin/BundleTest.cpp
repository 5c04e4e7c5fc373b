#include <CoreFoundation/CoreFoundation.h>
#include <standin/Testing.h>

#include <gtest/gtest.h>

#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <string>
#include <optional>
#include "TempFolder.h"

namespace {

namespace fs = std::filesystem;

std::string Utf8(CFStringRef s)
{
  char buffer[1024];
  return s && CFStringGetCString(s, buffer, sizeof buffer, kCFStringEncodingUTF8) ? buffer : "<none>";
}

std::string PathOf(CFURLRef url)
{
  UInt8 buffer[1024];
  return url && CFURLGetFileSystemRepresentation(url, true, buffer, sizeof buffer) ? reinterpret_cast<char*>(buffer)
                                                                                   : "<none>";
}

class BundleTest : public testing::Test {
protected:
  void SetUp() override
  {
    standin::Reset();
    folder.emplace();
    root = folder->Path();
    fs::create_directories(root / "Fx.component/Contents/Resources/img");
    fs::create_directories(root / "Fx.component/Contents/MacOS");
    std::ofstream(root / "Fx.component/Contents/Resources/knob.png") << "png";
    std::ofstream(root / "Fx.component/Contents/Resources/img/led.png") << "png";
    baseline = standin::LiveCFObjectCount();
  }
  void TearDown() override
  {
    standin::Reset();
    folder.reset();
  }

  standin::BundleDescription Fx() const
  {
    return {"com.example.fx", (root / "Fx.component").string(), "Fx", {{"CFBundleVersion", "3.0.21"}}};
  }

  std::optional<testsupport::TempFolder> folder;
  fs::path root;
  long baseline = 0;
};

TEST_F(BundleTest, BundleIsFoundByItsIdentifierOnlyAfterRegistration)
{
  EXPECT_EQ(CFBundleGetBundleWithIdentifier(CFSTR("com.example.fx")), nullptr);
  CFBundleRef registered = standin::RegisterBundle(Fx());
  EXPECT_EQ(CFBundleGetBundleWithIdentifier(CFSTR("com.example.fx")), registered);
  EXPECT_EQ(CFBundleGetBundleWithIdentifier(CFSTR("com.example.other")), nullptr);
  EXPECT_EQ(CFGetTypeID(registered), CFBundleGetTypeID());
  EXPECT_EQ(Utf8(CFBundleGetIdentifier(registered)), "com.example.fx");
  EXPECT_EQ(standin::LiveCFObjectCount(), baseline) << "a registered bundle is not a live object";
}

TEST_F(BundleTest, InfoDictionaryAnswersVersionIdentifierAndExecutable)
{
  CFBundleRef b = standin::RegisterBundle(Fx());
  struct Case {
    CFStringRef key;
    const char* value;
  } cases[] = {{kCFBundleVersionKey, "3.0.21"},
               {kCFBundleIdentifierKey, "com.example.fx"},
               {kCFBundleExecutableKey, "Fx"},
               {CFSTR("CFBundleVersion"), "3.0.21"}};
  for (const Case& c : cases) {
    CFTypeRef v = CFBundleGetValueForInfoDictionaryKey(b, c.key);
    ASSERT_NE(v, nullptr) << Utf8(c.key);
    EXPECT_EQ(CFGetTypeID(v), CFStringGetTypeID());
    EXPECT_EQ(Utf8(static_cast<CFStringRef>(v)), c.value);
  }
  EXPECT_EQ(CFBundleGetValueForInfoDictionaryKey(b, CFSTR("NoSuchKey")), nullptr);
  EXPECT_EQ(CFBundleGetVersionNumber(b), 0x03018000u) << "major 3, minor 0, bug-fix 21 capped to one digit";
}

TEST_F(BundleTest, CopiedUrlsNameTheBundleLayoutAndAreOwnedByTheCaller)
{
  CFBundleRef b = standin::RegisterBundle(Fx());
  const std::string base = (root / "Fx.component").string();
  CFURLRef urls[] = {CFBundleCopyBundleURL(b), CFBundleCopyResourcesDirectoryURL(b), CFBundleCopyExecutableURL(b)};
  EXPECT_EQ(PathOf(urls[0]), base);
  EXPECT_EQ(PathOf(urls[1]), base + "/Contents/Resources");
  EXPECT_EQ(PathOf(urls[2]), base + "/Contents/MacOS/Fx");
  EXPECT_EQ(standin::LiveCFObjectCount(), baseline + 3);
  for (CFURLRef u : urls)
    CFRelease(u);
  EXPECT_EQ(standin::LiveCFObjectCount(), baseline);
}

TEST_F(BundleTest, ResourceUrlExistsOnlyForFilesInTheResources)
{
  CFBundleRef b = standin::RegisterBundle(Fx());
  const std::string res = (root / "Fx.component/Contents/Resources").string();
  struct Case {
    CFStringRef name, type, subdir;
    std::string expected;
  } cases[] = {{CFSTR("knob"), CFSTR("png"), nullptr, res + "/knob.png"},
               {CFSTR("knob.png"), nullptr, nullptr, res + "/knob.png"},
               {CFSTR("led"), CFSTR("png"), CFSTR("img"), res + "/img/led.png"},
               {CFSTR("led"), CFSTR("png"), nullptr, "<none>"},
               {CFSTR("knob"), CFSTR("svg"), nullptr, "<none>"}};
  for (const Case& c : cases) {
    CFURLRef u = CFBundleCopyResourceURL(b, c.name, c.type, c.subdir);
    EXPECT_EQ(PathOf(u), c.expected) << Utf8(c.name);
    if (u)
      CFRelease(u);
  }
}

TEST_F(BundleTest, MainBundleIsAbsentUntilTheHostSetsIt)
{
  EXPECT_EQ(CFBundleGetMainBundle(), nullptr);
  standin::BundleDescription host{"com.example.daw", "/Applications/Daw.app", "Daw", {{"CFBundleVersion", "11.2"}}};
  CFBundleRef main = standin::SetMainBundle(host);
  EXPECT_EQ(CFBundleGetMainBundle(), main);
  EXPECT_EQ(Utf8(CFBundleGetIdentifier(main)), "com.example.daw");
  standin::SetMainBundle({});
  EXPECT_EQ(CFBundleGetMainBundle(), nullptr);
}

TEST_F(BundleTest, ReplacedBundleStaysUsableThroughBorrowedReferences)
{
  CFBundleRef first = standin::RegisterBundle(Fx());
  auto second = Fx();
  second.info["CFBundleVersion"] = "4.0.0";
  CFBundleRef replacement = standin::RegisterBundle(second);
  EXPECT_EQ(CFBundleGetBundleWithIdentifier(CFSTR("com.example.fx")), replacement);
  EXPECT_EQ(Utf8(static_cast<CFStringRef>(CFBundleGetValueForInfoDictionaryKey(first, kCFBundleVersionKey))), "3.0.21");
}

TEST_F(BundleTest, BundleFolderIsRegisteredFromItsInfoPlist)
{
  std::ofstream(root / "Fx.component/Contents/Info.plist")
    << "<?xml version=\"1.0\" encoding=\"UTF-8\"?>\n"
       "<!DOCTYPE plist PUBLIC \"-//Apple//DTD PLIST 1.0//EN\" \"x\">\n"
       "<plist version=\"1.0\">\n<dict>\n"
       "  <key>CFBundleIdentifier</key><string>com.example.fx</string>\n"
       "  <key>AudioComponents</key>\n  <array><dict><key>name</key><string>Maker: Fx</string>"
       "<key>version</key><integer>196629</integer></dict></array>\n"
       "  <key>CFBundleExecutable</key>\n  <string>Fx</string>\n"
       "  <key>CFBundleName</key><string>Fx &amp; Co</string>\n"
       "  <key>NSHighResolutionCapable</key><true/>\n"
       "  <key>CFBundleVersion</key><string>3.0.21</string>\n"
       "</dict>\n</plist>\n";
  CFBundleRef b = standin::RegisterBundleAtPath((root / "Fx.component").string());
  ASSERT_NE(b, nullptr);
  EXPECT_EQ(Utf8(CFBundleGetIdentifier(b)), "com.example.fx");
  EXPECT_EQ(Utf8(static_cast<CFStringRef>(CFBundleGetValueForInfoDictionaryKey(b, kCFBundleNameKey))), "Fx & Co");
  EXPECT_EQ(Utf8(static_cast<CFStringRef>(CFBundleGetValueForInfoDictionaryKey(b, kCFBundleVersionKey))), "3.0.21");
  EXPECT_EQ(CFBundleGetValueForInfoDictionaryKey(b, CFSTR("name")), nullptr) << "nested values are not top-level";
  EXPECT_EQ(standin::RegisterBundleAtPath((root / "missing.component").string()), nullptr);
}

} // namespace
