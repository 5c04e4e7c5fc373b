#include "CFRuntime.h"

#include <vector>

using namespace standin::cf;

CFPropertyListRef CFPropertyListCreateDeepCopy(CFAllocatorRef allocator, CFPropertyListRef propertyList,
                                               CFOptionFlags mutabilityOption)
{
  if (!propertyList)
    return nullptr;
  const CFTypeID type = CFGetTypeID(propertyList);
  const bool mutableContainers = mutabilityOption != kCFPropertyListImmutable;
  if (type == kStringTypeID) {
    auto s = static_cast<CFStringRef>(propertyList);
    return mutabilityOption == kCFPropertyListMutableContainersAndLeaves
             ? static_cast<CFTypeRef>(CFStringCreateMutableCopy(allocator, 0, s))
             : CFStringCreateCopy(allocator, s);
  }
  if (type == kDataTypeID) {
    auto d = static_cast<CFDataRef>(propertyList);
    return mutabilityOption == kCFPropertyListMutableContainersAndLeaves
             ? static_cast<CFTypeRef>(CFDataCreateMutableCopy(allocator, 0, d))
             : CFDataCreateCopy(allocator, d);
  }
  if (type == kNumberTypeID || type == kBooleanTypeID)
    return CFRetain(propertyList); // immutable values
  if (type == kArrayTypeID) {
    auto a = static_cast<CFArrayRef>(propertyList);
    CFMutableArrayRef copy = CFArrayCreateMutable(allocator, 0, &kCFTypeArrayCallBacks);
    for (CFIndex i = 0; i < CFArrayGetCount(a); ++i) {
      CFPropertyListRef item = CFPropertyListCreateDeepCopy(allocator, CFArrayGetValueAtIndex(a, i), mutabilityOption);
      if (!item) {
        CFRelease(copy);
        return nullptr;
      }
      CFArrayAppendValue(copy, item);
      CFRelease(item);
    }
    if (mutableContainers)
      return copy;
    CFArrayRef frozen = CFArrayCreateCopy(allocator, copy);
    CFRelease(copy);
    return frozen;
  }
  if (type == kDictionaryTypeID) {
    auto d = static_cast<CFDictionaryRef>(propertyList);
    const CFIndex n = CFDictionaryGetCount(d);
    std::vector<const void*> keys(static_cast<size_t>(n)), values(static_cast<size_t>(n));
    CFDictionaryGetKeysAndValues(d, keys.data(), values.data());
    CFMutableDictionaryRef copy =
      CFDictionaryCreateMutable(allocator, 0, &kCFTypeDictionaryKeyCallBacks, &kCFTypeDictionaryValueCallBacks);
    for (CFIndex i = 0; i < n; ++i) {
      if (CFGetTypeID(keys[size_t(i)]) != kStringTypeID) {
        CFRelease(copy);
        return nullptr; // property-list keys are strings
      }
      CFPropertyListRef value = CFPropertyListCreateDeepCopy(allocator, values[size_t(i)], mutabilityOption);
      if (!value) {
        CFRelease(copy);
        return nullptr;
      }
      CFDictionarySetValue(copy, keys[size_t(i)], value);
      CFRelease(value);
    }
    if (mutableContainers)
      return copy;
    CFDictionaryRef frozen = CFDictionaryCreateCopy(allocator, copy);
    CFRelease(copy);
    return frozen;
  }
  return nullptr;
}
