#pragma once
// The maker's small bitmap controls: a frame display the plug-in drives
// (background, LEDs, dial box, needle), a switch with an optional hover
// highlight, a momentary push, and the update indicator that asks the
// plug-in for a version check when clicked. Bitmap controls placed at a
// point take one frame's size there. Main thread.

#include "IBControls.h"
#include "IBitmapControl.h"
#include "IControl.h"

namespace plugin::igraphics {

// (x, y) and one frame of bitmap.
IRECT FrameAt(const IBitmap& bitmap, float x, float y);

class IBBitmapControlZV : public IControl, public IBitmapBase {
public:
  IBBitmapControlZV(int x, int y, const IBitmap& bitmap);

  // Only hover and tooltips: the plug-in sets the value.
  void OnMouseDown(float, float, const IMouseMod&) override {}
  void OnMouseUp(float, float, const IMouseMod&) override {}
  void OnMouseDrag(float, float, float, float, const IMouseMod&) override {}
  void OnMouseDblClick(float, float, const IMouseMod&) override {}
  void OnMouseWheel(float, float, const IMouseMod&, float) override {}
  void Draw(IGraphics& g) override { DrawBitmap(g); }
};

class IBSwitchControlZV : public IBSwitchControl {
public:
  IBSwitchControlZV(float x, float y, const IBitmap& bitmap, int paramIdx);

  void OnMouseUp(float x, float y, const IMouseMod& mod) override { ISwitchControlBase::OnMouseUp(x, y, mod); }
  void OnMouseOver(float x, float y, const IMouseMod& mod) override;
  void OnMouseOut() override;
  // Nothing without the bitmap shown (it still switches).
  void Draw(IGraphics& g) override;

  void SetShowBitmap(bool show) { mShowBitmap = show; }
  void SetHoverHighlight(bool on) { mHoverHighlight = on; }
  void SetHighlightColor(const IColor& c) { mHighlightColor = c; }
  bool GetMouseOver() const { return mMouseOver; }

protected:
  bool mShowBitmap = true;
  bool mHoverHighlight = false;
  bool mMouseOver = false;
  IColor mHighlightColor{16, 255, 255, 255};
};

class IBPushControlZV : public IBSwitchControl {
public:
  IBPushControlZV(float x, float y, const IBitmap& bitmap, int paramIdx) : IBSwitchControl(x, y, bitmap, paramIdx) {}

  // 1 at once on press, 0 on release (the release reaches the pressed
  // control wherever the pointer is).
  void OnMouseDown(float x, float y, const IMouseMod& mod) override;
  void OnMouseUp(float x, float y, const IMouseMod& mod) override;
  void OnMouseDrag(float, float, float, float, const IMouseMod&) override {}
  void OnMouseDblClick(float, float, const IMouseMod&) override {}
  void OnMouseWheel(float, float, const IMouseMod&, float) override {}
};

class IBUpdateControlZV : public IControl, public IBitmapBase {
public:
  // msgTag -1 sends nothing.
  IBUpdateControlZV(int x, int y, const IBitmap& bitmap, int msgTag);

  void OnMouseDown(float x, float y, const IMouseMod& mod) override;
  void OnMouseUp(float, float, const IMouseMod&) override {}
  void OnMouseDrag(float, float, float, float, const IMouseMod&) override {}
  void OnMouseDblClick(float, float, const IMouseMod&) override {}
  void OnMouseWheel(float, float, const IMouseMod&, float) override {}
  void OnMouseOver(float, float, const IMouseMod&) override { SetDirty(false, -1); }
  void OnMouseOut() override { SetDirty(false, -1); }
  // Frame 2 and "Update available" while the value is above 0; the tooltip
  // follows the value from the drawn frame on.
  void Draw(IGraphics& g) override;

protected:
  int mMsgTag;
};

} // namespace plugin::igraphics
