#pragma once
// Offline processing of an audio file through the unit: reads a WAV or AIFF
// file (libsndfile), renders it in blocks through a render callback and
// writes a new file of the same container and sample format. Mono input is
// fed to both channels. The unit's reported latency is compensated: the
// first latency samples of output are dropped and the input is padded with
// as much silence at the end, so output lines up with input.
// Host main thread.

#include <functional>
#include <string>
#include <utility>
#include <vector>

#include "AUBundle.h"

namespace host {

struct ProcessOptions
{
  std::vector<std::pair<unsigned, float>> mParams;  // (id, value) set before rendering
  unsigned mBlockSize = 512;
  // Called with the fraction done, now and then while a long file runs.
  std::function<void(double)> mProgress;
};

// Empty on success, else a message saying what failed and what to do.
std::string ProcessFile(const AUBundle& bundle, const std::string& inPath, const std::string& outPath,
                        const ProcessOptions& options);

} // namespace host
