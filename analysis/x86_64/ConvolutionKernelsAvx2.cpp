// Built with AVX2 and FMA enabled (see analysis/CMakeLists.txt). The kernels
// have internal linkage, and no header with an inline function a baseline
// caller could share may be included, or the linker could hand it the wider
// code.
#include "ConvolutionKernels.h"

#include <immintrin.h>

namespace {

// V vectors of four outputs summed side by side; at V = 8 the independent
// sums cover the latency of the fused multiply-add.
template <int V> inline void DirectBlock(double* out, const double* x, const double* rev, int first, int end)
{
  __m256d sum[V];
  for (int v = 0; v < V; ++v)
    sum[v] = _mm256_setzero_pd();
  for (int k = first; k < end; ++k) {
    const __m256d r = _mm256_broadcast_sd(rev + k);
    const double* window = x + k;
    for (int v = 0; v < V; ++v)
      sum[v] = _mm256_fmadd_pd(r, _mm256_loadu_pd(window + 4 * v), sum[v]);
  }
  for (int v = 0; v < V; ++v)
    _mm256_storeu_pd(out + 4 * v, sum[v]);
}

void DirectConvolve(double* out, int n, const double* x, const double* rev, int first, int end)
{
  int i = 0;
  for (; i + 32 <= n; i += 32)
    DirectBlock<8>(out + i, x + i, rev, first, end);
  for (; i + 16 <= n; i += 16)
    DirectBlock<4>(out + i, x + i, rev, first, end);
  for (; i + 4 <= n; i += 4)
    DirectBlock<1>(out + i, x + i, rev, first, end);
  for (; i < n; ++i) {
    double sum = 0.0;
    for (int k = first; k < end; ++k)
      sum += rev[k] * x[i + k];
    out[i] = sum;
  }
}

// 2V complex values from offset e (in doubles) on. Each product x * h is
// summed as x * (hr, hr) and x * (hi, hi), so the loop needs no shuffle of x;
// the two sums meet once at the end. The imaginary parts are duplicated by
// loading one double further on, which reads the first double after the
// group: lastGroup duplicates them in registers instead.
template <int V, bool lastGroup>
inline void MulSumGroup(double* acc, const double* const* a, const double* const* b, int count, int e, bool add)
{
  __m256d byRe[V], byIm[V];
  for (int v = 0; v < V; ++v) {
    byRe[v] = add ? _mm256_loadu_pd(acc + e + 4 * v) : _mm256_setzero_pd();
    byIm[v] = _mm256_setzero_pd();
  }
  for (int j = 0; j < count; ++j) {
    const double* x = a[j] + e;
    const double* h = b[j] + e;
    for (int v = 0; v < V; ++v) {
      const __m256d xv = _mm256_loadu_pd(x + 4 * v);
      const __m256d hv = _mm256_loadu_pd(h + 4 * v);
      const __m256d hi = lastGroup ? _mm256_permute_pd(hv, 0xF) : _mm256_movedup_pd(_mm256_loadu_pd(h + 4 * v + 1));
      byRe[v] = _mm256_fmadd_pd(xv, _mm256_movedup_pd(hv), byRe[v]);
      byIm[v] = _mm256_fmadd_pd(xv, hi, byIm[v]);
    }
  }
  // (xr hr - xi hi, xi hr + xr hi)
  for (int v = 0; v < V; ++v)
    _mm256_storeu_pd(acc + e + 4 * v, _mm256_addsub_pd(byRe[v], _mm256_permute_pd(byIm[v], 0x5)));
}

void ComplexMulSum(double* acc, const double* const* a, const double* const* b, int count, int n, bool add)
{
  constexpr int kGroup = 8; // complex values per group
  int k = 0;
  for (; k + kGroup < n; k += kGroup)
    MulSumGroup<kGroup / 2, false>(acc, a, b, count, 2 * k, add);
  for (; k + kGroup <= n; k += kGroup)
    MulSumGroup<kGroup / 2, true>(acc, a, b, count, 2 * k, add);
  for (; k + 2 <= n; k += 2)
    MulSumGroup<1, true>(acc, a, b, count, 2 * k, add);
  // An odd last value: the same sums, one complex value wide.
  if (k < n) {
    __m128d byRe = add ? _mm_loadu_pd(acc + 2 * k) : _mm_setzero_pd(), byIm = _mm_setzero_pd();
    for (int j = 0; j < count; ++j) {
      const __m128d xv = _mm_loadu_pd(a[j] + 2 * k);
      const __m128d hv = _mm_loadu_pd(b[j] + 2 * k);
      byRe = _mm_fmadd_pd(xv, _mm_movedup_pd(hv), byRe);
      byIm = _mm_fmadd_pd(xv, _mm_permute_pd(hv, 0x3), byIm);
    }
    _mm_storeu_pd(acc + 2 * k, _mm_addsub_pd(byRe, _mm_permute_pd(byIm, 0x1)));
  }
}

} // namespace

const ConvolutionKernels& ConvolutionKernelsAvx2()
{
  static constexpr ConvolutionKernels kernels{DirectConvolve, ComplexMulSum};
  return kernels;
}
