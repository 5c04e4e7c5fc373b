#include <gtest/gtest.h>

#include <vector>

#include "Utf8Decoder.h"

namespace {

// Decoding by the rules of the encoding form, written out case by case: a bad
// sequence becomes one U+FFFD for its longest valid prefix.
std::vector<unsigned int> ReferenceDecode(const std::vector<unsigned char>& b)
{
  std::vector<unsigned int> out;
  size_t i = 0;
  while (i < b.size()) {
    const unsigned int c = b[i];
    int need;
    unsigned int lo = 0x80, hi = 0xBF, cp;
    if (c < 0x80) {
      out.push_back(c);
      i++;
      continue;
    } else if (c >= 0xC2 && c <= 0xDF) {
      need = 1;
      cp = c & 0x1F;
    } else if (c == 0xE0) {
      need = 2, lo = 0xA0, cp = 0;
    } else if ((c >= 0xE1 && c <= 0xEC) || c == 0xEE || c == 0xEF) {
      need = 2, cp = c & 0x0F;
    } else if (c == 0xED) {
      need = 2, hi = 0x9F, cp = 0xD;
    } else if (c == 0xF0) {
      need = 3, lo = 0x90, cp = 0;
    } else if (c >= 0xF1 && c <= 0xF3) {
      need = 3, cp = c & 0x07;
    } else if (c == 0xF4) {
      need = 3, hi = 0x8F, cp = 4;
    } else {
      out.push_back(0xFFFD);
      i++;
      continue;
    }
    int k = 1;
    for (; k <= need; k++) {
      if (i + k >= b.size())
        break;
      const unsigned int t = b[i + k];
      if (t < (k == 1 ? lo : 0x80) || t > (k == 1 ? hi : 0xBF))
        break;
      cp = cp << 6 | (t & 0x3F);
    }
    if (k <= need) {
      out.push_back(0xFFFD);
      i += static_cast<size_t>(k);
    } else {
      out.push_back(cp);
      i += static_cast<size_t>(need + 1);
    }
  }
  return out;
}

std::vector<unsigned int> Decode(const std::vector<unsigned char>& b)
{
  // An exact-size heap block: reading past its end is caught by the sanitizer.
  std::vector<char> bytes(b.begin(), b.end());
  bytes.shrink_to_fit();
  const char* p = bytes.data();
  const char* end = p + bytes.size();
  std::vector<unsigned int> out;
  unsigned int cp;
  while (fstNextCodepoint(&p, end, &cp)) {
    EXPECT_LE(p, end);
    out.push_back(cp);
  }
  return out;
}

} // namespace

TEST(Utf8Decoder, NamedSequences)
{
  struct Case {
    std::vector<unsigned char> bytes;
    std::vector<unsigned int> codepoints;
  } cases[] = {
    {{'a', 0xC3, 0xA9}, {'a', 0xE9}},
    {{0xE2, 0x82, 0xAC}, {0x20AC}},
    {{0xF0, 0x9F, 0x98, 0x80}, {0x1F600}},
    {{0xC0, 0x80, 'x'}, {0xFFFD, 0xFFFD, 'x'}},     // overlong
    {{0xED, 0xA0, 0x80}, {0xFFFD, 0xFFFD, 0xFFFD}}, // surrogate
    {{0xF5, 'x'}, {0xFFFD, 'x'}},
    {{0x80, 'x'}, {0xFFFD, 'x'}},                                 // lone continuation
    {{'a', 0xE2, 0x82}, {'a', 0xFFFD}},                           // cut off by the end
    {{0xE2, 'b', 'c'}, {0xFFFD, 'b', 'c'}},                       // the text after a bad byte survives
    {{0xF4, 0x90, 0x80, 0x80}, {0xFFFD, 0xFFFD, 0xFFFD, 0xFFFD}}, // above U+10FFFF
  };
  for (const Case& c : cases)
    EXPECT_EQ(Decode(c.bytes), c.codepoints);
}

TEST(Utf8Decoder, EveryTwoAndThreeByteInputMatchesTheRules)
{
  for (unsigned int a = 0; a < 256; a++)
    for (unsigned int b = 0; b < 256; b++) {
      const std::vector<unsigned char> two{static_cast<unsigned char>(a), static_cast<unsigned char>(b)};
      ASSERT_EQ(Decode(two), ReferenceDecode(two)) << a << " " << b;
    }
  for (unsigned int a = 0xE0; a < 0xF8; a++)
    for (unsigned int b = 0x70; b < 0xC8; b++)
      for (unsigned int c = 0; c < 256; c += 3) {
        const std::vector<unsigned char> three{static_cast<unsigned char>(a), static_cast<unsigned char>(b),
                                               static_cast<unsigned char>(c), 0x9F};
        ASSERT_EQ(Decode(three), ReferenceDecode(three)) << a << " " << b << " " << c;
      }
}
