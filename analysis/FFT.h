#pragma once
// Radix-2 complex FFT and the real FFT built on it, plus conversions between
// interleaved rectangular and polar spectra. Free functions on caller-owned
// arrays; not thread-safe only in the sense that calls on one array must not
// overlap. They allocate nothing.

// In place on n complex values (2n doubles, element k at [2k], [2k+1]); n a
// power of two >= 1, otherwise nothing happens.
// dir = +1: X[k] = sum_j x[j] e^(+2 pi i j k / n), unscaled.
// dir = -1: sum_k X[k] e^(-2 pi i j k / n) / n, so +1 then -1 restores the input.
// Any other dir does nothing.
void ComplexFFT(double* data, int n, int dir);

// In place on n real values; data must hold n + 2 doubles; n a power of two
// >= 4, otherwise nothing happens.
// dir = +1: bins k = 0..n/2 of X[k] = sum_j x[j] e^(+2 pi i j k / n), unscaled,
// bin k at [2k], [2k+1]; DC and Nyquist ([0], [n]) have zero imaginary parts.
// Note the sign: a sine at bin k gives +n/2 in the imaginary part.
// dir = -1 takes that layout and returns the n samples (forward then inverse
// is the identity). Any other dir does nothing.
void RealFFT(double* data, int n, int dir);

// count doubles (two per complex value) from src + srcOffset to dst + dstOffset:
// (re, im) -> (magnitude, phase = atan2(im, re)) and back. src and dst may be
// the same array, also overlapping with srcOffset < dstOffset.
void RectToPolar(const double* src, int srcOffset, double* dst, int dstOffset, int count);
void PolarToRect(const double* src, int srcOffset, double* dst, int dstOffset, int count);
