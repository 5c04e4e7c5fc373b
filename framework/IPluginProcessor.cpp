#include "IPluginProcessor.h"

#include <algorithm>
#include <cstdio>
#include <cstring>
#include <string>

namespace plugin {

// ---------------------------------------------------------------------------
// Configurations

IOConfig::~IOConfig()
{
  mBusInfo[kInput].Empty(true);
  mBusInfo[kOutput].Empty(true);
}

void IOConfig::AddBusInfo(ERoute direction, int nChans)
{
  IBusInfo* info = new IBusInfo{direction, nChans};
  if (!mBusInfo[direction].Add(info))
    delete info;
}

int IOConfig::GetTotalNChannels(ERoute direction) const
{
  int total = 0;
  for (int i = 0; i < NBuses(direction); ++i)
    total += GetBusInfo(direction, i)->mNChans;
  return total;
}

bool IOConfig::ContainsWildcard(ERoute direction) const
{
  for (int i = 0; i < NBuses(direction); ++i) {
    if (GetBusInfo(direction, i)->mNChans == kWildcardChannels)
      return true;
  }
  return false;
}

namespace {

// Adds one bus per "."-separated width of part; "*" is the wildcard, a width
// that reads as 0 or not at all adds nothing.
void ParseBusWidths(const std::string& part, ERoute direction, IOConfig& config)
{
  size_t start = 0;
  while (start <= part.size()) {
    size_t end = part.find('.', start);
    if (end == std::string::npos)
      end = part.size();
    const std::string width = part.substr(start, end - start);
    int n = 0;
    if (width == "*")
      n = kWildcardChannels;
    else if (std::sscanf(width.c_str(), "%d", &n) != 1)
      n = 0;
    if (n != 0)
      config.AddBusInfo(direction, n);
    start = end + 1;
  }
}

} // namespace

int ParseChannelIOStr(const char* text, UT_PtrList<IOConfig>& configs, int& maxNInChans, int& maxNOutChans,
                      int& maxNInBuses, int& maxNOutBuses)
{
  maxNInChans = maxNOutChans = maxNInBuses = maxNOutBuses = 0;
  const std::string all = text ? text : "";
  size_t pos = 0;
  while (pos < all.size()) {
    if (all[pos] == ' ') {
      ++pos;
      continue;
    }
    size_t end = all.find(' ', pos);
    if (end == std::string::npos)
      end = all.size();
    const std::string item = all.substr(pos, end - pos);
    pos = end;

    IOConfig* config = new IOConfig;
    const size_t dash = item.find('-');
    ParseBusWidths(item.substr(0, dash), kInput, *config);
    if (dash != std::string::npos)
      ParseBusWidths(item.substr(dash + 1), kOutput, *config);

    maxNInChans = std::max(maxNInChans, config->GetTotalNChannels(kInput));
    maxNOutChans = std::max(maxNOutChans, config->GetTotalNChannels(kOutput));
    maxNInBuses = std::max(maxNInBuses, config->NBuses(kInput));
    maxNOutBuses = std::max(maxNOutBuses, config->NBuses(kOutput));
    if (!configs.Add(config))
      delete config;
  }
  return configs.GetSize();
}

// ---------------------------------------------------------------------------
// Construction

IPluginProcessor::IPluginProcessor(const Config& config, EAPI)
: mPlugType(config.plugType), mDoesMIDIIn(config.plugDoesMidiIn), mDoesMIDIOut(config.plugDoesMidiOut),
  mDoesMPE(config.plugDoesMPE), mLatency(config.latency)
{
  int maxNIn = 0, maxNOut = 0, maxNInBuses = 0, maxNOutBuses = 0;
  ParseChannelIOStr(config.channelIOStr, mIOConfigs, maxNIn, maxNOut, maxNInBuses, maxNOutBuses);

  const int nChans[2] = {maxNIn, maxNOut};
  for (ERoute direction : {kInput, kOutput}) {
    mSampleData[direction].Resize(nChans[direction]);
    const int n = mSampleData[direction].GetSize();
    double** pointers = mSampleData[direction].Get();
    for (int i = 0; i < n; ++i) {
      pointers[i] = nullptr;
      IChannelData* channel = new IChannelData;
      channel->mData = &pointers[i];
      if (!mChannelData[direction].Add(channel))
        delete channel;
    }
  }
}

IPluginProcessor::~IPluginProcessor()
{
  mChannelData[kInput].Empty(true);
  mChannelData[kOutput].Empty(true);
  mIOConfigs.Empty(true);
}

// ---------------------------------------------------------------------------
// Virtual defaults

void IPluginProcessor::ProcessBlock(double** inputs, double** outputs, int nFrames)
{
  const int nIn = MaxNChannels(kInput);
  const int nOut = MaxNChannels(kOutput);
  nFrames = std::max(nFrames, 0);
  for (int i = 0; i < nOut; ++i) {
    if (!outputs || !outputs[i])
      continue;
    if (i < nIn && inputs && inputs[i]) {
      if (outputs[i] != inputs[i])
        std::memmove(outputs[i], inputs[i], sizeof(double) * static_cast<size_t>(nFrames));
    } else {
      std::memset(outputs[i], 0, sizeof(double) * static_cast<size_t>(nFrames));
    }
  }
}

void IPluginProcessor::ProcessMidiMsg(const IMidiMsg& msg) { SendMidiMsg(msg); }

void IPluginProcessor::ProcessSysEx(const SysExData&) {}

void IPluginProcessor::OnActivate(bool) {}

bool IPluginProcessor::SendMidiMsgs(UT_TypedBuf<IMidiMsg>& msgs)
{
  bool all = true;
  for (int i = 0; i < msgs.GetSize(); ++i)
    all &= SendMidiMsg(msgs.Get()[i]);
  return all;
}

bool IPluginProcessor::SendSysEx(const SysExData&) { return false; }

void IPluginProcessor::GetBusName(ERoute direction, int busIdx, int nBuses, UT_String& out) const
{
  constexpr int kMaxLen = 32;
  if (direction == kOutput) {
    if (nBuses == 1)
      out.Set("Output");
    else
      out.SetFormatted(kMaxLen, "Output %i", busIdx);
    return;
  }
  if (nBuses == 1)
    out.Set("Input");
  else if (nBuses == 2)
    out.Set(busIdx == 0 ? "Main" : "Aux");
  else
    out.SetFormatted(kMaxLen, "Input %i", busIdx);
}

void IPluginProcessor::SetLatency(int samples) { mLatency = samples; }

// ---------------------------------------------------------------------------
// Configuration queries

bool IPluginProcessor::LegalIO(int nIn, int nOut) const
{
  for (int i = 0; i < NIOConfigs(); ++i) {
    const IOConfig* config = GetIOConfig(i);
    const bool inOK = nIn < 0 || config->GetTotalNChannels(kInput) == nIn;
    const bool outOK = nOut < 0 || config->GetTotalNChannels(kOutput) == nOut;
    if (inOK && outOK)
      return true;
  }
  return false;
}

int IPluginProcessor::MaxNBuses(ERoute direction, int* configIdx) const
{
  int maxBuses = 0;
  int maxIdx = -1;
  for (int i = 0; i < NIOConfigs(); ++i) {
    const int n = GetIOConfig(i)->NBuses(direction);
    if (n >= maxBuses) {
      maxBuses = n;
      maxIdx = i;
    }
  }
  if (configIdx)
    *configIdx = maxIdx;
  return maxBuses;
}

int IPluginProcessor::MaxNChannelsForBus(ERoute direction, int busIdx) const
{
  if (NIOConfigs() > 0 && GetIOConfig(0)->ContainsWildcard(direction))
    return -1;
  int maxChans = 0;
  for (int i = 0; i < NIOConfigs(); ++i) {
    const IBusInfo* bus = GetIOConfig(i)->GetBusInfo(direction, busIdx);
    maxChans = std::max(maxChans, bus ? bus->mNChans : 0);
  }
  return maxChans;
}

int IPluginProcessor::GetIOConfigWithChanCounts(const std::vector<int>& inputBuses,
                                                const std::vector<int>& outputBuses) const
{
  auto widthsEqual = [](const IOConfig* config, ERoute direction, const std::vector<int>& widths) {
    if (config->NBuses(direction) != static_cast<int>(widths.size()))
      return false;
    for (size_t b = 0; b < widths.size(); ++b) {
      if (config->GetBusInfo(direction, static_cast<int>(b))->mNChans != widths[b])
        return false;
    }
    return true;
  };
  for (int i = 0; i < NIOConfigs(); ++i) {
    const IOConfig* config = GetIOConfig(i);
    if (widthsEqual(config, kInput, inputBuses) && (outputBuses.empty() || widthsEqual(config, kOutput, outputBuses)))
      return i;
  }
  return -1;
}

// ---------------------------------------------------------------------------
// Channels

int IPluginProcessor::NChannelsConnected(ERoute direction) const
{
  int n = 0;
  for (int i = 0; i < MaxNChannels(direction); ++i)
    n += Channel(direction, i)->mConnected ? 1 : 0;
  return n;
}

bool IPluginProcessor::IsChannelConnected(ERoute direction, int chIdx) const
{
  const IChannelData* channel = Channel(direction, chIdx);
  return channel && channel->mConnected;
}

const char* IPluginProcessor::GetChannelLabel(ERoute direction, int chIdx) const
{
  const IChannelData* channel = Channel(direction, chIdx);
  return channel ? channel->mLabel.Get() : "";
}

void IPluginProcessor::SetChannelLabel(ERoute direction, int chIdx, const char* format, bool zeroBased)
{
  constexpr int kMaxLen = 32;
  IChannelData* channel = Channel(direction, chIdx);
  if (channel && format)
    channel->mLabel.SetFormatted(kMaxLen, format, zeroBased ? chIdx : chIdx + 1);
}

void IPluginProcessor::SetChannelConnections(ERoute direction, int firstChannel, int count, bool connected)
{
  ForChannels(direction, firstChannel, count, [connected](IChannelData& channel) {
    channel.mConnected = connected;
    if (!connected) {
      // A channel cut off from the host must read silence, not its last block.
      double* scratch = channel.mScratchBuf.Get();
      if (scratch)
        std::memset(scratch, 0, sizeof(double) * static_cast<size_t>(channel.mScratchBuf.GetSize()));
      *channel.mData = scratch;
      channel.mIncomingData = nullptr;
    }
  });
}

int IPluginProcessor::InitDefaultChannelConnections()
{
  SetChannelConnections(kInput, 2, MaxNChannels(kInput) - 2, false);
  SetChannelConnections(kOutput, 2, MaxNChannels(kOutput) - 2, true);
  return MaxNChannels(kOutput);
}

// ---------------------------------------------------------------------------
// Buffers

int IPluginProcessor::ClampFrames(int nFrames) const { return std::clamp(nFrames, 0, mBlockSize); }

void IPluginProcessor::AttachFloatBuffers(ERoute direction, int firstChannel, int count, float** buffers, int nFrames)
{
  if (!buffers)
    return;
  nFrames = ClampFrames(nFrames);
  int next = 0;
  ForChannels(direction, firstChannel, count, [&](IChannelData& channel) {
    if (!channel.mConnected)
      return;
    float* host = buffers[next++];
    double* scratch = channel.mScratchBuf.Get();
    *channel.mData = scratch;
    if (direction == kInput) {
      channel.mIncomingData = nullptr;
      if (scratch && host) {
        const int n = std::min(nFrames, channel.mScratchBuf.GetSize());
        for (int s = 0; s < n; ++s)
          scratch[s] = static_cast<double>(host[s]);
      }
    } else {
      channel.mIncomingData = host;
    }
  });
}

void IPluginProcessor::AttachDoubleBuffers(ERoute direction, int firstChannel, int count, double** buffers)
{
  if (!buffers)
    return;
  int next = 0;
  ForChannels(direction, firstChannel, count, [&](IChannelData& channel) {
    if (!channel.mConnected)
      return;
    *channel.mData = buffers[next++];
    channel.mIncomingData = nullptr;
  });
}

void IPluginProcessor::CopyInputsToOutputs(int nFrames)
{
  const int nIn = MaxNChannels(kInput);
  double** inputs = GetInputs();
  double** outputs = GetOutputs();
  for (int i = 0; i < MaxNChannels(kOutput); ++i) {
    double* out = outputs[i];
    if (!out)
      continue;
    const double* in = i < nIn ? inputs[i] : nullptr;
    if (in) {
      if (in != out)
        std::memmove(out, in, sizeof(double) * static_cast<size_t>(nFrames));
    } else {
      std::memset(out, 0, sizeof(double) * static_cast<size_t>(nFrames));
    }
  }
}

void IPluginProcessor::WriteBackOutputs(int nFrames, bool accumulate)
{
  for (int i = 0; i < MaxNChannels(kOutput); ++i) {
    const IChannelData* channel = Channel(kOutput, i);
    const double* src = *channel->mData;
    float* dest = channel->mIncomingData;
    if (!channel->mConnected || !src || !dest)
      continue;
    if (accumulate) {
      for (int s = 0; s < nFrames; ++s)
        dest[s] += static_cast<float>(src[s]);
    } else {
      for (int s = 0; s < nFrames; ++s)
        dest[s] = static_cast<float>(src[s]);
    }
  }
}

void IPluginProcessor::PassThroughBuffers(double, int nFrames) { CopyInputsToOutputs(ClampFrames(nFrames)); }

void IPluginProcessor::PassThroughBuffers(float, int nFrames)
{
  nFrames = ClampFrames(nFrames);
  CopyInputsToOutputs(nFrames);
  WriteBackOutputs(nFrames, false);
}

void IPluginProcessor::ProcessBuffers(double, int nFrames)
{
  ProcessBlock(GetInputs(), GetOutputs(), ClampFrames(nFrames));
}

void IPluginProcessor::ProcessBuffers(float, int nFrames) { ProcessFloat(nFrames, false); }

void IPluginProcessor::ProcessBuffersAccumulating(float, int nFrames) { ProcessFloat(nFrames, true); }

void IPluginProcessor::ProcessFloat(int nFrames, bool accumulate)
{
  nFrames = ClampFrames(nFrames);
  ProcessBlock(GetInputs(), GetOutputs(), nFrames);
  WriteBackOutputs(nFrames, accumulate);
}

void IPluginProcessor::ZeroScratchBuffers()
{
  for (ERoute direction : {kInput, kOutput}) {
    for (int i = 0; i < MaxNChannels(direction); ++i) {
      UT_TypedBuf<double>& scratch = Channel(direction, i)->mScratchBuf;
      const int n = std::min(mBlockSize, scratch.GetSize());
      if (n > 0)
        std::memset(scratch.Get(), 0, sizeof(double) * static_cast<size_t>(n));
    }
  }
}

void IPluginProcessor::SetBlockSize(int blockSize)
{
  blockSize = std::max(blockSize, 0);
  if (blockSize == mBlockSize)
    return;
  int smallest = blockSize;
  for (ERoute direction : {kInput, kOutput}) {
    for (int i = 0; i < MaxNChannels(direction); ++i) {
      IChannelData* channel = Channel(direction, i);
      double* old = channel->mScratchBuf.Get();
      double* scratch = channel->mScratchBuf.Resize(blockSize);
      const int n = channel->mScratchBuf.GetSize();
      smallest = std::min(smallest, n);
      if (scratch && n > 0)
        std::memset(scratch, 0, sizeof(double) * static_cast<size_t>(n));
      // The old scratch may have moved: nobody may keep pointing into it.
      if (!channel->mConnected || (*channel->mData && *channel->mData == old))
        *channel->mData = channel->mScratchBuf.Get();
    }
  }
  // When memory ran short, process no more than every scratch buffer holds.
  mBlockSize = smallest;
}

// ---------------------------------------------------------------------------
// Misc

double IPluginProcessor::GetSamplesPerBeat() const
{
  return mTimeInfo.mTempo > 0.0 ? mSampleRate * 60.0 / mTimeInfo.mTempo : 0.0;
}

int32_t IPluginProcessor::GetAUPluginType() const
{
  if (mPlugType == 2)
    return FourCharCode("aumi");
  if (mPlugType == 1)
    return FourCharCode("aumu");
  if (mPlugType == 0 && mDoesMIDIIn)
    return FourCharCode("aumf");
  return FourCharCode("aufx");
}

} // namespace plugin
