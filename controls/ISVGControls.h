#pragma once
// Controls that draw their value with parsed vector images: a button with
// an off and an on image, a knob whose image turns with the value, a switch
// with one image per state, and a slider whose handle image moves along a
// track image. Mouse handling is the interaction bases'; the images are
// scaled to the control when drawn and never owned.

#include <vector>

#include "IControlBases.h"
#include "ISVG.h"

namespace plugin::igraphics {

class ISVGButtonControl : public IButtonControlBase {
public:
  ISVGButtonControl(const IRECT& bounds, IActionFunction action, const ISVG& offImage, const ISVG& onImage);

  void Draw(IGraphics& g) override;

protected:
  ISVG mOffSVG;
  ISVG mOnSVG;
};

class ISVGKnobControl : public IKnobControlBase {
public:
  ISVGKnobControl(const IRECT& bounds, const ISVG& svg, int paramIdx = -1);

  void Draw(IGraphics& g) override;
  void SetSVG(const ISVG& svg);
  // Degrees clockwise: -135 at 0, +135 at 1.
  float GetAngle() const { return mStartAngle + (mEndAngle - mStartAngle) * static_cast<float>(GetValue()); }

protected:
  ISVG mSVG;
  float mStartAngle = -135.f;
  float mEndAngle = 135.f;
};

class ISVGSwitchControl : public ISwitchControlBase {
public:
  // One state per image, in state order.
  ISVGSwitchControl(const IRECT& bounds, const std::vector<ISVG>& images, int paramIdx = -1,
                    IActionFunction action = nullptr);

  void Draw(IGraphics& g) override;
  // The image shown for the current value, limited to the list; -1 when the
  // list is empty.
  int ImageIndex() const;

protected:
  std::vector<ISVG> mSVGs;
};

class ISVGSliderControl : public ISliderControlBase {
public:
  ISVGSliderControl(const IRECT& bounds, const ISVG& handleImage, const ISVG& trackImage, int paramIdx = -1,
                    EDirection direction = kVertical, double gearing = 4.0);

  void Draw(IGraphics& g) override;
  // Fits the track image to the control and sizes the handle image in
  // proportion; the handle travels over the track less its own size.
  void OnResize() override;
  // A negative value stands for the current value.
  IRECT GetHandleBounds(double value = -1.0) const;
  const IRECT& GetTrackSVGBounds() const { return mTrackSVGBounds; }

protected:
  IRECT mTrackSVGBounds;
  IRECT mHandleBoundsAtMax;
  ISVG mHandleSVG;
  ISVG mTrackSVG;
};

} // namespace plugin::igraphics
