#pragma once
// UTF-8 checks for text that comes from outside before an XML parser sees
// it: the parser steps over a whole sequence after its lead byte, so a text
// ending in a lone lead byte would make it read past the end. Well-formed
// means shortest form, no surrogates, nothing above U+10FFFF, no sequence cut
// short. Pure functions; any thread.
#include <cstddef>
#include <string>

namespace plugin {

bool IsWellFormedUtf8(const char* text, size_t length);

// text unchanged when it is well-formed UTF-8; otherwise every byte taken as
// the Latin-1 character of that code (the legacy 8-bit reading), so that the
// result is always well-formed and converting it again changes nothing.
std::string AsUtf8(const char* text, size_t length);

} // namespace plugin
