#pragma once
// Window generator and the sinc function.

// Window shapes for MakeWindow; any value outside 1..13 gives Hamming.
enum EWindowType : int {
  kWindowBlackman = 1,
  kWindowKaiser4 = 2,
  kWindowKaiser5 = 3,
  kWindowKaiser6 = 4,
  kWindowKaiser8 = 5,
  kWindowRectangular = 6,
  kWindowHann = 7,
  kWindowTriangular = 8,
  kWindowBlackmanHarris4 = 9,
  kWindowFlatTop = 10,
  kWindowHannSquared = 11,
  kWindowSinc = 12,
  kWindowBlackmanHarris7 = 13,
  kWindowHamming = 0,
};

// A new[] array of n window values; the caller frees it with delete[].
// n < 1 gives null. n == 1 gives {1.0} for every shape (the formulas divide by
// n - 1). With normalise set the values are divided by their sum, so they sum
// to 1; a window whose sum is zero is returned unnormalised.
double* MakeWindow(int n, int type, bool normalise);

// sin(x)/x, and 1.0 for |x| < 1e-14.
double Sinc(double x);

// Modified Bessel function I0 by its power series (stops after the first term
// below sum * 1e-21, which is still added).
double BesselI0(double x);
