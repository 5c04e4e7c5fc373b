#include "UsableReference.h"

#include <cfloat>
#include <cmath>

#include "CurveMath.h"

EReferenceProblem ReferenceProblem(const double* freq, const double* mag, unsigned count)
{
  if (count > 0 && (!freq || !mag))
    return EReferenceProblem::kNoUsableFrequency;
  for (unsigned i = 0; i < count; ++i) {
    if (!(std::fabs(mag[i]) <= FLT_MAX))
      return EReferenceProblem::kLevelBeyondFloat;
  }
  bool usable = false;
  for (unsigned i = 0; i < count; ++i) {
    if (!PointInMatchedRange(freq, count, i, kWidestMatchedHz))
      continue;
    usable = true;
    if (std::fabs(mag[i]) > kFloorLevel)
      return EReferenceProblem::kNone;
  }
  return usable ? EReferenceProblem::kNoLevelAboveFloor : EReferenceProblem::kNoUsableFrequency;
}
