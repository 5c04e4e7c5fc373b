#include "CMFFT.h"
#include "AllocationCounter.h"

#include <fftw3.h>
#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <limits>
#include <numbers>
#include <random>
#include <vector>

namespace {

constexpr double kWindowGain = 2.51188643150958; // the analysis window sums to +8 dB
constexpr double kTolerance = 1e-12;

struct Stereo {
  std::vector<double> left, right;
  double* ptrs[2];
  explicit Stereo(size_t n) : left(n), right(n), ptrs{left.data(), right.data()} {}
  double** At(size_t offset)
  {
    ptrs[0] = left.data() + offset;
    ptrs[1] = right.data() + offset;
    return ptrs;
  }
};

Stereo Noise(size_t n, unsigned seed)
{
  Stereo s(n);
  std::mt19937 rng(seed);
  std::uniform_real_distribution<double> dist(-1.0, 1.0);
  for (size_t i = 0; i < n; ++i) {
    s.left[i] = dist(rng);
    s.right[i] = dist(rng);
  }
  return s;
}

void Configure(CMFFT& a, int fftSize, int bandIndex, int mode, double fs)
{
  a.SetNumChannels(2);
  a.SetBlockSize(512);
  a.SetSampleRate(fs);
  a.SetParam(0, fftSize);
  a.SetParam(1, bandIndex);
  a.SetParam(2, mode);
}

void FeedInBlocks(CMFFT& a, Stereo& s, size_t total, size_t block, bool capture)
{
  for (size_t done = 0; done < total; done += block) {
    const int n = static_cast<int>(std::min(block, total - done));
    if (capture)
      a.ProcessCapture(s.At(done), nullptr, n);
    else
      a.Process(s.At(done), s.At(done), n);
  }
}

} // namespace

TEST(CMFFT, TwoChannelsOfHalfAreAnalysedAsDCOfOneAfterKFrames)
{
  const int n = 256;
  CMFFT a;
  Configure(a, n, 0, 0, 48000.0);
  Stereo s(n * 6);
  std::fill(s.left.begin(), s.left.end(), 0.5);
  std::fill(s.right.begin(), s.right.end(), 0.5);
  for (int k = 1; k <= 6; ++k) {
    a.ProcessCapture(s.At((k - 1) * n), nullptr, n);
    // The first frame holds n zeros and n ones: half the window's sum.
    EXPECT_NEAR(a.GetData(6)[0], kWindowGain * (k - 0.5) / k, kTolerance) << "after " << k << " frames";
    EXPECT_NEAR(a.GetData(7)[0], k == 1 ? kWindowGain / 2 : kWindowGain, kTolerance);
  }
  // A steady DC frame leaks only below the window's side lobes (-92 dB) from bin 4 on.
  for (int bin = 4; bin < n; ++bin)
    ASSERT_LT(a.Magnitude()[bin], 2.6e-5 * kWindowGain) << bin;
}

TEST(CMFFT, HundredThousandSamplesRunSixFramesAndLeaveTheWritePositionAt1696)
{
  CMFFT a;
  Configure(a, 16384, 3, 0, 44100.0);
  Stereo s = Noise(100000, 1);
  a.ProcessCapture(s.At(0), nullptr, 16383);
  EXPECT_EQ(a.GetInfo(9), 0.0);
  a.ProcessCapture(s.At(16383), nullptr, 1);
  EXPECT_EQ(a.GetInfo(9), 1.0);
  EXPECT_EQ(a.FrameCount(), 2);
  CMFFT b;
  Configure(b, 16384, 3, 0, 44100.0);
  b.ProcessCapture(s.At(0), nullptr, 100000);
  EXPECT_EQ(b.FrameCount(), 7);
  EXPECT_EQ(b.WritePos(), 1696);
}

TEST(CMFFT, BlockSplitsOfAnySizeGiveIdenticalSpectra)
{
  const size_t total = 100000;
  Stereo s = Noise(total, 2);
  CMFFT reference;
  Configure(reference, 1024, 3, 0, 48000.0);
  FeedInBlocks(reference, s, total, total, false);
  for (size_t block : {1, 7, 512}) {
    CMFFT a;
    Configure(a, 1024, 3, 0, 48000.0);
    FeedInBlocks(a, s, total, block, false);
    for (int index : {6, 7, 12, 13})
      for (int k = 0; k < (index < 12 ? 1024 : 34); ++k)
        ASSERT_EQ(a.GetData(index)[k], reference.GetData(index)[k]) << "block " << block << " data " << index;
  }
}

TEST(CMFFT, SineSpectrumEqualsFftwOfTheSameWindowedFrame)
{
  const int n = 1024, frame = 2 * n;
  Stereo s(frame);
  for (int i = 0; i < frame; ++i) {
    s.left[i] = 0.3 * std::sin(2.0 * std::numbers::pi * 37.25 * i / frame);
    s.right[i] = 0.2 * std::cos(2.0 * std::numbers::pi * 100.0 * i / frame + 0.5);
  }
  CMFFT a;
  Configure(a, n, 0, 0, 48000.0);
  a.ProcessCapture(s.At(0), nullptr, n);
  a.ProcessCapture(s.At(n), nullptr, n); // second frame = the whole buffer

  // 4-term Blackman-Harris written out, normalised to sum 1, times +8 dB.
  std::vector<double> in(frame), window(frame);
  double sum = 0.0;
  for (int i = 0; i < frame; ++i) {
    const double x = 2.0 * std::numbers::pi * i / (frame - 1);
    window[i] = 0.358750287312166 - 0.4882901074726 * std::cos(x) + 0.141279712970519 * std::cos(2 * x) -
                0.011679892244715 * std::cos(3 * x);
    sum += window[i];
  }
  for (int i = 0; i < frame; ++i)
    in[i] = (s.left[i] + s.right[i]) * window[i] / sum * kWindowGain;
  std::vector<fftw_complex> out(n + 1);
  fftw_plan plan = fftw_plan_dft_r2c_1d(frame, in.data(), out.data(), FFTW_ESTIMATE);
  fftw_execute(plan);
  fftw_destroy_plan(plan);
  for (int k = 0; k < n; ++k)
    ASSERT_NEAR(a.Magnitude()[k], std::hypot(out[k][0], out[k][1]), 1e-12) << "bin " << k;
}

TEST(CMFFT, GridSizesAndEndPointsFollowTheBandIndex)
{
  const struct {
    int bandIndex, points, perOctave;
  } cases[] = {{0, 12, 1}, {1, 12, 1}, {2, 34, 3}, {3, 67, 6}, {4, 133, 12}, {5, 265, 24}, {9, 12, 1}};
  for (const auto& c : cases) {
    CMFFT a;
    Configure(a, 64, c.bandIndex, 0, 44100.0);
    ASSERT_EQ(a.GetInfo(10), c.points) << c.bandIndex;
    const double* grid = a.GetData(11);
    EXPECT_NEAR(grid[0], 10.0, 1e-12);
    EXPECT_NEAR(grid[c.points - 2], 10.0 * std::pow(2.0, (c.points - 2.0) / c.perOctave), 1e-8);
    EXPECT_EQ(grid[c.points - 1], 22000.0);
  }
}

TEST(CMFFT, OnlyProcessWithABandIndexMapsTheBands)
{
  const struct {
    int bandIndex;
    bool capture;
    bool mapped;
  } cases[] = {{0, false, false}, {3, false, true}, {3, true, false}, {5, true, false}};
  for (const auto& c : cases) {
    CMFFT a;
    Configure(a, 1024, c.bandIndex, 0, 48000.0);
    Stereo s = Noise(4096, 11);
    FeedInBlocks(a, s, s.left.size(), 512, c.capture);
    ASSERT_EQ(a.GetInfo(9), 1.0);
    double largest = 0.0;
    for (int i = 0; i < static_cast<int>(a.GetInfo(10)); ++i)
      largest = std::max({largest, a.GetData(12)[i], a.GetData(13)[i]});
    EXPECT_EQ(largest > 0.0, c.mapped) << "band index " << c.bandIndex << (c.capture ? ", capture" : ", process");
  }
}

// At 22.05 and 32 kHz the top grid points lie above half the sample rate; the
// bands must come only from inside the spectrum (ASan would see a stray read).
TEST(CMFFT, BandsAtLowSampleRatesReadOnlyInsideTheSpectrum)
{
  for (double fs : {22050.0, 32000.0}) {
    for (int mode : {0, 1}) {
      CMFFT a;
      Configure(a, 4096, 3, mode, fs);
      Stereo s = Noise(3 * 4096, 3);
      FeedInBlocks(a, s, s.left.size(), 512, false);
      const double* grid = a.GetData(11);
      const double* top = mode == 0 ? a.GetData(6) : a.GetData(7);
      for (int i = 0; i < 67; ++i) {
        ASSERT_TRUE(std::isfinite(a.GetData(12)[i])) << fs << " point " << i;
        ASSERT_TRUE(std::isfinite(a.GetData(13)[i])) << fs << " point " << i;
        if (grid[i] > fs / 2) {
          EXPECT_EQ(a.GetData(12)[i], top[4095]) << fs << " point " << i;
        }
      }
    }
  }
}

TEST(CMFFT, FftSizeThatIsNotAPowerOfTwoOfAtLeastTwoIsIgnored)
{
  CMFFT a;
  Configure(a, 256, 3, 0, 48000.0);
  Stereo s = Noise(256, 4);
  a.ProcessCapture(s.At(0), nullptr, 256);
  const double nan = std::numeric_limits<double>::quiet_NaN();
  for (double bad : {1000.0, 1.0, 0.0, -256.0, 3.0, nan, 1e30, double(CMFFT::kMaxFFTSize) * 2}) {
    a.SetParam(0, bad);
    EXPECT_EQ(a.GetParam(0), 256.0) << bad;
    EXPECT_EQ(a.GetInfo(9), 1.0) << "results kept after " << bad;
  }
  a.SetParam(0, 2.9); // truncates to 2
  EXPECT_EQ(a.GetInfo(5), 2.0);
  a.ProcessCapture(s.At(0), nullptr, 5);
  EXPECT_EQ(a.GetInfo(9), 1.0);
}

TEST(CMFFT, OutOfRangeParametersChangeNothing)
{
  CMFFT a;
  Configure(a, 128, 2, 1, 48000.0);
  Stereo s = Noise(128, 5);
  a.ProcessCapture(s.At(0), nullptr, 128);
  a.SetParam(4, 7.0);
  a.SetParam(-1, 7.0);
  EXPECT_EQ(a.GetInfo(9), 1.0);
  EXPECT_EQ(a.GetParam(0), 128.0);
  EXPECT_EQ(a.GetParam(1), 2.0);
  EXPECT_EQ(a.GetParam(2), 1.0);
  EXPECT_EQ(a.GetParam(3), 0.0);
  EXPECT_EQ(a.GetNumParams(), 4);
}

TEST(CMFFT, InformationAndDataIndicesAnswerTheirValuesAndArrays)
{
  CMFFT a;
  Configure(a, 512, 3, 0, 48000.0);
  EXPECT_EQ(a.GetData(8), a.GetData(6));
  EXPECT_NE(a.GetData(7), a.GetData(6));
  for (int i : {0, 5, 9, 10, 14, -1})
    EXPECT_EQ(a.GetData(i), nullptr) << i;
  EXPECT_EQ(a.GetInfo(1), 3.0);
  EXPECT_EQ(a.GetInfo(5), 512.0);
  EXPECT_EQ(a.GetInfo(6), 0.0);
  char name[8] = {};
  EXPECT_TRUE(a.GetName(name));
  EXPECT_STREQ(name, "MFFT");
}

TEST(CMFFT, AfterResetTheNextFramesAverageIsThatFramesMagnitude)
{
  const int n = 512;
  CMFFT a;
  Configure(a, n, 0, 0, 48000.0);
  Stereo s = Noise(4 * n, 6);
  a.ProcessCapture(s.At(0), nullptr, 3 * n);
  a.SetParam(3, 0);
  EXPECT_EQ(a.GetInfo(9), 0.0);
  EXPECT_EQ(a.GetData(6)[3], 0.0);
  a.ProcessCapture(s.At(3 * n), nullptr, n);
  for (int k = 0; k < n; ++k)
    ASSERT_EQ(a.GetData(6)[k], a.Magnitude()[k]) << k;
  a.SetParam(3, std::numeric_limits<double>::quiet_NaN()); // a reset whatever the value
  EXPECT_EQ(a.GetInfo(9), 0.0);
  EXPECT_EQ(a.GetData(6)[3], 0.0);
}

TEST(CMFFT, ExponentialAverageFollowsTheLatestFrameAndDecayingPeakFallsByAQuarter)
{
  const int n = 16384;
  CMFFT a;
  Configure(a, n, 0, 0, 44100.0);
  Stereo loud = Noise(2 * n, 7);
  a.ProcessCapture(loud.At(0), nullptr, 2 * n);
  for (int k = 0; k < n; k += 97)
    ASSERT_NEAR(a.ExpAverage()[k], a.Magnitude()[k], 1e-15 * a.Magnitude()[k]) << k;
  Stereo silence(n);
  a.ProcessCapture(silence.At(0), nullptr, n); // half loud, half silent
  const std::vector<double> peak(a.DecayPeak(), a.DecayPeak() + n);
  a.ProcessCapture(silence.At(0), nullptr, n); // entirely silent
  for (int k = 0; k < n; k += 97) {
    ASSERT_EQ(a.Magnitude()[k], 0.0);
    ASSERT_EQ(a.DecayPeak()[k], peak[k] * 0.25) << k;
    ASSERT_GE(a.GetData(7)[k], peak[k]);
  }
}

TEST(CMFFT, ProcessPassesAudioThroughAndAllocatesNothing)
{
  CMFFT a;
  Configure(a, 1024, 3, 0, 48000.0);
  Stereo in = Noise(4096, 8), out(4096);
  testsupport::ScopedAllocationCount count;
  a.Process(in.At(0), out.At(0), 4096);
  a.ProcessCapture(in.At(0), nullptr, 4096);
  EXPECT_EQ(count.Count(), 0u);
  EXPECT_EQ(out.left, in.left);
  EXPECT_EQ(out.right, in.right);
}

TEST(CMFFT, WithoutChannelsItStillRunsOnSilence)
{
  CMFFT a;
  a.SetNumChannels(0);
  a.SetParam(0, 64);
  a.SetNumChannels(-3);
  Stereo s = Noise(256, 9);
  a.Process(s.At(0), s.At(0), 256);
  EXPECT_EQ(a.GetInfo(9), 1.0);
  EXPECT_EQ(a.GetData(6)[0], 0.0);
}

TEST(CMFFT, BadSampleRatesAreIgnored)
{
  CMFFT a;
  Configure(a, 64, 3, 0, 48000.0);
  Stereo s = Noise(64, 10);
  a.ProcessCapture(s.At(0), nullptr, 64);
  for (double fs : {0.0, -44100.0, std::numeric_limits<double>::infinity()})
    a.SetSampleRate(fs);
  EXPECT_EQ(a.GetInfo(9), 1.0);
}

TEST(CMFFT, PreferredFrequencyTableCountsAndListsItsStrides)
{
  CMFFT a;
  PreferredFrequencyTable& t = a.PreferredFrequencies();
  EXPECT_EQ(t.Data()[0], 0.0);       // empty until filled
  EXPECT_EQ(t.FillAndCount(3), 268); // 10 Hz .. 21.8 kHz
  EXPECT_EQ(t.Data()[0], 1.0);
  EXPECT_EQ(t.Data()[399], 97500.0);
  EXPECT_EQ(t.FillAndCount(0), 34);
  EXPECT_EQ(t.Query(-1, 0, 3, 100.0, 1000.0), 81.0);
  EXPECT_EQ(t.Query(-2, 0, 3, 10.0, 0.0), 80.0);
  EXPECT_NEAR(t.Query(2, 1, 0, 0.0, 0.0), 1.65, 1e-12);
  EXPECT_EQ(t.Query(50, 0, 0, 0.0, 0.0), -1.0);
  std::vector<double> out(PreferredFrequencyTable::kSize);
  EXPECT_EQ(t.List(0, out.data()), 34);
  EXPECT_EQ(out[0], 10.0);
  EXPECT_NEAR(out[1], 12.5, 1e-12);
  EXPECT_EQ(out[33], 22050.0);
}
