#include <Foundation/Foundation.h>
#include <standin/Testing.h>

#include <gtest/gtest.h>

#include <unistd.h>

#include <filesystem>
#include <string>
#include <optional>
#include "TempFolder.h"

namespace {

namespace fs = std::filesystem;

class UserFoldersTest : public testing::Test {
protected:
  void SetUp() override
  {
    standin::Reset();
    savedHome = standin::UserHome();
    folder.emplace();
    home = folder->Path() / "home";
    standin::SetUserHome(home.string());
    standin::SetSystemRoot("/sysroot");
    baseline = standin::LiveNSObjectCount();
  }
  void TearDown() override
  {
    standin::DrainAutoreleasePools();
    EXPECT_EQ(standin::LiveNSObjectCount(), baseline) << "autoreleased results leaked";
    standin::SetUserHome(savedHome, false);
    standin::SetSystemRoot("");
    folder.reset();
  }

  static std::vector<std::string> Search(NSSearchPathDirectory d, NSSearchPathDomainMask m, BOOL expand = YES)
  {
    std::vector<std::string> out;
    NSArray* a = NSSearchPathForDirectoriesInDomains(d, m, expand);
    for (NSUInteger i = 0; i < a->count(); ++i) {
      out.push_back(static_cast<NSString*>(a->objectAtIndex(i))->UTF8String());
    }
    return out;
  }

  std::string savedHome;
  std::optional<testsupport::TempFolder> folder;
  fs::path home;
  long baseline = 0;
};

TEST_F(UserFoldersTest, UserDomainFoldersLieUnderTheHomeTheHostSet)
{
  const std::string h = home.string();
  struct Case {
    NSSearchPathDirectory directory;
    std::string expected;
  } cases[] = {{NSApplicationSupportDirectory, h + "/Library/Application Support"},
               {NSMusicDirectory, h + "/Music"},
               {NSDesktopDirectory, h + "/Desktop"},
               {NSLibraryDirectory, h + "/Library"},
               {NSDocumentDirectory, h + "/Documents"},
               {NSCachesDirectory, h + "/Library/Caches"}};
  for (const Case& c : cases) {
    EXPECT_EQ(Search(c.directory, NSUserDomainMask), std::vector<std::string>{c.expected}) << c.directory;
  }
}

TEST_F(UserFoldersTest, StandardFoldersExistInANewHome)
{
  for (const char* sub : {"Library/Application Support", "Music", "Desktop", "Documents"}) {
    EXPECT_TRUE(fs::is_directory(home / sub)) << sub;
  }
}

TEST_F(UserFoldersTest, LocalAndSystemDomainsLieUnderTheSystemRoot)
{
  EXPECT_EQ(Search(NSLibraryDirectory, NSLocalDomainMask), std::vector<std::string>{"/sysroot/Library"});
  EXPECT_EQ(Search(NSApplicationSupportDirectory, NSSystemDomainMask),
            std::vector<std::string>{"/sysroot/System/Library/Application Support"});
  EXPECT_TRUE(Search(NSMusicDirectory, NSLocalDomainMask).empty()) << "music exists only per user";
  EXPECT_EQ(Search(NSUserDirectory, NSLocalDomainMask), std::vector<std::string>{"/sysroot/Users"});
  EXPECT_TRUE(Search(NSUserDirectory, NSUserDomainMask).empty()) << "the users' folder is the machine's";
  const auto all = Search(NSLibraryDirectory, NSSearchPathDomainMask(NSUserDomainMask | NSLocalDomainMask));
  ASSERT_EQ(all.size(), 2u);
  EXPECT_EQ(all[0], home.string() + "/Library") << "user domain first";
}

TEST_F(UserFoldersTest, UnexpandedUserPathsStartWithTilde)
{
  EXPECT_EQ(Search(NSMusicDirectory, NSUserDomainMask, NO), std::vector<std::string>{"~/Music"});
  NSString* expanded = NSSTR("~/Music")->stringByExpandingTildeInPath();
  EXPECT_EQ(std::string(expanded->UTF8String()), home.string() + "/Music");
}

TEST_F(UserFoldersTest, HomeDirectoryOfASandboxedHostIsItsContainer)
{
  const fs::path container = home / "Library/Containers/com.example.daw/Data";
  standin::SetUserHome(container.string());
  const std::string h = NSHomeDirectory()->UTF8String();
  EXPECT_NE(h.find("Library/Containers/"), std::string::npos);
  EXPECT_EQ(Search(NSApplicationSupportDirectory, NSUserDomainMask),
            std::vector<std::string>{container.string() + "/Library/Application Support"});
  EXPECT_TRUE(fs::is_directory(container / "Library/Application Support"));
}

TEST_F(UserFoldersTest, BundlePathsComeFromTheSameRegistryAsCFBundle)
{
  standin::RegisterBundle({"com.example.fx", "/plugins/Fx.component", "Fx", {{"CFBundleVersion", "1.2.3"}}});
  NSBundle* b = NSBundle::bundleWithIdentifier(NSSTR("com.example.fx"));
  ASSERT_NE(b, nullptr);
  EXPECT_EQ(b, NSBundle::bundleWithIdentifier(NSSTR("com.example.fx"))) << "one object per bundle";
  EXPECT_STREQ(b->bundlePath()->UTF8String(), "/plugins/Fx.component");
  EXPECT_STREQ(b->resourcePath()->UTF8String(), "/plugins/Fx.component/Contents/Resources");
  EXPECT_STREQ(b->executablePath()->UTF8String(), "/plugins/Fx.component/Contents/MacOS/Fx");
  EXPECT_STREQ(b->bundleIdentifier()->UTF8String(), "com.example.fx");
  auto* version = static_cast<NSString*>(b->objectForInfoDictionaryKey(NSSTR("CFBundleVersion")));
  ASSERT_NE(version, nullptr);
  EXPECT_STREQ(version->UTF8String(), "1.2.3");
  EXPECT_EQ(b->pathForResource(NSSTR("missing"), NSSTR("png")), nullptr);
  EXPECT_EQ(NSBundle::bundleWithIdentifier(NSSTR("com.example.none")), nullptr);
  EXPECT_EQ(NSBundle::mainBundle(), nullptr);
}

TEST_F(UserFoldersTest, PathMethodsSplitAndJoinLikeThePlatform)
{
  struct Case {
    NSString* result;
    const char* expected;
  } cases[] = {
    {NSSTR("/a/b")->stringByAppendingPathComponent(NSSTR("c")), "/a/b/c"},
    {NSSTR("/a/b/")->stringByAppendingPathComponent(NSSTR("/c")), "/a/b/c"},
    {NSSTR("/")->stringByAppendingPathComponent(NSSTR("c")), "/c"},
    {NSSTR("/a/b.png")->lastPathComponent(), "b.png"},
    {NSSTR("/a/b.png")->pathExtension(), "png"},
    {NSSTR("/a/b.tar.gz")->stringByDeletingPathExtension(), "/a/b.tar"},
    {NSSTR("/a/.hidden")->pathExtension(), ""},
    {NSSTR("/a/b")->stringByDeletingLastPathComponent(), "/a"},
    {NSSTR("/a")->stringByDeletingLastPathComponent(), "/"},
    {NSSTR("b")->stringByDeletingLastPathComponent(), ""},
    {NSSTR("/a/b")->stringByAppendingPathExtension(NSSTR("zvp")), "/a/b.zvp"},
  };
  for (const Case& c : cases)
    EXPECT_STREQ(c.result->UTF8String(), c.expected);
}

TEST_F(UserFoldersTest, AutoreleasePoolReleasesWhatWasAutoreleasedInsideIt)
{
  NSAutoreleasePool* pool = NSAutoreleasePool::alloc()->init();
  NSString* kept = NSString::stringWithUTF8String("kept");
  kept->retain();
  NSString::stringWithUTF8String("dropped");
  EXPECT_EQ(standin::LiveNSObjectCount(), baseline + 3);
  pool->drain();
  EXPECT_EQ(standin::LiveNSObjectCount(), baseline + 1);
  EXPECT_EQ(kept->retainCount(), 1u);
  kept->release();
  EXPECT_EQ(standin::LiveNSObjectCount(), baseline);
}

} // namespace
