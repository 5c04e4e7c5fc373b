#pragma once
// The factory-preset objects handed to hosts in the factory-presets array:
// an AUPreset with its own reference count, kept alive by the array's
// callbacks and returned to its allocator on the last release.
// Main thread only (the count is a plain integer).

#include <AudioUnit/AudioUnit.h>

namespace plugin {

struct AUFactoryPreset {
  AUPreset mPreset;
  void* mReserved; // always null
  CFAllocatorRef mAllocator;
  int64_t mRefCount;
};

static_assert(sizeof(AUFactoryPreset) == 40, "hosts see the published 40-byte record");

// Count 1, a copy of name (null stays null); null when the allocator fails.
AUFactoryPreset* AUFactoryPresetCreate(CFAllocatorRef allocator, SInt32 number, CFStringRef name);
void AUFactoryPresetRetain(AUFactoryPreset* preset);
// Below a count of 1 nothing happens; at 0 the object is freed.
void AUFactoryPresetRelease(AUFactoryPreset* preset);

// Array callbacks (version 0) holding factory-preset objects.
extern const CFArrayCallBacks kAUFactoryPresetArrayCallBacks;

} // namespace plugin
