#include "AUPlugInInstance.h"

#include <CoreServices/CoreServices.h>

#include <algorithm>
#include <cstdlib>
#include <new>

namespace plugin {

AUPlugInInstance* AUPlugInInstanceCreate(size_t objectSize, size_t objectAlign,
                                         AUPlugInInstance::ConstructFunc construct,
                                         AUPlugInInstance::DestructFunc destruct)
{
  const size_t align = std::max<size_t>(objectAlign, alignof(AUPlugInInstance));
  const size_t offset = (sizeof(AUPlugInInstance) + align - 1) / align * align;
  const size_t total = (offset + objectSize + align - 1) / align * align;
  auto* record = static_cast<AUPlugInInstance*>(std::aligned_alloc(align, total));
  if (!record)
    return nullptr;
  record->mStorageOffset = offset;
  record->mInterface.Open = AUPlugInOpen;
  record->mInterface.Close = AUPlugInClose;
  record->mInterface.Lookup = AUPlugInLookup;
  record->mInterface.reserved = nullptr;
  record->mConstruct = construct;
  record->mDestruct = destruct;
  record->mReserved[0] = record->mReserved[1] = nullptr;
  record->mPlug = nullptr;
  return record;
}

OSStatus AUPlugInOpen(void* self, AudioComponentInstance instance)
{
  auto* record = static_cast<AUPlugInInstance*>(self);
  if (!record || !record->mConstruct)
    return paramErr;
  if (record->mPlug)
    return kAudioUnitErr_FailedInitialization;
  try {
    IPluginAU* plug = record->mConstruct(record->Storage(), instance);
    if (!plug)
      return kAudioUnitErr_FailedInitialization;
    record->mPlug = plug;
    plug->SetComponentInstance(instance);
    plug->PruneUninitializedPresets();
  } catch (const std::bad_alloc&) {
    return memFullErr;
  } catch (...) {
    return kAudioUnitErr_FailedInitialization;
  }
  return noErr;
}

OSStatus AUPlugInClose(void* self)
{
  auto* record = static_cast<AUPlugInInstance*>(self);
  if (!record)
    return paramErr;
  if (record->mPlug && record->mDestruct)
    record->mDestruct(record->Storage());
  record->mPlug = nullptr;
  std::free(record);
  return noErr;
}

namespace {

// Runs a call on the plug-in object of the record; nothing is thrown back.
template <class F> OSStatus WithPlug(void* self, F&& call)
{
  IPluginAU* plug = self ? static_cast<AUPlugInInstance*>(self)->mPlug : nullptr;
  if (!plug)
    return badComponentInstance;
  try {
    return call(*plug);
  } catch (const std::bad_alloc&) {
    return memFullErr;
  } catch (...) {
    return kAudioUnitErr_CannotDoInCurrentContext;
  }
}

OSStatus AUMethodInitialize(void* self)
{
  return WithPlug(self, [](IPluginAU& p) { return p.Initialize(); });
}

OSStatus AUMethodUninitialize(void* self)
{
  return WithPlug(self, [](IPluginAU& p) { return p.Uninitialize(); });
}

OSStatus AUMethodGetPropertyInfo(void* self, AudioUnitPropertyID id, AudioUnitScope scope, AudioUnitElement element,
                                 UInt32* size, Boolean* writable)
{
  return WithPlug(self, [&](IPluginAU& p) { return p.GetProperty(id, scope, element, size, writable, nullptr); });
}

OSStatus AUMethodGetProperty(void* self, AudioUnitPropertyID id, AudioUnitScope scope, AudioUnitElement element,
                             void* data, UInt32* size)
{
  return WithPlug(self, [&](IPluginAU& p) {
    Boolean writable = false;
    return p.GetProperty(id, scope, element, size, &writable, data);
  });
}

OSStatus AUMethodSetProperty(void* self, AudioUnitPropertyID id, AudioUnitScope scope, AudioUnitElement element,
                             const void* data, UInt32 size)
{
  return WithPlug(self, [&](IPluginAU& p) { return p.SetProperty(id, scope, element, size, data); });
}

OSStatus AUMethodGetParameter(void* self, AudioUnitParameterID id, AudioUnitScope scope, AudioUnitElement element,
                              AudioUnitParameterValue* value)
{
  return WithPlug(self, [&](IPluginAU& p) { return p.GetParameter(id, scope, element, value); });
}

OSStatus AUMethodSetParameter(void* self, AudioUnitParameterID id, AudioUnitScope scope, AudioUnitElement element,
                              AudioUnitParameterValue value, UInt32 bufferOffset)
{
  return WithPlug(self, [&](IPluginAU& p) { return p.SetParameter(id, scope, element, value, bufferOffset); });
}

OSStatus AUMethodReset(void* self, AudioUnitScope scope, AudioUnitElement element)
{
  return WithPlug(self, [&](IPluginAU& p) { return p.Reset(scope, element); });
}

OSStatus AUMethodAddPropertyListener(void* self, AudioUnitPropertyID id, AudioUnitPropertyListenerProc proc,
                                     void* userData)
{
  return WithPlug(self, [&](IPluginAU& p) { return p.AddPropertyListener(id, proc, userData); });
}

OSStatus AUMethodRemovePropertyListener(void* self, AudioUnitPropertyID id, AudioUnitPropertyListenerProc proc)
{
  return WithPlug(self, [&](IPluginAU& p) { return p.RemovePropertyListener(id, proc); });
}

OSStatus AUMethodRemovePropertyListenerWithUserData(void* self, AudioUnitPropertyID id,
                                                    AudioUnitPropertyListenerProc proc, void* userData)
{
  return WithPlug(self, [&](IPluginAU& p) { return p.RemovePropertyListenerWithUserData(id, proc, userData); });
}

OSStatus AUMethodRender(void* self, AudioUnitRenderActionFlags* flags, const AudioTimeStamp* timeStamp, UInt32 busIdx,
                        UInt32 nFrames, AudioBufferList* bufferList)
{
  return WithPlug(self, [&](IPluginAU& p) { return p.Render(flags, timeStamp, busIdx, nFrames, bufferList); });
}

OSStatus AUMethodAddRenderNotify(void* self, AURenderCallback proc, void* refCon)
{
  return WithPlug(self, [&](IPluginAU& p) { return p.AddRenderNotify(proc, refCon); });
}

OSStatus AUMethodRemoveRenderNotify(void* self, AURenderCallback proc, void* refCon)
{
  return WithPlug(self, [&](IPluginAU& p) { return p.RemoveRenderNotify(proc, refCon); });
}

OSStatus AUMethodScheduleParameters(void* self, const AudioUnitParameterEvent* events, UInt32 count)
{
  return WithPlug(self, [&](IPluginAU& p) { return p.ScheduleParameters(events, count); });
}

template <class Proc> AudioComponentMethod Method(Proc proc) { return reinterpret_cast<AudioComponentMethod>(proc); }

} // namespace

AudioComponentMethod AUPlugInLookup(SInt16 selector)
{
  switch (selector) {
  case kAudioUnitInitializeSelect: return Method(AUMethodInitialize);
  case kAudioUnitUninitializeSelect: return Method(AUMethodUninitialize);
  case kAudioUnitGetPropertyInfoSelect: return Method(AUMethodGetPropertyInfo);
  case kAudioUnitGetPropertySelect: return Method(AUMethodGetProperty);
  case kAudioUnitSetPropertySelect: return Method(AUMethodSetProperty);
  case kAudioUnitGetParameterSelect: return Method(AUMethodGetParameter);
  case kAudioUnitSetParameterSelect: return Method(AUMethodSetParameter);
  case kAudioUnitResetSelect: return Method(AUMethodReset);
  case kAudioUnitAddPropertyListenerSelect: return Method(AUMethodAddPropertyListener);
  case kAudioUnitRemovePropertyListenerSelect: return Method(AUMethodRemovePropertyListener);
  case kAudioUnitRenderSelect: return Method(AUMethodRender);
  case kAudioUnitAddRenderNotifySelect: return Method(AUMethodAddRenderNotify);
  case kAudioUnitRemoveRenderNotifySelect: return Method(AUMethodRemoveRenderNotify);
  case kAudioUnitScheduleParametersSelect: return Method(AUMethodScheduleParameters);
  case kAudioUnitRemovePropertyListenerWithUserDataSelect: return Method(AUMethodRemovePropertyListenerWithUserData);
  default: return nullptr;
  }
}

} // namespace plugin
