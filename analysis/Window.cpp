#include "Window.h"

#include <cmath>
#include <initializer_list>
#include <numbers>

namespace {

// Sum of a_k cos(k x) with alternating signs already in the coefficients.
double CosineSum(double x, std::initializer_list<double> coefficients)
{
  double sum = 0.0;
  int k = 0;
  for (double c : coefficients)
    sum += c * std::cos(k++ * x);
  return sum;
}

double Kaiser(int i, int n, double beta)
{
  const double h = std::floor(n / 2.0);
  const double r = (i - h) / (n - 1);
  return BesselI0(beta * std::sqrt(1.0 - r * r)) / BesselI0(beta);
}

double Value(int type, int i, int n)
{
  const double x = 2.0 * std::numbers::pi * i / (n - 1);
  switch (type) {
  case kWindowBlackman: return CosineSum(x, {0.42, -0.5, 0.08});
  case kWindowKaiser4: return Kaiser(i, n, 4.0);
  case kWindowKaiser5: return Kaiser(i, n, 5.0);
  case kWindowKaiser6: return Kaiser(i, n, 6.0);
  case kWindowKaiser8: return Kaiser(i, n, 8.0);
  case kWindowRectangular: return 1.0;
  case kWindowHann: return CosineSum(x, {0.5, -0.5});
  case kWindowTriangular: return 1.0 - 2.0 * std::abs(i - 0.5 * (n - 1)) / (n - 1);
  case kWindowBlackmanHarris4:
    return CosineSum(x, {0.358750287312166, -0.4882901074726, 0.141279712970519, -0.011679892244715});
  case kWindowFlatTop: return CosineSum(x, {1.0, -1.93, 1.29, -0.388, 0.028});
  case kWindowHannSquared: {
    const double hann = CosineSum(x, {0.5, -0.5});
    return hann * hann;
  }
  case kWindowSinc: return Sinc(((i - 0.5 * n) / std::numbers::pi) * 0.25);
  case kWindowBlackmanHarris7:
    return CosineSum(x, {0.2712203605850388, -0.4334446123274422, 0.2180041228929303, -0.06578534329560609,
                         0.01076186730534183, -0.0007700127105808265, 0.00001368088305992921});
  default: return CosineSum(x, {0.53836, -0.46164});
  }
}

} // namespace

double BesselI0(double x)
{
  const double a = 0.5 * x;
  double term = 1.0, sum = 1.0;
  for (int k = 1; k < 1000; ++k) {
    const double f = a / k;
    term *= f * f;
    sum += term;
    if (term < sum * 1e-21)
      break;
  }
  return sum;
}

double Sinc(double x) { return std::abs(x) < 1e-14 ? 1.0 : std::sin(x) / x; }

double* MakeWindow(int n, int type, bool normalise)
{
  if (n < 1)
    return nullptr;
  double* w = new double[n];
  if (n == 1) {
    w[0] = 1.0;
    return w;
  }
  double sum = 0.0;
  for (int i = 0; i < n; ++i) {
    w[i] = Value(type, i, n);
    sum += w[i];
  }
  if (normalise && sum != 0.0 && std::isfinite(sum)) {
    for (int i = 0; i < n; ++i)
      w[i] /= sum;
  }
  return w;
}
