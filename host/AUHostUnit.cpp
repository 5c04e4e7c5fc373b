#include "AUHostUnit.h"

#include <CoreServices/CoreServices.h>
#include <standin/Host.h>

#include <algorithm>
#include <cmath>

namespace host {

AudioTimeStamp SampleTimeStamp(double sampleTime)
{
  AudioTimeStamp stamp{};
  stamp.mSampleTime = sampleTime;
  stamp.mFlags = kAudioTimeStampSampleTimeValid;
  return stamp;
}

OSStatus AUHostUnit::Open(EDoor door)
{
  Close();
  mDoor = door;
  if (door == EDoor::kFactory) {
    if (!mBundle.Factory())
      return badComponentSelector;
    mInterface = mBundle.Factory()(&mBundle.Description());
    if (!mInterface)
      return memFullErr;
    mInstance = standin::NewInstanceForPlugInInterface(mInterface);
    const OSStatus status = mInterface->Open(mInterface, mInstance);
    if (status != noErr)
      Close();
    return status;
  }
  if (!mBundle.Entry())
    return badComponentSelector;
  mInstance = standin::NewInstanceForComponentEntry(reinterpret_cast<ComponentRoutineProcPtr>(mBundle.Entry()));
  const OSStatus status = CallComponentOpen(mInstance, mInstance);
  if (status != noErr) {
    standin::DisposeInstance(mInstance);
    mInstance = nullptr;
  }
  return status;
}

OSStatus AUHostUnit::Close()
{
  if (mLatencyWatch)
    WatchLatency(nullptr);
  OSStatus status = noErr;
  if (mDoor == EDoor::kFactory && mInterface)
    status = mInterface->Close(mInterface);
  else if (mDoor == EDoor::kComponentEntry && mInstance)
    status = CallComponentClose(mInstance, mInstance);
  if (mInstance)
    standin::DisposeInstance(mInstance);
  mInstance = nullptr;
  mInterface = nullptr;
  return status;
}

AudioStreamBasicDescription AUHostUnit::FloatFormat(int nChannels, double sampleRate)
{
  AudioStreamBasicDescription format{};
  format.mSampleRate = sampleRate;
  format.mFormatID = kAudioFormatLinearPCM;
  format.mFormatFlags = kAudioFormatFlagIsFloat | kAudioFormatFlagIsPacked | kAudioFormatFlagIsNonInterleaved;
  format.mBytesPerPacket = 4;
  format.mFramesPerPacket = 1;
  format.mBytesPerFrame = 4;
  format.mChannelsPerFrame = static_cast<UInt32>(nChannels);
  format.mBitsPerChannel = 32;
  return format;
}

OSStatus AUHostUnit::SetFormat(int nChannels, double sampleRate)
{
  const AudioStreamBasicDescription format = FloatFormat(nChannels, sampleRate);
  OSStatus status =
    AudioUnitSetProperty(mInstance, kAudioUnitProperty_StreamFormat, kAudioUnitScope_Input, 0, &format, sizeof(format));
  if (status == noErr)
    status = AudioUnitSetProperty(mInstance, kAudioUnitProperty_StreamFormat, kAudioUnitScope_Output, 0, &format,
                                  sizeof(format));
  return status;
}

OSStatus AUHostUnit::SetMaxFrames(UInt32 frames)
{
  return AudioUnitSetProperty(mInstance, kAudioUnitProperty_MaximumFramesPerSlice, kAudioUnitScope_Global, 0, &frames,
                              sizeof(frames));
}

OSStatus AUHostUnit::SetParameter(AudioUnitParameterID id, float value)
{
  return AudioUnitSetParameter(mInstance, id, kAudioUnitScope_Global, 0, value, 0);
}

float AUHostUnit::GetParameter(AudioUnitParameterID id) const
{
  AudioUnitParameterValue value = 0.f;
  AudioUnitGetParameter(mInstance, id, kAudioUnitScope_Global, 0, &value);
  return value;
}

UInt32 AUHostUnit::NParameters() const
{
  UInt32 size = 0;
  Boolean writable = false;
  if (AudioUnitGetPropertyInfo(mInstance, kAudioUnitProperty_ParameterList, kAudioUnitScope_Global, 0, &size,
                               &writable) != noErr)
    return 0;
  return size / 4;
}

AudioUnitParameterInfo AUHostUnit::ParameterInfo(AudioUnitParameterID id) const
{
  AudioUnitParameterInfo info{};
  UInt32 size = sizeof(info);
  if (AudioUnitGetProperty(mInstance, kAudioUnitProperty_ParameterInfo, kAudioUnitScope_Global, id, &info, &size) !=
      noErr)
    return AudioUnitParameterInfo{};
  if (info.cfNameString)
    CFRelease(info.cfNameString);
  info.cfNameString = info.unitName = nullptr;
  return info;
}

int AUHostUnit::LatencySamples() const
{
  Float64 seconds = 0.0, rate = 0.0;
  UInt32 size = sizeof(seconds);
  AudioUnitGetProperty(mInstance, kAudioUnitProperty_Latency, kAudioUnitScope_Global, 0, &seconds, &size);
  size = sizeof(rate);
  AudioUnitGetProperty(mInstance, kAudioUnitProperty_SampleRate, kAudioUnitScope_Global, 0, &rate, &size);
  return static_cast<int>(std::lround(seconds * rate));
}

void AUHostUnit::LatencyListener(void* refCon, AudioUnit, AudioUnitPropertyID, AudioUnitScope, AudioUnitElement)
{
  auto* self = static_cast<AUHostUnit*>(refCon);
  if (self->mLatencyWatch)
    self->mLatencyWatch(self->LatencySamples());
}

OSStatus AUHostUnit::WatchLatency(std::function<void(int)> onChange)
{
  if (!mInstance)
    return badComponentInstance;
  if (mLatencyWatch)
    AudioUnitRemovePropertyListenerWithUserData(mInstance, kAudioUnitProperty_Latency, &LatencyListener, this);
  mLatencyWatch = std::move(onChange);
  if (!mLatencyWatch)
    return noErr;
  return AudioUnitAddPropertyListener(mInstance, kAudioUnitProperty_Latency, &LatencyListener, this);
}

OSStatus AUHostUnit::InputCallback(void* refCon, AudioUnitRenderActionFlags*, const AudioTimeStamp* timeStamp, UInt32,
                                   UInt32 nFrames, AudioBufferList* data)
{
  auto* self = static_cast<AUHostUnit*>(refCon);
  ++self->mPullCount;
  float* channels[kMaxChannels] = {};
  const int n = static_cast<int>(std::min<UInt32>(data->mNumberBuffers, kMaxChannels));
  for (int c = 0; c < n; ++c)
    channels[c] = static_cast<float*>(data->mBuffers[c].mData);
  if (self->mInput)
    self->mInput(timeStamp->mSampleTime, nFrames, channels, n);
  return noErr;
}

OSStatus AUHostUnit::ConnectInput(InputFunc input)
{
  mInput = std::move(input);
  AURenderCallbackStruct callback{mInput ? &InputCallback : nullptr, this};
  return AudioUnitSetProperty(mInstance, kAudioUnitProperty_SetRenderCallback, kAudioUnitScope_Input, 0, &callback,
                              sizeof(callback));
}

OSStatus AUHostUnit::Render(double sampleTime, UInt32 nFrames, float* const* out, int nChannels)
{
  HostBufferList list;
  list.mNumberBuffers = static_cast<UInt32>(std::clamp(nChannels, 0, kMaxChannels));
  for (UInt32 c = 0; c < list.mNumberBuffers; ++c)
    list.mBuffers[c] = AudioBuffer{1, nFrames * 4, out ? out[c] : nullptr};
  AudioUnitRenderActionFlags flags = 0;
  const AudioTimeStamp stamp = SampleTimeStamp(sampleTime);
  return AudioUnitRender(mInstance, &flags, &stamp, 0, nFrames, list.Get());
}

} // namespace host
