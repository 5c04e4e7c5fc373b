#include "CAudioFile.h"

#include <sys/stat.h>

#include <climits>
#include <cmath>
#include <cstdlib>
#include <cstring>
#include <thread>

namespace {

constexpr double kScale8 = 0.0078125;           // 2^-7
constexpr double kScale16 = 1.0 / 32768.0;      // 2^-15
constexpr double kScale24 = 1.0 / 8388608.0;    // 2^-23
constexpr double kScale32 = 1.0 / 2147483648.0; // 2^-31

uint32_t LoadU32(const uint8_t* p, bool bigEndian)
{
  return bigEndian ? (uint32_t(p[0]) << 24) | (uint32_t(p[1]) << 16) | (uint32_t(p[2]) << 8) | p[3]
                   : (uint32_t(p[3]) << 24) | (uint32_t(p[2]) << 16) | (uint32_t(p[1]) << 8) | p[0];
}

float LoadFloat(const uint8_t* p, bool bigEndian)
{
  const uint32_t bits = LoadU32(p, bigEndian);
  float f;
  std::memcpy(&f, &bits, sizeof f);
  return f;
}

// One sample at p as a float, or false when the width has no decoder.
// Integers are scaled in double so the single rounding to float is exact
// to the nearest value.
bool DecodeSample(const uint8_t* p, unsigned bytes, bool isFloat, bool bigEndian, bool unsigned8, float& out)
{
  if (isFloat) {
    if (bytes != 4)
      return false;
    out = LoadFloat(p, bigEndian);
    return true;
  }
  switch (bytes) {
  case 1: out = float(unsigned8 ? (int(p[0]) - 128) * kScale8 : int8_t(p[0]) * kScale8); return true;
  case 2: {
    const int v = bigEndian ? int16_t((p[0] << 8) | p[1]) : int16_t((p[1] << 8) | p[0]);
    out = float(v * kScale16);
    return true;
  }
  case 3: {
    const int32_t raw = bigEndian ? (p[0] << 16) | (p[1] << 8) | p[2] : (p[2] << 16) | (p[1] << 8) | p[0];
    const int32_t v = (raw ^ 0x800000) - 0x800000;
    out = float(v * kScale24);
    return true;
  }
  case 4: out = float(int32_t(LoadU32(p, bigEndian)) * kScale32); return true;
  default: return false;
  }
}

bool HasDecoder(unsigned bytes, bool isFloat) { return isFloat ? bytes == 4 : bytes >= 1 && bytes <= 4; }

struct FileCloser {
  FILE*& file;
  ~FileCloser()
  {
    if (file)
      std::fclose(file);
    file = nullptr;
  }
};

} // namespace

CAudioFile::~CAudioFile() { std::free(mData); }

bool CAudioFile::ReadBytes(void* dst, size_t n) { return std::fread(dst, 1, n, mFile) == n; }

bool CAudioFile::ReadU16(uint16_t& v, bool bigEndian)
{
  uint8_t b[2];
  if (!ReadBytes(b, 2))
    return false;
  v = bigEndian ? uint16_t((b[0] << 8) | b[1]) : uint16_t((b[1] << 8) | b[0]);
  return true;
}

bool CAudioFile::ReadU32(uint32_t& v, bool bigEndian)
{
  uint8_t b[4];
  if (!ReadBytes(b, 4))
    return false;
  v = LoadU32(b, bigEndian);
  return true;
}

bool CAudioFile::Skip(uint64_t n)
{
  if (n > uint64_t(LLONG_MAX))
    return false;
  return fseeko(mFile, off_t(n), SEEK_CUR) == 0;
}

uint64_t CAudioFile::BytesLeft()
{
  struct stat st;
  const off_t pos = ftello(mFile);
  if (pos < 0 || fstat(fileno(mFile), &st) != 0 || st.st_size < pos)
    return 0;
  return uint64_t(st.st_size - pos);
}

// Walks chunk by chunk from the current position. Each step moves at least
// eight bytes forward, so a file without the chunk ends in a short read.
int CAudioFile::FindChunk(const char* id, bool bigEndian)
{
  char got[4];
  if (!ReadBytes(got, 4))
    return kErrCorrupt;
  while (std::memcmp(got, id, 4) != 0) {
    uint32_t size;
    if (!ReadU32(size, bigEndian))
      return kErrCorrupt;
    if (!Skip(uint64_t(size) + (size & 1u)))
      return kErrCorrupt;
    if (!ReadBytes(got, 4))
      return kErrCorrupt;
  }
  return kOK;
}

bool CAudioFile::SampleRateAccepted(double rate)
{
  return std::isfinite(rate) && rate + 0.5 >= kMinSampleRate && rate + 0.5 < kMaxSampleRate + 1.0;
}

double CAudioFile::ReadExtended(const uint8_t bytes[10])
{
  const int exponent = ((bytes[0] & 0x7F) << 8) | bytes[1];
  const uint32_t hi = LoadU32(bytes + 2, true);
  const uint32_t lo = LoadU32(bytes + 6, true);
  double value;
  if (exponent == 32767)
    value = HUGE_VAL;
  else
    value = std::ldexp(double(hi), exponent - 16414) + std::ldexp(double(lo), exponent - 16446);
  return (bytes[0] & 0x80) ? -value : value;
}

void CAudioFile::ReleaseBlock()
{
  mValid.store(false);
  while (mBusy.load())
    std::this_thread::yield();
  std::free(mData);
  mData = nullptr;
}

int CAudioFile::Load(const char* path, unsigned startFrame, unsigned maxFrames, bool headerOnly)
{
  if (!path || !*path)
    return kErrOpen;
  mFile = std::fopen(path, "rb");
  if (!mFile)
    return kErrOpen;
  FileCloser closer{mFile};

  char magic[4];
  if (!ReadBytes(magic, 4))
    return kErrNotAudio;
  if (std::memcmp(magic, "RIFF", 4) == 0)
    return ReadWav(startFrame, maxFrames, headerOnly);
  if (std::memcmp(magic, "FORM", 4) == 0)
    return ReadAiff(startFrame, maxFrames, headerOnly);
  return kErrNotAudio;
}

int CAudioFile::ReadWav(unsigned startFrame, unsigned maxFrames, bool headerOnly)
{
  uint8_t form[4];
  if (!Skip(4) || !ReadBytes(form, 4))
    return kErrCorrupt;
  if (std::memcmp(form, "WAVE", 4) != 0)
    return kErrNotAudio;

  if (int rc = FindChunk("fmt ", false); rc != kOK)
    return rc;
  uint32_t chunkSize, rate;
  uint16_t tag, channels, blockAlign, bits;
  if (!ReadU32(chunkSize, false) || !ReadU16(tag, false) || !ReadU16(channels, false) || !ReadU32(rate, false) ||
      !Skip(4) || !ReadU16(blockAlign, false) || !ReadU16(bits, false))
    return kErrCorrupt;
  if (tag == 0xFFFE) {
    uint32_t channelMask;
    if (!Skip(4) || !ReadU32(channelMask, false) || !ReadU16(tag, false))
      return kErrCorrupt;
  }
  if (tag != 1 && tag != 3)
    return kErrUnsupported;
  if (bits == 0 || channels == 0)
    return kErrCorrupt;
  if (!SampleRateAccepted(rate))
    return kErrCorrupt;

  SampleLayout layout;
  layout.channels = channels;
  layout.bits = bits;
  layout.bytesPerSample = ((bits - 1u) >> 3) + 1u;
  layout.isFloat = tag == 3 && layout.bytesPerSample == 4;
  layout.sampleRate = rate;
  if (blockAlign != layout.bytesPerSample * channels)
    return kErrUnsupported;

  if (fseeko(mFile, 12, SEEK_SET) != 0)
    return kErrCorrupt;
  if (int rc = FindChunk("data", false); rc != kOK)
    return rc;
  uint32_t dataSize;
  if (!ReadU32(dataSize, false))
    return kErrCorrupt;
  layout.framesInFile = dataSize / layout.bytesPerSample / channels;
  return ReadSamples(layout, startFrame, maxFrames, headerOnly);
}

int CAudioFile::ReadAiff(unsigned startFrame, unsigned maxFrames, bool headerOnly)
{
  uint8_t form[4];
  if (!Skip(4) || !ReadBytes(form, 4))
    return kErrCorrupt;
  const bool compressed = std::memcmp(form, "AIFC", 4) == 0;
  if (!compressed && std::memcmp(form, "AIFF", 4) != 0)
    return kErrNotAudio;

  if (int rc = FindChunk("COMM", true); rc != kOK)
    return rc;
  uint32_t chunkSize, frames;
  uint16_t channels, bits;
  uint8_t rateBytes[10];
  if (!ReadU32(chunkSize, true) || !ReadU16(channels, true) || !ReadU32(frames, true) || !ReadU16(bits, true) ||
      !ReadBytes(rateBytes, 10))
    return kErrCorrupt;

  SampleLayout layout;
  layout.bigEndian = true;
  if (compressed) {
    char type[4];
    if (!ReadBytes(type, 4))
      return kErrCorrupt;
    if (std::memcmp(type, "fl32", 4) == 0 || std::memcmp(type, "FL32", 4) == 0)
      layout.isFloat = true;
    else if (std::memcmp(type, "NONE", 4) != 0)
      return kErrUnsupported;
  }
  if (channels == 0 || bits == 0)
    return kErrCorrupt;
  layout.sampleRate = ReadExtended(rateBytes);
  if (!SampleRateAccepted(layout.sampleRate))
    return kErrCorrupt;

  layout.channels = channels;
  layout.bits = bits;
  // Float samples are 32 bits by their compression type, whatever the width
  // field claims; trusting the field would read past the samples.
  layout.bytesPerSample = layout.isFloat ? 4u : ((bits - 1u) >> 3) + 1u;
  layout.framesInFile = frames;

  if (frames != 0) {
    uint32_t ssndSize, dataOffset;
    if (fseeko(mFile, 12, SEEK_SET) != 0)
      return kErrCorrupt;
    if (int rc = FindChunk("SSND", true); rc != kOK)
      return rc;
    if (!ReadU32(ssndSize, true) || !ReadU32(dataOffset, true) || !Skip(4 + uint64_t(dataOffset)))
      return kErrCorrupt;
  }
  return ReadSamples(layout, startFrame, maxFrames, headerOnly);
}

int CAudioFile::ReadSamples(const SampleLayout& layout, unsigned startFrame, unsigned maxFrames, bool headerOnly)
{
  const uint64_t frameBytes = uint64_t(layout.bytesPerSample) * layout.channels;
  uint64_t frames = 0;
  if (layout.framesInFile > startFrame) {
    frames = layout.framesInFile - startFrame;
    if (!Skip(uint64_t(startFrame) * frameBytes))
      return kErrCorrupt;
  }
  if (maxFrames != 0 && frames > maxFrames)
    frames = maxFrames;
  const uint64_t sampleCount = frames * layout.channels;
  const uint64_t dataBytes = frames * frameBytes;
  if (dataBytes > BytesLeft())
    return kErrCorrupt;

  const bool wantSamples = sampleCount != 0 && !headerOnly;
  if (wantSamples && !HasDecoder(layout.bytesPerSample, layout.isFloat))
    return kErrUnsupported;
  if (frames > uint64_t(INT_MAX) || sampleCount > SIZE_MAX / sizeof(float)) {
    ReleaseBlock();
    mNumFrames = 0;
    return kErrNoSampleBlock;
  }

  if (!wantSamples) {
    ReleaseBlock();
  } else {
    auto* raw = static_cast<uint8_t*>(std::malloc(size_t(dataBytes)));
    if (!raw)
      return kErrNoFileBuffer;
    if (!ReadBytes(raw, size_t(dataBytes))) {
      std::free(raw);
      return kErrCorrupt;
    }
    ReleaseBlock();
    mData = static_cast<float*>(std::malloc(size_t(sampleCount) * sizeof(float)));
    if (!mData) {
      std::free(raw);
      mNumFrames = 0;
      return kErrNoSampleBlock;
    }
    const bool unsigned8 = !layout.bigEndian && layout.bits <= 8;
    const uint8_t* src = raw;
    for (uint64_t f = 0; f < frames; ++f) {
      for (unsigned c = 0; c < layout.channels; ++c, src += layout.bytesPerSample)
        DecodeSample(src, layout.bytesPerSample, layout.isFloat, layout.bigEndian, unsigned8, mData[c * frames + f]);
    }
    std::free(raw);
  }

  mNumFrames = int(frames);
  mBitsPerSample = uint16_t(layout.bits);
  mNumChannels = uint16_t(layout.channels);
  mSampleRate = int(layout.sampleRate + 0.5);
  mFormat = 0;
  mValid.store(frames != 0 && mData != nullptr);
  return kOK;
}

float* CAudioFile::GetChannelData(unsigned channel, bool lock)
{
  if (channel >= mNumChannels) {
    mBusy.store(false);
    return nullptr;
  }
  const auto channelData = [&]() -> float* { return mData ? mData + size_t(channel) * size_t(mNumFrames) : nullptr; };
  if (lock && mBusy.load())
    return channelData();
  mBusy.store(lock);
  if (!mValid.load()) {
    mBusy.store(false);
    return nullptr;
  }
  return channelData();
}
