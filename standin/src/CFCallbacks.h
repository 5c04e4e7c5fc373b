// The value-handling callbacks shared by arrays and dictionaries: a missing
// callback means raw pointers, compared by identity and never retained.
#pragma once

#include <CoreFoundation/CoreFoundation.h>

#include <string>

namespace standin::cf {

struct ValueCallbacks {
  const void* (*retain)(CFAllocatorRef, const void*) = nullptr;
  void (*release)(CFAllocatorRef, const void*) = nullptr;
  CFStringRef (*copyDescription)(const void*) = nullptr;
  Boolean (*equal)(const void*, const void*) = nullptr;
  CFHashCode (*hash)(const void*) = nullptr;

  const void* Retain(const void* v) const { return retain ? retain(nullptr, v) : v; }
  void Release(const void* v) const
  {
    if (release)
      release(nullptr, v);
  }
  bool Equal(const void* a, const void* b) const { return a == b || (equal && equal(a, b)); }
  CFHashCode Hash(const void* v) const { return hash ? hash(v) : (equal ? 0 : CFHashCode(v)); }
  std::string Describe(const void* v) const;
};

ValueCallbacks FromArrayCallbacks(const CFArrayCallBacks* cb);
ValueCallbacks FromKeyCallbacks(const CFDictionaryKeyCallBacks* cb);
ValueCallbacks FromValueCallbacks(const CFDictionaryValueCallBacks* cb);

} // namespace standin::cf
