#include "SettingsFile.h"

#include <cerrno>
#include <climits>
#include <cstdio>
#include <cstdlib>
#include <cstring>

namespace {

constexpr int kLineBufferSize = 2048;

// The integer after "<key>=" at the start of line, when there is one that an
// int holds. Read as "%d" would (leading blanks, a sign, decimal digits), but
// the key is compared byte for byte and a number out of range is no number.
bool ValueOfLine(const char* line, const char* key, size_t keyLength, int& value)
{
  if (std::strncmp(line, key, keyLength) != 0 || line[keyLength] != '=')
    return false;
  const char* text = line + keyLength + 1;
  char* end = nullptr;
  errno = 0;
  const long long v = std::strtoll(text, &end, 10);
  if (end == text || errno == ERANGE || v < INT_MIN || v > INT_MAX)
    return false;
  value = static_cast<int>(v);
  return true;
}

} // namespace

int ReadSettingsInt(const char* path, const char* key, int defaultValue)
{
  if (!path || !key || !*key)
    return defaultValue;
  std::FILE* file = std::fopen(path, "rb");
  if (!file)
    return defaultValue;

  const size_t keyLength = std::strlen(key);
  int result = defaultValue;
  char line[kLineBufferSize];
  while (std::fgets(line, kLineBufferSize, file)) {
    int value = 0;
    if (ValueOfLine(line, key, keyLength, value))
      result = value;
  }
  std::fclose(file);
  return result;
}
