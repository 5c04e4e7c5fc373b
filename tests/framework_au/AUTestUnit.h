#pragma once
// The test plug-in on the Audio Unit binding, recording what the binding
// hands it, plus small helpers to build what a host passes.

#include <AudioUnit/AudioUnit.h>
#include <CoreServices/CoreServices.h>

#include <cstring>
#include <vector>

#include "IPluginAU.h"
#include "TestPlug.h"

namespace autest {

struct ParamChange
{
  int idx;
  plugin::EParamSource source;
  int offset;
};

class RecordingPlug : public plugin::IPluginAU
{
public:
  static inline int sLive = 0;  // objects alive, for construction tracking

  explicit RecordingPlug(plugin::Config config = testsupport::TestPlugConfig())
  : plugin::IPluginAU(Info(), config)
  {
    if (config.nParams == testsupport::kTestNumParams)
      testsupport::DeclareTestPlug(*this);
    PruneUninitializedPresets();
    ++sLive;
  }
  ~RecordingPlug() override { --sLive; }

  static plugin::InstanceInfo Info()
  {
    plugin::InstanceInfo info;
    info.mCocoaViewFactoryClassName.Set("Vorelle3_View");
    return info;
  }

  void OnParamChange(int idx, plugin::EParamSource source, int offset) override
  {
    mChanges.push_back({idx, source, offset});
  }
  void OnReset() override { ++mResets; }
  void ProcessBlock(double** inputs, double** outputs, int nFrames) override
  {
    mTimeInfo = GetTimeInfo();
    ++mBlocks;
    IPluginProcessor::ProcessBlock(inputs, outputs, nFrames);
  }
  void ProcessMidiMsg(const plugin::IMidiMsg& msg) override { mMidi.push_back(msg); }

  std::vector<ParamChange> mChanges;
  std::vector<plugin::IMidiMsg> mMidi;
  plugin::ITimeInfo mTimeInfo;
  int mResets = 0;
  int mBlocks = 0;
};

inline AudioStreamBasicDescription FloatFormat(UInt32 channels, double rate = 44100.0)
{
  AudioStreamBasicDescription f{};
  f.mSampleRate = rate;
  f.mFormatID = kAudioFormatLinearPCM;
  f.mFormatFlags = 0x29;
  f.mBytesPerPacket = f.mBytesPerFrame = 4;
  f.mFramesPerPacket = 1;
  f.mChannelsPerFrame = channels;
  f.mBitsPerChannel = 32;
  return f;
}

inline AudioTimeStamp Stamp(double sampleTime)
{
  AudioTimeStamp s{};
  s.mSampleTime = sampleTime;
  s.mFlags = kAudioTimeStampSampleTimeValid;
  return s;
}

template <class T>
OSStatus Get(plugin::IPluginAU& plug, AudioUnitPropertyID id, T& out, AudioUnitScope scope = 0,
             AudioUnitElement element = 0)
{
  UInt32 size = sizeof(T);
  Boolean writable = false;
  return plug.GetProperty(id, scope, element, &size, &writable, &out);
}

template <class T>
OSStatus Set(plugin::IPluginAU& plug, AudioUnitPropertyID id, const T& value, AudioUnitScope scope = 0,
             AudioUnitElement element = 0)
{
  return plug.SetProperty(id, scope, element, sizeof(T), &value);
}

// A Component Manager parameter block built as the published layout says:
// the arguments last-first, one long slot each, the instance after them.
struct ParamBlock
{
  UInt8 flags = 0;
  UInt8 paramSize = 0;
  SInt16 what = 0;
  UInt32 padding = 0;
  long params[8] = {};

  template <class... Args>
  ParamBlock(SInt16 selector, Args... args)
  {
    what = selector;
    const long values[] = {0, Slot(args)...};
    const int n = static_cast<int>(sizeof...(Args));
    paramSize = static_cast<UInt8>(n * sizeof(long));
    for (int i = 0; i < n; ++i)
      params[i] = values[n - i];  // the last argument first
  }
  ComponentParameters* Get() { return reinterpret_cast<ComponentParameters*>(this); }

  template <class T>
  static long Slot(T value)
  {
    long slot = 0;
    std::memcpy(&slot, &value, sizeof(T));
    return slot;
  }
};

} // namespace autest
