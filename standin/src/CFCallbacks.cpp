#include "CFCallbacks.h"

#include "CFInternal.h"

#include <cstdio>

namespace standin::cf {
namespace {

const void* RetainType(CFAllocatorRef, const void* v) { return CFRetain(v); }
void ReleaseType(CFAllocatorRef, const void* v) { CFRelease(v); }
CFStringRef DescribeType(const void* v) { return CFCopyDescription(v); }
Boolean EqualType(const void* a, const void* b) { return CFEqual(a, b); }
CFHashCode HashType(const void* v) { return CFHash(v); }
const void* CopyString(CFAllocatorRef, const void* v)
{
  return CFStringCreateCopy(nullptr, static_cast<CFStringRef>(v));
}

} // namespace

std::string ValueCallbacks::Describe(const void* v) const
{
  if (copyDescription) {
    CFStringRef d = copyDescription(v);
    if (d) {
      std::string text = StringUTF8(d);
      CFRelease(d);
      return text;
    }
  }
  char text[32];
  std::snprintf(text, sizeof text, "%p", v);
  return text;
}

namespace {

// The three callback records share their first five fields; keys add a hash.
template <class Record> ValueCallbacks From(const Record* cb)
{
  ValueCallbacks v;
  if (cb) {
    v.retain = cb->retain;
    v.release = cb->release;
    v.copyDescription = cb->copyDescription;
    v.equal = cb->equal;
    if constexpr (requires { cb->hash; })
      v.hash = cb->hash;
  }
  return v;
}

} // namespace

ValueCallbacks FromArrayCallbacks(const CFArrayCallBacks* cb) { return From(cb); }
ValueCallbacks FromKeyCallbacks(const CFDictionaryKeyCallBacks* cb) { return From(cb); }
ValueCallbacks FromValueCallbacks(const CFDictionaryValueCallBacks* cb) { return From(cb); }

} // namespace standin::cf

using namespace standin::cf;

const CFArrayCallBacks kCFTypeArrayCallBacks = {0, RetainType, ReleaseType, DescribeType, EqualType};
const CFDictionaryKeyCallBacks kCFTypeDictionaryKeyCallBacks = {0,         RetainType, ReleaseType, DescribeType,
                                                                EqualType, HashType};
const CFDictionaryKeyCallBacks kCFCopyStringDictionaryKeyCallBacks = {0,         CopyString, ReleaseType, DescribeType,
                                                                      EqualType, HashType};
const CFDictionaryValueCallBacks kCFTypeDictionaryValueCallBacks = {0, RetainType, ReleaseType, DescribeType,
                                                                    EqualType};
