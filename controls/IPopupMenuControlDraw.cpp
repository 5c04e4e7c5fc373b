// How the drawn popup menu looks: panels with shadows, rows, check marks,
// submenu and scroll arrows, separators and callout arrows.

#include <algorithm>

#include "IGraphics.h"
#include "IPopupMenuControl.h"

namespace plugin::igraphics {

void IPopupMenuControl::Draw(IGraphics& g)
{
  // Once answered the control is hidden and its panels hold no menus.
  if (mHide)
    return;
  for (auto& owned : mMenuPanels) {
    MenuPanel& panel = *owned;
    if (!panel.mVisible || !panel.mMenu)
      continue;
    const IBlend* blend = &panel.mBlend;
    DrawPanelShadow(g, panel);
    DrawPanelBackground(g, panel);
    const bool scrolling = panel.mNItems > panel.NRows();
    for (int row = 0; row < panel.NRows(); ++row) {
      const IRECT& cell = panel.mCells[static_cast<size_t>(row)];
      const bool selected = (&panel == mActivePanel && row == mMouseCell) || row == panel.mHighlightedCell;
      if (scrolling && panel.IsUpArrowRow(row)) {
        DrawCellBackground(g, cell, nullptr, selected, blend);
        DrawUpArrow(g, cell, selected, blend);
        continue;
      }
      if (scrolling && panel.IsDownArrowRow(row)) {
        DrawCellBackground(g, cell, nullptr, selected, blend);
        DrawDownArrow(g, cell, selected, blend);
        continue;
      }
      const IPopupMenu::Item* item = panel.ItemAtRow(row);
      if (!item)
        continue;
      if (item->GetIsSeparator()) {
        DrawSeparator(g, cell, blend);
        continue;
      }
      if (!(mState == kPopupConfirming && panel.mClickedCell >= 0))
        DrawCellBackground(g, cell, item, selected, blend);
      DrawCellText(g, cell, item, selected, blend);
      if (item->GetChecked())
        DrawCheckMark(g, cell, item, selected, blend);
      if (item->GetSubmenu())
        DrawSubMenuArrow(g, cell, item, selected, blend);
    }
  }
  if (mCallout && !mMenuPanels.empty()) {
    const IBlend* first = &mMenuPanels.front()->mBlend;
    DrawCalloutArrow(g, mCalloutRect, first);
    if (mHasSubmenus && mSubmenuCalloutShown)
      DrawSubMenuCalloutArrow(g, mSubmenuCalloutRect, first);
  }
}

void IPopupMenuControl::DrawPanelShadow(IGraphics& g, const MenuPanel& panel)
{
  g.DrawFastDropShadow(panel.mShadowRect.GetPadded(-mShadowSize), panel.mShadowRect, 2.f, mRoundness, 10.f,
                       &panel.mBlend);
}

void IPopupMenuControl::DrawPanelBackground(IGraphics& g, const MenuPanel& panel)
{
  g.FillRoundRect(mPanelColor, panel.mRect, mRoundness, &panel.mBlend);
}

void IPopupMenuControl::DrawCellBackground(IGraphics& g, const IRECT& cell, const IPopupMenu::Item*, bool selected,
                                           const IBlend* blend)
{
  if (selected)
    g.FillRect(mCellHighlightColor, IRECT(cell.L - mPadding, cell.T, cell.R + mPadding, cell.B), blend);
}

void IPopupMenuControl::DrawCellText(IGraphics& g, const IRECT& cell, const IPopupMenu::Item* item, bool selected,
                                     const IBlend* blend)
{
  IText text = mText;
  text.mFGColor = selected ? mHighlightTextColor : (item && !item->GetEnabled() ? mDisabledTextColor : mTextColor);
  text.mAlign = kAlignNear;
  const float k = mCheckAreaWidth;
  const float q = std::max(1.f, k);
  const IRECT r(cell.L + k / 2.f + q / 2.f + mTextPadding, cell.T, cell.R - mTextPadding, cell.B);
  g.DrawText(text, item ? item->GetText() : "", r, blend);
}

void IPopupMenuControl::DrawCheckMark(IGraphics& g, const IRECT& cell, const IPopupMenu::Item*, bool selected,
                                      const IBlend* blend)
{
  const float side = std::max(1.f, mCheckAreaWidth / 2.f);
  const float cx = cell.L + mCheckAreaWidth / 2.f, cy = cell.MH();
  g.FillRoundRect(selected ? mHighlightTextColor : mTextColor,
                  IRECT(cx - side / 2.f, cy - side / 2.f, cx + side / 2.f, cy + side / 2.f), 2.f, blend);
}

void IPopupMenuControl::DrawSubMenuArrow(IGraphics& g, const IRECT& cell, const IPopupMenu::Item*, bool selected,
                                         const IBlend* blend)
{
  const float h = cell.H(), cy = cell.MH();
  const float tipX = mExpandRight ? cell.R + mPadding / 2.f : cell.L - mPadding / 2.f;
  const float baseX = mExpandRight ? tipX - h / 2.f : tipX + h / 2.f;
  g.FillTriangle(selected ? mHighlightTextColor : mTextColor, tipX, cy, baseX, cy - h / 4.f, baseX, cy + h / 4.f,
                 blend);
}

void IPopupMenuControl::DrawUpArrow(IGraphics& g, const IRECT& cell, bool selected, const IBlend* blend)
{
  const float a = 0.6f * cell.H(), cx = cell.MW(), cy = cell.MH();
  g.FillTriangle(selected ? mHighlightTextColor : mTextColor, cx, cy - a / 2.f, cx - a / 2.f, cy + a / 2.f,
                 cx + a / 2.f, cy + a / 2.f, blend);
}

void IPopupMenuControl::DrawDownArrow(IGraphics& g, const IRECT& cell, bool selected, const IBlend* blend)
{
  const float a = 0.6f * cell.H(), cx = cell.MW(), cy = cell.MH();
  g.FillTriangle(selected ? mHighlightTextColor : mTextColor, cx, cy + a / 2.f, cx - a / 2.f, cy - a / 2.f,
                 cx + a / 2.f, cy - a / 2.f, blend);
}

void IPopupMenuControl::DrawSeparator(IGraphics& g, const IRECT& cell, const IBlend* blend)
{
  // Only once the panel is nearly opaque, and always faint.
  if (blend && blend->mWeight > 0.9f) {
    const IBlend faint{kBlendDefault, 0.25f};
    g.FillRect(mSeparatorColor, cell, &faint);
  }
}

namespace {

// A triangle of side d centred in r, apex towards direction (0 down,
// 1 left, 2 up, 3 right).
void FillCallout(IGraphics& g, const IColor& color, const IRECT& r, int direction, const IBlend* blend)
{
  const float d = r.H(), cx = r.MW(), cy = r.MH(), h = d / 2.f;
  switch (direction) {
  case 0: g.FillTriangle(color, cx, cy + h, cx - h, cy - h, cx + h, cy - h, blend); break;
  case 1: g.FillTriangle(color, cx - h, cy, cx + h, cy - h, cx + h, cy + h, blend); break;
  case 2: g.FillTriangle(color, cx, cy - h, cx - h, cy + h, cx + h, cy + h, blend); break;
  default: g.FillTriangle(color, cx + h, cy, cx - h, cy - h, cx - h, cy + h, blend); break;
  }
}

} // namespace

void IPopupMenuControl::DrawCalloutArrow(IGraphics& g, const IRECT& bounds, const IBlend* blend)
{
  FillCallout(g, mPanelColor, bounds, mCalloutDirection, blend);
}

void IPopupMenuControl::DrawSubMenuCalloutArrow(IGraphics& g, const IRECT& bounds, const IBlend* blend)
{
  // Points back at the row the submenu came from.
  FillCallout(g, mPanelColor, bounds, mExpandRight ? 1 : 3, blend);
}

} // namespace plugin::igraphics
