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

struct ParamChange {
  int idx;
  plugin::EParamSource source;
  int offset;
};

class RecordingPlug : public plugin::IPluginAU {
public:
  static inline int sLive = 0; // objects alive, for construction tracking

  explicit RecordingPlug(plugin::Config config = testsupport::TestPlugConfig()) : plugin::IPluginAU(Info(), config)
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

// A Component Manager parameter block laid out byte by byte as 64-bit hosts
// send it, without the platform's struct: flags at byte 0, paramSize at 1,
// the selector at 2..3, padding at 4..7, the instance in the 8-byte slot at
// 8, then argument i in the slot at 16 + 8 i, at the start of its slot.
struct ParamBlock {
  static constexpr size_t kHeader = 8, kSlot = 8, kMaxArgs = 8;
  alignas(8) unsigned char bytes[kHeader + kSlot * (1 + kMaxArgs)] = {};

  template <class... Args> explicit ParamBlock(SInt16 selector, Args... args)
  {
    static_assert(sizeof...(Args) <= kMaxArgs);
    bytes[1] = static_cast<unsigned char>(sizeof...(Args) * kSlot);
    std::memcpy(bytes + 2, &selector, 2);
    size_t i = 0;
    ((std::memcpy(bytes + kHeader + kSlot * (1 + i++), &args, sizeof(args))), ...);
  }
  ParamBlock& For(const void* instance)
  {
    std::memcpy(bytes + kHeader, &instance, sizeof(instance));
    return *this;
  }
  ComponentParameters* Get() { return reinterpret_cast<ComponentParameters*>(bytes); }
};

} // namespace autest
