#pragma once
// The separation pass of SRRealFFT, two bins per step. Private to
// SRRealFFT.cpp and its wider-instruction twin in x86_64/; like
// SRFFTKernels.h it has internal linkage throughout, so the two compiled
// copies are never merged by the linker.

#include "SRFFTKernels.h"

namespace srrealfft_detail {
namespace {

using srfft_detail::V; // in memory
// Values in registers: one complex double, and W, two side by side (one
// register with AVX; elsewhere R2 serves, one bin at a time, as a 32-byte
// vector would be split and passed in memory). Templates take these: a
// template argument would drop V's lowered alignment.
typedef double R2 __attribute__((vector_size(16)));
using srfft_detail::W;

template <typename T> inline T SwapReIm(T a)
{
  if constexpr (sizeof(T) == sizeof(R2))
    return __builtin_shufflevector(a, a, 1, 0);
  else
    return __builtin_shufflevector(a, a, 1, 0, 3, 2);
}
template <typename T> inline T Real(T a) // (re, re) in every lane
{
  if constexpr (sizeof(T) == sizeof(R2))
    return __builtin_shufflevector(a, a, 0, 0);
  else
    return __builtin_shufflevector(a, a, 0, 0, 2, 2);
}
template <typename T> inline T Imag(T a) // (im, im) in every lane
{
  if constexpr (sizeof(T) == sizeof(R2))
    return __builtin_shufflevector(a, a, 1, 1);
  else
    return __builtin_shufflevector(a, a, 1, 1, 3, 3);
}
template <typename T> inline T Lanes(double re, double im)
{
  if constexpr (sizeof(T) == sizeof(R2))
    return T{re, im};
  else
    return T{re, im, re, im};
}

// Bins k and half - k of the real transform from a = Z(k) and b = Z(half - k),
// lane by lane, with w = e^(+2 pi i k / n): the even samples' spectrum is
// E = (a + conj b) / 2, the odd ones' O = (a - conj b) / 2i, and
// X(k) = E + conj(w) O; the output takes conj X(k) = (P + Q) / 2 with
// P = 2 conj E = conj a + b and Q = 2 w conj O = w i conj(a - conj b), and
// X(half - k) = conj(E - conj(w) O) = conj(P - Q) / 2.
template <typename T> struct Separated {
  T k, mirror;
};

template <typename T> inline Separated<T> SeparateLanes(T a, T b, T w)
{
  const T conj = Lanes<T>(1.0, -1.0);
  const T p = a * conj + b;
  const T d = a - b * conj;                                  // a - conj b
  const T q = SwapReIm(d) * Real(w) + d * (Imag(w) * -conj); // w i conj d
  return {(p + q) * Lanes<T>(0.5, 0.5), (p - q) * Lanes<T>(0.5, -0.5)};
}

// Bins k0, k1 and their mirrors j0, j1 (= half - k), with twiddles w0, w1:
// side by side in T = W, one after the other in T = R2.
template <typename T>
inline void SeparateTwo(const V* z, const int* perm, V* out, int k0, int k1, int j0, int j1, V w0, V w1)
{
  if constexpr (sizeof(T) == sizeof(R2)) {
    const Separated<R2> first = SeparateLanes<R2>(z[perm[k0]], z[perm[j0]], w0);
    out[k0] = first.k;
    out[j0] = first.mirror;
    const Separated<R2> second = SeparateLanes<R2>(z[perm[k1]], z[perm[j1]], w1);
    out[k1] = second.k;
    out[j1] = second.mirror;
  } else {
    const auto join = srfft_detail::Pairs<W>::Join;
    const Separated<W> both =
      SeparateLanes<W>(join(z[perm[k0]], z[perm[k1]]), join(z[perm[j0]], z[perm[j1]]), join(w0, w1));
    out[k0] = __builtin_shufflevector(both.k, both.k, 0, 1);
    out[k1] = __builtin_shufflevector(both.k, both.k, 2, 3);
    out[j0] = __builtin_shufflevector(both.mirror, both.mirror, 0, 1);
    out[j1] = __builtin_shufflevector(both.mirror, both.mirror, 2, 3);
  }
}

// Every bin of the real transform of n points but DC and Nyquist, from z,
// the half-size spectrum with Z(m) at z[perm[m]]. twiddle(k) gives
// e^(+2 pi i k / n) for 1 <= k < n/8 (e); the other octants follow by
// symmetry, so each twiddle serves four bins: k, half - k, q - k and q + k.
// Bins that differ by a multiple of e share cache lines of z, so k and e - k
// go side by side. n >= 32.
template <typename T, typename Twiddle>
inline void Separate(const V* z, const int* perm, V* out, int n, Twiddle twiddle)
{
  const int half = n / 2, q = n / 4, e = n / 8;
  for (int k = 1; k <= e / 2; ++k) {
    const int l = e - k;
    const V wk = twiddle(k), wl = twiddle(l);
    SeparateTwo<T>(z, perm, out, k, l, half - k, half - l, wk, wl);
    // q - k has the twiddle i conj(w)
    SeparateTwo<T>(z, perm, out, q - k, q - l, q + k, q + l, srfft_detail::Swap(wk), srfft_detail::Swap(wl));
  }
  // e is its own partner (q - e = e), with e^(i pi / 4); q its own mirror,
  // with e^(i pi / 2).
  const Separated<R2> middle =
    SeparateLanes<R2>(z[perm[e]], z[perm[half - e]], V{srfft_detail::kSqrtHalf, srfft_detail::kSqrtHalf});
  out[e] = middle.k;
  out[half - e] = middle.mirror;
  out[q] = z[perm[q]];
}

// Separate, T wide, with the twiddles of the split-radix tables, tw by log2 size up
// to maxLog2 (the first octant of e^(2 pi i k / size)); 32 <= n <= 2^(maxLog2 + 1).
template <typename T>
inline void SeparateWithTables(const double* z, const int* perm, double* out, int n, const double* const* tw,
                               int maxLog2)
{
  const V* zv = reinterpret_cast<const V*>(z);
  V* outv = reinterpret_cast<V*>(out);
  const int log2n = __builtin_ctz(unsigned(n));
  if (log2n <= maxLog2) {
    const double* table = tw[log2n];
    Separate<T>(zv, perm, outv, n, [table](int k) { return V{table[2 * k - 2], table[2 * k - 1]}; });
    return;
  }
  // Past the largest table: the even k are the half size's entries, the odd
  // k those turned on by one step.
  constexpr double kTwoPi = 6.28318530717958647692528676655900577;
  const double* table = tw[log2n - 1];
  const V step{__builtin_cos(kTwoPi / n), __builtin_sin(kTwoPi / n)};
  Separate<T>(zv, perm, outv, n, [table, step](int k) {
    const int j = k / 2;
    const V even = j == 0 ? V{1.0, 0.0} : V{table[2 * j - 2], table[2 * j - 1]};
    return (k & 1) == 0 ? even : srfft_detail::Mul(even, step);
  });
}

} // namespace
} // namespace srrealfft_detail
