// `match --reference-file`: pink noise matched to the long-term spectrum of
// a recorded track, the reference loaded through the editor's file button,
// checked with the host's own long-term analysis; and the editor picture
// after the match.
#include <fftw3.h>
#include <gtest/gtest.h>
#include <sndfile.h>
#include <standin/Host.h>

#include <cmath>
#include <filesystem>
#include <fstream>
#include <random>
#include <string>
#include <vector>

#include "LongTermSpectrum.h"
#include "SharedBundle.h"
#include "SpectrumMatch.h"
#include "TempFolder.h"
#include "TestImageCodec.h"

namespace {

constexpr int kRate = 48000;
constexpr int kLength = 1 << 20; // about 22 s
constexpr double kPi = 3.14159265358979323846;
constexpr double kRmsToleranceDB = 1.0;

// Noise of a given magnitude per frequency: random phases, one inverse
// transform (FFTW), scaled to an RMS of 0.05.
std::vector<float> NoiseWithMagnitude(double (*magnitude)(double hz), unsigned seed)
{
  std::mt19937 rng(seed);
  std::uniform_real_distribution<double> phase(0.0, 2 * kPi);
  std::vector<fftw_complex> spec(kLength / 2 + 1);
  for (int k = 0; k <= kLength / 2; ++k) {
    const double m = k == 0 ? 0.0 : magnitude(double(k) * kRate / kLength);
    const double p = phase(rng);
    spec[size_t(k)][0] = m * std::cos(p);
    spec[size_t(k)][1] = m * std::sin(p);
  }
  std::vector<double> x(kLength);
  fftw_plan plan = fftw_plan_dft_c2r_1d(kLength, spec.data(), x.data(), FFTW_ESTIMATE);
  fftw_execute(plan);
  fftw_destroy_plan(plan);
  double power = 0.0;
  for (double v : x)
    power += v * v;
  const double scale = 0.05 / std::sqrt(power / kLength);
  std::vector<float> out(kLength);
  for (size_t i = 0; i < out.size(); ++i)
    out[i] = float(x[i] * scale);
  return out;
}

double Pink(double hz) { return 1.0 / std::sqrt(hz); }

// A "recording": a band from a second-order roll-off under 120 Hz to one
// over 3 kHz, with a bump at 700 Hz.
double Track(double hz)
{
  const double low = (hz / 120.0) * (hz / 120.0), high = (3000.0 / hz) * (3000.0 / hz);
  const double bump = 1.0 + 1.5 * std::exp(-std::pow(std::log2(hz / 700.0) / 0.5, 2.0));
  return bump / std::sqrt((1.0 + 1.0 / low) * (1.0 + 1.0 / high));
}

// Two more "recordings", each far from the track and from each other: one
// bright, rising above 1 kHz with a notch near 2.5 kHz; one dark, falling
// from 200 Hz on with a lift at 4 kHz.
double Bright(double hz)
{
  const double notch = 1.0 - 0.7 * std::exp(-std::pow(std::log2(hz / 2500.0) / 0.4, 2.0));
  return std::pow(hz / 1000.0, 0.3) * notch / std::sqrt(1.0 + (60.0 / hz) * (60.0 / hz));
}

double Dark(double hz)
{
  const double lift = 1.0 + 2.0 * std::exp(-std::pow(std::log2(hz / 4000.0) / 0.6, 2.0));
  return lift / std::sqrt(1.0 + std::pow(hz / 200.0, 3.0));
}

bool WriteMono(const std::string& path, const std::vector<float>& x)
{
  SF_INFO info{};
  info.samplerate = kRate;
  info.channels = 1;
  info.format = SF_FORMAT_WAV | SF_FORMAT_FLOAT;
  SNDFILE* f = sf_open(path.c_str(), SFM_WRITE, &info);
  if (!f)
    return false;
  sf_writef_float(f, x.data(), sf_count_t(x.size()));
  sf_close(f);
  return true;
}

// The file's mono mix through the host's analysis, from `skip` seconds on.
host::LongTermSpectrum Measure(const std::string& path, double skip)
{
  host::LongTermSpectrum s(kRate);
  SF_INFO info{};
  SNDFILE* f = sf_open(path.c_str(), SFM_READ, &info);
  if (!f)
    return s;
  std::vector<float> inter(size_t(info.frames * info.channels)), mono(size_t(info.frames));
  sf_readf_float(f, inter.data(), info.frames);
  sf_close(f);
  for (size_t i = 0; i < mono.size(); ++i) {
    double sum = 0.0;
    for (int c = 0; c < info.channels; ++c)
      sum += inter[i * size_t(info.channels) + size_t(c)];
    mono[i] = float(sum / info.channels);
  }
  const size_t from = size_t(skip * kRate);
  s.Add(mono.data() + from, mono.size() - from);
  return s;
}

// RMS of the difference between two spectra in sixth-octave bands from 50
// Hz to 16 kHz, their mean difference (the level) taken out.
double ShapeRmsDB(const host::LongTermSpectrum& a, const host::LongTermSpectrum& b)
{
  std::vector<double> d;
  for (double f = 50.0; f <= 16000.0; f *= std::pow(2.0, 1.0 / 6.0)) {
    const double lo = f / std::pow(2.0, 1.0 / 12.0), hi = f * std::pow(2.0, 1.0 / 12.0);
    d.push_back(a.BandLevelDB(lo, hi) - b.BandLevelDB(lo, hi));
  }
  double mean = 0.0;
  for (double v : d)
    mean += v / double(d.size());
  double sq = 0.0;
  for (double v : d)
    sq += (v - mean) * (v - mean) / double(d.size());
  return std::sqrt(sq);
}

// A user of its own, and the bundle known by its identifier as the host
// registers it.
class ReferenceFileMatch : public ::testing::Test {
protected:
  void SetUp() override
  {
    mSavedHome = standin::UserHome();
    standin::SetUserHome(dir.File("home"), true);
    standin::RegisterBundleAtPath(host::DefaultBundlePath());
  }
  void TearDown() override { standin::SetUserHome(mSavedHome, false); }

  testsupport::TempFolder dir;
  std::string mSavedHome;
};

TEST_F(ReferenceFileMatch, PinkNoiseTakesTheTracksLongTermSpectrumWithinOneDecibelRms)
{
  const std::string in = dir.File("pink.wav"), track = dir.File("track.wav"), out = dir.File("matched.wav"),
                    png = dir.File("editor.png");
  ASSERT_TRUE(WriteMono(in, NoiseWithMagnitude(Pink, 3)));
  ASSERT_TRUE(WriteMono(track, NoiseWithMagnitude(Track, 4)));

  host::MatchOptions options;
  options.mInPath = in;
  options.mOutPath = out;
  options.mReferenceFile = track;
  options.mEditorPng = png;
  host::MatchReport report;
  ASSERT_EQ(host::RunSpectrumMatch(SharedBundle(), options, report), "");
  ASSERT_LT(report.mPeak, 1.0) << "the test signal must not clip";

  const host::LongTermSpectrum target = Measure(track, 0.0);
  const double before = ShapeRmsDB(Measure(in, 1.0), target);
  const double after = ShapeRmsDB(Measure(out, 1.0), target);
  EXPECT_GT(before, 5.0) << "pink noise must start far from the track's shape";
  EXPECT_LT(after, kRmsToleranceDB);

  // The editor after the match: the picture of the whole view.
  testsupport::RGBAImage img;
  ASSERT_TRUE(testsupport::DecodeImageFile(png.c_str(), img));
  EXPECT_EQ(img.w, 650);
  EXPECT_EQ(img.h, 470);
}

TEST_F(ReferenceFileMatch, AMissingReferenceFileIsRefusedBeforeProcessing)
{
  const std::string in = dir.File("pink.wav");
  ASSERT_TRUE(WriteMono(in, NoiseWithMagnitude(Pink, 5)));
  host::MatchOptions options;
  options.mInPath = in;
  options.mOutPath = dir.File("out.wav");
  options.mReferenceFile = dir.File("nothing.ref");
  host::MatchReport report;
  const std::string error = host::RunSpectrumMatch(SharedBundle(), options, report);
  EXPECT_NE(error.find("nothing.ref"), std::string::npos) << error;
  EXPECT_FALSE(std::ifstream(options.mOutPath).good());
}

// The output takes the shape of the recording chosen and of no other: the
// measure that finds it within a decibel of its own reference finds it far
// from every other one, so a wrong curve in the plug-in fails it.
TEST_F(ReferenceFileMatch, TheOutputTakesTheShapeOfTheChosenRecordingAndOfNoOther)
{
  const struct {
    const char* name;
    double (*shape)(double);
    unsigned seed;
  } recordings[] = {{"track", Track, 4}, {"bright", Bright, 6}, {"dark", Dark, 7}};
  constexpr double kOtherShapeDB = 3.0;
  const std::string in = dir.File("pink.wav");
  ASSERT_TRUE(WriteMono(in, NoiseWithMagnitude(Pink, 3)));
  std::vector<host::LongTermSpectrum> targets;
  for (const auto& r : recordings) {
    ASSERT_TRUE(WriteMono(dir.File(std::string(r.name) + ".wav"), NoiseWithMagnitude(r.shape, r.seed)));
    targets.push_back(Measure(dir.File(std::string(r.name) + ".wav"), 0.0));
  }
  for (size_t i = 0; i < std::size(recordings); ++i) {
    const std::string out = dir.File(std::string(recordings[i].name) + "-matched.wav");
    host::MatchOptions options;
    options.mInPath = in;
    options.mOutPath = out;
    options.mReferenceFile = dir.File(std::string(recordings[i].name) + ".wav");
    host::MatchReport report;
    ASSERT_EQ(host::RunSpectrumMatch(SharedBundle(), options, report), "") << recordings[i].name;
    ASSERT_LT(report.mPeak, 1.0) << recordings[i].name;
    const host::LongTermSpectrum matched = Measure(out, 1.0);
    for (size_t j = 0; j < targets.size(); ++j) {
      const double shape = ShapeRmsDB(matched, targets[j]);
      if (i == j) {
        EXPECT_LT(shape, kRmsToleranceDB) << recordings[i].name;
      } else {
        EXPECT_GT(shape, kOtherShapeDB) << recordings[i].name << " against " << recordings[j].name;
      }
    }
  }
}

// A user who saved the default at 200 % meets the editor at 200 %: match
// still finds the reference file button and the filter button there.
TEST_F(ReferenceFileMatch, TheEditorsButtonsAreFoundAtTheScaleTheUserSavedAsDefault)
{
  const std::filesystem::path data = dir.Path() / "home/Library/Application Support/Vorelle3/AU";
  std::filesystem::create_directories(data);
  std::ofstream(data / "default.zvp") << "<?xml version=\"1.0\" ?>\n<PresetXMLTree version=\"1\">\n"
                                         "<PluginVendor>Zelvant</PluginVendor><PluginName>Vorelle3</PluginName>"
                                         "<PluginVersion>3.0.21</PluginVersion><Preset name=\"Large\"><Parameter>"
                                         "<Param name=\"GUI scale\" val=\"2.000000\" /></Parameter></Preset>"
                                         "</PresetXMLTree>\n";
  const std::string in = dir.File("pink.wav"), track = dir.File("track.wav"), png = dir.File("editor.png");
  ASSERT_TRUE(WriteMono(in, NoiseWithMagnitude(Pink, 3)));
  ASSERT_TRUE(WriteMono(track, NoiseWithMagnitude(Track, 4)));
  host::MatchOptions options;
  options.mInPath = in;
  options.mOutPath = dir.File("matched.wav");
  options.mReferenceFile = track;
  options.mLinearPhase = true;
  options.mEditorPng = png;
  host::MatchReport report;
  ASSERT_EQ(host::RunSpectrumMatch(SharedBundle(), options, report), "");
  testsupport::RGBAImage img;
  ASSERT_TRUE(testsupport::DecodeImageFile(png.c_str(), img));
  EXPECT_EQ(img.w, 1300) << "the default did not open the editor at 200 %";
  EXPECT_GE(report.mLatency, 16383) << "the filter button was not pressed";
  EXPECT_LT(ShapeRmsDB(Measure(options.mOutPath, 1.0), Measure(track, 0.0)), kRmsToleranceDB)
    << "the reference file was not loaded";
}

} // namespace
