#pragma once
// Text in a rectangle over a background, and what is built on it: a
// clickable link, a two-state text button, a parameter's display value with
// a popup triangle for enumerations, and a layout place holder that shows
// its own position and size.

#include "IControl.h"
#include "IGraphicsConstants.h"
#include "UT_String.h"

namespace plugin::igraphics {

class ITextControl : public IControl {
public:
  ITextControl(const IRECT& bounds, const char* str = "", const IText& text = DEFAULT_TEXT,
               const IColor& bg = COLOR_TRANSPARENT, bool setBoundsBasedOnStr = false);

  void Draw(IGraphics& g) override;
  void OnInit() override;

  // Neither marks the control dirty: callers that change the text do.
  virtual void SetStr(const char* str);
  // At most maxLength characters of the formatted text.
  virtual void SetStrFmt(int maxLength, const char* fmt, ...) __attribute__((format(printf, 3, 4)));
  virtual void ClearStr() { SetStr(""); }

  // Resizes the control to its measured text about its current centre.
  void SetBoundsBasedOnStr();
  const char* GetStr() const { return mStr.Get(); }
  void SetBGColor(const IColor& c) { mBGColor = c; }

protected:
  UT_String mStr;
  IColor mBGColor;
  bool mSetBoundsBasedOnStr;
};

class IURLControl : public ITextControl {
public:
  IURLControl(const IRECT& bounds, const char* str, const char* url, const IText& text = DEFAULT_TEXT,
              const IColor& bg = COLOR_TRANSPARENT, const IColor& mouseOverColor = COLOR_WHITE,
              const IColor& visitedColor = COLOR_VIOLET);

  void Draw(IGraphics& g) override;
  void OnMouseDown(float x, float y, const IMouseMod& mod) override;
  void OnMouseOver(float x, float y, const IMouseMod& mod) override;
  void OnMouseOut() override;
  bool GetVisited() const { return mVisited; }

protected:
  UT_String mURL;
  IColor mNormalColor;
  IColor mMouseOverColor;
  IColor mVisitedColor;
  bool mVisited = false;
};

class ITextToggleControl : public ITextControl {
public:
  ITextToggleControl(const IRECT& bounds, int paramIdx, const char* offText = "OFF", const char* onText = "ON",
                     const IText& text = DEFAULT_TEXT, const IColor& bg = COLOR_TRANSPARENT);
  ITextToggleControl(const IRECT& bounds, IActionFunction action, const char* offText = "OFF",
                     const char* onText = "ON", const IText& text = DEFAULT_TEXT, const IColor& bg = COLOR_TRANSPARENT);

  void OnMouseDown(float x, float y, const IMouseMod& mod) override;
  // Shows the on-text while the value is above 0.5.
  void SetDirty(bool triggerAction = true, int valIdx = -1) override;

protected:
  UT_String mOffText;
  UT_String mOnText;
};

class ICaptionControl : public ITextControl {
public:
  ICaptionControl(const IRECT& bounds, int paramIdx, const IText& text = DEFAULT_TEXT,
                  const IColor& bg = COLOR_TRANSPARENT, bool showParamLabel = true);

  void Draw(IGraphics& g) override;
  void OnMouseDown(float x, float y, const IMouseMod& mod) override;
  void OnResize() override;
  const IRECT& GetTriangleRECT() const { return mTriangleRECT; }

protected:
  bool mShowParamLabel;
  IColor mTriangleColor = COLOR_BLACK;
  IColor mTriangleMouseOverColor = COLOR_WHITE;
  IRECT mTriangleRECT;
};

class PlaceHolder : public ITextControl {
public:
  PlaceHolder(const IRECT& bounds, const char* str = "Place Holder");

  void Draw(IGraphics& g) override;
  void OnResize() override;
  void OnMouseDblClick(float x, float y, const IMouseMod& mod) override;
  void OnTextEntryCompletion(const char* str, int valIdx) override;

  const char* GetPositionStr() const { return mPositionStr.Get(); }
  const char* GetWidthStr() const { return mWidthStr.Get(); }
  const char* GetHeightStr() const { return mHeightStr.Get(); }

protected:
  IRECT mCentreLabelRECT;
  UT_String mPositionStr;
  UT_String mWidthStr;
  UT_String mHeightStr;
  IText mPositionText;
  IText mWidthText;
  IText mHeightText;
};

} // namespace plugin::igraphics
