#include "LocaleFreeNumber.h"

#include <algorithm>
#include <charconv>
#include <cstdint>
#include <string>
#include <cmath>
#include <cstring>

namespace plugin {

namespace {

constexpr int kMaxDecimals = 17;
// Longest "%.17f" of a double: 309 integer digits, sign, point, decimals.
constexpr int kFixedBufSize = 400;

int FormatInto(double value, int decimals, char* buf)
{
  decimals = std::clamp(decimals, 0, kMaxDecimals);
  const auto res = std::to_chars(buf, buf + kFixedBufSize, value, std::chars_format::fixed, decimals);
  return res.ec == std::errc() ? int(res.ptr - buf) : 0;
}

} // namespace

std::string FormatFixed(double value, int decimals)
{
  char buf[kFixedBufSize];
  return std::string(buf, size_t(FormatInto(value, decimals, buf)));
}

int FormatFixed(double value, int decimals, char* out, int outSize)
{
  char buf[kFixedBufSize];
  const int len = FormatInto(value, decimals, buf);
  if (out && outSize > 0) {
    const int n = std::min(len, outSize - 1);
    std::memcpy(out, buf, size_t(n));
    out[n] = '\0';
  }
  return len;
}

namespace {

bool IsBlank(char c) { return c == ' ' || (c >= '\t' && c <= '\r'); }
bool IsDigit(char c) { return c >= '0' && c <= '9'; }
bool IsHexDigit(char c) { return IsDigit(c) || (char(c | 0x20) >= 'a' && char(c | 0x20) <= 'f'); }
char Lower(char c) { return (c >= 'A' && c <= 'Z') ? char(c | 0x20) : c; }

// Takes `word` (lower case) from *p, ignoring case.
bool Take(const char*& p, const char* word)
{
  const char* q = p;
  for (; *word; ++q, ++word) {
    if (Lower(*q) != *word)
      return false;
  }
  p = q;
  return true;
}

// The characters "%lf" collects for a number at p (after the sign), as the
// C library's scanner does: it stops at the first character that cannot
// continue the number, never steps back, and does not check that the exponent
// has digits. Empty when the scan fails.
std::string CollectDigits(const char* p, bool& hex)
{
  std::string buf;
  bool gotDigit = false, gotDot = false, gotExp = false;
  hex = false;
  if (p[0] == '0') {
    buf += *p++;
    if (Lower(*p) == 'x') {
      buf += *p++;
      hex = true;
    } else {
      gotDigit = true;
    }
  }
  const char expChar = hex ? 'p' : 'e';
  for (;; ++p) {
    const char c = *p;
    if (IsDigit(c) || (hex && !gotExp && IsHexDigit(c))) {
      gotDigit = true;
    } else if (gotExp && Lower(buf.back()) == expChar && (c == '+' || c == '-')) {
    } else if (gotDigit && !gotExp && Lower(c) == expChar) {
      gotExp = gotDot = true;
    } else if (!gotDot && c == '.') {
      gotDot = true;
    } else {
      break;
    }
    buf += c;
  }
  // Nothing, or a bare "0x", is no number.
  if (buf.empty() || (hex && buf.size() == 2))
    buf.clear();
  return buf;
}

// Length of the longest prefix of digits[from..] made of `digit` characters.
template <typename Pred> size_t Span(const std::string& s, size_t from, Pred digit)
{
  size_t i = from;
  while (i < s.size() && digit(s[i]))
    ++i;
  return i - from;
}

// Reads the collected text as strtod reads it: the longest prefix that is
// a number. False when there is none.
bool ConvertCollected(const std::string& text, bool hex, double& value)
{
  const size_t start = hex ? 2 : 0;
  auto isMantDigit = hex ? IsHexDigit : IsDigit;
  size_t i = start;
  const size_t intDigits = Span(text, i, isMantDigit);
  i += intDigits;
  size_t fracDigits = 0;
  if (i < text.size() && text[i] == '.') {
    fracDigits = Span(text, i + 1, isMantDigit);
    i += 1 + fracDigits;
  }
  if (intDigits + fracDigits == 0) {
    if (!hex)
      return false;
    value = 0.0; // "0x." reads as the zero before the x
    return true;
  }
  size_t end = i;
  // The exponent, saturated: only its sign and rough size matter below.
  int64_t exponent = 0;
  if (i < text.size() && Lower(text[i]) == (hex ? 'p' : 'e')) {
    size_t j = i + 1;
    bool negativeExp = false;
    if (j < text.size() && (text[j] == '+' || text[j] == '-'))
      negativeExp = text[j++] == '-';
    const size_t expDigits = Span(text, j, IsDigit);
    if (expDigits > 0) {
      end = j + expDigits;
      for (size_t k = j; k < end; ++k)
        exponent = std::min<int64_t>(exponent * 10 + (text[k] - '0'), 1 << 30);
      if (negativeExp)
        exponent = -exponent;
    }
  }
  const char* first = text.data() + start;
  const char* last = text.data() + end;
  double v = 0.0;
  const auto res = std::from_chars(first, last, v, hex ? std::chars_format::hex : std::chars_format::general);
  if (res.ec == std::errc::result_out_of_range) {
    // Overflow saturates and underflow flushes to zero, as strtod does; which
    // one it is follows from the place of the leading non-zero digit.
    const size_t intZeros = Span(text, start, [](char c) { return c == '0'; });
    int64_t lead = 0;
    if (intZeros < intDigits) {
      lead = int64_t(intDigits - intZeros) - 1;
    } else {
      const size_t fracZeros = fracDigits > 0 ? Span(text, start + intDigits + 1, [](char c) { return c == '0'; }) : 0;
      if (fracZeros == fracDigits) {
        v = 0.0; // no non-zero digit: zero whatever the exponent
        value = v;
        return true;
      }
      lead = -int64_t(fracZeros) - 1;
    }
    const int64_t scale = hex ? 4 * lead + exponent : lead + exponent;
    v = scale < 0 ? 0.0 : HUGE_VAL;
  } else if (res.ec != std::errc() || res.ptr != last) {
    return false;
  }
  value = v;
  return true;
}

} // namespace

bool ParseDouble(const char* text, double& value)
{
  if (!text)
    return false;
  const char* p = text;
  while (IsBlank(*p))
    ++p;
  bool negative = false;
  if (*p == '+' || *p == '-')
    negative = (*p++ == '-');
  double v = 0.0;
  if (Lower(*p) == 'n') {
    if (!Take(p, "nan"))
      return false;
    v = std::nan("");
  } else if (Lower(*p) == 'i') {
    if (!Take(p, "inf"))
      return false;
    // Once an "i" follows, the scanner wants the whole "infinity".
    if (Lower(*p) == 'i' && !Take(p, "inity"))
      return false;
    v = HUGE_VAL;
  } else {
    bool hex = false;
    const std::string collected = CollectDigits(p, hex);
    if (collected.empty() || !ConvertCollected(collected, hex, v))
      return false;
  }
  value = negative ? -v : v;
  return true;
}

} // namespace plugin
