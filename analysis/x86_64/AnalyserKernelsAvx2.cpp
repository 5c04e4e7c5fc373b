// Built with AVX2 and FMA enabled (see analysis/CMakeLists.txt). The kernels
// have internal linkage, and no header with an inline function a baseline
// caller could share may be included, or the linker could hand it the wider
// code.
#include "AnalyserKernels.h"

#include <immintrin.h>

namespace {

void Window(double* out, const double* in, const double* window, int n)
{
  int i = 0;
  for (; i + 4 <= n; i += 4)
    _mm256_storeu_pd(out + i, _mm256_mul_pd(_mm256_loadu_pd(in + i), _mm256_loadu_pd(window + i)));
  if (i < n)
    AnalyserKernelsBaseline().Window(out + i, in + i, window + i, n - i);
}

// Four bins a step.
void Accumulate(const AnalyserSpectra& s, const double* bins, int n, double c, double inverseCount, double decay)
{
  const __m256d vc = _mm256_set1_pd(c), vInverse = _mm256_set1_pd(inverseCount), vDecay = _mm256_set1_pd(decay);
  int k = 0;
  for (; k + 4 <= n; k += 4) {
    const __m256d lo = _mm256_loadu_pd(bins + 2 * k), hi = _mm256_loadu_pd(bins + 2 * k + 4);
    // (|z0|^2, |z2|^2, |z1|^2, |z3|^2), put in order
    const __m256d squares = _mm256_hadd_pd(_mm256_mul_pd(lo, lo), _mm256_mul_pd(hi, hi));
    const __m256d m = _mm256_sqrt_pd(_mm256_permute4x64_pd(squares, _MM_SHUFFLE(3, 1, 2, 0)));
    _mm256_storeu_pd(s.magnitude + k, m);
    const __m256d sum = _mm256_add_pd(_mm256_loadu_pd(s.sum + k), m);
    _mm256_storeu_pd(s.sum + k, sum);
    _mm256_storeu_pd(s.average + k, _mm256_mul_pd(sum, vInverse));
    const __m256d exp = _mm256_loadu_pd(s.expAverage + k);
    _mm256_storeu_pd(s.expAverage + k, _mm256_fmadd_pd(_mm256_sub_pd(exp, m), vc, m));
    // max(m, peak) keeps peak when m is not a number, as std::max(peak, m)
    _mm256_storeu_pd(s.peakHold + k, _mm256_max_pd(m, _mm256_loadu_pd(s.peakHold + k)));
    const __m256d peak = _mm256_loadu_pd(s.decayPeak + k);
    const __m256d rises = _mm256_cmp_pd(peak, m, _CMP_LT_OQ);
    _mm256_storeu_pd(s.decayPeak + k, _mm256_blendv_pd(_mm256_mul_pd(peak, vDecay), m, rises));
  }
  if (k < n) {
    const AnalyserSpectra rest{s.magnitude + k, s.sum + k,      s.average + k,
                               s.expAverage + k, s.peakHold + k, s.decayPeak + k};
    AnalyserKernelsBaseline().Accumulate(rest, bins + 2 * k, n - k, c, inverseCount, decay);
  }
}

} // namespace

const AnalyserKernels& AnalyserKernelsAvx2()
{
  static constexpr AnalyserKernels kernels{Window, Accumulate};
  return kernels;
}
