#include "Unicode.h"

namespace standin::cf {
namespace {

bool DecodeUTF8(const UInt8* s, size_t n, std::u16string& out)
{
  size_t i = 0;
  while (i < n) {
    const UInt8 c = s[i];
    char32_t cp;
    size_t extra;
    if (c < 0x80) {
      cp = c;
      extra = 0;
    } else if ((c & 0xE0) == 0xC0) {
      cp = c & 0x1F;
      extra = 1;
    } else if ((c & 0xF0) == 0xE0) {
      cp = c & 0x0F;
      extra = 2;
    } else if ((c & 0xF8) == 0xF0) {
      cp = c & 0x07;
      extra = 3;
    } else {
      return false;
    }
    if (extra > 0 && i + extra >= n)
      return false;
    for (size_t k = 1; k <= extra; ++k) {
      const UInt8 t = s[i + k];
      if ((t & 0xC0) != 0x80)
        return false;
      cp = (cp << 6) | (t & 0x3F);
    }
    static constexpr char32_t kMinimum[4] = {0, 0x80, 0x800, 0x10000};
    if (cp < kMinimum[extra] || cp > 0x10FFFF || (cp >= 0xD800 && cp <= 0xDFFF))
      return false;
    if (cp >= 0x10000) {
      cp -= 0x10000;
      out.push_back(char16_t(0xD800 + (cp >> 10)));
      out.push_back(char16_t(0xDC00 + (cp & 0x3FF)));
    } else {
      out.push_back(char16_t(cp));
    }
    i += extra + 1;
  }
  return true;
}

void AppendUTF8(char32_t cp, std::string& out)
{
  if (cp < 0x80) {
    out.push_back(char(cp));
  } else if (cp < 0x800) {
    out.push_back(char(0xC0 | (cp >> 6)));
    out.push_back(char(0x80 | (cp & 0x3F)));
  } else if (cp < 0x10000) {
    out.push_back(char(0xE0 | (cp >> 12)));
    out.push_back(char(0x80 | ((cp >> 6) & 0x3F)));
    out.push_back(char(0x80 | (cp & 0x3F)));
  } else {
    out.push_back(char(0xF0 | (cp >> 18)));
    out.push_back(char(0x80 | ((cp >> 12) & 0x3F)));
    out.push_back(char(0x80 | ((cp >> 6) & 0x3F)));
    out.push_back(char(0x80 | (cp & 0x3F)));
  }
}

bool IsUTF16(CFStringEncoding e)
{
  return e == kCFStringEncodingUTF16 || e == kCFStringEncodingUTF16LE || e == kCFStringEncodingUTF16BE;
}

} // namespace

bool DecodeBytes(const UInt8* bytes, size_t count, CFStringEncoding encoding, std::u16string& out)
{
  out.clear();
  switch (encoding) {
  case kCFStringEncodingUTF8: return DecodeUTF8(bytes, count, out);
  case kCFStringEncodingASCII:
  case kCFStringEncodingMacRoman: // only its ASCII half is supported
    for (size_t i = 0; i < count; ++i) {
      if (bytes[i] > 0x7F)
        return false;
      out.push_back(char16_t(bytes[i]));
    }
    return true;
  case kCFStringEncodingISOLatin1:
  case kCFStringEncodingWindowsLatin1:
    for (size_t i = 0; i < count; ++i)
      out.push_back(char16_t(bytes[i]));
    return true;
  default: break;
  }
  if (IsUTF16(encoding)) {
    if (count % 2)
      return false;
    const bool big = encoding == kCFStringEncodingUTF16BE;
    for (size_t i = 0; i < count; i += 2) {
      out.push_back(big ? char16_t(bytes[i] << 8 | bytes[i + 1]) : char16_t(bytes[i + 1] << 8 | bytes[i]));
    }
    return true;
  }
  return false;
}

std::string ToUTF8(const std::u16string& units)
{
  std::string out;
  out.reserve(units.size());
  for (size_t i = 0; i < units.size(); ++i) {
    char32_t cp = units[i];
    if (cp >= 0xD800 && cp <= 0xDBFF && i + 1 < units.size() && units[i + 1] >= 0xDC00 && units[i + 1] <= 0xDFFF) {
      cp = 0x10000 + ((cp - 0xD800) << 10) + (units[i + 1] - 0xDC00);
      ++i;
    } else if (cp >= 0xD800 && cp <= 0xDFFF) {
      cp = 0xFFFD;
    }
    AppendUTF8(cp, out);
  }
  return out;
}

bool EncodeUnits(const std::u16string& units, CFStringEncoding encoding, std::string& out, int lossByte)
{
  out.clear();
  if (encoding == kCFStringEncodingUTF8) {
    out = ToUTF8(units);
    return true;
  }
  unsigned limit = 0;
  if (encoding == kCFStringEncodingASCII || encoding == kCFStringEncodingMacRoman) {
    limit = 0x7F;
  } else if (encoding == kCFStringEncodingISOLatin1 || encoding == kCFStringEncodingWindowsLatin1) {
    limit = 0xFF;
  } else if (IsUTF16(encoding)) {
    const bool big = encoding == kCFStringEncodingUTF16BE;
    for (char16_t u : units) {
      out.push_back(char(big ? u >> 8 : u & 0xFF));
      out.push_back(char(big ? u & 0xFF : u >> 8));
    }
    return true;
  } else {
    return false;
  }
  for (char16_t u : units) {
    if (u > limit) {
      if (lossByte < 0)
        return false;
      out.push_back(char(lossByte));
    } else {
      out.push_back(char(u));
    }
  }
  return true;
}

} // namespace standin::cf
