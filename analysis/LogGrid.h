#pragma once
// Logarithmic frequency grids and the reduction of a linear-bin magnitude
// spectrum onto them. Free functions; src/dst arrays belong to the caller.
//
// Bin k of an nBins spectrum lies at k * w Hz with w = (fs/2) / (nBins - 1).
// Nothing here reads outside src[0 .. nBins-1]: a grid point that lies beyond
// the spectrum (above fs/2) takes the value of the top bin, src[nBins - 1].

// Number of points of a grid from fStart with B points per octave
// (step = log10(2 * factor) / B) reaching up to fTop: B * octaves + 1, or 0
// when not even one octave fits or the arguments make no grid. The first
// argument is an object pointer kept for callers that pass one; it is ignored.
int CountLogGridPoints(const void* owner, double factor, int bandsPerOctave, double fStart, double fTop);

// Writes those CountLogGridPoints(...) frequencies 10^(log10 fStart + i*step).
void FillLogGrid(const void* owner, double* out, double factor, int bandsPerOctave, double fStart, double fTop);

// dst[i] = mean of the bins from grid point i-1 (or 0) to grid point i+1 (the
// last point: to itself); the first and last points take the bin at their own
// frequency. A point whose upper neighbour lies above fs/2 is not averaged and
// takes the top bin. Nothing happens for count < 1, nBins < 2 or fs <= 0.
void MapSpectrumToGrid(const double* src, int nBins, const double* grid, int count, double* dst, double fs);

// Point i takes the bin at its own frequency (for the last point the next bin
// when that equals the previous point's bin). Needs count >= 2.
void SampleSpectrumAtGrid(const double* src, int nBins, const double* grid, int count, double* dst, double fs);

// Mean of src[lo..hi] inclusive; 0.0 when hi < lo.
double MeanOfBins(const double* src, int lo, int hi);

// Least-squares line through (k*w, ln src[k]) for k = lo..hi; outLo and outHi
// receive exp of the line at lo*w and hi*w. Non-positive values count as
// 1e-300; a single bin gives its own value for both.
void FitLogLine(const double* src, int lo, int hi, double& outLo, double& outHi, double w);

// As MapSpectrumToGrid, but points below 16 kHz other than the first take the
// log-fitted value at the lower edge of their interval (widened by one bin when
// empty), points from 16 kHz on take their own bin, and the last point the bin
// at the end of the last interval. Needs count >= 2.
void MapSpectrumToGridLogFit(const double* src, int nBins, const double* grid, int count, double* dst, double fs);
