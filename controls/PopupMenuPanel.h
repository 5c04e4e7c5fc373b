#pragma once
// One open level of the drawn popup menu: its rows laid out from the menu's
// measured size, stacked into columns or scrolled when the editor is too
// short, and the scroll state. Pure geometry: measuring is done by the
// caller, so the layout is the same with any back end.

#include <vector>

#include "IGraphicsStructs.h"
#include "IPopupMenu.h"
#include "IRECT.h"

namespace plugin::igraphics {

// The control's spacing, as the layout needs it.
struct PanelMetrics {
  float cellGap = 2.f;
  float separatorHeight = 2.f;
  float shadowSize = 10.f;
  float padding = 5.f;
  int maxColumnItems = 0;
  bool scrollIfTooBig = true;
  IRECT maxBounds;      // the editor
  IRECT expandedBounds; // with a width, every panel takes it
};

// Fewest rows of a scrolling panel: an up arrow, one item and a down arrow.
inline constexpr int kMinScrollRows = 3;

struct MenuPanel {
  // Lays the rows of menu out at (x, y); cw is the content width and tH the
  // text height of one row.
  MenuPanel(IPopupMenu& menu, float x, float y, int parentIdx, float cw, float tH, const PanelMetrics& m);

  int NRows() const { return static_cast<int>(mCells.size()); }
  // Item shown in a row (offset + row), null when out of range.
  IPopupMenu::Item* ItemAtRow(int row) const;
  // Row 0 shows an up arrow, the last row a down arrow, while there is more
  // to scroll in that direction.
  bool IsUpArrowRow(int row) const;
  bool IsDownArrowRow(int row) const;
  bool IsArrowRow(int row) const { return IsUpArrowRow(row) || IsDownArrowRow(row); }
  // First row containing the point (left and top inclusive), -1 for none.
  int RowAt(float x, float y) const;
  // Moves the first shown item by 'by', kept in [0, items - rows].
  void Scroll(int by);
  int MaxScrollOffset() const;
  // Drops the menu pointer once the menu is no longer ours to read.
  void ForgetMenu() { mMenu = nullptr; }

  IPopupMenu* mMenu;
  std::vector<IRECT> mCells;
  IRECT mShadowRect;
  IRECT mRect;
  int mMaxCells = 0;
  bool mVisible = true;
  IBlend mBlend{kBlendDefault, 0.f};
  IRECT mItemRect;
  int mHighlightedCell = -1; // row whose submenu is open
  int mClickedCell = -1;
  int mParentIndex;
  bool mScrolls = false;
  int mScrollOffset = 0;
  int mNItems = 0;
};

} // namespace plugin::igraphics
