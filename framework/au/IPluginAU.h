#pragma once
// The Audio Unit (version 2) binding of the plug-in object: both doors
// (Component Manager entry and the AudioComponent method table), lifecycle,
// parameters, listeners, properties, class info and render.
//
// Threads: construction, destruction, Initialize/Uninitialize, properties
// and listeners run on the host's main thread; Render and Reset on its audio
// thread; GetParameter/SetParameter/ScheduleParameters on any thread (the
// values are atomics, the editor hears through the lock-free queues).
// Render allocates nothing and takes no lock: buffer lists are built on the
// stack and buffers the host leaves without data use the scratch sized by
// the maximum frames per slice (512 until the host sets it). The maximum
// frames and the stream format cannot change while initialized, so a render
// never sees its buffers move.
//
// Every host-facing call checks its arguments and answers a status; no
// exception leaves the unit.

#include <AudioToolbox/AudioToolbox.h>
#include <AudioUnit/AudioUnit.h>
#include <CoreMIDI/CoreMIDI.h>

#include <vector>

#include "IPluginAPIBase.h"
#include "IPluginProcessor.h"
#include "Config.h"

namespace plugin {

// The unit's private property: the address of the plug-in object (8 bytes),
// read by the view factory.
constexpr AudioUnitPropertyID kPlugInObjectPropertyID = static_cast<AudioUnitPropertyID>(-101);

// One input or output bus.
struct AUBus {
  bool mConnected = false;
  int32_t mHostChannels = -1;  // what the host uses; -1 until known
  int32_t mPlugChannels = 0;   // what the processor offers on this bus
  int32_t mFirstChannel = 0;   // index of its first channel in the processor
  int32_t mRenderBuffers = -1; // output buses: buffer count the channels were last laid out for
};

enum EAUConnectionType : int32_t { kNotConnected = 0, kDirectFastProc = 1, kDirectNoFastProc = 2, kRenderCallback = 3 };

// Where one input bus pulls its audio from; all zero when disconnected.
struct AUInputConnection {
  void* mUpstreamObject;
  AudioUnit mUpstreamUnit;
  UInt32 mUpstreamOutput;
  AudioUnitRenderProc mUpstreamRenderProc;
  AURenderCallback mRenderCallback;
  void* mRenderCallbackData;
  int32_t mConnectionType;
};

struct AUPropertyListener {
  AudioUnitPropertyID mPropID;
  AudioUnitPropertyListenerProc mListenerProc;
  void* mProcArgs;
};

struct AURenderNotify {
  AURenderCallback mProc;
  void* mRefCon;
};

class IPluginAU : public IPluginAPIBase, public IPluginProcessor {
public:
  // Channels one input bus can pull through the stack buffer list.
  static constexpr int kMaxBusChannels = 64;
  static constexpr int kDefaultBlockSize = 512;

  // Makes the plug-in object: in memory when given, else with new. Used by
  // the Component Manager open.
  using MakePlugFunc = IPluginAU* (*)(void* memory);

  IPluginAU(const InstanceInfo& info, const Config& config);
  ~IPluginAU() override;

  // --- Component Manager door: selector and arguments in params (last
  // argument first, the instance after them); storage is the plug-in object
  // (null before open). makePlug builds the object for the open selector.
  static OSStatus ComponentEntry(ComponentParameters* params, void* storage, MakePlugFunc makePlug);

  // --- selectors (both doors land here)
  OSStatus Initialize();
  OSStatus Uninitialize();
  OSStatus Reset(AudioUnitScope scope, AudioUnitElement element);
  OSStatus GetParameter(AudioUnitParameterID id, AudioUnitScope scope, AudioUnitElement element,
                        AudioUnitParameterValue* value);
  OSStatus SetParameter(AudioUnitParameterID id, AudioUnitScope scope, AudioUnitElement element,
                        AudioUnitParameterValue value, UInt32 bufferOffset);
  OSStatus ScheduleParameters(const AudioUnitParameterEvent* events, UInt32 count);
  OSStatus AddPropertyListener(AudioUnitPropertyID id, AudioUnitPropertyListenerProc proc, void* userData);
  OSStatus RemovePropertyListener(AudioUnitPropertyID id, AudioUnitPropertyListenerProc proc);
  OSStatus RemovePropertyListenerWithUserData(AudioUnitPropertyID id, AudioUnitPropertyListenerProc proc,
                                              void* userData);
  OSStatus AddRenderNotify(AURenderCallback proc, void* refCon);
  OSStatus RemoveRenderNotify(AURenderCallback proc, void* refCon);
  OSStatus MIDIEvent(UInt32 status, UInt32 data1, UInt32 data2, UInt32 offset);
  OSStatus SysEx(const UInt8* data, UInt32 length);

  // Property info (data null: size and writable only) and get. With data,
  // *size is the host's buffer size on entry: a buffer too small for the
  // property answers -10851 and writes nothing; on success *size is the
  // size written.
  OSStatus GetProperty(AudioUnitPropertyID id, AudioUnitScope scope, AudioUnitElement element, UInt32* size,
                       Boolean* writable, void* data);
  // Listeners of the id hear about a set only when it succeeded.
  OSStatus SetProperty(AudioUnitPropertyID id, AudioUnitScope scope, AudioUnitElement element, UInt32 size,
                       const void* data);

  // Audio thread. Renders nFrames (at most the maximum frames per slice) of
  // output bus busIdx into the host's buffers.
  OSStatus Render(AudioUnitRenderActionFlags* flags, const AudioTimeStamp* timeStamp, UInt32 busIdx, UInt32 nFrames,
                  AudioBufferList* bufferList);

  // --- host notifications
  void BeginInformHostOfParamChange(int paramIdx) override;
  void EndInformHostOfParamChange(int paramIdx) override;
  void InformHostOfParamChange(int paramIdx, double normalizedValue) override;
  void InformHostOfPresetChange() override;
  void InformHostOfParameterDetailsChange() override;

  // --- MIDI output to the host and latency (processor slots)
  bool SendMidiMsg(const IMidiMsg& msg) override;
  bool SendMidiMsgs(UT_TypedBuf<IMidiMsg>& msgs) override;
  bool SendSysEx(const SysExData& msg) override;
  void SetLatency(int samples) override;

  // --- class info: the dictionary the host keeps in its project
  // Creates a dictionary the caller owns.
  virtual OSStatus SaveClassInfo(CFPropertyListRef* plist);
  // Checks the dictionary before it changes anything. A state the plug-in
  // reads only in part is undone from the state saved before the restore
  // (a plug-in whose chunk cannot say everything it holds puts the rest
  // back in its override) and refused: -10851 leaves the state as it was,
  // 0 means everything was read.
  virtual OSStatus RestoreClassInfo(CFPropertyListRef plist);

  bool IsActive() const { return mActive; }
  AudioComponentInstance GetComponentInstance() const { return mComponentInstance; }
  void SetComponentInstance(AudioComponentInstance instance) { mComponentInstance = instance; }
  const char* GetViewClassName() const { return mViewClassName.Get(); }
  int NInputBuses() const { return mInputBuses.GetSize(); }
  int NOutputBuses() const { return mOutputBuses.GetSize(); }

protected:
  // Recomputes connection types and the processor's input channel flags.
  void UpdateInputConnections();
  // Component Manager close: every bus back to unknown and disconnected.
  void ResetConnections();
  // Calls every listener of id with (user data, instance, id, scope, element).
  void NotifyPropertyListeners(AudioUnitPropertyID id, AudioUnitScope scope, AudioUnitElement element);
  // The processor's reset, remembering the rate and block size it was for.
  void ResetProcessor();

private:
  // One property call as the per-property functions see it, and those
  // functions with their table (IPluginAUProperties.cpp).
  struct PropertyGet;
  struct PropertySet;
  struct Properties;

  // The parameter a host id names, or null when the id is outside the list.
  IParam* ParamForID(AudioUnitParameterID id) const
  {
    return id < static_cast<UInt32>(NParams()) ? GetParam(static_cast<int>(id)) : nullptr;
  }
  AUBus* GetBus(AudioUnitScope scope, AudioUnitElement element) const;
  // Sum of the host channel counts of a direction; -1 when none is known.
  int ChannelSum(ERoute direction) const;
  bool CheckBusChannels(ERoute direction, const AUBus* bus, int nChannels) const;
  static bool IsFloatNonInterleaved(const AudioStreamBasicDescription& format);
  void FillStreamFormat(const AUBus& bus, AudioStreamBasicDescription& format) const;

  OSStatus GetParameterInfo(AudioUnitElement element, AudioUnitParameterInfo* info);
  // The custom unit name of a parameter: one string per parameter, kept by
  // the unit (hosts do not release it) and remade only when the label changes.
  CFStringRef UnitName(int paramIdx, const char* label);
  OSStatus GetParameterValueStrings(AudioUnitElement element, CFArrayRef* out) const;
  OSStatus GetFactoryPresets(CFArrayRef* out) const;
  int GetChannelLayoutTags(AudioUnitScope scope, AudioUnitElement element, AudioChannelLayoutTag* tags,
                           int capacity) const;
  OSStatus SetStreamFormat(AudioUnitScope scope, AudioUnitElement element, const AudioStreamBasicDescription& format);
  OSStatus SetMaximumFrames(UInt32 frames);
  OSStatus MakeConnection(const AudioUnitConnection& connection);
  OSStatus SetRenderCallback(AudioUnitElement element, const AURenderCallbackStruct& callback);
  OSStatus SetCurrentPreset(const AUPreset& preset);
  void IdentifyHostFromMainBundle();
  void SetHostFromIdentifier(const AUHostIdentifier& identifier);
  OSStatus SetOneParameter(AudioUnitParameterID id, AudioUnitParameterValue value, UInt32 bufferOffset);

  OSStatus PullInputs(const AudioTimeStamp* timeStamp, UInt32 nFrames);
  void AttachOutputs(int busIdx, UInt32 nFrames, AudioBufferList* bufferList);
  void UpdateTimeInfo();
  void CallRenderNotify(int count, AudioUnitRenderActionFlags flags, const AudioTimeStamp* timeStamp, UInt32 busIdx,
                        UInt32 nFrames, AudioBufferList* bufferList);
  bool SendPacketList(const MIDIPacketList* list);

  bool mActive = false;
  double mLastRenderSampleTime = -1.0;
  UT_String mViewClassName;
  AudioComponentInstance mComponentInstance = nullptr;
  HostCallbackInfo mHostCallbacks = {};
  UT_PtrList<AUBus> mInputBuses;
  UT_PtrList<AUBus> mOutputBuses;
  UT_PtrList<AUInputConnection> mInputConnections;
  UT_PtrList<AUPropertyListener> mPropertyListeners;
  UT_TypedBuf<float> mInputScratch;
  UT_TypedBuf<float> mOutputScratch;
  UT_PtrList<AURenderNotify> mRenderNotify;
  AUMIDIOutputCallbackStruct mMidiOutCallback = {};
  AudioTimeStamp mLastRenderTimeStamp = {};
  bool mOffline = false;
  double mResetSampleRate = 0.0; // what the processor was last reset (or built) for
  int mResetBlockSize = 0;
  SysExData mSysExScratch;
  UT_PtrList<UT_String> mGroupNames;   // clump names, in first-reported order
  std::vector<CFStringRef> mUnitNames; // by parameter index; null until asked
};

} // namespace plugin
