// Opening, placement, the state machine, mouse, wheel and keys of the drawn
// popup menu. Drawing is in IPopupMenuControlDraw.cpp.

#include "IPopupMenuControl.h"

#include <algorithm>
#include <cmath>

#include "IGraphics.h"

namespace plugin::igraphics {

namespace {

constexpr int kOpenMs = 100;
constexpr int kSubmenuMs = 200;

enum EKey : int { kVKReturn = 13, kVKEscape = 27, kVKLeft = 37, kVKUp = 38, kVKRight = 39, kVKDown = 40 };

bool Choosable(const IPopupMenu::Item* item)
{
  return item && item->GetEnabled() && !item->GetIsSeparator() && !item->GetIsTitle();
}

} // namespace

IPopupMenuControl::IPopupMenuControl(int paramIdx, const IText& text, const IRECT& collapsedBounds,
                                     const IRECT& expandedBounds)
: IControl(collapsedBounds, paramIdx, nullptr), mCollapsedBounds(collapsedBounds), mExpandedBounds(expandedBounds)
{
  mText = text;
  // Captures nothing: the animation it installs may be replaced while it runs.
  mActionFunc = [](IControl* c) {
    auto* self = static_cast<IPopupMenuControl*>(c);
    self->SetAnimation([](IControl* a) { static_cast<IPopupMenuControl*>(a)->AnimationStep(); },
                       self->mState == kPopupSubmenuOpening ? kSubmenuMs : kOpenMs);
  };
  mHide = true;
}

IPopupMenuControl::~IPopupMenuControl() = default;

PanelMetrics IPopupMenuControl::Metrics() const
{
  PanelMetrics m;
  m.cellGap = mCellGap;
  m.separatorHeight = mSeparatorHeight;
  m.shadowSize = mShadowSize;
  m.padding = mPadding;
  m.maxColumnItems = mMaxColumnItems;
  m.scrollIfTooBig = mScrollIfTooBig;
  m.maxBounds = mMaxBounds;
  m.expandedBounds = mExpandedBounds;
  return m;
}

IRECT IPopupMenuControl::GetLargestCellRectForMenu(const IPopupMenu& menu) const
{
  IRECT u;
  if (!mGraphics)
    return u;
  for (int i = 0; i < menu.NItems(); ++i) {
    IRECT r;
    mGraphics->MeasureText(mText, menu.GetItem(i)->GetText(), r);
    u = u.Union(r); // an all-zero measure (no text) does not widen it
  }
  return u;
}

void IPopupMenuControl::MeasureMenu(const IPopupMenu& menu, float& width, float& height) const
{
  const IRECT u = GetLargestCellRectForMenu(menu);
  const float tH = u.H();
  width = u.W() + 2.f * mTextPadding + mCheckAreaWidth + mArrowAreaWidth;
  int separators = 0;
  for (int i = 0; i < menu.NItems(); ++i)
    separators += menu.GetItem(i)->GetIsSeparator() ? 1 : 0;
  const int n = menu.NItems();
  height = static_cast<float>(n - separators) * tH + static_cast<float>(separators) * mSeparatorHeight +
           static_cast<float>(std::max(n - 1, 0)) * mCellGap;
}

MenuPanel* IPopupMenuControl::AddPanel(IPopupMenu& menu, float x, float y, int parentIdx)
{
  const IRECT u = GetLargestCellRectForMenu(menu);
  const float cw = u.W() + 2.f * mTextPadding + mCheckAreaWidth + mArrowAreaWidth;
  mMenuPanels.push_back(std::make_unique<MenuPanel>(menu, x, y, parentIdx, cw, u.H(), Metrics()));
  return mMenuPanels.back().get();
}

int IPopupMenuControl::PanelIndex(const MenuPanel* panel) const
{
  for (int i = 0; i < NPanels(); ++i)
    if (mMenuPanels[static_cast<size_t>(i)].get() == panel)
      return i;
  return -1;
}

void IPopupMenuControl::CreatePopupMenu(IPopupMenu& menu, const IRECT& anchorBounds)
{
  if (!Open(menu, anchorBounds) && mGraphics)
    mGraphics->SetControlValueAfterPopupMenu(nullptr);
}

bool IPopupMenuControl::Open(IPopupMenu& menu, const IRECT& anchorBounds)
{
  // A menu still on screen keeps its own menu and flags; the newcomer is
  // refused and answered by the caller.
  if (mState != kPopupHidden || !mGraphics)
    return false;
  mMenu = &menu;
  mHasSubmenus = false;
  for (int i = 0; i < menu.NItems(); ++i)
    mHasSubmenus = mHasSubmenus || menu.GetItem(i)->GetSubmenu() != nullptr;
  mMaxBounds = mGraphics->GetBounds();

  float w = 0.f, h = 0.f;
  MeasureMenu(menu, w, h);
  Hide(false);
  mState = kPopupOpening;
  mGraphics->UpdateTooltips();
  mActivePanel = mAppearingPanel = nullptr;
  mMenuPanels.clear();
  mMouseCell = -1;
  mSubmenuCalloutShown = false;
  mAnchorBounds = anchorBounds;

  float x = 0.f, y = 0.f;
  PlaceRoot(w, h, x, y);
  MenuPanel* root = AddPanel(menu, x, y, -1);
  mActivePanel = mAppearingPanel = root;
  mRECT = root->mShadowRect;
  mTargetRECT = root->mRect;
  mMouseIsOver = false;
  OnResize();
  SetDirty(true);
  return true;
}

void IPopupMenuControl::PlaceRoot(float w, float h, float& x, float& y)
{
  const IRECT& A = mAnchorBounds;
  const IRECT& M = mMaxBounds;
  const float s = mShadowSize;
  const float c = mCallout ? mCalloutSize : 0.f;
  const float ts = mText.mSize;
  const float acx = A.MW(), acy = A.MH(), mcx = M.MW(), mcy = M.MH();
  const float xMin = M.L + s, xMax = M.R - w - 2.f * s;
  const float yMin = M.T + s, yMax = M.B - h - 2.f * s;
  auto clampX = [&] { x = x <= xMin ? xMin : std::min(x, xMax); };
  auto clampY = [&] { y = y <= yMin ? yMin : std::min(y, yMax); };

  auto below = [&] {
    mCalloutRect = IRECT(acx - c / 2.f, A.B, acx + c / 2.f, A.B + c);
    mCalloutDirection = 2;
    y = A.B + c;
  };
  auto above = [&] {
    mCalloutRect = IRECT(acx - c / 2.f, A.T - c, acx + c / 2.f, A.T);
    mCalloutDirection = 0;
    y = A.T - c - h - s;
  };
  auto beside = [&] {
    if (acx <= mcx) {
      x = A.R + c;
      mCalloutDirection = 1;
      mCalloutRect = IRECT(A.R, acy - c / 2.f, A.R + c, acy + c / 2.f);
    } else {
      x = A.L - c - w - s;
      mCalloutDirection = 3;
      mCalloutRect = IRECT(A.L - c, acy - c / 2.f, A.L, acy + c / 2.f);
    }
  };

  beside();
  y = acy <= mcy ? acy - (ts + c) : acy - h + ts + c;
  if (x > xMax || y <= yMin || y > yMax || x <= xMin) {
    if (acy <= mcy && (x > xMax || y <= yMin || x <= xMin)) {
      if (A.B + c <= yMax) {
        below();
        x = acx - w / 2.f;
      } else {
        beside();
        y = yMax;
      }
    }
    if (acy > mcy && (x > xMax || y > yMax || x <= xMin)) {
      if (A.T - c - h - s <= yMin) {
        beside();
        y = yMin;
      } else {
        above();
        x = acx - w / 2.f;
      }
    }
    clampX();
    clampY();
    y = std::max(y, 0.f);
  }
  if (mPreferBelow && A.B + c <= yMax) {
    below();
    x = acx - w / 2.f;
    clampX();
  }
  if (mHasSubmenus) {
    mExpandRight = acx <= mcx;
    x = acx - w / 2.f + (acx <= mcx ? -mSubmenuXOffset : mSubmenuXOffset);
    clampX();
    if (A.T - M.T <= M.B - A.B)
      below();
    else
      above();
    clampY();
  }
}

// ---- Animation ------------------------------------------------------------

void IPopupMenuControl::SetAllWeights(float weight)
{
  for (auto& p : mMenuPanels)
    p->mBlend.mWeight = weight;
}

void IPopupMenuControl::AnimationStep()
{
  const double p = GetAnimationProgress();
  if (p > 1.0) {
    OnEndAnimation();
    return;
  }
  const float fp = static_cast<float>(p);
  switch (mState) {
  case kPopupOpening:
    if (mAppearingPanel)
      mAppearingPanel->mBlend.mWeight = fp * mOpacity;
    break;
  case kPopupFading: SetAllWeights((1.f - fp) * mOpacity); break;
  case kPopupSubmenuOpening:
    if (mAppearingPanel)
      mAppearingPanel->mBlend.mWeight = fp > 0.9f ? mOpacity : 0.f;
    break;
  case kPopupClosing: SetAllWeights(0.f); break;
  default: break;
  }
}

void IPopupMenuControl::OnEndAnimation()
{
  switch (mState) {
  case kPopupOpening:
  case kPopupSubmenuOpening:
    SetAllWeights(mOpacity);
    mState = kPopupOpen;
    IControl::OnEndAnimation();
    break;
  case kPopupConfirming:
    mState = kPopupFading;
    SetDirty(true);
    break;
  case kPopupFading:
    mTargetRECT = mCollapsedBounds;
    SetAllWeights(0.f);
    mState = kPopupClosing;
    mMouseCell = -1;
    mAnchorBounds = IRECT();
    SetDirty(true);
    break;
  case kPopupClosing:
    if (mGraphics)
      mGraphics->UpdateTooltips();
    mActivePanel = mAppearingPanel = nullptr;
    mMenuPanels.clear();
    mRECT = mCollapsedBounds;
    mState = kPopupHidden;
    IControl::OnEndAnimation();
    break;
  default: IControl::OnEndAnimation(); break;
  }
}

// ---- Mouse ------------------------------------------------------------------

int IPopupMenuControl::SelectableRowAt(const MenuPanel& panel, float x, float y) const
{
  const int row = panel.RowAt(x, y);
  if (row < 0)
    return -1;
  if (panel.IsArrowRow(row))
    return row;
  const IPopupMenu::Item* item = panel.ItemAtRow(row);
  return item && item->GetEnabled() ? row : -1;
}

void IPopupMenuControl::OnMouseDown(float x, float y, const IMouseMod& mod)
{
  if (mState != kPopupOpen) {
    IControl::OnMouseDown(x, y, mod);
    return;
  }
  mMouseCell = mActivePanel ? SelectableRowAt(*mActivePanel, x, y) : -1;
  CollapseEverything();
}

void IPopupMenuControl::OnMouseDrag(float x, float y, float, float, const IMouseMod&)
{
  if (!mActivePanel || !IsWaitingForChoice())
    return;
  mMouseCell = SelectableRowAt(*mActivePanel, x, y);
  SetDirty(false);
}

void IPopupMenuControl::OnMouseOver(float x, float y, const IMouseMod&)
{
  if (!mActivePanel || !IsWaitingForChoice())
    return;
  mMouseCell = SelectableRowAt(*mActivePanel, x, y);
  if (mMouseCell < 0) {
    for (int i = NPanels() - 1; i >= 0; --i) {
      MenuPanel* p = mMenuPanels[static_cast<size_t>(i)].get();
      if (p->mVisible && p->mShadowRect.Contains(x, y)) {
        mActivePanel = p;
        mMouseCell = SelectableRowAt(*p, x, y);
        break;
      }
    }
  }
  OnSubmenuHover();
  if (mActivePanel->mScrolls && mMouseCell >= 0) {
    if (mMouseCell == 0)
      mActivePanel->Scroll(-1);
    else if (mMouseCell == mActivePanel->NRows() - 1)
      mActivePanel->Scroll(+1);
  }
  SetDirty(false);
}

void IPopupMenuControl::OnMouseWheel(float x, float y, const IMouseMod&, float d)
{
  if (!mActivePanel || !IsWaitingForChoice() || d == 0.f)
    return;
  MenuPanel* target = mActivePanel;
  for (int i = NPanels() - 1; i >= 0; --i) {
    MenuPanel* p = mMenuPanels[static_cast<size_t>(i)].get();
    if (p->mVisible && p->mShadowRect.Contains(x, y)) {
      target = p;
      break;
    }
  }
  if (!target->mScrolls)
    return;
  const int notches = std::max(1, static_cast<int>(std::lround(std::fabs(d))));
  target->Scroll(d > 0.f ? -notches : notches);
  SetDirty(false);
}

void IPopupMenuControl::OnSubmenuHover()
{
  MenuPanel* active = mActivePanel;
  if (!active || mMouseCell < 0 || active->IsArrowRow(mMouseCell))
    return;
  const IPopupMenu::Item* item = active->ItemAtRow(mMouseCell);
  if (!item)
    return;
  const int activeIdx = PanelIndex(active);
  IPopupMenu* sub = item->GetSubmenu();
  if (!sub) {
    for (auto& p : mMenuPanels)
      if (p->mParentIndex == activeIdx)
        p->mVisible = false;
    active->mHighlightedCell = -1;
    mSubmenuCalloutShown = false;
    SetDirty(false);
    return;
  }

  MenuPanel* subPanel = nullptr;
  for (auto& p : mMenuPanels) {
    p->mVisible = p->mMenu == sub;
    if (p->mVisible && !subPanel)
      subPanel = p.get();
  }
  active->mHighlightedCell = item->GetEnabled() ? mMouseCell : -1;
  const IRECT cell = active->mCells[static_cast<size_t>(mMouseCell)];
  const float s = mShadowSize;
  const float c = mCallout ? mCalloutSize : 0.f;
  const IRECT& M = mMaxBounds;
  if (!subPanel) {
    float w = 0.f, h = 0.f;
    MeasureMenu(*sub, w, h);
    float x = mExpandRight ? cell.R + mPadding + c : cell.L - mPadding - c - w - s;
    x = std::min(std::max(x, M.L + s), M.R - w - 2.f * s);
    float y;
    if (mCalloutDirection == 0) {
      y = cell.T - mPadding / 2.f - h + 2.f * mCellGap + s;
      y = std::min(std::max(y, M.T + s), M.B - h - 2.f * s);
    } else {
      // Beside the row for the sideways callouts too, as below the anchor.
      y = std::max(std::min(M.B - h - 2.f * s, cell.T - mPadding), M.T + s);
    }
    subPanel = AddPanel(*sub, x, y, activeIdx);
  }

  // The submenu's chain back to the root is shown; the bounds cover it.
  IRECT drawBounds = subPanel->mShadowRect, hitBounds = subPanel->mRect;
  for (int i = subPanel->mParentIndex; i >= 0;) {
    MenuPanel* p = mMenuPanels[static_cast<size_t>(i)].get();
    p->mVisible = true;
    drawBounds = drawBounds.Union(p->mShadowRect);
    hitBounds = hitBounds.Union(p->mRect);
    i = p->mParentIndex;
  }
  mSubmenuCalloutShown = true;
  const float cy = cell.MH();
  mSubmenuCalloutRect = mExpandRight ? IRECT(cell.R + mPadding, cy - c / 2.f, cell.R + mPadding + c, cy + c / 2.f)
                                     : IRECT(cell.L - mPadding - c, cy - c / 2.f, cell.L - mPadding, cy + c / 2.f);
  mRECT = drawBounds;
  mTargetRECT = hitBounds;
  mMouseIsOver = false;
  OnResize();
  if (mAppearingPanel != subPanel) {
    mState = kPopupSubmenuOpening;
    mAppearingPanel = subPanel;
    SetDirty(true);
  }
}

// ---- Keys -------------------------------------------------------------------

void IPopupMenuControl::ChooseRow(int row)
{
  mMouseCell = row;
  SetDirty(false);
}

void IPopupMenuControl::ScrollActivePanel(int by)
{
  MenuPanel* p = mActivePanel;
  if (!p || !p->mMenu || by == 0)
    return;
  // Next choosable item from the highlighted one (or from an end).
  const int n = p->mNItems;
  int idx = mMouseCell >= 0 && !p->IsArrowRow(mMouseCell) ? p->mScrollOffset + mMouseCell : (by > 0 ? -1 : n);
  do
    idx += by;
  while (idx >= 0 && idx < n && !Choosable(p->mMenu->GetItem(idx)));
  if (idx < 0 || idx >= n)
    return;
  if (p->mScrolls) {
    // Keep it off the arrow rows: one row of margin at either end.
    const int rows = p->NRows();
    if (idx - p->mScrollOffset < 1)
      p->Scroll(idx - 1 - p->mScrollOffset);
    else if (idx - p->mScrollOffset > rows - 2)
      p->Scroll(idx - (rows - 2) - p->mScrollOffset);
  }
  ChooseRow(idx - p->mScrollOffset);
}

bool IPopupMenuControl::OnKeyDown(float, float, const IKeyPress& key)
{
  if (!IsWaitingForChoice() || !mActivePanel)
    return false;
  switch (key.VK) {
  case kVKEscape: CollapseWithoutChoice(); return true;
  case kVKReturn:
    if (mMouseCell >= 0 && mState == kPopupOpen)
      CollapseEverything();
    return true;
  case kVKDown:
  case kVKUp: ScrollActivePanel(key.VK == kVKDown ? 1 : -1); return true;
  case kVKRight: {
    const IPopupMenu::Item* item = mMouseCell >= 0 ? mActivePanel->ItemAtRow(mMouseCell) : nullptr;
    if (!item || !item->GetSubmenu() || mActivePanel->IsArrowRow(mMouseCell))
      return true;
    OnSubmenuHover();
    if (MenuPanel* sub = mAppearingPanel; sub && sub != mActivePanel && sub->mMenu == item->GetSubmenu()) {
      mActivePanel = sub;
      mMouseCell = -1;
      ScrollActivePanel(1);
    }
    return true;
  }
  case kVKLeft: {
    const int parent = mActivePanel->mParentIndex;
    if (parent < 0)
      return true;
    mActivePanel->mVisible = false;
    MenuPanel* p = mMenuPanels[static_cast<size_t>(parent)].get();
    mActivePanel = p;
    mMouseCell = p->mHighlightedCell;
    p->mHighlightedCell = -1;
    mSubmenuCalloutShown = false;
    SetDirty(false);
    return true;
  }
  default: return false;
  }
}

// ---- Choice -----------------------------------------------------------------

void IPopupMenuControl::CollapseWithoutChoice()
{
  if (!IsWaitingForChoice())
    return;
  mMouseCell = -1;
  CollapseEverything();
}

void IPopupMenuControl::CollapseEverything()
{
  MenuPanel* panel = mActivePanel;
  IPopupMenu* m = panel && panel->mMenu ? panel->mMenu : mMenu;
  if (m) {
    m->SetChosenItemIdx(-1);
    if (panel && mMouseCell >= 0 && !panel->IsArrowRow(mMouseCell)) {
      const int idx = panel->mScrollOffset + mMouseCell;
      const IPopupMenu::Item* item = m->GetItem(idx);
      if (Choosable(item) && !item->GetSubmenu()) {
        m->SetChosenItemIdx(idx);
        panel->mClickedCell = mMouseCell;
      }
    }
    m->ExecFunction();
  }
  // From here on the menus are the caller's again.
  for (auto& p : mMenuPanels)
    p->ForgetMenu();
  mMenu = nullptr;
  mSubmenuCalloutShown = false;
  mActivePanel = nullptr;
  mState = kPopupConfirming;
  Hide(true);
  SetDirty(true);
  // Last, so that a menu requested from the answer finds this one closing.
  if (mGraphics)
    mGraphics->SetControlValueAfterPopupMenu(m);
}

} // namespace plugin::igraphics
