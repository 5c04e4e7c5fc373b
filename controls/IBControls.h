#pragma once
// The bitmap control set: an interaction base joined with IBitmapBase, which
// shows value record 0 as one frame of a strip (button, switch, knob), a
// handle image moved along a track (slider), an image turned by the value
// (rotating knob) or a bitmap font (text). Each re-fetches its image for the
// screen scale on OnRescale; an image that cannot be found again is kept.

#include "IBitmapControl.h"
#include "IControlBases.h"
#include "ITextControls.h"

namespace plugin::igraphics {

// The rectangle of one frame of bitmap centred on r.
IRECT FrameCentredOn(const IBitmap& bitmap, const IRECT& r);

// Frame (1-based, clamped) of bitmap with its top left at r's, drawn no
// larger than r and no larger than one frame, so a rectangle bigger than the
// frame never shows the next frame or what lies past the image.
void DrawFrameWithin(IGraphics& g, const IBitmap& bitmap, const IRECT& r, int frame, const IBlend* blend);

// mBitmap of base replaced by its copy at the screen scale of c's graphics.
void RefetchForScale(IControl& c, IBitmapBase& base);

class IBButtonControl : public IButtonControlBase, public IBitmapBase {
public:
  IBButtonControl(float x, float y, const IBitmap& bitmap, IActionFunction action);
  IBButtonControl(const IRECT& bounds, const IBitmap& bitmap, IActionFunction action);

  void Draw(IGraphics& g) override { DrawBitmap(g); }
  void OnRescale() override { RefetchForScale(*this, *this); }
};

class IBSwitchControl : public ISwitchControlBase, public IBitmapBase {
public:
  IBSwitchControl(float x, float y, const IBitmap& bitmap, int paramIdx = -1);
  IBSwitchControl(const IRECT& bounds, const IBitmap& bitmap, int paramIdx = -1);

  // Steps by 1 / (states - 1) and wraps past the last state; the pressed
  // flag of the base stays as it is.
  void OnMouseDown(float x, float y, const IMouseMod& mod) override;
  void Draw(IGraphics& g) override { DrawBitmap(g); }
  void OnRescale() override { RefetchForScale(*this, *this); }
};

class IBKnobControl : public IKnobControlBase, public IBitmapBase {
public:
  IBKnobControl(const IRECT& bounds, const IBitmap& bitmap, int paramIdx, EDirection direction = kVertical,
                double gearing = 4.0);

  void Draw(IGraphics& g) override { DrawBitmap(g); }
  void OnRescale() override { RefetchForScale(*this, *this); }
};

class IBKnobRotaterControl : public IBKnobControl {
public:
  using IBKnobControl::IBKnobControl;

  // The image turned about the centre from -130 (value 0) to +130 degrees.
  void Draw(IGraphics& g) override;
};

class IBSliderControl : public ISliderControlBase, public IBitmapBase {
public:
  IBSliderControl(float x, float y, float trackLength, const IBitmap& handleBitmap, const IBitmap& trackBitmap,
                  int paramIdx, EDirection direction = kVertical, double gearing = 4.0);
  IBSliderControl(const IRECT& bounds, const IBitmap& handleBitmap, const IBitmap& trackBitmap, int paramIdx,
                  EDirection direction = kVertical, double gearing = 4.0);

  void Draw(IGraphics& g) override;
  void OnResize() override;
  // Only the handle is re-fetched; the track keeps its image.
  void OnRescale() override { RefetchForScale(*this, *this); }

  // The handle for value (a negative value: record 0's); it travels the
  // track less one frame of the handle, top (or right) at 1.
  IRECT GetHandleBounds(double value = -1.0) const;

protected:
  IBitmap mTrackBitmap;
};

class IBTextControl : public ITextControl, public IBitmapBase {
public:
  IBTextControl(const IRECT& bounds, const IBitmap& bitmap, const IText& text = DEFAULT_TEXT, const char* str = "",
                int charWidth = 6, int charHeight = 12, int charOffset = 0, bool multiLine = true, bool vCentre = true,
                EBlend blend = kBlendDefault);

  void Draw(IGraphics& g) override;
  void OnRescale() override { RefetchForScale(*this, *this); }

protected:
  int mCharWidth;
  int mCharHeight;
  int mCharOffset;
  bool mMultiLine;
  bool mVCentre;
};

} // namespace plugin::igraphics
