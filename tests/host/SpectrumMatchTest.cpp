// The main job through the offline host, with no editor: noise shaped by a
// known equaliser is captured, then processed against a built-in reference;
// the output file is measured here with FFTW, independently of the plug-in
// and of the host's own measure.
#include <gtest/gtest.h>

#include <fftw3.h>
#include <sndfile.h>
#include <unistd.h>

#include <cmath>
#include <cstdio>
#include <array>
#include <filesystem>
#include <fstream>
#include <limits>
#include <optional>
#include <random>
#include <string>
#include <vector>

#include "LongTermSpectrum.h"
#include "ReferenceTwo.h"
#include "SharedBundle.h"
#include "SpectrumMatch.h"
#include "TempFolder.h"

namespace {

namespace fs = std::filesystem;

constexpr int kRate = 48000;
constexpr double kSeconds = 20.0;
constexpr double kShapeToleranceDB = 1.0;
constexpr double kOctaveToleranceDB = 0.5;
constexpr double kPi = 3.14159265358979323846;

class SpectrumMatch : public ::testing::Test {
protected:
  void SetUp() override
  {
    mFolder.emplace();
    mDir = mFolder->Path();
  }
  void TearDown() override { mFolder.reset(); }
  std::string File(const char* name) const { return (mDir / name).string(); }
  std::optional<testsupport::TempFolder> mFolder;
  fs::path mDir;
};

// Gaussian noise through a second-order high-pass at 90 Hz (Q 0.5), a broad
// peak of +6 dB at 1 kHz and a first-order low-pass at 4 kHz (the equaliser).
std::vector<float> ShapedNoise(size_t n, unsigned seed)
{
  std::mt19937 rng(seed);
  std::normal_distribution<double> g(0.0, 0.05);
  auto biquad = [](double b0, double b1, double b2, double a0, double a1, double a2) {
    return std::array<double, 5>{b0 / a0, b1 / a0, b2 / a0, a1 / a0, a2 / a0};
  };
  const double w1 = 2 * kPi * 90.0 / kRate, al1 = std::sin(w1) / (2 * 0.5);
  const auto hp =
    biquad((1 + std::cos(w1)) / 2, -(1 + std::cos(w1)), (1 + std::cos(w1)) / 2, 1 + al1, -2 * std::cos(w1), 1 - al1);
  const double w2 = 2 * kPi * 1000.0 / kRate, A = std::pow(10.0, 6.0 / 40.0), al2 = std::sin(w2) / (2 * 0.7);
  const auto peak = biquad(1 + al2 * A, -2 * std::cos(w2), 1 - al2 * A, 1 + al2 / A, -2 * std::cos(w2), 1 - al2 / A);
  const double lp = std::exp(-2 * kPi * 4000.0 / kRate);
  double h[4] = {}, p[4] = {}, lpY = 0.0;
  std::vector<float> out(n);
  for (size_t i = 0; i < n; ++i) {
    const double x = g(rng);
    const double y1 = hp[0] * x + hp[1] * h[0] + hp[2] * h[1] - hp[3] * h[2] - hp[4] * h[3];
    h[1] = h[0];
    h[0] = x;
    h[3] = h[2];
    h[2] = y1;
    const double y2 = peak[0] * y1 + peak[1] * p[0] + peak[2] * p[1] - peak[3] * p[2] - peak[4] * p[3];
    p[1] = p[0];
    p[0] = y1;
    p[3] = p[2];
    p[2] = y2;
    lpY = (1 - lp) * y2 + lp * lpY;
    out[i] = float(lpY);
  }
  return out;
}

bool WriteMono(const std::string& path, const std::vector<float>& x, int format = SF_FORMAT_WAV | SF_FORMAT_FLOAT)
{
  SF_INFO info{};
  info.samplerate = kRate;
  info.channels = 1;
  info.format = format;
  SNDFILE* f = sf_open(path.c_str(), SFM_WRITE, &info);
  if (!f)
    return false;
  sf_writef_float(f, x.data(), sf_count_t(x.size()));
  sf_close(f);
  return true;
}

// Left channel (or the mono mix) of a file, and its channel count.
std::vector<double> ReadMix(const std::string& path, int& channels)
{
  SF_INFO info{};
  SNDFILE* f = sf_open(path.c_str(), SFM_READ, &info);
  if (!f)
    return {};
  std::vector<float> inter(size_t(info.frames * info.channels));
  sf_readf_float(f, inter.data(), info.frames);
  sf_close(f);
  channels = info.channels;
  std::vector<double> mix(size_t(info.frames));
  for (size_t i = 0; i < mix.size(); ++i) {
    double s = 0.0;
    for (int c = 0; c < info.channels; ++c)
      s += inter[i * size_t(info.channels) + size_t(c)];
    mix[i] = s / info.channels;
  }
  return mix;
}

// Mean FFT magnitude (FFTW, Hann frames of 8192, half overlap) over the
// bins from lo to hi Hz, in dB; magnitudes or powers by `power`.
std::vector<double> MagnitudeSpectrum(const std::vector<double>& x, bool power, int& size)
{
  size = 8192;
  std::vector<double> frame(static_cast<size_t>(size)), acc(static_cast<size_t>(size / 2 + 1), 0.0);
  std::vector<fftw_complex> spec(size_t(size / 2 + 1));
  fftw_plan plan = fftw_plan_dft_r2c_1d(size, frame.data(), spec.data(), FFTW_ESTIMATE);
  int frames = 0;
  for (size_t start = 0; start + size_t(size) <= x.size(); start += size_t(size / 2), ++frames) {
    for (int i = 0; i < size; ++i)
      frame[size_t(i)] = x[start + size_t(i)] * (0.5 - 0.5 * std::cos(2 * kPi * i / size));
    fftw_execute(plan);
    for (int k = 0; k <= size / 2; ++k) {
      const double m = std::hypot(spec[size_t(k)][0], spec[size_t(k)][1]);
      acc[size_t(k)] += power ? m * m : m;
    }
  }
  fftw_destroy_plan(plan);
  for (double& a : acc)
    a /= std::max(frames, 1);
  return acc;
}

double BandMean(const std::vector<double>& spec, int size, double lo, double hi, bool inclusiveTop)
{
  const double binHz = double(kRate) / size;
  double sum = 0.0;
  int count = 0;
  for (size_t k = 1; k < spec.size(); ++k) {
    const double f = double(k) * binHz;
    if (f >= lo && (inclusiveTop ? f <= hi : f < hi)) {
      sum += spec[k];
      ++count;
    }
  }
  return count ? sum / count : 0.0;
}

} // namespace

TEST_F(SpectrumMatch, CapturedNoiseIsProcessedToTheReferenceShapeWithinOneDecibel)
{
  const int reference = hosttest::kReferenceIndex;
  const std::string in = File("shaped.wav"), out = File("matched.wav");
  ASSERT_TRUE(WriteMono(in, ShapedNoise(size_t(kSeconds * kRate), 11)));

  host::MatchOptions options;
  options.mInPath = in;
  options.mOutPath = out;
  options.mReference = reference;
  host::MatchReport report;
  ASSERT_EQ(host::RunSpectrumMatch(SharedBundle(), options, report), "");
  EXPECT_EQ(report.mLatency, 0); // "Analoge": no latency
  ASSERT_LT(report.mPeak, 1.0) << "the test signal must not clip";

  int channels = 0;
  const std::vector<double> output = ReadMix(out, channels);
  EXPECT_EQ(channels, 2);
  ASSERT_EQ(output.size(), size_t(kSeconds * kRate));
  // The fade-in and the filter's start are left out.
  const std::vector<double> settled(output.begin() + kRate, output.end());
  int size = 0;
  const std::vector<double> spec = MagnitudeSpectrum(settled, false, size);
  const std::vector<double> before = MagnitudeSpectrum(ReadMix(in, channels), false, size);

  std::vector<double> deviation, original;
  for (int k = 0; k < hosttest::kGridPoints; ++k) {
    const double f = hosttest::GridFrequency(k);
    if (f < 50.0 || f > 16000.0)
      continue;
    const double lo = hosttest::GridFrequency(k - 1), hi = hosttest::GridFrequency(k + 1);
    const double ref = hosttest::ReferenceTwoDB(k);
    deviation.push_back(20 * std::log10(BandMean(spec, size, lo, hi, true)) - ref);
    original.push_back(20 * std::log10(BandMean(before, size, lo, hi, true)) - ref);
  }
  const auto [lo, hi] = std::minmax_element(deviation.begin(), deviation.end());
  const double centre = (*lo + *hi) / 2;
  for (size_t j = 0; j < deviation.size(); ++j)
    EXPECT_NEAR(deviation[j], centre, kShapeToleranceDB) << "grid point " << j;
  // Before processing the noise is far from that shape.
  const auto [olo, ohi] = std::minmax_element(original.begin(), original.end());
  EXPECT_GT(*ohi - *olo, 10.0);
}

TEST_F(SpectrumMatch, ReportedOctaveChangesAgreeWithAnIndependentMeasure)
{
  const std::string in = File("shaped.wav"), out = File("matched.wav");
  ASSERT_TRUE(WriteMono(in, ShapedNoise(size_t(8.0 * kRate), 5)));
  host::MatchOptions options;
  options.mInPath = in;
  options.mOutPath = out;
  options.mReference = 1;
  host::MatchReport report;
  ASSERT_EQ(host::RunSpectrumMatch(SharedBundle(), options, report), "");
  ASSERT_EQ(report.mOctaves.size(), 10u);

  int channels = 0;
  const std::vector<double> x = ReadMix(in, channels), y = ReadMix(out, channels);
  const size_t settle = size_t(0.5 * kRate);
  int size = 0;
  const auto px = MagnitudeSpectrum(std::vector<double>(x.begin() + long(settle), x.end()), true, size);
  const auto py = MagnitudeSpectrum(std::vector<double>(y.begin() + long(settle), y.end()), true, size);
  double peak = 0.0;
  for (double v : y)
    peak = std::max(peak, std::fabs(v));
  EXPECT_NEAR(report.mPeak, peak, 0.05); // the file holds the channel mix
  for (const host::OctaveChange& o : report.mOctaves) {
    const double lo = o.mCentreHz / std::sqrt(2.0), hi = o.mCentreHz * std::sqrt(2.0);
    const double change = 10 * std::log10(BandMean(py, size, lo, hi, false) / BandMean(px, size, lo, hi, false));
    EXPECT_NEAR(o.Change(), change, kOctaveToleranceDB) << o.mCentreHz << " Hz";
  }
  const std::string text = host::FormatMatchReport(options, report);
  EXPECT_NE(text.find("latency:    0 samples (0.0 ms)"), std::string::npos) << text;
  EXPECT_NE(text.find("    1000 Hz"), std::string::npos) << text;
}

TEST_F(SpectrumMatch, BadRequestsAreRefusedWithAReason)
{
  const std::string in = File("in.wav");
  ASSERT_TRUE(WriteMono(in, ShapedNoise(size_t(kRate), 1)));
  const std::string three = File("three.wav");
  {
    SF_INFO info{};
    info.samplerate = kRate;
    info.channels = 3;
    info.format = SF_FORMAT_WAV | SF_FORMAT_PCM_16;
    SNDFILE* f = sf_open(three.c_str(), SFM_WRITE, &info);
    std::vector<float> z(3 * 1000, 0.f);
    sf_writef_float(f, z.data(), 1000);
    sf_close(f);
  }
  const std::string text = File("text.wav");
  std::FILE* t = std::fopen(text.c_str(), "w");
  std::fputs("not audio", t);
  std::fclose(t);

  struct Row {
    std::string in, out, capture;
    int reference;
    std::vector<std::pair<unsigned, float>> params;
    const char* says;
  } rows[] = {
    {File("missing.wav"), File("o.wav"), "", 2, {}, "cannot read"},
    {text, File("o.wav"), "", 2, {}, "cannot read"},
    {three, File("o.wav"), "", 2, {}, "has 3 channels"},
    {in, in, "", 2, {}, "must not be an input file"},
    {in, File("o.wav"), "", 4, {}, "built-in ones, 0 to 3"},
    {in, File("o.wav"), "", -1, {}, "built-in ones, 0 to 3"},
    {in, File("o.wav"), "", 2, {{10, 1.f}}, "has no parameter 10"},
    {in, File("o.wav"), "", 2, {{4, 1.f}}, "parameter 4 (\"AD mode\") cannot be set from a host"},
    {in, File("o.wav"), "", 2, {{0, 2.f}}, "cannot be set from a host"},
    {in, File("o.wav"), "", 2, {{9, 0.f}}, "cannot be set from a host"},
    {in, File("o.wav"), "", 2, {{2, 1.f}}, "driven by the job itself"},
    {in, File("o.wav"), "", 1, {{3, 3.f}}, "chosen with --reference"},
    {in, File("o.wav"), "", 2, {{5, 30.f}}, "(\"Gain\") takes -24 to 24"},
    {in, File("o.wav"), "", 2, {{6, std::nanf("")}}, "takes 0 to"},
    {in, File("no-such-folder/o.wav"), "", 2, {}, "cannot write"},
    {in, File("o.wav"), File("missing.wav"), 2, {}, "cannot read"},
    {in, "", "", 2, {}, "name an output file"},
  };
  for (const Row& row : rows) {
    host::MatchOptions options;
    options.mInPath = row.in;
    options.mOutPath = row.out;
    options.mCapturePath = row.capture;
    options.mReference = row.reference;
    options.mParams = row.params;
    host::MatchReport report;
    const std::string error = host::RunSpectrumMatch(SharedBundle(), options, report);
    EXPECT_NE(error.find(row.says), std::string::npos) << "got: " << error;
  }
  EXPECT_TRUE(fs::exists(in));
}

TEST_F(SpectrumMatch, HostMeasureOfAPureToneLandsInItsOctave)
{
  host::LongTermSpectrum s(kRate);
  std::vector<float> tone(static_cast<size_t>(kRate));
  for (size_t i = 0; i < tone.size(); ++i)
    tone[i] = float(std::sin(2 * kPi * 1000.0 * double(i) / kRate));
  s.Add(tone.data(), tone.size());
  EXPECT_GT(s.Frames(), 0);
  const double in = s.BandLevelDB(1000.0 / std::sqrt(2.0), 1000.0 * std::sqrt(2.0));
  for (double c : {125.0, 250.0, 4000.0, 8000.0})
    EXPECT_LT(s.BandLevelDB(c / std::sqrt(2.0), c * std::sqrt(2.0)), in - 60.0) << c;
  host::LongTermSpectrum empty(kRate);
  EXPECT_TRUE(std::isinf(empty.BandLevelDB(500, 1000)));
  EXPECT_EQ(host::OctaveCentres(48000).size(), 10u);
  EXPECT_EQ(host::OctaveCentres(22050).size(), 9u);
}

TEST_F(SpectrumMatch, ToolPrintsItsSummaryAndRejectsBadArguments)
{
  const std::string in = File("in.wav"), out = File("out.wav");
  ASSERT_TRUE(WriteMono(in, ShapedNoise(size_t(2 * kRate), 3), SF_FORMAT_WAV | SF_FORMAT_PCM_16));
  auto run = [](const std::string& args, std::string& output) {
    const std::string cmd = std::string(AUHOST_PATH) + " match " + args + " 2>&1";
    std::FILE* p = popen(cmd.c_str(), "r");
    char buf[512];
    output.clear();
    while (std::fgets(buf, sizeof(buf), p))
      output += buf;
    return WEXITSTATUS(pclose(p));
  };
  std::string text;
  EXPECT_EQ(run(in + " " + out + " --reference 1", text), 0) << text;
  for (const char* line : {"latency:", "peak:", "wrote:", "per octave", "    1000 Hz"})
    EXPECT_NE(text.find(line), std::string::npos) << line << " in\n" << text;
  EXPECT_TRUE(fs::exists(out));
  struct {
    std::string args;
    int code;
    const char* says;
  } rows[] = {
    {in, 2, "one input file and one output file"},
    {in + " " + out + " --reference 9", 2, "0 to 3"},
    {in + " " + out + " --param 5", 2, "ID=VALUE"},
    {in + " " + out + " --param 4=1", 1, "cannot be set from a host"},
    {in + " " + out + " --block 0", 2, "1 to 4096"},
    {in + " " + out + " --frobnicate", 2, "unknown"},
    {in + " " + out + " --bundle " + File("none.component"), 1, "auhost:"},
  };
  for (const auto& row : rows) {
    EXPECT_EQ(run(row.args, text), row.code) << row.args;
    EXPECT_NE(text.find(row.says), std::string::npos) << row.args << ":\n" << text;
  }
}

TEST_F(SpectrumMatch, UnusableCapturesAndOutputsAreRefusedBeforeAnyAudioPlays)
{
  const std::string in = File("in.wav"), out = File("out.wav");
  ASSERT_TRUE(WriteMono(in, ShapedNoise(size_t(kRate), 1)));
  ASSERT_TRUE(WriteMono(File("silent.wav"), std::vector<float>(size_t(kRate), 0.f)));
  ASSERT_TRUE(WriteMono(File("short.wav"), ShapedNoise(16383, 2)));
  std::vector<float> nan = ShapedNoise(size_t(kRate), 3);
  nan[20000] = std::numeric_limits<float>::infinity();
  ASSERT_TRUE(WriteMono(File("inf.wav"), nan));
  fs::create_symlink(in, File("link.wav"));
  std::ofstream(out) << "the previous good output";

  struct Row {
    std::string out, capture;
    const char* says;
    bool plays;
  } rows[] = {
    {out, File("silent.wav"), "is silent", true},
    {out, File("short.wav"), "needs at least 16384 samples", false},
    {out, File("inf.wav"), "not a number (NaN or infinity) at frame 20000", true},
    {File("missing/out.wav"), "", "does not exist", false},
    {File("out.mp3"), "", "must end in .wav or .aiff", false},
    {File("link.wav"), "", "must not be an input file", false},
    {fs::relative(in).string(), "", "must not be an input file", false},
  };
  for (const Row& row : rows) {
    host::MatchOptions options;
    options.mInPath = in;
    options.mOutPath = row.out;
    options.mCapturePath = row.capture;
    bool played = false;
    options.mProgress = [&played](const char*, double) { played = true; };
    host::MatchReport report;
    const std::string error = host::RunSpectrumMatch(SharedBundle(), options, report);
    EXPECT_NE(error.find(row.says), std::string::npos) << error;
    EXPECT_EQ(played, row.plays) << row.says;
  }
  std::ifstream previous(out);
  EXPECT_EQ(std::string(std::istreambuf_iterator<char>(previous), {}), "the previous good output");
  EXPECT_EQ(std::distance(fs::directory_iterator(mDir), fs::directory_iterator()), 6);
}

TEST_F(SpectrumMatch, AShortCaptureIsWarnedAboutAndAMonoInputSaidToBeWrittenAsStereo)
{
  const std::string in = File("in.wav");
  ASSERT_TRUE(WriteMono(in, ShapedNoise(size_t(1.5 * kRate), 4)));
  host::MatchOptions options;
  options.mInPath = in;
  options.mOutPath = File("out.aiff");
  host::MatchReport report;
  ASSERT_EQ(host::RunSpectrumMatch(SharedBundle(), options, report), "");
  std::string notes;
  for (const std::string& note : report.mNotes)
    notes += note + "\n";
  EXPECT_NE(notes.find("warning: the capture is only 1.50 s long"), std::string::npos) << notes;
  EXPECT_NE(notes.find(" is mono; " + options.mOutPath + " is stereo"), std::string::npos) << notes;
}

TEST_F(SpectrumMatch, ClippingIsCountedAndLoweringGainAsAdvisedRemovesIt)
{
  const std::string in = File("loud.wav"), out = File("out.wav");
  std::vector<float> loud = ShapedNoise(size_t(4 * kRate), 8);
  for (float& v : loud)
    v *= 4.f;
  ASSERT_TRUE(WriteMono(in, loud));
  host::MatchOptions options;
  options.mInPath = in;
  options.mOutPath = out;
  options.mParams = {{5, 12.f}};
  host::MatchReport report;
  ASSERT_EQ(host::RunSpectrumMatch(SharedBundle(), options, report), "");
  ASSERT_GT(report.mClippedSamples, 0);
  // The file holds as many samples at full scale as reported.
  SF_INFO info{};
  SNDFILE* f = sf_open(out.c_str(), SFM_READ, &info);
  ASSERT_NE(f, nullptr);
  std::vector<float> y(size_t(info.frames * info.channels));
  sf_readf_float(f, y.data(), info.frames);
  sf_close(f);
  EXPECT_EQ(std::count_if(y.begin(), y.end(), [](float v) { return std::fabs(v) >= 1.f; }), report.mClippedSamples);
  std::string text;
  for (const std::string& note : report.mNotes)
    text += note + "\n";
  const size_t at = text.find("(--param 5=");
  ASSERT_NE(at, std::string::npos) << text;
  const float advised = std::stof(text.substr(at + 11));
  EXPECT_LT(advised, 12.f);

  options.mParams = {{5, advised}};
  ASSERT_EQ(host::RunSpectrumMatch(SharedBundle(), options, report), "");
  EXPECT_EQ(report.mClippedSamples, 0) << host::FormatMatchReport(options, report);
  EXPECT_GT(report.mPeak, 0.5) << "lowered by no more than needed";
}

TEST_F(SpectrumMatch, BandsWithoutSignalInTheInputAreReportedAsSuchNotAsAChange)
{
  // Pure DC holds nothing in any octave band (a Hann window leaks DC into
  // the first bin only); shaped noise holds something in every one.
  const std::string dc = File("dc.wav"), noise = File("noise.wav");
  ASSERT_TRUE(WriteMono(dc, std::vector<float>(size_t(4 * kRate), 0.5f)));
  ASSERT_TRUE(WriteMono(noise, ShapedNoise(size_t(4 * kRate), 6)));
  for (const std::string& in : {dc, noise}) {
    host::MatchOptions options;
    options.mInPath = in;
    options.mOutPath = File("out.wav");
    host::MatchReport report;
    ASSERT_EQ(host::RunSpectrumMatch(SharedBundle(), options, report), "") << in;
    const std::string text = host::FormatMatchReport(options, report);
    ASSERT_EQ(report.mOctaves.size(), 10u);
    for (const host::OctaveChange& o : report.mOctaves) {
      char line[64];
      std::snprintf(line, sizeof(line), "  %7.0f Hz  (no signal in the input)\n", o.mCentreHz);
      EXPECT_EQ(text.find(line) != std::string::npos, in == dc) << in << ": " << o.mCentreHz << " Hz\n" << text;
    }
  }
}

TEST_F(SpectrumMatch, TheOutputIsWholeFromItsFirstSampleNotFadedIn)
{
  const std::string in = File("in.wav"), out = File("out.wav");
  const std::vector<float> x = ShapedNoise(size_t(2 * kRate), 9);
  ASSERT_TRUE(WriteMono(in, x));
  const double fadeFrames = 0.25 * kRate;
  // With "Mix" at 0 the output is the dry input itself: any fade shows.
  for (float mix : {0.f, 100.f}) {
    host::MatchOptions options;
    options.mInPath = in;
    options.mOutPath = out;
    options.mParams = {{6, mix}};
    host::MatchReport report;
    ASSERT_EQ(host::RunSpectrumMatch(SharedBundle(), options, report), "") << mix;
    int channels = 0;
    const std::vector<double> y = ReadMix(out, channels);
    ASSERT_EQ(y.size(), x.size());
    if (mix == 0.f) {
      for (size_t i = 0; i < x.size(); ++i)
        ASSERT_NEAR(y[i], x[i], 1e-6) << "frame " << i;
      continue;
    }
    // Filtered: the first tenth of the fade's length is as loud as later on.
    auto rms = [&y](size_t from, size_t to) {
      double sum = 0.0;
      for (size_t i = from; i < to; ++i)
        sum += y[i] * y[i];
      return 10.0 * std::log10(sum / double(to - from));
    };
    EXPECT_NEAR(rms(size_t(fadeFrames / 50), size_t(fadeFrames / 10)), rms(size_t(kRate), size_t(2 * kRate)), 2.0);
  }
}

TEST_F(SpectrumMatch, WhereGainCannotLowerTheOutputEnoughTheAmountLeftOverIsGivenAndFollowingItRemovesTheClipping)
{
  const std::string in = File("loud.wav"), quieter = File("quieter.wav"), out = File("out.wav");
  const std::vector<float> shaped = ShapedNoise(size_t(3 * kRate), 8);
  std::vector<float> loud = shaped;
  for (float& v : loud)
    v *= 400.f;
  ASSERT_TRUE(WriteMono(in, loud));
  host::MatchOptions options;
  options.mInPath = in;
  options.mOutPath = out;
  options.mParams = {{5, -20.f}};
  host::MatchReport report;
  ASSERT_EQ(host::RunSpectrumMatch(SharedBundle(), options, report), "");
  ASSERT_GT(report.mClippedSamples, 0);
  std::string text;
  for (const std::string& note : report.mNotes)
    text += note + "\n";
  const std::string mark = "(--param 5=-24) ";
  const size_t at = text.find(mark);
  ASSERT_NE(at, std::string::npos) << text;
  EXPECT_NE(text.find("\"Gain\" cannot lower it enough"), std::string::npos) << text;
  const double left = std::stod(text.substr(at + mark.size()));
  EXPECT_GT(left, 0.0) << text;

  // Following it: the input that much quieter, "Gain" at its floor.
  std::vector<float> lowered = loud;
  for (float& v : lowered)
    v = float(v * std::pow(10.0, -left / 20.0));
  ASSERT_TRUE(WriteMono(quieter, lowered));
  options.mInPath = quieter;
  options.mParams = {{5, -24.f}};
  ASSERT_EQ(host::RunSpectrumMatch(SharedBundle(), options, report), "");
  EXPECT_EQ(report.mClippedSamples, 0) << host::FormatMatchReport(options, report);
  EXPECT_GT(report.mPeak, 0.9) << "lowered by no more than needed: " << text;
}
