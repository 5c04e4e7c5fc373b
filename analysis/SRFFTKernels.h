#pragma once
// Fixed-size split-radix routines, one per power-of-two size, resolved at
// compile time. Private to SRFFT.cpp (and the real FFT's separation kernels,
// which share its vector type).
//
// Forward c(n): an L-shaped butterfly pass over k < n/4, then c(n/4) on the
// third and fourth quarters and c(n/2) on the first half (decimation in
// frequency, no reordering). The inverse is the adjoint, in reverse order.
// tw[log2 n] holds (cos, sin) of 2 pi k / n for k = 1 .. n/8 - 1; the other
// twiddles of the pass follow by symmetry.
//
// Everything here has internal linkage and the header includes nothing: it is
// compiled once for the baseline processor and once more with wider
// instructions, and the two copies must never be merged by the linker.

namespace srfft_detail {
namespace {

// One complex double (re, im); 8-byte alignment so any double* may be used.
// Vector extensions GCC and clang share: one 128-bit register on x86-64 and on
// arm64 alike.
typedef double V __attribute__((vector_size(16), aligned(8)));
static_assert(alignof(V) == alignof(double));

constexpr double kSqrtHalf = 0.70710678118654752440;

inline V Swap(V a) { return __builtin_shufflevector(a, a, 1, 0); }
inline V MulI(V a) { return Swap(a) * V{-1.0, 1.0}; }                               // i*a
inline V Mul(V a, V w) { return a * V{w[0], w[0]} + Swap(a) * V{-w[1], w[1]}; }     // a*w
inline V MulConj(V a, V w) { return a * V{w[0], w[0]} + Swap(a) * V{w[1], -w[1]}; } // a*conj(w)

constexpr int Log2(int n) { return n <= 1 ? 0 : 1 + Log2(n / 2); }

template <int N> struct Kernel {
  static_assert(N >= 8 && (N & (N - 1)) == 0, "power of two");
  static constexpr int H = N / 2, Q = N / 4, E = N / 8;

  static inline void FwdButterfly(V* a, int k, V w, bool trivial)
  {
    const V x0 = a[k], x1 = a[k + Q], x2 = a[k + H], x3 = a[k + 3 * Q];
    const V t1 = x0 - x2, it2 = MulI(x1 - x3);
    a[k] = x0 + x2;
    a[k + Q] = x1 + x3;
    if (trivial) {
      a[k + H] = t1 + it2;
      a[k + 3 * Q] = t1 - it2;
    } else {
      a[k + H] = Mul(t1 + it2, w);
      a[k + 3 * Q] = MulConj(t1 - it2, w);
    }
  }

  static inline void InvButterfly(V* a, int k, V w, bool trivial)
  {
    const V b2 = trivial ? a[k + H] : MulConj(a[k + H], w);
    const V b3 = trivial ? a[k + 3 * Q] : Mul(a[k + 3 * Q], w);
    const V s = b2 + b3, id = MulI(b2 - b3);
    const V x0 = a[k], x1 = a[k + Q];
    a[k + H] = x0 - s;
    a[k] = x0 + s;
    a[k + 3 * Q] = x1 + id;
    a[k + Q] = x1 - id;
  }

  // Visits every k of the pass with its twiddle w_k = e^(2 pi i k / N).
  template <bool Inv> static inline void Butterfly(V* a, int k, V w, bool trivial)
  {
    if constexpr (Inv)
      InvButterfly(a, k, w, trivial);
    else
      FwdButterfly(a, k, w, trivial);
  }

  template <bool Inv> static inline void Pass(V* a, const double* table)
  {
    Butterfly<Inv>(a, 0, V{1.0, 0.0}, true);
    for (int k = 1; k < E; ++k) {
      const V w{table[2 * k - 2], table[2 * k - 1]};
      Butterfly<Inv>(a, k, w, false);
      Butterfly<Inv>(a, Q - k, Swap(w), false);
    }
    Butterfly<Inv>(a, E, V{kSqrtHalf, kSqrtHalf}, false);
  }

  static void Forward(V* a, const double* const* tw);
  static void Inverse(V* a, const double* const* tw);
};

template <int N> struct Transform {
  static inline void Forward(V* a, const double* const* tw) { Kernel<N>::Forward(a, tw); }
  static inline void Inverse(V* a, const double* const* tw) { Kernel<N>::Inverse(a, tw); }
};

template <> struct Transform<1> {
  static inline void Forward(V*, const double* const*) {}
  static inline void Inverse(V*, const double* const*) {}
};

template <> struct Transform<2> {
  static inline void Forward(V* a, const double* const*)
  {
    const V x0 = a[0], x1 = a[1];
    a[0] = x0 + x1;
    a[1] = x0 - x1;
  }
  static inline void Inverse(V* a, const double* const* tw) { Forward(a, tw); }
};

// Outputs (Y0, Y2, Y1, Y3) of the positive-exponent transform.
template <> struct Transform<4> {
  static inline void Forward(V* a, const double* const*)
  {
    const V x0 = a[0], x1 = a[1], x2 = a[2], x3 = a[3];
    const V s0 = x0 + x2, s1 = x1 + x3, t1 = x0 - x2, it2 = MulI(x1 - x3);
    a[0] = s0 + s1;
    a[1] = s0 - s1;
    a[2] = t1 + it2;
    a[3] = t1 - it2;
  }
  static inline void Inverse(V* a, const double* const*)
  {
    const V y0 = a[0], y2 = a[1], y1 = a[2], y3 = a[3];
    const V s0 = y0 + y2, d0 = y0 - y2, s = y1 + y3, id = MulI(y1 - y3);
    a[0] = s0 + s;
    a[2] = s0 - s;
    a[1] = d0 - id;
    a[3] = d0 + id;
  }
};

template <int N> inline void Kernel<N>::Forward(V* a, const double* const* tw)
{
  Pass<false>(a, tw[Log2(N)]);
  Transform<Q>::Forward(a + H, tw);
  Transform<Q>::Forward(a + H + Q, tw);
  Transform<H>::Forward(a, tw);
}

template <int N> inline void Kernel<N>::Inverse(V* a, const double* const* tw)
{
  Transform<H>::Inverse(a, tw);
  Transform<Q>::Inverse(a + H, tw);
  Transform<Q>::Inverse(a + H + Q, tw);
  Pass<true>(a, tw[Log2(N)]);
}

// Runs the routine of size n = 2^Log .. 2 (a comparison per size).
template <int Log> inline void RunLog(double* data, int n, int dir, const double* const* tw)
{
  if constexpr (Log >= 1) {
    if (n == (1 << Log)) {
      V* a = reinterpret_cast<V*>(data);
      if (dir == 0)
        Transform<(1 << Log)>::Forward(a, tw);
      else
        Transform<(1 << Log)>::Inverse(a, tw);
    } else {
      RunLog<Log - 1>(data, n, dir, tw);
    }
  }
}

} // namespace
} // namespace srfft_detail
