#include "FilterDesign.h"

#include <algorithm>
#include <cmath>
#include <vector>

#include "CurveMath.h"
#include "SRFFT.h"
#include "Window.h"

namespace {

constexpr double kLn2 = 0.6931471805599453;
// Log magnitude given to bins whose gain is 0, so the fold stays finite.
constexpr double kFloorNeper = kFloorDB / 8.685889638065037;

bool SupportedSize(int m) { return m >= kSRFFTMinSize && m <= kSRFFTMaxSize && (m & (m - 1)) == 0; }

// Position of natural bin k in the scrambled layout of size m.
void Positions(int m, std::vector<int>& pos)
{
  pos.resize(size_t(m));
  if (m >= 16) {
    const int* table = SRFFTPermuteTable(m - 16);
    std::copy(table, table + m, pos.begin());
  } else {
    for (int k = 0; k < m; ++k)
      pos[size_t(k)] = SRFFTPermute(k, m);
  }
}

} // namespace

void ForwardFFT(double* data, int m)
{
  if (!data || !SupportedSize(m))
    return;
  SRFFT(data, m, 0);
  std::vector<int> pos;
  Positions(m, pos);
  std::vector<double> scrambled(data, data + 2 * size_t(m));
  for (int k = 0; k < m; ++k) {
    data[2 * k] = scrambled[2 * size_t(pos[size_t(k)])];
    data[2 * k + 1] = scrambled[2 * size_t(pos[size_t(k)]) + 1];
  }
}

void InverseFFT(double* data, int m)
{
  if (!data || !SupportedSize(m))
    return;
  std::vector<int> pos;
  Positions(m, pos);
  std::vector<double> scrambled(2 * size_t(m));
  for (int k = 0; k < m; ++k) {
    scrambled[2 * size_t(pos[size_t(k)])] = data[2 * k];
    scrambled[2 * size_t(pos[size_t(k)]) + 1] = data[2 * k + 1];
  }
  SRFFT(scrambled.data(), m, 1);
  const double scale = 1.0 / m;
  for (size_t i = 0; i < 2 * size_t(m); ++i)
    data[i] = scrambled[i] * scale;
}

void MinimumPhaseFold(double* data, int m)
{
  if (!data || !SupportedSize(m))
    return;
  ForwardFFT(data, m);
  // Keep the causal half of the cepstrum, doubled; quefrencies 0 and m/2 once.
  for (int k = 1; k < m / 2; ++k) {
    data[2 * k] *= 2.0;
    data[2 * k + 1] *= 2.0;
  }
  std::fill(data + 2 * (m / 2 + 1), data + 2 * m, 0.0);
  InverseFFT(data, m);
}

void SetIdentity(double* impulse, int n)
{
  if (!impulse || n < 1)
    return;
  std::fill(impulse, impulse + n, 0.0);
  impulse[0] = 1.0;
}

void CircularShift(double* data, int n, int k)
{
  if (!data || n < 1)
    return;
  k %= n;
  if (k < 0)
    k += n;
  if (k == 0)
    return;
  std::rotate(data, data + (n - k), data + n);
}

void ApplyImpulseWindow(double* impulse, int n, int mode)
{
  if (!impulse || n < 1 || mode < 0 || mode > 2)
    return;
  const int length = mode == 0 ? 2 * n : n;
  double* w = MakeWindow(length, kWindowSinc, false);
  if (!w)
    return;
  if (mode == 0) {
    for (int i = 0; i < n; ++i)
      impulse[i] *= w[n + i];
  } else if (mode == 1) {
    for (int i = 0; i < n; ++i)
      impulse[i] *= w[i];
  } else {
    const int h = n / 2;
    for (int i = 0; i < h; ++i) {
      impulse[i] *= w[i + h];
      impulse[h + i] *= w[i];
    }
  }
  delete[] w;
}

int DesignFFTSize(int n)
{
  if (n < 1)
    return 0;
  const double m = std::ldexp(1.0, int(std::ceil(std::log(double(n)) / kLn2)));
  if (m > kSRFFTMaxSize)
    return 0;
  return std::max(int(m), kSRFFTMinSize);
}

void SmoothCurve(double* impulse, int n, const Vorelle3CurveRecord& diff, bool linearPhase, double sampleRate)
{
  const int m = DesignFFTSize(n);
  if (!impulse || m == 0)
    return;
  SRFFTInit();
  std::vector<double> x(2 * size_t(m), 0.0);
  const double binWidth = sampleRate / m;
  const int count = int(diff.count);
  for (int k = 0; k <= m / 2; ++k)
    x[2 * size_t(k)] = DBToGain(InterpolateCurve(diff.freq, diff.mag, count, k * binWidth));
  for (int k = m / 2 + 1; k < m; ++k)
    x[2 * size_t(k)] = x[2 * size_t(m - k)];

  if (!linearPhase) {
    std::vector<double> cep(2 * size_t(m), 0.0);
    for (int k = 0; k < m; ++k) {
      const double a = x[2 * size_t(k)];
      cep[2 * size_t(k)] = a > 0.0 ? std::log(a) : kFloorNeper;
    }
    MinimumPhaseFold(cep.data(), m);
    for (int k = 0; k < m; ++k) {
      const double a = x[2 * size_t(k)], phi = cep[2 * size_t(k) + 1];
      x[2 * size_t(k)] = a * std::cos(phi);
      x[2 * size_t(k) + 1] = -a * std::sin(phi);
    }
  }
  InverseFFT(x.data(), m);
  const int first = (m - n) / 2;
  for (int i = 0; i < n; ++i)
    impulse[i] = x[2 * size_t(first + i)];
}
