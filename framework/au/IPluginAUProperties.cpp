// Property info, get and set.
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

CFStringRef MakeCFString(const char* text)
{
  return CFStringCreateWithCString(kCFAllocatorDefault, text ? text : "", kCFStringEncodingUTF8);
}

// Sizes of the records the host exchanges, by property.
template <class T>
constexpr UInt32 Size() { return static_cast<UInt32>(sizeof(T)); }

} // namespace

// ---------------------------------------------------------------------------
// Buses and formats

AUBus* IPluginAU::GetBus(AudioUnitScope scope, AudioUnitElement element) const
{
  const int idx = element > static_cast<AudioUnitElement>(INT_MAX) ? -1 : static_cast<int>(element);
  switch (scope) {
  case kAudioUnitScope_Global:
  case kAudioUnitScope_Output: return mOutputBuses.Get(idx);
  case kAudioUnitScope_Input: return mInputBuses.Get(idx);
  default: return nullptr;
  }
}

void IPluginAU::FillStreamFormat(const AUBus& bus, AudioStreamBasicDescription& format) const
{
  format = AudioStreamBasicDescription{};
  format.mSampleRate = GetSampleRate();
  format.mFormatID = kAudioFormatLinearPCM;
  format.mFormatFlags = kAudioFormatFlagIsFloat | kAudioFormatFlagIsPacked | kAudioFormatFlagIsNonInterleaved;
  format.mBytesPerPacket = 4;
  format.mFramesPerPacket = 1;
  format.mBytesPerFrame = 4;
  format.mChannelsPerFrame = static_cast<UInt32>(bus.mHostChannels >= 0 ? bus.mHostChannels : bus.mPlugChannels);
  format.mBitsPerChannel = 32;
}

bool IPluginAU::IsFloatNonInterleaved(const AudioStreamBasicDescription& format)
{
  // Render reads one native 32-bit float channel per buffer; nothing else.
  const AudioFormatFlags flags = format.mFormatFlags;
  return format.mFormatID == kAudioFormatLinearPCM && (flags & kAudioFormatFlagIsFloat) &&
         (flags & kAudioFormatFlagIsNonInterleaved) && !(flags & kAudioFormatFlagIsBigEndian) &&
         !(flags & kAudioFormatFlagIsSignedInteger) && format.mBitsPerChannel == 32 && format.mBytesPerFrame == 4 &&
         format.mBytesPerPacket == 4 && format.mFramesPerPacket == 1;
}

bool IPluginAU::CheckBusChannels(ERoute direction, const AUBus* bus, int nChannels) const
{
  const UT_PtrList<AUBus>& buses = direction == kInput ? mInputBuses : mOutputBuses;
  int count = nChannels;
  for (int i = 0; i < buses.GetSize(); ++i) {
    if (buses.Get(i) != bus)
      count += std::max(buses.Get(i)->mHostChannels, 0);
  }
  const ERoute other = direction == kInput ? kOutput : kInput;
  const int otherCount = mActive ? ChannelSum(other) : -1;
  return direction == kInput ? LegalIO(count, otherCount) : LegalIO(otherCount, count);
}

OSStatus IPluginAU::SetStreamFormat(AudioUnitScope scope, AudioUnitElement element,
                                    const AudioStreamBasicDescription& format)
{
  AUBus* bus = GetBus(scope, element);
  if (!bus)
    return kAudioUnitErr_InvalidProperty;
  const bool valid = IsFloatNonInterleaved(format) && format.mChannelsPerFrame > 0 &&
                     format.mChannelsPerFrame <= static_cast<UInt32>(kMaxBusChannels);
  if (mActive) {
    // Buffers in use by a running render must not change under it.
    AudioStreamBasicDescription current;
    FillStreamFormat(*bus, current);
    const bool sameRate = !(format.mSampleRate > 0.0) || format.mSampleRate == current.mSampleRate;
    if (valid && format.mChannelsPerFrame == current.mChannelsPerFrame && sameRate)
      return noErr;
    return kAudioUnitErr_Initialized;
  }
  const ERoute direction = scope == kAudioUnitScope_Input ? kInput : kOutput;
  const int n = static_cast<int>(format.mChannelsPerFrame);
  bus->mHostChannels = 0;
  const bool accepted = valid && CheckBusChannels(direction, bus, n);
  bus->mHostChannels = accepted ? n : bus->mPlugChannels;
  if (accepted && format.mSampleRate > 0.0 && std::isfinite(format.mSampleRate))
    SetSampleRate(format.mSampleRate);
  UpdateInputConnections();
  return accepted ? static_cast<OSStatus>(noErr) : static_cast<OSStatus>(kAudioUnitErr_InvalidProperty);
}

OSStatus IPluginAU::SetMaximumFrames(UInt32 frames)
{
  if (frames == static_cast<UInt32>(GetBlockSize()))
    return noErr;
  if (mActive)
    return kAudioUnitErr_Initialized;
  const int nChans = std::max(MaxNChannels(kInput), MaxNChannels(kOutput));
  if (frames == 0 || frames > static_cast<UInt32>(INT_MAX / 8 / std::max(nChans, 1)))
    return kAudioUnitErr_InvalidPropertyValue;
  const int n = static_cast<int>(frames);
  SetBlockSize(n);
  mInputScratch.Resize(MaxNChannels(kInput) * n);
  mOutputScratch.Resize(MaxNChannels(kOutput) * n);
  if (mInputScratch.Get())
    std::fill_n(mInputScratch.Get(), mInputScratch.GetSize(), 0.f);
  if (mOutputScratch.Get())
    std::fill_n(mOutputScratch.Get(), mOutputScratch.GetSize(), 0.f);
  const bool complete = GetBlockSize() == n && mInputScratch.GetSize() == MaxNChannels(kInput) * n &&
                        mOutputScratch.GetSize() == MaxNChannels(kOutput) * n;
  ResetProcessor();
  return complete ? noErr : static_cast<OSStatus>(memFullErr);
}

OSStatus IPluginAU::MakeConnection(const AudioUnitConnection& connection)
{
  AUInputConnection* record = mInputConnections.Get(static_cast<int>(std::min<UInt32>(connection.destInputNumber, INT_MAX)));
  if (!record)
    return kAudioUnitErr_InvalidProperty;
  *record = AUInputConnection{};
  OSStatus status = noErr;
  if (connection.sourceAudioUnit) {
    AudioStreamBasicDescription format{};
    UInt32 size = sizeof(format);
    status = AudioUnitGetProperty(connection.sourceAudioUnit, kAudioUnitProperty_StreamFormat,
                                  kAudioUnitScope_Output, connection.sourceOutputNumber, &format, &size);
    if (status == noErr)
      status = SetProperty(kAudioUnitProperty_StreamFormat, kAudioUnitScope_Input, connection.destInputNumber,
                           sizeof(format), &format);
    if (status == noErr) {
      record->mUpstreamUnit = connection.sourceAudioUnit;
      record->mUpstreamOutput = connection.sourceOutputNumber;
      AudioUnitRenderProc proc = nullptr;
      UInt32 procSize = sizeof(proc);
      if (AudioUnitGetProperty(connection.sourceAudioUnit, kAudioUnitProperty_FastDispatch, kAudioUnitScope_Global,
                               kAudioUnitRenderSelect, &proc, &procSize) == noErr && proc) {
        record->mUpstreamRenderProc = proc;
        record->mUpstreamObject = GetComponentInstanceStorage(connection.sourceAudioUnit);
      }
    } else {
      status = kAudioUnitErr_InvalidProperty;
    }
  }
  UpdateInputConnections();
  return status;
}

OSStatus IPluginAU::SetRenderCallback(AudioUnitElement element, const AURenderCallbackStruct& callback)
{
  AUInputConnection* record = mInputConnections.Get(static_cast<int>(std::min<UInt32>(element, INT_MAX)));
  if (!record)
    return kAudioUnitErr_InvalidProperty;
  *record = AUInputConnection{};
  if (callback.inputProc) {
    record->mRenderCallback = callback.inputProc;
    record->mRenderCallbackData = callback.inputProcRefCon;
  }
  UpdateInputConnections();
  return noErr;
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

// ---------------------------------------------------------------------------
// Info and get

OSStatus IPluginAU::GetProperty(AudioUnitPropertyID id, AudioUnitScope scope, AudioUnitElement element,
                                UInt32* size, Boolean* writable, void* data)
{
  Boolean writableScratch = false;
  if (!writable)
    writable = &writableScratch;
  *writable = false;
  UInt32 sizeScratch = 0;
  if (!size) {
    if (data)
      return kAudioUnitErr_InvalidPropertyValue;
    size = &sizeScratch;
  }
  const UInt32 hostSize = *size;
  const bool global = scope == kAudioUnitScope_Global;

  // Reports size and writability; with data, refuses a short host buffer.
  auto reply = [&](UInt32 bytes, bool canWrite) {
    *writable = canWrite;
    if (data && hostSize < bytes)
      return false;
    *size = bytes;
    return true;
  };
  constexpr OSStatus kShort = kAudioUnitErr_InvalidPropertyValue;

  switch (id) {
  case kPlugInObjectPropertyID: {
    if (!reply(8, false))
      return kShort;
    if (data) {
      IPluginAPIBase* object = this;
      std::memcpy(data, &object, sizeof(object));
    }
    return noErr;
  }
  case kAudioUnitProperty_ClassInfo:
    if (!reply(8, data != nullptr))
      return kShort;
    return data ? SaveClassInfo(static_cast<CFPropertyListRef*>(data)) : noErr;
  case kAudioUnitProperty_MakeConnection:
    if (!global && scope != kAudioUnitScope_Input)
      return kAudioUnitErr_InvalidProperty;
    return reply(Size<AudioUnitConnection>(), true) ? noErr : kShort;
  case kAudioUnitProperty_SampleRate: {
    if (!reply(8, true))
      return kShort;
    if (data) {
      const Float64 rate = GetSampleRate();
      std::memcpy(data, &rate, sizeof(rate));
    }
    return noErr;
  }
  case kAudioUnitProperty_ParameterList: {
    const UInt32 n = global ? static_cast<UInt32>(NParams()) : 0;
    if (!reply(n * 4, false))
      return kShort;
    if (data) {
      for (UInt32 i = 0; i < n; ++i)
        std::memcpy(static_cast<UInt8*>(data) + 4 * i, &i, 4);
    }
    return noErr;
  }
  case kAudioUnitProperty_ParameterInfo: {
    if (!global)
      return kAudioUnitErr_InvalidProperty;
    if (element >= static_cast<UInt32>(NParams()))
      return kAudioUnitErr_InvalidElement;
    if (!reply(Size<AudioUnitParameterInfo>(), false))
      return kShort;
    return data ? GetParameterInfo(element, static_cast<AudioUnitParameterInfo*>(data)) : noErr;
  }
  case kAudioUnitProperty_FastDispatch:
    return kAudioUnitErr_InvalidElement;
  case kAudioUnitProperty_StreamFormat: {
    const AUBus* bus = GetBus(scope, element);
    if (!bus)
      return kAudioUnitErr_InvalidProperty;
    if (!reply(Size<AudioStreamBasicDescription>(), true))
      return kShort;
    if (data) {
      AudioStreamBasicDescription format;
      FillStreamFormat(*bus, format);
      std::memcpy(data, &format, sizeof(format));
    }
    return noErr;
  }
  case kAudioUnitProperty_ElementCount: {
    if (!reply(4, false))
      return kShort;
    if (data) {
      UInt32 n = 0;
      if (global)
        n = 1;
      else if (scope == kAudioUnitScope_Input)
        n = static_cast<UInt32>(NInputBuses());
      else if (scope == kAudioUnitScope_Output)
        n = static_cast<UInt32>(NOutputBuses());
      std::memcpy(data, &n, 4);
    }
    return noErr;
  }
  case kAudioUnitProperty_Latency:
  case kAudioUnitProperty_TailTime: {
    if (!global)
      return kAudioUnitErr_InvalidProperty;
    if (!reply(8, false))
      return kShort;
    if (data) {
      const double samples = id == kAudioUnitProperty_Latency ? GetLatency() : 0.0;
      const Float64 seconds = GetSampleRate() > 0.0 ? samples / GetSampleRate() : 0.0;
      std::memcpy(data, &seconds, sizeof(seconds));
    }
    return noErr;
  }
  case kAudioUnitProperty_SupportedNumChannels: {
    if (!global)
      return kAudioUnitErr_InvalidProperty;
    const int n = NIOConfigs();
    if (!reply(static_cast<UInt32>(n) * Size<AUChannelInfo>(), false))
      return kShort;
    if (data) {
      for (int c = 0; c < n; ++c) {
        const IOConfig* config = GetIOConfig(c);
        auto count = [config](ERoute direction) -> SInt16 {
          if (config->NBuses(direction) == 0)
            return 0;
          if (config->ContainsWildcard(direction))
            return -1;
          return static_cast<SInt16>(config->GetTotalNChannels(direction));
        };
        const AUChannelInfo info{count(kInput), count(kOutput)};
        std::memcpy(static_cast<UInt8*>(data) + c * sizeof(AUChannelInfo), &info, sizeof(info));
      }
    }
    return noErr;
  }
  case kAudioUnitProperty_MaximumFramesPerSlice: {
    if (!global)
      return kAudioUnitErr_InvalidProperty;
    if (!reply(4, true))
      return kShort;
    if (data) {
      const UInt32 frames = static_cast<UInt32>(GetBlockSize());
      std::memcpy(data, &frames, 4);
    }
    return noErr;
  }
  case kAudioUnitProperty_ParameterValueStrings: {
    if (!global)
      return kAudioUnitErr_InvalidProperty;
    if (element >= static_cast<UInt32>(NParams()))
      return kAudioUnitErr_InvalidElement;
    if (GetParam(static_cast<int>(element))->NDisplayTexts() == 0) {
      *size = 0;
      return kAudioUnitErr_InvalidProperty;
    }
    if (!reply(8, false))
      return kShort;
    return data ? GetParameterValueStrings(element, static_cast<CFArrayRef*>(data)) : noErr;
  }
  case kAudioUnitProperty_AudioChannelLayout:
    return kAudioUnitErr_InvalidPropertyValue;
  case kAudioUnitProperty_BypassEffect:
  case kAudioUnitProperty_LastRenderError:
  case kAudioUnitProperty_OfflineRender: {
    if (!global)
      return kAudioUnitErr_InvalidProperty;
    if (!reply(4, id != kAudioUnitProperty_LastRenderError))
      return kShort;
    if (data) {
      UInt32 value = 0;
      if (id == kAudioUnitProperty_BypassEffect)
        value = GetBypassed() ? 1 : 0;
      else if (id == kAudioUnitProperty_OfflineRender)
        value = mOffline ? 1 : 0;
      std::memcpy(data, &value, 4);
    }
    return noErr;
  }
  case kAudioUnitProperty_SetRenderCallback:
    if ((!global && scope != kAudioUnitScope_Input) || element >= static_cast<UInt32>(NInputBuses()))
      return kAudioUnitErr_InvalidProperty;
    return reply(Size<AURenderCallbackStruct>(), true) ? noErr : kShort;
  case kAudioUnitProperty_FactoryPresets:
    if (!reply(8, false))
      return kShort;
    return data ? GetFactoryPresets(static_cast<CFArrayRef*>(data)) : noErr;
  case kAudioUnitProperty_HostCallbacks:
    if (!global)
      return kAudioUnitErr_InvalidProperty;
    return reply(Size<HostCallbackInfo>(), true) ? noErr : kShort;
  case kAudioUnitProperty_CurrentPreset:
  case kAudioUnitProperty_PresentPreset: {
    if (!reply(Size<AUPreset>(), true))
      return kShort;
    if (data) {
      AUPreset preset{};
      preset.presetNumber = GetCurrentPresetIdx();
      preset.presetName = MakeCFString(GetPresetName(GetCurrentPresetIdx()));
      std::memcpy(data, &preset, sizeof(preset));
    }
    return noErr;
  }
  case kAudioUnitProperty_ElementName: {
    if (!data) {
      *size = 8;
      return kAudioUnitErr_InvalidProperty;
    }
    ERoute direction;
    if (scope == kAudioUnitScope_Output)
      direction = kOutput;
    else if (scope == kAudioUnitScope_Input)
      direction = kInput;
    else
      return kAudioUnitErr_InvalidScope;
    const int nBuses = direction == kInput ? NInputBuses() : NOutputBuses();
    if (element >= static_cast<UInt32>(nBuses))
      return kAudioUnitErr_InvalidElement;
    if (!reply(8, false))
      return kShort;
    UT_String name;
    GetBusName(direction, static_cast<int>(element), nBuses, name);
    CFStringRef text = MakeCFString(name.Get());
    std::memcpy(data, &text, sizeof(text));
    return noErr;
  }
  case kAudioUnitProperty_CocoaUI: {
    if (!HasUI())
      return kAudioUnitErr_InvalidProperty;
    if (!reply(Size<AudioUnitCocoaViewInfo>(), false))
      return kShort;
    if (!data)
      return noErr;
    CFStringRef identifier = MakeCFString(GetBundleID());
    CFBundleRef bundle = identifier ? CFBundleGetBundleWithIdentifier(identifier) : nullptr;
    if (identifier)
      CFRelease(identifier);
    if (!bundle)
      return kAudioUnitErr_InvalidProperty;
    AudioUnitCocoaViewInfo info{};
    info.mCocoaAUViewBundleLocation = CFBundleCopyBundleURL(bundle);
    info.mCocoaAUViewClass[0] = MakeCFString(mViewClassName.Get());
    std::memcpy(data, &info, sizeof(info));
    return noErr;
  }
  case kAudioUnitProperty_SupportedChannelLayoutTags: {
    AudioChannelLayoutTag tags[kMaxLayoutTags];
    const int n = GetChannelLayoutTags(scope, element, tags, kMaxLayoutTags);
    if (!data) {
      *writable = n > 0;
      *size = static_cast<UInt32>(n) * 4;
      return noErr;
    }
    if (n == 0)
      return kAudioUnitErr_InvalidProperty;
    if (!reply(static_cast<UInt32>(n) * 4, true))
      return kShort;
    std::memcpy(data, tags, static_cast<size_t>(n) * 4);
    return noErr;
  }
  case kAudioUnitProperty_ParameterStringFromValue: {
    if (!reply(Size<AudioUnitParameterStringFromValue>(), false))
      return kShort;
    if (!data || !global)
      return noErr;
    auto* record = static_cast<AudioUnitParameterStringFromValue*>(data);
    const IParam* p = ParamForID(record->inParamID);
    if (!p)
      return kAudioUnitErr_InvalidParameter;
    UT_String text;
    p->GetDisplay(record->inValue ? static_cast<double>(*record->inValue) : p->Value(), false, text, true);
    record->outString = MakeCFString(text.Get());
    return noErr;
  }
  case kAudioUnitProperty_ParameterIDName: {
    if (!reply(Size<AudioUnitParameterIDName>(), false))
      return kShort;
    if (!data || !global)
      return noErr;
    auto* record = static_cast<AudioUnitParameterIDName*>(data);
    const IParam* p = ParamForID(record->inID);
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
  case kAudioUnitProperty_ParameterClumpName: {
    if (!reply(Size<AudioUnitParameterNameInfo>(), false))
      return kShort;
    if (!data || !global)
      return noErr;
    auto* record = static_cast<AudioUnitParameterNameInfo*>(data);
    if (record->inID == 0 || record->inID > static_cast<UInt32>(mGroupNames.GetSize()))
      return kAudioUnitErr_PropertyNotInUse;
    record->outName = MakeCFString(mGroupNames.Get(static_cast<int>(record->inID) - 1)->Get());
    return noErr;
  }
  case kAudioUnitProperty_ParameterValueFromString: {
    if (!reply(Size<AudioUnitParameterValueFromString>(), false))
      return kShort;
    if (!data || !global)
      return noErr;
    auto* record = static_cast<AudioUnitParameterValueFromString*>(data);
    const IParam* p = ParamForID(record->inParamID);
    if (!p)
      return kAudioUnitErr_InvalidParameter;
    if (!record->inString)
      return kAudioUnitErr_InvalidPropertyValue;
    char text[256] = "";
    CFStringGetCString(record->inString, text, sizeof(text), kCFStringEncodingUTF8);
    record->outValue = static_cast<AudioUnitParameterValue>(p->StringToValue(text));
    return noErr;
  }
  case kAudioUnitProperty_MIDIOutputCallbackInfo: {
    if (!reply(8, false))
      return kShort;
    if (data) {
      CFStringRef name = CFSTR("midiOut");
      const void* values[] = {name};
      CFArrayRef array = CFArrayCreate(kCFAllocatorDefault, values, 1, &kCFTypeArrayCallBacks);
      if (!array)
        return coreFoundationUnknownErr;
      std::memcpy(data, &array, sizeof(array));
    }
    return noErr;
  }
  case kAudioUnitProperty_MIDIOutputCallback:
    if (data)
      return kAudioUnitErr_InvalidProperty;
    return reply(Size<AUMIDIOutputCallbackStruct>(), true) ? noErr : kShort;
  case kMusicDeviceProperty_InstrumentCount: {
    if (!global || GetPlugType() != 1)
      return kAudioUnitErr_InvalidProperty;
    if (!reply(4, false))
      return kShort;
    if (data) {
      const UInt32 one = 1;
      std::memcpy(data, &one, 4);
    }
    return noErr;
  }
  default:
    return kAudioUnitErr_InvalidProperty;
  }
}

// ---------------------------------------------------------------------------
// Set

OSStatus IPluginAU::SetProperty(AudioUnitPropertyID id, AudioUnitScope scope, AudioUnitElement element, UInt32 size,
                                const void* data)
{
  // The host's record must be all there before a byte of it is read.
  auto have = [&](UInt32 bytes) { return data && size >= bytes; };
  constexpr OSStatus kShort = kAudioUnitErr_InvalidPropertyValue;
  const bool global = scope == kAudioUnitScope_Global;
  OSStatus status = kAudioUnitErr_InvalidProperty;

  switch (id) {
  case kAudioUnitProperty_ClassInfo: {
    if (!have(sizeof(CFPropertyListRef)))
      return kShort;
    CFPropertyListRef plist;
    std::memcpy(&plist, data, sizeof(plist));
    status = RestoreClassInfo(plist);
    break;
  }
  case kAudioUnitProperty_MakeConnection: {
    if (!global && scope != kAudioUnitScope_Input)
      return kAudioUnitErr_InvalidProperty;
    if (!have(sizeof(AudioUnitConnection)))
      return kShort;
    AudioUnitConnection connection;
    std::memcpy(&connection, data, sizeof(connection));
    status = MakeConnection(connection);
    break;
  }
  case kAudioUnitProperty_SampleRate: {
    if (!have(sizeof(Float64)))
      return kShort;
    Float64 rate;
    std::memcpy(&rate, data, sizeof(rate));
    if (!(rate > 0.0) || !std::isfinite(rate))
      return kAudioUnitErr_InvalidPropertyValue;
    SetSampleRate(rate);
    ResetProcessor();
    status = noErr;
    break;
  }
  case kAudioUnitProperty_StreamFormat: {
    if (!GetBus(scope, element))
      return kAudioUnitErr_InvalidProperty;
    if (!have(sizeof(AudioStreamBasicDescription)))
      return kShort;
    AudioStreamBasicDescription format;
    std::memcpy(&format, data, sizeof(format));
    status = SetStreamFormat(scope, element, format);
    break;
  }
  case kAudioUnitProperty_MaximumFramesPerSlice: {
    if (!have(4))
      return kShort;
    UInt32 frames;
    std::memcpy(&frames, data, 4);
    status = SetMaximumFrames(frames);
    break;
  }
  case kAudioUnitProperty_BypassEffect: {
    if (!have(4))
      return kShort;
    UInt32 value;
    std::memcpy(&value, data, 4);
    SetBypassed(value != 0);
    OnActivate(value == 0);
    ResetProcessor();
    status = noErr;
    break;
  }
  case kAudioUnitProperty_SetRenderCallback: {
    if (scope != kAudioUnitScope_Input || element >= static_cast<UInt32>(NInputBuses()))
      return kAudioUnitErr_InvalidProperty;
    if (!have(sizeof(AURenderCallbackStruct)))
      return kShort;
    AURenderCallbackStruct callback;
    std::memcpy(&callback, data, sizeof(callback));
    status = SetRenderCallback(element, callback);
    break;
  }
  case kAudioUnitProperty_HostCallbacks:
    if (!global)
      return kAudioUnitErr_InvalidProperty;
    if (!have(sizeof(HostCallbackInfo)))
      return kShort;
    std::memcpy(&mHostCallbacks, data, sizeof(mHostCallbacks));
    status = noErr;
    break;
  case kAudioUnitProperty_CurrentPreset:
  case kAudioUnitProperty_PresentPreset: {
    if (!have(sizeof(AUPreset)))
      return kShort;
    AUPreset preset;
    std::memcpy(&preset, data, sizeof(preset));
    status = SetCurrentPreset(preset);
    break;
  }
  case kAudioUnitProperty_OfflineRender: {
    if (!have(4))
      return kShort;
    UInt32 value;
    std::memcpy(&value, data, 4);
    mOffline = value != 0;
    ResetProcessor();
    status = noErr;
    break;
  }
  case kAudioUnitProperty_AUHostIdentifier: {
    if (!have(sizeof(AUHostIdentifier)))
      return kShort;
    if (GetHost() == kHostUninit) {
      AUHostIdentifier identifier;
      std::memcpy(&identifier, data, sizeof(identifier));
      SetHostFromIdentifier(identifier);
    }
    status = noErr;
    break;
  }
  case kAudioUnitProperty_MIDIOutputCallback:
    if (!have(sizeof(AUMIDIOutputCallbackStruct)))
      return kShort;
    std::memcpy(&mMidiOutCallback, data, sizeof(mMidiOutCallback));
    status = noErr;
    break;
  default:
    return kAudioUnitErr_InvalidProperty;
  }
  if (status == noErr)
    NotifyPropertyListeners(id, scope, 0);
  return status;
}

} // namespace plugin
