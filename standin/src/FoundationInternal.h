// Shared between the Foundation stand-in's files.
#pragma once

#include <string>

class NSString;

namespace standin::ns {

long LiveObjects();
void CountObject(int delta);
// Autoreleased NSString of UTF-8 text (nil when malformed).
NSString* MakeString(const std::string& utf8);
std::string UserHomePath();
std::string SystemRootPath();

} // namespace standin::ns
