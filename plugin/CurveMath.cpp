#include "CurveMath.h"

#include <algorithm>
#include <cmath>

namespace {

constexpr double kDBPerNeper = 8.685889638065037;   // 20 / ln 10
constexpr double kNeperPerDB = 0.11512925464970228; // ln 10 / 20
constexpr double kMatchTolerance = 0.01;            // Hz
constexpr double kLowestFrequency = 10.0;
constexpr double kCentreLow = 50.0;
constexpr double kCentreHigh = 16000.0;

struct Bezier {
  double p0, p1, p2, p3;
  double At(double t) const
  {
    const double u = 1.0 - t;
    return u * u * u * p0 + 3.0 * t * u * u * p1 + 3.0 * t * t * u * p2 + t * t * t * p3;
  }
};

Bezier SegmentThrough(const double* v) { return {v[1], v[1] + (v[2] - v[0]) / 8.0, v[2] - (v[3] - v[1]) / 8.0, v[2]}; }

} // namespace

double LevelToDB(double x)
{
  const double a = std::fabs(x);
  if (!(a > kFloorLevel))
    return kFloorDB;
  return std::log(a) * kDBPerNeper;
}

double DBToGain(double dB)
{
  if (!(dB > kFloorDB))
    return 0.0;
  return std::exp(kNeperPerDB * dB);
}

double BezierSegmentValue(const double* x, const double* y, double f)
{
  const Bezier bx = SegmentThrough(x), by = SegmentThrough(y);
  if (std::fabs(bx.At(1.0) - f) < kMatchTolerance)
    return by.At(1.0);
  double t = f > x[2] ? 1.5 : 0.5;
  double step = 0.25;
  for (int i = 0; i < 8; ++i, step *= 0.5) {
    const double xt = bx.At(t);
    if (std::fabs(xt - f) < kMatchTolerance)
      break;
    t += f > xt ? step : -step;
  }
  return by.At(t);
}

double InterpolateCurve(const double* freq, const double* value, int count, double f)
{
  if (!freq || !value || count < 1 || std::isnan(f))
    return 0.0;
  double result;
  if (f < freq[0]) {
    result = value[0];
  } else if (f > freq[count - 1] || count == 1) {
    result = value[count - 1];
  } else {
    // The last segment j with freq[j] <= f <= freq[j + 1].
    const int above = int(std::upper_bound(freq, freq + count, f) - freq);
    const int j = std::min(above - 1, count - 2);
    const int at[4] = {std::max(j - 1, 0), j, j + 1, std::min(j + 2, count - 1)};
    double xs[4], ys[4];
    for (int i = 0; i < 4; ++i) {
      xs[i] = freq[at[i]];
      ys[i] = value[at[i]];
    }
    result = BezierSegmentValue(xs, ys, f);
  }
  return std::isfinite(result) ? result : 0.0;
}

bool PointInMatchedRange(const double* freq, unsigned count, unsigned i, double fmax)
{
  const double reach = i + 1 < count ? freq[i + 1] : freq[i];
  return freq[i] >= kLowestFrequency && reach <= fmax;
}

bool ComputeDifferenceCurve(const Vorelle3CurveRecord& reference, const Vorelle3CurveRecord& fingerprint, double fmax,
                            Vorelle3CurveRecord& diff)
{
  const unsigned n = reference.count;
  if (n < 1 || fingerprint.count != n || diff.count != n)
    return false;
  double lo = 0.0, hi = 0.0;
  bool centred = false;
  int first = -1, last = -1;
  for (unsigned i = 0; i < n; ++i) {
    const double f = reference.freq[i];
    double d = 0.0;
    if (PointInMatchedRange(reference.freq, n, i, fmax)) {
      d = LevelToDB(reference.mag[i]) - LevelToDB(fingerprint.mag[i]);
      if (!std::isfinite(d))
        d = 0.0;
      if (first < 0)
        first = int(i);
      last = int(i);
      if (f >= kCentreLow && f <= kCentreHigh) {
        lo = centred ? std::min(lo, d) : d;
        hi = centred ? std::max(hi, d) : d;
        centred = true;
      }
    }
    diff.mag[i] = d;
  }
  const double shift = (lo + hi) / 2.0;
  for (unsigned i = 0; i < n; ++i)
    diff.mag[i] -= shift;
  // Points outside the range hold the nearest matched value, so the
  // correction stays flat beyond the edges instead of bending towards 0 dB.
  if (first >= 0) {
    for (int i = 0; i < first; ++i)
      diff.mag[i] = diff.mag[first];
    for (int i = last + 1; i < int(n); ++i)
      diff.mag[i] = diff.mag[last];
  }
  return true;
}
