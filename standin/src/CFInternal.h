// Helpers the stand-in's own files share; not part of any framework's API.
#pragma once

#include <CoreFoundation/CoreFoundation.h>

#include <cstdarg>
#include <string>
#include <vector>

namespace standin::cf {

// A new string (retain count 1) holding UTF-8 text; invalid UTF-8 yields NULL.
CFStringRef MakeString(const std::string& utf8);
const std::string& StringUTF8(CFStringRef string);
// printf-style text with %@ taking a CF object.
std::string FormatText(const std::string& format, va_list args);

// Takes a CF object out of reference counting for the rest of the process.
void MakeConstant(CFTypeRef object);

CFURLRef MakeFileURL(const std::string& path, bool isDirectory);
const std::string& URLPath(CFURLRef url);

// Contents/Resources of every registered bundle and of the main bundle.
std::vector<std::string> BundleResourceFolders();

} // namespace standin::cf
