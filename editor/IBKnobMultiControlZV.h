#pragma once
// The maker's bitmap knob: a strip of frames chosen by the value, turned by
// vertical drags (gearing, shift for fine steps, control for none), the
// wheel (one step a notch on a stepped parameter) and typed values, with a
// value read-out in a small filled box while hovered or always. A stepped
// parameter's values are whole steps from its minimum, both ends included.
// Main thread.

#include "IBControls.h"
#include "UT_String.h"

namespace plugin::igraphics {

class IBKnobMultiControlZV : public IBKnobControl {
public:
  // Where the read-out box sits in the knob.
  enum EValuePlacement { kPlaceTop = 0, kPlaceMiddle = 1, kPlaceBottom = 2 };
  // Direction kVertical drags up for more, kReversedVertical down for more,
  // kHorizontal right for more.
  static constexpr int kReversedVertical = 2;

  IBKnobMultiControlZV(int x, int y, int paramIdx, const IBitmap& bitmap, const IText& text,
                       const IColor& valueBoxColor, int textEntryLength, EDirection direction, bool disablePrompt,
                       bool showValueOnHover, bool showLabel, int valuePlacement, bool showValueAlways,
                       bool fillValueBox, double gearing, float farAlignOffset);

  void OnMouseDown(float x, float y, const IMouseMod& mod) override;
  void OnMouseUp(float x, float y, const IMouseMod& mod) override;
  void OnMouseDrag(float x, float y, float dX, float dY, const IMouseMod& mod) override;
  void OnMouseDblClick(float x, float y, const IMouseMod& mod) override;
  void OnMouseWheel(float x, float y, const IMouseMod& mod, float d) override;
  void OnMouseOver(float x, float y, const IMouseMod& mod) override;
  void OnMouseOut() override;
  void Draw(IGraphics& g) override;
  // Commits a typed value as hovered at the double-click that opened the entry.
  void SetValueFromUserInput(double value, int valIdx = 0) override;

  // The read-out box: the width template's measured width centred on the
  // knob, placed vertically by the placement.
  IRECT GetValueTextRect() const;
  bool GetMouseOver() const { return mMouseOver; }

protected:
  bool mShowLabel;
  bool mMouseOver = false;
  bool mShowValueOnHover;
  bool mShowValueAlways;
  bool mFillValueBox;
  IColor mValueBoxColor;
  int mValuePlacement;
  UT_String mWidthTemplate;
  int mSavedMouseOverIdx = 0;
  float mFarAlignOffset;
};

} // namespace plugin::igraphics
