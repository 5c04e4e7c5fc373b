#include "LocaleFreeNumber.h"

#include <algorithm>
#include <charconv>
#include <cmath>
#include <cstring>

namespace plugin {

namespace {

constexpr int kMaxDecimals = 17;
// Longest "%.17f" of a double: 309 integer digits, sign, point, decimals.
constexpr int kFixedBufSize = 400;

int FormatInto(double value, int decimals, char* buf) {
  decimals = std::clamp(decimals, 0, kMaxDecimals);
  const auto res = std::to_chars(buf, buf + kFixedBufSize, value, std::chars_format::fixed, decimals);
  return res.ec == std::errc() ? int(res.ptr - buf) : 0;
}

bool StartsWithNoCase(const char* text, const char* word) {
  for (; *word; ++text, ++word) {
    if (*text == '\0' || (*text | 0x20) != *word) return false;
  }
  return true;
}

} // namespace

std::string FormatFixed(double value, int decimals) {
  char buf[kFixedBufSize];
  return std::string(buf, size_t(FormatInto(value, decimals, buf)));
}

int FormatFixed(double value, int decimals, char* out, int outSize) {
  char buf[kFixedBufSize];
  const int len = FormatInto(value, decimals, buf);
  if (out && outSize > 0) {
    const int n = std::min(len, outSize - 1);
    std::memcpy(out, buf, size_t(n));
    out[n] = '\0';
  }
  return len;
}

bool ParseDouble(const char* text, double& value) {
  if (!text) return false;
  const char* p = text;
  while (*p == ' ' || (*p >= '\t' && *p <= '\r')) ++p;
  bool negative = false;
  if (*p == '+' || *p == '-') negative = (*p++ == '-');
  // from_chars takes neither a sign after ours nor a plus; nan and inf and
  // the hex prefix are handled here as "%lf" does.
  if (*p == '+' || *p == '-') return false;
  double v = 0.0;
  if (StartsWithNoCase(p, "nan")) {
    v = std::nan("");
  } else if (StartsWithNoCase(p, "inf")) {
    v = HUGE_VAL;
  } else {
    const char* end = p + std::strlen(p);
    std::from_chars_result res;
    if (p[0] == '0' && (p[1] | 0x20) == 'x' && p[2] != '\0' && p[2] != '+' && p[2] != '-') {
      res = std::from_chars(p + 2, end, v, std::chars_format::hex);
      if (res.ec == std::errc::invalid_argument) {
        v = 0.0; // "0x" without hex digits reads as the zero before it
        res.ec = std::errc();
      }
    } else {
      res = std::from_chars(p, end, v, std::chars_format::general);
    }
    if (res.ec == std::errc::invalid_argument) return false;
    if (res.ec == std::errc::result_out_of_range) {
      // Overflow saturates and underflow flushes to zero, as strtod: only a
      // negative exponent makes a number too small.
      bool tiny = false;
      for (const char* q = p; q + 1 < res.ptr; ++q) {
        const char c = char(*q | 0x20);
        if ((c == 'e' || c == 'p') && q[1] == '-') tiny = true;
      }
      v = tiny ? 0.0 : HUGE_VAL;
    }
  }
  value = negative ? -v : v;
  return true;
}

} // namespace plugin
