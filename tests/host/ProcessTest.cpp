// Offline processing of files through the bundle, against files written by
// libsndfile and sox and read back by libsndfile.
#include <gtest/gtest.h>

#include <sndfile.h>

#include <algorithm>
#include <cmath>
#include <cstdint>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <string>
#include <vector>

#include <standin/Host.h>

#include "AUBundle.h"
#include "SharedBundle.h"
#include "AUFileProcessor.h"
#include "HostFiles.h"
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
  const struct {
    const char* name;
    int format;
    int frames;
    unsigned block;
  } table[] = {
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
  const struct {
    std::string in;
    const char* says;
  } table[] = {{dir.File("missing.wav"), "cannot read"}, {text, "cannot read"}, {three, "3 channels"}};
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

namespace {

using hosttest::Names;
using hosttest::ReadAudio;
using hosttest::ReadBytes;
using hosttest::WriteAudio;

// Stereo noise of a fixed seed at level `peak`.
std::vector<float> Noise(int frames, float peak, unsigned seed = 7)
{
  std::vector<float> x(size_t(frames) * 2);
  uint32_t s = seed;
  for (float& v : x) {
    s = s * 1664525u + 1013904223u;
    v = peak * (float(s >> 8) / float(1u << 24) * 2.f - 1.f);
  }
  return x;
}

} // namespace

TEST(ProcessFile, AnOutputThatIsAnInputIsRefusedAndTheInputKept)
{
  TempDir dir;
  const std::string in = dir.File("in.wav");
  ASSERT_TRUE(WriteAudio(in, Noise(2000, 0.3f), 2, 44100));
  fs::create_directories(dir.Path() / "sub");
  fs::create_symlink(in, dir.File("link.wav"));
  const std::string before = ReadBytes(in);
  for (const std::string& out : {in, dir.File("link.wav"), dir.File("sub/../in.wav")}) {
    const std::string error = host::ProcessFile(SharedBundle(), in, out, {});
    EXPECT_NE(error.find("must not be an input file"), std::string::npos) << out << ": " << error;
    EXPECT_EQ(ReadBytes(in), before) << out;
  }
}

TEST(ProcessFile, ARefusedOrFailedJobLeavesNoFileAndKeepsThePreviousOutput)
{
  TempDir dir;
  const std::string in = dir.File("in.wav"), nan = dir.File("nan.wav"), out = dir.File("out.wav");
  ASSERT_TRUE(WriteAudio(in, Noise(3000, 0.3f), 2, 44100));
  std::vector<float> bad = Noise(3000, 0.3f);
  bad[2 * 2500 + 1] = std::nanf("");
  ASSERT_TRUE(WriteAudio(nan, bad, 2, 44100));
  std::ofstream(out) << "the previous good output";
  const auto names = Names(dir.Path());

  struct Row {
    std::string in, out;
    std::vector<std::pair<unsigned, float>> params;
    const char* says;
  };
  const Row rows[] = {
    {nan, out, {}, "not a number (NaN or infinity) at frame 2500"},
    {in, out, {{5, 99.f}}, "takes -24 to 24"},
    {in, out, {{8, 1.f}}, "one-shot button"},
    {in, out, {{6, std::nanf("")}}, "takes 0 to 100"},
    {in, dir.File("out.flac"), {}, "must end in .wav or .aiff"},
    {in, dir.File("missing/out.wav"), {}, "does not exist"},
  };
  for (const Row& row : rows) {
    host::ProcessOptions options;
    options.mParams = row.params;
    const std::string error = host::ProcessFile(SharedBundle(), row.in, row.out, options);
    EXPECT_NE(error.find(row.says), std::string::npos) << error;
    EXPECT_EQ(ReadBytes(out), "the previous good output");
    EXPECT_EQ(Names(dir.Path()), names) << row.says;
  }
}

TEST(ProcessFile, TheOutputFormatFollowsTheFileNameAndAMonoInputIsSaidToBeWrittenAsStereo)
{
  TempDir dir;
  const std::string wav = dir.File("in.wav"), aiff = dir.File("in.aiff");
  ASSERT_TRUE(WriteAudio(wav, Noise(1000, 0.3f), 2, 44100, SF_FORMAT_WAV | SF_FORMAT_FLOAT));
  std::vector<float> mono(1000, 0.25f);
  ASSERT_TRUE(WriteAudio(aiff, mono, 1, 44100, SF_FORMAT_AIFF | SF_FORMAT_PCM_24));
  const struct {
    std::string in, out;
    int format;
    bool mono;
  } rows[] = {
    {wav, dir.File("a.aiff"), SF_FORMAT_AIFF | SF_FORMAT_FLOAT, false},
    {wav, dir.File("b.AIF"), SF_FORMAT_AIFF | SF_FORMAT_FLOAT, false},
    {aiff, dir.File("c.wav"), SF_FORMAT_WAV | SF_FORMAT_PCM_24, true},
    {aiff, dir.File("d.aiff"), SF_FORMAT_AIFF | SF_FORMAT_PCM_24, true},
  };
  for (const auto& row : rows) {
    host::ProcessReport report;
    ASSERT_EQ(host::ProcessFile(SharedBundle(), row.in, row.out, {}, &report), "") << row.out;
    SF_INFO info;
    ReadAudio(row.out, info);
    EXPECT_EQ(info.format, row.format) << row.out;
    EXPECT_EQ(info.channels, 2);
    bool saysMono = false;
    for (const std::string& note : report.mNotes)
      saysMono = saysMono || note.find("mono") != std::string::npos;
    EXPECT_EQ(saysMono, row.mono) << row.out;
  }
}

TEST(ProcessFile, ProgressGrowsAndReachesOneAtEveryRate)
{
  TempDir dir;
  for (int rate : {8000, 22050, 44100, 48000, 96000}) {
    const int frames = rate / 3 + 17;
    const std::string in = dir.File("in.wav");
    ASSERT_TRUE(WriteAudio(in, Noise(frames, 0.1f), 2, rate));
    std::vector<double> seen;
    host::ProcessOptions options;
    options.mBlockSize = 100;
    options.mProgress = [&seen](double f) { seen.push_back(f); };
    ASSERT_EQ(host::ProcessFile(SharedBundle(), in, dir.File("out.wav"), options), "") << rate;
    ASSERT_FALSE(seen.empty()) << rate;
    EXPECT_EQ(seen.back(), 1.0) << rate;
    EXPECT_TRUE(std::is_sorted(seen.begin(), seen.end())) << rate;
    EXPECT_EQ(std::count(seen.begin(), seen.end(), 1.0), 1) << rate;
  }
}

TEST(ProcessFile, SamplesAtFullScaleAreCountedAndTheGainToLowerIsGiven)
{
  constexpr int kRate = 44100;
  TempDir dir;
  const std::string in = dir.File("in.wav"), out = dir.File("out.wav");
  std::vector<float> x = Noise(kRate, 0.25f);
  x[100] = 0.5f; // the peak, inside the fade-in
  ASSERT_TRUE(WriteAudio(in, x, 2, kRate));
  // Processing without a fingerprint: the input times "Gain", limited to
  // full scale, faded in over a quarter second.
  host::ProcessOptions options;
  options.mParams = {{2, 2.f}, {5, 24.f}};
  host::ProcessReport report;
  ASSERT_EQ(host::ProcessFile(SharedBundle(), in, out, options, &report), "");
  const double gain = std::pow(10.0, 24.0 / 20.0);
  const size_t fadeEnd = size_t(std::floor(0.25 * kRate)) - 1;
  long long atFullScale = 0;
  for (size_t i = 2 * fadeEnd; i < x.size(); ++i)
    atFullScale += std::fabs(double(x[i]) * gain) >= 1.0;
  EXPECT_EQ(report.mClippedSamples, atFullScale);
  // 0.5 raised by 24 dB is 17.98 dB over full scale, though the file never
  // shows more than full scale.
  bool said = false;
  for (const std::string& note : report.mNotes)
    said = said || note.find("lower \"Gain\" by 18.0 dB") != std::string::npos;
  EXPECT_TRUE(said) << (report.mNotes.empty() ? "no note" : report.mNotes.back());

  options.mParams = {{2, 2.f}, {5, 24.f - 18.f}};
  ASSERT_EQ(host::ProcessFile(SharedBundle(), in, out, options, &report), "");
  EXPECT_EQ(report.mClippedSamples, 0);
  EXPECT_TRUE(report.mNotes.empty());
}

TEST(ProcessFile, TheOutputLinesUpWithTheInputWhileTheReportedLatencyChanges)
{
  constexpr int kRate = 44100;
  TempDir dir;
  // A default preset in a private home starts every new unit in "Digital":
  // a linear-phase filter that reports its delay once it is built.
  const std::string savedHome = standin::UserHome();
  standin::SetUserHome(dir.File("home"), true);
  const fs::path data = dir.Path() / "home/Library/Application Support/Vorelle3/AU";
  fs::create_directories(data);
  std::ofstream(data / "default.zvp") << "<?xml version=\"1.0\" ?>\n<PresetXMLTree version=\"1\">\n"
                                         "<PluginVendor>Zelvant</PluginVendor><PluginName>Vorelle3</PluginName>"
                                         "<PluginVersion>3.0.21</PluginVersion><Preset name=\"Digital\"><Parameter>"
                                         "<Param name=\"AD mode\" val=\"1.000000\" /></Parameter></Preset>"
                                         "</PresetXMLTree>\n";
  const std::string in = dir.File("in.wav"), out = dir.File("out.wav");
  const std::vector<float> x = Noise(2 * kRate, 0.3f);
  ASSERT_TRUE(WriteAudio(in, x, 2, kRate));
  host::ProcessReport report;
  const std::string error = host::ProcessFile(SharedBundle(), in, out, {}, &report);
  standin::SetUserHome(savedHome, false);
  ASSERT_EQ(error, "");
  EXPECT_GE(report.mLatency, 16383) << "the default preset did not choose Digital";

  // Idle passes the input delayed by the latency: compensated, the output
  // is the input, to the last frame.
  SF_INFO info;
  const std::vector<float> y = ReadAudio(out, info);
  ASSERT_EQ(y.size(), x.size());
  size_t differ = 0;
  for (size_t i = 0; i < x.size(); ++i)
    differ += std::fabs(y[i] - x[i]) > 1e-4f;
  EXPECT_LE(differ, 2u * 512u) << "only the block before the filter is swapped in may differ";
  for (size_t i = x.size() / 2; i < x.size(); ++i)
    ASSERT_NEAR(y[i], x[i], 1e-4f) << "frame " << i / 2;
}

namespace {

// A stereo 16-bit file whose header is then made to claim `rate`: WAV with
// the rate and byte-rate words patched, AIFF with the 80-bit rate given as
// its ten bytes.
std::string WithRate(const std::string& path, bool aiff, uint32_t rate, const std::string& aiffRate = "")
{
  if (!WriteAudio(path, Noise(20000, 0.1f), 2, 44100, (aiff ? SF_FORMAT_AIFF : SF_FORMAT_WAV) | SF_FORMAT_PCM_16))
    return "";
  std::string bytes = ReadBytes(path);
  if (aiff) {
    const size_t comm = bytes.find("COMM");
    bytes.replace(comm + 16, 10, aiffRate);
  } else {
    for (int i = 0; i < 4; ++i) {
      bytes[size_t(24 + i)] = char((rate >> (8 * i)) & 0xFF);
      bytes[size_t(28 + i)] = char(((rate * 4u) >> (8 * i)) & 0xFF);
    }
  }
  std::ofstream(path, std::ios::binary | std::ios::trunc) << bytes;
  return path;
}

} // namespace

TEST(ProcessFile, RatesOutside8kHzTo768kHzAreRefusedWithTheRate)
{
  TempDir dir;
  const std::string zero(10, '\0');
  const std::string infinite = std::string("\x7F\xFF\x80", 3) + std::string(7, '\0');
  const std::string huge = std::string("\x43\xE1\x80", 3) + std::string(7, '\0'); // about 1e300
  const struct {
    std::string in;
    const char* says; // empty: accepted
  } rows[] = {
    {WithRate(dir.File("1.wav"), false, 1), "runs at 1 Hz"},
    {WithRate(dir.File("3.wav"), false, 3), "runs at 3 Hz"},
    {WithRate(dir.File("7999.wav"), false, 7999), "runs at 7999 Hz"},
    {WithRate(dir.File("8000.wav"), false, 8000), ""},
    {WithRate(dir.File("768000.wav"), false, 768000), ""},
    {WithRate(dir.File("768001.wav"), false, 768001), "runs at 768001 Hz"},
    {WithRate(dir.File("2e9.wav"), false, 2000000000u), "runs at 2000000000 Hz"},
    {WithRate(dir.File("zero.aiff"), true, 0, zero), " Hz; the plug-in works at 8000 to 768000 Hz"},
    {WithRate(dir.File("inf.aiff"), true, 0, infinite), " Hz; the plug-in works at 8000 to 768000 Hz"},
    {WithRate(dir.File("huge.aiff"), true, 0, huge), " Hz; the plug-in works at 8000 to 768000 Hz"},
  };
  for (const auto& row : rows) {
    ASSERT_FALSE(row.in.empty());
    const std::string error = host::ProcessFile(SharedBundle(), row.in, dir.File("out.wav"), {});
    if (*row.says)
      EXPECT_NE(error.find(row.says), std::string::npos) << row.in << ": " << error;
    else
      EXPECT_EQ(error, "") << row.in;
  }
}

TEST(ProcessFile, OutputNamesUpToTheLongestTheFolderTakesAreWritten)
{
  TempDir dir;
  const std::string in = dir.File("in.wav");
  ASSERT_TRUE(WriteAudio(in, Noise(1000, 0.3f), 2, 44100));
  for (size_t length : {200, 247, 248, 251, 255}) {
    const std::string name = std::string(length - 4, 'n') + ".wav";
    const std::string error = host::ProcessFile(SharedBundle(), in, dir.File(name.c_str()), {});
    EXPECT_EQ(error, "") << length << " bytes";
    EXPECT_TRUE(fs::exists(dir.File(name.c_str()))) << length << " bytes";
  }
  EXPECT_EQ(Names(dir.Path()).size(), 6u) << "a temporary file was left";
}

TEST(ProcessFile, AnOutputThatIsASymbolicLinkReplacesTheFileItPointsToAndStaysALink)
{
  TempDir dir;
  const std::string in = dir.File("in.wav");
  ASSERT_TRUE(WriteAudio(in, Noise(1000, 0.3f), 2, 44100));
  fs::create_directories(dir.Path() / "sub");
  std::ofstream(dir.File("sub/old.wav")) << "the previous output";
  const struct {
    std::string link;
    std::string pointsTo; // as written in the link
    std::string file;     // the file that receives the audio
  } rows[] = {
    {dir.File("relative.wav"), "sub/old.wav", dir.File("sub/old.wav")},
    {dir.File("absolute.wav"), dir.File("sub/new.wav"), dir.File("sub/new.wav")},
    {dir.File("chain.wav"), "relative.wav", dir.File("sub/old.wav")},
    {dir.File("sub/up.wav"), "../top.wav", dir.File("top.wav")},
  };
  for (const auto& row : rows) {
    fs::create_symlink(row.pointsTo, row.link);
    ASSERT_EQ(host::ProcessFile(SharedBundle(), in, row.link, {}), "") << row.link;
    EXPECT_TRUE(fs::is_symlink(row.link)) << row.link;
    EXPECT_EQ(fs::read_symlink(row.link).string(), row.pointsTo) << row.link;
    SF_INFO info;
    ReadAudio(row.file, info);
    EXPECT_EQ(info.frames, 1000) << row.link;
  }
  EXPECT_EQ(Names(dir.Path()),
            (std::set<std::string>{"absolute.wav", "chain.wav", "in.wav", "relative.wav", "sub", "top.wav"}));
  EXPECT_EQ(Names(dir.Path() / "sub"), (std::set<std::string>{"new.wav", "old.wav", "up.wav"}));
}

TEST(ProcessFile, ACompressedInputIsWrittenAsFloatWithTheFramesReportedThatTheFileHolds)
{
  TempDir dir;
  const struct {
    const char* name;
    int format;
  } rows[] = {
    {"ima.wav", SF_FORMAT_WAV | SF_FORMAT_IMA_ADPCM},
    {"ms.wav", SF_FORMAT_WAV | SF_FORMAT_MS_ADPCM},
    {"ulaw.wav", SF_FORMAT_WAV | SF_FORMAT_ULAW},
    {"alaw.aiff", SF_FORMAT_AIFF | SF_FORMAT_ALAW},
  };
  for (const auto& row : rows) {
    const std::string in = dir.File(row.name), out = dir.File((std::string("out-") + row.name).c_str());
    // 1001 frames: no whole number of the codecs' blocks.
    ASSERT_TRUE(WriteAudio(in, Noise(1001, 0.3f), 2, 44100, row.format)) << row.name;
    SF_INFO inInfo;
    const std::vector<float> x = ReadAudio(in, inInfo);
    host::ProcessReport report;
    ASSERT_EQ(host::ProcessFile(SharedBundle(), in, out, {}, &report), "") << row.name;
    SF_INFO outInfo;
    const std::vector<float> y = ReadAudio(out, outInfo);
    EXPECT_EQ(outInfo.format, (row.format & SF_FORMAT_TYPEMASK) | SF_FORMAT_FLOAT) << row.name;
    EXPECT_EQ(outInfo.frames, inInfo.frames) << row.name;
    EXPECT_EQ(report.mFrames, outInfo.frames) << row.name;
    // Idle passes the decoded input through, nothing lost again.
    ASSERT_EQ(y.size(), x.size()) << row.name;
    for (size_t i = 0; i < x.size(); ++i)
      ASSERT_EQ(y[i], x[i]) << row.name << " sample " << i;
  }
}

TEST(ProcessFile, OnlySamplesThePluginLimitedCountAndGainIsAdvisedOnlyWhereItActsAndAsFarAsItCan)
{
  constexpr int kRate = 44100;
  TempDir dir;
  // Noise at 0.3; the marked samples lie after the quarter-second fade-in.
  std::vector<float> fullScale = Noise(kRate, 0.3f), hot = fullScale, veryHot = fullScale;
  for (int frame : {20000, 25000, 30000}) {
    fullScale[size_t(2 * frame)] = -1.f; // -32768 in 16 bits: full scale, not over it
    hot[size_t(2 * frame)] = 1.5f;       // 3.52 dB over
  }
  veryHot[2 * 30000] = veryHot[2 * 30000 + 1] = 40.f; // 32.04 dB over
  std::vector<float> early = Noise(kRate, 0.3f);
  early[2 * 100] = 1.5f; // limited, then faded in below full scale
  const std::string a = dir.File("fullscale.wav"), b = dir.File("hot.wav"), c = dir.File("veryhot.wav");
  const std::string d = dir.File("early.wav");
  ASSERT_TRUE(WriteAudio(d, early, 2, kRate));
  ASSERT_TRUE(WriteAudio(a, fullScale, 2, kRate, SF_FORMAT_WAV | SF_FORMAT_PCM_16));
  ASSERT_TRUE(WriteAudio(b, hot, 2, kRate));
  ASSERT_TRUE(WriteAudio(c, veryHot, 2, kRate));

  const struct {
    std::string in;
    std::vector<std::pair<unsigned, float>> params;
    long long clipped;
    const char* says; // empty: no note at all
  } rows[] = {
    {a, {}, 0, ""},
    {a, {{2, 2.f}}, 0, ""},
    {b,
     {},
     3,
     "3 samples of the input lie over full scale (its peak is 3.6 dB over) and pass through unchanged: in "
     "Activity state Idle \"Gain\" does not act"},
    {b,
     {{2, 0.f}},
     3,
     "in Activity state Capture \"Gain\" does not act (it acts in Processing only); lower the "
     "input's level by 3.6 dB"},
    {b,
     {{2, 2.f}, {6, 0.f}},
     3,
     "with \"Mix\" at 0 % the output is the input itself, which \"Gain\" does not "
     "change: the input peaks 3.6 dB over full scale; lower its level by 3.6 dB"},
    // 0.5 x 1.5 x 10^(6/20) + 0.5 x 1.5 = 2.246: 7.03 dB over.
    {b, {{2, 2.f}, {5, 6.f}, {6, 50.f}}, 3, "lower \"Gain\" by at least 7.1 dB (--param 5=-1.1)"},
    {b, {{2, 2.f}, {5, -3.f}}, 3, "lower \"Gain\" by 0.6 dB (--param 5=-3.6) to keep every sample below it"},
    {d, {{2, 2.f}}, 0, "the output went over full scale during the fade-in and was limited; lower \"Gain\" by 3.6 dB"},
    // 40 at -20 dB is 12.04 dB over: -20 - 12.1 lies 8.1 dB under the floor.
    {c,
     {{2, 2.f}, {5, -20.f}},
     2,
     "the output peaks 12.1 dB over full scale, and \"Gain\" cannot lower it enough: at its floor of -24 dB "
     "(--param 5=-24) 8.1 dB are left over"},
  };
  for (const auto& row : rows) {
    host::ProcessOptions options;
    options.mParams = row.params;
    host::ProcessReport report;
    ASSERT_EQ(host::ProcessFile(SharedBundle(), row.in, dir.File("out.wav"), options, &report), "") << row.says;
    EXPECT_EQ(report.mClippedSamples, row.clipped) << row.in << " " << row.says;
    std::string notes;
    for (const std::string& note : report.mNotes)
      notes += note + "\n";
    if (*row.says) {
      EXPECT_NE(notes.find(row.says), std::string::npos) << notes;
    } else {
      EXPECT_EQ(notes, "") << row.in;
    }
    // No "Gain" advice where it cannot act.
    if (std::string(row.says).find("\"Gain\" does not") != std::string::npos) {
      EXPECT_EQ(notes.find("--param 5="), std::string::npos) << notes;
    }
  }
}
