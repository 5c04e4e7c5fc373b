// Offline processing of files through the bundle, against files written by
// libsndfile and sox and read back by libsndfile.
#include <gtest/gtest.h>

#include <sndfile.h>

#include <cmath>
#include <cstdlib>
#include <filesystem>
#include <string>
#include <vector>

#include "AUBundle.h"
#include "SharedBundle.h"
#include "AUFileProcessor.h"
#include "TempFolder.h"

namespace {

namespace fs = std::filesystem;

using TempDir = testsupport::TempFolder;

std::vector<float> ReadAll(const std::string& path, SF_INFO& info)
{
  info = SF_INFO{};
  SNDFILE* file = sf_open(path.c_str(), SFM_READ, &info);
  if (!file)
    return {};
  std::vector<float> samples(static_cast<size_t>(info.frames * info.channels));
  sf_readf_float(file, samples.data(), info.frames);
  sf_close(file);
  return samples;
}

bool WriteStereo(const std::string& path, int format, int frames, int rate)
{
  SF_INFO info{};
  info.samplerate = rate;
  info.channels = 2;
  info.format = format;
  SNDFILE* file = sf_open(path.c_str(), SFM_WRITE, &info);
  if (!file)
    return false;
  std::vector<float> samples(static_cast<size_t>(frames) * 2);
  for (int t = 0; t < frames; ++t) {
    samples[2 * t] = 0.5f * std::sin(0.01f * t);
    samples[2 * t + 1] = 0.25f * std::cos(0.003f * t);
  }
  sf_writef_float(file, samples.data(), frames);
  sf_close(file);
  return true;
}

} // namespace

TEST(ProcessFile, StereoFilesComeBackUnchangedThroughThePassThroughPlugin)
{
  const struct { const char* name; int format; int frames; unsigned block; } table[] = {
    {"float.wav", SF_FORMAT_WAV | SF_FORMAT_FLOAT, 5000, 512},
    {"pcm24.aiff", SF_FORMAT_AIFF | SF_FORMAT_PCM_24, 3001, 64},
    {"short.wav", SF_FORMAT_WAV | SF_FORMAT_PCM_16, 7, 4096},
  };
  TempDir dir;
  for (const auto& row : table) {
    const std::string in = dir.File(row.name), out = dir.File((std::string("out-") + row.name).c_str());
    ASSERT_TRUE(WriteStereo(in, row.format, row.frames, 48000));
    host::ProcessOptions options;
    options.mBlockSize = row.block;
    ASSERT_EQ(host::ProcessFile(SharedBundle(), in, out, options), "") << row.name;
    SF_INFO inInfo, outInfo;
    const std::vector<float> a = ReadAll(in, inInfo), b = ReadAll(out, outInfo);
    EXPECT_EQ(outInfo.format, inInfo.format) << row.name;
    EXPECT_EQ(outInfo.samplerate, 48000);
    ASSERT_EQ(b.size(), a.size()) << row.name;
    for (size_t i = 0; i < a.size(); ++i)
      ASSERT_EQ(a[i], b[i]) << row.name << " sample " << i;
  }
}

TEST(ProcessFile, MonoSoxFileFeedsBothChannels)
{
  TempDir dir;
  const std::string in = dir.File("tone.aiff"), out = dir.File("tone-out.aiff");
  const std::string sox = "sox -n -r 44100 -b 16 -c 1 " + in + " synth 0.5 sine 440 vol 0.5 2>/dev/null";
  if (std::system(sox.c_str()) != 0)
    GTEST_SKIP() << "sox is not installed";
  ASSERT_EQ(host::ProcessFile(SharedBundle(), in, out, {}), "");
  SF_INFO inInfo, outInfo;
  const std::vector<float> a = ReadAll(in, inInfo), b = ReadAll(out, outInfo);
  ASSERT_EQ(outInfo.channels, 2);
  ASSERT_EQ(outInfo.frames, inInfo.frames);
  for (sf_count_t t = 0; t < inInfo.frames; ++t) {
    ASSERT_EQ(b[2 * t], a[t]);
    ASSERT_EQ(b[2 * t + 1], a[t]);
  }
}

TEST(ProcessFile, BadInputIsRefusedWithAMessage)
{
  TempDir dir;
  const std::string text = dir.File("notes.txt");
  std::FILE* f = std::fopen(text.c_str(), "w");
  std::fputs("not audio", f);
  std::fclose(f);
  SF_INFO info{};
  info.samplerate = 44100;
  info.channels = 3;
  info.format = SF_FORMAT_WAV | SF_FORMAT_PCM_16;
  const std::string three = dir.File("three.wav");
  SNDFILE* file = sf_open(three.c_str(), SFM_WRITE, &info);
  short zeros[3] = {};
  sf_writef_short(file, zeros, 1);
  sf_close(file);
  const struct { std::string in; const char* says; } table[] = {
    {dir.File("missing.wav"), "cannot read"}, {text, "cannot read"}, {three, "3 channels"}};
  for (const auto& row : table) {
    const std::string error = host::ProcessFile(SharedBundle(), row.in, dir.File("out.wav"), {});
    EXPECT_NE(error.find(row.says), std::string::npos) << error;
  }
}

TEST(ProcessFile, ParametersAreSetBeforeRendering)
{
  TempDir dir;
  const std::string in = dir.File("in.wav");
  ASSERT_TRUE(WriteStereo(in, SF_FORMAT_WAV | SF_FORMAT_FLOAT, 100, 44100));
  host::ProcessOptions options;
  options.mParams = {{5, 1.f}, {999, 1.f}};
  const std::string error = host::ProcessFile(SharedBundle(), in, dir.File("out.wav"), options);
  EXPECT_NE(error.find("parameter 999"), std::string::npos) << error;
}
