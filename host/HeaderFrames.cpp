#include "HeaderFrames.h"

#include <cstdint>
#include <cstring>
#include <fstream>

namespace host {

namespace {

// RIFF numbers are little-endian, FORM (AIFF) numbers big-endian.
uint32_t Word(const unsigned char* p, int bytes, bool little)
{
  uint32_t v = 0;
  for (int i = 0; i < bytes; ++i)
    v |= uint32_t(p[little ? i : bytes - 1 - i]) << (8 * i);
  return v;
}

constexpr uint32_t kUnknownSize = 0xFFFFFFFFu;
constexpr int kMaxChunks = 4096;

} // namespace

long long HeaderFrames(const std::string& path)
{
  std::ifstream in(path == "-" ? "/dev/stdin" : path, std::ios::binary);
  unsigned char head[12];
  if (!in.read(reinterpret_cast<char*>(head), sizeof head))
    return -1;
  const bool riff = std::memcmp(head, "RIFF", 4) == 0 && std::memcmp(head + 8, "WAVE", 4) == 0;
  const bool form =
    std::memcmp(head, "FORM", 4) == 0 && (std::memcmp(head + 8, "AIFF", 4) == 0 || std::memcmp(head + 8, "AIFC", 4) == 0);
  if (!riff && !form)
    return -1;
  uint32_t blockAlign = 0;
  bool linear = false;
  for (int chunk = 0; chunk < kMaxChunks; ++chunk) {
    unsigned char h[8];
    if (!in.read(reinterpret_cast<char*>(h), sizeof h))
      return -1;
    const uint32_t size = Word(h + 4, 4, riff);
    unsigned char body[40] = {};
    const uint32_t want = size < sizeof body ? size : uint32_t(sizeof body);
    if (riff && std::memcmp(h, "fmt ", 4) == 0) {
      if (!in.read(reinterpret_cast<char*>(body), want))
        return -1;
      uint32_t tag = Word(body, 2, true);
      if (tag == 0xFFFE && want >= 26) // extensible: the sub-format's first two bytes
        tag = Word(body + 24, 2, true);
      linear = tag == 1 || tag == 3;
      blockAlign = Word(body + 12, 2, true);
      in.seekg(std::streamoff(size - want + (size & 1)), std::ios::cur);
      continue;
    }
    if (riff && std::memcmp(h, "data", 4) == 0) {
      if (!linear || blockAlign == 0 || size == 0 || size == kUnknownSize)
        return -1;
      return size / blockAlign;
    }
    if (form && std::memcmp(h, "COMM", 4) == 0) {
      if (want < 6 || !in.read(reinterpret_cast<char*>(body), want))
        return -1;
      return Word(body + 2, 4, false);
    }
    in.seekg(std::streamoff(size) + (size & 1), std::ios::cur);
  }
  return -1;
}

} // namespace host
