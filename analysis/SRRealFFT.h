#pragma once
// Forward real FFT through the split-radix complex transform at half size:
// the n real samples are read as n/2 complex values, transformed, and the
// two interleaved half-length spectra are separated.
//
// Contract
// - in holds n real samples and is used as work space (its contents are
//   destroyed); out receives n + 2 doubles in the layout of RealFFT(.., +1):
//   bins k = 0..n/2 of X[k] = sum_j x[j] e^(+2 pi i j k / n), unscaled, bin k
//   at out[2k], out[2k+1]; DC and Nyquist have zero imaginary parts.
// - n a power of two of at least 4; any other n does nothing. Sizes outside
//   the split-radix range (below 32, above 2 * kSRFFTMaxSize) take the
//   radix-2 RealFFT. in and out must not overlap.
// - Allocates nothing once SRFFTInit has run (call it before the audio
//   thread does); re-entrant.
void SRRealFFT(double* in, double* out, int n);

// The separation pass, one set compiled for the baseline processor and, in
// x86-64 builds, one for processors with AVX2 and FMA; SRRealFFT takes the
// one for this processor, chosen once. z is the half-size spectrum, with
// Z(m) at position perm[m]; tw are the split-radix twiddle tables by log2
// size. Writes every bin of out but DC and Nyquist. Exposed, with
// SRRealFFTUsing, so that tests can check each set.
using SRRealFFTSeparator = void (*)(const double* z, const int* perm, double* out, int n, const double* const* tw);
void SRRealFFTSeparateBaseline(const double* z, const int* perm, double* out, int n, const double* const* tw);
// x86-64 builds only (kBuildHasAvx2Routines); call only when
// ThisProcessor().avx2Fma is true.
void SRRealFFTSeparateAvx2(const double* z, const int* perm, double* out, int n, const double* const* tw);
// The set for this processor (chosen on the first call, from any thread).
SRRealFFTSeparator SRRealFFTSeparatorForProcessor();
// SRRealFFT with the given separation pass; without one it does nothing.
void SRRealFFTUsing(SRRealFFTSeparator separate, double* in, double* out, int n);
