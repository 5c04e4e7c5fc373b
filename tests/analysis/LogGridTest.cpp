#include "LogGrid.h"

#include <gtest/gtest.h>

#include <cmath>
#include <vector>

namespace {
constexpr double kTolerance = 1e-12;

// src[k] = k*k + 1: every mean of a different bin range differs.
std::vector<double> Squares(int n)
{
  std::vector<double> v(n);
  for (int k = 0; k < n; ++k)
    v[k] = k * k + 1.0;
  return v;
}

double Mean(const std::vector<double>& v, int lo, int hi)
{
  double s = 0;
  for (int k = lo; k <= hi; ++k)
    s += v[k];
  return s / (hi - lo + 1);
}
} // namespace

TEST(LogGrid, PointCountsForOneToTwentyFourPointsPerOctave)
{
  const struct {
    int b, points;
  } cases[] = {{1, 12}, {3, 34}, {6, 67}, {12, 133}, {24, 265}};
  for (const auto& c : cases)
    EXPECT_EQ(CountLogGridPoints(nullptr, 1.0, c.b, 10.0, 22050.0), c.points) << c.b;
}

TEST(LogGrid, SixPointsPerOctaveFromTenHertzEndAt20480)
{
  std::vector<double> grid(67);
  FillLogGrid(nullptr, grid.data(), 1.0, 6, 10.0, 22050.0);
  for (int i = 0; i < 67; ++i)
    EXPECT_NEAR(grid[i], 10.0 * std::pow(2.0, i / 6.0), 1e-9 * grid[i]) << i;
  EXPECT_NEAR(grid[66], 20480.0, 1e-8);
}

TEST(LogGrid, ArgumentsThatMakeNoGridGiveZeroPoints)
{
  EXPECT_EQ(CountLogGridPoints(nullptr, 1.0, 0, 10.0, 22050.0), 0);
  EXPECT_EQ(CountLogGridPoints(nullptr, 1.0, 6, 0.0, 22050.0), 0);
  EXPECT_EQ(CountLogGridPoints(nullptr, 0.5, 6, 10.0, 22050.0), 0);
  EXPECT_EQ(CountLogGridPoints(nullptr, 1.0, 6, 10.0, 15.0), 0);
  EXPECT_EQ(CountLogGridPoints(nullptr, 1.0, 6, 10000.0, 10.0), 0);
}

TEST(MapSpectrumToGrid, AveragesBetweenNeighboursAndTakesOwnBinsAtTheEnds)
{
  // 11 bins at fs = 20: one bin per hertz.
  const std::vector<double> src = Squares(11);
  const double grid[4] = {1.0, 2.0, 4.0, 8.0};
  double dst[4] = {-1, -1, -1, -1};
  MapSpectrumToGrid(src.data(), 11, grid, 4, dst, 20.0);
  EXPECT_NEAR(dst[0], src[1], kTolerance);
  EXPECT_NEAR(dst[1], Mean(src, 1, 4), kTolerance);
  EXPECT_NEAR(dst[2], Mean(src, 2, 8), kTolerance);
  EXPECT_NEAR(dst[3], src[8], kTolerance);
}

// The plug-in's grid reaches 22 kHz; at 22.05 and 32 kHz part of it lies above
// half the sample rate. The spectrum vector is exactly nBins long, so a read
// beyond it is an ASan error.
TEST(MapSpectrumToGrid, LowSampleRatesReadOnlyInsideTheSpectrumAndFillSkippedPoints)
{
  for (double fs : {22050.0, 32000.0}) {
    const int nBins = 16384;
    const std::vector<double> src = Squares(nBins);
    std::vector<double> grid(67);
    FillLogGrid(nullptr, grid.data(), 1.0, 6, 10.0, 22050.0);
    grid[66] = 22000.0;
    std::vector<double> dst(67, std::nan(""));
    MapSpectrumToGrid(src.data(), nBins, grid.data(), 67, dst.data(), fs);
    const double w = fs * 0.5 / (nBins - 1);
    for (int i = 0; i < 67; ++i) {
      ASSERT_TRUE(std::isfinite(dst[i])) << fs << " point " << i;
      const bool inside = (i + 1 < 67 ? grid[i + 1] : grid[i]) <= fs / 2;
      if (!inside) {
        EXPECT_EQ(dst[i], src[nBins - 1]) << fs << " point " << i;
      } else if (i > 0 && i < 66) {
        EXPECT_NEAR(dst[i], Mean(src, int(grid[i - 1] / w), int(grid[i + 1] / w)), 1e-9 * dst[i]) << fs << " " << i;
      }
    }
  }
}

TEST(MapSpectrumToGrid, DegenerateInputsWriteNothing)
{
  const std::vector<double> src = Squares(4);
  const double grid[2] = {1.0, 2.0};
  double dst[2] = {-7, -7};
  MapSpectrumToGrid(src.data(), 1, grid, 2, dst, 20.0);
  MapSpectrumToGrid(src.data(), 4, grid, 0, dst, 20.0);
  MapSpectrumToGrid(src.data(), 4, grid, 2, dst, 0.0);
  EXPECT_EQ(dst[0], -7);
  EXPECT_EQ(dst[1], -7);
}

TEST(SampleSpectrumAtGrid, TakesOwnBinsAndMovesTheLastPointOffARepeatedBin)
{
  const std::vector<double> src = Squares(11);
  const double grid[3] = {1.5, 3.2, 3.7};
  double dst[3];
  SampleSpectrumAtGrid(src.data(), 11, grid, 3, dst, 20.0);
  EXPECT_EQ(dst[0], src[1]);
  EXPECT_EQ(dst[1], src[3]);
  EXPECT_EQ(dst[2], src[4]);
}

TEST(LogFit, RecoversAnExactExponentialAndItsEndPoints)
{
  const double w = 2.5;
  std::vector<double> src(40);
  for (int k = 0; k < 40; ++k)
    src[k] = std::exp(1.5 - 0.01 * k * w);
  double lo = 0, hi = 0;
  FitLogLine(src.data(), 5, 30, lo, hi, w);
  EXPECT_NEAR(lo, src[5], 1e-12);
  EXPECT_NEAR(hi, src[30], 1e-12);
  FitLogLine(src.data(), 7, 7, lo, hi, w);
  EXPECT_NEAR(lo, src[7], 1e-12);
  EXPECT_EQ(MeanOfBins(src.data(), 3, 2), 0.0);
  EXPECT_NEAR(MeanOfBins(src.data(), 2, 4), (src[2] + src[3] + src[4]) / 3, 1e-15);

  // On an exponential spectrum the fitted mapping is the spectrum itself.
  const int nBins = 401; // fs = 800: 1 Hz per bin
  std::vector<double> spectrum(nBins);
  for (int k = 0; k < nBins; ++k)
    spectrum[k] = std::exp(-0.003 * k);
  const double grid[5] = {10.0, 20.0, 40.0, 80.0, 160.0};
  double dst[5];
  MapSpectrumToGridLogFit(spectrum.data(), nBins, grid, 5, dst, 800.0);
  EXPECT_NEAR(dst[0], spectrum[10], 1e-12);
  EXPECT_NEAR(dst[1], spectrum[10], 1e-12);
  EXPECT_NEAR(dst[2], spectrum[20], 1e-12);
  EXPECT_NEAR(dst[3], spectrum[40], 1e-12);
  EXPECT_NEAR(dst[4], spectrum[160], 1e-12);
}
