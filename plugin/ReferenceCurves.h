#pragma once
// The four built-in reference spectra the correction aims at: 67 linear
// magnitudes each on the six-per-octave grid 10 * 2^(k/6) Hz rounded to one
// decimal (10.0 .. 20480.0 Hz). Read-only tables; any thread.
#include "Vorelle3CurveRecord.h"

inline constexpr int kReferenceCurveCount = 4;
inline constexpr int kReferenceCurvePoints = 67;

// Frequency of grid point k (0 <= k < kReferenceCurvePoints), Hz; 0.0 outside.
double ReferenceCurveFrequency(int k);
// Linear magnitude of point k of built-in reference `index`; 0.0 outside.
double ReferenceCurveMagnitude(int index, int k);
// Resizes record to the reference's 67 points and copies frequencies and
// magnitudes. An index outside 0..3 selects reference 0.
void CopyReferenceCurve(int index, Vorelle3CurveRecord& record);
