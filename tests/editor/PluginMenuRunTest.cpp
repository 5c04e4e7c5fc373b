// A scripted run of the plug-in menu on the laid-out editor, through the drawn
// popup menu: mouse, hover, keys and the test clock, as a user would.

#include <filesystem>
#include <fstream>

#include "ControlMakers.h"
#include "IPopupMenuControl.h"
#include "LayoutFixture.h"
#include "MakerControlsFixture.h"

namespace editortest {
namespace {

class PluginMenuRun : public layouttest::LayoutFixture {
protected:
  void SetUp() override
  {
    LayoutFixture::SetUp();
    plug = std::make_unique<layouttest::LaidOutPlug>();
    plug->SetMakeGraphicsFunc([](IGEditorDelegate& d) -> IEditorGraphics* {
      auto* bg = new layouttest::BundleGraphics(d, 650, 470);
      InstallControlMakers(*bg);
      return bg;
    });
    g = plug->Open();
    ASSERT_NE(g, nullptr);
    popup = dynamic_cast<IPopupMenuControl*>(g->GetPopupMenuControl());
    ASSERT_NE(popup, nullptr);
  }
  void TearDown() override
  {
    plug->Close();
    plug.reset();
    LayoutFixture::TearDown();
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
    const IRECT button = g->GetControlWithTag(1)->GetRECT();
    Click(button.MW(), button.MH());
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

  std::unique_ptr<layouttest::LaidOutPlug> plug;
  TestGraphics* g = nullptr;
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

TEST_F(PluginMenuRun, OpenManualLooksInTheSharedDocumentsOfTheMachine)
{
  const std::filesystem::path manual = mRoot / "sys/Users/Shared/Documents/Vorelle3/Vorelle3 manual.pdf";
  const auto chooseManual = [&] {
    OpenMenu();
    const IRECT item = Row(0, "Open manual ...");
    Hover(item);
    g->TakeLog();
    Click(item.MW(), item.MH());
    std::vector<std::string> said;
    for (const std::string& line : g->TakeLog())
      if (line.rfind("MessageBox", 0) == 0 || line.rfind("OpenURL", 0) == 0)
        said.push_back(line);
    return said;
  };
  EXPECT_EQ(chooseManual(), std::vector<std::string>{"MessageBox Manual not found: " + manual.string()});
  std::filesystem::create_directories(manual.parent_path());
  std::ofstream(manual) << "%PDF-1.4\n";
  EXPECT_EQ(chooseManual(), std::vector<std::string>{"OpenURL " + manual.string()});
}

} // namespace
} // namespace editortest
