// The plug-in menu button on a recording delegate: the menu it builds, what
// each choice sends, parameters stored once inside the host's bracket, and
// the manual found (or not) where the layout says.

#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <memory>

#include "IBInfoMenuZV.h"
#include "MakerControlsFixture.h"
#include "TempFolder.h"

namespace editortest {
namespace {

const char* const kScales[] = {"50%", "75%", "100%", "125%", "150%", "175%", "200%", "225%", "250%", "275%", "300%"};

// Records the messages the plug-in would get.
class MenuDelegate : public TestDelegate {
public:
  MenuDelegate() : TestDelegate(10)
  {
    GetParam(0)->InitDouble("GUI scale", 1.0, 0.5, 3.0, 0.01);
    GetParam(1)->InitBool("Toggle tooltips", false, "", 0, "", "Off", "On");
    for (int i = 2; i < 9; ++i)
      GetParam(i)->InitDouble("other", 0.0, 0.0, 1.0, 0.01);
    GetParam(9)->InitBool("Online Update Check", true, "", 0, "", "Off", "On");
    fixedScale.InitEnum("Fixed GUI Scale", 2, 11, "", 0, "");
    for (int i = 0; i < 11; ++i)
      fixedScale.SetDisplayText(i, kScales[i]);
  }
  void OnParamChange(int paramIdx, plugin::EParamSource source, int) override
  {
    mLog.push_back(Fmt("Msg %g %g", paramIdx, source));
  }
  plugin::IParam fixedScale;
};

class InfoMenu : public ::testing::Test {
protected:
  void SetUp() override
  {
    g = std::make_unique<TestGraphics>(dlg, 650, 470);
    bitmapData.reset(g->CreateAPIBitmap(24, 48, 1.f, 1.0, false));
    g->TakeLog();
  }

  // The values the editor's layout passes.
  IBInfoMenuZV::Config ProgramConfig()
  {
    IBInfoMenuZV::Config c;
    c.changelogURL = "https://www.zelvant.com/products/vorelle#Changelog";
    c.dataFolderPath = folder.Path().string();
    c.manualPath = (folder.Path() / "shared" / "Vorelle3 manual.pdf").string();
    c.aboutTag = 11;
    c.updateCheckTag = 12;
    c.tooltipsParam = 1;
    c.autoUpdateParam = 9;
    c.resetGUIScaleTag = 21;
    c.minGUIScaleTag = 22;
    c.extraTags = {16};
    c.extraTexts = {"Save to default"};
    c.editorParams = {&dlg.fixedScale};
    c.editorParamBase = 28;
    c.editorParamHostParams = {0};
    return c;
  }
  IBInfoMenuZV* Attach(IBInfoMenuZV::Config config)
  {
    button = new IBInfoMenuZV(18, 18, IBitmap(bitmapData.get(), 2, false, "pluginmenu.png"), std::move(config));
    g->AttachControl(button);
    button->BuildMenu();
    dlg.TakeLog();
    g->TakeLog();
    return button;
  }
  // Item texts, "---" for a separator, "*" after a check mark, ">" after a submenu.
  static Log Texts(const IPopupMenu& m)
  {
    Log out;
    for (int i = 0; i < m.NItems(); ++i) {
      const IPopupMenu::Item* it = m.GetItem(i);
      std::string s = it->GetIsSeparator() ? "---" : it->GetText();
      if (it->GetChecked())
        s += "*";
      if (it->GetSubmenu())
        s += ">";
      out.push_back(s);
    }
    return out;
  }
  int IndexOf(const char* text) const
  {
    IPopupMenu& m = button->GetMenu();
    for (int i = 0; i < m.NItems(); ++i)
      if (std::string(m.GetItem(i)->GetText()) == text)
        return i;
    return -1;
  }
  void Choose(IPopupMenu& menu, int idx)
  {
    menu.SetChosenItemIdx(idx);
    button->OnPopupMenuSelection(&menu, 0);
  }

  TempFolder folder;
  MenuDelegate dlg;
  std::unique_ptr<TestGraphics> g;
  std::unique_ptr<APIBitmap> bitmapData;
  IBInfoMenuZV* button = nullptr;
};

TEST_F(InfoMenu, ReadsAsTheProgramBuildsIt)
{
  dlg.GetParam(9)->Set(1.0);
  dlg.GetParam(1)->Set(0.0);
  Attach(ProgramConfig());
  EXPECT_EQ(button->GetRECT(), IRECT(18, 18, 42, 42));
  EXPECT_EQ(Texts(button->GetMenu()), Log({">> Plugin menu <<", "---", "About ...", "---", "Open manual ...",
                                           "Changelog ...", "Check for update ...", "Check for updates automatically*",
                                           "---", "Open data folder ...", "---", "Tooltips", "---", "Reset GUI scale",
                                           "Set min GUI scale", "---", "Fixed GUI Scale>", "---", "Save to default"}));
  const IPopupMenu* scales = button->GetMenu().GetItem(IndexOf("Fixed GUI Scale"))->GetSubmenu();
  EXPECT_EQ(Texts(*scales), Log(std::begin(kScales), std::end(kScales))); // no check mark
  // Checked by the parameters' values at each build.
  dlg.GetParam(1)->Set(1.0);
  dlg.GetParam(9)->Set(0.0);
  button->BuildMenu();
  EXPECT_TRUE(button->GetMenu().GetItem(IndexOf("Tooltips"))->GetChecked());
  EXPECT_FALSE(button->GetMenu().GetItem(IndexOf("Check for updates automatically"))->GetChecked());
}

TEST_F(InfoMenu, ItemsWithoutATagAreLeftOutAndTheChangelogStillOpens)
{
  IBInfoMenuZV::Config c = ProgramConfig();
  c.updateCheckTag = c.autoUpdateParam = c.tooltipsParam = c.resetGUIScaleTag = c.minGUIScaleTag = -1;
  c.extraTexts.clear();
  c.editorParams.clear();
  Attach(c);
  EXPECT_EQ(Texts(button->GetMenu()), Log({">> Plugin menu <<", "---", "About ...", "---", "Open manual ...",
                                           "Changelog ...", "---", "Open data folder ..."}));
  Choose(button->GetMenu(), IndexOf("Changelog ..."));
  EXPECT_EQ(g->TakeLog(), Log({"OpenURL https://www.zelvant.com/products/vorelle#Changelog"}));
}

TEST_F(InfoMenu, EachChoiceSendsItsMessageOrOpensItsLocation)
{
  Attach(ProgramConfig());
  struct Case {
    const char* item;
    Log messages;
    Log opened;
  } cases[] = {
    {"About ...", {"Msg 11 3"}, {}},       {"Check for update ...", {"Msg 12 3"}, {}},
    {"Reset GUI scale", {"Msg 21 3"}, {}}, {"Set min GUI scale", {"Msg 22 3"}, {}},
    {"Save to default", {"Msg 16 3"}, {}}, {"Open data folder ...", {}, {"OpenURL " + folder.Path().string()}},
    {">> Plugin menu <<", {}, {}},
  };
  for (const Case& c : cases) {
    Choose(button->GetMenu(), IndexOf(c.item));
    EXPECT_EQ(dlg.TakeLog(), c.messages) << c.item;
    EXPECT_EQ(g->TakeLog(), c.opened) << c.item;
  }
  // A separator, or an index no item has, does nothing.
  Choose(button->GetMenu(), 1);
  Choose(button->GetMenu(), 99);
  EXPECT_TRUE(dlg.TakeLog().empty());
}

TEST_F(InfoMenu, TogglesAndAFixedScaleStoreTheirParameterOnceInsideTheHostBracket)
{
  dlg.GetParam(1)->Set(0.0);
  dlg.GetParam(1)->Set(1.0);
  Attach(ProgramConfig());
  const struct Row {
    const char* item;
    int subItem; // in the item's submenu, -1 for the item itself
    IParam* param;
    double value, previous; // the fixed scale's previous value is its default, not 6 again
    Log sent;
  } rows[] = {
    {"Tooltips", -1, dlg.GetParam(1), 0.0, 1.0, {"Begin 1", "Send 1 0", "End 1"}},
    {"Tooltips", -1, dlg.GetParam(1), 1.0, 0.0, {"Begin 1", "Send 1 1", "End 1"}},
    {"Fixed GUI Scale", 6, &dlg.fixedScale, 6.0, 2.0, {"Begin 0", "Msg 28 3", "End 0"}},
  };
  for (const Row& r : rows) {
    button->BuildMenu();
    IPopupMenu& menu = button->GetMenu();
    if (r.subItem < 0)
      Choose(menu, IndexOf(r.item));
    else
      Choose(*menu.GetItem(IndexOf(r.item))->GetSubmenu(), r.subItem);
    EXPECT_EQ(dlg.TakeLog(), r.sent) << r.item;
    EXPECT_EQ(r.param->Value(), r.value) << r.item;
    EXPECT_EQ(r.param->GetPreviousValue(), r.previous) << r.item;
  }
  // Already at the value: nothing is sent.
  button->SetParamFromMenuInt(1, 1);
  EXPECT_TRUE(dlg.TakeLog().empty());
}

TEST_F(InfoMenu, DismissingResetsTheButtonAndChangesNothingElse)
{
  Attach(ProgramConfig());
  button->SetValue(0.7);
  button->SetClean();
  button->OnPopupMenuSelection(nullptr, 0);
  EXPECT_EQ(button->GetValue(), 0.0);
  EXPECT_TRUE(button->IsDirty());
  EXPECT_TRUE(dlg.TakeLog().empty());
  EXPECT_TRUE(g->TakeLog().empty());
}

TEST_F(InfoMenu, TheManualOpensFromItsPathOrItsAbsenceIsSaidWhileThereIsADataFolder)
{
  Attach(ProgramConfig());
  const std::string path = (folder.Path() / "shared" / "Vorelle3 manual.pdf").string();
  std::filesystem::create_directories(folder.Path() / "shared");
  Choose(button->GetMenu(), IndexOf("Open manual ..."));
  EXPECT_EQ(g->TakeLog(), Log({"MessageBox Manual not found: " + path}));
  std::ofstream(path) << "%PDF-1.4\n";
  Choose(button->GetMenu(), IndexOf("Open manual ..."));
  EXPECT_EQ(g->TakeLog(), Log({"OpenURL " + path}));

  IBInfoMenuZV::Config c = ProgramConfig();
  c.dataFolderPath.clear();
  Attach(c);
  Choose(button->GetMenu(), IndexOf("Open manual ..."));
  Choose(button->GetMenu(), IndexOf("Open data folder ..."));
  EXPECT_TRUE(g->TakeLog().empty());
}

} // namespace
} // namespace editortest
