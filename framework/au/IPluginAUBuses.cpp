// Buses, stream formats, the maximum frames and input connections: what the
// bus properties read and change.
#include "IPluginAU.h"

#include <CoreServices/CoreServices.h>

#include <algorithm>
#include <climits>
#include <cmath>

namespace plugin {

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
  AUInputConnection* record =
    mInputConnections.Get(static_cast<int>(std::min<UInt32>(connection.destInputNumber, INT_MAX)));
  if (!record)
    return kAudioUnitErr_InvalidProperty;
  *record = AUInputConnection{};
  OSStatus status = noErr;
  if (connection.sourceAudioUnit) {
    AudioStreamBasicDescription format{};
    UInt32 size = sizeof(format);
    status = AudioUnitGetProperty(connection.sourceAudioUnit, kAudioUnitProperty_StreamFormat, kAudioUnitScope_Output,
                                  connection.sourceOutputNumber, &format, &size);
    if (status == noErr)
      status = SetProperty(kAudioUnitProperty_StreamFormat, kAudioUnitScope_Input, connection.destInputNumber,
                           sizeof(format), &format);
    if (status == noErr) {
      record->mUpstreamUnit = connection.sourceAudioUnit;
      record->mUpstreamOutput = connection.sourceOutputNumber;
      AudioUnitRenderProc proc = nullptr;
      UInt32 procSize = sizeof(proc);
      if (AudioUnitGetProperty(connection.sourceAudioUnit, kAudioUnitProperty_FastDispatch, kAudioUnitScope_Global,
                               kAudioUnitRenderSelect, &proc, &procSize) == noErr &&
          proc) {
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

} // namespace plugin
