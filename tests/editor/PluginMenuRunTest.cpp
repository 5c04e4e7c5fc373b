// A scripted run of the plug-in menu on the real plug-in, through the drawn
// popup menu: mouse, hover, keys and the test clock, as a user would.

#include "ControlMakers.h"
#include "IPopupMenuControl.h"
#include "MakerControlsFixture.h"
#include "Vorelle3Fixture.h"

namespace editortest {
namespace {

class PluginMenuRun : public testplug::Vorelle3Test {
protected:
  void SetUp() override
  {
    Vorelle3Test::SetUp();
    plug = std::make_unique<testplug::TestVorelle3>();
    g = std::make_unique<TestGraphics>(*plug, 650, 470);
    InstallControlMakers(*g);
    g->AttachPopupMenuControl(DEFAULT_TEXT);
    popup = dynamic_cast<IPopupMenuControl*>(g->GetPopupMenuControl());
    bitmapData.reset(g->CreateAPIBitmap(24, 48, 1.f, 1.0, false));
    const IBInfoMenuZV::Config c =
      ProgramMenuConfig(plug->GetDataPath(), kTooltips, kOnlineUpdateCheck, plug->GetExtraParam(0), kGUIScale);
    g->AttachControl(new IBInfoMenuZV(18, 18, IBitmap(bitmapData.get(), 2, false, "pluginmenu.png"), c));
  }
  void TearDown() override
  {
    g.reset();
    plug.reset();
    Vorelle3Test::TearDown();
  }

  void Run(double ms)
  {
    for (double t = 0; t < ms; t += 10)
      g->Tick(10);
  }
  void Click(float x, float y) { editortest::Click(*g, x, y); }
  void OpenMenu()
  {
    Run(400); // any earlier menu has closed
    Click(25, 25);
    Run(120);
    ASSERT_EQ(popup->GetState(), IPopupMenuControl::kPopupOpen);
  }
  // The row of the panel showing an item text (no scrolling here).
  IRECT Row(int panel, const char* text)
  {
    const MenuPanel* p = popup->GetPanel(panel);
    for (int r = 0; p && r < p->NRows(); ++r)
      if (std::string(p->ItemAtRow(r)->GetText()) == text)
        return p->mCells[static_cast<size_t>(r)];
    ADD_FAILURE() << "no row " << text;
    return IRECT();
  }
  void Hover(const IRECT& r) { g->OnMouseOver(r.MW(), r.MH(), IMouseMod()); }

  std::unique_ptr<testplug::TestVorelle3> plug;
  std::unique_ptr<TestGraphics> g;
  std::unique_ptr<APIBitmap> bitmapData;
  IPopupMenuControl* popup = nullptr;
};

TEST_F(PluginMenuRun, FixedScaleTwoHundredPercentTooltipsAndClosingWithoutAChoice)
{
  OpenMenu();
  Hover(Row(0, "Fixed GUI Scale"));
  Run(250);
  ASSERT_EQ(popup->NPanels(), 2);
  const IRECT pick = Row(1, "200%");
  Hover(pick);
  Click(pick.MW(), pick.MH());
  EXPECT_DOUBLE_EQ(plug->GetParam(kGUIScale)->Value(), 2.0);
  EXPECT_DOUBLE_EQ(plug->GUIScale(), 2.0);
  EXPECT_EQ(plug->GetExtraParam(0)->Value(), 6.0);

  const double tooltips = plug->GetParam(kTooltips)->Value();
  OpenMenu();
  const IRECT tip = Row(0, "Tooltips");
  Hover(tip);
  Click(tip.MW(), tip.MH());
  EXPECT_EQ(plug->GetParam(kTooltips)->Value(), 1.0 - tooltips);

  // Escape, then a click outside: the menu closes and nothing changes.
  OpenMenu();
  Hover(Row(0, "Reset GUI scale"));
  EXPECT_TRUE(g->OnKeyDown(0, 0, IKeyPress("", 27)));
  EXPECT_EQ(popup->GetState(), IPopupMenuControl::kPopupConfirming);
  OpenMenu();
  Hover(Row(0, "Set min GUI scale"));
  Click(640, 460);
  Run(400);
  EXPECT_EQ(popup->GetState(), IPopupMenuControl::kPopupHidden);
  EXPECT_DOUBLE_EQ(plug->GetParam(kGUIScale)->Value(), 2.0);
  EXPECT_EQ(plug->GetParam(kTooltips)->Value(), 1.0 - tooltips);
}

} // namespace
} // namespace editortest
