#pragma once
// Style of the vector controls and the base they inherit beside IControl:
// the style, the label and value texts, the label / widget / value
// rectangles, and the drawing of the shared pieces (background, texts, the
// pressable shapes with shadow, emboss, hover and frame, the click splash).

#include <initializer_list>
#include <vector>

#include "IControl.h"
#include "IGraphicsConstants.h"
#include "IGraphicsStructs.h"
#include "UT_String.h"

namespace plugin::igraphics {

class IGraphics;

enum EVColorRole : int {
  kBackground = 0,
  kForeground,
  kPressed,
  kFrame,
  kHover,
  kShadow,
  kExtra1,
  kExtra2,
  kExtra3,
  kNumVColors
};

enum EVShape : int { kVShapeRectangle = 0, kVShapeEllipse, kVShapeTriangle, kVShapeEndsRounded, kVShapeAllRounded };

inline constexpr IColor DEFAULT_BGCOLOR = COLOR_TRANSPARENT;
inline constexpr IColor DEFAULT_FGCOLOR = COLOR_MID_GRAY;
inline constexpr IColor DEFAULT_PRCOLOR = COLOR_LIGHT_GRAY;
inline constexpr IColor DEFAULT_FRCOLOR = COLOR_DARK_GRAY;
inline constexpr IColor DEFAULT_HLCOLOR = COLOR_TRANSLUCENT;
inline constexpr IColor DEFAULT_SHCOLOR(60, 0, 0, 0);
inline constexpr IColor DEFAULT_X1COLOR = COLOR_BLACK;
inline constexpr IColor DEFAULT_X2COLOR = COLOR_GREEN;
inline constexpr IColor DEFAULT_X3COLOR = COLOR_BLUE;

struct IVColorSpec {
  IColor mColors[kNumVColors] = {DEFAULT_BGCOLOR, DEFAULT_FGCOLOR, DEFAULT_PRCOLOR, DEFAULT_FRCOLOR, DEFAULT_HLCOLOR,
                                 DEFAULT_SHCOLOR, DEFAULT_X1COLOR, DEFAULT_X2COLOR, DEFAULT_X3COLOR};
  // List entries past the ninth, kept in order at indices 9, 10, ... (a
  // colour swatch may show them).
  std::vector<IColor> mMoreColors;

  IVColorSpec() = default;
  // Entry i fills index i; roles past the list keep their defaults.
  IVColorSpec(std::initializer_list<IColor> colors);

  int NColors() const { return kNumVColors + static_cast<int>(mMoreColors.size()); }
  // Transparent for an index outside 0..NColors()-1.
  const IColor& GetColor(int idx) const;
  // An index outside 0..NColors()-1 is ignored.
  void SetColor(int idx, const IColor& c);
  void ResetColors() { *this = IVColorSpec(); }
};

inline const IVColorSpec DEFAULT_COLOR_SPEC{};

inline const IText DEFAULT_LABEL_ITEXT(19.f, COLOR_BLACK, "Roboto-Regular", kAlignCenter, kVAlignTop);
inline const IText DEFAULT_VALUE_ITEXT(14.f, COLOR_BLACK, "Roboto-Regular", kAlignCenter, kVAlignBottom);

struct IVStyle {
  bool hideCursorOnDrag = true;
  bool labelVisible = true;
  bool valueVisible = true;
  bool frameOn = true;
  bool shadowsOn = true;
  bool embossed = false;
  float cornerRoundness = 0.f;
  float frameWidth = 1.f;
  float shadowDistance = 3.f;
  float widgetScale = 1.f;
  float triangleAngle = 0.f;
  IVColorSpec colors = DEFAULT_COLOR_SPEC;
  IText labelStyle = DEFAULT_LABEL_ITEXT;
  IText valueStyle = DEFAULT_VALUE_ITEXT;

  const IColor& GetColor(int idx) const { return colors.GetColor(idx); }
};

inline const IVStyle DEFAULT_STYLE{};

class IVectorBase {
public:
  IVectorBase(const IVStyle& style, bool labelInWidget = false, bool valueInWidget = false);
  virtual ~IVectorBase() = default;

  // Every vector control calls this from its constructor, with itself.
  void AttachIControl(IControl* control, const char* label);

  virtual void SetStyle(const IVStyle& style) { mStyle = style; }
  virtual void DrawBackground(IGraphics& g, const IRECT& r);
  virtual void DrawWidget(IGraphics&) {}
  virtual void DrawLabel(IGraphics& g);
  virtual void DrawValue(IGraphics& g, bool mouseOver);
  virtual void DrawPressableShape(IGraphics& g, EVShape shape, const IRECT& bounds, bool pressed, bool mouseOver,
                                  bool disabled);

  void DrawPressableRect(IGraphics& g, const IRECT& bounds, bool pressed, bool mouseOver, bool disabled,
                         bool roundTopLeft = true, bool roundTopRight = true, bool roundBottomRight = true,
                         bool roundBottomLeft = true);
  void DrawPressableEllipse(IGraphics& g, const IRECT& bounds, bool pressed, bool mouseOver, bool disabled);
  void DrawPressableTriangle(IGraphics& g, const IRECT& bounds, bool pressed, bool mouseOver, bool disabled,
                             float angle);
  // An empty clip means the current clip alone.
  void DrawClickSplash(IGraphics& g, const IRECT& clip = IRECT());

  // The owner's value 0 as its linked parameter's display text (with the
  // unit label when asked); nothing changes for an unlinked owner.
  void SetValueStrFromParam(bool withLabel);
  // The linked parameter's name becomes the label when the label is empty.
  void SetLabelFromParamIfEmpty();

  // Fills the three rectangles and returns the space left under the label.
  IRECT MakeRects(const IRECT& parent, bool hasHandle = false);

  // role's colour, 63 levels darker per channel (alpha kept) when disabled.
  IColor GetAdjustedColor(EVColorRole role, bool disabled) const;
  const IColor& GetColor(int idx) const { return mStyle.colors.GetColor(idx); }
  void SetColor(int idx, const IColor& c) { mStyle.colors.SetColor(idx, c); }
  const IVStyle& GetStyle() const { return mStyle; }

  void SetLabelStr(const char* str) { mLabelString.Set(str ? str : ""); }
  const char* GetLabelStr() const { return mLabelString.Get(); }
  void SetValueStr(const char* str) { mValueString.Set(str ? str : ""); }
  const char* GetValueStr() const { return mValueString.Get(); }
  void SetShape(EVShape shape) { mShape = shape; }
  EVShape GetShape() const { return mShape; }

  void SetSplashPoint(float x, float y)
  {
    mSplashCentreX = x;
    mSplashCentreY = y;
  }
  float GetSplashX() const { return mSplashCentreX; }
  float GetSplashY() const { return mSplashCentreY; }
  void SetSplashRadius(float r) { mSplashRadius = r; }
  float GetSplashRadius() const { return mSplashRadius; }
  float GetSplashMaxRadius() const { return mSplashMaxRadius; }
  void SetSplashMaxRadius(float r) { mSplashMaxRadius = r; }

  const IRECT& GetWidgetBounds() const { return mWidgetRect; }
  const IRECT& GetLabelBounds() const { return mLabelRect; }
  const IRECT& GetValueBounds() const { return mValueRect; }
  IControl* GetOwner() const { return mOwner; }

protected:
  // bounds less half the frame and the shadow's room.
  IRECT HandleRect(const IRECT& bounds) const;
  const IBlend* ControlBlend() const { return mOwner ? &mOwner->GetBlend() : nullptr; }

  IControl* mOwner = nullptr;
  IVStyle mStyle;
  bool mLabelInside = false;
  bool mValueInside = false;
  float mSplashRadius = 0.f;
  float mSplashCentreX = 0.f;
  float mSplashCentreY = 0.f;
  float mSplashMaxRadius = 50.f;
  float mTrackWidth = 2.f;
  float mValueWidthFrac = 0.66f;
  IRECT mWidgetRect;
  IRECT mLabelRect;
  IRECT mValueRect;
  UT_String mLabelString;
  UT_String mValueString;
  EVShape mShape = kVShapeRectangle;
};

} // namespace plugin::igraphics
