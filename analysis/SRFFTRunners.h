#pragma once
// The routine sets behind SRFFT: one compiled for the baseline processor, and
// in x86-64 builds one for processors with AVX2 and FMA (SRFFT picks it when
// ThisProcessor() has both; see CpuFeatures.h). Same contract as SRFFT for a
// supported size n; tw are the twiddle tables by log2 n. Exposed so that tests
// can check each set.

constexpr int kSRFFTMaxLog2 = 19; // log2 of kSRFFTMaxSize

using SRFFTRunner = void (*)(double* data, int n, int dir, const double* const* tw);
void SRFFTRunBaseline(double* data, int n, int dir, const double* const* tw);
void SRFFTRunAvx2(double* data, int n, int dir, const double* const* tw); // x86-64 builds only

// The twiddle tables by log2 n (builds them first when needed).
const double* const* SRFFTTwiddleTables();
