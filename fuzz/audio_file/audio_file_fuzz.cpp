// Audio files from outside: the bytes are the whole file. A load that
// succeeds gives a sane header and every sample it promises; a partial read
// gives exactly the frames asked for; a refused file keeps the header of
// the file loaded before it.
#include <cstring>
#include <cstdint>
#include <vector>

#include "CAudioFile.h"
#include "FuzzFiles.h"

namespace {

volatile float gSink;

// A short 16-bit mono WAV at 22050 Hz: what is loaded before each input.
std::vector<uint8_t> KnownWav()
{
  std::vector<uint8_t> b;
  auto text = [&](const char* t) { b.insert(b.end(), t, t + 4); };
  auto u32 = [&](uint32_t v) {
    for (int i = 0; i < 4; ++i)
      b.push_back(uint8_t(v >> (8 * i)));
  };
  auto u16 = [&](uint16_t v) {
    b.push_back(uint8_t(v));
    b.push_back(uint8_t(v >> 8));
  };
  text("RIFF");
  u32(36 + 10);
  text("WAVE");
  text("fmt ");
  u32(16);
  u16(1);
  u16(1);
  u32(22050);
  u32(44100);
  u16(2);
  u16(16);
  text("data");
  u32(10);
  for (int i = 0; i < 5; ++i)
    u16(uint16_t(i * 1000));
  return b;
}

void CheckLoaded(CAudioFile& file)
{
  const int channels = file.GetNumChannels();
  const int frames = file.GetNumFrames();
  if (channels < 1)
    fuzzsupport::Fail("a loaded file without channels");
  if (frames < 0)
    fuzzsupport::Fail("negative frame count");
  // Float AIFC reports its width field as stored (samples are 32-bit anyway).
  if (file.GetBitsPerSample() < 1)
    fuzzsupport::Fail("sample width");
  if (file.GetSampleRate() < CAudioFile::kMinSampleRate || file.GetSampleRate() > CAudioFile::kMaxSampleRate)
    fuzzsupport::Fail("sample rate outside the accepted range");
  float sum = 0.0f;
  for (int c = 0; c < channels; ++c) {
    const float* data = file.GetChannelData(unsigned(c), false);
    if (frames > 0 && !data)
      fuzzsupport::Fail("no samples for a channel", c);
    for (int f = 0; f < frames; ++f)
      sum += data[f];
  }
  gSink = sum;
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
  if (size > (1u << 20))
    return 0;
  static const std::string known = [] {
    const std::vector<uint8_t> b = KnownWav();
    return fuzzsupport::WriteFile("known.wav", b.data(), b.size());
  }();
  const std::string path = fuzzsupport::WriteFile("input.bin", data, size);

  CAudioFile file;
  if (file.Load(known.c_str()) != CAudioFile::kOK)
    fuzzsupport::Fail("the known file is refused");
  const int result = file.Load(path.c_str());
  if (result != CAudioFile::kOK) {
    if (file.GetNumChannels() != 1 || file.GetNumFrames() != 5 || file.GetSampleRate() != 22050 ||
        file.GetBitsPerSample() != 16)
      fuzzsupport::Fail("a refused file changed the header");
    return 0;
  }
  CheckLoaded(file);
  const int frames = file.GetNumFrames();

  // The same file read in part and header only.
  CAudioFile part;
  if (part.Load(path.c_str(), 1, 3) != CAudioFile::kOK)
    fuzzsupport::Fail("a partial read of a good file fails");
  CheckLoaded(part);
  const int expected = frames > 1 ? (frames - 1 < 3 ? frames - 1 : 3) : 0;
  if (part.GetNumFrames() != expected)
    fuzzsupport::Fail("a partial read gives the wrong frame count");
  for (int c = 0; c < file.GetNumChannels() && expected > 0; ++c) {
    const float* whole = file.GetChannelData(unsigned(c), false);
    const float* piece = part.GetChannelData(unsigned(c), false);
    for (int f = 0; f < expected; ++f) {
      if (std::memcmp(&whole[f + 1], &piece[f], sizeof(float)) != 0)
        fuzzsupport::Fail("a partial read differs from the whole", c);
    }
  }
  CAudioFile header;
  if (header.Load(path.c_str(), 0, 0, true) != CAudioFile::kOK)
    fuzzsupport::Fail("header-only read fails");
  if (header.GetNumChannels() != file.GetNumChannels() || header.GetSampleRate() != file.GetSampleRate())
    fuzzsupport::Fail("header-only read disagrees");
  return 0;
}
