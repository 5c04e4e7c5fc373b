#include "SignalSource.h"

#include <standin/Host.h>

#include <cmath>

namespace host {

struct SignalSource::Interface {
  AudioComponentPlugInInterface mHead;
  SignalSource* mOwner;
};

namespace {

OSStatus OpenNothing(void*, AudioComponentInstance) { return noErr; }
OSStatus CloseNothing(void*) { return noErr; }

} // namespace

SignalSource::SignalSource(double sampleRate, UInt32 maxFrames, bool offerFastDispatch)
: mInterface(new Interface{{OpenNothing, CloseNothing, Lookup, nullptr}, this}), mSampleRate(sampleRate),
  mFastDispatch(offerFastDispatch), mMemory(static_cast<size_t>(maxFrames) * kChannels, 0.f)
{
  mInstance = standin::NewInstanceForPlugInInterface(&mInterface->mHead);
}

SignalSource::~SignalSource()
{
  standin::DisposeInstance(mInstance);
  delete mInterface;
}

float SignalSource::Sample(int channel, double sampleTime)
{
  return static_cast<float>(std::sin(0.01 * (sampleTime + 1.0) * (channel + 1)));
}

AudioComponentMethod SignalSource::Lookup(SInt16 selector)
{
  switch (selector) {
  case kAudioUnitGetPropertySelect: return reinterpret_cast<AudioComponentMethod>(&GetProperty);
  case kAudioUnitRenderSelect: return reinterpret_cast<AudioComponentMethod>(&TableRender);
  default: return nullptr;
  }
}

OSStatus SignalSource::GetProperty(void* self, AudioUnitPropertyID id, AudioUnitScope scope, AudioUnitElement element,
                                   void* data, UInt32* size)
{
  SignalSource* source = static_cast<Interface*>(self)->mOwner;
  if (id == kAudioUnitProperty_StreamFormat && scope == kAudioUnitScope_Output && element == 0) {
    if (!data || !size || *size < sizeof(AudioStreamBasicDescription))
      return kAudioUnitErr_InvalidPropertyValue;
    AudioStreamBasicDescription format{};
    format.mSampleRate = source->mSampleRate;
    format.mFormatID = kAudioFormatLinearPCM;
    format.mFormatFlags = kAudioFormatFlagIsFloat | kAudioFormatFlagIsPacked | kAudioFormatFlagIsNonInterleaved;
    format.mBytesPerPacket = format.mBytesPerFrame = 4;
    format.mFramesPerPacket = 1;
    format.mChannelsPerFrame = kChannels;
    format.mBitsPerChannel = 32;
    *static_cast<AudioStreamBasicDescription*>(data) = format;
    *size = sizeof(format);
    return noErr;
  }
  if (id == kAudioUnitProperty_FastDispatch && source->mFastDispatch && element == kAudioUnitRenderSelect) {
    if (!data || !size || *size < sizeof(AudioUnitRenderProc))
      return kAudioUnitErr_InvalidPropertyValue;
    *static_cast<AudioUnitRenderProc*>(data) = &FastRender;
    *size = sizeof(AudioUnitRenderProc);
    return noErr;
  }
  return kAudioUnitErr_InvalidProperty;
}

OSStatus SignalSource::FastRender(void* self, AudioUnitRenderActionFlags*, const AudioTimeStamp* timeStamp, UInt32,
                                  UInt32 nFrames, AudioBufferList* data)
{
  SignalSource* source = static_cast<Interface*>(self)->mOwner;
  ++source->mFastRenders;
  return source->Render(timeStamp, nFrames, data);
}

OSStatus SignalSource::TableRender(void* self, AudioUnitRenderActionFlags*, const AudioTimeStamp* timeStamp, UInt32,
                                   UInt32 nFrames, AudioBufferList* data)
{
  SignalSource* source = static_cast<Interface*>(self)->mOwner;
  ++source->mTableRenders;
  return source->Render(timeStamp, nFrames, data);
}

OSStatus SignalSource::Render(const AudioTimeStamp* timeStamp, UInt32 nFrames, AudioBufferList* data)
{
  SignalSource* source = this;
  if (!timeStamp || !data || static_cast<size_t>(nFrames) * kChannels > mMemory.size())
    return kAudioUnitErr_TooManyFramesToProcess;
  for (UInt32 c = 0; c < data->mNumberBuffers && c < kChannels; ++c) {
    AudioBuffer& buffer = data->mBuffers[c];
    if (!buffer.mData) {
      buffer.mData = source->mMemory.data() + static_cast<size_t>(c) * nFrames;
      buffer.mDataByteSize = nFrames * 4;
    }
    float* out = static_cast<float*>(buffer.mData);
    for (UInt32 t = 0; t < nFrames; ++t)
      out[t] = Sample(static_cast<int>(c), timeStamp->mSampleTime + t);
  }
  return noErr;
}

} // namespace host
