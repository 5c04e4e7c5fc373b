#pragma once
// Switches the process's numeric locale to one whose decimal separator is a
// comma, for as long as the guard lives. The locale is compiled into a
// private folder with the system's localedef; Active() is false when that is
// not possible (the test should then skip).
#include <clocale>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <string>
#include <unistd.h>

namespace testsupport {

class CommaLocale {
public:
  CommaLocale() {
    mDir = std::filesystem::temp_directory_path() / ("vorelle3-locale-" + std::to_string(::getpid()));
    std::filesystem::create_directories(mDir);
    const std::string target = (mDir / "de_DE.UTF-8").string();
    if (!std::filesystem::exists(target)) {
      const std::string cmd = "localedef -i de_DE -f UTF-8 '" + target + "' >/dev/null 2>&1";
      if (std::system(cmd.c_str()) != 0) return;
    }
    ::setenv("LOCPATH", mDir.string().c_str(), 1);
    mActive = std::setlocale(LC_NUMERIC, "de_DE.UTF-8") != nullptr;
    char probe[16];
    std::snprintf(probe, sizeof probe, "%.1f", 1.5);
    mActive = mActive && std::string(probe) == "1,5";
  }
  ~CommaLocale() {
    std::setlocale(LC_NUMERIC, "C");
    ::unsetenv("LOCPATH");
    std::error_code ec;
    std::filesystem::remove_all(mDir, ec);
  }
  CommaLocale(const CommaLocale&) = delete;
  CommaLocale& operator=(const CommaLocale&) = delete;

  bool Active() const { return mActive; }

private:
  std::filesystem::path mDir;
  bool mActive = false;
};

} // namespace testsupport
