#pragma once
// A private folder for one test: made fresh under the system temporary
// folder for each run, named for the user (mkdtemp, mode 0700), and removed
// with everything in it when the object goes, so that nothing is left behind
// and a second user's run never meets the first one's files.

#include <gtest/gtest.h>
#include <unistd.h>

#include <filesystem>
#include <string>
#include <system_error>

namespace testsupport {

class TempFolder {
public:
  // label: part of the name, for finding a folder while a test runs
  // (default: the running test's name).
  explicit TempFolder(std::string label = "")
  {
    if (label.empty()) {
      const auto* info = ::testing::UnitTest::GetInstance()->current_test_info();
      label = info ? info->name() : "test";
    }
    for (char& c : label)
      if (c == '/' || c == ' ')
        c = '_';
    label.resize(std::min<size_t>(label.size(), 60));
    std::error_code ec;
    const std::filesystem::path base = std::filesystem::temp_directory_path(ec);
    std::string pattern = ((ec ? std::filesystem::path("/tmp") : base) /
                           ("vorelle3-u" + std::to_string(::getuid()) + "-" + label + "-XXXXXX"))
                            .string();
    if (::mkdtemp(pattern.data()))
      mPath = pattern;
    else
      ADD_FAILURE() << "cannot make a temporary folder like " << pattern;
  }
  ~TempFolder()
  {
    std::error_code ec;
    if (!mPath.empty())
      std::filesystem::remove_all(mPath, ec);
  }
  TempFolder(const TempFolder&) = delete;
  TempFolder& operator=(const TempFolder&) = delete;

  const std::filesystem::path& Path() const { return mPath; }
  std::string File(const std::string& name) const { return (mPath / name).string(); }

private:
  std::filesystem::path mPath;
};

} // namespace testsupport
