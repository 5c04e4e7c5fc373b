#include "LogGrid.h"

#include <algorithm>
#include <cmath>

namespace {

constexpr double kLogFitLimitHz = 16000.0;

struct GridShape {
  double step = 0.0;
  int points = 0;
};

GridShape Shape(double factor, int b, double fStart, double fTop)
{
  GridShape s;
  if (b < 1 || !(factor > 0.0) || !(fStart > 0.0) || !(fTop + 1.0 > 0.0))
    return s;
  s.step = (std::log10(2.0 * fStart * factor) - std::log10(fStart)) / b;
  const double octaves = (std::log10(fTop + 1.0) - std::log10(fStart)) / (s.step * b);
  if (!std::isfinite(octaves) || octaves < 1.0 || octaves > 1e6)
    return s;
  s.points = b * static_cast<int>(octaves) + 1;
  return s;
}

// The spectrum's bins and their spacing; bins beyond the spectrum clamp to the top.
struct Bins {
  const double* src;
  int count;
  double width;

  bool Valid() const { return src != nullptr && count >= 2 && width > 0.0 && std::isfinite(width); }
  int At(double f) const
  {
    const double k = f / width;
    if (!(k >= 0.0))
      return 0;
    return k >= count - 1 ? count - 1 : static_cast<int>(k);
  }
  double Top() const { return src[count - 1]; }
};

Bins MakeBins(const double* src, int nBins, double fs)
{
  return Bins{src, nBins, nBins >= 2 ? (fs * 0.5) / (nBins - 1) : 0.0};
}

} // namespace

int CountLogGridPoints(const void*, double factor, int bandsPerOctave, double fStart, double fTop)
{
  return Shape(factor, bandsPerOctave, fStart, fTop).points;
}

void FillLogGrid(const void*, double* out, double factor, int bandsPerOctave, double fStart, double fTop)
{
  const GridShape s = Shape(factor, bandsPerOctave, fStart, fTop);
  if (out == nullptr)
    return;
  const double start = std::log10(fStart);
  for (int i = 0; i < s.points; ++i)
    out[i] = std::pow(10.0, start + i * s.step);
}

double MeanOfBins(const double* src, int lo, int hi)
{
  if (src == nullptr || hi < lo)
    return 0.0;
  double sum = 0.0;
  for (int k = lo; k <= hi; ++k)
    sum += src[k];
  return sum / (hi - lo + 1);
}

void MapSpectrumToGrid(const double* src, int nBins, const double* grid, int count, double* dst, double fs)
{
  const Bins bins = MakeBins(src, nBins, fs);
  if (count < 1 || grid == nullptr || dst == nullptr || !bins.Valid())
    return;
  const double nyquist = fs * 0.5;
  for (int i = 0; i < count; ++i) {
    const int j = i + 1 < count ? i + 1 : count - 1;
    if (grid[j] <= nyquist)
      dst[i] = MeanOfBins(src, bins.At(grid[std::max(i - 1, 0)]), bins.At(grid[j]));
    else
      dst[i] = bins.Top();
  }
  // The end points take their own bin (the top bin when beyond the spectrum).
  dst[0] = src[bins.At(grid[0])];
  dst[count - 1] = src[bins.At(grid[count - 1])];
}

void SampleSpectrumAtGrid(const double* src, int nBins, const double* grid, int count, double* dst, double fs)
{
  const Bins bins = MakeBins(src, nBins, fs);
  if (count < 2 || grid == nullptr || dst == nullptr || !bins.Valid())
    return;
  const double nyquist = fs * 0.5;
  for (int i = 0; i + 1 < count; ++i)
    dst[i] = grid[i + 1] <= nyquist ? src[bins.At(grid[i])] : bins.Top();
  int last = bins.At(grid[count - 1]);
  if (last == bins.At(grid[count - 2]))
    last = std::min(last + 1, nBins - 1);
  dst[count - 1] = src[last];
}

void FitLogLine(const double* src, int lo, int hi, double& outLo, double& outHi, double w)
{
  if (src == nullptr || hi < lo)
    return;
  const int n = hi - lo + 1;
  double sx = 0.0, sy = 0.0, sxx = 0.0, sxy = 0.0;
  for (int k = lo; k <= hi; ++k) {
    const double x = k * w, y = std::log(std::max(src[k], 1e-300));
    sx += x;
    sy += y;
    sxx += x * x;
    sxy += x * y;
  }
  const double denominator = n * sxx - sx * sx;
  if (n < 2 || denominator == 0.0) {
    outLo = outHi = std::exp(sy / n);
    return;
  }
  const double slope = (n * sxy - sx * sy) / denominator;
  const double intercept = (sy - slope * sx) / n;
  outLo = std::exp(intercept + slope * lo * w);
  outHi = std::exp(intercept + slope * hi * w);
}

void MapSpectrumToGridLogFit(const double* src, int nBins, const double* grid, int count, double* dst, double fs)
{
  const Bins bins = MakeBins(src, nBins, fs);
  if (count < 2 || grid == nullptr || dst == nullptr || !bins.Valid())
    return;
  const double nyquist = fs * 0.5;
  int lastHi = bins.At(grid[count - 1]);
  for (int i = 0; i < count; ++i) {
    const int j = i + 1 < count ? i + 1 : count - 1;
    if (grid[j] > nyquist) {
      dst[i] = bins.Top();
      continue;
    }
    int lo = bins.At(grid[std::max(i - 1, 0)]);
    int hi = bins.At(grid[j]);
    lastHi = hi;
    if (i == 0 || grid[i] >= kLogFitLimitHz) {
      dst[i] = src[bins.At(grid[i])];
      continue;
    }
    if (hi <= lo) {
      hi = std::min(lo + 1, nBins - 1);
      lo = hi - 1;
    }
    double atLo = 0.0, atHi = 0.0;
    FitLogLine(src, lo, hi, atLo, atHi, bins.width);
    dst[i] = atLo;
  }
  dst[count - 1] = src[lastHi];
}
