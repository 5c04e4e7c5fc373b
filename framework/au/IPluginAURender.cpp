// The audio-thread entry: pull, attach, process or bypass, notify.
// Nothing here allocates or locks.
#include "IPluginAU.h"

#include <algorithm>
#include <cmath>
#include <cstring>

namespace plugin {

namespace {

// An AudioBufferList with room for kMaxBusChannels buffers, on the stack.
struct StackBufferList {
  UInt32 mNumberBuffers;
  AudioBuffer mBuffers[IPluginAU::kMaxBusChannels];

  AudioBufferList* Get() { return reinterpret_cast<AudioBufferList*>(this); }
};

bool SampleTimeDiffers(double a, double b) { return std::isnan(a) || std::isnan(b) || a != b; }

} // namespace

void IPluginAU::CallRenderNotify(int count, AudioUnitRenderActionFlags flags, const AudioTimeStamp* timeStamp,
                                 UInt32 busIdx, UInt32 nFrames, AudioBufferList* bufferList)
{
  for (int i = 0; i < count; ++i) {
    const AURenderNotify* notify = mRenderNotify.Get(i);
    if (!notify || !notify->mProc)
      continue;
    AudioUnitRenderActionFlags word = flags;
    notify->mProc(notify->mRefCon, &word, timeStamp, busIdx, nFrames, bufferList);
  }
}

OSStatus IPluginAU::PullInputs(const AudioTimeStamp* timeStamp, UInt32 nFrames)
{
  for (int i = 0; i < mInputBuses.GetSize(); ++i) {
    const AUBus* bus = mInputBuses.Get(i);
    const AUInputConnection* connection = mInputConnections.Get(i);
    if (!bus->mConnected || !connection)
      continue;
    // Never more buffers than the bus has channels in the processor.
    const int nChans = std::clamp(std::min(bus->mHostChannels, bus->mPlugChannels), 0, kMaxBusChannels);
    StackBufferList list;
    list.mNumberBuffers = static_cast<UInt32>(nChans);
    for (int k = 0; k < nChans; ++k)
      list.mBuffers[k] = AudioBuffer{1, nFrames * 4, nullptr};
    AudioUnitRenderActionFlags flags = 0;
    float* scratch = mInputScratch.Get();
    OSStatus status = noErr;
    switch (connection->mConnectionType) {
    case kDirectFastProc:
      status = connection->mUpstreamRenderProc(connection->mUpstreamObject, &flags, timeStamp,
                                               connection->mUpstreamOutput, nFrames, list.Get());
      break;
    case kDirectNoFastProc:
      status =
        AudioUnitRender(connection->mUpstreamUnit, &flags, timeStamp, connection->mUpstreamOutput, nFrames, list.Get());
      break;
    case kRenderCallback:
      for (int k = 0; k < nChans; ++k)
        list.mBuffers[k].mData = scratch + static_cast<size_t>(bus->mFirstChannel + k) * nFrames;
      status = connection->mRenderCallback(connection->mRenderCallbackData, &flags, timeStamp, static_cast<UInt32>(i),
                                           nFrames, list.Get());
      break;
    default: continue;
    }
    if (status != noErr)
      return status;

    // A source that handed back fewer, missing or short buffers gives silence there.
    float* buffers[kMaxBusChannels];
    const int nGiven = static_cast<int>(std::min<UInt32>(list.mNumberBuffers, static_cast<UInt32>(nChans)));
    for (int k = 0; k < nChans; ++k) {
      float* data = k < nGiven ? static_cast<float*>(list.mBuffers[k].mData) : nullptr;
      if (!data || list.mBuffers[k].mDataByteSize < nFrames * 4) {
        data = scratch + static_cast<size_t>(bus->mFirstChannel + k) * nFrames;
        std::memset(data, 0, sizeof(float) * nFrames);
      }
      buffers[k] = data;
    }
    AttachFloatBuffers(kInput, bus->mFirstChannel, nChans, buffers, static_cast<int>(nFrames));
  }
  mLastRenderSampleTime = timeStamp->mSampleTime;
  return noErr;
}

void IPluginAU::AttachOutputs(int busIdx, UInt32 nFrames, AudioBufferList* bufferList)
{
  AUBus* bus = mOutputBuses.Get(busIdx);
  const int nBuffers = static_cast<int>(bufferList->mNumberBuffers);
  const int used = std::min(nBuffers, bus->mPlugChannels);
  if (!bus->mConnected || bus->mRenderBuffers != nBuffers) {
    // Extra host buffers get nothing; channels without a buffer are cut off.
    SetChannelConnections(kOutput, bus->mFirstChannel, used, true);
    SetChannelConnections(kOutput, bus->mFirstChannel + used, std::max(bus->mPlugChannels - used, 0), false);
    bus->mConnected = true;
    bus->mRenderBuffers = nBuffers;
  }
  float* buffers[kMaxBusChannels];
  float* scratch = mOutputScratch.Get();
  for (int k = 0; k < nBuffers; ++k) {
    AudioBuffer& buffer = bufferList->mBuffers[k];
    if (k >= used) {
      if (buffer.mData)
        std::memset(buffer.mData, 0, std::min<size_t>(buffer.mDataByteSize, sizeof(float) * nFrames));
      continue;
    }
    if (!buffer.mData) {
      buffer.mData = scratch + static_cast<size_t>(bus->mFirstChannel + k) * nFrames;
      buffer.mDataByteSize = nFrames * 4;
    }
    buffers[k] = static_cast<float*>(buffer.mData);
  }
  AttachFloatBuffers(kOutput, bus->mFirstChannel, used, buffers, static_cast<int>(nFrames));
}

void IPluginAU::UpdateTimeInfo()
{
  ITimeInfo info;
  void* user = mHostCallbacks.hostUserData;
  if (mHostCallbacks.beatAndTempoProc) {
    Float64 beat = -1.0, tempo = 0.0;
    mHostCallbacks.beatAndTempoProc(user, &beat, &tempo);
    info.mTempo = tempo > 0.0 ? tempo : 120.0;
    info.mPPQPos = beat;
  } else {
    info.mTempo = 120.0;
    info.mPPQPos = -1.0;
  }
  if (mHostCallbacks.transportStateProc) {
    Boolean playing = false, changed = false, cycling = false;
    Float64 samplePos = 0.0, cycleStart = 0.0, cycleEnd = 0.0;
    mHostCallbacks.transportStateProc(user, &playing, &changed, &samplePos, &cycling, &cycleStart, &cycleEnd);
    info.mSamplePos = samplePos > 0.0 ? samplePos : -1.0;
    info.mCycleStart = cycleStart > 0.0 ? cycleStart : -1.0;
    info.mCycleEnd = cycleEnd > 0.0 ? cycleEnd : -1.0;
    info.mTransportIsRunning = playing;
    info.mTransportLoopEnabled = cycling;
  } else {
    info.mSamplePos = info.mCycleStart = info.mCycleEnd = -1.0;
    info.mTransportIsRunning = info.mTransportLoopEnabled = false;
  }
  if (mHostCallbacks.musicalTimeLocationProc) {
    UInt32 toNextBeat = 0, denominator = 0;
    Float32 numerator = 0.f;
    Float64 downBeat = 0.0;
    mHostCallbacks.musicalTimeLocationProc(user, &toNextBeat, &numerator, &denominator, &downBeat);
    info.mNumerator = std::isfinite(numerator) ? static_cast<int32_t>(numerator) : 4;
    // A host that leaves the denominator unset means common time.
    info.mDenominator = denominator > 0 ? static_cast<int32_t>(std::min<UInt32>(denominator, 0x7FFFFFFF)) : 4;
    info.mLastBar = downBeat > 0.0 ? downBeat : -1.0;
  } else {
    info.mNumerator = 4;
    info.mDenominator = 4;
    info.mLastBar = -1.0;
  }
  SetTimeInfo(info);
}

OSStatus IPluginAU::Render(AudioUnitRenderActionFlags*, const AudioTimeStamp* timeStamp, UInt32 busIdx, UInt32 nFrames,
                           AudioBufferList* bufferList)
{
  if (!timeStamp || !bufferList)
    return kAudioUnitErr_InvalidPropertyValue;
  mLastRenderTimeStamp = *timeStamp;
  if (!(timeStamp->mFlags & kAudioTimeStampSampleTimeValid) || nFrames > static_cast<UInt32>(GetBlockSize()))
    return kAudioUnitErr_InvalidPropertyValue;
  if (busIdx >= static_cast<UInt32>(NOutputBuses()))
    return kAudioUnitErr_InvalidElement;
  if (bufferList->mNumberBuffers > static_cast<UInt32>(kMaxBusChannels))
    return kAudioUnitErr_InvalidPropertyValue;
  for (UInt32 k = 0; k < bufferList->mNumberBuffers; ++k) {
    const AudioBuffer& buffer = bufferList->mBuffers[k];
    if (buffer.mData && buffer.mDataByteSize < nFrames * 4)
      return kAudioUnitErr_InvalidPropertyValue;
  }

  const int nNotify = mRenderNotify.GetSize();
  CallRenderNotify(nNotify, kAudioUnitRenderAction_PreRender, timeStamp, busIdx, nFrames, bufferList);

  const bool midiEffect = GetPlugType() == 2;
  const int bus = static_cast<int>(busIdx);
  int lastConnected = NOutputBuses() - 1;
  if (!midiEffect) {
    if (SampleTimeDiffers(timeStamp->mSampleTime, mLastRenderSampleTime)) {
      const OSStatus status = PullInputs(timeStamp, nFrames);
      if (status != noErr)
        return status;
    }
    AttachOutputs(bus, nFrames, bufferList);
    for (int i = 0; i < NOutputBuses(); ++i) {
      if (!mOutputBuses.Get(i)->mConnected) {
        lastConnected = i - 1;
        break;
      }
    }
  }

  if (bus == lastConnected || midiEffect) {
    if (bus + 1 < NOutputBuses()) {
      const int first = mOutputBuses.Get(bus + 1)->mFirstChannel;
      SetChannelConnections(kOutput, first, MaxNChannels(kOutput) - first, false);
    }
    if (!GetBypassed()) {
      IMidiMsg msg;
      while (mMidiMsgsFromEditor.Pop(msg))
        ProcessMidiMsg(msg);
      UpdateTimeInfo();
      ProcessBuffers(0.f, static_cast<int>(nFrames));
    } else {
      PassThroughBuffers(0.f, static_cast<int>(nFrames));
    }
  }

  CallRenderNotify(nNotify, kAudioUnitRenderAction_PostRender, timeStamp, busIdx, nFrames, bufferList);

  while (mSysExDataFromEditor.Pop(mSysExScratch))
    SendSysEx(mSysExScratch);
  return noErr;
}

} // namespace plugin
