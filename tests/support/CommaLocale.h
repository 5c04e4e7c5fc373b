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
#include "TempFolder.h"

namespace testsupport {

class CommaLocale {
public:
  CommaLocale()
  {
    const std::filesystem::path& mDir = mFolder.Path();
    const std::string target = (mDir / "de_DE.UTF-8").string();
    if (!std::filesystem::exists(target)) {
      const std::string cmd = "localedef -i de_DE -f UTF-8 '" + target + "' >/dev/null 2>&1";
      if (std::system(cmd.c_str()) != 0)
        return;
    }
    ::setenv("LOCPATH", mDir.string().c_str(), 1);
    mActive = std::setlocale(LC_NUMERIC, "de_DE.UTF-8") != nullptr;
    char probe[16];
    std::snprintf(probe, sizeof probe, "%.1f", 1.5);
    mActive = mActive && std::string(probe) == "1,5";
  }
  ~CommaLocale()
  {
    std::setlocale(LC_NUMERIC, "C");
    ::unsetenv("LOCPATH");
  }
  CommaLocale(const CommaLocale&) = delete;
  CommaLocale& operator=(const CommaLocale&) = delete;

  bool Active() const { return mActive; }

private:
  testsupport::TempFolder mFolder{"locale"};
  bool mActive = false;
};

} // namespace testsupport
