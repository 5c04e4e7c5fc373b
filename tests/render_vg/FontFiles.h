#pragma once
// The system fonts the text tests measure against, and fonts made from them.

#include <cstdlib>
#include <filesystem>
#include <string>
#include <unistd.h>

#include "SystemFonts.h"

// A font made by fontTools from `source` (a command of font_tables.py such as
// "cff") under the build tree; "" when it failed. Each process writes its own
// file and renames it into place.
inline std::string MakeFontWithFontTools(const std::string& command, const char* source, const std::string& name)
{
  const std::string dir = std::string(VG_TEST_OUTPUT_DIR) + "/fonts";
  std::filesystem::create_directories(dir);
  const std::string path = dir + "/" + name, part = path + "." + std::to_string(::getpid());
  const std::string line =
    std::string(FONTTOOLS_PYTHON) + " '" + FONT_TABLES_SCRIPT + "' " + command + " '" + part + "' '" + source + "'";
  if (std::system(line.c_str()) != 0)
    return "";
  std::filesystem::rename(part, path);
  return path;
}
