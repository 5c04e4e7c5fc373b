#pragma once
// Growable NUL-terminated text on a UT_HeapBuf of granularity 128. The
// buffer's size counts the terminator; a never-set string has size 0 and
// reads as "". Every mutator goes through SetAtOffset. The text never holds
// a NUL before its terminator (a source is cut at its first NUL), so the
// length is known without counting and appends stay amortised O(1).
//
// Aliasing: the source of Set, Append, Insert and SetAtOffset, and the
// arguments of the formatted setters, may point into this string's own text.
// Not thread-safe.
#include <cstdarg>

#include "UT_HeapBuf.h"

namespace plugin {

class UT_String {
public:
  static constexpr int kGranularity = 128;

  UT_String() : mBuf(kGranularity) {}
  explicit UT_String(const char* text) : mBuf(kGranularity) { Set(text); }
  UT_String(const UT_String& other) = default;
  UT_String(UT_String&& other) noexcept = default;
  UT_String& operator=(const UT_String& other) = default;
  UT_String& operator=(UT_String&& other) noexcept = default;

  // Writes srcLen bytes of src at offset, keeping the trailKeep bytes that
  // stood at offset after them. All three 0 makes the string "" (allocation
  // kept). Offset and trailKeep are clamped to the current text. Nothing
  // happens when the string cannot grow.
  void SetAtOffset(int offset, const char* src, int srcLen, int trailKeep);

  // maxLen > 0 limits how many characters of text are taken; null is "".
  void Set(const char* text, int maxLen = 0);
  void Append(const char* text, int maxLen = 0);
  // position is clamped to 0..length; an empty text changes nothing.
  void Insert(const char* text, int position, int maxLen = 0);

  // printf-style, at most maxLen characters. Nothing is written when the
  // string cannot grow to maxLen + 1 bytes.
  void SetFormatted(int maxLen, const char* fmt, ...) __attribute__((format(printf, 3, 4)));
  void AppendFormatted(int maxLen, const char* fmt, ...) __attribute__((format(printf, 3, 4)));

  const char* Get() const;
  int GetLength() const;
  int GetAlloc() const { return mBuf.GetAlloc(); }

private:
  void FormatAt(int offset, int maxLen, const char* fmt, va_list args);

  UT_HeapBuf mBuf;
};

} // namespace plugin
