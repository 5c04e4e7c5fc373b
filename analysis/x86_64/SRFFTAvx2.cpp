// Built with AVX2 and FMA enabled (see analysis/CMakeLists.txt). Nothing with
// external linkage but SRFFTRunAvx2 may be defined here, not even an inline
// function from a header, or the linker could hand the wider code to callers
// on processors without it: SRFFTKernels.h has internal linkage throughout.
#include "SRFFTRunners.h"
#include "SRFFTKernels.h"

void SRFFTRunAvx2(double* data, int n, int dir, const double* const* tw)
{
  srfft_detail::RunLog<kSRFFTMaxLog2, true>(data, n, dir, tw);
}
