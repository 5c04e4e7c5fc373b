#pragma once
// Renders a unit over an input of known length and hands out the output
// lined up with the input: output frame k belongs to input frame k - L,
// where L is the latency the unit reports when it renders it. L is followed
// as the unit announces changes (its latency property's listener): a rise
// drops the extra output frames, a fall leaves a gap of silence, so the
// result is never shifted against the input and ends with the input's last
// frame. Counts output samples at and over full scale, and the peak. Host
// main thread.

#include <functional>
#include <string>
#include <vector>

#include "AUHostUnit.h"

namespace host {

struct RenderStats {
  long long mFullScaleSamples = 0; // |x| >= 1 in either channel (each counted)
  long long mOverSamples = 0;      // |x| > 1: over full scale, as no limiter leaves them
  double mPeak = 0.0;              // largest output magnitude handed out
  int mLatency = 0;                // the latency at the end
};

class AlignedRender {
public:
  // Aligned output: n frames for input frames first.. first + n - 1.
  // Returns empty to go on, else the error that ends the pass.
  using Sink = std::function<std::string(const float* left, const float* right, size_t n, long long first)>;
  // Called with the fraction done; reaches 1 exactly once, at the end.
  using Progress = std::function<void(double)>;
  // Checked after every block: empty to go on, else the error that ends it.
  using Check = std::function<std::string()>;

  AlignedRender(AUHostUnit& unit, unsigned blockSize) : mUnit(unit), mBlock(blockSize) {}

  // Renders from sampleTime (advanced by every frame rendered) until
  // `frames` aligned frames went to sink. Empty on success.
  std::string Run(long long frames, double& sampleTime, const Sink& sink, const Progress& progress = {},
                  const Check& check = {});
  const RenderStats& Stats() const { return mStats; }

private:
  AUHostUnit& mUnit;
  unsigned mBlock;
  RenderStats mStats;
};

// A sink that drops what it is given.
std::string DropOutput(const float* left, const float* right, size_t n, long long first);

// Multiplies n frames of each channel by scale (nothing for 1).
void ScaleChannels(float* const* channels, int nChannels, UInt32 n, double scale);

} // namespace host
