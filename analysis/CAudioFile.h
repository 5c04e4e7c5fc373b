#pragma once
// Reads a whole WAV or AIFF/AIFC file into one block of 32-bit floats.
//
// Contract
// - Formats: WAV PCM (8-bit unsigned, 16/24/32-bit signed, any width up to 32
//   in whole-byte containers), WAV IEEE float 32, both also as the extensible
//   variant; AIFF signed PCM 8..32; AIFC "NONE", "fl32" and "FL32".
// - Samples are planar: channel c's frame f is at GetChannelData(c)[f], i.e.
//   all frames of channel 0, then all of channel 1, ...; integer samples are
//   scaled to [-1, 1), floats are copied as stored.
// - Every size is checked against the bytes the file really holds before any
//   allocation, so a lying header costs nothing: it fails with kErrCorrupt.
// - Threads: Load and the getters belong to one thread. GetChannelData may be
//   called from a second thread; with lock = true it holds the block (mBusy)
//   and a Load waits, yielding, until a call with a channel >= the channel
//   count (or lock = false) releases it.
#include <atomic>
#include <cstdint>
#include <cstdio>

class CAudioFile {
public:
  // Result codes of Load.
  static constexpr int kOK = 0;
  static constexpr int kErrOpen = -1;     // empty path, or the file cannot be opened
  static constexpr int kErrCorrupt = -2;  // truncated, unskippable chunk, zero channels/bits, rate outside 1 Hz..1 MHz
  static constexpr int kErrNotAudio = -6; // neither RIFF/WAVE nor FORM/AIFF/AIFC
  static constexpr int kErrUnsupported = -7; // a sample format without a decoder
  static constexpr int kErrNoFileBuffer = -10;
  static constexpr int kErrNoSampleBlock = -11;

  static constexpr double kMinSampleRate = 1.0;
  static constexpr double kMaxSampleRate = 1000000.0;

  CAudioFile() = default;
  ~CAudioFile();
  CAudioFile(const CAudioFile&) = delete;
  CAudioFile& operator=(const CAudioFile&) = delete;

  // Skips startFrame frames and reads at most maxFrames (0: all the rest).
  // headerOnly fills the header fields and drops the sample block. A failed
  // load keeps the previous header fields; the block survives unless the
  // failure came after it had to be released (kErrNoSampleBlock).
  int Load(const char* path, unsigned startFrame = 0, unsigned maxFrames = 0, bool headerOnly = false);

  float* GetChannelData(unsigned channel, bool lock);

  int GetNumFrames() const { return mNumFrames; }
  int GetSampleRate() const { return mSampleRate; }
  int GetNumChannels() const { return mNumChannels; }
  int GetBitsPerSample() const { return mBitsPerSample; }

private:
  // What a container's header says about its samples.
  struct SampleLayout {
    unsigned channels = 0;
    unsigned bits = 0;
    unsigned bytesPerSample = 0;
    bool isFloat = false;
    bool bigEndian = false;
    uint64_t framesInFile = 0;
    double sampleRate = 0.0;
  };

  int ReadWav(unsigned startFrame, unsigned maxFrames, bool headerOnly);
  int ReadAiff(unsigned startFrame, unsigned maxFrames, bool headerOnly);
  // Shared tail of both readers: the file is positioned at the first sample.
  int ReadSamples(const SampleLayout& layout, unsigned startFrame, unsigned maxFrames, bool headerOnly);
  int FindChunk(const char* id, bool bigEndian);
  bool ReadBytes(void* dst, size_t n);
  bool ReadU16(uint16_t& v, bool bigEndian);
  bool ReadU32(uint32_t& v, bool bigEndian);
  bool Skip(uint64_t n);
  uint64_t BytesLeft();
  // Marks the block invalid, waits for a reader to let go, frees it.
  void ReleaseBlock();
  static bool SampleRateAccepted(double rate);

public:
  // 80-bit IEEE extended (big-endian bytes) as used for the AIFF sample rate.
  static double ReadExtended(const uint8_t bytes[10]);

private:
  FILE* mFile = nullptr;
  float* mData = nullptr;
  std::atomic<bool> mValid{false};
  std::atomic<bool> mBusy{false};
  int mNumFrames = 0;
  int mSampleRate = 0;
  int mFormat = 0;
  uint16_t mBitsPerSample = 0;
  uint16_t mNumChannels = 0;
};
