#include "HeaderFrames.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstdint>
#include <cstring>

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

// The n bytes at `at`, all of them, or false.
bool ReadAt(int fd, long long at, void* to, size_t n)
{
  auto* p = static_cast<char*>(to);
  for (size_t done = 0; done < n;) {
    const ssize_t got = pread(fd, p + done, n - done, off_t(at + (long long)done));
    if (got < 0 && errno == EINTR)
      continue;
    if (got <= 0)
      return false;
    done += size_t(got);
  }
  return true;
}

} // namespace

long long HeaderFrames(const std::string& path)
{
  const int fd = open(path == "-" ? "/dev/stdin" : path.c_str(), O_RDONLY | O_CLOEXEC);
  if (fd < 0)
    return -1;
  const long long frames = HeaderFrames(fd, 0);
  close(fd);
  return frames;
}

long long HeaderFrames(int fd, long long start)
{
  struct stat st {};
  if (fstat(fd, &st) != 0 || !S_ISREG(st.st_mode) || start < 0)
    return -1;
  // Every chunk moves the walk on by its 8-byte header at least, so the
  // file's own end bounds it.
  const long long end = (long long)st.st_size;
  unsigned char head[12];
  if (!ReadAt(fd, start, head, sizeof head))
    return -1;
  const bool riff = std::memcmp(head, "RIFF", 4) == 0 && std::memcmp(head + 8, "WAVE", 4) == 0;
  const bool form =
    std::memcmp(head, "FORM", 4) == 0 && (std::memcmp(head + 8, "AIFF", 4) == 0 || std::memcmp(head + 8, "AIFC", 4) == 0);
  if (!riff && !form)
    return -1;
  uint32_t blockAlign = 0;
  bool linear = false;
  for (long long at = start + 12; at + 8 <= end;) {
    unsigned char h[8];
    if (!ReadAt(fd, at, h, sizeof h))
      return -1;
    const uint32_t size = Word(h + 4, 4, riff);
    unsigned char body[40] = {};
    const uint32_t want = size < sizeof body ? size : uint32_t(sizeof body);
    if (riff && std::memcmp(h, "fmt ", 4) == 0) {
      if (!ReadAt(fd, at + 8, body, want))
        return -1;
      uint32_t tag = Word(body, 2, true);
      if (tag == 0xFFFE && want >= 26) // extensible: the sub-format's first two bytes
        tag = Word(body + 24, 2, true);
      linear = tag == 1 || tag == 3;
      blockAlign = Word(body + 12, 2, true);
    } else if (riff && std::memcmp(h, "data", 4) == 0) {
      if (!linear || blockAlign == 0 || size == 0 || size == kUnknownSize)
        return -1;
      return size / blockAlign;
    } else if (form && std::memcmp(h, "COMM", 4) == 0) {
      if (want < 6 || !ReadAt(fd, at + 8, body, want))
        return -1;
      return Word(body + 2, 4, false);
    }
    at += 8 + (long long)size + (size & 1);
  }
  return -1;
}

} // namespace host
