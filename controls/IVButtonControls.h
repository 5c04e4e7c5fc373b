#pragma once
// Small vector controls on the shared style: a static label, a momentary
// push button, an n-state switch, a two-state toggle with its own on and off
// texts, and a slide switch whose handle glides from one cell to the next.

#include "IControlBases.h"
#include "ITextControls.h"
#include "IVectorBase.h"

namespace plugin::igraphics {

class IVLabelControl : public ITextControl, public IVectorBase {
public:
  IVLabelControl(const IRECT& bounds, const char* label, const IVStyle& style = DEFAULT_STYLE);

  void Draw(IGraphics& g) override;
};

class IVButtonControl : public IButtonControlBase, public IVectorBase {
public:
  IVButtonControl(const IRECT& bounds, IActionFunction action = nullptr, const char* label = "",
                  const IVStyle& style = DEFAULT_STYLE, bool labelInButton = true, bool valueInButton = true,
                  EVShape shape = kVShapeRectangle);

  void Draw(IGraphics& g) override;
  void DrawWidget(IGraphics& g) override;
  void OnResize() override;
  bool IsHit(float x, float y) const override { return mWidgetRect.Contains(x, y); }
};

class IVSwitchControl : public ISwitchControlBase, public IVectorBase {
public:
  // Two states, committed with the splash click.
  IVSwitchControl(const IRECT& bounds, int paramIdx = -1, const char* label = "", const IVStyle& style = DEFAULT_STYLE,
                  bool valueInButton = true);
  IVSwitchControl(const IRECT& bounds, IActionFunction action, const char* label = "",
                  const IVStyle& style = DEFAULT_STYLE, int numStates = 2, bool valueInButton = true);

  void Draw(IGraphics& g) override;
  void DrawWidget(IGraphics& g) override;
  void OnResize() override;
  void OnInit() override;
  void OnMouseOut() override;
  bool IsHit(float x, float y) const override { return mWidgetRect.Contains(x, y); }
  void SetDirty(bool triggerAction = true, int valIdx = -1) override;

private:
  void CentreValueText(bool valueInButton);
};

class IVToggleControl : public IVSwitchControl {
public:
  IVToggleControl(const IRECT& bounds, int paramIdx = -1, const char* label = "", const IVStyle& style = DEFAULT_STYLE,
                  const char* offText = "OFF", const char* onText = "ON");
  IVToggleControl(const IRECT& bounds, IActionFunction action, const char* label = "",
                  const IVStyle& style = DEFAULT_STYLE, const char* offText = "OFF", const char* onText = "ON",
                  bool initialState = false);

  void DrawWidget(IGraphics& g) override;
  void DrawValue(IGraphics& g, bool mouseOver) override;

protected:
  UT_String mOffText;
  UT_String mOnText;
};

class IVSlideSwitchControl : public IVSwitchControl {
public:
  IVSlideSwitchControl(const IRECT& bounds, int paramIdx = -1, const char* label = "",
                       const IVStyle& style = DEFAULT_STYLE, bool valueInButton = true,
                       EDirection direction = kHorizontal);
  // The caller's action runs when the glide ends. initialState is the state
  // shown first (0 .. numStates - 1; clamped).
  IVSlideSwitchControl(const IRECT& bounds, IActionFunction action, const char* label = "",
                       const IVStyle& style = DEFAULT_STYLE, bool valueInButton = true,
                       EDirection direction = kHorizontal, int numStates = 2, int initialState = 0);

  void Draw(IGraphics& g) override;
  void DrawWidget(IGraphics& g) override;
  virtual void DrawTrack(IGraphics& g, const IRECT& bounds);
  void OnResize() override;
  void SetDirty(bool triggerAction = true, int valIdx = -1) override;
  void OnEndAnimation() override;

  const IRECT& GetHandleBounds() const { return mHandleRect; }
  const IRECT& GetSlideFrom() const { return mSlideFrom; }
  const IRECT& GetSlideTo() const { return mSlideTo; }

protected:
  void UpdateRects();
  static void SlideAnimation(IControl* caller);

  IRECT mSlideFrom;
  IRECT mSlideTo;
  IRECT mHandleRect;
  EDirection mDirection;
};

// State shown for value v of an n-state control: the nearest of 0 .. n - 1
// (0 when n < 2).
int StateForValue(double v, int n);
// Value of state i of n (0 when n < 2).
double ValueForState(int i, int n);

} // namespace plugin::igraphics
