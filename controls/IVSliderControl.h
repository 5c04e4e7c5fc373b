#pragma once
// The vector linear slider: a rounded track, the part from the minimum end
// to the value filled, a pressable handle at the value, and the label and
// value texts of the vector base. Value text, hover and text entry behave
// as the knob's.

#include "IControlBases.h"
#include "IVectorBase.h"

namespace plugin::igraphics {

class IVSliderControl : public ISliderControlBase, public IVectorBase {
public:
  // handleSize is the handle's half size; the track is twice trackSize thick.
  IVSliderControl(const IRECT& bounds, int paramIdx = -1, const char* label = "", const IVStyle& style = DEFAULT_STYLE,
                  bool valueIsEditable = false, EDirection direction = kVertical, bool handleInsideTrack = false,
                  double gearing = 4.0, float handleSize = 8.f, float trackSize = 2.f);
  IVSliderControl(const IRECT& bounds, IActionFunction action, const char* label = "",
                  const IVStyle& style = DEFAULT_STYLE, bool valueIsEditable = false, EDirection direction = kVertical,
                  bool handleInsideTrack = false, double gearing = 4.0, float handleSize = 8.f, float trackSize = 2.f);

  void DrawWidget(IGraphics& g) override;
  virtual void DrawTrack(IGraphics& g, const IRECT& filledArea);
  virtual void DrawHandle(IGraphics& g, const IRECT& bounds);

  void Draw(IGraphics& g) override;
  void OnMouseDown(float x, float y, const IMouseMod& mod) override;
  void OnMouseUp(float x, float y, const IMouseMod& mod) override;
  void OnMouseOver(float x, float y, const IMouseMod& mod) override;
  void OnMouseOut() override;
  bool IsHit(float x, float y) const override;
  void OnResize() override;
  void OnInit() override;
  void SetDirty(bool triggerAction = true, int valIdx = -1) override;

  // The part of the track from the minimum end to the value.
  IRECT FilledArea() const;
  // Where the handle is drawn (empty when its size is 0).
  IRECT HandleBounds() const;

protected:
  void SetUp(const IVStyle& style, bool valueIsEditable, float trackSize);

  bool mTrackCoversHandle;
  bool mMouseOverValue = false;
};

} // namespace plugin::igraphics
