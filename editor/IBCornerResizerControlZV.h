#pragma once
// The maker's corner resizer: the bitmap handle in the editor's bottom-right
// corner. Per press it chooses whether the drag scales the editor or sizes
// it (by its mode: the control key, always size, always scale, or inert),
// and it tells the plug-in of double-clicks and of rescales a user's drag
// made through message tags; opening the editor or a resize the plug-in or
// host asks for sends nothing. Main thread.
//
// Mode table (a message of -1 is not given):
//   all four messages given                 -> control key: scale, else size
//   both size messages, no scale message    -> always size
//   both scale messages, no size message    -> always scale
//   anything else                           -> inert: presses start a resize
//                                              in the context's mode, nothing
//                                              is sent

#include "IBitmapControl.h"
#include "ICornerResizerControl.h"

namespace plugin::igraphics {

class IBCornerResizerControlZV : public ICornerResizerControl, public IBitmapBase {
public:
  enum EMode { kInert = -1, kByControlKey = 0, kAlwaysSize = 1, kAlwaysScale = 2 };
  // The context's corner-resize modes.
  enum EResizeMode { kResizeScale = 0, kResizeSize = 1 };

  IBCornerResizerControlZV(const IBitmap& bitmap, int sizeRescaleMsg, int sizeResetMsg, int scaleRescaleMsg,
                           int scaleResetMsg, const IRECT& graphicsBounds, float offsetX = 0.f, float offsetY = 0.f);

  static int ModeFor(int sizeRescaleMsg, int sizeResetMsg, int scaleRescaleMsg, int scaleResetMsg);

  void OnMouseDown(float x, float y, const IMouseMod& mod) override;
  void OnMouseDblClick(float x, float y, const IMouseMod& mod) override;
  void OnRescale() override;
  void OnResize() override;
  // Frame 2 while hovered or resizing, drawn at the corner moved by the offset.
  void Draw(IGraphics& g) override;

  int GetMode() const { return mMode; }

protected:
  int mSizeRescaleMsg;
  int mSizeResetMsg;
  int mScaleRescaleMsg;
  int mScaleResetMsg;
  int mMode;
  float mDrawOffsetX;
  float mDrawOffsetY;
  // The editor as the last rescale left it: a drag's rescale is told to the
  // plug-in only when it changed what the drag changes.
  float mSeenScale = 0.f;
  int mSeenW = 0;
  int mSeenH = 0;
};

} // namespace plugin::igraphics
