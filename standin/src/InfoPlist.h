// Reads the string values of a bundle's Info.plist (XML form).
#pragma once

#include <map>
#include <string>

namespace standin::cf {

// The top-level dictionary's <key>/<string> pairs; nested values and other
// types are skipped. False when the file cannot be read or is not a plist.
bool ReadInfoPlistStrings(const std::string& path, std::map<std::string, std::string>& out);
// The same for text already in memory.
bool ParseInfoPlistStrings(const std::string& text, std::map<std::string, std::string>& out);

} // namespace standin::cf
