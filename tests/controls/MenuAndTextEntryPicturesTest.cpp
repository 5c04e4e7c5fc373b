// The drawn popup menu (with an open submenu) and the text entry (with a
// selection, then with its caret) drawn through the real back end into the
// stand-in GPU, checked at chosen points and written as pictures
// (controls-menu-*.png and controls-textentry-*.png under the build tree).

#include <gtest/gtest.h>

#include <cmath>
#include <cstring>
#include <string>

#include "ControlDrawFixture.h"
#include "ControlMakers.h"
#include "IPopupMenuControl.h"
#include "ITextEntryControl.h"

namespace controlstest {
namespace {

using namespace backendtest;

const std::vector<int> kBackground{180, 190, 200};

// Stands for the control that asks for a menu or for text.
struct Asker : IControl {
  explicit Asker(const IRECT& r) : IControl(r) {}
  void Draw(IGraphics& g) override { g.FillRect(IColor(255, 60, 60, 60), mRECT); }
};

class MenuAndTextEntryPictures : public ControlDrawFixture {
protected:
  void OpenEditor(float scale)
  {
    Open(320, 240, scale);
    InstallControlMakers(*g);
    g->SetClock([this] { return mNow; });
    ASSERT_NE(g->AttachPanelBackground(IPattern(IColor(255, 180, 190, 200))), nullptr);
    asker = static_cast<Asker*>(g->AttachControl(new Asker(IRECT(20, 20, 60, 36))));
  }
  // Frames of the editor's clock: animations step, nothing is drawn.
  void Run(double ms)
  {
    for (double t = 0; t < ms; t += 10) {
      mNow += 10;
      IRECTList rects;
      g->IsDirty(rects);
      g->SetAllControlsClean();
    }
  }
  static std::string Name(const char* what, float scale)
  {
    return std::string("controls-") + what + (scale > 1.f ? "-2x.png" : "-1x.png");
  }
  std::string Str(const std::vector<int>& p)
  {
    return std::to_string(p[0]) + "," + std::to_string(p[1]) + "," + std::to_string(p[2]);
  }

  double mNow = 1000.0;
  Asker* asker = nullptr;
};

TEST_F(MenuAndTextEntryPictures, AnOpenMenuWithItsSubmenu)
{
  for (float scale : {1.f, 2.f}) {
    OpenEditor(scale);
    ASSERT_TRUE(g->AttachPopupMenuControl(DEFAULT_TEXT));
    auto* popup = dynamic_cast<IPopupMenuControl*>(g->GetPopupMenuControl());
    ASSERT_NE(popup, nullptr);
    IPopupMenu menu("", 0, false, {"About ...", "Open manual ..."});
    menu.AddItem("", -1, IPopupMenu::Item::kSeparator);
    menu.AddItem("Tooltips", -1, IPopupMenu::Item::kChecked);
    menu.AddItem("Disabled", -1, IPopupMenu::Item::kDisabled);
    auto* sub = new IPopupMenu("", 0, false, {"50%", "100%", "200%"});
    sub->GetItem(1)->SetChecked(true);
    menu.AddItem("Fixed GUI Scale", sub);
    g->CreatePopupMenu(*asker, menu, asker->GetRECT(), 0);
    Run(120);
    const IRECT scaleRow = popup->GetPanel(0)->mCells[5];
    g->OnMouseOver(scaleRow.MW(), scaleRow.MH(), IMouseMod());
    Run(250);
    ASSERT_EQ(popup->NPanels(), 2);
    const IRECT hovered = popup->GetPanel(1)->mCells[2];
    g->OnMouseOver(hovered.MW(), hovered.MH(), IMouseMod());
    DrawFrame();
    WritePicture(Name("menu", scale));

    const MenuPanel& root = *popup->GetPanel(0);
    const MenuPanel& panel = *popup->GetPanel(1);
    const IRECT& check = root.mCells[3];
    // White panels at 0.95 over the background; the rows under the mouse
    // and the open submenu's row in blue, the check mark in black, each at
    // the panel's weight as well (0.95 of its colour over the panel).
    struct Probe {
      float x, y;
      std::vector<int> rgb;
      const char* what;
    } probes[] = {
      {root.mRect.L + 2, root.mRect.MH(), {251, 252, 252}, "root panel edge"},
      {panel.mRect.R - 2, panel.mRect.MH(), {251, 252, 252}, "submenu panel edge"},
      {scaleRow.R + 2, scaleRow.MH() - 4, {13, 13, 255}, "open submenu's row"},
      {hovered.L - 3, hovered.MH(), {13, 13, 255}, "hovered row"},
      {check.L + 5, check.MH(), {13, 13, 13}, "check mark"},
      {root.mCells[2].MW(), root.mCells[2].MH(), {238, 239, 239}, "separator"},
      {300, 230, kBackground, "background"},
    };
    for (const Probe& p : probes)
      EXPECT_TRUE(Near(Shown(p.x, p.y), p.rgb, 6)) << p.what << " at scale " << scale << ": " << Str(Shown(p.x, p.y));

    // Over the disabled row nothing lights up; the open submenu's row stays.
    const IRECT disabled = root.mCells[4];
    g->OnMouseOver(disabled.MW(), disabled.MH(), IMouseMod());
    DrawFrame();
    WritePicture(Name("menu-disabled-hover", scale));
    EXPECT_TRUE(Near(Shown(disabled.L - 3, disabled.MH()), {251, 252, 252}, 6))
      << "disabled row at scale " << scale << ": " << Str(Shown(disabled.L - 3, disabled.MH()));
    EXPECT_TRUE(Near(Shown(scaleRow.L - 3, scaleRow.MH()), {13, 13, 255}, 6)) << "open submenu's row";
    g->RemoveAllControls();
  }
}

TEST_F(MenuAndTextEntryPictures, ATextEntryWithASelectionAndThenItsCaret)
{
  for (float scale : {1.f, 2.f})
    for (EAlign align : {kAlignNear, kAlignCenter}) {
      OpenEditor(scale);
      ASSERT_TRUE(g->AttachTextEntryControl());
      auto* field = dynamic_cast<ITextEntryControl*>(g->GetTextEntryControl());
      ASSERT_NE(field, nullptr);
      const IRECT box(40, 60, 200, 84);
      const IText text(14.f, COLOR_BLACK, "Roboto-Regular", align);
      const char* str = "-6.25 dB";
      g->CreateTextEntry(*asker, text, box, str, -1);
      // Where the row starts: the field's left edge, or half the text's
      // width left of its middle.
      float width = 0.f;
      for (int i = 0; i < static_cast<int>(std::strlen(str)); ++i)
        width += field->GetCharWidth(0, i);
      const float x0 = align == kAlignNear ? box.L : box.MW() - width / 2;
      const std::string suffix = align == kAlignNear ? "" : "-centred";
      // "6.25 " selected: home, right, then shift+right five times.
      g->OnKeyDown(0, 0, IKeyPress("", 36));
      g->OnKeyDown(0, 0, IKeyPress("", 39));
      for (int i = 0; i < 5; ++i)
        g->OnKeyDown(0, 0, IKeyPress("", 39, true));
      DrawFrame();
      WritePicture(Name(("textentry-selection" + suffix).c_str(), scale));

      // The space that ends the selection: the entry colour at 0.2 on white;
      // the minus sign before it is not selected.
      float selectionEnd = x0;
      for (int i = 0; i < 6; ++i)
        selectionEnd += field->GetCharWidth(0, i);
      const float midY = box.MH();
      EXPECT_TRUE(Near(Shown(selectionEnd - 1.5f, midY), {204, 204, 204}, 6))
        << "selected space at scale " << scale << ": " << Str(Shown(selectionEnd - 1.5f, midY));
      EXPECT_TRUE(Near(Shown(selectionEnd + 0.5f, box.T + 4), {255, 255, 255}, 2)) << "after the selection";
      EXPECT_TRUE(Near(Shown(x0 + field->GetCharWidth(0, 0) - 1.f, midY + 4), {255, 255, 255}, 2))
        << "before the selection at scale " << scale;
      EXPECT_TRUE(Near(Shown(box.R - 3, midY), {255, 255, 255}, 2)) << "field";
      EXPECT_TRUE(Near(Shown(box.R + 3, midY), kBackground, 2)) << "outside";

      // No selection: the caret, a point wide, right after the minus sign.
      g->OnKeyDown(0, 0, IKeyPress("", 37));
      EXPECT_TRUE(field->GetCaretVisible());
      DrawFrame();
      WritePicture(Name(("textentry-caret" + suffix).c_str(), scale));
      const float cx = std::round(x0 + field->GetCharWidth(0, 0));
      EXPECT_TRUE(Near(Shown(cx - 0.5f, midY), {0, 0, 0}, 40)) << "caret: " << Str(Shown(cx - 0.5f, midY));
      g->RemoveAllControls();
    }
}

} // namespace
} // namespace controlstest
