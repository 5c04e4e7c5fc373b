// Three-button radio control.

#include "IBRadioButtonsControl3.h"

#include <algorithm>
#include <cmath>

#include "IBControls.h"
#include "IGraphics.h"
#include "IParam.h"

namespace plugin::igraphics {

namespace {

// The parameter's real value as a whole number; false when it has none.
bool CurrentWhole(const IParam* p, int& c)
{
  if (!p)
    return false;
  const double v = p->Value();
  if (!std::isfinite(v) || v < -1e6 || v > 1e6)
    return false;
  c = static_cast<int>(v);
  return true;
}

} // namespace

IBRadioButtonsControl3::IBRadioButtonsControl3(int paramIdx, const IRECT& r1, const IBitmap& b1, const IRECT& r2,
                                               const IBitmap& b2, const IRECT& r3, const IBitmap& b3, bool oneBased,
                                               const IRECT& bounds)
: IControl(bounds, paramIdx), mButtonRects{r1, r2, r3}, mBitmaps{b1, b2, b3}, mOneBased(oneBased)
{
  mDblAsSingleClick = true;
}

void IBRadioButtonsControl3::OnMouseDown(float x, float y, const IMouseMod&)
{
  const IParam* p = GetParam(0);
  if (!p)
    return;
  for (int i = 0; i < mNumButtons; ++i) {
    const IRECT& r = mButtonRects[static_cast<std::size_t>(i)];
    if (r.Empty() || !(r.L <= x && x < r.R && r.T <= y && y < r.B))
      continue;
    int k = i;
    if (mOneBased) {
      int c = 0;
      k = CurrentWhole(p, c) && c == i + 1 ? 0 : i + 1;
    }
    SetValue(NormalisedForParam(*p, static_cast<double>(k)), 0);
    SetDirty(true, -1);
  }
}

bool IBRadioButtonsControl3::SelectedButton(int c, int& button) const
{
  const int first = mOneBased ? 1 : 0;
  if (mOneBased && c == 0) {
    button = -1;
    return true;
  }
  if (c < first || c >= first + mNumButtons)
    return false;
  button = c - first;
  return true;
}

void IBRadioButtonsControl3::Draw(IGraphics& g)
{
  int c = 0, selected = -1;
  if (!CurrentWhole(GetParam(0), c) || !SelectedButton(c, selected))
    return;
  for (int i = 0; i < mNumButtons; ++i)
    DrawFrameWithin(g, mBitmaps[i], mButtonRects[static_cast<std::size_t>(i)], i == selected ? 2 : 1, &mBlend);
}

} // namespace plugin::igraphics
