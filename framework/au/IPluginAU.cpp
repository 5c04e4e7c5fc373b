#include "IPluginAU.h"

#include <AudioUnit/MusicDevice.h>
#include <CoreServices/CoreServices.h>

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <cstring>
#include <new>

namespace plugin {

// ---------------------------------------------------------------------------
// Construction

IPluginAU::IPluginAU(const InstanceInfo& info, const Config& config)
: IPluginAPIBase(config, kAPIAU), IPluginProcessor(config, kAPIAU)
{
  mViewClassName.Set(info.mCocoaViewFactoryClassName.Get());
  SetMakeGraphicsFunc(info.mMakeGraphicsFunc);
  SetLayoutFunc(info.mLayoutFunc);

  auto busesOf = [this](ERoute direction) {
    int n = MaxNBuses(direction);
    // A lone input bus without channels is no bus at all.
    if (direction == kInput && n == 1 && MaxNChannelsForBus(kInput, 0) == 0)
      n = 0;
    return n;
  };

  for (ERoute direction : {kInput, kOutput}) {
    UT_PtrList<AUBus>& buses = direction == kInput ? mInputBuses : mOutputBuses;
    const int n = busesOf(direction);
    int first = 0;
    for (int i = 0; i < n; ++i) {
      if (direction == kInput) {
        AUInputConnection* connection = new AUInputConnection{};
        if (!mInputConnections.Add(connection))
          delete connection;
      }
      AUBus* bus = new AUBus;
      bus->mPlugChannels = std::abs(MaxNChannelsForBus(direction, i));
      bus->mFirstChannel = first;
      first += bus->mPlugChannels;
      if (!buses.Add(bus))
        delete bus;
    }
  }

  UpdateInputConnections();
  SetBlockSize(kDefaultBlockSize);
  std::fill_n(mInputScratch.Resize(MaxNChannels(kInput) * kDefaultBlockSize), mInputScratch.GetSize(), 0.f);
  std::fill_n(mOutputScratch.Resize(MaxNChannels(kOutput) * kDefaultBlockSize), mOutputScratch.GetSize(), 0.f);
  // The plug-in class builds its processing for these in its constructor.
  mResetSampleRate = GetSampleRate();
  mResetBlockSize = GetBlockSize();
  CreateTimer();
}

IPluginAU::~IPluginAU()
{
  StopTimer();
  mInputBuses.Empty(true);
  mOutputBuses.Empty(true);
  mInputConnections.Empty(true);
  mPropertyListeners.Empty(true);
  mRenderNotify.Empty(true);
  mGroupNames.Empty(true);
  for (CFStringRef name : mUnitNames) {
    if (name)
      CFRelease(name);
  }
}

// ---------------------------------------------------------------------------
// Component Manager door

namespace {

// Argument i (0 = first after the instance) of a call. The
// 64-bit block holds the instance in params[0] and the arguments in call
// order after it, each at the start of its own long slot.
template <class T> T Arg(const ComponentParameters* params, int i)
{
  static_assert(sizeof(T) <= sizeof(long), "every argument fits one slot");
  T value;
  std::memcpy(&value, &params->params[1 + i], sizeof(T));
  return value;
}

int NArgs(const ComponentParameters* params) { return params->paramSize / static_cast<int>(sizeof(long)); }

// Selectors a Component Manager host may ask about.
bool CanDo(int selector)
{
  switch (selector) {
  case kAudioUnitInitializeSelect:
  case kAudioUnitUninitializeSelect:
  case kAudioUnitGetPropertyInfoSelect:
  case kAudioUnitGetPropertySelect:
  case kAudioUnitSetPropertySelect:
  case kAudioUnitGetParameterSelect:
  case kAudioUnitSetParameterSelect:
  case kAudioUnitResetSelect:
  case kAudioUnitAddPropertyListenerSelect:
  case kAudioUnitRemovePropertyListenerSelect:
  case kAudioUnitRenderSelect:
  case kAudioUnitAddRenderNotifySelect:
  case kAudioUnitRemoveRenderNotifySelect:
  case kAudioUnitScheduleParametersSelect: return true;
  default: return false;
  }
}

// Arguments each selector needs: a shorter block is refused before reading.
int ArgsNeeded(int selector)
{
  switch (selector) {
  case kComponentOpenSelect:
  case kComponentCloseSelect:
  case kComponentCanDoSelect: return 1;
  case kAudioUnitResetSelect: return 2;
  case kAudioUnitAddPropertyListenerSelect:
  case kAudioUnitRemovePropertyListenerWithUserDataSelect: return 3;
  case kAudioUnitRemovePropertyListenerSelect:
  case kAudioUnitAddRenderNotifySelect:
  case kAudioUnitRemoveRenderNotifySelect:
  case kAudioUnitScheduleParametersSelect:
  case kMusicDeviceSysExSelect: return 2;
  case kAudioUnitGetParameterSelect: return 4;
  case kAudioUnitGetPropertyInfoSelect:
  case kAudioUnitGetPropertySelect:
  case kAudioUnitSetPropertySelect:
  case kAudioUnitSetParameterSelect:
  case kAudioUnitRenderSelect: return 5;
  case kMusicDeviceMIDIEventSelect: return 4;
  case kMusicDeviceStartNoteSelect: return 5;
  case kMusicDevicePrepareInstrumentSelect:
  case kMusicDeviceReleaseInstrumentSelect: return 1;
  case kMusicDeviceStopNoteSelect: return 3;
  default: return 0;
  }
}

} // namespace

OSStatus IPluginAU::ComponentEntry(ComponentParameters* params, void* storage, MakePlugFunc makePlug)
{
  if (!params)
    return paramErr;
  const int select = params->what;
  const int n = NArgs(params);
  if (n < ArgsNeeded(select))
    return paramErr;
  IPluginAU* plug = static_cast<IPluginAU*>(storage);
  try {
    switch (select) {
    case kComponentOpenSelect: {
      auto instance = Arg<ComponentInstance>(params, 0);
      if (!makePlug)
        return kAudioUnitErr_FailedInitialization;
      IPluginAU* made = makePlug(nullptr);
      if (!made)
        return memFullErr;
      made->PruneUninitializedPresets();
      made->mComponentInstance = instance;
      SetComponentInstanceStorage(instance, reinterpret_cast<Handle>(made));
      return noErr;
    }
    case kComponentCloseSelect:
      if (plug) {
        plug->ResetConnections();
        delete plug;
      }
      return noErr;
    case kComponentCanDoSelect: return CanDo(Arg<SInt16>(params, 0)) ? 1 : 0;
    case kComponentVersionSelect: return plug ? plug->GetPluginVersion(false) : badComponentInstance;
    default: break;
    }
    if (!plug)
      return badComponentInstance;
    switch (select) {
    case kAudioUnitInitializeSelect: return plug->Initialize();
    case kAudioUnitUninitializeSelect: return plug->Uninitialize();
    case kAudioUnitGetPropertyInfoSelect:
      return plug->GetProperty(Arg<AudioUnitPropertyID>(params, 0), Arg<AudioUnitScope>(params, 1),
                               Arg<AudioUnitElement>(params, 2), Arg<UInt32*>(params, 3), Arg<Boolean*>(params, 4),
                               nullptr);
    case kAudioUnitGetPropertySelect: {
      UInt32* size = Arg<UInt32*>(params, 4);
      Boolean writable = false;
      return plug->GetProperty(Arg<AudioUnitPropertyID>(params, 0), Arg<AudioUnitScope>(params, 1),
                               Arg<AudioUnitElement>(params, 2), size, &writable, Arg<void*>(params, 3));
    }
    case kAudioUnitSetPropertySelect:
      return plug->SetProperty(Arg<AudioUnitPropertyID>(params, 0), Arg<AudioUnitScope>(params, 1),
                               Arg<AudioUnitElement>(params, 2), Arg<UInt32>(params, 4), Arg<const void*>(params, 3));
    case kAudioUnitGetParameterSelect:
      return plug->GetParameter(Arg<AudioUnitParameterID>(params, 0), Arg<AudioUnitScope>(params, 1),
                                Arg<AudioUnitElement>(params, 2), Arg<AudioUnitParameterValue*>(params, 3));
    case kAudioUnitSetParameterSelect:
      return plug->SetParameter(Arg<AudioUnitParameterID>(params, 0), Arg<AudioUnitScope>(params, 1),
                                Arg<AudioUnitElement>(params, 2), Arg<AudioUnitParameterValue>(params, 3),
                                Arg<UInt32>(params, 4));
    case kAudioUnitResetSelect: return plug->Reset(Arg<AudioUnitScope>(params, 0), Arg<AudioUnitElement>(params, 1));
    case kAudioUnitAddPropertyListenerSelect:
      return plug->AddPropertyListener(Arg<AudioUnitPropertyID>(params, 0),
                                       Arg<AudioUnitPropertyListenerProc>(params, 1), Arg<void*>(params, 2));
    case kAudioUnitRemovePropertyListenerSelect:
      return plug->RemovePropertyListener(Arg<AudioUnitPropertyID>(params, 0),
                                          Arg<AudioUnitPropertyListenerProc>(params, 1));
    case kAudioUnitRemovePropertyListenerWithUserDataSelect:
      return plug->RemovePropertyListenerWithUserData(
        Arg<AudioUnitPropertyID>(params, 0), Arg<AudioUnitPropertyListenerProc>(params, 1), Arg<void*>(params, 2));
    case kAudioUnitRenderSelect:
      return plug->Render(Arg<AudioUnitRenderActionFlags*>(params, 0), Arg<const AudioTimeStamp*>(params, 1),
                          Arg<UInt32>(params, 2), Arg<UInt32>(params, 3), Arg<AudioBufferList*>(params, 4));
    case kAudioUnitAddRenderNotifySelect:
      return plug->AddRenderNotify(Arg<AURenderCallback>(params, 0), Arg<void*>(params, 1));
    case kAudioUnitRemoveRenderNotifySelect:
      return plug->RemoveRenderNotify(Arg<AURenderCallback>(params, 0), Arg<void*>(params, 1));
    case kAudioUnitScheduleParametersSelect:
      return plug->ScheduleParameters(Arg<const AudioUnitParameterEvent*>(params, 0), Arg<UInt32>(params, 1));
    case kMusicDeviceMIDIEventSelect:
      return plug->MIDIEvent(Arg<UInt32>(params, 0), Arg<UInt32>(params, 1), Arg<UInt32>(params, 2),
                             Arg<UInt32>(params, 3));
    case kMusicDeviceSysExSelect: return plug->SysEx(Arg<const UInt8*>(params, 0), Arg<UInt32>(params, 1));
    case kMusicDevicePrepareInstrumentSelect:
    case kMusicDeviceReleaseInstrumentSelect:
    case kMusicDeviceStopNoteSelect: return noErr;
    case kMusicDeviceStartNoteSelect: {
      auto* noteID = Arg<NoteInstanceID*>(params, 2);
      const auto* note = Arg<const MusicDeviceNoteParams*>(params, 4);
      if (noteID && note)
        *noteID = static_cast<NoteInstanceID>(note->mPitch);
      return noErr;
    }
    default: return badComponentSelector;
    }
  } catch (const std::bad_alloc&) {
    return memFullErr;
  } catch (...) {
    return kAudioUnitErr_FailedInitialization;
  }
}

// ---------------------------------------------------------------------------
// Lifecycle

void IPluginAU::IdentifyHostFromMainBundle()
{
  CFBundleRef bundle = CFBundleGetMainBundle();
  char name[256] = "";
  int version = 0;
  if (bundle) {
    CFStringRef identifier = CFBundleGetIdentifier(bundle);
    if (identifier)
      CFStringGetCString(identifier, name, sizeof(name), kCFStringEncodingUTF8);
    CFTypeRef value = CFBundleGetValueForInfoDictionaryKey(bundle, CFSTR("CFBundleVersion"));
    char text[64] = "";
    if (value && CFGetTypeID(value) == CFStringGetTypeID() &&
        CFStringGetCString(static_cast<CFStringRef>(value), text, sizeof(text), kCFStringEncodingUTF8)) {
      int parts[3] = {0, 0, 0};
      std::sscanf(text, "%d.%d.%d", &parts[0], &parts[1], &parts[2]);
      version = (parts[0] << 16) | ((parts[1] << 8) & 0xFFFF) | (parts[2] & 0xFF);
    }
  }
  SetHost(name, version);
}

OSStatus IPluginAU::Initialize()
{
  if (GetHost() == kHostUninit)
    IdentifyHostFromMainBundle();
  const int nIn = ChannelSum(kInput);
  const int nOut = ChannelSum(kOutput);
  if (!(nIn == 0 && nOut == 0) && !LegalIO(nIn, nOut))
    return badComponentSelector;
  // A stream format may have brought a new rate without a reset; the first
  // render must not run on processing built for the old one.
  if (GetSampleRate() != mResetSampleRate || GetBlockSize() != mResetBlockSize)
    ResetProcessor();
  mActive = true;
  OnParamReset(kReset);
  OnActivate(true);
  return noErr;
}

OSStatus IPluginAU::Uninitialize()
{
  mActive = false;
  OnActivate(false);
  return noErr;
}

OSStatus IPluginAU::Reset(AudioUnitScope, AudioUnitElement)
{
  ResetProcessor();
  return noErr;
}

void IPluginAU::ResetProcessor()
{
  mResetSampleRate = GetSampleRate();
  mResetBlockSize = GetBlockSize();
  OnReset();
}

int IPluginAU::ChannelSum(ERoute direction) const
{
  const UT_PtrList<AUBus>& buses = direction == kInput ? mInputBuses : mOutputBuses;
  int sum = -1;
  for (int i = 0; i < buses.GetSize(); ++i) {
    const int n = buses.Get(i)->mHostChannels;
    if (n >= 0)
      sum = std::max(sum, 0) + n;
  }
  return sum;
}

void IPluginAU::UpdateInputConnections()
{
  SetChannelConnections(kInput, 0, MaxNChannels(kInput), false);
  for (int i = 0; i < mInputBuses.GetSize(); ++i) {
    AUBus* bus = mInputBuses.Get(i);
    AUInputConnection* connection = mInputConnections.Get(i);
    if (!connection)
      continue;
    if (connection->mUpstreamRenderProc && connection->mUpstreamObject)
      connection->mConnectionType = kDirectFastProc;
    else if (connection->mUpstreamUnit)
      connection->mConnectionType = kDirectNoFastProc;
    else if (connection->mRenderCallback)
      connection->mConnectionType = kRenderCallback;
    else
      connection->mConnectionType = kNotConnected;

    bus->mConnected = connection->mConnectionType != kNotConnected;
    if (!bus->mConnected)
      continue;
    if (bus->mHostChannels < 0)
      bus->mHostChannels = bus->mPlugChannels;
    const int used = std::min(bus->mHostChannels, bus->mPlugChannels);
    SetChannelConnections(kInput, bus->mFirstChannel, used, true);
    SetChannelConnections(kInput, bus->mFirstChannel + used, std::max(bus->mPlugChannels - used, 0), false);
  }
}

void IPluginAU::ResetConnections()
{
  for (int i = 0; i < mInputBuses.GetSize(); ++i) {
    AUBus* bus = mInputBuses.Get(i);
    bus->mConnected = false;
    bus->mHostChannels = -1;
    if (AUInputConnection* connection = mInputConnections.Get(i))
      *connection = AUInputConnection{};
  }
  for (int i = 0; i < mOutputBuses.GetSize(); ++i) {
    AUBus* bus = mOutputBuses.Get(i);
    bus->mConnected = false;
    bus->mHostChannels = -1;
    bus->mRenderBuffers = -1;
  }
}

// ---------------------------------------------------------------------------
// Parameters

OSStatus IPluginAU::GetParameter(AudioUnitParameterID id, AudioUnitScope scope, AudioUnitElement,
                                 AudioUnitParameterValue* value)
{
  if (scope != kAudioUnitScope_Global)
    return kAudioUnitErr_InvalidProperty;
  const IParam* param = ParamForID(id);
  if (!param)
    return kAudioUnitErr_InvalidParameter;
  if (!value)
    return paramErr;
  *value = static_cast<AudioUnitParameterValue>(param->Value());
  return noErr;
}

OSStatus IPluginAU::SetOneParameter(AudioUnitParameterID id, AudioUnitParameterValue value, UInt32 bufferOffset)
{
  IParam* param = ParamForID(id);
  if (!param)
    return kAudioUnitErr_InvalidParameter;
  const int idx = static_cast<int>(id);
  if (!param->Set(static_cast<double>(value)))
    return kAudioUnitErr_InvalidParameterValue; // NaN or infinity: nothing changes
  SendParameterValueFromAPI(idx, static_cast<double>(value), false);
  OnParamChange(idx, kHost, static_cast<int>(bufferOffset));
  return noErr;
}

OSStatus IPluginAU::SetParameter(AudioUnitParameterID id, AudioUnitScope scope, AudioUnitElement,
                                 AudioUnitParameterValue value, UInt32 bufferOffset)
{
  if (scope != kAudioUnitScope_Global)
    return kAudioUnitErr_InvalidProperty;
  return SetOneParameter(id, value, bufferOffset);
}

OSStatus IPluginAU::ScheduleParameters(const AudioUnitParameterEvent* events, UInt32 count)
{
  if (!events && count > 0)
    return paramErr;
  for (UInt32 i = 0; i < count; ++i) {
    const AudioUnitParameterEvent& event = events[i];
    if (event.eventType != kParameterEvent_Immediate)
      continue;
    if (event.scope != kAudioUnitScope_Global)
      return kAudioUnitErr_InvalidProperty;
    const OSStatus status =
      SetOneParameter(event.parameter, event.eventValues.immediate.value, event.eventValues.immediate.bufferOffset);
    if (status != noErr)
      return status;
  }
  return noErr;
}

// ---------------------------------------------------------------------------
// Listeners

OSStatus IPluginAU::AddPropertyListener(AudioUnitPropertyID id, AudioUnitPropertyListenerProc proc, void* userData)
{
  for (int i = 0; i < mPropertyListeners.GetSize(); ++i) {
    const AUPropertyListener* l = mPropertyListeners.Get(i);
    if (l->mPropID == id && l->mListenerProc == proc)
      return noErr;
  }
  AUPropertyListener* listener = new AUPropertyListener{id, proc, userData};
  if (!mPropertyListeners.Add(listener)) {
    delete listener;
    return memFullErr;
  }
  return noErr;
}

OSStatus IPluginAU::RemovePropertyListener(AudioUnitPropertyID id, AudioUnitPropertyListenerProc proc)
{
  for (int i = 0; i < mPropertyListeners.GetSize(); ++i) {
    const AUPropertyListener* l = mPropertyListeners.Get(i);
    if (l->mPropID == id && l->mListenerProc == proc) {
      mPropertyListeners.Delete(i, true);
      break;
    }
  }
  return noErr;
}

OSStatus IPluginAU::RemovePropertyListenerWithUserData(AudioUnitPropertyID id, AudioUnitPropertyListenerProc proc,
                                                       void* userData)
{
  for (int i = 0; i < mPropertyListeners.GetSize(); ++i) {
    const AUPropertyListener* l = mPropertyListeners.Get(i);
    if (l->mPropID == id && l->mListenerProc == proc && l->mProcArgs == userData) {
      mPropertyListeners.Delete(i, true);
      break;
    }
  }
  return noErr;
}

OSStatus IPluginAU::AddRenderNotify(AURenderCallback proc, void* refCon)
{
  AURenderNotify* notify = new AURenderNotify{proc, refCon};
  if (!mRenderNotify.Add(notify)) {
    delete notify;
    return memFullErr;
  }
  return noErr;
}

OSStatus IPluginAU::RemoveRenderNotify(AURenderCallback proc, void*)
{
  for (int i = 0; i < mRenderNotify.GetSize(); ++i) {
    if (mRenderNotify.Get(i)->mProc == proc) {
      mRenderNotify.Delete(i, true);
      break;
    }
  }
  return noErr;
}

void IPluginAU::NotifyPropertyListeners(AudioUnitPropertyID id, AudioUnitScope scope, AudioUnitElement element)
{
  // A listener may add or remove listeners: walk by index, re-reading the size.
  for (int i = 0; i < mPropertyListeners.GetSize(); ++i) {
    const AUPropertyListener* l = mPropertyListeners.Get(i);
    if (l->mPropID == id && l->mListenerProc)
      l->mListenerProc(l->mProcArgs, mComponentInstance, id, scope, element);
  }
}

// ---------------------------------------------------------------------------
// MIDI in

OSStatus IPluginAU::MIDIEvent(UInt32 status, UInt32 data1, UInt32 data2, UInt32 offset)
{
  if (!DoesMIDIIn())
    return badComponentSelector;
  const IMidiMsg msg(static_cast<int32_t>(offset), static_cast<uint8_t>(status), static_cast<uint8_t>(data1),
                     static_cast<uint8_t>(data2));
  ProcessMidiMsg(msg);
  mMidiMsgsFromProcessor.Push(msg);
  return noErr;
}

OSStatus IPluginAU::SysEx(const UInt8* data, UInt32 length)
{
  if (!DoesMIDIIn())
    return badComponentSelector;
  if (!data && length > 0)
    return paramErr;
  ProcessSysEx(SysExData(ISysEx(0, data, static_cast<int32_t>(std::min<UInt32>(length, 0x7FFFFFFF)))));
  return noErr;
}

// ---------------------------------------------------------------------------
// Host notifications

namespace {

void NotifyParamEvent(AudioUnitEventType type, AudioComponentInstance instance, int paramIdx)
{
  AudioUnitEvent event{};
  event.mEventType = type;
  event.mArgument.mParameter.mAudioUnit = instance;
  event.mArgument.mParameter.mParameterID = static_cast<AudioUnitParameterID>(paramIdx);
  event.mArgument.mParameter.mScope = kAudioUnitScope_Global;
  event.mArgument.mParameter.mElement = 0;
  AUEventListenerNotify(nullptr, nullptr, &event);
}

} // namespace

void IPluginAU::BeginInformHostOfParamChange(int paramIdx)
{
  NotifyParamEvent(kAudioUnitEvent_BeginParameterChangeGesture, mComponentInstance, paramIdx);
}

void IPluginAU::EndInformHostOfParamChange(int paramIdx)
{
  NotifyParamEvent(kAudioUnitEvent_EndParameterChangeGesture, mComponentInstance, paramIdx);
}

void IPluginAU::InformHostOfParamChange(int paramIdx, double)
{
  NotifyParamEvent(kAudioUnitEvent_ParameterValueChange, mComponentInstance, paramIdx);
}

void IPluginAU::InformHostOfPresetChange()
{
  NotifyPropertyListeners(kAudioUnitProperty_PresentPreset, kAudioUnitScope_Global, 0);
}

void IPluginAU::InformHostOfParameterDetailsChange()
{
  NotifyPropertyListeners(kAudioUnitProperty_ParameterList, kAudioUnitScope_Global, 0);
  NotifyPropertyListeners(kAudioUnitProperty_ParameterInfo, kAudioUnitScope_Global, 0);
}

void IPluginAU::SetLatency(int samples)
{
  IPluginProcessor::SetLatency(samples);
  NotifyPropertyListeners(kAudioUnitProperty_Latency, kAudioUnitScope_Global, 0);
}

// ---------------------------------------------------------------------------
// MIDI out. Packet lists live on the stack: the render thread sends SysEx.

namespace {

// Room for the list header and a packet per 256 bytes of the largest SysEx,
// or for a whole block of short messages.
constexpr size_t kPacketListBytes = 4 + (8 + 2 + 256) * 4;

} // namespace

bool IPluginAU::SendPacketList(const MIDIPacketList* list)
{
  return mMidiOutCallback.midiOutputCallback(mMidiOutCallback.userData, &mLastRenderTimeStamp, 0, list) == noErr;
}

bool IPluginAU::SendMidiMsg(const IMidiMsg& msg)
{
  if (!mMidiOutCallback.midiOutputCallback)
    return false;
  alignas(8) Byte storage[kPacketListBytes];
  MIDIPacketList* list = reinterpret_cast<MIDIPacketList*>(storage);
  MIDIPacket* packet = MIDIPacketListInit(list);
  const Byte data[3] = {msg.mStatus, msg.mData1, msg.mData2};
  packet = MIDIPacketListAdd(list, sizeof(storage), packet, static_cast<MIDITimeStamp>(msg.mOffset), 3, data);
  return packet && SendPacketList(list);
}

bool IPluginAU::SendMidiMsgs(UT_TypedBuf<IMidiMsg>& msgs)
{
  if (!mMidiOutCallback.midiOutputCallback)
    return false;
  // Each message whole in its own packet; what does not fit goes in the next list.
  alignas(8) Byte storage[kPacketListBytes];
  MIDIPacketList* list = reinterpret_cast<MIDIPacketList*>(storage);
  bool allSent = true;
  int i = 0;
  const int n = msgs.GetSize();
  while (i < n) {
    MIDIPacket* packet = MIDIPacketListInit(list);
    int added = 0;
    for (; i < n; ++i, ++added) {
      const IMidiMsg& msg = msgs.Get()[i];
      const Byte data[3] = {msg.mStatus, msg.mData1, msg.mData2};
      MIDIPacket* next =
        MIDIPacketListAdd(list, sizeof(storage), packet, static_cast<MIDITimeStamp>(msg.mOffset), 3, data);
      if (!next)
        break;
      packet = next;
    }
    if (added == 0)
      return false;
    allSent &= SendPacketList(list);
  }
  return allSent;
}

bool IPluginAU::SendSysEx(const SysExData& msg)
{
  if (!mMidiOutCallback.midiOutputCallback)
    return false;
  alignas(8) Byte storage[kPacketListBytes];
  MIDIPacketList* list = reinterpret_cast<MIDIPacketList*>(storage);
  MIDIPacket* packet = MIDIPacketListInit(list);
  const int size = std::clamp(msg.mSize, 0, SysExData::kMaxBytes);
  for (int pos = 0; pos < size; pos += 256) {
    const ByteCount n = static_cast<ByteCount>(std::min(256, size - pos));
    packet =
      MIDIPacketListAdd(list, sizeof(storage), packet, static_cast<MIDITimeStamp>(msg.mOffset), n, msg.mData + pos);
    if (!packet)
      return false;
  }
  return SendPacketList(list);
}

} // namespace plugin
