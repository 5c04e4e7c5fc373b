#pragma once
// What auhost says about clipping after a pass, from what the unit did:
// only samples the plug-in limited count (in Processing, when its peak
// before the limiter passed full scale), or, in the states where it limits
// nothing, samples of the input over full scale that pass through. Lowering
// "Gain" is advised only where "Gain" acts (Processing with "Mix" above 0)
// and only by as much as it can; otherwise the note says why the input
// itself is too hot and by how much. Host main thread, after rendering.

#include <functional>
#include <string>

#include "AlignedRender.h"
#include "AUHostUnit.h"

namespace host {

struct ClipReport {
  long long mClipped = 0; // samples limited, or over full scale and passed through
  std::string mNote;      // a warning line, or empty
};

// Plays the input through the unit once more, scaled by the factor given,
// its output dropped, after ClearUnit; empty on success (else the input
// cannot be replayed).
using Replay = std::function<std::string(double scale)>;

// Reads "Activity state", "Mix" and "Gain", and the peak before the limiter
// through the unit's "Match peak max" button ("Gain" is put back); when the
// peak lies beyond the button's reach, replay (if given) measures it with
// the input turned down. floatOutput: the output file keeps samples over
// full scale.
ClipReport AssessClipping(AUHostUnit& unit, const RenderStats& stats, bool floatOutput, const Replay& replay = {});

// For a replay: renders while the caller feeds silence until the unit's
// output has stayed exactly zero for a second (the filter holds nothing of
// the last pass; at most a minute), then clears the unit's peak ("Reset
// peak max"). Empty on success.
std::string ClearUnit(AUHostUnit& unit, unsigned block, double sampleRate, double& sampleTime);

} // namespace host
