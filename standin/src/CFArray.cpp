#include "CFCallbacks.h"
#include "CFRuntime.h"

#include <vector>

using namespace standin::cf;

struct __CFArray final : Object {
  __CFArray(ValueCallbacks cb, bool isMutable) : Object(kArrayTypeID), callbacks(cb), mutableArray(isMutable) {}
  ~__CFArray() override
  {
    for (const void* v : values)
      callbacks.Release(v);
  }

  bool Equal(const Object& other) const override
  {
    const auto& o = static_cast<const __CFArray&>(other);
    if (values.size() != o.values.size())
      return false;
    for (size_t i = 0; i < values.size(); ++i) {
      if (!callbacks.Equal(values[i], o.values[i]))
        return false;
    }
    return true;
  }
  CFHashCode Hash() const override { return values.size(); }
  std::string Describe() const override
  {
    std::string text = "(\n";
    for (size_t i = 0; i < values.size(); ++i) {
      text += "    " + callbacks.Describe(values[i]) + (i + 1 < values.size() ? ",\n" : "\n");
    }
    return text + ")";
  }

  ValueCallbacks callbacks;
  std::vector<const void*> values;
  bool mutableArray;
};

namespace {

__CFArray* Arr(CFTypeRef a) { return As<__CFArray>(a, kArrayTypeID); }

__CFArray* MutableArr(CFTypeRef a)
{
  __CFArray* array = Arr(a);
  if (!array->mutableArray)
    Fatal("mutating an immutable CFArray");
  return array;
}

void CheckRange(const __CFArray* a, CFRange r)
{
  if (r.location < 0 || r.length < 0 || size_t(r.location + r.length) > a->values.size()) {
    Fatal("CFArray range out of bounds");
  }
}

void CheckIndex(const __CFArray* a, CFIndex idx, bool allowEnd = false)
{
  if (idx < 0 || size_t(idx) > a->values.size() || (!allowEnd && size_t(idx) == a->values.size())) {
    Fatal("CFArray index out of bounds");
  }
}

__CFArray* CopyOf(const __CFArray* source, bool isMutable)
{
  auto* a = new __CFArray(source->callbacks, isMutable);
  a->values.reserve(source->values.size());
  for (const void* v : source->values)
    a->values.push_back(a->callbacks.Retain(v));
  return a;
}

} // namespace

CFTypeID CFArrayGetTypeID(void) { return kArrayTypeID; }

CFArrayRef CFArrayCreate(CFAllocatorRef, const void** values, CFIndex numValues, const CFArrayCallBacks* callBacks)
{
  if (numValues < 0 || (!values && numValues > 0))
    return nullptr;
  auto* a = new __CFArray(FromArrayCallbacks(callBacks), false);
  for (CFIndex i = 0; i < numValues; ++i)
    a->values.push_back(a->callbacks.Retain(values[i]));
  return a;
}

CFArrayRef CFArrayCreateCopy(CFAllocatorRef, CFArrayRef theArray) { return CopyOf(Arr(theArray), false); }

CFMutableArrayRef CFArrayCreateMutable(CFAllocatorRef, CFIndex capacity, const CFArrayCallBacks* callBacks)
{
  if (capacity < 0)
    return nullptr;
  auto* a = new __CFArray(FromArrayCallbacks(callBacks), true);
  a->values.reserve(size_t(capacity));
  return a;
}

CFMutableArrayRef CFArrayCreateMutableCopy(CFAllocatorRef, CFIndex, CFArrayRef theArray)
{
  return CopyOf(Arr(theArray), true);
}

CFIndex CFArrayGetCount(CFArrayRef theArray) { return CFIndex(Arr(theArray)->values.size()); }

const void* CFArrayGetValueAtIndex(CFArrayRef theArray, CFIndex idx)
{
  const __CFArray* a = Arr(theArray);
  CheckIndex(a, idx);
  return a->values[size_t(idx)];
}

void CFArrayGetValues(CFArrayRef theArray, CFRange range, const void** values)
{
  const __CFArray* a = Arr(theArray);
  CheckRange(a, range);
  for (CFIndex i = 0; i < range.length; ++i)
    values[i] = a->values[size_t(range.location + i)];
}

CFIndex CFArrayGetFirstIndexOfValue(CFArrayRef theArray, CFRange range, const void* value)
{
  const __CFArray* a = Arr(theArray);
  CheckRange(a, range);
  for (CFIndex i = range.location; i < range.location + range.length; ++i) {
    if (a->callbacks.Equal(a->values[size_t(i)], value))
      return i;
  }
  return kCFNotFound;
}

Boolean CFArrayContainsValue(CFArrayRef theArray, CFRange range, const void* value)
{
  return CFArrayGetFirstIndexOfValue(theArray, range, value) != kCFNotFound;
}

CFIndex CFArrayGetCountOfValue(CFArrayRef theArray, CFRange range, const void* value)
{
  const __CFArray* a = Arr(theArray);
  CheckRange(a, range);
  CFIndex count = 0;
  for (CFIndex i = range.location; i < range.location + range.length; ++i) {
    if (a->callbacks.Equal(a->values[size_t(i)], value))
      ++count;
  }
  return count;
}

void CFArrayApplyFunction(CFArrayRef theArray, CFRange range, CFArrayApplierFunction applier, void* context)
{
  const __CFArray* a = Arr(theArray);
  CheckRange(a, range);
  for (CFIndex i = range.location; i < range.location + range.length; ++i)
    applier(a->values[size_t(i)], context);
}

void CFArrayAppendValue(CFMutableArrayRef theArray, const void* value)
{
  __CFArray* a = MutableArr(theArray);
  a->values.push_back(a->callbacks.Retain(value));
}

void CFArrayInsertValueAtIndex(CFMutableArrayRef theArray, CFIndex idx, const void* value)
{
  __CFArray* a = MutableArr(theArray);
  CheckIndex(a, idx, true);
  a->values.insert(a->values.begin() + idx, a->callbacks.Retain(value));
}

void CFArraySetValueAtIndex(CFMutableArrayRef theArray, CFIndex idx, const void* value)
{
  __CFArray* a = MutableArr(theArray);
  CheckIndex(a, idx, true);
  const void* retained = a->callbacks.Retain(value);
  if (size_t(idx) == a->values.size()) {
    a->values.push_back(retained);
    return;
  }
  const void* old = a->values[size_t(idx)];
  a->values[size_t(idx)] = retained;
  a->callbacks.Release(old);
}

void CFArrayRemoveValueAtIndex(CFMutableArrayRef theArray, CFIndex idx)
{
  __CFArray* a = MutableArr(theArray);
  CheckIndex(a, idx);
  const void* old = a->values[size_t(idx)];
  a->values.erase(a->values.begin() + idx);
  a->callbacks.Release(old);
}

void CFArrayRemoveAllValues(CFMutableArrayRef theArray)
{
  __CFArray* a = MutableArr(theArray);
  std::vector<const void*> old;
  old.swap(a->values);
  for (const void* v : old)
    a->callbacks.Release(v);
}
