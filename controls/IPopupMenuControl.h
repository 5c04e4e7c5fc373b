#pragma once
// The editor's own popup menu: shows an IPopupMenu inside the editor as one
// panel per open level (the root and each opened submenu), placed next to
// the area that asked for it, faded in and out, with hover, submenus on
// hover, scrolling panels taller than the editor, keys and the wheel. The
// choice goes back through the menu's completion function and
// IGraphics::SetControlValueAfterPopupMenu. One per editor, outside the
// control list. Main thread only.
//
// Once the answer is handed back the panels keep only their geometry: the
// menus they showed belong to the caller, who may rebuild them at once.

#include <memory>
#include <vector>

#include "IControl.h"
#include "IGraphicsConstants.h"
#include "IPopupMenu.h"
#include "ISpecialControls.h"
#include "PopupMenuPanel.h"

namespace plugin::igraphics {

class IPopupMenuControl : public IControl, public IPopupMenuSlot {
public:
  enum EPopupState : int {
    kPopupHidden = 0,
    kPopupOpening,
    kPopupOpen,
    kPopupFading,
    kPopupConfirming,
    kPopupSubmenuOpening,
    kPopupClosing
  };

  IPopupMenuControl(int paramIdx = -1, const IText& text = DEFAULT_TEXT, const IRECT& collapsedBounds = IRECT(),
                    const IRECT& expandedBounds = IRECT());
  ~IPopupMenuControl() override;

  // Opens menu next to anchorBounds when hidden. While a menu is closing
  // the request is refused: nothing here changes and the caller is answered
  // at once with no choice.
  void CreatePopupMenu(IPopupMenu& menu, const IRECT& anchorBounds) override;
  // Shown or animating.
  bool GetExpanded() const { return mState != kPopupHidden; }
  // Waiting for a choice (opening, open or a submenu opening): only then
  // does the menu take every click and key.
  bool IsWaitingForChoice() const
  {
    return mState == kPopupOpening || mState == kPopupOpen || mState == kPopupSubmenuOpening;
  }
  bool IsMenuOpen() const override { return IsWaitingForChoice(); }
  // Closes a menu that waits for a choice, answering "no choice".
  void CollapseWithoutChoice() override;
  EPopupState GetState() const { return mState; }

  void OnMouseDown(float x, float y, const IMouseMod& mod) override;
  void OnMouseDrag(float x, float y, float dX, float dY, const IMouseMod& mod) override;
  // Scrolls the active panel one item per notch (positive: towards the top).
  void OnMouseWheel(float x, float y, const IMouseMod& mod, float d) override;
  void OnMouseOver(float x, float y, const IMouseMod& mod) override;
  void OnMouseOut() override { mMouseCell = -1; }
  // Up and down move the highlight, right opens a submenu, left returns to
  // the parent panel, Return chooses, Escape closes without a choice.
  bool OnKeyDown(float x, float y, const IKeyPress& key) override;
  void Draw(IGraphics& g) override;
  void OnEndAnimation() override;

  // Drawing steps, overridable for another look.
  virtual void DrawCalloutArrow(IGraphics& g, const IRECT& bounds, const IBlend* blend);
  virtual void DrawSubMenuCalloutArrow(IGraphics& g, const IRECT& bounds, const IBlend* blend);
  virtual void DrawPanelBackground(IGraphics& g, const MenuPanel& panel);
  virtual void DrawPanelShadow(IGraphics& g, const MenuPanel& panel);
  virtual void DrawCellBackground(IGraphics& g, const IRECT& cell, const IPopupMenu::Item* item, bool selected,
                                  const IBlend* blend);
  virtual void DrawCellText(IGraphics& g, const IRECT& cell, const IPopupMenu::Item* item, bool selected,
                            const IBlend* blend);
  virtual void DrawCheckMark(IGraphics& g, const IRECT& cell, const IPopupMenu::Item* item, bool selected,
                             const IBlend* blend);
  virtual void DrawSubMenuArrow(IGraphics& g, const IRECT& cell, const IPopupMenu::Item* item, bool selected,
                                const IBlend* blend);
  virtual void DrawUpArrow(IGraphics& g, const IRECT& cell, bool selected, const IBlend* blend);
  virtual void DrawDownArrow(IGraphics& g, const IRECT& cell, bool selected, const IBlend* blend);
  virtual void DrawSeparator(IGraphics& g, const IRECT& cell, const IBlend* blend);
  // Chooses the row under the mouse, if selectable, hands the result back
  // and starts closing.
  virtual void CollapseEverything();

  // Content size of a menu (width, height) in the control's text.
  void MeasureMenu(const IPopupMenu& menu, float& width, float& height) const;
  // Union of every item text's measured rectangle.
  IRECT GetLargestCellRectForMenu(const IPopupMenu& menu) const;

  int NPanels() const { return static_cast<int>(mMenuPanels.size()); }
  const MenuPanel* GetPanel(int i) const
  {
    return i >= 0 && i < NPanels() ? mMenuPanels[static_cast<size_t>(i)].get() : nullptr;
  }
  const MenuPanel* GetActivePanel() const { return mActivePanel; }
  int GetMouseCell() const { return mMouseCell; }
  IPopupMenu* GetMenu() const { return mMenu; }
  int GetCalloutDirection() const { return mCalloutDirection; }
  const IRECT& GetCalloutRect() const { return mCalloutRect; }
  bool GetExpandRight() const { return mExpandRight; }

  // Look and behaviour.
  void SetMaxColumnItems(int n) { mMaxColumnItems = n; }
  void SetScrollIfTooBig(bool scroll) { mScrollIfTooBig = scroll; }
  void SetCallout(bool callout) { mCallout = callout; }
  void SetPreferBelow(bool below) { mPreferBelow = below; }
  void SetSubmenuXOffset(float offset) { mSubmenuXOffset = offset; }

protected:
  // Opens when hidden; false when refused.
  bool Open(IPopupMenu& menu, const IRECT& anchorBounds);
  PanelMetrics Metrics() const;
  // Builds and appends a panel; returns it.
  MenuPanel* AddPanel(IPopupMenu& menu, float x, float y, int parentIdx);
  int PanelIndex(const MenuPanel* panel) const;
  // The row of the active panel under the point that may be hit: an arrow
  // row or a row whose item is enabled. -1 for none.
  int SelectableRowAt(const MenuPanel& panel, float x, float y) const;
  void PlaceRoot(float w, float h, float& x, float& y);
  void OnSubmenuHover();
  void ScrollActivePanel(int by);
  void ChooseRow(int row);
  void AnimationStep();
  void SetAllWeights(float weight);

  std::vector<std::unique_ptr<MenuPanel>> mMenuPanels;
  MenuPanel* mActivePanel = nullptr;
  MenuPanel* mAppearingPanel = nullptr;
  EPopupState mState = kPopupHidden;
  int mMouseCell = -1; // row of the active panel
  IPopupMenu* mMenu = nullptr;
  int mMaxColumnItems = 0;
  bool mScrollIfTooBig = true;
  bool mCallout = false;
  bool mHasSubmenus = false;
  bool mPreferBelow = true;
  bool mExpandRight = true;
  bool mSubmenuCalloutShown = false;
  float mCellGap = 2.f;
  float mSeparatorHeight = 2.f;
  float mRoundness = 5.f;
  float mShadowSize = 10.f;
  float mOpacity = 0.95f;
  float mSubmenuXOffset = 0.f;
  float mTextPadding = 5.f;
  float mCheckAreaWidth = 10.f;
  float mArrowAreaWidth = 8.f;
  float mPadding = 5.f;
  float mCalloutSize = 8.f;
  IRECT mAnchorBounds;
  int mCalloutDirection = 1;
  IRECT mCalloutRect;
  IRECT mSubmenuCalloutRect;
  IRECT mMaxBounds;
  IColor mPanelColor = COLOR_WHITE;
  IColor mCellHighlightColor = COLOR_BLUE;
  IColor mHighlightTextColor = COLOR_WHITE;
  IColor mTextColor = COLOR_BLACK;
  IColor mDisabledTextColor = COLOR_GRAY;
  IColor mSeparatorColor = COLOR_MID_GRAY;
  IRECT mCollapsedBounds;
  IRECT mExpandedBounds;
};

} // namespace plugin::igraphics
