#pragma once
// The audio-side half of the plug-in object: bus configurations parsed from
// the channel-I/O text, one channel record per input and output channel,
// float <-> double conversion through per-channel scratch buffers, the call
// of ProcessBlock, and a plain undelayed pass-through for bypass.
//
// Threads: construction, SetBlockSize and the connection set-up run on the
// main thread while the host does not render; the Attach*, Process* and
// PassThrough* calls run on the audio thread and never allocate.
// Frames: every per-block call handles at most the block size; larger frame
// counts are cut to it, so scratch memory is never overrun.

#include <cstdint>
#include <vector>

#include "Config.h"
#include "IPluginStructs.h"
#include "UT_PtrList.h"
#include "UT_String.h"
#include "UT_TypedBuf.h"

namespace plugin {

enum ERoute { kInput = 0, kOutput = 1 };

// Width of a "*" bus in the channel-I/O text.
constexpr int kWildcardChannels = -64;

struct IBusInfo {
  ERoute mDirection;
  int mNChans;
};

// One configuration: its input buses (index kInput) and output buses.
struct IOConfig {
  UT_PtrList<IBusInfo> mBusInfo[2];

  IOConfig() = default;
  IOConfig(const IOConfig&) = delete;
  IOConfig& operator=(const IOConfig&) = delete;
  ~IOConfig();

  void AddBusInfo(ERoute direction, int nChans);
  int NBuses(ERoute direction) const { return mBusInfo[direction].GetSize(); }
  const IBusInfo* GetBusInfo(ERoute direction, int idx) const { return mBusInfo[direction].Get(idx); }
  // Sum of the widths (a wildcard counts kWildcardChannels).
  int GetTotalNChannels(ERoute direction) const;
  bool ContainsWildcard(ERoute direction) const;
};

// The host's transport, as the binding last reported it.
struct ITimeInfo {
  double mTempo = 120.0;
  double mSamplePos = -1.0;
  double mPPQPos = -1.0;
  double mLastBar = -1.0;
  double mCycleStart = -1.0;
  double mCycleEnd = -1.0;
  int32_t mNumerator = 4;
  int32_t mDenominator = 4;
  bool mTransportIsRunning = false;
  bool mTransportLoopEnabled = false;
};

struct IChannelData {
  bool mConnected = false;
  double** mData = nullptr;       // this channel's entry in the sample-pointer array
  float* mIncomingData = nullptr; // host buffer to write back to (outputs)
  UT_TypedBuf<double> mScratchBuf;
  UT_String mLabel;
};

// Parses text such as "2-2", "1-1 2-2" or "1.1-2 *-*" into configs. Returns
// the number of configurations; the maxima are the largest channel sums and
// bus counts over all configurations (never below 0).
int ParseChannelIOStr(const char* text, UT_PtrList<IOConfig>& configs, int& maxNInChans, int& maxNOutChans,
                      int& maxNInBuses, int& maxNOutBuses);

class IPluginProcessor {
public:
  IPluginProcessor(const Config& config, EAPI api);
  IPluginProcessor(const IPluginProcessor&) = delete;
  IPluginProcessor& operator=(const IPluginProcessor&) = delete;
  virtual ~IPluginProcessor();

  // Audio thread. Default: input i to output i, remaining outputs zeroed.
  virtual void ProcessBlock(double** inputs, double** outputs, int nFrames);
  // Default: passes the message on through SendMidiMsg.
  virtual void ProcessMidiMsg(const IMidiMsg& msg);
  virtual void ProcessSysEx(const SysExData& msg);
  virtual void OnReset() {}
  virtual void OnActivate(bool active);
  virtual bool SendMidiMsg(const IMidiMsg& msg) = 0;
  // True only when every message was sent.
  virtual bool SendMidiMsgs(UT_TypedBuf<IMidiMsg>& msgs);
  virtual bool SendSysEx(const SysExData& msg);
  virtual void GetBusName(ERoute direction, int busIdx, int nBuses, UT_String& out) const;
  // Only stores the figure: bypass is an undelayed copy, so no delay line
  // has to follow it.
  virtual void SetLatency(int samples);

  // Configurations.
  int NIOConfigs() const { return mIOConfigs.GetSize(); }
  const IOConfig* GetIOConfig(int idx) const { return mIOConfigs.Get(idx); }
  // True when some configuration's channel sums equal nIn and nOut (a negative
  // count matches anything).
  bool LegalIO(int nIn, int nOut) const;
  int MaxNBuses(ERoute direction, int* configIdx = nullptr) const;
  // -1 when a bus of that direction in the first configuration is a wildcard.
  int MaxNChannelsForBus(ERoute direction, int busIdx) const;
  // First configuration with exactly these input bus widths (and output
  // widths, unless outputBuses is empty); -1 when none.
  int GetIOConfigWithChanCounts(const std::vector<int>& inputBuses, const std::vector<int>& outputBuses) const;

  // Channels.
  int MaxNChannels(ERoute direction) const { return mChannelData[direction].GetSize(); }
  int NChannelsConnected(ERoute direction) const;
  bool IsChannelConnected(ERoute direction, int chIdx) const;
  const char* GetChannelLabel(ERoute direction, int chIdx) const;
  void SetChannelLabel(ERoute direction, int chIdx, const char* format, bool zeroBased = false);
  // A disconnected channel reads and writes its own zeroed scratch buffer
  // (null before the block size is set).
  void SetChannelConnections(ERoute direction, int firstChannel, int count, bool connected);
  // Inputs from 2 on disconnected, outputs from 2 on connected; returns the
  // number of output channels.
  int InitDefaultChannelConnections();

  // Audio thread. Float inputs are converted into the channels' scratch
  // buffers at once; float outputs are remembered and written back by the
  // float forms of ProcessBuffers and PassThroughBuffers. In-place host
  // buffers (an input and an output sharing memory) are fine.
  void AttachFloatBuffers(ERoute direction, int firstChannel, int count, float** buffers, int nFrames);
  void AttachDoubleBuffers(ERoute direction, int firstChannel, int count, double** buffers);
  void PassThroughBuffers(double, int nFrames);
  void PassThroughBuffers(float, int nFrames);
  void ProcessBuffers(double, int nFrames);
  void ProcessBuffers(float, int nFrames);
  void ProcessBuffersAccumulating(float, int nFrames);
  void ZeroScratchBuffers();

  // Main thread, not while rendering: resizes and zeroes every scratch buffer.
  void SetBlockSize(int blockSize);
  void SetSampleRate(double sampleRate) { mSampleRate = sampleRate; }
  void SetBypassed(bool bypassed) { mBypassed = bypassed; }
  void SetTimeInfo(const ITimeInfo& timeInfo) { mTimeInfo = timeInfo; }

  double GetSampleRate() const { return mSampleRate; }
  int GetBlockSize() const { return mBlockSize; }
  int GetLatency() const { return mLatency; }
  bool GetBypassed() const { return mBypassed; }
  const ITimeInfo& GetTimeInfo() const { return mTimeInfo; }
  double GetSamplesPerBeat() const;
  int GetPlugType() const { return mPlugType; }
  bool DoesMIDIIn() const { return mDoesMIDIIn; }
  bool DoesMIDIOut() const { return mDoesMIDIOut; }
  bool DoesMPE() const { return mDoesMPE; }
  // 'aumi', 'aumu', 'aumf' or 'aufx'.
  int32_t GetAUPluginType() const;

  // The sample pointers ProcessBlock receives.
  double** GetInputs() const { return mSampleData[kInput].Get(); }
  double** GetOutputs() const { return mSampleData[kOutput].Get(); }

private:
  IChannelData* Channel(ERoute direction, int idx) const { return mChannelData[direction].Get(idx); }
  // f(channel) for the channels first .. first + count - 1 that exist.
  template <class F> void ForChannels(ERoute direction, int first, int count, F&& f)
  {
    const int end = first + count < MaxNChannels(direction) ? first + count : MaxNChannels(direction);
    for (int i = first > 0 ? first : 0; i < end; ++i)
      f(*Channel(direction, i));
  }
  int ClampFrames(int nFrames) const;
  void CopyInputsToOutputs(int nFrames);
  void WriteBackOutputs(int nFrames, bool accumulate);
  void ProcessFloat(int nFrames, bool accumulate);

  int32_t mPlugType;
  bool mDoesMIDIIn;
  bool mDoesMIDIOut;
  bool mDoesMPE;
  int32_t mLatency;
  double mSampleRate = 44100.0;
  int32_t mBlockSize = 0;
  bool mBypassed = false;
  UT_PtrList<IOConfig> mIOConfigs;
  UT_TypedBuf<double*> mSampleData[2];
  UT_PtrList<IChannelData> mChannelData[2];
  ITimeInfo mTimeInfo;
};

} // namespace plugin
