#pragma once
// What the processor offers beyond the instructions the build targets, for
// choosing between routine sets once at start-up.
//
// The AVX2 and FMA sets exist only in builds for x86-64: elsewhere
// kBuildHasAvx2Routines is false and no code may name them (an `if constexpr`
// on it keeps the names out of other builds).

#if defined(__x86_64__)
inline constexpr bool kBuildHasAvx2Routines = true;
#else
inline constexpr bool kBuildHasAvx2Routines = false;
#endif

struct CpuFeatures {
  bool avx2Fma = false; // AVX2 and FMA both present, and this build has routines for them
};

// Asked of the processor on the first call; any thread.
const CpuFeatures& ThisProcessor();
