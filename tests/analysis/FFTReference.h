#pragma once
// Independent references for the transform tests: FFTW and a naive DFT
// written out term by term.
#include <fftw3.h>

#include <cmath>
#include <complex>
#include <numbers>
#include <random>
#include <vector>

namespace analysis_test {

using Complex = std::complex<double>;
using Spectrum = std::vector<Complex>;

// sum_j x[j] e^(sign * 2 pi i j k / n), unscaled, by FFTW.
inline Spectrum FftwDft(const Spectrum& x, int sign)
{
  const int n = static_cast<int>(x.size());
  Spectrum in(x), out(x.size());
  fftw_plan plan =
    fftw_plan_dft_1d(n, reinterpret_cast<fftw_complex*>(in.data()), reinterpret_cast<fftw_complex*>(out.data()),
                     sign < 0 ? FFTW_FORWARD : FFTW_BACKWARD, FFTW_ESTIMATE);
  fftw_execute(plan);
  fftw_destroy_plan(plan);
  return out;
}

// The same sum, evaluated directly with exact angle reduction (j*k mod n).
inline Spectrum NaiveDft(const Spectrum& x, int sign)
{
  const long n = static_cast<long>(x.size());
  Spectrum out(x.size());
  for (long k = 0; k < n; ++k) {
    Complex acc = 0.0;
    for (long j = 0; j < n; ++j) {
      const double angle = sign * 2.0 * std::numbers::pi * static_cast<double>((j * k) % n) / n;
      acc += x[j] * Complex(std::cos(angle), std::sin(angle));
    }
    out[k] = acc;
  }
  return out;
}

inline Spectrum RandomSignal(int n, unsigned seed)
{
  std::mt19937 rng(seed);
  std::uniform_real_distribution<double> dist(-1.0, 1.0);
  Spectrum x(n);
  for (auto& v : x) {
    const double re = dist(rng);
    v = Complex(re, dist(rng));
  }
  return x;
}

inline std::vector<double> Interleave(const Spectrum& x)
{
  std::vector<double> out(2 * x.size());
  for (size_t k = 0; k < x.size(); ++k) {
    out[2 * k] = x[k].real();
    out[2 * k + 1] = x[k].imag();
  }
  return out;
}

// ||a - b|| / ||b|| in the 2-norm.
inline double RelativeError(const Spectrum& a, const Spectrum& b)
{
  double diff = 0.0, norm = 0.0;
  for (size_t k = 0; k < a.size(); ++k) {
    diff += std::norm(a[k] - b[k]);
    norm += std::norm(b[k]);
  }
  return norm > 0.0 ? std::sqrt(diff / norm) : std::sqrt(diff);
}

} // namespace analysis_test
