#pragma once
// The correction filter's design from a dB curve: natural-order complex
// transforms on the split-radix FFT, the cepstral fold that gives the
// minimum-phase spectrum of a magnitude, the impulse helpers, and the design
// itself. Complex data is interleaved (re, im). Everything here allocates and
// runs on the main (or reset) thread, never in the audio block.
#include "Vorelle3CurveRecord.h"

// In-place transforms of m complex values in natural order, m a power of two
// from 2 to 524288 (other m leave the data untouched). Forward uses
// e^(-2 pi i jk/m) and does not scale; the inverse uses e^(+...) and scales
// by 1/m, so forward then inverse is the identity.
void ForwardFFT(double* data, int m);
void InverseFFT(double* data, int m);

// Given L[k] = (ln|X[k]|, 0) of a real signal's spectrum (even in k), turns
// L into the log spectrum of the minimum-phase signal with that magnitude,
// conjugated: afterwards the minimum-phase spectrum is
// |X[k]| * (cos Im L[k], -sin Im L[k]). m as for the transforms.
void MinimumPhaseFold(double* data, int m);

// n samples: 1.0 at index 0, 0.0 elsewhere.
void SetIdentity(double* impulse, int n);
// Rotates right by k modulo n: element i moves to (i + k) mod n.
void CircularShift(double* data, int n, int k);
// Optional taper by the sinc window (not normalised): mode 0 the falling
// half of a window of length 2n, 1 a window of length n, 2 that window
// rotated by half its length; other modes do nothing.
void ApplyImpulseWindow(double* impulse, int n, int mode);

// The FFT size the design of an n-tap impulse uses: the power of two at or
// above n (at least 2); 0 when n < 1 or the size would exceed 524288.
int DesignFFTSize(int n);

// Designs n taps (n >= 1) from the dB curve diff, sampled at the FFT bins of
// a spectrum of DesignFFTSize(n) points at sampleRate: gains of -144 dB and
// below are 0, the curve's end values hold beyond its grid. linearPhase
// gives a zero-phase impulse (centred on index 0, wrapping); otherwise the
// minimum-phase impulse of the same magnitude. The impulse's DFT of that size
// equals the designed gains at every bin when n equals the FFT size.
void SmoothCurve(double* impulse, int n, const Vorelle3CurveRecord& diff, bool linearPhase, double sampleRate);
