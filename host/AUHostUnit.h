#pragma once
// One unit of a loaded bundle, opened through either door, driven only by
// the platform's AudioUnit calls on its instance handle (which reach the
// unit's method table or its entry point). Offers the few conveniences a
// host needs: stream format, maximum frames, a render callback feeding
// planar float input, and rendering into planar float output.
// Construction, Open and Close on the main thread; Render on any one thread.

#include <AudioUnit/AudioUnit.h>

#include <functional>
#include <vector>

#include "AUBundle.h"

namespace host {

enum class EDoor { kFactory, kComponentEntry };

class AUHostUnit {
public:
  static constexpr int kMaxChannels = 8;

  explicit AUHostUnit(const AUBundle& bundle) : mBundle(bundle) {}
  ~AUHostUnit() { Close(); }
  AUHostUnit(const AUHostUnit&) = delete;
  AUHostUnit& operator=(const AUHostUnit&) = delete;

  OSStatus Open(EDoor door = EDoor::kFactory);
  OSStatus Close();
  bool IsOpen() const { return mInstance != nullptr; }
  AudioUnit Unit() const { return mInstance; }
  AudioComponentPlugInInterface* Interface() const { return mInterface; }

  // Both buses, 32-bit float non-interleaved.
  OSStatus SetFormat(int nChannels, double sampleRate);
  static AudioStreamBasicDescription FloatFormat(int nChannels, double sampleRate);
  OSStatus SetMaxFrames(UInt32 frames);
  OSStatus SetParameter(AudioUnitParameterID id, float value);
  float GetParameter(AudioUnitParameterID id) const;
  UInt32 NParameters() const;
  // The parameter's info with its strings already released (zeroed record
  // when the unit refuses).
  AudioUnitParameterInfo ParameterInfo(AudioUnitParameterID id) const;
  // Latency in samples at the current sample rate (rounded).
  int LatencySamples() const;
  // Calls onChange with LatencySamples() whenever the unit announces a new
  // latency (its latency property's listener), on the announcing thread;
  // null stops watching.
  OSStatus WatchLatency(std::function<void(int)> onChange);

  // Input comes from this planar source, one pointer per channel, read at
  // the sample time of each pull; null disconnects. Counts every pull.
  using InputFunc = std::function<void(double sampleTime, UInt32 nFrames, float* const* channels, int nChannels)>;
  OSStatus ConnectInput(InputFunc input);
  int PullCount() const { return mPullCount; }

  // Renders nFrames at sampleTime into out (nChannels pointers).
  OSStatus Render(double sampleTime, UInt32 nFrames, float* const* out, int nChannels);

private:
  static void LatencyListener(void* refCon, AudioUnit unit, AudioUnitPropertyID id, AudioUnitScope scope,
                              AudioUnitElement element);
  static OSStatus InputCallback(void* refCon, AudioUnitRenderActionFlags* flags, const AudioTimeStamp* timeStamp,
                                UInt32 bus, UInt32 nFrames, AudioBufferList* data);

  const AUBundle& mBundle;
  EDoor mDoor = EDoor::kFactory;
  AudioComponentPlugInInterface* mInterface = nullptr;
  AudioUnit mInstance = nullptr;
  InputFunc mInput;
  int mPullCount = 0;
  std::function<void(int)> mLatencyWatch;
};

// A buffer list with room for AUHostUnit::kMaxChannels buffers.
struct HostBufferList {
  UInt32 mNumberBuffers = 0;
  AudioBuffer mBuffers[AUHostUnit::kMaxChannels] = {};
  AudioBufferList* Get() { return reinterpret_cast<AudioBufferList*>(this); }
};

AudioTimeStamp SampleTimeStamp(double sampleTime);

} // namespace host
