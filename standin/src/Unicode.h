// Conversions between the encodings strings are created from and read in.
#pragma once

#include <CoreFoundation/CFString.h>

#include <string>

namespace standin::cf {

// False for malformed input or an encoding this stand-in does not know.
bool DecodeBytes(const UInt8* bytes, size_t count, CFStringEncoding encoding, std::u16string& out);
// False when a character cannot be represented (no loss byte given).
bool EncodeUnits(const std::u16string& units, CFStringEncoding encoding, std::string& out, int lossByte = -1);
std::string ToUTF8(const std::u16string& units);

} // namespace standin::cf
