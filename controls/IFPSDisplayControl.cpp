// Frame-rate display.

#include "IFPSDisplayControl.h"

#include <algorithm>

#include "IGraphics.h"

namespace plugin::igraphics {

namespace {

constexpr int kReadoutChars = 32;

// Height of a sample in the graph, 0..1, by mode.
float GraphHeight(int mode, float s)
{
  float f = 0.f;
  if (mode == IFPSDisplayControl::kFPS)
    f = std::min(80.f, 1.f / (s + 0.00001f)) / 80.f;
  else if (mode == IFPSDisplayControl::kMilliseconds)
    f = std::min(20.f, s * 1000.f) / 20.f;
  else
    f = std::min(100.f, s) / 100.f;
  // A negative or broken interval stays inside the plot.
  return f >= 0.f && f <= 1.f ? f : (f > 1.f ? 1.f : 0.f);
}

} // namespace

IFPSDisplayControl::IFPSDisplayControl(const IRECT& bounds, int mode, const char* label)
: IControl(bounds), IVectorBase(DEFAULT_STYLE), mPerfDisplayMode(mode), mLabel(label ? label : ""),
  mAPITextStyle(14.f, COLOR_BLACK, "Roboto-Regular", kAlignNear, kVAlignTop),
  mValueTextStyle(18.f, COLOR_BLACK, "Roboto-Regular", kAlignFar, kVAlignTop),
  mSecondaryTextStyle(15.f, COLOR_BLACK, "Roboto-Regular", kAlignFar, kVAlignBottom)
{
  AttachIControl(this, label);
  SetColor(kBackground, COLOR_WHITE);
  mAPITextStyle.mFGColor = mValueTextStyle.mFGColor = mSecondaryTextStyle.mFGColor = GetColor(kFrame);
  mText = IText(14.f, COLOR_BLACK, "Roboto-Regular", kAlignNear, kVAlignBottom);
}

void IFPSDisplayControl::Update(float secondsSincePreviousFrame)
{
  mWritePos = (mWritePos + 1) % kNumSamples;
  mSamples[mWritePos] = secondsSincePreviousFrame;
}

void IFPSDisplayControl::OnMouseDown(float, float, const IMouseMod&)
{
  mPerfDisplayMode = ((mPerfDisplayMode + 1) % kNumModes + kNumModes) % kNumModes;
}

float IFPSDisplayControl::Average() const
{
  float sum = 0.f;
  for (float s : mSamples)
    sum += s;
  return sum / kNumSamples;
}

void IFPSDisplayControl::FormatReadout(UT_String& main, UT_String& secondary) const
{
  const float avg = Average();
  secondary.Set("");
  switch (mPerfDisplayMode) {
  case kFPS:
    // No frames yet: a dash, not "inf".
    if (avg > 0.f)
      main.SetFormatted(kReadoutChars, "%.2f FPS", 1.f / avg);
    else
      main.Set("- FPS");
    secondary.SetFormatted(kReadoutChars, "%.2f ms", avg * 1000.f);
    break;
  case kMilliseconds: main.SetFormatted(kReadoutChars, "%.2f ms", avg * 1000.f); break;
  default: main.SetFormatted(kReadoutChars, "%.1f %%", avg); break;
  }
}

void IFPSDisplayControl::Draw(IGraphics& g)
{
  g.FillRect(GetColor(kBackground), mRECT);
  g.DrawRect(COLOR_BLACK, mRECT, nullptr, 1.f);
  const IRECT r(mRECT.L + 2.f, mRECT.T + 2.f, mRECT.R - 2.f, mRECT.B - 2.f);
  const float w = r.W(), h = r.H();

  g.PathClear();
  g.PathMoveTo(r.L, r.B);
  // Oldest first: the sample after the newest.
  for (int i = 0; i < kNumSamples; ++i) {
    const float s = mSamples[(mWritePos + 1 + i) % kNumSamples];
    g.PathLineTo(r.L + static_cast<float>(i) / (kNumSamples - 1) * w, r.B - GraphHeight(mPerfDisplayMode, s) * h);
  }
  g.PathLineTo(mRECT.R, mRECT.B);
  g.PathFill(IPattern(GetColor(kForeground)), IFillOptions(), nullptr);

  const char* api = g.GetDrawingAPIStr();
  if (api && *api)
    g.DrawText(mAPITextStyle, api, r);
  if (mLabel.GetLength() > 0)
    g.DrawText(mText, mLabel.Get(), r);

  UT_String main, secondary;
  FormatReadout(main, secondary);
  g.DrawText(mValueTextStyle, main.Get(), r);
  if (secondary.GetLength() > 0)
    g.DrawText(mSecondaryTextStyle, secondary.Get(), r);
}

} // namespace plugin::igraphics
