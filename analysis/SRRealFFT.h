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
