#pragma once
// The inner loops of CConvolutionEngine, as one set compiled for the
// baseline processor and, in x86-64 builds, one for processors with AVX2 and
// FMA. The set for this processor is chosen once; the others stay reachable
// so that tests can check each of them.
//
// Contract (both sets; they differ only in rounding, the wide one fusing
// multiply and add)
// - DirectConvolve: out[i] = sum over k in [first, end) of rev[k] * x[i + k]
//   for i < n, k ascending; x holds n + end - 1 readable values. out must not
//   overlap x or rev.
// - ComplexMulSum: acc[e] (+)= sum over j < count of a[j][e] * b[j][e] for
//   the n interleaved complex values e, j ascending for every e; add keeps
//   acc's values, else they are overwritten. acc must not overlap any a[j]
//   or b[j]. Pointers need only the alignment of a double.
// - Neither allocates nor keeps state: safe on the audio thread.

struct ConvolutionKernels {
  void (*DirectConvolve)(double* out, int n, const double* x, const double* rev, int first, int end);
  void (*ComplexMulSum)(double* acc, const double* const* a, const double* const* b, int count, int n, bool add);
};

const ConvolutionKernels& ConvolutionKernelsBaseline();
// x86-64 builds only (kBuildHasAvx2Routines); call only when
// ThisProcessor().avx2Fma is true.
const ConvolutionKernels& ConvolutionKernelsAvx2();
// The wide set when the processor has AVX2 and FMA, else the baseline.
const ConvolutionKernels& ConvolutionKernelsForProcessor();
