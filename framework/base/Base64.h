#pragma once
// Standard base64 (alphabet A-Z a-z 0-9 + /, "=" padding).

#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>

namespace plugin {

std::string Base64Encode(const uint8_t* data, size_t size);

// Decodes up to the first "=" or character outside the alphabet; white space
// is skipped. Trailing bits that do not make a whole byte are dropped.
std::vector<uint8_t> Base64Decode(const char* text);

} // namespace plugin
