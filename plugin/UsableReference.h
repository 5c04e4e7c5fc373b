#pragma once
// Whether a curve can serve as a reference: the difference against a
// fingerprint is taken only at points the signal reaches, and a level at or
// below the floor counts as -144 dB. A reference without a reachable point
// changes nothing; one with no level above the floor there, or a level no
// float holds, makes a filter that drives the output far over full scale.
// Pure; any thread.

enum class EReferenceProblem {
  kNone,
  kNoUsableFrequency, // no point between 10 Hz and the widest matched top
  kNoLevelAboveFloor, // every level at a usable point is at or below the floor
  kLevelBeyondFloat,  // a level whose size exceeds the largest float
};

// The highest frequency the plug-in ever matches, at any sample rate.
inline constexpr double kWidestMatchedHz = 22000.0;

// freq and mag hold count points each (the values are finite: the readers
// refuse any other).
EReferenceProblem ReferenceProblem(const double* freq, const double* mag, unsigned count);
