#include "CorrectionFilter.h"

#include <algorithm>

#include "FilterDesign.h"
#include "ImpulseLoader.h"

bool BuildCorrectionFilter(CorrectionFilter& out, const CorrectionDesign& design)
{
  const int n = std::max(design.impulseLength, 1);
  const int half = design.linearPhase ? (n - 1) / 2 : 0;
  const int maxFFT = 2 * design.maxImpulseSize;

  out.dryImpulse.assign(size_t(n), 0.0);
  SetIdentity(out.dryImpulse.data(), n);
  CircularShift(out.dryImpulse.data(), n, half);
  const int dryLatency =
    LoadImpulse(out.dryImpulse.data(), nullptr, n, true, out.dryBuffer, out.dryDelay, maxFFT, design.blockSize, true);

  out.filterImpulse.assign(size_t(n), 0.0);
  SetIdentity(out.filterImpulse.data(), n);
  if (design.diff)
    SmoothCurve(out.filterImpulse.data(), n, *design.diff, design.linearPhase, design.sampleRate);
  CircularShift(out.filterImpulse.data(), n, half);
  if (design.windowImpulse)
    ApplyImpulseWindow(out.filterImpulse.data(), n, design.linearPhase ? 1 : 0);
  const int wetLatency = LoadImpulse(out.filterImpulse.data(), nullptr, n, true, out.filterBuffer, out.convolver,
                                     maxFFT, design.blockSize, true);

  out.latency = std::max(wetLatency, 0) + half;
  return dryLatency >= 0 && wetLatency >= 0;
}
