#include "ConvolutionKernels.h"

#include "CpuFeatures.h"

namespace {

// Two doubles loaded and stored at 8-byte alignment. A typedef, not `using`:
// clang drops the lowered alignment from an alias declaration and emits
// aligned loads.
typedef double Pair __attribute__((vector_size(16), aligned(8), may_alias));
static_assert(alignof(Pair) == alignof(double));

// acc (+)= sum over j < count of a[j] * b[j], element by element over n
// interleaved complex values, j ascending for every element. Runs over a few
// elements at a time so their sums stay in registers across all products.
void ComplexMulSum(double* acc, const double* const* a, const double* const* b, int count, int n, bool add)
{
  constexpr int kStep = 4;
  Pair* out = reinterpret_cast<Pair*>(acc);
  int k0 = 0;
  for (; k0 + kStep <= n; k0 += kStep) {
    Pair sum[kStep] = {};
    if (add)
      for (int k = 0; k < kStep; ++k)
        sum[k] = out[k0 + k];
    for (int j = 0; j < count; ++j) {
      const Pair* x = reinterpret_cast<const Pair*>(a[j]) + k0;
      const Pair* h = reinterpret_cast<const Pair*>(b[j]) + k0;
      for (int k = 0; k < kStep; ++k) {
        // (xr hr - xi hi, xi hr + xr hi), the same roundings as written out
        const Pair swapped = {x[k][1], x[k][0]};
        const Pair re = {h[k][0], h[k][0]};
        const Pair im = {-h[k][1], h[k][1]};
        sum[k] += x[k] * re + swapped * im;
      }
    }
    for (int k = 0; k < kStep; ++k)
      out[k0 + k] = sum[k];
  }
  for (; k0 < n; ++k0) {
    double re = add ? acc[2 * k0] : 0.0, im = add ? acc[2 * k0 + 1] : 0.0;
    for (int j = 0; j < count; ++j) {
      const double* x = a[j] + 2 * k0;
      const double* h = b[j] + 2 * k0;
      re += x[0] * h[0] - x[1] * h[1];
      im += x[1] * h[0] + x[0] * h[1];
    }
    acc[2 * k0] = re;
    acc[2 * k0 + 1] = im;
  }
}

// out[i] = sum over k in [first, end) of rev[k] * x[i + k], k ascending.
// Several outputs are summed side by side, so independent sums fill the
// registers while each one still adds its terms in the same order.
void DirectConvolve(double* out, int n, const double* x, const double* rev, int first, int end)
{
  int i0 = 0;
  for (; i0 + 8 <= n; i0 += 8) {
    Pair s0{}, s1{}, s2{}, s3{};
    for (int k = first; k < end; ++k) {
      const Pair r = {rev[k], rev[k]};
      const Pair* window = reinterpret_cast<const Pair*>(x + i0 + k);
      s0 += r * window[0];
      s1 += r * window[1];
      s2 += r * window[2];
      s3 += r * window[3];
    }
    Pair* dst = reinterpret_cast<Pair*>(out + i0);
    dst[0] = s0;
    dst[1] = s1;
    dst[2] = s2;
    dst[3] = s3;
  }
  for (; i0 < n; ++i0) {
    double sum = 0.0;
    for (int k = first; k < end; ++k)
      sum += rev[k] * x[i0 + k];
    out[i0] = sum;
  }
}

} // namespace

const ConvolutionKernels& ConvolutionKernelsBaseline()
{
  static constexpr ConvolutionKernels kernels{DirectConvolve, ComplexMulSum};
  return kernels;
}

namespace {
const ConvolutionKernels& Choose()
{
  if constexpr (kBuildHasAvx2Routines)
    if (ThisProcessor().avx2Fma)
      return ConvolutionKernelsAvx2();
  return ConvolutionKernelsBaseline();
}
} // namespace

const ConvolutionKernels& ConvolutionKernelsForProcessor()
{
  static const ConvolutionKernels& chosen = Choose();
  return chosen;
}
