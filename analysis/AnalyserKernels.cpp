#include "AnalyserKernels.h"

#include "CpuFeatures.h"

#include <algorithm>
#include <cmath>

namespace {

void Window(double* out, const double* in, const double* window, int n)
{
  for (int i = 0; i < n; ++i)
    out[i] = in[i] * window[i];
}

void Accumulate(const AnalyserSpectra& s, const double* bins, int n, double c, double inverseCount, double decay)
{
  for (int k = 0; k < n; ++k) {
    const double re = bins[2 * k], im = bins[2 * k + 1];
    const double m = std::sqrt(re * re + im * im);
    s.magnitude[k] = m;
    s.sum[k] += m;
    s.average[k] = s.sum[k] * inverseCount;
    s.expAverage[k] = (s.expAverage[k] - m) * c + m;
    s.peakHold[k] = std::max(s.peakHold[k], m);
    s.decayPeak[k] = s.decayPeak[k] < m ? m : s.decayPeak[k] * decay;
  }
}

const AnalyserKernels& Choose()
{
  if constexpr (kBuildHasAvx2Routines)
    if (ThisProcessor().avx2Fma)
      return AnalyserKernelsAvx2();
  return AnalyserKernelsBaseline();
}

} // namespace

const AnalyserKernels& AnalyserKernelsBaseline()
{
  static constexpr AnalyserKernels kernels{Window, Accumulate};
  return kernels;
}

const AnalyserKernels& AnalyserKernelsForProcessor()
{
  static const AnalyserKernels& chosen = Choose();
  return chosen;
}
