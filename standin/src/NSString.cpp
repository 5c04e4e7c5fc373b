#include "CFInternal.h"
#include "FoundationInternal.h"

#include <Foundation/NSString.h>

#include <cstring>
#include <map>
#include <mutex>
#include <string_view>

namespace {

CFStringEncoding ToCF(NSStringEncoding e)
{
  switch (e) {
  case NSASCIIStringEncoding: return kCFStringEncodingASCII;
  case NSUTF8StringEncoding: return kCFStringEncodingUTF8;
  case NSISOLatin1StringEncoding: return kCFStringEncodingISOLatin1;
  case NSMacOSRomanStringEncoding: return kCFStringEncodingMacRoman;
  default: return kCFStringEncodingInvalidId;
  }
}

const std::string& Text(const NSString* s) { return standin::cf::StringUTF8(CFStringRef(*s)); }

NSString* FromText(const std::string& text) { return standin::ns::MakeString(text); }

// Path helpers on "/"-separated text, as the platform's path methods behave.
std::string TrimSlashes(std::string p)
{
  while (p.size() > 1 && p.back() == '/')
    p.pop_back();
  return p;
}

std::string LastComponent(const std::string& path)
{
  const std::string p = TrimSlashes(path);
  if (p == "/")
    return p;
  const size_t slash = p.find_last_of('/');
  return slash == std::string::npos ? p : p.substr(slash + 1);
}

size_t ExtensionDot(const std::string& path)
{
  const std::string last = LastComponent(path);
  const size_t dot = last.find_last_of('.');
  if (dot == std::string::npos || dot == 0 || dot + 1 == last.size())
    return std::string::npos;
  return TrimSlashes(path).size() - (last.size() - dot);
}

} // namespace

namespace standin::ns {
NSString* MakeString(const std::string& utf8)
{
  NSString* s = NSString::alloc()->initWithUTF8String(utf8.c_str());
  return s ? static_cast<NSString*>(s->autorelease()) : nullptr;
}
} // namespace standin::ns

NSString* NSString::init() { return initWithUTF8String(""); }

NSString* NSString::initWithUTF8String(const char* text) { return initWithCString(text, NSUTF8StringEncoding); }

NSString* NSString::initWithCString(const char* text, NSStringEncoding encoding)
{
  mString = text ? CFStringCreateWithCString(nullptr, text, ToCF(encoding)) : nullptr;
  if (!mString) {
    release();
    return nullptr;
  }
  return this;
}

void NSString::dealloc()
{
  if (mString)
    CFRelease(mString);
  NSObject::dealloc();
}

NSString* NSString::string() { return FromText(""); }

NSString* NSString::stringWithUTF8String(const char* text) { return text ? FromText(text) : nullptr; }

NSString* NSString::stringWithCString(const char* text, NSStringEncoding encoding)
{
  NSString* s = alloc()->initWithCString(text, encoding);
  return s ? static_cast<NSString*>(s->autorelease()) : nullptr;
}

NSString* NSString::stringWithCFString(CFStringRef string)
{
  return string ? FromText(standin::cf::StringUTF8(string)) : nullptr;
}

const char* NSString::UTF8String() const { return Text(this).c_str(); }

BOOL NSString::getCString(char* buffer, NSUInteger maxLength, NSStringEncoding encoding) const
{
  return CFStringGetCString(mString, buffer, CFIndex(maxLength), ToCF(encoding));
}

NSUInteger NSString::length() const { return NSUInteger(CFStringGetLength(mString)); }

BOOL NSString::isEqualToString(NSString* other) const
{
  return other && CFStringCompare(mString, other->mString, 0) == kCFCompareEqualTo;
}

BOOL NSString::isEqual(NSObject* other)
{
  auto* s = dynamic_cast<NSString*>(other);
  return s && isEqualToString(s);
}

NSUInteger NSString::hash() { return CFHash(mString); }

BOOL NSString::hasPrefix(NSString* prefix) const { return prefix && CFStringHasPrefix(mString, prefix->mString); }
BOOL NSString::hasSuffix(NSString* suffix) const { return suffix && CFStringHasSuffix(mString, suffix->mString); }

NSRange NSString::rangeOfString(NSString* other) const
{
  // Searches UTF-16 units so the range matches length().
  const CFIndex n = CFStringGetLength(mString);
  const CFIndex m = other ? CFStringGetLength(other->mString) : 0;
  if (m == 0 || m > n)
    return {NSNotFound, 0};
  std::u16string hay(size_t(n), u'\0'), needle(size_t(m), u'\0');
  CFStringGetCharacters(mString, CFRangeMake(0, n), reinterpret_cast<UniChar*>(hay.data()));
  CFStringGetCharacters(other->mString, CFRangeMake(0, m), reinterpret_cast<UniChar*>(needle.data()));
  const size_t at = hay.find(needle);
  if (at == std::u16string::npos)
    return {NSNotFound, 0};
  return {at, NSUInteger(m)};
}

NSString* NSString::stringByAppendingString(NSString* other) const
{
  return FromText(Text(this) + (other ? Text(other) : std::string()));
}

NSString* NSString::stringByAppendingPathComponent(NSString* component) const
{
  std::string base = TrimSlashes(Text(this));
  std::string c = component ? Text(component) : std::string();
  while (!c.empty() && c.front() == '/')
    c.erase(0, 1);
  if (c.empty())
    return FromText(base);
  if (base.empty())
    return FromText(TrimSlashes(c));
  return FromText(TrimSlashes((base == "/" ? base : base + "/") + c));
}

NSString* NSString::stringByDeletingLastPathComponent() const
{
  const std::string p = TrimSlashes(Text(this));
  if (p == "/")
    return FromText(p);
  const size_t slash = p.find_last_of('/');
  if (slash == std::string::npos)
    return FromText("");
  return FromText(slash == 0 ? "/" : p.substr(0, slash));
}

NSString* NSString::lastPathComponent() const { return FromText(LastComponent(Text(this))); }

NSString* NSString::pathExtension() const
{
  const size_t dot = ExtensionDot(Text(this));
  return FromText(dot == std::string::npos ? "" : TrimSlashes(Text(this)).substr(dot + 1));
}

NSString* NSString::stringByDeletingPathExtension() const
{
  const size_t dot = ExtensionDot(Text(this));
  const std::string p = TrimSlashes(Text(this));
  return FromText(dot == std::string::npos ? p : p.substr(0, dot));
}

NSString* NSString::stringByAppendingPathExtension(NSString* extension) const
{
  return FromText(TrimSlashes(Text(this)) + "." + (extension ? Text(extension) : std::string()));
}

NSString* NSString::stringByExpandingTildeInPath() const
{
  const std::string& p = Text(this);
  if (p == "~" || p.compare(0, 2, "~/") == 0)
    return FromText(standin::ns::UserHomePath() + p.substr(1));
  return FromText(p);
}

NSString* NSStringMakeConstant(const char* text)
{
  static std::mutex mutex;
  static auto* table = new std::map<std::string, NSString*, std::less<>>();
  std::lock_guard<std::mutex> lock(mutex);
  auto it = table->find(std::string_view(text));
  if (it != table->end())
    return it->second;
  NSString* s = NSString::alloc()->initWithUTF8String(text);
  NSObjectMakeConstant(s);
  standin::cf::MakeConstant(CFStringRef(*s));
  table->emplace(text, s);
  return s;
}

NSString* NSString::initWithCharacters(const unichar* characters, NSUInteger length)
{
  mString = CFStringCreateWithCharacters(nullptr, characters, CFIndex(length));
  if (!mString) {
    release();
    return nullptr;
  }
  return this;
}

NSString* NSString::stringWithString(NSString* string)
{
  return string ? FromText(standin::cf::StringUTF8(string->mString)) : nullptr;
}

NSString* NSString::stringWithCharacters(const unichar* characters, NSUInteger length)
{
  NSString* s = NSString::alloc()->initWithCharacters(characters, length);
  return s ? static_cast<NSString*>(s->autorelease()) : nullptr;
}

unichar NSString::characterAtIndex(NSUInteger index) const
{
  return CFStringGetCharacterAtIndex(mString, CFIndex(index));
}

int NSString::intValue() const { return CFStringGetIntValue(mString); }
double NSString::doubleValue() const { return CFStringGetDoubleValue(mString); }
