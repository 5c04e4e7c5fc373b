#include "SRFFTRunners.h"

// Everything below is compiled for AVX2 and FMA; nothing with external
// linkage but SRFFTRunAvx2 may follow, or the linker could hand the wider
// code to callers on processors without it.
#pragma GCC target("avx2,fma")
#include "SRFFTKernels.h"

void SRFFTRunAvx2(double* data, int n, int dir, const double* const* tw) {
  srfft_detail::RunLog<kSRFFTMaxLog2>(data, n, dir, tw);
}
