#pragma once
// Diagnostic overlay: the frame intervals of the last 100 frames as a graph,
// and their average as frames per second, milliseconds or percent (a click
// cycles the three). The graphics context feeds it at every frame start.

#include "IControl.h"
#include "ISpecialControls.h"
#include "IVectorBase.h"

namespace plugin::igraphics {

class IFPSDisplayControl : public IControl, public IVectorBase, public IFrameTimeSlot {
public:
  enum EMode : int { kFPS = 0, kMilliseconds, kPercentage, kNumModes };
  static constexpr int kNumSamples = 100;

  IFPSDisplayControl(const IRECT& bounds, int mode = kFPS, const char* label = "Frame Time");

  void Update(float secondsSincePreviousFrame) override;
  void OnMouseDown(float x, float y, const IMouseMod& mod) override;
  bool IsDirty() override { return true; }
  void Draw(IGraphics& g) override;

  int GetMode() const { return mPerfDisplayMode; }
  // Mean interval in seconds over the whole ring.
  float Average() const;
  // The main read-out ("-" in place of an average of 0).
  void FormatReadout(UT_String& main, UT_String& secondary) const;

protected:
  int mPerfDisplayMode;
  UT_String mLabel;
  float mSamples[kNumSamples] = {};
  int mWritePos = 0;
  IText mAPITextStyle;
  IText mValueTextStyle;
  IText mSecondaryTextStyle;
};

} // namespace plugin::igraphics
