#include "CFCallbacks.h"
#include "CFRuntime.h"

#include <vector>

using namespace standin::cf;

// Entries stay in insertion order; lookups compare hashes, then equal.
struct __CFDictionary final : Object {
  struct Entry {
    const void* key;
    const void* value;
    CFHashCode hash;
  };

  __CFDictionary(ValueCallbacks k, ValueCallbacks v, bool isMutable)
  : Object(kDictionaryTypeID), keyCallbacks(k), valueCallbacks(v), mutableDictionary(isMutable)
  {
  }
  ~__CFDictionary() override
  {
    for (const Entry& e : entries) {
      keyCallbacks.Release(e.key);
      valueCallbacks.Release(e.value);
    }
  }

  Entry* Find(const void* key)
  {
    const CFHashCode h = keyCallbacks.Hash(key);
    for (Entry& e : entries) {
      if (e.hash == h && keyCallbacks.Equal(e.key, key))
        return &e;
    }
    return nullptr;
  }

  void Add(const void* key, const void* value)
  {
    const void* k = keyCallbacks.Retain(key);
    entries.push_back({k, valueCallbacks.Retain(value), keyCallbacks.Hash(k)});
  }

  void Replace(Entry& e, const void* value)
  {
    const void* old = e.value;
    e.value = valueCallbacks.Retain(value);
    valueCallbacks.Release(old);
  }

  bool Equal(const Object& other) const override
  {
    auto& o = const_cast<__CFDictionary&>(static_cast<const __CFDictionary&>(other));
    if (entries.size() != o.entries.size())
      return false;
    for (const Entry& e : entries) {
      const Entry* match = o.Find(e.key);
      if (!match || !valueCallbacks.Equal(e.value, match->value))
        return false;
    }
    return true;
  }
  CFHashCode Hash() const override { return entries.size(); }
  std::string Describe() const override
  {
    std::string text = "{\n";
    for (const Entry& e : entries) {
      text += "    " + keyCallbacks.Describe(e.key) + " = " + valueCallbacks.Describe(e.value) + ";\n";
    }
    return text + "}";
  }

  ValueCallbacks keyCallbacks;
  ValueCallbacks valueCallbacks;
  std::vector<Entry> entries;
  bool mutableDictionary;
};

namespace {

__CFDictionary* Dict(CFTypeRef d) { return As<__CFDictionary>(d, kDictionaryTypeID); }

__CFDictionary* MutableDict(CFTypeRef d)
{
  __CFDictionary* dict = Dict(d);
  if (!dict->mutableDictionary)
    Fatal("mutating an immutable CFDictionary");
  return dict;
}

__CFDictionary* CopyOf(const __CFDictionary* source, bool isMutable)
{
  auto* d = new __CFDictionary(source->keyCallbacks, source->valueCallbacks, isMutable);
  for (const auto& e : source->entries)
    d->Add(e.key, e.value);
  return d;
}

} // namespace

CFTypeID CFDictionaryGetTypeID(void) { return kDictionaryTypeID; }

CFDictionaryRef CFDictionaryCreate(CFAllocatorRef, const void** keys, const void** values, CFIndex numValues,
                                   const CFDictionaryKeyCallBacks* keyCallBacks,
                                   const CFDictionaryValueCallBacks* valueCallBacks)
{
  if (numValues < 0 || ((!keys || !values) && numValues > 0))
    return nullptr;
  auto* d = new __CFDictionary(FromKeyCallbacks(keyCallBacks), FromValueCallbacks(valueCallBacks), false);
  for (CFIndex i = 0; i < numValues; ++i) {
    if (auto* e = d->Find(keys[i])) {
      d->Replace(*e, values[i]);
    } else {
      d->Add(keys[i], values[i]);
    }
  }
  return d;
}

CFDictionaryRef CFDictionaryCreateCopy(CFAllocatorRef, CFDictionaryRef theDict) { return CopyOf(Dict(theDict), false); }

CFMutableDictionaryRef CFDictionaryCreateMutable(CFAllocatorRef, CFIndex capacity,
                                                 const CFDictionaryKeyCallBacks* keyCallBacks,
                                                 const CFDictionaryValueCallBacks* valueCallBacks)
{
  if (capacity < 0)
    return nullptr;
  return new __CFDictionary(FromKeyCallbacks(keyCallBacks), FromValueCallbacks(valueCallBacks), true);
}

CFMutableDictionaryRef CFDictionaryCreateMutableCopy(CFAllocatorRef, CFIndex, CFDictionaryRef theDict)
{
  return CopyOf(Dict(theDict), true);
}

CFIndex CFDictionaryGetCount(CFDictionaryRef theDict) { return CFIndex(Dict(theDict)->entries.size()); }

Boolean CFDictionaryContainsKey(CFDictionaryRef theDict, const void* key)
{
  return Dict(theDict)->Find(key) != nullptr;
}

Boolean CFDictionaryContainsValue(CFDictionaryRef theDict, const void* value)
{
  const __CFDictionary* d = Dict(theDict);
  for (const auto& e : d->entries) {
    if (d->valueCallbacks.Equal(e.value, value))
      return true;
  }
  return false;
}

const void* CFDictionaryGetValue(CFDictionaryRef theDict, const void* key)
{
  const auto* e = Dict(theDict)->Find(key);
  return e ? e->value : nullptr;
}

Boolean CFDictionaryGetValueIfPresent(CFDictionaryRef theDict, const void* key, const void** value)
{
  const auto* e = Dict(theDict)->Find(key);
  if (e && value)
    *value = e->value;
  return e != nullptr;
}

void CFDictionaryGetKeysAndValues(CFDictionaryRef theDict, const void** keys, const void** values)
{
  const __CFDictionary* d = Dict(theDict);
  for (size_t i = 0; i < d->entries.size(); ++i) {
    if (keys)
      keys[i] = d->entries[i].key;
    if (values)
      values[i] = d->entries[i].value;
  }
}

void CFDictionaryApplyFunction(CFDictionaryRef theDict, CFDictionaryApplierFunction applier, void* context)
{
  const __CFDictionary* d = Dict(theDict);
  for (const auto& e : d->entries)
    applier(e.key, e.value, context);
}

void CFDictionaryAddValue(CFMutableDictionaryRef theDict, const void* key, const void* value)
{
  __CFDictionary* d = MutableDict(theDict);
  if (!d->Find(key))
    d->Add(key, value);
}

void CFDictionarySetValue(CFMutableDictionaryRef theDict, const void* key, const void* value)
{
  __CFDictionary* d = MutableDict(theDict);
  if (auto* e = d->Find(key)) {
    d->Replace(*e, value);
  } else {
    d->Add(key, value);
  }
}

void CFDictionaryReplaceValue(CFMutableDictionaryRef theDict, const void* key, const void* value)
{
  __CFDictionary* d = MutableDict(theDict);
  if (auto* e = d->Find(key))
    d->Replace(*e, value);
}

void CFDictionaryRemoveValue(CFMutableDictionaryRef theDict, const void* key)
{
  __CFDictionary* d = MutableDict(theDict);
  for (auto it = d->entries.begin(); it != d->entries.end(); ++it) {
    if (it->hash == d->keyCallbacks.Hash(key) && d->keyCallbacks.Equal(it->key, key)) {
      const auto old = *it;
      d->entries.erase(it);
      d->keyCallbacks.Release(old.key);
      d->valueCallbacks.Release(old.value);
      return;
    }
  }
}

void CFDictionaryRemoveAllValues(CFMutableDictionaryRef theDict)
{
  __CFDictionary* d = MutableDict(theDict);
  std::vector<__CFDictionary::Entry> old;
  old.swap(d->entries);
  for (const auto& e : old) {
    d->keyCallbacks.Release(e.key);
    d->valueCallbacks.Release(e.value);
  }
}
