#include "UT_String.h"

#include <algorithm>
#include <climits>
#include <cstdint>
#include <cstdio>
#include <cstring>
#include <functional>

namespace plugin {

namespace {
constexpr char kEmpty[] = "";

int TextLength(const char* text, int maxLen)
{
  if (!text)
    return 0;
  const std::size_t n = maxLen > 0 ? strnlen(text, static_cast<std::size_t>(maxLen)) : std::strlen(text);
  return static_cast<int>(std::min<std::size_t>(n, INT_MAX - 1));
}

bool PointsInto(const char* p, const void* block, int bytes)
{
  const auto* begin = static_cast<const char*>(block);
  return block && std::greater_equal<const char*>()(p, begin) && std::less<const char*>()(p, begin + bytes);
}
} // namespace

const char* UT_String::Get() const
{
  const void* data = mBuf.Get();
  return data ? static_cast<const char*>(data) : kEmpty;
}

int UT_String::GetLength() const { return mBuf.GetSize() ? mBuf.GetSize() - 1 : 0; }

void UT_String::SetAtOffset(int offset, const char* src, int srcLen, int trailKeep)
{
  // The text ends at its first NUL, so one inside the source ends the source.
  if (src && srcLen > 0) {
    if (const void* nul = std::memchr(src, '\0', static_cast<std::size_t>(srcLen)))
      srcLen = static_cast<int>(static_cast<const char*>(nul) - src);
  }
  if (srcLen == 0 && trailKeep == 0 && offset == 0) {
    if (mBuf.Resize(1, false) && mBuf.GetSize() == 1)
      static_cast<char*>(mBuf.Get())[0] = '\0';
    return;
  }
  if (srcLen <= 0 || offset < 0)
    return;

  const int textLen = GetLength();
  offset = std::min(offset, textLen);
  trailKeep = std::clamp(trailKeep, 0, textLen - offset);

  // The tail is moved before the source is copied, so a source inside our
  // own text would be read after it moved: write from a copy instead.
  if (src && PointsInto(src, mBuf.Get(), mBuf.GetAlloc())) {
    UT_HeapBuf copy(kGranularity);
    copy.Resize(srcLen, false);
    if (copy.GetSize() != srcLen)
      return;
    std::memcpy(copy.Get(), src, static_cast<std::size_t>(srcLen));
    SetAtOffset(offset, static_cast<const char*>(copy.Get()), srcLen, trailKeep);
    return;
  }

  const int64_t wanted = int64_t(offset) + srcLen + trailKeep + 1;
  if (wanted > INT_MAX)
    return;
  const int newSize = static_cast<int>(wanted);
  if (newSize > mBuf.GetSize())
    mBuf.Resize(newSize, false);
  if (mBuf.GetSize() < newSize)
    return;

  char* text = static_cast<char*>(mBuf.Get());
  std::memmove(text + offset + srcLen, text + offset, static_cast<std::size_t>(trailKeep));
  if (src)
    std::memmove(text + offset, src, static_cast<std::size_t>(srcLen));
  text[newSize - 1] = '\0';
  if (mBuf.GetSize() > newSize)
    mBuf.Resize(newSize, false);
}

void UT_String::Set(const char* text, int maxLen) { SetAtOffset(0, text, TextLength(text, maxLen), 0); }

void UT_String::Append(const char* text, int maxLen) { SetAtOffset(GetLength(), text, TextLength(text, maxLen), 0); }

void UT_String::Insert(const char* text, int position, int maxLen)
{
  const int len = GetLength();
  const int n = TextLength(text, maxLen);
  position = std::clamp(position, 0, len);
  if (n > 0)
    SetAtOffset(position, text, n, len - position);
}

void UT_String::FormatAt(int offset, int maxLen, const char* fmt, va_list args)
{
  maxLen = std::max(maxLen, 0);
  const int64_t reserve = int64_t(offset) + maxLen + 1;
  if (reserve > INT_MAX)
    return;

  // Format aside first: an argument may point into our own text, which the
  // resize below can move.
  char small[256];
  va_list again;
  va_copy(again, args);
  int n = std::vsnprintf(small, sizeof small, fmt, args);
  if (n < 0) {
    n = 0;
    small[0] = '\0';
  }
  int keep = std::min(n, maxLen);
  const char* text = small;
  UT_HeapBuf large(kGranularity);
  if (keep >= static_cast<int>(sizeof small)) {
    large.Resize(keep + 1, false);
    if (large.GetSize() == keep + 1) {
      std::vsnprintf(static_cast<char*>(large.Get()), static_cast<std::size_t>(keep) + 1, fmt, again);
      text = static_cast<const char*>(large.Get());
    } else {
      text = nullptr;
    }
  }
  va_end(again);
  if (!text)
    return;
  keep = static_cast<int>(strnlen(text, static_cast<std::size_t>(keep))); // a formatted NUL ends the text

  mBuf.Resize(static_cast<int>(reserve), false);
  if (mBuf.GetSize() != reserve)
    return;
  char* dst = static_cast<char*>(mBuf.Get()) + offset;
  std::memcpy(dst, text, static_cast<std::size_t>(keep));
  dst[keep] = '\0';
  mBuf.Resize(offset + keep + 1, false);
}

void UT_String::SetFormatted(int maxLen, const char* fmt, ...)
{
  va_list args;
  va_start(args, fmt);
  FormatAt(0, maxLen, fmt, args);
  va_end(args);
}

void UT_String::AppendFormatted(int maxLen, const char* fmt, ...)
{
  va_list args;
  va_start(args, fmt);
  FormatAt(GetLength(), maxLen, fmt, args);
  va_end(args);
}

} // namespace plugin
