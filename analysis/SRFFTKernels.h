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
// instructions (there the passes go two butterflies at a time), and the two
// copies must never be merged by the linker.

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

// Two complex doubles side by side, for the wide routine set's passes (one
// register with AVX). Only the templates below name it, so code that does
// not ask for the wide passes compiles none of it.
typedef double W __attribute__((vector_size(32)));
typedef double WMemory __attribute__((vector_size(32), aligned(8))); // at a double's alignment

template <typename T> struct Pairs {
  static inline T Load(const double* p) { return *reinterpret_cast<const WMemory*>(p); }
  static inline void Store(double* p, T x) { *reinterpret_cast<WMemory*>(p) = x; }
  static inline T Swap(T a) { return __builtin_shufflevector(a, a, 1, 0, 3, 2); }
  static inline T Re(T w) { return __builtin_shufflevector(w, w, 0, 0, 2, 2); }
  static inline T Im(T w) { return __builtin_shufflevector(w, w, 1, 1, 3, 3); }
  static inline T MulI(T a) { return Swap(a) * T{-1.0, 1.0, -1.0, 1.0}; }
  static inline T Mul(T a, T w) { return a * Re(w) + Swap(a) * (Im(w) * T{-1.0, 1.0, -1.0, 1.0}); }
  static inline T MulConj(T a, T w) { return a * Re(w) + Swap(a) * (Im(w) * T{1.0, -1.0, 1.0, -1.0}); }
  static inline T Join(V lo, V hi) { return __builtin_shufflevector(lo, hi, 0, 1, 2, 3); }
};

template <int N, bool Wide> struct Kernel {
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

  // The pass two k at a time, w_k for k < Q from the table by symmetry (the
  // first k multiplied by 1, which changes nothing).
  template <bool Inv> static inline void PassWide(V* a, const double* table)
  {
    using P = Pairs<W>;
    double* d = reinterpret_cast<double*>(a);
    const auto butterfly = [d](int k, W w) {
      double* p0 = d + 2 * k;
      double *p1 = p0 + 2 * Q, *p2 = p0 + 2 * H, *p3 = p0 + 6 * Q;
      if constexpr (Inv) {
        const W b2 = P::MulConj(P::Load(p2), w), b3 = P::Mul(P::Load(p3), w);
        const W s = b2 + b3, id = P::MulI(b2 - b3);
        const W x0 = P::Load(p0), x1 = P::Load(p1);
        P::Store(p2, x0 - s);
        P::Store(p0, x0 + s);
        P::Store(p3, x1 + id);
        P::Store(p1, x1 - id);
      } else {
        const W x0 = P::Load(p0), x1 = P::Load(p1), x2 = P::Load(p2), x3 = P::Load(p3);
        const W t1 = x0 - x2, it2 = P::MulI(x1 - x3);
        P::Store(p0, x0 + x2);
        P::Store(p1, x1 + x3);
        P::Store(p2, P::Mul(t1 + it2, w));
        P::Store(p3, P::MulConj(t1 - it2, w));
      }
    };
    // Entry m of the table is w_m for 1 <= m < E.
    const auto entry = [table](int m) { return V{table[2 * m - 2], table[2 * m - 1]}; };
    butterfly(0, P::Join(V{1.0, 0.0}, entry(1)));
    for (int k = 2; k < E; k += 2)
      butterfly(k, P::Load(table + 2 * k - 2)); // w_k, w_k+1
    butterfly(E, P::Join(V{kSqrtHalf, kSqrtHalf}, Swap(entry(E - 1))));
    for (int k = E + 2; k < Q; k += 2) {
      const W t = P::Load(table + 2 * (Q - k) - 4); // w_(Q-k-1), w_(Q-k)
      butterfly(k, __builtin_shufflevector(t, t, 3, 2, 1, 0));
    }
  }

  template <bool Inv> static inline void Pass(V* a, const double* table)
  {
    if constexpr (Wide && E >= 2) {
      PassWide<Inv>(a, table);
    } else {
      Butterfly<Inv>(a, 0, V{1.0, 0.0}, true);
      for (int k = 1; k < E; ++k) {
        const V w{table[2 * k - 2], table[2 * k - 1]};
        Butterfly<Inv>(a, k, w, false);
        Butterfly<Inv>(a, Q - k, Swap(w), false);
      }
      Butterfly<Inv>(a, E, V{kSqrtHalf, kSqrtHalf}, false);
    }
  }

  static void Forward(V* a, const double* const* tw);
  static void Inverse(V* a, const double* const* tw);
};

template <int N, bool Wide> struct Transform {
  static inline void Forward(V* a, const double* const* tw) { Kernel<N, Wide>::Forward(a, tw); }
  static inline void Inverse(V* a, const double* const* tw) { Kernel<N, Wide>::Inverse(a, tw); }
};

template <bool Wide> struct Transform<1, Wide> {
  static inline void Forward(V*, const double* const*) {}
  static inline void Inverse(V*, const double* const*) {}
};

template <bool Wide> struct Transform<2, Wide> {
  static inline void Forward(V* a, const double* const*)
  {
    const V x0 = a[0], x1 = a[1];
    a[0] = x0 + x1;
    a[1] = x0 - x1;
  }
  static inline void Inverse(V* a, const double* const* tw) { Forward(a, tw); }
};

// Outputs (Y0, Y2, Y1, Y3) of the positive-exponent transform.
template <bool Wide> struct Transform<4, Wide> {
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

template <int N, bool Wide> inline void Kernel<N, Wide>::Forward(V* a, const double* const* tw)
{
  Pass<false>(a, tw[Log2(N)]);
  Transform<Q, Wide>::Forward(a + H, tw);
  Transform<Q, Wide>::Forward(a + H + Q, tw);
  Transform<H, Wide>::Forward(a, tw);
}

template <int N, bool Wide> inline void Kernel<N, Wide>::Inverse(V* a, const double* const* tw)
{
  Transform<H, Wide>::Inverse(a, tw);
  Transform<Q, Wide>::Inverse(a + H, tw);
  Transform<Q, Wide>::Inverse(a + H + Q, tw);
  Pass<true>(a, tw[Log2(N)]);
}

// Runs the routine of size n = 2^Log .. 2 (a comparison per size); Wide
// takes the passes two k at a time, for processors whose registers hold
// two complex doubles.
template <int Log, bool Wide> inline void RunLog(double* data, int n, int dir, const double* const* tw)
{
  if constexpr (Log >= 1) {
    if (n == (1 << Log)) {
      V* a = reinterpret_cast<V*>(data);
      if (dir == 0)
        Transform<(1 << Log), Wide>::Forward(a, tw);
      else
        Transform<(1 << Log), Wide>::Inverse(a, tw);
    } else {
      RunLog<Log - 1, Wide>(data, n, dir, tw);
    }
  }
}

} // namespace
} // namespace srfft_detail
