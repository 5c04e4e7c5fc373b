#pragma once
// Three bitmap buttons for the values of one parameter (the activity
// state): a click on a button selects its value, each button shows frame 2
// while selected. One-based, value 0 means none selected and a click on the
// selected button clears it. Main thread.

#include <vector>

#include "IBitmap.h"
#include "IControl.h"

namespace plugin::igraphics {

class IBRadioButtonsControl3 : public IControl {
public:
  // Each button's rectangle is drawn no larger than one frame of its bitmap;
  // bounds should hold all three.
  IBRadioButtonsControl3(int paramIdx, const IRECT& r1, const IBitmap& b1, const IRECT& r2, const IBitmap& b2,
                         const IRECT& r3, const IBitmap& b3, bool oneBased, const IRECT& bounds);

  void OnMouseDown(float x, float y, const IMouseMod& mod) override;
  void OnMouseUp(float, float, const IMouseMod&) override {}
  void Draw(IGraphics& g) override;

  // The selected button (0-based) for the parameter's value c, -1 for none;
  // false when c is outside the buttons' values (nothing is drawn).
  bool SelectedButton(int c, int& button) const;
  const IRECT& GetButtonRect(int i) const { return mButtonRects[static_cast<std::size_t>(i)]; }
  int NButtons() const { return mNumButtons; }

protected:
  std::vector<IRECT> mButtonRects;
  IBitmap mBitmaps[3];
  int mNumButtons = 3;
  bool mOneBased;
};

} // namespace plugin::igraphics
