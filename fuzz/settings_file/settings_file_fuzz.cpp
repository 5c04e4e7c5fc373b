// The settings file from outside: the bytes after the first are the file,
// the first picks the key. The value found agrees with a reading written
// here from the file's rules: pieces of at most 2047 characters, the last one
// that starts with the key, "=" and a decimal integer that an int holds.
#include <climits>
#include <cstdint>
#include <cstring>
#include <string>

#include "FuzzFiles.h"
#include "SettingsFile.h"

namespace {

int Reference(const uint8_t* data, size_t size, const char* key, int defaultValue)
{
  const size_t keyLength = std::strlen(key);
  int result = defaultValue;
  size_t pos = 0;
  while (pos < size) {
    size_t end = pos;
    while (end < size && end - pos < 2047 && data[end] != '\n')
      ++end;
    if (end < size && data[end] == '\n' && end - pos < 2047)
      ++end;
    // The piece as C text ends at its first zero byte.
    std::string piece(reinterpret_cast<const char*>(data + pos), end - pos);
    piece = piece.c_str();
    pos = end;
    if (piece.compare(0, keyLength, key) != 0 || piece.size() <= keyLength || piece[keyLength] != '=')
      continue;
    const char* p = piece.c_str() + keyLength + 1;
    while (*p == ' ' || *p == '\t' || *p == '\n' || *p == '\r' || *p == '\f' || *p == '\v')
      ++p;
    const bool negative = *p == '-';
    if (*p == '+' || *p == '-')
      ++p;
    if (*p < '0' || *p > '9')
      continue;
    long long v = 0;
    bool fits = true;
    for (; *p >= '0' && *p <= '9'; ++p) {
      v = v * 10 + (*p - '0');
      if (v > 1LL + INT_MAX) {
        fits = false;
        v = 1LL + INT_MAX;
      }
    }
    if (negative)
      v = -v;
    if (fits && v >= INT_MIN && v <= INT_MAX)
      result = int(v);
  }
  return result;
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
  if (size == 0 || size > (1u << 20))
    return 0;
  static const char* const kKeys[] = {"HasUI", "a", "Key%d", "Ke y"};
  const char* key = kKeys[data[0] & 3];
  const std::string path = fuzzsupport::WriteFile("plugin.ini", data + 1, size - 1);
  const int defaultValue = -12345;
  if (ReadSettingsInt(path.c_str(), key, defaultValue) != Reference(data + 1, size - 1, key, defaultValue))
    fuzzsupport::Fail("the value read differs from the reference reading");
  return 0;
}
