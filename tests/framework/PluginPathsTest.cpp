#include "IMPlugPaths.h"
#include "PluginPaths.h"

#include <standin/Testing.h>

#include <gtest/gtest.h>

#include <sys/stat.h>

#include <filesystem>
#include <fstream>
#include <string>
#include <optional>
#include "TempFolder.h"

namespace {

using namespace plugin;
namespace fs = std::filesystem;

class PluginPathsTest : public ::testing::Test {
protected:
  void SetUp() override
  {
    standin::Reset();
    mFolder.emplace();
    mRoot = mFolder->Path();
    mHome = (mRoot / "home").string();
    standin::SetUserHome(mHome, true);
    standin::SetSystemRoot((mRoot / "sys").string());
  }
  void TearDown() override
  {
    standin::Reset();
    mFolder.reset();
  }

  // A bundle folder with an executable and the given resource files.
  void MakeBundle(const char* id, const char* folder, std::initializer_list<const char*> resources)
  {
    const fs::path path = mRoot / folder;
    fs::create_directories(path / "Contents/Resources");
    fs::create_directories(path / "Contents/MacOS");
    std::ofstream(path / "Contents/MacOS/Exec") << "x";
    for (const char* r : resources) {
      fs::create_directories((path / "Contents/Resources" / r).parent_path());
      std::ofstream(path / "Contents/Resources" / r) << "data";
    }
    standin::BundleDescription d;
    d.identifier = id;
    d.path = path.string();
    d.executableName = "Exec";
    standin::RegisterBundle(d);
  }

  static std::string Str(void (*fn)(UT_String&))
  {
    UT_String s;
    fn(s);
    return s.Get();
  }

  std::optional<testsupport::TempFolder> mFolder;
  fs::path mRoot;
  std::string mHome;
};

TEST_F(PluginPathsTest, StandardFoldersLieUnderTheHomeFolder)
{
  EXPECT_EQ(Str(UserHomePath), mHome);
  EXPECT_EQ(Str(MusicPath), mHome + "/Music");
  EXPECT_EQ(Str(DesktopPath), mHome + "/Desktop");
  UT_String s;
  AppSupportPath(s);
  EXPECT_EQ(std::string(s.Get()), mHome + "/Library/Application Support");
  AppSupportPath(s, true);
  EXPECT_EQ(std::string(s.Get()), (mRoot / "sys").string() + "/System/Library/Application Support");
  AppSupportSubPath(s, "Vorelle3");
  EXPECT_EQ(std::string(s.Get()), mHome + "/Library/Application Support/Vorelle3");
  PresetsPath(s, "Zelvant", "Vorelle3");
  EXPECT_EQ(std::string(s.Get()), mHome + "/Library/Audio/Presets/Zelvant/Vorelle3/");
  PresetsPath(s, "Zelvant", "Vorelle3", true);
  EXPECT_EQ(std::string(s.Get()), (mRoot / "sys").string() + "/Library/Audio/Presets/Zelvant/Vorelle3/");
  EXPECT_FALSE(IsSandboxed());
}

TEST_F(PluginPathsTest, DataFoldersAreMadeOnceAndKept)
{
  IMPlugPaths paths;
  paths.InitPaths();
  const std::string data = mHome + "/Library/Application Support/Vorelle3";
  EXPECT_EQ(std::string(paths.GetDataPath()), data);
  EXPECT_EQ(std::string(paths.GetAUDataPath()), data + "/AU");
  ASSERT_TRUE(fs::is_directory(data + "/AU"));
  std::ofstream(data + "/AU/default.zvp") << "keep";
  struct stat before;
  ASSERT_EQ(::stat((data + "/AU").c_str(), &before), 0);

  IMPlugPaths again;
  again.InitPaths();
  again.InitPaths();
  EXPECT_EQ(std::string(again.GetDataPath()), data);
  EXPECT_EQ(std::string(again.GetAUDataPath()), data + "/AU");
  struct stat after;
  ASSERT_EQ(::stat((data + "/AU").c_str(), &after), 0);
  EXPECT_EQ(after.st_ino, before.st_ino);
  EXPECT_TRUE(fs::exists(data + "/AU/default.zvp"));
}

TEST_F(PluginPathsTest, FoldersAreMadeWithoutTouchingTheUmask)
{
  const mode_t old = ::umask(022);
  IMPlugPaths paths;
  paths.InitPaths();
  const mode_t during = ::umask(old);
  EXPECT_EQ(during, 022) << "the process umask was changed";
  struct stat st;
  ASSERT_EQ(::stat(paths.GetAUDataPath(), &st), 0);
  EXPECT_EQ(st.st_mode & 0777, 0755u) << "the folder must not be world-writable";
}

TEST_F(PluginPathsTest, WithoutApplicationSupportNothingIsMadeAndNothingFails)
{
  standin::SetUserHome((mRoot / "bare").string(), false);
  IMPlugPaths paths;
  paths.InitPaths();
  EXPECT_FALSE(fs::exists(paths.GetDataPath()));
  EXPECT_FALSE(fs::exists(paths.GetAUDataPath()));
}

TEST_F(PluginPathsTest, InsideAContainerTheFoldersAreTheContainers)
{
  const std::string container = (mRoot / "Library/Containers/com.host/Data").string();
  standin::SetUserHome(container, true);
  EXPECT_TRUE(IsSandboxed());
  IMPlugPaths paths;
  paths.InitPaths();
  EXPECT_EQ(std::string(paths.GetDataPath()), container + "/Library/Application Support/Vorelle3");
  EXPECT_TRUE(fs::is_directory(paths.GetAUDataPath()));
}

TEST_F(PluginPathsTest, BundlePathsComeFromTheRegisteredBundle)
{
  MakeBundle("com.Zelvant.audiounit.Vorelle3", "Vorelle3.component", {});
  const std::string bundle = (mRoot / "Vorelle3.component").string();
  UT_String s;
  BundleResourcePath(s, "com.Zelvant.audiounit.Vorelle3");
  EXPECT_EQ(std::string(s.Get()), bundle + "/Contents/Resources");
  BundleExecutablePath(s, "com.Zelvant.audiounit.Vorelle3");
  EXPECT_EQ(std::string(s.Get()), bundle + "/Contents/MacOS/Exec");
  BundleParentPath(s, "com.Zelvant.audiounit.Vorelle3");
  EXPECT_EQ(std::string(s.Get()), mRoot.string() + "/");

  s.Set("old");
  BundleExecutablePath(s, "com.nobody");
  EXPECT_STREQ(s.Get(), "old");
  BundleResourcePath(s, "com.nobody");
  EXPECT_STREQ(s.Get(), "");
  BundleParentPath(s, nullptr);
  EXPECT_STREQ(s.Get(), "");
}

TEST_F(PluginPathsTest, ResourcesAreFoundInBundleSharedFolderOrAsAPath)
{
  MakeBundle("com.test.res", "Res.bundle", {"knob.png", "img.PNG", "font.ttf"});
  const std::string res = (mRoot / "Res.bundle/Contents/Resources").string();
  fs::create_directories(mHome + "/Music/Zelvant/Resources");
  std::ofstream(mHome + "/Music/Zelvant/Resources/shared.png") << "s";
  const std::string plain = (mRoot / "plain.dat").string();
  std::ofstream(plain) << "p";

  struct Case {
    const char* name;
    const char* type;
    bool found;
    std::string where;
  };
  const Case cases[] = {
    {"knob.png", "png", true, res + "/knob.png"},
    {"knob.PNG", "png", true, res + "/knob.png"},     // extension case does not matter
    {"gfx/knob.png", "png", true, res + "/knob.png"}, // the last component is looked up
    {"font.ttf", "ttf", true, res + "/font.ttf"},
    {"shared.png", "png", true, mHome + "/Music/Zelvant/Resources/shared.png"},
    {"knob.png", "ttf", false, "unchanged"}, // type differs: not searched
    {"png", "png", false, ""},               // no "." : the whole name is the extension
    {"jpg", "png", false, "unchanged"},
    {"missing.png", "png", false, ""},
    {plain.c_str(), "png", true, plain}, // an existing path is found as it is
    {"", "png", false, "unchanged"},
  };
  for (const Case& c : cases) {
    UT_String result;
    result.Set("unchanged");
    EXPECT_EQ(LocateResource(c.name, c.type, result, "com.test.res", "Zelvant"), c.found) << c.name;
    EXPECT_EQ(std::string(result.Get()), c.where) << c.name;
  }
  UT_String result;
  EXPECT_FALSE(LocateResource(nullptr, "png", result, "com.test.res", "Zelvant"));
  EXPECT_TRUE(LocateResource("shared.png", "png", result, "com.nobody", "Zelvant"));
}

} // namespace
