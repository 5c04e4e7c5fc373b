#include "AlignedRender.h"

#include <standin/Host.h>

#include <algorithm>
#include <cmath>
#include <cstdio>

namespace host {

namespace {

// "Gain", "Match peak max" and the range "Gain" takes.
constexpr AudioUnitParameterID kGainParam = 5, kMatchPeakParam = 8;
constexpr double kGainFloorDB = -24.0;
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

double GainReductionDB(AUHostUnit& unit, double hostPeak)
{
  double reduction = hostPeak > 0.0 ? 20.0 * std::log10(hostPeak) : -144.0;
  const float gain = unit.GetParameter(kGainParam);
  // The button acts on a change to 1 only.
  if (unit.SetParameter(kMatchPeakParam, 0.f) == noErr && unit.SetParameter(kMatchPeakParam, 1.f) == noErr) {
    standin::PumpMainRunLoop();
    const float lowered = unit.GetParameter(kGainParam);
    if (lowered > kGainFloorDB)
      reduction = std::max(reduction, double(gain) - double(lowered));
    else if (lowered < gain)
      reduction = std::max(reduction, double(gain) - kGainFloorDB);
    unit.SetParameter(kGainParam, gain);
    unit.SetParameter(kMatchPeakParam, 0.f);
  }
  return reduction;
}

std::string ClipWarning(const RenderStats& stats, double reductionDB, float gain)
{
  if (stats.mFullScaleSamples == 0)
    return "";
  // Rounded up to a tenth of a decibel, so that following it is enough.
  const double lower = std::max(0.1, std::ceil(reductionDB * 10.0 - 1e-9) / 10.0);
  char text[400];
  const double target = double(gain) - lower;
  if (target >= kGainFloorDB)
    std::snprintf(text, sizeof(text),
                  "warning: %lld samples reached full scale and were clipped; lower \"Gain\" by %.1f dB "
                  "(--param 5=%.1f) to keep every sample below it",
                  stats.mFullScaleSamples, lower, target);
  else
    std::snprintf(text, sizeof(text),
                  "warning: %lld samples reached full scale and were clipped; the output must come down by "
                  "%.1f dB, more than \"Gain\" can lower it (to %.0f dB): lower the input's level as well",
                  stats.mFullScaleSamples, lower, kGainFloorDB);
  return text;
}

} // namespace host
