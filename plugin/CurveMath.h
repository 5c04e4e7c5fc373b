#pragma once
// Curve arithmetic of the correction design: level conversion, the smooth
// interpolation of a curve between its grid points, and the centred
// difference between a reference and a fingerprint. Pure functions; any
// thread.
#include "Vorelle3CurveRecord.h"

// dB of a linear level: ln|x| * 20/ln 10, and kFloorDB for |x| <= kFloorLevel
// (also for NaN).
inline constexpr double kFloorDB = -144.0;
inline constexpr double kFloorLevel = 6.309e-8;
double LevelToDB(double x);
// 10^(dB/20); kFloorDB and below give exactly 0.
double DBToGain(double dB);

// Value at f on the cubic Bezier that joins point 1 to point 2 of the four
// points (x[0..3], y[0..3]), tangents from the neighbours (control points a
// quarter of the way along the chord of the outer points, halved). The curve
// parameter is found by a fixed bisection to within 0.01 Hz or 2^-9.
double BezierSegmentValue(const double* x, const double* y, double f);

// Value of a curve (freq ascending, count points) at f: the Bezier segment
// between the grid points around f; the end values are held outside the
// grid. 0.0 for NaN f, count < 1 or null arrays; a non-finite result is 0.0.
double InterpolateCurve(const double* freq, const double* value, int count, double f);

// Whether point i of a grid (freq ascending, count points) is one the signal
// reaches when fmax = min(fs/2, 22 kHz): it lies at 10 Hz or above and the
// band it is measured over (up to the next point) ends at fmax or below. A
// point whose band passes fs/2 holds only the analyser's top bin.
bool PointInMatchedRange(const double* freq, unsigned count, unsigned i, double fmax);

// The dB difference reference - fingerprint per point, read at the same
// index (diff, reference and fingerprint share one point count), over the
// points in the matched range (a difference that is not finite counts as
// 0 dB). The curve is shifted so that its extremes over the matched points
// in [50, 16000] Hz are centred on 0 dB (no shift when none lies there).
// Points outside the matched range neither steer that centring nor the
// correction: they take the value of the nearest matched point (0 dB when
// there is none). Nothing happens unless all three records have the same
// count of at least 1. Returns whether diff was written.
bool ComputeDifferenceCurve(const Vorelle3CurveRecord& reference, const Vorelle3CurveRecord& fingerprint, double fmax,
                            Vorelle3CurveRecord& diff);
