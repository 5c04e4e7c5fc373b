#include "SettingsFile.h"

#include <gtest/gtest.h>

#include <cstdio>
#include <filesystem>
#include <fstream>
#include <string>
#include <optional>
#include "TempFolder.h"

namespace {

namespace fs = std::filesystem;

class SettingsFileTest : public ::testing::Test {
protected:
  void SetUp() override
  {
    mFolder.emplace();
    mDir = mFolder->Path();
    mPath = (mDir / kSettingsFileName).string();
  }
  void TearDown() override { mFolder.reset(); }

  void Write(const std::string& text)
  {
    std::ofstream out(mPath, std::ios::binary);
    out << text;
  }
  int HasUI() { return ReadSettingsInt(mPath.c_str(), "HasUI", 1); }

  std::optional<testsupport::TempFolder> mFolder;
  fs::path mDir;
  std::string mPath;
};

TEST_F(SettingsFileTest, MissingFileGivesTheDefault)
{
  EXPECT_EQ(HasUI(), 1);
  EXPECT_EQ(ReadSettingsInt(mPath.c_str(), "HasUI", 7), 7);
}

struct Case {
  const char* text;
  int expected;
};

TEST_F(SettingsFileTest, LinesAreScannedAsKeyEqualsInteger)
{
  const Case cases[] = {
    {"HasUI=0\n", 0},
    {"HasUI=0", 0},            // no final newline
    {"HasUI=0\nHasUI=1\n", 1}, // the last matching line wins
    {"HasUI=1\nHasUI=0\n", 0},
    {"HasUI = 0\n", 1}, // blank before "=" does not match
    {"HasUI= 0\n", 0},  // the integer conversion skips leading blanks
    {"HasUI=0x\n", 0},  // the number stops at the first non-digit
    {"HasUI=\n", 1},    // key without a number changes nothing
    {"HasUI=abc\n", 1},
    {"HasUI=0\nHasUI=\n", 0},  // a later line without a number keeps the value
    {"[GUI]\nHasUI=0\n", 0},   // headings are ignored
    {"[Other]\nHasUI=0\n", 0}, // the section is not looked for
    {" HasUI=0\n", 1},         // the line must start with the key
    {"hasui=0\n", 1},          // keys are case sensitive
    {"HasUIx=0\n", 1},
    {"HasUI=-3\r\n", -3},
    {"HasUI=+12\n", 12},
    {"Other=5\nHasUI=2\nMore=9\n", 2},
    {"", 1},
    {"HasUI=2147483647\n", 2147483647}, // the ends of int
    {"HasUI=-2147483648\n", -2147483647 - 1},
    {"HasUI=2147483648\n", 1}, // out of range is no number, never a wrapped one
    {"HasUI=4000000005\n", 1},
    {"HasUI=0\nHasUI=-99999999999999999999\n", 0},
  };
  for (const Case& c : cases) {
    Write(c.text);
    EXPECT_EQ(HasUI(), c.expected) << "file text: \"" << c.text << "\"";
  }
}

TEST_F(SettingsFileTest, ALongLineIsReadInPiecesEachTriedAsALine)
{
  // 2047 characters fill one read; the key then starts the next piece.
  Write(std::string(2047, 'x') + "HasUI=0\n");
  EXPECT_EQ(HasUI(), 0);
  // Cut one character earlier, the key is split across two pieces.
  Write(std::string(2046, 'x') + "HasUI=0\n");
  EXPECT_EQ(HasUI(), 1);
}

TEST_F(SettingsFileTest, OtherKeysAreReadTheSameWay)
{
  Write("[GUI]\nHasUI=0\nScale=150\n");
  EXPECT_EQ(ReadSettingsInt(mPath.c_str(), "Scale", 100), 150);
  EXPECT_EQ(ReadSettingsInt(mPath.c_str(), "Missing", 42), 42);
}

TEST_F(SettingsFileTest, APercentSignInTheKeyIsMatchedLiterally)
{
  Write("A%d=5\n");
  EXPECT_EQ(ReadSettingsInt(mPath.c_str(), "A%d", 9), 5);
  Write("A7=5\n");
  EXPECT_EQ(ReadSettingsInt(mPath.c_str(), "A%d", 9), 9);
  // A blank in the key stands for itself, not for any run of blanks.
  Write("Key=5\nKe  y=6\n");
  EXPECT_EQ(ReadSettingsInt(mPath.c_str(), "Ke y", 9), 9);
  Write("Ke y=7\n");
  EXPECT_EQ(ReadSettingsInt(mPath.c_str(), "Ke y", 9), 7);
}

TEST_F(SettingsFileTest, NullOrEmptyArgumentsGiveTheDefault)
{
  Write("HasUI=0\n");
  EXPECT_EQ(ReadSettingsInt(nullptr, "HasUI", 1), 1);
  EXPECT_EQ(ReadSettingsInt(mPath.c_str(), nullptr, 1), 1);
  EXPECT_EQ(ReadSettingsInt(mPath.c_str(), "", 1), 1);
  EXPECT_EQ(ReadSettingsInt(mDir.string().c_str(), "HasUI", 1), 1); // a folder, not a file
}

} // namespace
