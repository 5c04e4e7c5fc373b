// The main job through the offline host at several sample rates: pink noise
// is captured and matched to a built-in reference. The output's shape and
// level are measured here with FFTW, independently of the plug-in, and held
// against the reference: up to each rate's band edge the shape is the same
// at every rate, and the level is where centring the difference on its
// extremes between 50 Hz and 16 kHz (or the band edge) puts it.
#include <gtest/gtest.h>

#include <fftw3.h>
#include <sndfile.h>
#include <unistd.h>

#include <algorithm>
#include <cmath>
#include <complex>
#include <filesystem>
#include <map>
#include <random>
#include <string>
#include <vector>

#include "ReferenceTwo.h"
#include "SharedBundle.h"
#include "SpectrumMatch.h"

namespace {

namespace fs = std::filesystem;

constexpr double kSeconds = 12.0;
constexpr int kReference = hosttest::kReferenceIndex;
constexpr double kShapeToleranceDB = 1.0;
constexpr double kLevelToleranceDB = 0.5;
constexpr double kPi = 3.14159265358979323846;
constexpr int kFrame = 8192;

class MatchAcrossRates : public ::testing::Test {
protected:
  void SetUp() override
  {
    mDir = fs::temp_directory_path() /
           ("vorelle3-rates-" + std::string(::testing::UnitTest::GetInstance()->current_test_info()->name()) + "-" +
            std::to_string(getpid()));
    fs::remove_all(mDir);
    fs::create_directories(mDir);
  }
  void TearDown() override { fs::remove_all(mDir); }
  std::string File(const std::string& name) const { return (mDir / name).string(); }
  fs::path mDir;
};

// Pink noise made in the frequency domain: every bin gets a Gaussian
// amplitude of 1 / sqrt(f), so the power falls by 3 dB per octave at any
// rate, up to 95 % of half the rate, where it stops as a converted or
// resampled recording does. RMS 0.05.
std::vector<float> PinkNoise(size_t n, unsigned seed)
{
  size_t size = 1;
  while (size < n)
    size *= 2;
  std::mt19937 rng(seed);
  std::normal_distribution<double> g;
  std::vector<std::complex<double>> spectrum(size / 2 + 1);
  for (size_t k = 1; k < spectrum.size() * 95 / 100; ++k)
    spectrum[k] = std::complex<double>(g(rng), g(rng)) / std::sqrt(double(k));
  std::vector<double> x(size);
  fftw_plan plan =
    fftw_plan_dft_c2r_1d(int(size), reinterpret_cast<fftw_complex*>(spectrum.data()), x.data(), FFTW_ESTIMATE);
  fftw_execute(plan);
  fftw_destroy_plan(plan);
  double power = 0.0;
  for (size_t i = 0; i < n; ++i)
    power += x[i] * x[i];
  const double scale = 0.05 / std::sqrt(power / double(n));
  std::vector<float> out(n);
  for (size_t i = 0; i < n; ++i)
    out[i] = float(x[i] * scale);
  return out;
}

bool WriteMono(const std::string& path, const std::vector<float>& x, int rate)
{
  SF_INFO info{};
  info.samplerate = rate;
  info.channels = 1;
  info.format = SF_FORMAT_WAV | SF_FORMAT_FLOAT;
  SNDFILE* f = sf_open(path.c_str(), SFM_WRITE, &info);
  if (!f)
    return false;
  const bool ok = sf_writef_float(f, x.data(), sf_count_t(x.size())) == sf_count_t(x.size());
  sf_close(f);
  return ok;
}

// The channel mix of a file from frame `skip` on.
std::vector<double> ReadMix(const std::string& path, size_t skip)
{
  SF_INFO info{};
  SNDFILE* f = sf_open(path.c_str(), SFM_READ, &info);
  if (!f)
    return {};
  std::vector<float> inter(size_t(info.frames * info.channels));
  sf_readf_float(f, inter.data(), info.frames);
  sf_close(f);
  std::vector<double> mix;
  for (size_t i = skip; i < size_t(info.frames); ++i) {
    double s = 0.0;
    for (int c = 0; c < info.channels; ++c)
      s += inter[i * size_t(info.channels) + size_t(c)];
    mix.push_back(s / info.channels);
  }
  return mix;
}

// Mean magnitude (as the plug-in's analyser averages) of Hann frames with
// half overlap, per bin.
std::vector<double> MeanMagnitude(const std::vector<double>& x)
{
  std::vector<double> frame(kFrame), acc(kFrame / 2 + 1, 0.0);
  std::vector<fftw_complex> spec(kFrame / 2 + 1);
  fftw_plan plan = fftw_plan_dft_r2c_1d(kFrame, frame.data(), spec.data(), FFTW_ESTIMATE);
  int frames = 0;
  for (size_t start = 0; start + kFrame <= x.size(); start += kFrame / 2, ++frames) {
    for (int i = 0; i < kFrame; ++i)
      frame[size_t(i)] = x[start + size_t(i)] * (0.5 - 0.5 * std::cos(2 * kPi * i / kFrame));
    fftw_execute(plan);
    for (size_t k = 0; k < acc.size(); ++k)
      acc[k] += std::hypot(spec[k][0], spec[k][1]);
  }
  fftw_destroy_plan(plan);
  for (double& a : acc)
    a /= std::max(frames, 1);
  return acc;
}

// dB of the mean over the bins in [lo, hi] (power when `power`).
double BandDB(const std::vector<double>& magnitude, double rate, double lo, double hi, bool power)
{
  double sum = 0.0;
  int count = 0;
  for (size_t k = 1; k < magnitude.size(); ++k) {
    const double f = double(k) * rate / kFrame;
    if (f >= lo && f <= hi) {
      sum += power ? magnitude[k] * magnitude[k] : magnitude[k];
      ++count;
    }
  }
  return (power ? 10.0 : 20.0) * std::log10(count ? sum / count : 1e-30);
}

// The highest grid point whose band (up to the next point) the signal still
// fills at this rate: min(fs/2, 22 kHz) bounds the match.
double BandEdge(double rate)
{
  const double top = std::min(rate / 2, 22000.0);
  double edge = 0.0;
  for (int k = 0; k < hosttest::kGridPoints; ++k) {
    const double next = k + 1 < hosttest::kGridPoints ? hosttest::GridFrequency(k + 1) : hosttest::GridFrequency(k);
    if (next <= top)
      edge = hosttest::GridFrequency(k);
  }
  return edge;
}

struct Matched {
  std::vector<double> input; // mean magnitude per bin
  std::vector<double> output;
};

// Pink noise at `rate` captured and matched to the reference; the first
// second (fade-in, filter start) is left out of the measure.
Matched RunAtRate(const std::string& in, const std::string& out, int rate)
{
  if (!WriteMono(in, PinkNoise(size_t(kSeconds * rate), 7), rate))
    return {};
  host::MatchOptions options;
  options.mInPath = in;
  options.mOutPath = out;
  options.mReference = kReference;
  host::MatchReport report;
  const std::string error = host::RunSpectrumMatch(SharedBundle(), options, report);
  EXPECT_EQ(error, "");
  EXPECT_LT(report.mPeak, 1.0) << "the test signal must not clip";
  if (!error.empty())
    return {};
  return {MeanMagnitude(ReadMix(in, size_t(rate))), MeanMagnitude(ReadMix(out, size_t(rate)))};
}

const std::vector<int> kRates = {22050, 32000, 48000};

} // namespace

TEST_F(MatchAcrossRates, PinkNoiseGetsOneShapeAndTheCentredLevelAtEveryRate)
{
  std::map<int, Matched> runs;
  for (int rate : kRates) {
    runs[rate] =
      RunAtRate(File("pink" + std::to_string(rate) + ".wav"), File("out" + std::to_string(rate) + ".wav"), rate);
  }

  // Shape: in every band a third of an octave wide around a grid point,
  // from 40 Hz (where the measure has bins enough) up to the last point the
  // rate matches, the output at 22.05 and 32 kHz lies one constant level
  // away from the output at 48 kHz.
  const Matched& wide = runs.at(48000);
  ASSERT_FALSE(wide.output.empty());
  for (int rate : {22050, 32000}) {
    const Matched& run = runs.at(rate);
    ASSERT_FALSE(run.output.empty()) << rate;
    std::vector<double> offset, centre;
    for (int k = 1; k + 1 < hosttest::kGridPoints; ++k) {
      const double f = hosttest::GridFrequency(k);
      if (f < 40.0 || f > BandEdge(rate))
        continue;
      const double lo = hosttest::GridFrequency(k - 1), hi = hosttest::GridFrequency(k + 1);
      offset.push_back(BandDB(run.output, rate, lo, hi, true) - BandDB(wide.output, 48000, lo, hi, true));
      centre.push_back(f);
    }
    ASSERT_GE(offset.size(), 40u) << rate;
    const auto [lo, hi] = std::minmax_element(offset.begin(), offset.end());
    const double level = (*lo + *hi) / 2;
    for (size_t j = 0; j < offset.size(); ++j)
      EXPECT_NEAR(offset[j], level, kShapeToleranceDB) << rate << " Hz rate, band at " << centre[j] << " Hz";
  }

  // Level: per grid point the plug-in aims the output at reference - c, c
  // the centre of the extremes of reference - fingerprint over the matched
  // points in [50 Hz, 16 kHz]. The fingerprint is the input measured on an
  // unknown scale; that scale cancels, so with the input measured here the
  // output should sit at reference + centre of the extremes of
  // (input - reference).
  for (int rate : kRates) {
    const Matched& run = runs.at(rate);
    ASSERT_FALSE(run.output.empty()) << rate;
    const double edge = std::min(BandEdge(rate), 16000.0);
    std::vector<double> deviation, original;
    for (int k = 1; k + 1 < hosttest::kGridPoints; ++k) {
      const double f = hosttest::GridFrequency(k);
      if (f < 50.0 || f > edge)
        continue;
      const double lo = hosttest::GridFrequency(k - 1), hi = hosttest::GridFrequency(k + 1);
      const double ref = hosttest::ReferenceTwoDB(k);
      deviation.push_back(BandDB(run.output, rate, lo, hi, false) - ref);
      original.push_back(BandDB(run.input, rate, lo, hi, false) - ref);
    }
    const auto [olo, ohi] = std::minmax_element(original.begin(), original.end());
    const double expected = (*olo + *ohi) / 2;
    double mean = 0.0;
    for (double d : deviation)
      mean += d / double(deviation.size());
    EXPECT_NEAR(mean, expected, kLevelToleranceDB) << rate << " Hz";
  }
}
