#pragma once
// Offline processing of an audio file through the unit: reads a WAV or AIFF
// file, renders it in blocks through a render callback and writes a stereo
// file whose container follows the output name's extension (the input's
// sample format where the container holds it). Mono input feeds both
// channels. The output is lined up with the input, following the latency
// the unit reports as it changes, and appears only when complete.
// Host main thread.

#include <functional>
#include <string>
#include <utility>
#include <vector>

#include "AUBundle.h"

namespace host {

struct ProcessOptions {
  std::vector<std::pair<unsigned, float>> mParams; // (id, value) set before rendering
  unsigned mBlockSize = 512;
  // Called with the fraction done as it grows; reaches 1 at the end.
  std::function<void(double)> mProgress;
};

struct ProcessReport {
  long long mFrames = 0; // written to the output
  int mInputChannels = 0;
  int mLatency = 0;              // the unit's latency at the end
  long long mClippedSamples = 0; // limited by the plug-in, or over full scale and passed through
  double mPeak = 0.0;
  std::vector<std::string> mNotes; // things the user should know (clipping, mono written as stereo)
};

// What process and match say alike: an output that is an input, a mono
// input written as stereo.
std::string OutputIsInputError(const std::string& outPath);
std::string MonoNote(const std::string& inPath, const std::string& outPath);

// Empty on success, else a message saying what failed and what to do.
std::string ProcessFile(const AUBundle& bundle, const std::string& inPath, const std::string& outPath,
                        const ProcessOptions& options, ProcessReport* report = nullptr);

} // namespace host
