#pragma once
// Sections of SVLCREFDATA2 records addressed by number, and the four built-in
// reference records ("Reference mode" 0..3). Section s holds the grid of
// kRefDataBands[s] points per octave: 11 B + 1 points 10 * 2^(k/B) Hz,
// rounded to 0.1 Hz. The built-in tables are built once, on first use, and
// are read-only after that; any thread.
#include <cstdint>

#include "SVLCREFDATA2.h"

inline constexpr int kRefDataVersion = 3;
inline constexpr int kRefDataSections = 5;
inline constexpr int kRefDataBands[kRefDataSections] = {1, 3, 6, 12, 24};
inline constexpr int kRefDataOctaves = 11;
// The section the plug-in's six-per-octave curves use.
inline constexpr int kRefDataPluginSection = 2;
inline constexpr int kFrequencyDecimals = 1;
inline constexpr int kMagnitudeDecimals = 6;

constexpr int RefDataSectionCount(int s) { return kRefDataOctaves * kRefDataBands[s] + 1; }

struct RefDataSection {
  uint32_t* index;
  uint32_t* count;
  double* freq;
  double* mag;
};
struct ConstRefDataSection {
  const uint32_t* index;
  const uint32_t* count;
  const double* freq;
  const double* mag;
};

// s outside 0..4 gives all null pointers.
RefDataSection RefDataSectionOf(SVLCREFDATA2& record, int s);
ConstRefDataSection RefDataSectionOf(const SVLCREFDATA2& record, int s);

// Built-in record index (0..3; any other index gives record 0). Section 2 is
// the plug-in's reference table; the others hold the same curve on their
// grids: points that lie on the six-per-octave grid take its values, the
// points between them the plug-in's curve interpolation, at six decimals.
const SVLCREFDATA2& BuiltInReferenceRecord(int index);
