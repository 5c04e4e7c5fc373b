#pragma once
// The states of a switch as a row or column of adjacent tabs, each with its
// own text; a click selects the tab under the pointer. The radio-button
// control draws each state as a small button followed by its text.

#include <string>
#include <vector>

#include "IControlBases.h"
#include "IVectorBase.h"

namespace plugin::igraphics {

enum ETabPart : int { kTabStart = 0, kTabMid, kTabEnd };

class IVTabSwitchControl : public ISwitchControlBase, public IVectorBase {
public:
  // One state per option text, committed with the splash click.
  IVTabSwitchControl(const IRECT& bounds, int paramIdx = -1, const std::vector<const char*>& options = {},
                     const char* label = "", const IVStyle& style = DEFAULT_STYLE, EVShape shape = kVShapeRectangle,
                     EDirection direction = kHorizontal);
  IVTabSwitchControl(const IRECT& bounds, IActionFunction action, const std::vector<const char*>& options,
                     const char* label = "", const IVStyle& style = DEFAULT_STYLE, EVShape shape = kVShapeRectangle,
                     EDirection direction = kHorizontal);

  void Draw(IGraphics& g) override;
  void DrawWidget(IGraphics& g) override;
  virtual void DrawTab(IGraphics& g, const IRECT& r, bool pressed, bool mouseOver, ETabPart segment, bool disabled);
  // First tab containing the point, -1 for none.
  virtual int GetTabAtPoint(float x, float y) const;

  void OnInit() override;
  void OnResize() override;
  void OnMouseDown(float x, float y, const IMouseMod& mod) override;
  void OnMouseOver(float x, float y, const IMouseMod& mod) override;
  void OnMouseOut() override;
  bool IsHit(float x, float y) const override { return GetTabAtPoint(x, y) >= 0; }

  // The selected state's text, "" when it has none.
  const char* GetSelectedTabText() const;
  int GetSelectedIdx() const;
  int GetHoverTab() const { return mHoverTab; }
  const std::vector<IRECT>& GetTabRects() const { return mTabRects; }

protected:
  void SetUpTexts(const std::vector<const char*>& options);
  // Tab i's text, or null.
  const char* TabText(int i) const;

  int mHoverTab = -1;
  std::vector<IRECT> mTabRects;
  std::vector<std::string> mTabTexts;
  EDirection mDirection;
};

class IVRadioButtonControl : public IVTabSwitchControl {
public:
  IVRadioButtonControl(const IRECT& bounds, int paramIdx = -1, const std::vector<const char*>& options = {},
                       const char* label = "", const IVStyle& style = DEFAULT_STYLE, EVShape shape = kVShapeEllipse,
                       EDirection direction = kVertical, float buttonSize = 10.f);
  IVRadioButtonControl(const IRECT& bounds, IActionFunction action, const std::vector<const char*>& options,
                       const char* label = "", const IVStyle& style = DEFAULT_STYLE, EVShape shape = kVShapeEllipse,
                       EDirection direction = kVertical, float buttonSize = 10.f);

  void DrawWidget(IGraphics& g) override;
  int GetTabAtPoint(float x, float y) const override;
  void SetButtonColumnHitOnly(bool only) { mButtonColumnHitOnly = only; }

protected:
  void AlignTextLeft();

  float mRadioSize;
  float mRadioColumnWidth;
  bool mButtonColumnHitOnly = false;
};

} // namespace plugin::igraphics
