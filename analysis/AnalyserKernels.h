#pragma once
// The analyser's loops over one frame (CMFFT), as one set compiled for the
// baseline processor and, in x86-64 builds, one for processors with AVX2 and
// FMA. The set for this processor is chosen once; the others stay reachable
// so that tests can check each of them.
//
// Contract (both sets; they differ only in rounding, the wide one fusing
// multiply and add in the exponential average)
// - Window: out[i] = in[i] * window[i] for i < n.
// - Accumulate: for every bin k < n of the interleaved spectrum `bins`, with
//   m = sqrt(re^2 + im^2): magnitude[k] = m; sum[k] += m;
//   average[k] = sum[k] * inverseCount; expAverage[k] = (expAverage[k] - m) * c + m;
//   peakHold[k] = max(peakHold[k], m); decayPeak[k] = m when decayPeak[k] < m,
//   else decayPeak[k] * decay.
// - Arrays must not overlap; they need only the alignment of a double.
//   Neither allocates: safe on the audio thread.

struct AnalyserSpectra {
  double* magnitude;
  double* sum;
  double* average;
  double* expAverage;
  double* peakHold;
  double* decayPeak;
};

struct AnalyserKernels {
  void (*Window)(double* out, const double* in, const double* window, int n);
  void (*Accumulate)(const AnalyserSpectra& s, const double* bins, int n, double c, double inverseCount,
                     double decay);
};

const AnalyserKernels& AnalyserKernelsBaseline();
// x86-64 builds only (kBuildHasAvx2Routines); call only when
// ThisProcessor().avx2Fma is true.
const AnalyserKernels& AnalyserKernelsAvx2();
// The wide set when the processor has AVX2 and FMA, else the baseline.
const AnalyserKernels& AnalyserKernelsForProcessor();
