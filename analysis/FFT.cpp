#include "FFT.h"

#include <cmath>
#include <numbers>
#include <utility>

namespace {

bool IsPowerOfTwo(int n) { return n >= 1 && (n & (n - 1)) == 0; }

// Advances (wr, wi) by the angle whose recurrence factors are (wpr, wpi).
inline void Rotate(double& wr, double& wi, double wpr, double wpi)
{
  const double t = wr;
  wr += wr * wpr - wi * wpi;
  wi += wi * wpr + t * wpi;
}

// Unscaled transform with e^(dir * 2 pi i ...); 1-based pair indices as in the
// classic formulation, shifted to 0-based storage by `d`.
void Radix2(double* data, int n, int dir)
{
  double* d = data - 1;
  const int size = 2 * n;
  int j = 1;
  for (int i = 1; i < size; i += 2) {
    if (j > i) {
      std::swap(d[j], d[i]);
      std::swap(d[j + 1], d[i + 1]);
    }
    int m = n;
    while (m >= 2 && j > m) {
      j -= m;
      m /= 2;
    }
    j += m;
  }
  for (int mmax = 2; mmax < size; mmax *= 2) {
    const int istep = 2 * mmax;
    const double theta = dir * 2.0 * std::numbers::pi / mmax;
    const double s = std::sin(0.5 * theta);
    const double wpr = -2.0 * s * s, wpi = std::sin(theta);
    double wr = 1.0, wi = 0.0;
    for (int m = 1; m < mmax; m += 2) {
      for (int i = m; i <= size; i += istep) {
        const int k = i + mmax;
        const double tr = wr * d[k] - wi * d[k + 1];
        const double ti = wr * d[k + 1] + wi * d[k];
        d[k] = d[i] - tr;
        d[k + 1] = d[i + 1] - ti;
        d[i] += tr;
        d[i + 1] += ti;
      }
      Rotate(wr, wi, wpr, wpi);
    }
  }
}

} // namespace

void ComplexFFT(double* data, int n, int dir)
{
  if (data == nullptr || !IsPowerOfTwo(n) || (dir != 1 && dir != -1))
    return;
  Radix2(data, n, dir);
  if (dir == -1) {
    const double scale = 1.0 / n;
    for (int i = 0; i < 2 * n; ++i)
      data[i] *= scale;
  }
}

void RealFFT(double* data, int n, int dir)
{
  if (data == nullptr || n < 4 || !IsPowerOfTwo(n) || (dir != 1 && dir != -1))
    return;
  const double theta = dir * std::numbers::pi / (n / 2);
  const double c2 = -0.5 * dir;
  const double s = std::sin(0.5 * theta);
  const double wpr = -2.0 * s * s, wpi = std::sin(theta);
  double wr = 1.0 + wpr, wi = wpi;
  if (dir == 1)
    ComplexFFT(data, n / 2, 1);
  // Untangles the two interleaved half-length transforms (or tangles them back).
  for (int k = 1; k < n / 4; ++k) {
    double* a = data + 2 * k;
    double* b = data + n - 2 * k;
    const double h1r = 0.5 * (a[0] + b[0]), h1i = 0.5 * (a[1] - b[1]);
    const double h2r = -c2 * (a[1] + b[1]), h2i = c2 * (a[0] - b[0]);
    a[0] = h1r + wr * h2r - wi * h2i;
    a[1] = h1i + wr * h2i + wi * h2r;
    b[0] = h1r - wr * h2r + wi * h2i;
    b[1] = -h1i + wr * h2i + wi * h2r;
    Rotate(wr, wi, wpr, wpi);
  }
  if (dir == 1) {
    data[n] = data[0] - data[1];
    data[0] += data[1];
    data[1] = 0.0;
    data[n + 1] = 0.0;
  } else {
    const double first = data[0];
    data[0] = 0.5 * (first + data[n]);
    data[1] = 0.5 * (first - data[n]);
    data[n] = data[n + 1] = 0.0;
    ComplexFFT(data, n / 2, -1);
  }
}

namespace {
template <typename Convert>
void ConvertPairs(const double* src, int srcOffset, double* dst, int dstOffset, int count, Convert convert)
{
  if (src == nullptr || dst == nullptr || count < 2)
    return;
  const int pairs = count / 2;
  const bool backwards = src == dst && srcOffset < dstOffset;
  for (int p = 0; p < pairs; ++p) {
    const int j = 2 * (backwards ? pairs - 1 - p : p);
    const double a = src[srcOffset + j], b = src[srcOffset + j + 1];
    convert(a, b, dst[dstOffset + j], dst[dstOffset + j + 1]);
  }
}
} // namespace

void RectToPolar(const double* src, int srcOffset, double* dst, int dstOffset, int count)
{
  ConvertPairs(src, srcOffset, dst, dstOffset, count, [](double re, double im, double& mag, double& phase) {
    mag = std::sqrt(re * re + im * im);
    phase = std::atan2(im, re);
  });
}

void PolarToRect(const double* src, int srcOffset, double* dst, int dstOffset, int count)
{
  ConvertPairs(src, srcOffset, dst, dstOffset, count, [](double mag, double phase, double& re, double& im) {
    re = mag * std::cos(phase);
    im = mag * std::sin(phase);
  });
}
