// The audio-file reader against files written by sox and libsndfile, read
// back sample by sample with libsndfile, plus hand-built and damaged files.
#include <gtest/gtest.h>
#include <sndfile.h>

#include <atomic>
#include <chrono>
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <random>
#include <string>
#include <thread>
#include <vector>

#include "CAudioFile.h"
#include "TempFolder.h"

namespace fs = std::filesystem;

namespace {

constexpr int kSeed = 20240611;

using TempDir = testsupport::TempFolder;

using Bytes = std::vector<uint8_t>;

Bytes ReadAll(const std::string& path)
{
  std::ifstream in(path, std::ios::binary);
  return Bytes(std::istreambuf_iterator<char>(in), {});
}

void WriteAll(const std::string& path, const Bytes& bytes)
{
  std::ofstream out(path, std::ios::binary | std::ios::trunc);
  out.write(reinterpret_cast<const char*>(bytes.data()), std::streamsize(bytes.size()));
}

// Little and big-endian byte builders for hand-made containers.
struct Builder {
  Bytes b;
  bool big = false;
  Builder& Id(const char* id)
  {
    b.insert(b.end(), id, id + 4);
    return *this;
  }
  Builder& U16(unsigned v) { return Int(v, 2); }
  Builder& U32(uint32_t v) { return Int(v, 4); }
  Builder& Int(uint64_t v, int n)
  {
    for (int i = 0; i < n; ++i)
      b.push_back(uint8_t(v >> (8 * (big ? n - 1 - i : i))));
    return *this;
  }
  Builder& Raw(const Bytes& r)
  {
    b.insert(b.end(), r.begin(), r.end());
    return *this;
  }
};

// A canonical WAV; fmt fields and the data size may lie on purpose.
Bytes MakeWav(unsigned tag, unsigned channels, uint32_t rate, unsigned bits, unsigned blockAlign, const Bytes& data,
              uint32_t dataSize, const Bytes& before = {})
{
  Builder w;
  w.Id("RIFF").U32(uint32_t(4 + before.size() + 24 + 8 + data.size())).Id("WAVE").Raw(before);
  w.Id("fmt ").U32(16).U16(tag).U16(channels).U32(rate).U32(rate * blockAlign).U16(blockAlign).U16(bits);
  w.Id("data").U32(dataSize).Raw(data);
  return w.b;
}

Bytes MakeWav16(unsigned channels, uint32_t rate, const std::vector<int16_t>& samples)
{
  Builder d;
  for (int16_t s : samples)
    d.U16(uint16_t(s));
  return MakeWav(1, channels, rate, 16, 2 * channels, d.b, uint32_t(d.b.size()));
}

// An AIFF (or AIFC with the given compression type) with big-endian 16-bit samples.
Bytes MakeAiff(unsigned channels, uint32_t frames, unsigned bits, const Bytes& rate80, const Bytes& data,
               const char* compression = nullptr, const Bytes& before = {})
{
  Builder a;
  a.big = true;
  const uint32_t commSize = compression ? 22 : 18;
  a.Id("FORM")
    .U32(uint32_t(4 + before.size() + 8 + commSize + 16 + data.size()))
    .Id(compression ? "AIFC" : "AIFF")
    .Raw(before);
  a.Id("COMM").U32(commSize).U16(channels).U32(frames).U16(bits).Raw(rate80);
  if (compression)
    a.Id(compression);
  a.Id("SSND").U32(uint32_t(8 + data.size())).U32(0).U32(0).Raw(data);
  return a.b;
}

// 80-bit extended from sign, biased exponent and the 64-bit mantissa.
Bytes Extended(int sign, int exponent, uint64_t mantissa)
{
  Builder e;
  e.big = true;
  e.U16(unsigned((sign ? 0x8000 : 0) | exponent)).Int(mantissa, 8);
  return e.b;
}

Bytes ExtendedRate(double rate)
{
  int exp2 = 0;
  const double m = std::frexp(rate, &exp2); // rate = m * 2^exp2, m in [0.5, 1)
  return Extended(0, 16382 + exp2, uint64_t(std::ldexp(m, 64)));
}

// libsndfile's own reading, interleaved doubles.
struct Reference {
  int channels = 0, rate = 0;
  std::vector<double> samples;
  sf_count_t frames = 0;
};

Reference ReadWithLibsndfile(const std::string& path, sf_count_t start = 0, sf_count_t maxFrames = 0)
{
  SF_INFO info{};
  SNDFILE* f = sf_open(path.c_str(), SFM_READ, &info);
  EXPECT_NE(f, nullptr) << sf_strerror(nullptr);
  Reference r;
  if (!f)
    return r;
  r.channels = info.channels;
  r.rate = info.samplerate;
  sf_count_t frames = std::max<sf_count_t>(0, info.frames - start);
  if (maxFrames > 0)
    frames = std::min(frames, maxFrames);
  if (start > 0)
    sf_seek(f, start, SEEK_SET);
  r.samples.resize(size_t(frames * info.channels));
  r.frames = sf_readf_double(f, r.samples.data(), frames);
  sf_close(f);
  return r;
}

bool WriteWithLibsndfile(const std::string& path, int format, int channels, int rate, int frames, uint32_t seed)
{
  SF_INFO info{};
  info.format = format;
  info.channels = channels;
  info.samplerate = rate;
  SNDFILE* f = sf_open(path.c_str(), SFM_WRITE, &info);
  if (!f)
    return false;
  std::mt19937 rng(seed);
  std::uniform_real_distribution<double> dist(-0.9, 0.9);
  std::vector<double> buf(size_t(frames * channels));
  for (double& v : buf)
    v = dist(rng);
  sf_writef_double(f, buf.data(), frames);
  sf_close(f);
  return true;
}

bool WriteWithSox(const std::string& path, const std::string& format)
{
  const std::string cmd =
    "sox -R -n " + format + " '" + path + "' synth 0.25 whitenoise sine 100-9000 vol 0.9 2>/dev/null";
  return std::system(cmd.c_str()) == 0;
}

// Every sample of the reader equals libsndfile's value rounded to float.
void ExpectSameAsLibsndfile(const std::string& path, unsigned start = 0, unsigned maxFrames = 0)
{
  CAudioFile file;
  ASSERT_EQ(file.Load(path.c_str(), start, maxFrames, false), CAudioFile::kOK) << path;
  const Reference ref = ReadWithLibsndfile(path, start, maxFrames);
  ASSERT_EQ(file.GetNumChannels(), ref.channels);
  ASSERT_EQ(file.GetSampleRate(), ref.rate);
  ASSERT_EQ(file.GetNumFrames(), ref.frames);
  double peak = 0.0;
  for (int c = 0; c < ref.channels; ++c) {
    const float* data = file.GetChannelData(unsigned(c), false);
    ASSERT_NE(data, nullptr);
    for (sf_count_t f = 0; f < ref.frames; ++f) {
      const float expected = float(ref.samples[size_t(f * ref.channels + c)]);
      ASSERT_EQ(data[f], expected) << path << " channel " << c << " frame " << f;
      peak = std::max(peak, std::fabs(double(expected)));
    }
  }
  EXPECT_GT(peak, 0.1) << "a silent file proves nothing: " << path;
}

struct SoxCase {
  const char* name;
  const char* format;
};

struct SndfileCase {
  const char* name;
  int format;
  int channels;
  int rate;
};

} // namespace

TEST(AudioFile, FilesWrittenBySoxReadLikeLibsndfileReadsThem)
{
  const SoxCase cases[] = {
    {"u8.wav", "-r 8000 -c 1 -e unsigned-integer -b 8"},    {"s16.wav", "-r 11025 -c 2 -e signed-integer -b 16"},
    {"s24.wav", "-r 22050 -c 2 -e signed-integer -b 24"}, // sox writes it extensible
    {"s32.wav", "-r 32000 -c 1 -e signed-integer -b 32"},   {"f32.wav", "-r 44100 -c 2 -e floating-point -b 32"},
    {"s16x6.wav", "-r 48000 -c 6 -e signed-integer -b 16"}, {"s8.aiff", "-r 16000 -c 1 -e signed-integer -b 8"},
    {"s16.aiff", "-r 44100 -c 2 -e signed-integer -b 16"},  {"s24.aiff", "-r 88200 -c 2 -e signed-integer -b 24"},
    {"s32.aiff", "-r 96000 -c 1 -e signed-integer -b 32"},  {"none16.aifc", "-r 48000 -c 2 -e signed-integer -b 16"},
    {"fl32.aifc", "-r 96000 -c 2 -e floating-point -b 32"},
  };
  TempDir dir;
  for (const SoxCase& c : cases) {
    const std::string path = dir.File(c.name);
    ASSERT_TRUE(WriteWithSox(path, c.format)) << "sox could not write " << c.name;
    ExpectSameAsLibsndfile(path);
  }
}

TEST(AudioFile, FilesWrittenByLibsndfileReadLikeLibsndfileReadsThem)
{
  const SndfileCase cases[] = {
    {"u8.wav", SF_FORMAT_WAV | SF_FORMAT_PCM_U8, 2, 8000},
    {"s16.wav", SF_FORMAT_WAV | SF_FORMAT_PCM_16, 1, 22050},
    {"s24.wav", SF_FORMAT_WAV | SF_FORMAT_PCM_24, 2, 44100},
    {"s32.wav", SF_FORMAT_WAV | SF_FORMAT_PCM_32, 2, 48000},
    {"f32.wav", SF_FORMAT_WAV | SF_FORMAT_FLOAT, 2, 96000},
    {"x16.wav", SF_FORMAT_WAVEX | SF_FORMAT_PCM_16, 2, 44100},
    {"x24.wav", SF_FORMAT_WAVEX | SF_FORMAT_PCM_24, 2, 48000},
    {"x32.wav", SF_FORMAT_WAVEX | SF_FORMAT_PCM_32, 3, 32000},
    {"xf32.wav", SF_FORMAT_WAVEX | SF_FORMAT_FLOAT, 2, 88200},
    {"s8.aiff", SF_FORMAT_AIFF | SF_FORMAT_PCM_S8, 2, 11025},
    {"s16.aiff", SF_FORMAT_AIFF | SF_FORMAT_PCM_16, 1, 44100},
    {"s24.aiff", SF_FORMAT_AIFF | SF_FORMAT_PCM_24, 2, 48000},
    {"s32.aiff", SF_FORMAT_AIFF | SF_FORMAT_PCM_32, 2, 96000},
    {"fl32.aiff", SF_FORMAT_AIFF | SF_FORMAT_FLOAT, 2, 44100},
  };
  TempDir dir;
  uint32_t seed = kSeed;
  for (const SndfileCase& c : cases) {
    const std::string path = dir.File(c.name);
    ASSERT_TRUE(WriteWithLibsndfile(path, c.format, c.channels, c.rate, 3001, seed++)) << c.name;
    ExpectSameAsLibsndfile(path);
  }
}

TEST(AudioFile, ExtensibleFilesTakeTheirSampleFormatFromTheSubFormat)
{
  TempDir dir;
  const std::string pcm = dir.File("x24.wav"), flt = dir.File("xf32.wav");
  ASSERT_TRUE(WriteWithLibsndfile(pcm, SF_FORMAT_WAVEX | SF_FORMAT_PCM_24, 2, 48000, 500, kSeed));
  ASSERT_TRUE(WriteWithLibsndfile(flt, SF_FORMAT_WAVEX | SF_FORMAT_FLOAT, 1, 48000, 500, kSeed));
  for (const std::string& path : {pcm, flt}) {
    const Bytes bytes = ReadAll(path);
    ASSERT_EQ(bytes[20] | (bytes[21] << 8), 0xFFFE) << "not an extensible file: " << path;
    ExpectSameAsLibsndfile(path);
  }
  CAudioFile file;
  ASSERT_EQ(file.Load(pcm.c_str(), 0, 0, false), CAudioFile::kOK);
  EXPECT_EQ(file.GetBitsPerSample(), 24);
}

TEST(AudioFile, StartFrameAndFrameLimitSelectTheSameFramesAsSeeking)
{
  TempDir dir;
  const std::string wav = dir.File("a.wav"), aiff = dir.File("a.aiff");
  ASSERT_TRUE(WriteWithLibsndfile(wav, SF_FORMAT_WAV | SF_FORMAT_PCM_24, 2, 44100, 1000, kSeed));
  ASSERT_TRUE(WriteWithLibsndfile(aiff, SF_FORMAT_AIFF | SF_FORMAT_PCM_16, 2, 44100, 1000, kSeed));
  const unsigned windows[][2] = {{0, 10}, {1, 0}, {999, 0}, {500, 250}, {17, 1000}};
  for (const std::string& path : {wav, aiff})
    for (const auto& w : windows)
      ExpectSameAsLibsndfile(path, w[0], w[1]);

  CAudioFile file;
  for (const std::string& path : {wav, aiff}) {
    EXPECT_EQ(file.Load(path.c_str(), 1000, 0, false), CAudioFile::kOK);
    EXPECT_EQ(file.GetNumFrames(), 0);
    EXPECT_EQ(file.GetChannelData(0, false), nullptr);
  }
}

TEST(AudioFile, HeaderOnlyReportsTheFramesAndHoldsNoSamples)
{
  TempDir dir;
  const std::string path = dir.File("a.wav");
  ASSERT_TRUE(WriteWithLibsndfile(path, SF_FORMAT_WAV | SF_FORMAT_PCM_16, 2, 32000, 777, kSeed));
  CAudioFile file;
  ASSERT_EQ(file.Load(path.c_str(), 0, 0, false), CAudioFile::kOK);
  ASSERT_EQ(file.Load(path.c_str(), 7, 0, true), CAudioFile::kOK);
  EXPECT_EQ(file.GetNumFrames(), 770);
  EXPECT_EQ(file.GetNumChannels(), 2);
  EXPECT_EQ(file.GetSampleRate(), 32000);
  EXPECT_EQ(file.GetChannelData(0, false), nullptr);
}

TEST(AudioFile, RefusedSampleFormatsGiveTheUnsupportedCode)
{
  const SndfileCase cases[] = {
    {"ima.wav", SF_FORMAT_WAV | SF_FORMAT_IMA_ADPCM, 1, 8000},
    {"ms.wav", SF_FORMAT_WAV | SF_FORMAT_MS_ADPCM, 2, 8000},
    {"f64.wav", SF_FORMAT_WAV | SF_FORMAT_DOUBLE, 1, 44100},
    {"xf64.wav", SF_FORMAT_WAVEX | SF_FORMAT_DOUBLE, 2, 44100},
    {"ulaw.wav", SF_FORMAT_WAV | SF_FORMAT_ULAW, 1, 8000},
    {"alaw.wav", SF_FORMAT_WAV | SF_FORMAT_ALAW, 1, 8000},
    {"ulaw.aiff", SF_FORMAT_AIFF | SF_FORMAT_ULAW, 1, 8000},
    {"f64.aiff", SF_FORMAT_AIFF | SF_FORMAT_DOUBLE, 1, 44100},
    {"sowt.aiff", SF_FORMAT_AIFF | SF_FORMAT_PCM_16 | SF_ENDIAN_LITTLE, 1, 44100},
  };
  TempDir dir;
  CAudioFile file;
  for (const SndfileCase& c : cases) {
    const std::string path = dir.File(c.name);
    ASSERT_TRUE(WriteWithLibsndfile(path, c.format, c.channels, c.rate, 1000, kSeed)) << c.name;
    EXPECT_EQ(file.Load(path.c_str(), 0, 0, false), CAudioFile::kErrUnsupported) << c.name;
  }
  const SoxCase soxCases[] = {{"sox-ima.wav", "-r 8000 -c 1 -e ima-adpcm"},
                              {"sox-ms.wav", "-r 8000 -c 1 -e ms-adpcm"},
                              {"sox-ulaw.wav", "-r 8000 -c 1 -e u-law"}};
  for (const SoxCase& c : soxCases) {
    const std::string path = dir.File(c.name);
    ASSERT_TRUE(WriteWithSox(path, c.format)) << c.name;
    EXPECT_EQ(file.Load(path.c_str(), 0, 0, false), CAudioFile::kErrUnsupported) << c.name;
  }
  const Bytes pcm(8, 0);
  const struct {
    const char* name;
    Bytes bytes;
  } handMade[] = {
    {"aifc-other", MakeAiff(1, 4, 16, ExtendedRate(44100), pcm, "ima4")},
    {"block-align", MakeWav(1, 2, 44100, 16, 2, pcm, 8)},
    {"40-bit", MakeWav(1, 1, 44100, 40, 5, Bytes(10, 0), 10)},
  };
  for (const auto& c : handMade) {
    const std::string path = dir.File(c.name);
    WriteAll(path, c.bytes);
    EXPECT_EQ(file.Load(path.c_str(), 0, 0, false), CAudioFile::kErrUnsupported) << c.name;
  }
}

TEST(AudioFile, ContainersItDoesNotKnowGiveTheNotAudioCode)
{
  TempDir dir;
  const std::string au = dir.File("a.au");
  ASSERT_TRUE(WriteWithLibsndfile(au, SF_FORMAT_AU | SF_FORMAT_PCM_16, 1, 8000, 100, kSeed));
  Builder avi, svx;
  avi.Id("RIFF").U32(4).Id("AVI ");
  svx.big = true;
  svx.Id("FORM").U32(4).Id("8SVX");
  const struct {
    const char* name;
    Bytes bytes;
  } cases[] = {{"empty.wav", {}},
               {"text.wav", Bytes{'h', 'e', 'l', 'l', 'o', '\n'}},
               {"three.wav", Bytes{'R', 'I', 'F'}},
               {"avi.wav", avi.b},
               {"svx.aiff", svx.b}};
  CAudioFile file;
  EXPECT_EQ(file.Load(au.c_str(), 0, 0, false), CAudioFile::kErrNotAudio);
  for (const auto& c : cases) {
    WriteAll(dir.File(c.name), c.bytes);
    EXPECT_EQ(file.Load(dir.File(c.name).c_str(), 0, 0, false), CAudioFile::kErrNotAudio) << c.name;
  }
}

TEST(AudioFile, MissingAndEmptyPathsGiveTheOpenCode)
{
  CAudioFile file;
  EXPECT_EQ(file.Load("", 0, 0, false), CAudioFile::kErrOpen);
  EXPECT_EQ(file.Load(nullptr, 0, 0, false), CAudioFile::kErrOpen);
  EXPECT_EQ(file.Load("/nonexistent/folder/file.wav", 0, 0, false), CAudioFile::kErrOpen);
}

TEST(AudioFile, EveryTruncationOfAWavAndAnAiffIsReportedAsCorrupt)
{
  const std::vector<int16_t> samples = {100, -200, 300, -400, 500, -600, 32767, -32768};
  const Bytes wav = MakeWav16(2, 44100, samples);
  Builder be;
  be.big = true;
  for (int16_t s : samples)
    be.U16(uint16_t(s));
  const Bytes aiff = MakeAiff(2, 4, 16, ExtendedRate(44100), be.b);
  TempDir dir;
  const std::string path = dir.File("cut");
  CAudioFile file;
  for (const Bytes* whole : {&wav, &aiff}) {
    for (size_t len = 0; len < whole->size(); ++len) {
      WriteAll(path, Bytes(whole->begin(), whole->begin() + long(len)));
      const int expected = len < 4 ? CAudioFile::kErrNotAudio : CAudioFile::kErrCorrupt;
      EXPECT_EQ(file.Load(path.c_str(), 0, 0, false), expected) << "length " << len;
    }
    WriteAll(path, *whole);
    ASSERT_EQ(file.Load(path.c_str(), 0, 0, false), CAudioFile::kOK);
    EXPECT_EQ(file.GetChannelData(1, false)[3], -1.0f);
  }
}

TEST(AudioFile, SizesThatExceedTheFileAreRefusedBeforeAnyAllocation)
{
  const Bytes data(64, 0x11);
  const struct {
    const char* name;
    Bytes bytes;
  } cases[] = {
    {"data size near 4 GiB", MakeWav(1, 2, 44100, 16, 4, data, 0xFFFFFFF0u)},
    {"frames x channels x bytes wraps in 32 bits", MakeWav(1, 2, 44100, 16, 4, data, 0x80000010u)},
    {"aiff frame count 2^32-1", MakeAiff(2, 0xFFFFFFFFu, 32, ExtendedRate(44100), data)},
    {"aiff frames x 65535 channels", MakeAiff(65535, 0x10000u, 32, ExtendedRate(44100), data)},
  };
  TempDir dir;
  CAudioFile file;
  for (const auto& c : cases) {
    WriteAll(dir.File("big"), c.bytes);
    EXPECT_EQ(file.Load(dir.File("big").c_str(), 0, 0, false), CAudioFile::kErrCorrupt) << c.name;
    EXPECT_EQ(file.Load(dir.File("big").c_str(), 0, 0, true), CAudioFile::kErrCorrupt) << c.name;
  }
}

TEST(AudioFile, SampleRatesOutsideOneHertzToOneMegahertzAreRefused)
{
  const Bytes pcm(8, 0);
  const uint64_t one = 0x8000000000000000ull;
  const struct {
    const char* name;
    Bytes bytes;
    int expected;
    int rate;
  } cases[] = {
    {"wav 0 Hz", MakeWav(1, 1, 0, 16, 2, pcm, 8), CAudioFile::kErrCorrupt, 0},
    {"wav 1 Hz", MakeWav(1, 1, 1, 16, 2, pcm, 8), CAudioFile::kOK, 1},
    {"wav 1 MHz", MakeWav(1, 1, 1000000, 16, 2, pcm, 8), CAudioFile::kOK, 1000000},
    {"wav 1 MHz + 1", MakeWav(1, 1, 1000001, 16, 2, pcm, 8), CAudioFile::kErrCorrupt, 0},
    {"wav 4 GHz", MakeWav(1, 1, 0xFFFFFFFFu, 16, 2, pcm, 8), CAudioFile::kErrCorrupt, 0},
    {"aiff 44100", MakeAiff(1, 4, 16, ExtendedRate(44100), pcm), CAudioFile::kOK, 44100},
    {"aiff 22050.4 rounds", MakeAiff(1, 4, 16, ExtendedRate(22050.4), pcm), CAudioFile::kOK, 22050},
    {"aiff 0", MakeAiff(1, 4, 16, Extended(0, 0, 0), pcm), CAudioFile::kErrCorrupt, 0},
    {"aiff infinite", MakeAiff(1, 4, 16, Extended(0, 32767, 0), pcm), CAudioFile::kErrCorrupt, 0},
    {"aiff not a number", MakeAiff(1, 4, 16, Extended(0, 32767, one | 1), pcm), CAudioFile::kErrCorrupt, 0},
    {"aiff negative", MakeAiff(1, 4, 16, Extended(1, 16398, one), pcm), CAudioFile::kErrCorrupt, 0},
    {"aiff 2^64 Hz", MakeAiff(1, 4, 16, Extended(0, 16446, one), pcm), CAudioFile::kErrCorrupt, 0},
    {"aiff 0.25 Hz", MakeAiff(1, 4, 16, Extended(0, 16381, one), pcm), CAudioFile::kErrCorrupt, 0},
  };
  TempDir dir;
  for (const auto& c : cases) {
    CAudioFile file;
    WriteAll(dir.File("rate"), c.bytes);
    EXPECT_EQ(file.Load(dir.File("rate").c_str(), 0, 0, false), c.expected) << c.name;
    EXPECT_EQ(file.GetSampleRate(), c.rate) << c.name;
  }
}

TEST(AudioFile, ExtendedNumbersDecodeExactly)
{
  const struct {
    Bytes bytes;
    double value;
  } cases[] = {
    {ExtendedRate(44100), 44100.0},
    {ExtendedRate(96000), 96000.0},
    {ExtendedRate(8000), 8000.0},
    {Extended(0, 16383, 0x8000000000000000ull), 1.0},
    {Extended(1, 16384, 0xC000000000000000ull), -3.0},
    {Extended(0, 16383 - 20, 0x8000000000000001ull), std::ldexp(1.0, -20) + std::ldexp(1.0, -83)},
  };
  for (const auto& c : cases)
    EXPECT_EQ(CAudioFile::ReadExtended(c.bytes.data()), c.value);
}

TEST(AudioFile, ChunksOfOddLengthAreSkippedWithTheirPadByte)
{
  Builder junk, junkBe;
  junk.Id("LIST").U32(3).Raw({1, 2, 3, 0});
  junkBe.big = true;
  junkBe.Id("ANNO").U32(5).Raw({'h', 'e', 'l', 'l', 'o', 0});
  Builder pcmLe, pcmBe;
  pcmBe.big = true;
  for (int16_t s : {1000, -1000, 16384})
    pcmLe.U16(uint16_t(s)), pcmBe.U16(uint16_t(s));
  TempDir dir;
  const std::string wav = dir.File("odd.wav"), aiff = dir.File("odd.aiff");
  WriteAll(wav, MakeWav(1, 1, 44100, 16, 2, pcmLe.b, 6, junk.b));
  WriteAll(aiff, MakeAiff(1, 3, 16, ExtendedRate(44100), pcmBe.b, nullptr, junkBe.b));
  for (const std::string& path : {wav, aiff}) {
    CAudioFile file;
    ASSERT_EQ(file.Load(path.c_str(), 0, 0, false), CAudioFile::kOK) << path;
    ASSERT_EQ(file.GetNumFrames(), 3);
    const float* d = file.GetChannelData(0, false);
    EXPECT_EQ(d[0], 1000.0f / 32768.0f);
    EXPECT_EQ(d[1], -1000.0f / 32768.0f);
    EXPECT_EQ(d[2], 0.5f);
  }
}

TEST(AudioFile, TwelveBitSamplesInTwoByteContainersDecodeAsSixteenBit)
{
  Builder pcm;
  for (int16_t s : {0x7FF0, -0x8000, 0x0010})
    pcm.U16(uint16_t(s));
  TempDir dir;
  WriteAll(dir.File("12.wav"), MakeWav(1, 1, 8000, 12, 2, pcm.b, 6));
  CAudioFile file;
  ASSERT_EQ(file.Load(dir.File("12.wav").c_str(), 0, 0, false), CAudioFile::kOK);
  const float* d = file.GetChannelData(0, false);
  EXPECT_EQ(d[0], float(0x7FF0 / 32768.0));
  EXPECT_EQ(d[1], -1.0f);
  EXPECT_EQ(d[2], float(16 / 32768.0));
  EXPECT_EQ(file.GetBitsPerSample(), 12);
}

TEST(AudioFile, AnEmptyDataChunkLoadsWithNoFramesAndNoValidBlock)
{
  TempDir dir;
  WriteAll(dir.File("empty.wav"), MakeWav(1, 2, 44100, 16, 4, {}, 0));
  WriteAll(dir.File("empty.aiff"), MakeAiff(2, 0, 16, ExtendedRate(44100), {}));
  for (const char* name : {"empty.wav", "empty.aiff"}) {
    CAudioFile file;
    ASSERT_EQ(file.Load(dir.File(name).c_str(), 0, 0, false), CAudioFile::kOK) << name;
    EXPECT_EQ(file.GetNumFrames(), 0);
    EXPECT_EQ(file.GetNumChannels(), 2);
    EXPECT_EQ(file.GetChannelData(0, false), nullptr);
  }
}

TEST(AudioFile, AFailedLoadKeepsThePreviousSamples)
{
  TempDir dir;
  WriteAll(dir.File("good.wav"), MakeWav16(1, 44100, {16384, -16384}));
  Bytes cut = MakeWav16(2, 22050, {1, 2, 3, 4});
  cut.resize(cut.size() - 1);
  WriteAll(dir.File("cut.wav"), cut);
  CAudioFile file;
  ASSERT_EQ(file.Load(dir.File("good.wav").c_str(), 0, 0, false), CAudioFile::kOK);
  EXPECT_EQ(file.Load(dir.File("cut.wav").c_str(), 0, 0, false), CAudioFile::kErrCorrupt);
  EXPECT_EQ(file.GetNumChannels(), 1);
  EXPECT_EQ(file.GetSampleRate(), 44100);
  ASSERT_NE(file.GetChannelData(0, false), nullptr);
  EXPECT_EQ(file.GetChannelData(0, false)[1], -0.5f);
}

TEST(AudioFile, ALoadWaitsWhileAnotherThreadHoldsAChannel)
{
  TempDir dir;
  WriteAll(dir.File("a.wav"), MakeWav16(1, 44100, {16384, 8192}));
  WriteAll(dir.File("b.wav"), MakeWav16(2, 48000, {1, 2, 3, 4}));
  CAudioFile file;
  ASSERT_EQ(file.Load(dir.File("a.wav").c_str(), 0, 0, false), CAudioFile::kOK);
  const float* held = file.GetChannelData(0, true);
  ASSERT_NE(held, nullptr);
  EXPECT_EQ(file.GetChannelData(0, true), held) << "a held block is handed out again";

  std::atomic<bool> done{false};
  int rc = 1;
  std::thread loader([&] {
    rc = file.Load(dir.File("b.wav").c_str(), 0, 0, false);
    done = true;
  });
  std::this_thread::sleep_for(std::chrono::milliseconds(100));
  EXPECT_FALSE(done.load()) << "the load replaced a block that was held";
  EXPECT_EQ(held[1], 0.25f);
  file.GetChannelData(1, false); // a channel past the end lets go
  loader.join();
  EXPECT_EQ(rc, CAudioFile::kOK);
  EXPECT_EQ(file.GetNumChannels(), 2);
}

// Random truncations and byte flips of valid files: every load returns one of
// the reader's result codes, and a successful one holds every sample it claims.
TEST(AudioFile, DamagedFilesGiveAResultCodeAndNeverReadOutOfBounds)
{
  TempDir dir;
  const SndfileCase seeds[] = {
    {"s16.wav", SF_FORMAT_WAV | SF_FORMAT_PCM_16, 2, 44100},
    {"xf32.wav", SF_FORMAT_WAVEX | SF_FORMAT_FLOAT, 2, 48000},
    {"u8.wav", SF_FORMAT_WAV | SF_FORMAT_PCM_U8, 1, 8000},
    {"s24.aiff", SF_FORMAT_AIFF | SF_FORMAT_PCM_24, 2, 96000},
    {"fl32.aiff", SF_FORMAT_AIFF | SF_FORMAT_FLOAT, 1, 44100},
  };
  std::vector<Bytes> originals;
  for (const SndfileCase& c : seeds) {
    ASSERT_TRUE(WriteWithLibsndfile(dir.File(c.name), c.format, c.channels, c.rate, 200, kSeed));
    originals.push_back(ReadAll(dir.File(c.name)));
  }
  std::mt19937 rng(kSeed);
  const std::string path = dir.File("fuzz");
  CAudioFile file;
  constexpr int kIterations = 4000;
  for (int i = 0; i < kIterations; ++i) {
    Bytes b = originals[rng() % originals.size()];
    const unsigned flips = rng() % 9;
    for (unsigned k = 0; k < flips; ++k) {
      const size_t limit = (rng() % 4 != 0) ? std::min<size_t>(b.size(), 96) : b.size();
      b[rng() % limit] ^= uint8_t(1u << (rng() % 8));
    }
    if (flips == 0 || rng() % 3 == 0)
      b.resize(rng() % (b.size() + 1));
    WriteAll(path, b);
    const unsigned start = (rng() % 4 == 0) ? rng() % 300 : 0;
    const unsigned limit = (rng() % 4 == 0) ? rng() % 300 : 0;
    const int rc = file.Load(path.c_str(), start, limit, rng() % 8 == 0);
    ASSERT_TRUE(rc == CAudioFile::kOK || rc == CAudioFile::kErrCorrupt || rc == CAudioFile::kErrNotAudio ||
                rc == CAudioFile::kErrUnsupported)
      << "iteration " << i << " code " << rc;
    if (rc != CAudioFile::kOK)
      continue;
    ASSERT_LE(uint64_t(file.GetNumFrames()) * file.GetNumChannels(), b.size()) << "iteration " << i;
    EXPECT_GE(file.GetSampleRate(), 1);
    EXPECT_LE(file.GetSampleRate(), 1000000);
    double sum = 0.0;
    for (int c = 0; c < file.GetNumChannels(); ++c)
      if (const float* d = file.GetChannelData(unsigned(c), false))
        for (int f = 0; f < file.GetNumFrames(); ++f)
          sum += std::isfinite(d[f]) ? d[f] : 0.0;
    EXPECT_TRUE(std::isfinite(sum));
  }
}
