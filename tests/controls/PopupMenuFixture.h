#pragma once
// A headless editor (7-point characters, 10-point text) with the drawn popup
// menu attached and a recording control that asks for menus.

#include <gtest/gtest.h>

#include <string>

#include "ControlMakers.h"
#include "IPopupMenuControl.h"
#include "ITextEntryControl.h"
#include "TestGraphics.h"

namespace controlstest {

using namespace testsupport;
using Log = std::vector<std::string>;

// The drawn menu and field, attached the way the editor attaches them.
inline IPopupMenuControl* AttachPopupMenuControl(IGraphics& g)
{
  InstallControlMakers(g);
  g.AttachPopupMenuControl(DEFAULT_TEXT);
  return dynamic_cast<IPopupMenuControl*>(g.GetPopupMenuControl());
}
inline ITextEntryControl* AttachTextEntryControl(IGraphics& g)
{
  InstallControlMakers(g);
  g.AttachTextEntryControl();
  return dynamic_cast<ITextEntryControl*>(g.GetTextEntryControl());
}

// A press and release of the left (or right) button at one point.
inline void PressAt(IGraphics& g, float x, float y, bool right = false)
{
  IMouseInfo i;
  i.x = x;
  i.y = y;
  i.ms.L = !right;
  i.ms.R = right;
  g.OnMouseDown({i});
  g.OnMouseUp({i});
}

class PopupMenuFixture : public ::testing::Test {
protected:
  void Open(int w = 400, int h = 300)
  {
    g = std::make_unique<TestGraphics>(dlg, w, h);
    popup = AttachPopupMenuControl(*g);
    caller = new RecordingControl("caller", IRECT(0, 0, 20, 20), 0);
    g->AttachControl(caller);
    g->TakeLog();
  }
  void SetUp() override
  {
    for (int i = 0; i < dlg.NParams(); ++i)
      dlg.GetParam(i)->InitDouble("p", 0.0, 0.0, 1.0, 0.01);
    Open();
  }

  void Show(IPopupMenu& menu, const IRECT& anchor) { g->CreatePopupMenu(*caller, menu, anchor, 0); }
  // Runs the frames of ms milliseconds.
  void Run(double ms)
  {
    for (double t = 0; t < ms; t += 10)
      g->Tick(10);
  }
  void ShowOpen(IPopupMenu& menu, const IRECT& anchor)
  {
    Show(menu, anchor);
    Run(120);
  }
  // The centre of a row of a panel.
  std::pair<float, float> RowCentre(int panel, int row) const
  {
    const IRECT& c = popup->GetPanel(panel)->mCells[static_cast<size_t>(row)];
    return {c.MW(), c.MH()};
  }
  void HoverRow(int panel, int row)
  {
    const auto [x, y] = RowCentre(panel, row);
    g->OnMouseOver(x, y, IMouseMod());
  }
  void ClickAt(float x, float y) { PressAt(*g, x, y); }
  // Hovers first (which may open a submenu: clicks wait for it to appear).
  void ClickRow(int panel, int row)
  {
    HoverRow(panel, row);
    Run(250);
    const auto [x, y] = RowCentre(panel, row);
    ClickAt(x, y);
  }
  // Selections the caller received, as logged.
  std::vector<std::string> Answers()
  {
    std::vector<std::string> out;
    for (const std::string& line : g->TakeLog())
      if (line.rfind("caller PopupSelection", 0) == 0)
        out.push_back(line.substr(22));
    return out;
  }

  TestDelegate dlg{4};
  std::unique_ptr<TestGraphics> g;
  IPopupMenuControl* popup = nullptr;
  RecordingControl* caller = nullptr;
};

} // namespace controlstest
