// Vector colour swatch.

#include "IVColorSwatchControl.h"

#include "IGraphics.h"

namespace plugin::igraphics {

IVColorSwatchControl::IVColorSwatchControl(const IRECT& bounds, const char* label, ColorChosenFunc func,
                                           const IVStyle& style, int layout, const std::vector<int>& colorIds,
                                           const std::vector<const char*>& labels)
: IControl(bounds), IVectorBase(style), mColorChosenFunc(std::move(func)), mLayout(layout), mCellRects(colorIds.size()),
  mColorIdForCells(colorIds)
{
  AttachIControl(this, label);
  for (const char* l : labels)
    mLabels.emplace_back(l ? l : "");
  mStyle.valueStyle.mAlign = kAlignFar;
  mText = mStyle.valueStyle;
}

IVColorSwatchControl::~IVColorSwatchControl() { *mPickerLink = nullptr; }

const char* IVColorSwatchControl::CellLabel(int i) const
{
  return i >= 0 && i < static_cast<int>(mLabels.size()) ? mLabels[static_cast<std::size_t>(i)].c_str() : "";
}

void IVColorSwatchControl::OnResize()
{
  mTargetRECT = MakeRects(mRECT, true);
  mMouseIsOver = false;
  const int n = static_cast<int>(mCellRects.size());
  const IRECT& w = mWidgetRect;
  // No cells: no columns to divide by.
  const int columns = n < 1 ? 1 : mLayout == kSwatchRow ? n : mLayout == kSwatchColumn ? 1 : 3;
  const int rows = n < 1 ? 1 : mLayout == kSwatchRow ? 1 : mLayout == kSwatchColumn ? n : 3;
  const float cw = w.W() / columns, ch = w.H() / rows;
  for (int i = 0; i < n; ++i) {
    IRECT c = w;
    if (i < columns * rows) {
      const int col = i % columns, row = i / columns;
      c = IRECT(w.L + col * cw, w.T + row * ch, w.L + col * cw + cw, w.T + row * ch + ch);
    }
    mCellRects[static_cast<std::size_t>(i)] = IRECT(c.L + 2.f, c.T + 2.f, c.R - 2.f, c.B - 2.f);
  }
  SetDirty(false, -1);
}

void IVColorSwatchControl::Draw(IGraphics& g)
{
  DrawWidget(g);
  DrawLabel(g);
}

void IVColorSwatchControl::DrawWidget(IGraphics& g)
{
  for (std::size_t i = 0; i < mCellRects.size(); ++i) {
    const IRECT& c = mCellRects[i];
    const char* label = CellLabel(static_cast<int>(i));
    const bool labelled = label[0] != '\0';
    const IRECT swatch = labelled ? IRECT(c.R - 0.25f * c.W(), c.T, c.R, c.B) : c;
    g.FillRect(GetColor(mColorIdForCells[i]), swatch, &mBlend);
    const IColor edge = static_cast<int>(i) == mCellOverIdx ? IColor(255, 127, 127, 127) : IColor(255, 70, 70, 70);
    g.DrawRect(edge, IRECT(swatch.L + 0.5f, swatch.T + 0.5f, swatch.R - 0.5f, swatch.B - 0.5f), &mBlend, 1.f);
    if (labelled)
      g.DrawText(mStyle.valueStyle, label, IRECT(c.L, c.T, c.L + 0.7f * c.W(), c.B), &mBlend);
  }
}

int IVColorSwatchControl::CellAt(float x, float y) const
{
  for (std::size_t i = 0; i < mCellRects.size(); ++i)
    if (mCellRects[i].Contains(x, y))
      return static_cast<int>(i);
  return -1;
}

void IVColorSwatchControl::OnMouseOver(float x, float y, const IMouseMod&)
{
  mCellOverIdx = CellAt(x, y);
  SetDirty(true, -1);
}

void IVColorSwatchControl::OnMouseOut()
{
  mCellOverIdx = -1;
  SetDirty(true, -1);
}

void IVColorSwatchControl::OnMouseDown(float x, float y, const IMouseMod&)
{
  const int i = CellAt(x, y);
  if (i < 0 || !mGraphics)
    return;
  const int colorId = mColorIdForCells[static_cast<std::size_t>(i)];
  IColor start = GetColor(colorId);
  mGraphics->PromptForColor(start, "Choose a color", [link = mPickerLink, i, colorId](const IColor& c) {
    IVColorSwatchControl* self = *link;
    if (!self)
      return;
    self->SetColor(colorId, c);
    self->SetDirty(false, -1);
    if (self->mColorChosenFunc)
      self->mColorChosenFunc(i, c);
  });
}

} // namespace plugin::igraphics
