#include "CFInternal.h"
#include "CFRuntime.h"
#include "Unicode.h"

#include <algorithm>
#include <cctype>
#include <cstdlib>
#include <cstring>
#include <map>
#include <mutex>
#include <string_view>

using namespace standin::cf;

struct __CFString final : Object {
  __CFString(std::u16string u, bool isMutable)
  : Object(kStringTypeID), units(std::move(u)), utf8(ToUTF8(units)), mutableString(isMutable)
  {
  }

  void Set(std::u16string u)
  {
    units = std::move(u);
    utf8 = ToUTF8(units);
  }

  bool Equal(const Object& other) const override { return units == static_cast<const __CFString&>(other).units; }
  CFHashCode Hash() const override { return std::hash<std::u16string>()(units); }
  std::string Describe() const override { return utf8; }

  std::u16string units;
  std::string utf8;
  bool mutableString;
};

namespace {

__CFString* Str(CFTypeRef s) { return As<__CFString>(s, kStringTypeID); }

__CFString* MutableStr(CFTypeRef s)
{
  __CFString* str = Str(s);
  if (!str->mutableString)
    Fatal("mutating an immutable CFString");
  return str;
}

CFStringRef NewString(std::u16string units) { return new __CFString(std::move(units), false); }

bool InRange(CFRange r, size_t length)
{
  return r.location >= 0 && r.length >= 0 && size_t(r.location + r.length) <= length;
}

char16_t FoldCase(char16_t c) { return c < 0x80 ? char16_t(std::tolower(c)) : c; }

} // namespace

namespace standin::cf {

CFStringRef MakeString(const std::string& utf8)
{
  std::u16string units;
  if (!DecodeBytes(reinterpret_cast<const UInt8*>(utf8.data()), utf8.size(), kCFStringEncodingUTF8, units)) {
    return nullptr;
  }
  return NewString(std::move(units));
}

const std::string& StringUTF8(CFStringRef string) { return Str(string)->utf8; }

} // namespace standin::cf

CFTypeID CFStringGetTypeID(void) { return kStringTypeID; }

CFStringRef CFStringMakeConstantString(const char* cStr)
{
  static std::mutex mutex;
  static auto* table = new std::map<std::string, CFStringRef, std::less<>>();
  std::lock_guard<std::mutex> lock(mutex);
  auto it = table->find(std::string_view(cStr));
  if (it != table->end())
    return it->second;
  CFStringRef s = MakeString(cStr);
  if (!s)
    Fatal("CFSTR literal is not valid UTF-8");
  Str(s)->MakeConstant();
  table->emplace(cStr, s);
  return s;
}

CFStringRef CFStringCreateWithCString(CFAllocatorRef, const char* cStr, CFStringEncoding encoding)
{
  if (!cStr)
    return nullptr;
  std::u16string units;
  if (!DecodeBytes(reinterpret_cast<const UInt8*>(cStr), std::strlen(cStr), encoding, units))
    return nullptr;
  return NewString(std::move(units));
}

CFStringRef CFStringCreateWithBytes(CFAllocatorRef, const UInt8* bytes, CFIndex numBytes, CFStringEncoding encoding,
                                    Boolean)
{
  if (numBytes < 0 || (!bytes && numBytes > 0))
    return nullptr;
  std::u16string units;
  if (!DecodeBytes(bytes, size_t(numBytes), encoding, units))
    return nullptr;
  return NewString(std::move(units));
}

CFStringRef CFStringCreateWithCharacters(CFAllocatorRef, const UniChar* chars, CFIndex numChars)
{
  if (numChars < 0 || (!chars && numChars > 0))
    return nullptr;
  return NewString(std::u16string(reinterpret_cast<const char16_t*>(chars), size_t(numChars)));
}

CFStringRef CFStringCreateCopy(CFAllocatorRef, CFStringRef theString)
{
  const __CFString* s = Str(theString);
  if (!s->mutableString) {
    CFRetain(theString);
    return theString;
  }
  return NewString(s->units);
}

CFStringRef CFStringCreateWithSubstring(CFAllocatorRef, CFStringRef str, CFRange range)
{
  const __CFString* s = Str(str);
  if (!InRange(range, s->units.size()))
    Fatal("CFStringCreateWithSubstring range out of bounds");
  return NewString(s->units.substr(size_t(range.location), size_t(range.length)));
}

CFStringRef CFStringCreateWithFormatAndArguments(CFAllocatorRef, CFDictionaryRef, CFStringRef format, va_list arguments)
{
  return MakeString(FormatText(StringUTF8(format), arguments));
}

CFStringRef CFStringCreateWithFormat(CFAllocatorRef alloc, CFDictionaryRef formatOptions, CFStringRef format, ...)
{
  va_list args;
  va_start(args, format);
  CFStringRef s = CFStringCreateWithFormatAndArguments(alloc, formatOptions, format, args);
  va_end(args);
  return s;
}

CFMutableStringRef CFStringCreateMutable(CFAllocatorRef, CFIndex) { return new __CFString(u"", true); }

CFMutableStringRef CFStringCreateMutableCopy(CFAllocatorRef, CFIndex, CFStringRef theString)
{
  return new __CFString(Str(theString)->units, true);
}

void CFStringAppend(CFMutableStringRef theString, CFStringRef appendedString)
{
  __CFString* s = MutableStr(theString);
  s->Set(s->units + Str(appendedString)->units);
}

void CFStringAppendCString(CFMutableStringRef theString, const char* cStr, CFStringEncoding encoding)
{
  __CFString* s = MutableStr(theString);
  std::u16string units;
  if (cStr && DecodeBytes(reinterpret_cast<const UInt8*>(cStr), std::strlen(cStr), encoding, units)) {
    s->Set(s->units + units);
  }
}

void CFStringAppendFormat(CFMutableStringRef theString, CFDictionaryRef, CFStringRef format, ...)
{
  __CFString* s = MutableStr(theString);
  va_list args;
  va_start(args, format);
  const std::string text = FormatText(StringUTF8(format), args);
  va_end(args);
  std::u16string units;
  if (DecodeBytes(reinterpret_cast<const UInt8*>(text.data()), text.size(), kCFStringEncodingUTF8, units)) {
    s->Set(s->units + units);
  }
}

CFIndex CFStringGetLength(CFStringRef theString) { return CFIndex(Str(theString)->units.size()); }

UniChar CFStringGetCharacterAtIndex(CFStringRef theString, CFIndex idx)
{
  const __CFString* s = Str(theString);
  if (idx < 0 || size_t(idx) >= s->units.size())
    Fatal("CFStringGetCharacterAtIndex out of bounds");
  return s->units[size_t(idx)];
}

void CFStringGetCharacters(CFStringRef theString, CFRange range, UniChar* buffer)
{
  const __CFString* s = Str(theString);
  if (!InRange(range, s->units.size()))
    Fatal("CFStringGetCharacters range out of bounds");
  std::copy_n(s->units.data() + range.location, range.length, reinterpret_cast<char16_t*>(buffer));
}

Boolean CFStringGetCString(CFStringRef theString, char* buffer, CFIndex bufferSize, CFStringEncoding encoding)
{
  if (!buffer || bufferSize <= 0)
    return false;
  std::string bytes;
  if (!EncodeUnits(Str(theString)->units, encoding, bytes))
    return false;
  if (CFIndex(bytes.size()) + 1 > bufferSize)
    return false;
  std::memcpy(buffer, bytes.c_str(), bytes.size() + 1);
  return true;
}

const char* CFStringGetCStringPtr(CFStringRef theString, CFStringEncoding encoding)
{
  const __CFString* s = Str(theString);
  if (encoding == kCFStringEncodingUTF8)
    return s->utf8.c_str();
  const bool ascii = std::all_of(s->units.begin(), s->units.end(), [](char16_t u) { return u < 0x80; });
  if (ascii && (encoding == kCFStringEncodingASCII || encoding == kCFStringEncodingMacRoman))
    return s->utf8.c_str();
  return nullptr;
}

CFIndex CFStringGetBytes(CFStringRef theString, CFRange range, CFStringEncoding encoding, UInt8 lossByte, Boolean,
                         UInt8* buffer, CFIndex maxBufLen, CFIndex* usedBufLen)
{
  const __CFString* s = Str(theString);
  if (!InRange(range, s->units.size()))
    Fatal("CFStringGetBytes range out of bounds");
  // Converts whole characters while they fit; answers how many were converted.
  CFIndex converted = 0;
  CFIndex used = 0;
  std::string bytes;
  for (CFIndex i = 0; i < range.length; ++i) {
    const std::u16string one(1, s->units[size_t(range.location + i)]);
    if (!EncodeUnits(one, encoding, bytes, lossByte ? int(lossByte) : -1))
      break;
    if (buffer && used + CFIndex(bytes.size()) > maxBufLen)
      break;
    if (buffer)
      std::memcpy(buffer + used, bytes.data(), bytes.size());
    used += CFIndex(bytes.size());
    ++converted;
  }
  if (usedBufLen)
    *usedBufLen = used;
  return converted;
}

CFIndex CFStringGetMaximumSizeForEncoding(CFIndex length, CFStringEncoding encoding)
{
  if (encoding == kCFStringEncodingUTF8)
    return length * 3;
  if (encoding == kCFStringEncodingUTF16 || encoding == kCFStringEncodingUTF16LE ||
      encoding == kCFStringEncodingUTF16BE) {
    return length * 2;
  }
  return length;
}

CFStringEncoding CFStringGetSystemEncoding(void) { return kCFStringEncodingMacRoman; }

CFComparisonResult CFStringCompare(CFStringRef theString1, CFStringRef theString2, CFStringCompareFlags options)
{
  const std::u16string& a = Str(theString1)->units;
  const std::u16string& b = Str(theString2)->units;
  const bool fold = options & kCFCompareCaseInsensitive;
  const size_t n = std::min(a.size(), b.size());
  for (size_t i = 0; i < n; ++i) {
    const char16_t x = fold ? FoldCase(a[i]) : a[i];
    const char16_t y = fold ? FoldCase(b[i]) : b[i];
    if (x != y)
      return x < y ? kCFCompareLessThan : kCFCompareGreaterThan;
  }
  if (a.size() == b.size())
    return kCFCompareEqualTo;
  return a.size() < b.size() ? kCFCompareLessThan : kCFCompareGreaterThan;
}

Boolean CFStringHasPrefix(CFStringRef theString, CFStringRef prefix)
{
  const std::u16string& s = Str(theString)->units;
  const std::u16string& p = Str(prefix)->units;
  return s.size() >= p.size() && s.compare(0, p.size(), p) == 0;
}

Boolean CFStringHasSuffix(CFStringRef theString, CFStringRef suffix)
{
  const std::u16string& s = Str(theString)->units;
  const std::u16string& p = Str(suffix)->units;
  return s.size() >= p.size() && s.compare(s.size() - p.size(), p.size(), p) == 0;
}

SInt32 CFStringGetIntValue(CFStringRef str)
{
  const long v = std::strtol(StringUTF8(str).c_str(), nullptr, 10);
  return SInt32(std::clamp<long>(v, INT32_MIN, INT32_MAX));
}

double CFStringGetDoubleValue(CFStringRef str) { return std::strtod(StringUTF8(str).c_str(), nullptr); }
