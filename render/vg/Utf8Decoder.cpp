#include "Utf8Decoder.h"

namespace {

// 256 byte classes followed by the transitions (state + class).
// clang-format off
const uint8_t kUtf8Table[] = {
  // 0x00..0x7f
   0,  0,  0,  0,  0,  0,  0,  0,  0,  0,  0,  0,  0,  0,  0,  0,
   0,  0,  0,  0,  0,  0,  0,  0,  0,  0,  0,  0,  0,  0,  0,  0,
   0,  0,  0,  0,  0,  0,  0,  0,  0,  0,  0,  0,  0,  0,  0,  0,
   0,  0,  0,  0,  0,  0,  0,  0,  0,  0,  0,  0,  0,  0,  0,  0,
   0,  0,  0,  0,  0,  0,  0,  0,  0,  0,  0,  0,  0,  0,  0,  0,
   0,  0,  0,  0,  0,  0,  0,  0,  0,  0,  0,  0,  0,  0,  0,  0,
   0,  0,  0,  0,  0,  0,  0,  0,  0,  0,  0,  0,  0,  0,  0,  0,
   0,  0,  0,  0,  0,  0,  0,  0,  0,  0,  0,  0,  0,  0,  0,  0,
  // 0x80..0xbf: continuation bytes in three classes
   1,  1,  1,  1,  1,  1,  1,  1,  1,  1,  1,  1,  1,  1,  1,  1,
   9,  9,  9,  9,  9,  9,  9,  9,  9,  9,  9,  9,  9,  9,  9,  9,
   7,  7,  7,  7,  7,  7,  7,  7,  7,  7,  7,  7,  7,  7,  7,  7,
   7,  7,  7,  7,  7,  7,  7,  7,  7,  7,  7,  7,  7,  7,  7,  7,
  // 0xc0..0xff: lead bytes (c0, c1 and f5..ff never valid)
   8,  8,  2,  2,  2,  2,  2,  2,  2,  2,  2,  2,  2,  2,  2,  2,
   2,  2,  2,  2,  2,  2,  2,  2,  2,  2,  2,  2,  2,  2,  2,  2,
  10,  3,  3,  3,  3,  3,  3,  3,  3,  3,  3,  3,  3,  4,  3,  3,
  11,  6,  6,  6,  5,  8,  8,  8,  8,  8,  8,  8,  8,  8,  8,  8,
  // transitions
   0, 12, 24, 36, 60, 96, 84, 12, 12, 12, 48, 72,
  12, 12, 12, 12, 12, 12, 12, 12, 12, 12, 12, 12,
  12,  0, 12, 12, 12, 12, 12,  0, 12,  0, 12, 12,
  12, 24, 12, 12, 12, 12, 12, 24, 12, 24, 12, 12,
  12, 12, 12, 12, 12, 12, 12, 24, 12, 12, 12, 12,
  12, 24, 12, 12, 12, 12, 12, 12, 12, 24, 12, 12,
  12, 12, 12, 12, 12, 12, 12, 36, 12, 36, 12, 12,
  12, 36, 12, 12, 12, 12, 12, 36, 12, 36, 12, 12,
  12, 36, 12, 12, 12, 12, 12, 12, 12, 12, 12, 12,
};
// clang-format on

} // namespace

unsigned int fst_decutf8(unsigned int* state, unsigned int* codep, unsigned int byte)
{
  const unsigned int type = kUtf8Table[byte & 0xff];
  *codep = (*state != FST_UTF8_ACCEPT) ? (byte & 0x3fu) | (*codep << 6) : (0xffu >> type) & byte;
  *state = kUtf8Table[256 + *state + type];
  return *state;
}

int fstNextCodepoint(const char** str, const char* end, unsigned int* codepoint)
{
  unsigned int state = FST_UTF8_ACCEPT;
  unsigned int cp = 0;
  const char* p = *str;
  while (p < end) {
    const unsigned int before = state;
    fst_decutf8(&state, &cp, static_cast<unsigned char>(*p));
    if (state == FST_UTF8_REJECT) {
      // A lead byte that broke a sequence may begin the next one: keep it.
      if (before == FST_UTF8_ACCEPT)
        ++p;
      *str = p;
      *codepoint = FST_REPLACEMENT_CHARACTER;
      return 1;
    }
    ++p;
    if (state == FST_UTF8_ACCEPT) {
      *str = p;
      *codepoint = cp;
      return 1;
    }
  }
  if (p == *str)
    return 0;
  *str = end;
  *codepoint = FST_REPLACEMENT_CHARACTER;
  return 1;
}
