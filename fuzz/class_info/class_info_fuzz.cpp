// The class info a host hands back from its project: the bytes describe a
// dictionary (records of key, value type, length and value), built with the
// platform's own types and given to the unit's restore. A refused dictionary
// changes nothing, even when its state was read in part (the restore is
// undone); whatever is restored leaves every parameter finite and in range,
// and the class info saved afterwards restores and saves as the same state.
#include <AudioUnit/AudioUnit.h>

#include "FuzzPlug.h"

namespace {

const char* const kKeys[] = {kAUPresetVersionKey, kAUPresetTypeKey, kAUPresetSubtypeKey, kAUPresetManufacturerKey,
                             kAUPresetNameKey,    kAUPresetDataKey, "element-name",      ""};

// One value of the given type from payload bytes (null when the platform
// refuses them, as for text that is not UTF-8).
CFTypeRef MakeValue(uint8_t type, const uint8_t* p, size_t n)
{
  switch (type % 7) {
  case 0:
  case 1:
  case 2: {
    // 32-bit, 64-bit integer or double, from the first bytes (zero filled).
    static const CFNumberType kTypes[] = {kCFNumberSInt32Type, kCFNumberSInt64Type, kCFNumberFloat64Type};
    uint8_t value[8] = {};
    std::memcpy(value, p, n < 8 ? n : 8);
    return CFNumberCreate(kCFAllocatorDefault, kTypes[type % 7], value);
  }
  case 3: return CFStringCreateWithBytes(kCFAllocatorDefault, p, CFIndex(n), kCFStringEncodingUTF8, false);
  case 4: return CFDataCreate(kCFAllocatorDefault, p, CFIndex(n));
  case 5: return CFArrayCreate(kCFAllocatorDefault, nullptr, 0, &kCFTypeArrayCallBacks);
  default:
    return CFDictionaryCreateMutable(kCFAllocatorDefault, 0, &kCFTypeDictionaryKeyCallBacks,
                                     &kCFTypeDictionaryValueCallBacks);
  }
}

// Records: key index (1 byte), value type (1 byte), length (2 bytes, little
// endian), value bytes. A first byte with its top bit set hands over an
// array instead of a dictionary.
CFPropertyListRef MakePlist(const uint8_t* data, size_t size)
{
  if (size > 0 && (data[0] & 0x80))
    return CFArrayCreate(kCFAllocatorDefault, nullptr, 0, &kCFTypeArrayCallBacks);
  CFMutableDictionaryRef dict =
    CFDictionaryCreateMutable(kCFAllocatorDefault, 0, &kCFTypeDictionaryKeyCallBacks, &kCFTypeDictionaryValueCallBacks);
  size_t pos = 1;
  while (pos + 4 <= size) {
    const uint8_t key = data[pos], type = data[pos + 1];
    size_t n = size_t(data[pos + 2]) | size_t(data[pos + 3]) << 8;
    pos += 4;
    if (n > size - pos)
      n = size - pos;
    CFStringRef cfKey = CFStringCreateWithCString(kCFAllocatorDefault, kKeys[key % 8], kCFStringEncodingUTF8);
    if (CFTypeRef value = MakeValue(type, data + pos, n)) {
      CFDictionarySetValue(dict, cfKey, value);
      CFRelease(value);
    }
    CFRelease(cfKey);
    pos += n;
  }
  return dict;
}

std::vector<uint8_t> DataOf(CFPropertyListRef plist)
{
  CFDictionaryRef dict = static_cast<CFDictionaryRef>(plist);
  CFStringRef key = CFStringCreateWithCString(kCFAllocatorDefault, kAUPresetDataKey, kCFStringEncodingUTF8);
  CFTypeRef value = CFDictionaryGetValue(dict, key);
  CFRelease(key);
  if (!value || CFGetTypeID(value) != CFDataGetTypeID())
    fuzzsupport::Fail("saved class info without its data");
  CFDataRef bytes = static_cast<CFDataRef>(value);
  return std::vector<uint8_t>(CFDataGetBytePtr(bytes), CFDataGetBytePtr(bytes) + CFDataGetLength(bytes));
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
  if (size > (1u << 20))
    return 0;
  static Vorelle3& plug = fuzzsupport::Plug();
  static fuzzsupport::Baseline baseline(plug);
  baseline.Restore();

  const std::vector<uint8_t> before = fuzzsupport::SavedState(plug);
  const int presetBefore = plug.GetCurrentPresetIdx();
  CFPropertyListRef plist = MakePlist(data, size);
  const OSStatus status = plug.RestoreClassInfo(plist);
  CFRelease(plist);
  fuzzsupport::CheckParams(plug);
  if (status != noErr) {
    if (fuzzsupport::SavedState(plug) != before || plug.GetCurrentPresetIdx() != presetBefore)
      fuzzsupport::Fail("refused class info changed the state or the preset");
    return 0;
  }
  fuzzsupport::CheckStateStable(plug);

  CFPropertyListRef saved = nullptr;
  if (plug.SaveClassInfo(&saved) != noErr)
    fuzzsupport::Fail("class info cannot be saved");
  const std::vector<uint8_t> first = DataOf(saved);
  if (plug.RestoreClassInfo(saved) != noErr)
    fuzzsupport::Fail("saved class info is refused");
  CFRelease(saved);
  if (plug.SaveClassInfo(&saved) != noErr)
    fuzzsupport::Fail("class info cannot be saved again");
  if (DataOf(saved) != first)
    fuzzsupport::Fail("save, restore, save changes the class info");
  CFRelease(saved);
  return 0;
}
