#include "SRRealFFT.h"

#include "CpuFeatures.h"
#include "FFT.h"
#include "SRFFT.h"
#include "SRFFTRunners.h"
#include "SRRealFFTKernels.h"

namespace {

// Below this half size the permutation table has no entries, and above
// kSRFFTMaxSize the split-radix transform has none; the radix-2 one serves.
constexpr int kMinHalfSize = 16;

SRRealFFTSeparator ForThisProcessor()
{
  if constexpr (kBuildHasAvx2Routines)
    if (ThisProcessor().avx2Fma)
      return SRRealFFTSeparateAvx2;
  return SRRealFFTSeparateBaseline;
}

} // namespace

void SRRealFFTSeparateBaseline(const double* z, const int* perm, double* out, int n, const double* const* tw)
{
  srrealfft_detail::SeparateWithTables<srrealfft_detail::R2>(z, perm, out, n, tw, kSRFFTMaxLog2);
}

SRRealFFTSeparator SRRealFFTSeparatorForProcessor()
{
  static const SRRealFFTSeparator chosen = ForThisProcessor();
  return chosen;
}

void SRRealFFT(double* in, double* out, int n) { SRRealFFTUsing(SRRealFFTSeparatorForProcessor(), in, out, n); }

void SRRealFFTUsing(SRRealFFTSeparator separate, double* in, double* out, int n)
{
  if (separate == nullptr || in == nullptr || out == nullptr || n < 4 || (n & (n - 1)) != 0)
    return;
  const int half = n / 2;
  if (half < kMinHalfSize || half > kSRFFTMaxSize) {
    for (int i = 0; i < n; ++i)
      out[i] = in[i];
    RealFFT(out, n, 1);
    return;
  }
  // z[j] = x[2j] + i x[2j+1]; Z(m) = sum_j z[j] e^(-2 pi i j m / half) lands
  // at position perm[m].
  SRFFT(in, half, 0);
  const double z0r = in[0], z0i = in[1]; // Z(0) stays at position 0
  out[0] = z0r + z0i;
  out[1] = 0.0;
  out[n] = z0r - z0i;
  out[n + 1] = 0.0;
  // The split-radix tables hold e^(2 pi i k / size) for the first octant:
  // the separation's own twiddles, read in order.
  separate(in, SRFFTPermuteTable(half - 16), out, n, SRFFTTwiddleTables());
}
