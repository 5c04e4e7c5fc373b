// The record behind every component instance handle, for both doors: an
// AudioComponent plug-in interface or a Component Manager entry point.
#pragma once

#include <AudioUnit/AudioUnit.h>

#include <cstring>

struct ComponentInstanceRecord {
  static constexpr UInt32 kAlive = 0x696E7374; // 'inst'
  UInt32 magic = kAlive;
  AudioComponentPlugInInterface* plugin = nullptr;
  ComponentRoutineProcPtr entry = nullptr;
  Handle storage = nullptr;
  AudioComponent component = nullptr;
};

namespace standin::au {

// The record of a live handle, or null.
inline ComponentInstanceRecord* Record(ComponentInstance ci)
{
  return ci && ci->magic == ComponentInstanceRecord::kAlive ? ci : nullptr;
}

// The platform calls every entry through its own pointer type, whatever
// the entry declares its storage to be (often void*): clang's check of the
// called function's type would stop on that.
#if defined(__clang__)
#define STANDIN_ANY_ENTRY_TYPE __attribute__((no_sanitize("function")))
#else
#define STANDIN_ANY_ENTRY_TYPE
#endif

// Sends a selector to a Component Manager entry in the 64-bit layout: the
// instance in the first long slot, then the arguments in call order.
// Allocates nothing.
template <class... Args>
STANDIN_ANY_ENTRY_TYPE ComponentResult CallEntry(ComponentInstanceRecord* r, SInt16 selector, Args... args)
{
  static_assert(sizeof(long) == 8 && sizeof(void*) == 8, "the stand-in models 64-bit processes");
  constexpr size_t n = sizeof...(Args);
  struct {
    UInt8 flags;
    UInt8 paramSize;
    SInt16 what;
    UInt32 padding;
    long params[n + 1];
  } block{};
  block.what = selector;
  block.paramSize = UInt8(n * sizeof(long));
  static_assert(((sizeof(Args) <= sizeof(long)) && ...), "every argument fits one slot");
  block.params[0] = reinterpret_cast<long>(r);
  [[maybe_unused]] size_t i = 1;
  ((std::memcpy(&block.params[i], &args, sizeof(args)), ++i), ...);
  return r->entry(reinterpret_cast<ComponentParameters*>(&block), r->storage);
}

// Calls the unit's method for selector with the unit's own first argument.
template <class Proc, class... Args> OSStatus Dispatch(ComponentInstance ci, SInt16 selector, Args... args)
{
  ComponentInstanceRecord* r = Record(ci);
  if (!r)
    return badComponentInstance;
  if (r->plugin) {
    AudioComponentMethod m = r->plugin->Lookup ? r->plugin->Lookup(selector) : nullptr;
    if (!m)
      return badComponentSelector;
    return reinterpret_cast<Proc>(m)(r->plugin, args...);
  }
  if (r->entry)
    return CallEntry(r, selector, args...);
  return badComponentInstance;
}

} // namespace standin::au
