// The tests' private folders: one per user and run, gone afterwards.
#include <gtest/gtest.h>

#include <sys/stat.h>
#include <unistd.h>

#include <fstream>

#include "TempFolder.h"

namespace fs = std::filesystem;

TEST(TempFolder, EachRunGetsItsOwnFolderForThisUserAndNothingIsLeftBehind)
{
  fs::path first, second;
  {
    testsupport::TempFolder a, b;
    first = a.Path();
    second = b.Path();
    ASSERT_NE(first, second);
    EXPECT_NE(first.filename().string().find("-u" + std::to_string(::getuid()) + "-"), std::string::npos) << first;
    EXPECT_NE(first.filename().string().find(::testing::UnitTest::GetInstance()->current_test_info()->name()),
              std::string::npos);
    struct stat st {};
    ASSERT_EQ(::stat(first.c_str(), &st), 0);
    EXPECT_EQ(st.st_mode & 0777, 0700u) << "others may not write into it";
    EXPECT_EQ(st.st_uid, ::getuid());
    fs::create_directories(a.Path() / "home/Library");
    std::ofstream(a.File("home/Library/x")) << "x";
  }
  EXPECT_FALSE(fs::exists(first));
  EXPECT_FALSE(fs::exists(second));
}
