#include "SettingsFile.h"

#include <cstdio>
#include <string>

namespace {

constexpr int kLineBufferSize = 2048;

// "<key>=%d", with any '%' of the key escaped so the key can never act as a
// conversion of its own.
std::string MakePattern(const char* key)
{
  std::string pattern;
  for (const char* p = key; *p; ++p) {
    pattern += *p;
    if (*p == '%')
      pattern += '%';
  }
  pattern += "=%d";
  return pattern;
}

} // namespace

int ReadSettingsInt(const char* path, const char* key, int defaultValue)
{
  if (!path || !key || !*key)
    return defaultValue;
  std::FILE* file = std::fopen(path, "rb");
  if (!file)
    return defaultValue;

  const std::string pattern = MakePattern(key);
  int result = defaultValue;
  char line[kLineBufferSize];
  while (std::fgets(line, kLineBufferSize, file)) {
    int value = 0;
    if (std::sscanf(line, pattern.c_str(), &value) == 1)
      result = value;
  }
  std::fclose(file);
  return result;
}
