#include "AlignedRender.h"

#include <standin/Host.h>

#include <algorithm>
#include <cmath>
#include <cstdio>

namespace host {

namespace {

// A latency that keeps growing would never let the pass end.
constexpr long long kMaxExtraFrames = 1LL << 26;

} // namespace

std::string AlignedRender::Run(long long frames, double& sampleTime, const Sink& sink, const Progress& progress,
                               const Check& check)
{
  mStats = RenderStats();
  int latency = std::max(mUnit.LatencySamples(), 0);
  mUnit.WatchLatency([&latency](int l) { latency = std::max(l, 0); });
  struct Unwatch {
    AUHostUnit& unit;
    ~Unwatch() { unit.WatchLatency(nullptr); }
  } unwatch{mUnit};

  std::vector<float> left(mBlock), right(mBlock), outLeft(mBlock), outRight(mBlock);
  float* out[2] = {left.data(), right.data()};
  long long rendered = 0, written = 0;
  int shownPercent = -1;
  while (written < frames) {
    if (rendered > frames + kMaxExtraFrames)
      return "the plug-in's latency kept growing; the output could not be lined up with the input";
    const UInt32 n = UInt32(std::clamp<long long>(frames + latency - rendered, 1, mBlock));
    if (OSStatus s = mUnit.Render(sampleTime, n, out, 2); s != noErr)
      return "render failed at frame " + std::to_string(rendered) + " (status " + std::to_string(s) + ")";
    sampleTime += n;
    if (std::string e = check ? check() : ""; !e.empty())
      return e;

    // Stage this block's aligned frames; a fallen latency leaves silence.
    size_t staged = 0;
    long long firstOfStage = written;
    std::string error;
    auto emit = [&](float l, float r) {
      outLeft[staged] = l;
      outRight[staged] = r;
      ++written;
      if (++staged == mBlock) {
        error = sink(outLeft.data(), outRight.data(), staged, firstOfStage);
        firstOfStage = written;
        staged = 0;
      }
    };
    for (UInt32 t = 0; t < n && written < frames && error.empty(); ++t) {
      const long long target = rendered + t - latency;
      while (written < target && written < frames && error.empty())
        emit(0.f, 0.f);
      if (target < written || written >= frames || !error.empty())
        continue;
      const float l = left[t], r = right[t];
      mStats.mFullScaleSamples += (std::fabs(l) >= 1.f) + (std::fabs(r) >= 1.f);
      mStats.mOverSamples += (std::fabs(l) > 1.f) + (std::fabs(r) > 1.f);
      mStats.mPeak = std::max({mStats.mPeak, double(std::fabs(l)), double(std::fabs(r))});
      emit(l, r);
    }
    if (error.empty() && staged)
      error = sink(outLeft.data(), outRight.data(), staged, firstOfStage);
    if (!error.empty())
      return error;
    rendered += n;
    // Idle work after the block: a latency announced here applies from the
    // next block on.
    standin::PumpMainRunLoop();
    const int percent = int(100 * written / frames);
    if (progress && percent != shownPercent && written < frames) {
      progress(double(written) / double(frames));
      shownPercent = percent;
    }
  }
  mStats.mLatency = latency;
  if (progress)
    progress(1.0);
  return "";
}

std::string DropOutput(const float*, const float*, size_t, long long) { return ""; }

void ScaleChannels(float* const* channels, int nChannels, UInt32 n, double scale)
{
  if (scale == 1.0)
    return;
  for (int c = 0; c < nChannels; ++c)
    for (UInt32 t = 0; t < n; ++t)
      channels[c][t] = float(channels[c][t] * scale);
}

} // namespace host
