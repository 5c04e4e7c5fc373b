#pragma once
// Drawing building blocks: a second base that gives a control a multi-frame
// bitmap chosen by its value, the plain bitmap control, the SVG control
// (optionally through a cached layer) and the filled panel.

#include "IBitmap.h"
#include "IControl.h"
#include "ISVG.h"

namespace plugin::igraphics {

class IBitmapBase {
public:
  explicit IBitmapBase(const IBitmap& bitmap) : mBitmap(bitmap) {}
  virtual ~IBitmapBase() = default;

  void AttachIControl(IControl* control) { mControl = control; }
  // The frame of record 0's value, centred on the control.
  void DrawBitmap(IGraphics& g);
  const IBitmap& GetBitmap() const { return mBitmap; }
  void SetBitmap(const IBitmap& bitmap) { mBitmap = bitmap; }

  // 1-based frame of value v on a strip of n frames (1 for n < 2).
  static int FrameForValue(double v, int n);

protected:
  IBitmap mBitmap;
  IControl* mControl = nullptr;
};

class IBitmapControl : public IControl, public IBitmapBase {
public:
  // Sized to one frame with its top left at (x, y).
  IBitmapControl(float x, float y, const IBitmap& bitmap, int paramIdx = -1, EBlend blend = kBlendDefault);

  void Draw(IGraphics& g) override { DrawBitmap(g); }
  // Reloads the bitmap for the screen scale; one that cannot be found again
  // (made from data) is kept.
  void OnRescale() override;
};

class ISVGControl : public IControl {
public:
  ISVGControl(const IRECT& bounds, const ISVG& svg, bool useLayer = false);

  void Draw(IGraphics& g) override;
  void SetSVG(const ISVG& svg);

protected:
  bool mUseLayer;
  ILayerPtr mLayer;
  ISVG mSVG;
};

class IPanelControl : public IControl {
public:
  IPanelControl(const IRECT& bounds, const IPattern& pattern, bool drawFrame = false);

  void Draw(IGraphics& g) override;
  void SetPattern(const IPattern& pattern)
  {
    mPattern = pattern;
    SetDirty(false, -1);
  }

protected:
  IPattern mPattern;
  bool mDrawFrame;
};

} // namespace plugin::igraphics
