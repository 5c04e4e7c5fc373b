#include "PopupMenuPanel.h"

#include <algorithm>
#include <cmath>

#include "FloatToInt.h"

namespace plugin::igraphics {

MenuPanel::MenuPanel(IPopupMenu& menu, float x, float y, int parentIdx, float cw, float tH, const PanelMetrics& m)
: mMenu(&menu), mItemRect(x, y, x + cw, y + tH), mParentIndex(parentIdx), mNItems(menu.NItems())
{
  const IRECT& M = m.maxBounds;
  const int n = mNItems;
  auto rowHeight = [&](int i) {
    const IPopupMenu::Item* item = menu.GetItem(i);
    return item && item->GetIsSeparator() ? m.separatorHeight : tH;
  };
  // Rows stacked downward from top, one per item from 'first', with the
  // gap between them; uniform rows when scrolling, since items move through them.
  auto stack = [&](float left, float top, int count, bool uniform) {
    for (int i = 0; i < count; ++i) {
      const float h = uniform ? tH : rowHeight(i);
      mCells.emplace_back(left, top, left + cw, top + h);
      top += h + m.cellGap;
    }
  };

  float left = x + m.padding;
  float top = y + m.padding;
  int inColumn = 0;
  for (int i = 0; i < n; ++i) {
    const float h = rowHeight(i);
    const bool columnFull = i > 1 && m.maxColumnItems > 0 && i % m.maxColumnItems == 0;
    const bool tooLow = top + h + m.padding > M.B;
    if (columnFull || tooLow) {
      if (!m.scrollIfTooBig) {
        // A column always keeps at least one row, however short the editor.
        if (inColumn > 0) {
          left += cw + m.cellGap;
          top = y + m.padding;
          inColumn = 0;
        }
      } else {
        mCells.clear();
        const float scrollTop = m.padding + M.T + m.shadowSize;
        const float rows = std::floor((M.B - m.padding - scrollTop) / (tH + m.cellGap));
        // An up arrow, an item and a down arrow at the least.
        mMaxCells = std::max(kMinScrollRows, std::min(FloatToInt<int>(rows), 1000000));
        if (mMaxCells <= n) {
          mScrolls = true;
          stack(left, scrollTop, mMaxCells, true);
        } else {
          // Shifted up to end near y, but never above the editor.
          const float shifted = y + m.padding + tH - static_cast<float>(n) * tH;
          stack(left, std::max(shifted, scrollTop), n, false);
        }
        break;
      }
    }
    mCells.emplace_back(left, top, left + cw, top + h);
    top += h + m.cellGap;
    ++inColumn;
  }

  IRECT rows;
  for (const IRECT& c : mCells)
    rows = rows.Union(c);
  const IRECT& content = m.expandedBounds.W() != 0.f ? m.expandedBounds : rows;
  mRect = content.GetPadded(m.padding);
  mShadowRect = content.GetPadded(m.shadowSize + m.padding);
}

IPopupMenu::Item* MenuPanel::ItemAtRow(int row) const
{
  if (!mMenu || row < 0 || row >= NRows())
    return nullptr;
  return mMenu->GetItem(mScrollOffset + row);
}

bool MenuPanel::IsUpArrowRow(int row) const { return mNItems > NRows() && row == 0 && mScrollOffset >= 1; }

bool MenuPanel::IsDownArrowRow(int row) const
{
  return mNItems > NRows() && row == NRows() - 1 && mScrollOffset < mNItems - NRows();
}

int MenuPanel::RowAt(float x, float y) const
{
  for (int i = 0; i < NRows(); ++i)
    if (mCells[static_cast<size_t>(i)].Contains(x, y))
      return i;
  return -1;
}

int MenuPanel::MaxScrollOffset() const { return std::max(0, mNItems - NRows()); }

void MenuPanel::Scroll(int by) { mScrollOffset = std::clamp(mScrollOffset + by, 0, MaxScrollOffset()); }

} // namespace plugin::igraphics
