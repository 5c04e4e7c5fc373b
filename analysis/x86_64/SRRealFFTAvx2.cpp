// Built with AVX2 and FMA enabled (see analysis/CMakeLists.txt). Nothing with
// external linkage but SRRealFFTSeparateAvx2 may be defined here: the
// kernels' header has internal linkage throughout.
#include "SRFFTRunners.h"
#include "SRRealFFT.h"
#include "SRRealFFTKernels.h"

void SRRealFFTSeparateAvx2(const double* z, const int* perm, double* out, int n, const double* const* tw)
{
  srrealfft_detail::SeparateWithTables<srfft_detail::W>(z, perm, out, n, tw, kSRFFTMaxLog2);
}
