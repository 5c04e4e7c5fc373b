#pragma once
// The instance record a factory hands the host: the published plug-in
// interface (Open, Close, Lookup, reserved), the construct and destruct
// functions and two reserved words, then the storage the plug-in object is
// built in by Open. Open records whether construction succeeded, so Close
// destroys only what was built. Host main thread, except the methods Lookup
// hands out, which run on the threads the host calls them on.

#include <AudioUnit/AudioUnit.h>

#include "IPluginAU.h"

namespace plugin {

struct AUPlugInInstance {
  using ConstructFunc = IPluginAU* (*)(void* memory, AudioComponentInstance instance);
  using DestructFunc = void (*)(void* memory);

  AudioComponentPlugInInterface mInterface;
  ConstructFunc mConstruct;
  DestructFunc mDestruct;
  void* mReserved[2];
  IPluginAU* mPlug;      // null until Open built the object
  size_t mStorageOffset; // from the record's start, aligned for the object

  void* Storage() { return reinterpret_cast<char*>(this) + mStorageOffset; }
};

static_assert(offsetof(AUPlugInInstance, mConstruct) == 32 && offsetof(AUPlugInInstance, mPlug) == 64,
              "the header is 64 bytes");

// One record (freed with free) with room for an object of objectSize bytes
// aligned to objectAlign (a power of two); null when memory runs out.
AUPlugInInstance* AUPlugInInstanceCreate(size_t objectSize, size_t objectAlign,
                                         AUPlugInInstance::ConstructFunc construct,
                                         AUPlugInInstance::DestructFunc destruct);

OSStatus AUPlugInOpen(void* self, AudioComponentInstance instance);
OSStatus AUPlugInClose(void* self);
// The method for a selector (1..18, except 8, 12 and 13); null otherwise.
AudioComponentMethod AUPlugInLookup(SInt16 selector);

} // namespace plugin
