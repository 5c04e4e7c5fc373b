// Property info, get and set: one small function per property, found
// through one table of (id, get, set).
#include "IPluginAU.h"

#include <CoreServices/CoreServices.h>

#include <algorithm>
#include <climits>
#include <cmath>
#include <cstring>

namespace plugin {

namespace {

constexpr UInt32 kMaxLayoutTags = 64;
constexpr int kMaxIDNameChars = 31;
constexpr OSStatus kShort = kAudioUnitErr_InvalidPropertyValue;

CFStringRef MakeCFString(const char* text)
{
  return CFStringCreateWithCString(kCFAllocatorDefault, text ? text : "", kCFStringEncodingUTF8);
}

template <class T> constexpr UInt32 Size() { return static_cast<UInt32>(sizeof(T)); }

} // namespace

// One info or get call. Without data it is an info call: size and
// writability only.
struct IPluginAU::PropertyGet {
  AudioUnitScope scope;
  AudioUnitElement element;
  UInt32* size;
  Boolean* writable;
  void* data;
  UInt32 hostSize; // the host's buffer, on entry

  bool Global() const { return scope == kAudioUnitScope_Global; }
  // Reports size and writability; with data, refuses a short host buffer.
  bool Reply(UInt32 bytes, bool canWrite)
  {
    *writable = canWrite;
    if (data && hostSize < bytes)
      return false;
    *size = bytes;
    return true;
  }
  // Reply, then the value when the host gave a buffer.
  template <class T> OSStatus ReplyValue(const T& value, bool canWrite)
  {
    if (!Reply(Size<T>(), canWrite))
      return kShort;
    if (data)
      std::memcpy(data, &value, sizeof(T));
    return noErr;
  }
};

// One set call. The host's record must be all there before a byte of it is
// read.
struct IPluginAU::PropertySet {
  AudioUnitScope scope;
  AudioUnitElement element;
  UInt32 size;
  const void* data;

  bool Global() const { return scope == kAudioUnitScope_Global; }
  template <class T> bool Read(T& value) const
  {
    if (!data || size < sizeof(T))
      return false;
    std::memcpy(&value, data, sizeof(T));
    return true;
  }
};

struct IPluginAU::Properties {
  using Get = OSStatus (*)(IPluginAU&, PropertyGet&);
  using Set = OSStatus (*)(IPluginAU&, const PropertySet&);
  struct Entry {
    AudioUnitPropertyID id;
    Get get;
    Set set;
  };

  // ---- Identity, class info and presets -----------------------------------

  static OSStatus GetPlugInObject(IPluginAU& au, PropertyGet& q)
  {
    IPluginAPIBase* object = &au;
    return q.ReplyValue(object, false);
  }

  static OSStatus GetClassInfo(IPluginAU& au, PropertyGet& q)
  {
    if (!q.Reply(Size<CFPropertyListRef>(), q.data != nullptr))
      return kShort;
    return q.data ? au.SaveClassInfo(static_cast<CFPropertyListRef*>(q.data)) : noErr;
  }

  static OSStatus SetClassInfo(IPluginAU& au, const PropertySet& w)
  {
    CFPropertyListRef plist;
    if (!w.Read(plist))
      return kShort;
    return au.RestoreClassInfo(plist);
  }

  static OSStatus GetFactoryPresets(IPluginAU& au, PropertyGet& q)
  {
    if (!q.Reply(Size<CFArrayRef>(), false))
      return kShort;
    return q.data ? au.GetFactoryPresets(static_cast<CFArrayRef*>(q.data)) : noErr;
  }

  // Current and present preset alike: number and a name the host releases.
  static OSStatus GetPreset(IPluginAU& au, PropertyGet& q)
  {
    if (!q.Reply(Size<AUPreset>(), true))
      return kShort;
    if (q.data) {
      AUPreset preset{};
      preset.presetNumber = au.GetCurrentPresetIdx();
      preset.presetName = MakeCFString(au.GetPresetName(au.GetCurrentPresetIdx()));
      std::memcpy(q.data, &preset, sizeof(preset));
    }
    return noErr;
  }

  static OSStatus SetPreset(IPluginAU& au, const PropertySet& w)
  {
    AUPreset preset;
    if (!w.Read(preset))
      return kShort;
    return au.SetCurrentPreset(preset);
  }

  // ---- Buses, formats and connections -------------------------------------

  static OSStatus GetMakeConnection(IPluginAU&, PropertyGet& q)
  {
    if (!q.Global() && q.scope != kAudioUnitScope_Input)
      return kAudioUnitErr_InvalidProperty;
    return q.Reply(Size<AudioUnitConnection>(), true) ? noErr : kShort;
  }

  static OSStatus SetMakeConnection(IPluginAU& au, const PropertySet& w)
  {
    if (!w.Global() && w.scope != kAudioUnitScope_Input)
      return kAudioUnitErr_InvalidProperty;
    AudioUnitConnection connection;
    if (!w.Read(connection))
      return kShort;
    return au.MakeConnection(connection);
  }

  static OSStatus GetSampleRate(IPluginAU& au, PropertyGet& q)
  {
    return q.ReplyValue(static_cast<Float64>(au.GetSampleRate()), true);
  }

  static OSStatus SetSampleRate(IPluginAU& au, const PropertySet& w)
  {
    Float64 rate;
    if (!w.Read(rate))
      return kShort;
    if (!(rate > 0.0) || !std::isfinite(rate))
      return kAudioUnitErr_InvalidPropertyValue;
    au.SetSampleRate(rate);
    au.ResetProcessor();
    return noErr;
  }

  static OSStatus GetFastDispatch(IPluginAU&, PropertyGet&) { return kAudioUnitErr_InvalidElement; }

  static OSStatus GetStreamFormat(IPluginAU& au, PropertyGet& q)
  {
    const AUBus* bus = au.GetBus(q.scope, q.element);
    if (!bus)
      return kAudioUnitErr_InvalidProperty;
    if (!q.Reply(Size<AudioStreamBasicDescription>(), true))
      return kShort;
    if (q.data) {
      AudioStreamBasicDescription format;
      au.FillStreamFormat(*bus, format);
      std::memcpy(q.data, &format, sizeof(format));
    }
    return noErr;
  }

  static OSStatus SetStreamFormat(IPluginAU& au, const PropertySet& w)
  {
    if (!au.GetBus(w.scope, w.element))
      return kAudioUnitErr_InvalidProperty;
    AudioStreamBasicDescription format;
    if (!w.Read(format))
      return kShort;
    return au.SetStreamFormat(w.scope, w.element, format);
  }

  static OSStatus GetElementCount(IPluginAU& au, PropertyGet& q)
  {
    UInt32 n = 0;
    if (q.Global())
      n = 1;
    else if (q.scope == kAudioUnitScope_Input)
      n = static_cast<UInt32>(au.NInputBuses());
    else if (q.scope == kAudioUnitScope_Output)
      n = static_cast<UInt32>(au.NOutputBuses());
    return q.ReplyValue(n, false);
  }

  static OSStatus GetSupportedNumChannels(IPluginAU& au, PropertyGet& q)
  {
    if (!q.Global())
      return kAudioUnitErr_InvalidProperty;
    const int n = au.NIOConfigs();
    if (!q.Reply(static_cast<UInt32>(n) * Size<AUChannelInfo>(), false))
      return kShort;
    if (q.data) {
      for (int c = 0; c < n; ++c) {
        const IOConfig* config = au.GetIOConfig(c);
        auto count = [config](ERoute direction) -> SInt16 {
          if (config->NBuses(direction) == 0)
            return 0;
          if (config->ContainsWildcard(direction))
            return -1;
          return static_cast<SInt16>(config->GetTotalNChannels(direction));
        };
        const AUChannelInfo info{count(kInput), count(kOutput)};
        std::memcpy(static_cast<UInt8*>(q.data) + c * sizeof(AUChannelInfo), &info, sizeof(info));
      }
    }
    return noErr;
  }

  static OSStatus GetMaximumFrames(IPluginAU& au, PropertyGet& q)
  {
    if (!q.Global())
      return kAudioUnitErr_InvalidProperty;
    return q.ReplyValue(static_cast<UInt32>(au.GetBlockSize()), true);
  }

  static OSStatus SetMaximumFrames(IPluginAU& au, const PropertySet& w)
  {
    UInt32 frames;
    if (!w.Read(frames))
      return kShort;
    return au.SetMaximumFrames(frames);
  }

  static OSStatus GetAudioChannelLayout(IPluginAU&, PropertyGet&) { return kAudioUnitErr_InvalidPropertyValue; }

  static OSStatus GetSupportedChannelLayoutTags(IPluginAU& au, PropertyGet& q)
  {
    AudioChannelLayoutTag tags[kMaxLayoutTags];
    const int n = au.GetChannelLayoutTags(q.scope, q.element, tags, kMaxLayoutTags);
    const UInt32 bytes = static_cast<UInt32>(n) * Size<AudioChannelLayoutTag>();
    if (!q.data) {
      *q.writable = n > 0;
      *q.size = bytes;
      return noErr;
    }
    if (n == 0)
      return kAudioUnitErr_InvalidProperty;
    if (!q.Reply(bytes, true))
      return kShort;
    std::memcpy(q.data, tags, bytes);
    return noErr;
  }

  static OSStatus GetElementName(IPluginAU& au, PropertyGet& q)
  {
    if (!q.data) {
      *q.size = Size<CFStringRef>();
      return kAudioUnitErr_InvalidProperty;
    }
    ERoute direction;
    if (q.scope == kAudioUnitScope_Output)
      direction = kOutput;
    else if (q.scope == kAudioUnitScope_Input)
      direction = kInput;
    else
      return kAudioUnitErr_InvalidScope;
    const int nBuses = direction == kInput ? au.NInputBuses() : au.NOutputBuses();
    if (q.element >= static_cast<UInt32>(nBuses))
      return kAudioUnitErr_InvalidElement;
    if (!q.Reply(Size<CFStringRef>(), false))
      return kShort;
    UT_String name;
    au.GetBusName(direction, static_cast<int>(q.element), nBuses, name);
    CFStringRef text = MakeCFString(name.Get());
    std::memcpy(q.data, &text, sizeof(text));
    return noErr;
  }

  static OSStatus GetRenderCallback(IPluginAU& au, PropertyGet& q)
  {
    if ((!q.Global() && q.scope != kAudioUnitScope_Input) || q.element >= static_cast<UInt32>(au.NInputBuses()))
      return kAudioUnitErr_InvalidProperty;
    return q.Reply(Size<AURenderCallbackStruct>(), true) ? noErr : kShort;
  }

  static OSStatus SetRenderCallback(IPluginAU& au, const PropertySet& w)
  {
    if (w.scope != kAudioUnitScope_Input || w.element >= static_cast<UInt32>(au.NInputBuses()))
      return kAudioUnitErr_InvalidProperty;
    AURenderCallbackStruct callback;
    if (!w.Read(callback))
      return kShort;
    return au.SetRenderCallback(w.element, callback);
  }

  // ---- Parameters ---------------------------------------------------------

  static OSStatus GetParameterList(IPluginAU& au, PropertyGet& q)
  {
    const UInt32 n = q.Global() ? static_cast<UInt32>(au.NParams()) : 0;
    if (!q.Reply(n * Size<AudioUnitParameterID>(), false))
      return kShort;
    if (q.data) {
      for (AudioUnitParameterID i = 0; i < n; ++i)
        std::memcpy(static_cast<UInt8*>(q.data) + sizeof(i) * i, &i, sizeof(i));
    }
    return noErr;
  }

  static OSStatus GetParameterInfo(IPluginAU& au, PropertyGet& q)
  {
    if (!q.Global())
      return kAudioUnitErr_InvalidProperty;
    if (q.element >= static_cast<UInt32>(au.NParams()))
      return kAudioUnitErr_InvalidElement;
    if (!q.Reply(Size<AudioUnitParameterInfo>(), false))
      return kShort;
    return q.data ? au.GetParameterInfo(q.element, static_cast<AudioUnitParameterInfo*>(q.data)) : noErr;
  }

  static OSStatus GetParameterValueStrings(IPluginAU& au, PropertyGet& q)
  {
    if (!q.Global())
      return kAudioUnitErr_InvalidProperty;
    if (q.element >= static_cast<UInt32>(au.NParams()))
      return kAudioUnitErr_InvalidElement;
    if (au.GetParam(static_cast<int>(q.element))->NDisplayTexts() == 0) {
      *q.size = 0;
      return kAudioUnitErr_InvalidProperty;
    }
    if (!q.Reply(Size<CFArrayRef>(), false))
      return kShort;
    return q.data ? au.GetParameterValueStrings(q.element, static_cast<CFArrayRef*>(q.data)) : noErr;
  }

  static OSStatus GetParameterStringFromValue(IPluginAU& au, PropertyGet& q)
  {
    if (!q.Reply(Size<AudioUnitParameterStringFromValue>(), false))
      return kShort;
    if (!q.data || !q.Global())
      return noErr;
    auto* record = static_cast<AudioUnitParameterStringFromValue*>(q.data);
    const IParam* p = au.ParamForID(record->inParamID);
    if (!p)
      return kAudioUnitErr_InvalidParameter;
    UT_String text;
    p->GetDisplay(record->inValue ? static_cast<double>(*record->inValue) : p->Value(), false, text, true);
    record->outString = MakeCFString(text.Get());
    return noErr;
  }

  static OSStatus GetParameterIDName(IPluginAU& au, PropertyGet& q)
  {
    if (!q.Reply(Size<AudioUnitParameterIDName>(), false))
      return kShort;
    if (!q.data || !q.Global())
      return noErr;
    auto* record = static_cast<AudioUnitParameterIDName*>(q.data);
    const IParam* p = au.ParamForID(record->inID);
    if (!p)
      return kAudioUnitErr_InvalidParameter;
    UT_String name;
    if (record->inDesiredLength == kAudioUnitParameterName_Full)
      name.Set(p->GetName());
    else if (record->inDesiredLength > 0)
      name.Set(p->GetName(), std::min<int>(record->inDesiredLength, kMaxIDNameChars));
    record->outName = MakeCFString(name.Get());
    return noErr;
  }

  static OSStatus GetParameterClumpName(IPluginAU& au, PropertyGet& q)
  {
    if (!q.Reply(Size<AudioUnitParameterNameInfo>(), false))
      return kShort;
    if (!q.data || !q.Global())
      return noErr;
    auto* record = static_cast<AudioUnitParameterNameInfo*>(q.data);
    if (record->inID == 0 || record->inID > static_cast<UInt32>(au.mGroupNames.GetSize()))
      return kAudioUnitErr_PropertyNotInUse;
    record->outName = MakeCFString(au.mGroupNames.Get(static_cast<int>(record->inID) - 1)->Get());
    return noErr;
  }

  static OSStatus GetParameterValueFromString(IPluginAU& au, PropertyGet& q)
  {
    if (!q.Reply(Size<AudioUnitParameterValueFromString>(), false))
      return kShort;
    if (!q.data || !q.Global())
      return noErr;
    auto* record = static_cast<AudioUnitParameterValueFromString*>(q.data);
    const IParam* p = au.ParamForID(record->inParamID);
    if (!p)
      return kAudioUnitErr_InvalidParameter;
    if (!record->inString)
      return kAudioUnitErr_InvalidPropertyValue;
    char text[256] = "";
    CFStringGetCString(record->inString, text, sizeof(text), kCFStringEncodingUTF8);
    record->outValue = static_cast<AudioUnitParameterValue>(p->StringToValue(text));
    return noErr;
  }

  // ---- Processing ---------------------------------------------------------

  // Latency and tail, in seconds at the present rate.
  static OSStatus ReplySeconds(IPluginAU& au, PropertyGet& q, double samples)
  {
    if (!q.Global())
      return kAudioUnitErr_InvalidProperty;
    const Float64 seconds = au.GetSampleRate() > 0.0 ? samples / au.GetSampleRate() : 0.0;
    return q.ReplyValue(seconds, false);
  }

  static OSStatus GetLatency(IPluginAU& au, PropertyGet& q) { return ReplySeconds(au, q, au.GetLatency()); }
  static OSStatus GetTailTime(IPluginAU& au, PropertyGet& q) { return ReplySeconds(au, q, 0.0); }

  // The switches the host reads as a UInt32 0 or 1.
  static OSStatus ReplySwitch(PropertyGet& q, bool on, bool canWrite)
  {
    if (!q.Global())
      return kAudioUnitErr_InvalidProperty;
    return q.ReplyValue(static_cast<UInt32>(on ? 1 : 0), canWrite);
  }

  static OSStatus GetBypass(IPluginAU& au, PropertyGet& q) { return ReplySwitch(q, au.GetBypassed(), true); }
  static OSStatus GetLastRenderError(IPluginAU&, PropertyGet& q) { return ReplySwitch(q, false, false); }
  static OSStatus GetOfflineRender(IPluginAU& au, PropertyGet& q) { return ReplySwitch(q, au.mOffline, true); }

  static OSStatus SetBypass(IPluginAU& au, const PropertySet& w)
  {
    UInt32 value;
    if (!w.Read(value))
      return kShort;
    au.SetBypassed(value != 0);
    au.OnActivate(value == 0);
    au.ResetProcessor();
    return noErr;
  }

  static OSStatus SetOfflineRender(IPluginAU& au, const PropertySet& w)
  {
    UInt32 value;
    if (!w.Read(value))
      return kShort;
    au.mOffline = value != 0;
    au.ResetProcessor();
    return noErr;
  }

  // ---- Host ---------------------------------------------------------------

  static OSStatus GetHostCallbacks(IPluginAU&, PropertyGet& q)
  {
    if (!q.Global())
      return kAudioUnitErr_InvalidProperty;
    return q.Reply(Size<HostCallbackInfo>(), true) ? noErr : kShort;
  }

  static OSStatus SetHostCallbacks(IPluginAU& au, const PropertySet& w)
  {
    if (!w.Global())
      return kAudioUnitErr_InvalidProperty;
    return w.Read(au.mHostCallbacks) ? noErr : kShort;
  }

  // Names the host only when nothing identified it before.
  static OSStatus SetHostIdentifier(IPluginAU& au, const PropertySet& w)
  {
    AUHostIdentifier identifier;
    if (!w.Read(identifier))
      return kShort;
    if (au.GetHost() == kHostUninit)
      au.SetHostFromIdentifier(identifier);
    return noErr;
  }

  // ---- Editor and MIDI ----------------------------------------------------

  static OSStatus GetCocoaUI(IPluginAU& au, PropertyGet& q)
  {
    if (!au.HasUI())
      return kAudioUnitErr_InvalidProperty;
    if (!q.Reply(Size<AudioUnitCocoaViewInfo>(), false))
      return kShort;
    if (!q.data)
      return noErr;
    CFStringRef identifier = MakeCFString(au.GetBundleID());
    CFBundleRef bundle = identifier ? CFBundleGetBundleWithIdentifier(identifier) : nullptr;
    if (identifier)
      CFRelease(identifier);
    if (!bundle)
      return kAudioUnitErr_InvalidProperty;
    AudioUnitCocoaViewInfo info{};
    info.mCocoaAUViewBundleLocation = CFBundleCopyBundleURL(bundle);
    info.mCocoaAUViewClass[0] = MakeCFString(au.mViewClassName.Get());
    std::memcpy(q.data, &info, sizeof(info));
    return noErr;
  }

  static OSStatus GetMIDIOutputCallbackInfo(IPluginAU&, PropertyGet& q)
  {
    if (!q.Reply(Size<CFArrayRef>(), false))
      return kShort;
    if (q.data) {
      CFStringRef name = CFSTR("midiOut");
      const void* values[] = {name};
      CFArrayRef array = CFArrayCreate(kCFAllocatorDefault, values, 1, &kCFTypeArrayCallBacks);
      if (!array)
        return coreFoundationUnknownErr;
      std::memcpy(q.data, &array, sizeof(array));
    }
    return noErr;
  }

  static OSStatus GetMIDIOutputCallback(IPluginAU&, PropertyGet& q)
  {
    if (q.data)
      return kAudioUnitErr_InvalidProperty;
    return q.Reply(Size<AUMIDIOutputCallbackStruct>(), true) ? noErr : kShort;
  }

  static OSStatus SetMIDIOutputCallback(IPluginAU& au, const PropertySet& w)
  {
    return w.Read(au.mMidiOutCallback) ? noErr : kShort;
  }

  static OSStatus GetInstrumentCount(IPluginAU& au, PropertyGet& q)
  {
    if (!q.Global() || au.GetPlugType() != kPlugTypeInstrument)
      return kAudioUnitErr_InvalidProperty;
    return q.ReplyValue(static_cast<UInt32>(1), false);
  }

  static constexpr Entry kTable[] = {
    {kPlugInObjectPropertyID, GetPlugInObject, nullptr},
    {kAudioUnitProperty_ClassInfo, GetClassInfo, SetClassInfo},
    {kAudioUnitProperty_FactoryPresets, GetFactoryPresets, nullptr},
    {kAudioUnitProperty_CurrentPreset, GetPreset, SetPreset},
    {kAudioUnitProperty_PresentPreset, GetPreset, SetPreset},

    {kAudioUnitProperty_MakeConnection, GetMakeConnection, SetMakeConnection},
    {kAudioUnitProperty_SampleRate, GetSampleRate, SetSampleRate},
    {kAudioUnitProperty_FastDispatch, GetFastDispatch, nullptr},
    {kAudioUnitProperty_StreamFormat, GetStreamFormat, SetStreamFormat},
    {kAudioUnitProperty_ElementCount, GetElementCount, nullptr},
    {kAudioUnitProperty_SupportedNumChannels, GetSupportedNumChannels, nullptr},
    {kAudioUnitProperty_MaximumFramesPerSlice, GetMaximumFrames, SetMaximumFrames},
    {kAudioUnitProperty_AudioChannelLayout, GetAudioChannelLayout, nullptr},
    {kAudioUnitProperty_SupportedChannelLayoutTags, GetSupportedChannelLayoutTags, nullptr},
    {kAudioUnitProperty_ElementName, GetElementName, nullptr},
    {kAudioUnitProperty_SetRenderCallback, GetRenderCallback, SetRenderCallback},

    {kAudioUnitProperty_ParameterList, GetParameterList, nullptr},
    {kAudioUnitProperty_ParameterInfo, GetParameterInfo, nullptr},
    {kAudioUnitProperty_ParameterValueStrings, GetParameterValueStrings, nullptr},
    {kAudioUnitProperty_ParameterStringFromValue, GetParameterStringFromValue, nullptr},
    {kAudioUnitProperty_ParameterIDName, GetParameterIDName, nullptr},
    {kAudioUnitProperty_ParameterClumpName, GetParameterClumpName, nullptr},
    {kAudioUnitProperty_ParameterValueFromString, GetParameterValueFromString, nullptr},

    {kAudioUnitProperty_Latency, GetLatency, nullptr},
    {kAudioUnitProperty_TailTime, GetTailTime, nullptr},
    {kAudioUnitProperty_BypassEffect, GetBypass, SetBypass},
    {kAudioUnitProperty_LastRenderError, GetLastRenderError, nullptr},
    {kAudioUnitProperty_OfflineRender, GetOfflineRender, SetOfflineRender},

    {kAudioUnitProperty_HostCallbacks, GetHostCallbacks, SetHostCallbacks},
    {kAudioUnitProperty_AUHostIdentifier, nullptr, SetHostIdentifier},

    {kAudioUnitProperty_CocoaUI, GetCocoaUI, nullptr},
    {kAudioUnitProperty_MIDIOutputCallbackInfo, GetMIDIOutputCallbackInfo, nullptr},
    {kAudioUnitProperty_MIDIOutputCallback, GetMIDIOutputCallback, SetMIDIOutputCallback},
    {kMusicDeviceProperty_InstrumentCount, GetInstrumentCount, nullptr},
  };

  static const Entry* Find(AudioUnitPropertyID id)
  {
    for (const Entry& e : kTable)
      if (e.id == id)
        return &e;
    return nullptr;
  }
};

OSStatus IPluginAU::GetProperty(AudioUnitPropertyID id, AudioUnitScope scope, AudioUnitElement element, UInt32* size,
                                Boolean* writable, void* data)
{
  Boolean writableScratch = false;
  if (!writable)
    writable = &writableScratch;
  *writable = false;
  UInt32 sizeScratch = 0;
  if (!size) {
    if (data)
      return kShort;
    size = &sizeScratch;
  }
  const Properties::Entry* entry = Properties::Find(id);
  if (!entry || !entry->get)
    return kAudioUnitErr_InvalidProperty;
  PropertyGet query{scope, element, size, writable, data, *size};
  return entry->get(*this, query);
}

OSStatus IPluginAU::SetProperty(AudioUnitPropertyID id, AudioUnitScope scope, AudioUnitElement element, UInt32 size,
                                const void* data)
{
  const Properties::Entry* entry = Properties::Find(id);
  if (!entry || !entry->set)
    return kAudioUnitErr_InvalidProperty;
  const OSStatus status = entry->set(*this, PropertySet{scope, element, size, data});
  if (status == noErr)
    NotifyPropertyListeners(id, scope, 0);
  return status;
}

OSStatus IPluginAU::SetCurrentPreset(const AUPreset& preset)
{
  if (!RestorePreset(static_cast<int>(preset.presetNumber)))
    return kAudioUnitErr_InvalidPropertyValue;
  return noErr;
}

void IPluginAU::SetHostFromIdentifier(const AUHostIdentifier& identifier)
{
  char name[256] = "";
  if (identifier.hostName)
    CFStringGetCString(identifier.hostName, name, sizeof(name), kCFStringEncodingUTF8);
  const int major = identifier.hostVersion.majorRev;
  const int minor = identifier.hostVersion.minorAndBugRev;
  SetHost(name, (major << 16) | ((minor & 0xF0) << 4) | (minor & 0x0F));
}

} // namespace plugin
