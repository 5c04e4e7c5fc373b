// Files written beside their target and renamed into place.
#include <gtest/gtest.h>

#include <sys/stat.h>
#include <unistd.h>

#include <filesystem>
#include <fstream>
#include <string>

#include "ReplaceFile.h"
#include "WriteFailures.h"

namespace {

namespace fs = std::filesystem;
using plugin::ReplaceFile;
using testsupport::FileText;
using testsupport::StrayFiles;

class ReplaceFileTest : public ::testing::Test {
protected:
  void SetUp() override
  {
    mDir =
      fs::temp_directory_path() / ("vorelle3-replace-" + std::to_string(::getuid()) + "-" + std::to_string(::getpid()));
    fs::remove_all(mDir);
    fs::create_directories(mDir);
    mTarget = mDir / "target.bin";
    std::ofstream(mTarget, std::ios::binary) << "the previous good file";
  }
  void TearDown() override { fs::remove_all(mDir); }

  fs::path mDir, mTarget;
};

TEST_F(ReplaceFileTest, ASuccessfulWriteReplacesTheWholeFileAndLeavesNothingBeside)
{
  const std::string text = "new";
  ASSERT_TRUE(ReplaceFile(mTarget.c_str(), text.data(), text.size()));
  EXPECT_EQ(FileText(mTarget), "new");
  EXPECT_TRUE(StrayFiles(mDir, {"target.bin"}).empty());
  // A new file is made too, and an empty content is a file of no bytes.
  ASSERT_TRUE(ReplaceFile((mDir / "empty").c_str(), nullptr, 0));
  EXPECT_EQ(fs::file_size(mDir / "empty"), 0u);
}

TEST_F(ReplaceFileTest, EveryFailureKeepsThePreviousFileAndRemovesTheNewOne)
{
  const std::string big(64 * 1024, 'b');
  const struct {
    const char* what;
    std::function<bool()> write;
  } table[] = {
    {"the writer gives up", [&] { return ReplaceFile(mTarget.c_str(), [](std::FILE*) { return false; }); }},
    {"a size limit cuts the write",
     [&] {
       return testsupport::RunWithFileSizeLimit(
                1000, [&] { return ReplaceFile(mTarget.c_str(), big.data(), big.size()); }) == 1;
     }},
    {"no path", [&] { return ReplaceFile("", big.data(), big.size()); }},
    {"a folder that does not exist", [&] { return ReplaceFile((mDir / "none" / "x").c_str(), "x", 1); }},
  };
  for (const auto& row : table) {
    EXPECT_FALSE(row.write()) << row.what;
    EXPECT_EQ(FileText(mTarget), "the previous good file") << row.what;
    EXPECT_TRUE(StrayFiles(mDir, {"target.bin"}).empty()) << row.what;
  }
}

TEST_F(ReplaceFileTest, AFullFileSystemKeepsThePreviousFile)
{
  testsupport::SmallTmpfs tmpfs(mDir / "small");
  if (!tmpfs.Active())
    GTEST_SKIP() << "no tmpfs can be mounted here";
  const fs::path target = mDir / "small" / "preset.zvp";
  ASSERT_TRUE(ReplaceFile(target.c_str(), "good", 4));
  tmpfs.Fill();
  const std::string big(16 * 1024, 'b');
  EXPECT_FALSE(ReplaceFile(target.c_str(), big.data(), big.size()));
  EXPECT_EQ(FileText(target), "good");
  EXPECT_TRUE(StrayFiles(mDir / "small", {"preset.zvp", "ballast"}).empty());
}

TEST_F(ReplaceFileTest, PermissionsLinksAndDevicesAreRespected)
{
  ::chmod(mTarget.c_str(), 0640);
  ASSERT_TRUE(ReplaceFile(mTarget.c_str(), "x", 1));
  struct stat st {};
  ASSERT_EQ(::stat(mTarget.c_str(), &st), 0);
  EXPECT_EQ(st.st_mode & 0777, 0640u);

  // Through a link the file it names is replaced; the link stays a link.
  const fs::path link = mDir / "link";
  fs::create_symlink(mTarget, link);
  ASSERT_TRUE(ReplaceFile(link.c_str(), "via link", 8));
  EXPECT_TRUE(fs::is_symlink(link));
  EXPECT_EQ(FileText(mTarget), "via link");

  // A device is written where it is, never replaced by a plain file.
  EXPECT_TRUE(ReplaceFile("/dev/null", "x", 1));
  EXPECT_TRUE(fs::is_character_file("/dev/null"));
  EXPECT_FALSE(ReplaceFile("/dev/full", "x", 1));
  EXPECT_TRUE(fs::is_character_file("/dev/full"));
}

} // namespace
