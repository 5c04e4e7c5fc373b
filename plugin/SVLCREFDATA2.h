#pragma once
// A reference spectrum as constant data: version 3, then five sections, each
// u32 index, u32 count and the count frequencies (Hz, one decimal) and count
// linear magnitudes (six decimals), on the grids of 1, 3, 6, 12 and 24 points
// per octave from 10 Hz to 20480 Hz. Little-endian, 8224 bytes; the doubles
// are 8-byte aligned, so four pad bytes follow the first count. The exported
// source records are initialisers of this struct; this header stands alone.
#include <cstddef>
#include <cstdint>

struct SVLCREFDATA2 {
  uint32_t version;
  uint32_t index0;
  uint32_t count0;
  double freq0[12];
  double mag0[12];
  uint32_t index1;
  uint32_t count1;
  double freq1[34];
  double mag1[34];
  uint32_t index2;
  uint32_t count2;
  double freq2[67];
  double mag2[67];
  uint32_t index3;
  uint32_t count3;
  double freq3[133];
  double mag3[133];
  uint32_t index4;
  uint32_t count4;
  double freq4[265];
  double mag4[265];
};

static_assert(sizeof(SVLCREFDATA2) == 8224, "reference record layout");
static_assert(offsetof(SVLCREFDATA2, freq0) == 16 && offsetof(SVLCREFDATA2, mag0) == 112);
static_assert(offsetof(SVLCREFDATA2, index1) == 208 && offsetof(SVLCREFDATA2, freq1) == 216);
static_assert(offsetof(SVLCREFDATA2, index2) == 760 && offsetof(SVLCREFDATA2, freq2) == 768);
static_assert(offsetof(SVLCREFDATA2, index3) == 1840 && offsetof(SVLCREFDATA2, freq3) == 1848);
static_assert(offsetof(SVLCREFDATA2, index4) == 3976 && offsetof(SVLCREFDATA2, freq4) == 3984);
