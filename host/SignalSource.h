#pragma once
// A tiny upstream unit living in the host, for connection checks: it renders
// a known stereo signal (x[c][t] = sin(0.01 (t + 1) (c + 1)), t = sample
// time) into the buffers it is pulled with, supplying its own memory when a
// buffer has none. It answers the stream-format property and, when asked to,
// the fast-dispatch property with its render method. Counts its renders.

#include <AudioUnit/AudioUnit.h>

#include <vector>

namespace host {

class SignalSource {
public:
  static constexpr int kChannels = 2;

  SignalSource(double sampleRate, UInt32 maxFrames, bool offerFastDispatch);
  ~SignalSource();
  SignalSource(const SignalSource&) = delete;
  SignalSource& operator=(const SignalSource&) = delete;

  AudioUnit Unit() const { return mInstance; }
  // Renders reached through the fast-dispatch pointer and through the
  // method table (AudioUnitRender).
  int FastRenders() const { return mFastRenders; }
  int TableRenders() const { return mTableRenders; }
  static float Sample(int channel, double sampleTime);

private:
  struct Interface;
  static AudioComponentMethod Lookup(SInt16 selector);
  static OSStatus GetProperty(void* self, AudioUnitPropertyID id, AudioUnitScope scope, AudioUnitElement element,
                              void* data, UInt32* size);
  static OSStatus FastRender(void* self, AudioUnitRenderActionFlags* flags, const AudioTimeStamp* timeStamp, UInt32 bus,
                             UInt32 nFrames, AudioBufferList* data);
  static OSStatus TableRender(void* self, AudioUnitRenderActionFlags* flags, const AudioTimeStamp* timeStamp,
                              UInt32 bus, UInt32 nFrames, AudioBufferList* data);
  OSStatus Render(const AudioTimeStamp* timeStamp, UInt32 nFrames, AudioBufferList* data);

  Interface* mInterface;
  AudioUnit mInstance = nullptr;
  double mSampleRate;
  bool mFastDispatch;
  int mFastRenders = 0;
  int mTableRenders = 0;
  std::vector<float> mMemory;
};

} // namespace host
