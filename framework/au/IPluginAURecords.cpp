// Records the unit builds for the host: parameter info, value strings and
// channel layout tags.
#include "IPluginAU.h"

#include <CoreServices/CoreServices.h>

#include <algorithm>
#include <climits>
#include <cstring>

namespace plugin {

namespace {

constexpr UInt32 kBaseParamFlags = 0xC8800010; // readable, writable, CF name, high resolution, CF name release
constexpr UInt32 kMetaParamFlags = 0xE8800010;
constexpr UInt32 kNonAutomatableParamFlags = 0xC9800010;

CFStringRef MakeCFString(const char* text)
{
  return CFStringCreateWithCString(kCFAllocatorDefault, text ? text : "", kCFStringEncodingUTF8);
}

// Host units by the parameter's unit code; 21 (custom) is handled apart.
AudioUnitParameterUnit UnitForCode(int code)
{
  static constexpr AudioUnitParameterUnit kUnits[] = {3,  4, 24, 5, 13, 14, 18, 6,  15, 19, 7,
                                                      25, 8, 21, 9, 20, 10, 11, 12, 22, 23};
  return (code >= 0 && code < static_cast<int>(std::size(kUnits))) ? kUnits[code] : kAudioUnitParameterUnit_Generic;
}

UInt32 DisplayFlagsForType(int displayType)
{
  switch (displayType) {
  case 1: return 0x00400000;
  case 2: return 0x00050000;
  case 3: return 0x00020000;
  case 4: return 0x00010000;
  case 5: return 0x00030000;
  case 6: return 0x00040000;
  default: return 0;
  }
}

// Layout tags of a bus with n channels.
int TagsForChannels(int n, AudioChannelLayoutTag* tags)
{
  switch (n) {
  case 0: tags[0] = 0; return 1;
  case 1: tags[0] = 0x00640001; return 1;
  case 2: tags[0] = 0x00650002; return 1;
  case 3: tags[0] = 0x00710003; return 1;
  case 4:
    tags[0] = 0x006C0004;
    tags[1] = 0x006B0004;
    tags[2] = 0x00BE0004;
    return 3;
  case 5: tags[0] = 0x00760005; return 1;
  case 6:
    tags[0] = 0x00790006;
    tags[1] = 0x008B0006;
    return 2;
  case 7:
    tags[0] = 0x007D0007;
    tags[1] = 0x008C0007;
    return 2;
  case 8:
    tags[0] = 0x00800008;
    tags[1] = 0x007E0008;
    return 2;
  case 9:
  case 16: tags[0] = 0x00BE0000 + static_cast<UInt32>(n); return 1;
  default: tags[0] = 0x00930000 | (static_cast<UInt32>(n) & 0xFFFF); return 1;
  }
}

} // namespace

CFStringRef IPluginAU::UnitName(int paramIdx, const char* label)
{
  if (paramIdx < 0 || paramIdx >= NParams())
    return nullptr;
  if (mUnitNames.size() < static_cast<size_t>(NParams()))
    mUnitNames.resize(static_cast<size_t>(NParams()), nullptr);
  CFStringRef& name = mUnitNames[static_cast<size_t>(paramIdx)];
  char held[IParam::kMaxNameLen * 4] = "";
  if (name && CFStringGetCString(name, held, sizeof(held), kCFStringEncodingUTF8) && std::strcmp(held, label) == 0)
    return name;
  if (name)
    CFRelease(name);
  name = MakeCFString(label);
  return name;
}

OSStatus IPluginAU::GetParameterInfo(AudioUnitElement element, AudioUnitParameterInfo* info)
{
  const IParam* p = ParamForID(element);
  if (!p)
    return kAudioUnitErr_InvalidElement;
  *info = AudioUnitParameterInfo{};
  UInt32 flags = kBaseParamFlags;
  if (p->GetMeta())
    flags = kMetaParamFlags | (p->GetCanAutomate() ? 0u : static_cast<UInt32>(kAudioUnitParameterFlag_NonRealTime));
  else if (!p->GetCanAutomate())
    flags = kNonAutomatableParamFlags;
  if (p->NDisplayTexts() > 0)
    flags |= kAudioUnitParameterFlag_ValuesHaveStrings;

  std::strncpy(info->name, p->GetName(), sizeof(info->name) - 1);
  info->cfNameString = MakeCFString(p->GetName());

  switch (p->Type()) {
  case IParam::kTypeInt:
  case IParam::kTypeEnum: info->unit = kAudioUnitParameterUnit_Indexed; break;
  case IParam::kTypeBool: info->unit = kAudioUnitParameterUnit_Boolean; break;
  default:
    if (p->Unit() == IParam::kUnitCustom) {
      if (p->GetLabel()[0]) {
        info->unit = kAudioUnitParameterUnit_CustomUnit;
        info->unitName = UnitName(static_cast<int>(element), p->GetLabel());
      } else {
        info->unit = kAudioUnitParameterUnit_Generic;
      }
    } else {
      info->unit = UnitForCode(static_cast<int>(p->Unit()));
    }
  }
  flags |= DisplayFlagsForType(static_cast<int>(p->GetDisplayType()));
  info->minValue = static_cast<AudioUnitParameterValue>(p->GetMin());
  info->maxValue = static_cast<AudioUnitParameterValue>(p->GetMax());
  info->defaultValue = static_cast<AudioUnitParameterValue>(p->GetDefault());

  if (p->GetGroup()[0]) {
    int clump = -1;
    for (int i = 0; i < mGroupNames.GetSize() && clump < 0; ++i) {
      if (std::strcmp(mGroupNames.Get(i)->Get(), p->GetGroup()) == 0)
        clump = i;
    }
    if (clump < 0) {
      UT_String* name = new UT_String(p->GetGroup());
      if (mGroupNames.Add(name))
        clump = mGroupNames.GetSize() - 1;
      else
        delete name;
    }
    if (clump >= 0) {
      info->clumpID = static_cast<UInt32>(clump + 1);
      flags |= kAudioUnitParameterFlag_HasClump;
    }
  }
  info->flags = flags;
  return noErr;
}

OSStatus IPluginAU::GetParameterValueStrings(AudioUnitElement element, CFArrayRef* out) const
{
  const IParam* p = ParamForID(element);
  if (!p)
    return kAudioUnitErr_InvalidElement;
  const int n = p->NDisplayTexts();
  if (n == 0)
    return kAudioUnitErr_InvalidProperty;
  CFMutableArrayRef array = CFArrayCreateMutable(kCFAllocatorDefault, n, &kCFTypeArrayCallBacks);
  if (!array)
    return coreFoundationUnknownErr;
  for (int i = 0; i < n; ++i) {
    CFStringRef text = MakeCFString(p->GetDisplayText(static_cast<double>(i)));
    CFArrayAppendValue(array, text);
    CFRelease(text);
  }
  *out = array;
  return noErr;
}

int IPluginAU::GetChannelLayoutTags(AudioUnitScope scope, AudioUnitElement element, AudioChannelLayoutTag* tags,
                                    int capacity) const
{
  if (scope != kAudioUnitScope_Input && scope != kAudioUnitScope_Output)
    return 0;
  const ERoute direction = scope == kAudioUnitScope_Input ? kInput : kOutput;
  int n = 0;
  for (int c = 0; c < NIOConfigs(); ++c) {
    const IBusInfo* bus = element < static_cast<UInt32>(INT_MAX)
                            ? GetIOConfig(c)->GetBusInfo(direction, static_cast<int>(element))
                            : nullptr;
    if (!bus)
      continue;
    AudioChannelLayoutTag busTags[3];
    const int nBusTags = TagsForChannels(bus->mNChans, busTags);
    for (int t = 0; t < nBusTags; ++t) {
      if (std::find(tags, tags + n, busTags[t]) == tags + n && n < capacity)
        tags[n++] = busTags[t];
    }
  }
  return n;
}

} // namespace plugin
