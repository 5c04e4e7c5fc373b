#pragma once
// The vector rotary knob: a round pressable handle, an arc from an anchor
// angle to the value's angle, a pointer line, and the label and value texts
// of the vector base. Angles are degrees clockwise from 12 o'clock. A click
// on the value text opens text entry when the value is editable.

#include "IControlBases.h"
#include "IVectorBase.h"

namespace plugin::igraphics {

class IVKnobControl : public IKnobControlBase, public IVectorBase {
public:
  IVKnobControl(const IRECT& bounds, int paramIdx = -1, const char* label = "", const IVStyle& style = DEFAULT_STYLE,
                bool valueIsEditable = false, bool valueInWidget = false, float a1 = -135.f, float a2 = 135.f,
                float aAnchor = -135.f, EDirection direction = kVertical, double gearing = 4.0, float trackSize = 2.f);
  IVKnobControl(const IRECT& bounds, IActionFunction action, const char* label = "",
                const IVStyle& style = DEFAULT_STYLE, bool valueIsEditable = false, bool valueInWidget = false,
                float a1 = -135.f, float a2 = 135.f, float aAnchor = -135.f, EDirection direction = kVertical,
                double gearing = 4.0, float trackSize = 2.f);

  // Half the widget's height wide (a wide widget) or half its width high.
  IRECT GetKnobDragBounds() override;
  void DrawWidget(IGraphics& g) override;
  virtual void DrawValueArc(IGraphics& g, float angle, float cx, float cy, float radius);
  virtual void DrawPointerLine(IGraphics& g, float angle, float cx, float cy, float radius);

  void Draw(IGraphics& g) override;
  void OnMouseDown(float x, float y, const IMouseMod& mod) override;
  void OnMouseUp(float x, float y, const IMouseMod& mod) override;
  void OnMouseOver(float x, float y, const IMouseMod& mod) override;
  void OnMouseOut() override;
  bool IsHit(float x, float y) const override;
  void OnResize() override;
  void OnInit() override;
  void SetDirty(bool triggerAction = true, int valIdx = -1) override;

  float GetAngle() const { return mStartAngle + (mEndAngle - mStartAngle) * static_cast<float>(GetValue()); }

protected:
  void SetUp(const IVStyle& style, bool valueIsEditable, float trackSize);

  float mHandleGap = 4.f;
  float mPointerStartFrac = 0.1f;
  float mPointerEndFrac = 1.f;
  float mPointerWidth = 2.5f;
  float mStartAngle;
  float mEndAngle;
  float mArcAnchor;
  bool mMouseOverValue = false;
};

// Shared by the knob and the slider: the value text opens text entry when
// it is visible and editable.
bool ValueTextTakesClick(const IControl& c, const IVectorBase& v, float x, float y);

} // namespace plugin::igraphics
