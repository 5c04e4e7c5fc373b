// The class-info dictionary (the state a host keeps in its project) and the
// factory-presets array.
#include "IPluginAU.h"

#include <CoreServices/CoreServices.h>

#include <cstring>

#include "AUFactoryPreset.h"

namespace plugin {

namespace {

void AddInt32(CFMutableDictionaryRef dict, const char* key, SInt32 value)
{
  CFStringRef cfKey = CFStringCreateWithCString(kCFAllocatorDefault, key, kCFStringEncodingUTF8);
  CFNumberRef number = CFNumberCreate(kCFAllocatorDefault, kCFNumberSInt32Type, &value);
  CFDictionarySetValue(dict, cfKey, number);
  CFRelease(number);
  CFRelease(cfKey);
}

// The value stored under key when it has the wanted type, else null.
CFTypeRef GetTyped(CFDictionaryRef dict, const char* key, CFTypeID type)
{
  CFStringRef cfKey = CFStringCreateWithCString(kCFAllocatorDefault, key, kCFStringEncodingUTF8);
  CFTypeRef value = CFDictionaryGetValue(dict, cfKey);
  CFRelease(cfKey);
  return value && CFGetTypeID(value) == type ? value : nullptr;
}

bool GetInt32(CFDictionaryRef dict, const char* key, SInt32& out)
{
  CFTypeRef value = GetTyped(dict, key, CFNumberGetTypeID());
  return value && CFNumberGetValue(static_cast<CFNumberRef>(value), kCFNumberSInt32Type, &out);
}

} // namespace

OSStatus IPluginAU::SaveClassInfo(CFPropertyListRef* plist)
{
  if (!plist)
    return kAudioUnitErr_InvalidPropertyValue;
  CFMutableDictionaryRef dict =
    CFDictionaryCreateMutable(kCFAllocatorDefault, 0, &kCFTypeDictionaryKeyCallBacks, &kCFTypeDictionaryValueCallBacks);
  if (!dict)
    return coreFoundationUnknownErr;
  AddInt32(dict, kAUPresetVersionKey, GetPluginVersion(false));
  AddInt32(dict, kAUPresetTypeKey, GetAUPluginType());
  AddInt32(dict, kAUPresetSubtypeKey, GetUniqueID());
  AddInt32(dict, kAUPresetManufacturerKey, GetMfrID());

  CFStringRef name =
    CFStringCreateWithCString(kCFAllocatorDefault, GetPresetName(GetCurrentPresetIdx()), kCFStringEncodingUTF8);
  if (name) {
    CFDictionarySetValue(dict, CFSTR(kAUPresetNameKey), name);
    CFRelease(name);
  }

  IByteChunk chunk;
  if (SerializeState(chunk)) {
    CFDataRef data = CFDataCreate(kCFAllocatorDefault, chunk.GetData(), chunk.Size());
    if (data) {
      CFDictionarySetValue(dict, CFSTR(kAUPresetDataKey), data);
      CFRelease(data);
    }
  }
  *plist = dict;
  return noErr;
}

OSStatus IPluginAU::RestoreClassInfo(CFPropertyListRef plist)
{
  constexpr OSStatus kRefused = kAudioUnitErr_InvalidPropertyValue;
  // Everything is checked before anything changes.
  if (!plist || CFGetTypeID(plist) != CFDictionaryGetTypeID())
    return kRefused;
  CFDictionaryRef dict = static_cast<CFDictionaryRef>(plist);
  SInt32 version = 0, type = 0, subtype = 0, manufacturer = 0;
  if (!GetInt32(dict, kAUPresetVersionKey, version) || !GetInt32(dict, kAUPresetTypeKey, type) ||
      !GetInt32(dict, kAUPresetSubtypeKey, subtype) || !GetInt32(dict, kAUPresetManufacturerKey, manufacturer))
    return kRefused;
  if (type != GetAUPluginType() || subtype != GetUniqueID() || manufacturer != GetMfrID())
    return kRefused;
  CFTypeRef nameValue = GetTyped(dict, kAUPresetNameKey, CFStringGetTypeID());
  char name[IPreset::kMaxNameLen] = "";
  if (!nameValue || !CFStringGetCString(static_cast<CFStringRef>(nameValue), name, sizeof(name), kCFStringEncodingUTF8))
    return kRefused;
  CFTypeRef dataValue = GetTyped(dict, kAUPresetDataKey, CFDataGetTypeID());
  if (!dataValue)
    return kRefused;
  CFDataRef data = static_cast<CFDataRef>(dataValue);
  const CFIndex length = CFDataGetLength(data);
  if (length <= 0 || length > INT32_MAX)
    return kRefused;
  IByteChunk chunk;
  chunk.PutBytes(CFDataGetBytePtr(data), static_cast<int>(length));
  if (chunk.Size() != static_cast<int>(length))
    return kRefused;

  // The state reader applies what it can read whole, so a restore refused
  // half-way is undone from the state saved before it: a refusal leaves the
  // state as it was, a success has read everything.
  IByteChunk before;
  if (!SerializeState(before))
    return kRefused;
  const int presetBefore = GetCurrentPresetIdx();

  RestorePreset(name);
  const int end = UnserializeState(chunk, 0);
  if (end <= 0 || !LastRestoreComplete()) {
    UnserializeState(before, 0);
    mCurrentPresetIdx = presetBefore;
    return kRefused;
  }
  SendCurrentParamValuesFromDelegate();
  return noErr;
}

OSStatus IPluginAU::GetFactoryPresets(CFArrayRef* out) const
{
  const int n = NPresets();
  CFMutableArrayRef array = CFArrayCreateMutable(kCFAllocatorDefault, n, &kAUFactoryPresetArrayCallBacks);
  if (!array)
    return coreFoundationUnknownErr;
  for (int i = 0; i < n; ++i) {
    CFStringRef name = CFStringCreateWithCString(kCFAllocatorDefault, GetPresetName(i), kCFStringEncodingUTF8);
    AUFactoryPreset* preset = AUFactoryPresetCreate(kCFAllocatorDefault, i, name);
    if (preset) {
      CFArrayAppendValue(array, preset);
      AUFactoryPresetRelease(preset);
    }
    if (name)
      CFRelease(name);
  }
  *out = array;
  return noErr;
}

} // namespace plugin
