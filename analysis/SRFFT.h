#pragma once
// Split-radix complex FFT on interleaved doubles, sizes 2 .. 524288.
//
// Contract
// - data holds n complex values, element k at data[2k] (re), data[2k+1] (im);
//   8-byte alignment is enough. The transform works in place.
// - n must be a power of two from 2 to 524288 (kSRFFTMinSize..kSRFFTMaxSize);
//   any other n leaves the data untouched.
// - Forward (dir == 0), with X(m) = sum_j x[j] e^(-2 pi i j m / n): X(m) lands at
//   position SRFFTPermute(m, n) (a scrambled order, not natural order).
//   Inverse (dir != 0) reads a spectrum in that same scrambled layout and writes
//   sum_m X(m) e^(+2 pi i j m / n) in natural order.
// - No scaling anywhere: forward then inverse multiplies the data by n, and the
//   element-wise product of two forward spectra, transformed back, is n times
//   their circular convolution.
// - Threads: the process-wide tables are built once by SRFFTInit (safe to call
//   from any number of threads at once; later calls return at once). Transforms
//   only read the tables and are re-entrant; they allocate nothing. A transform
//   or permutation query made before SRFFTInit builds the tables first.

constexpr int kSRFFTMinSize = 2;
constexpr int kSRFFTMaxSize = 524288;

// Builds the twiddle and permutation tables on the first call.
void SRFFTInit();

// In-place transform; see the contract above.
void SRFFT(double* data, int n, int dir);

// Position in the forward output of bin m (0 <= m < n) for a supported size n;
// -1 for an unsupported size or a bin out of range.
int SRFFTPermute(int m, int n);

// The permutation tables of the sizes 16 .. 524288 lie end to end; the part of
// size n starts at offset n - 16, so entry n - 16 + m is SRFFTPermute(m, n).
// Returns a pointer to entry `offset`, or null when offset is out of range.
const int* SRFFTPermuteTable(int offset);
constexpr int kSRFFTPermuteTableSize = 2 * kSRFFTMaxSize - 16;

// Twiddle-table builder: entry k-1 = (cos(k*step), sin(k*step)) for
// k = 1..count, step = (pi/4)/(count+1), doubled when `doubled` is set.
void SRFFTMakeTable(double* table, int count, bool doubled);

// Element-wise complex products on interleaved arrays of `count` complex values.
// They do nothing unless count is even and at least 2. Outputs may alias inputs.
void SRFFTComplexMul(double* a, const double* b, int count);                       // a *= b
void SRFFTComplexMulTo(double* out, const double* a, const double* b, int count);  // out = a*b
void SRFFTComplexMulAdd(double* out, const double* a, const double* b, int count); // out += a*b
