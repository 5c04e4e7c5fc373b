#pragma once
// Everything the audio block reads of one designed correction: the two
// impulses, the records handed to the engines, the wet and dry engines and
// the latency of the pair. A new one is built (allocating, on the main or
// reset thread) and swapped in whole under the plug-in's mutex, so the audio
// block never sees a half-built filter.
#include <vector>

#include "CDividedConvolutionEngine.h"
#include "CImpulseBuffer.h"
#include "Vorelle3CurveRecord.h"

struct CorrectionFilter {
  std::vector<double> filterImpulse; // the designed correction
  std::vector<double> dryImpulse;    // a unit impulse at the filter's delay
  CImpulseBuffer filterBuffer;
  CImpulseBuffer dryBuffer;
  CDividedConvolutionEngine convolver; // wet path
  CDividedConvolutionEngine dryDelay;  // dry path, delayed like the wet one
  // Wet engine latency, plus (length - 1) / 2 for a linear-phase design.
  // Both engines run the same impulse length, so their latencies are equal.
  int latency = 0;
};

struct CorrectionDesign {
  const Vorelle3CurveRecord* diff = nullptr; // dB curve; null: identity filter
  bool linearPhase = false;                  // centred zero-phase design, delayed by (length - 1) / 2
  bool windowImpulse = false;
  double sampleRate = 44100.0; // rate the curve is sampled for
  int impulseLength = 32768;
  int maxImpulseSize = 32768; // engines use FFTs up to twice this
  int blockSize = 512;        // largest block the audio thread will pass
};

// Builds both paths into out (which must be fresh or unused by the audio
// thread). Both engines are loaded, warmed up and reset alike, so they start
// from silence with equal delay and allocate nothing for blocks up to
// blockSize. False when an impulse could not be loaded (out then passes
// audio through unfiltered on that path).
bool BuildCorrectionFilter(CorrectionFilter& out, const CorrectionDesign& design);
