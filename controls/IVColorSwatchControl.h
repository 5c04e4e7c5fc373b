#pragma once
// Cells showing some of the style's colours; a click asks the platform's
// colour picker for a new colour for the cell.

#include <functional>
#include <memory>
#include <string>
#include <vector>

#include "IControl.h"
#include "IVectorBase.h"

namespace plugin::igraphics {

enum ESwatchLayout : int { kSwatchGrid = 0, kSwatchRow = 1, kSwatchColumn = 2 };

class IVColorSwatchControl : public IControl, public IVectorBase {
public:
  using ColorChosenFunc = std::function<void(int cellIdx, const IColor& color)>;

  // One cell per colour index (an index into the style's colours); labels
  // are given in cell order.
  IVColorSwatchControl(const IRECT& bounds, const char* label = "", ColorChosenFunc func = nullptr,
                       const IVStyle& style = DEFAULT_STYLE, int layout = kSwatchGrid,
                       const std::vector<int>& colorIds = {kBackground, kForeground, kPressed, kFrame, kHover, kShadow,
                                                           kExtra1, kExtra2, kExtra3},
                       const std::vector<const char*>& labels = {});
  ~IVColorSwatchControl() override;

  void Draw(IGraphics& g) override;
  void DrawWidget(IGraphics& g) override;
  void OnResize() override;
  void OnMouseDown(float x, float y, const IMouseMod& mod) override;
  void OnMouseOver(float x, float y, const IMouseMod& mod) override;
  void OnMouseOut() override;

  const std::vector<IRECT>& GetCellRects() const { return mCellRects; }
  int GetCellOver() const { return mCellOverIdx; }
  // First cell containing the point, -1 for none.
  int CellAt(float x, float y) const;

protected:
  const char* CellLabel(int i) const;

  ColorChosenFunc mColorChosenFunc;
  int mCellOverIdx = -1;
  int mLayout;
  std::vector<IRECT> mCellRects;
  std::vector<std::string> mLabels;
  std::vector<int> mColorIdForCells;
  // What the open colour picker answers to; cleared when the control goes,
  // since the picker may outlive it.
  std::shared_ptr<IVColorSwatchControl*> mPickerLink = std::make_shared<IVColorSwatchControl*>(this);
};

} // namespace plugin::igraphics
