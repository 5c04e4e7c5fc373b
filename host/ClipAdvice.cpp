#include "ClipAdvice.h"

#include <standin/Host.h>

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <vector>

#include "HostParameters.h"
#include "Wording.h"

namespace host {

namespace {

constexpr double kGainFloorDB = -24.0;
// Over full scale by less than a float's rounding is not over.
constexpr double kOverDB = 1e-4;
constexpr double kReplayDownDB = 48.0;

// Decibels rounded up to a tenth, so that following the advice is enough.
double TenthUp(double dB) { return std::max(0.1, std::ceil(dB * 10.0 - 1e-9) / 10.0); }

// "Match peak max" lowers "Gain" by the peak before the limiter (dB over
// full scale) from where it stands, clamped to -24..24 dB; "Gain" is put
// back. True in floored when the clamp at the floor hid part of the peak.
double PressMatchPeak(AUHostUnit& unit, float gain, bool& floored)
{
  // The button acts on a change to 1 only.
  unit.SetParameter(kParamMatchPeakMax, 0.f);
  unit.SetParameter(kParamMatchPeakMax, 1.f);
  standin::PumpMainRunLoop();
  const double lowered = unit.GetParameter(kParamGain);
  unit.SetParameter(kParamMatchPeakMax, 0.f);
  unit.SetParameter(kParamGain, gain);
  floored = lowered <= kGainFloorDB + kOverDB;
  return double(gain) - lowered;
}

} // namespace

ClipReport AssessClipping(AUHostUnit& unit, const RenderStats& stats, bool floatOutput, const Replay& replay)
{
  ClipReport report;
  const int state = int(std::lround(unit.GetParameter(kParamActivityState)));
  const float gain = unit.GetParameter(kParamGain);
  const double mix = unit.GetParameter(kParamMix);
  char text[600];

  if (state != kActivityProcessing) {
    // Nothing is limited here: what lies over full scale came in so.
    if (stats.mOverSamples == 0)
      return report;
    report.mClipped = stats.mOverSamples;
    const double over = TenthUp(20.0 * std::log10(stats.mPeak));
    std::snprintf(text, sizeof(text),
                  "warning: %s of the input lie over full scale (its peak is %.1f dB over) and pass through "
                  "unchanged: in Activity state %s \"Gain\" does not act (it acts in Processing only); lower the "
                  "input's level by %.1f dB%s",
                  CountOf(stats.mOverSamples, "sample").c_str(), over, state == kActivityCapture ? "Capture" : "Idle",
                  over, floatOutput ? "" : " (the output file clips them)");
    report.mNote = text;
    return report;
  }

  bool atLeast = false;
  double peakDB = PressMatchPeak(unit, gain, atLeast);
  // Past the button's reach: once more with the input 48 dB down, which
  // lowers the limiter's input as much (all before it is linear).
  if (atLeast && replay && replay(std::pow(10.0, -kReplayDownDB / 20.0)).empty())
    peakDB = std::max(peakDB, kReplayDownDB + PressMatchPeak(unit, gain, atLeast));
  if (peakDB <= kOverDB)
    return report;
  report.mClipped = stats.mFullScaleSamples;
  // Limited inside the fade-in only: the samples left the limiter below full scale.
  const std::string limited = stats.mFullScaleSamples
                                ? CountOf(stats.mFullScaleSamples, "sample") + " went over full scale and were limited"
                                : std::string("the output went over full scale during the fade-in and was limited");
  const double lower = TenthUp(peakDB);
  if (mix <= 0.0) {
    std::snprintf(text, sizeof(text),
                  "warning: %s; with \"Mix\" at 0 %% the output is the input itself, which \"Gain\" does not "
                  "change: the input peaks %.1f dB over full scale; lower its level by %.1f dB",
                  limited.c_str(), lower, lower);
  } else if (double(gain) - lower >= kGainFloorDB) {
    std::snprintf(text, sizeof(text),
                  "warning: %s; lower \"Gain\" by %s%.1f dB (--param 5=%.1f) to keep every sample below it%s",
                  limited.c_str(), mix < 100.0 ? "at least " : "", lower, double(gain) - lower,
                  mix < 100.0 ? " (\"Gain\" scales only the filtered share of \"Mix\"; the dry share stays)" : "");
  } else {
    const double left = lower - (double(gain) - kGainFloorDB);
    std::snprintf(text, sizeof(text),
                  "warning: %s; the output peaks %s%.1f dB over full scale, and \"Gain\" cannot lower it enough: "
                  "at its floor of -24 dB (--param 5=-24) %s%.1f dB are left over; lower the input's level by that "
                  "much as well",
                  limited.c_str(), atLeast ? "at least " : "", lower, atLeast ? "at least " : "", left);
  }
  report.mNote = text;
  return report;
}

std::string ClearUnit(AUHostUnit& unit, unsigned block, double sampleRate, double& sampleTime)
{
  std::vector<float> left(block), right(block);
  float* out[2] = {left.data(), right.data()};
  const auto second = (long long)std::ceil(sampleRate);
  long long quiet = 0;
  for (long long done = 0; quiet < second && done < 60 * second; done += block) {
    if (OSStatus s = unit.Render(sampleTime, block, out, 2); s != noErr)
      return "render failed (status " + std::to_string(s) + ")";
    sampleTime += block;
    standin::PumpMainRunLoop();
    const bool zero = std::all_of(left.begin(), left.end(), [](float x) { return x == 0.f; }) &&
                      std::all_of(right.begin(), right.end(), [](float x) { return x == 0.f; });
    quiet = zero ? quiet + block : 0;
  }
  // The button acts on a change to 1 only.
  unit.SetParameter(kParamResetPeakMax, 0.f);
  unit.SetParameter(kParamResetPeakMax, 1.f);
  unit.SetParameter(kParamResetPeakMax, 0.f);
  return quiet >= second ? "" : "the plug-in's output did not fall silent";
}

} // namespace host
