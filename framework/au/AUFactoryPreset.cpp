#include "AUFactoryPreset.h"

namespace plugin {

AUFactoryPreset* AUFactoryPresetCreate(CFAllocatorRef allocator, SInt32 number, CFStringRef name)
{
  auto* preset = static_cast<AUFactoryPreset*>(CFAllocatorAllocate(allocator, sizeof(AUFactoryPreset), 0));
  if (!preset)
    return nullptr;
  preset->mPreset.presetNumber = number;
  preset->mPreset.presetName = name ? CFStringCreateCopy(allocator, name) : nullptr;
  preset->mReserved = nullptr;
  preset->mAllocator = allocator;
  preset->mRefCount = 1;
  return preset;
}

void AUFactoryPresetRetain(AUFactoryPreset* preset)
{
  if (preset->mPreset.presetName)
    CFRetain(preset->mPreset.presetName);
  ++preset->mRefCount;
}

void AUFactoryPresetRelease(AUFactoryPreset* preset)
{
  if (preset->mRefCount < 1)
    return;
  if (preset->mPreset.presetName)
    CFRelease(preset->mPreset.presetName);
  if (--preset->mRefCount == 0) {
    preset->mPreset.presetName = nullptr;
    preset->mPreset.presetNumber = 0;
    CFAllocatorDeallocate(preset->mAllocator, preset);
  }
}

namespace {

const void* RetainCallback(CFAllocatorRef, const void* value)
{
  AUFactoryPresetRetain(static_cast<AUFactoryPreset*>(const_cast<void*>(value)));
  return value;
}

void ReleaseCallback(CFAllocatorRef, const void* value)
{
  AUFactoryPresetRelease(static_cast<AUFactoryPreset*>(const_cast<void*>(value)));
}

CFStringRef CopyDescriptionCallback(const void* value)
{
  const auto* preset = static_cast<const AUFactoryPreset*>(value);
  return CFStringCreateWithFormat(kCFAllocatorDefault, nullptr,
                                  CFSTR("AUPreset:\npreset number = %d\npreset name = %@"),
                                  static_cast<int>(preset->mPreset.presetNumber), preset->mPreset.presetName);
}

Boolean EqualCallback(const void* a, const void* b)
{
  const auto* p = static_cast<const AUFactoryPreset*>(a);
  const auto* q = static_cast<const AUFactoryPreset*>(b);
  if (p->mPreset.presetNumber != q->mPreset.presetNumber)
    return false;
  if (!p->mPreset.presetName || !q->mPreset.presetName)
    return p->mPreset.presetName == q->mPreset.presetName;
  return CFStringCompare(p->mPreset.presetName, q->mPreset.presetName, 0) == kCFCompareEqualTo;
}

} // namespace

const CFArrayCallBacks kAUFactoryPresetArrayCallBacks = {0, RetainCallback, ReleaseCallback, CopyDescriptionCallback,
                                                         EqualCallback};

} // namespace plugin
