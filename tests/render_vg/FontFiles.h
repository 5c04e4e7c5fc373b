#pragma once
// The system fonts the text tests measure against, and a loader for their bytes.

#include <cstdio>
#include <vector>

inline const char* kRobotoPath = "/usr/share/fonts/truetype/roboto/unhinted/RobotoTTF/Roboto-Regular.ttf";
inline const char* kDejaVuPath = "/usr/share/fonts/truetype/dejavu/DejaVuSans.ttf";

inline std::vector<unsigned char> ReadFontFile(const char* path)
{
  std::vector<unsigned char> bytes;
  if (FILE* f = std::fopen(path, "rb")) {
    unsigned char buf[65536];
    size_t n;
    while ((n = std::fread(buf, 1, sizeof(buf), f)) > 0)
      bytes.insert(bytes.end(), buf, buf + n);
    std::fclose(f);
  }
  return bytes;
}
