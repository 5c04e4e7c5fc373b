// The platform object's dialogs, menus, clipboard, URLs and cursors, with
// a person's answers queued in the stand-in.

#include <cstdio>
#include <filesystem>

#include "IGraphicsMenu.h"
#include "IVColorSwatchControl.h"
#include "MacEditorFixture.h"

namespace mactest {
namespace {

using Prompts = MacEditorFixture;

TEST_F(Prompts, MessageBoxesShowTheirTextAndButtonsAndAnswerPerButtonPressed)
{
  OpenHost(1.f);
  // OK 1, cancel 2, retry 4, yes 6, no 7. A press on a button the alert
  // lacks, or none at all, cancels: the "Cancel" button, else the default.
  // Types the table does not list show no panel ("" buttons) and cancel.
  struct Row {
    int type;
    const char* buttons;
    int onDefault, onAlternate, onOther, onNothing;
  };
  const Row rows[] = {
    {0, "OK||", 1, 1, 1, 1},          {1, "OK|Cancel|", 1, 2, 2, 2}, {2, "", 2, 2, 2, 2},
    {3, "Yes|Cancel|No", 6, 2, 7, 2}, {4, "Yes|No|", 6, 7, 6, 6},    {5, "Retry|Cancel|", 4, 2, 2, 2},
    {6, "", 2, 2, 2, 2},              {-1, "", 2, 2, 2, 2},          {9, "", 2, 2, 2, 2},
  };
  for (const Row& r : rows) {
    const bool panel = *r.buttons != 0;
    const long presses[] = {1, 0, -1, 2};
    const int results[] = {r.onDefault, r.onAlternate, r.onOther, r.onNothing};
    for (int i = 0; i < 4; ++i) {
      if (panel && presses[i] != 2)
        standin::QueueAlertButton(presses[i]);
      const size_t shownBefore = standin::ShownAlerts().size();
      int completed = -1;
      EXPECT_EQ(Graphics()->ShowMessageBox("Body", "Title", r.type, [&](int v) { completed = v; }), results[i])
        << "type " << r.type << " pressed " << presses[i];
      EXPECT_EQ(completed, results[i]);
      ASSERT_EQ(standin::ShownAlerts().size(), shownBefore + (panel ? 1 : 0)) << "type " << r.type;
      if (!panel)
        continue;
      const standin::ShownAlert shown = standin::ShownAlerts().back();
      EXPECT_EQ(shown.defaultButton + "|" + shown.alternateButton + "|" + shown.otherButton, r.buttons)
        << "type " << r.type;
      EXPECT_EQ(shown.title + "/" + shown.message, "Title/Body");
    }
  }
  // A message that is not UTF-8 is shown as ASCII; no title is an empty one.
  Graphics()->ShowMessageBox("bad \xff text", nullptr, 0);
  EXPECT_EQ(standin::ShownAlerts().back().title + "/" + standin::ShownAlerts().back().message, "/bad ? text");
}

TEST_F(Prompts, FilePanelsTakeTheChoiceOrLeaveTheNameEmptyWhenCancelled)
{
  UT_String name("take.wav"), path("/music/");
  OpenHost(1.f);
  // Without a window nothing is asked.
  {
    auto* g = new IGraphicsMac(dlg, 100, 100, 60, 1.f);
    g->PromptForFile(name, path, 0, "wav");
    EXPECT_STREQ(name.Get(), "");
    EXPECT_TRUE(standin::ShownPanels().empty());
    delete g;
  }
  name.Set("take.wav");
  standin::QueuePanelChoice("/music/mixes/final.aiff");
  Graphics()->PromptForFile(name, path, 1, "wav aiff");
  EXPECT_STREQ(name.Get(), "/music/mixes/final.aiff");
  EXPECT_STREQ(path.Get(), "/music/mixes/");
  standin::ShownPanel save = standin::ShownPanels().back();
  EXPECT_EQ(save.kind, "save");
  EXPECT_EQ(save.file, "take.wav");
  EXPECT_EQ(save.directory, "/music/");
  EXPECT_EQ(save.types, (std::vector<std::string>{"wav", "aiff"}));
  EXPECT_FALSE(save.allowsOtherTypes);
  EXPECT_TRUE(save.floating);

  name.Set("keep.wav");
  Graphics()->PromptForFile(name, path, 0, "");
  EXPECT_STREQ(name.Get(), "");
  EXPECT_STREQ(path.Get(), "/music/mixes/");
  standin::ShownPanel open = standin::ShownPanels().back();
  EXPECT_EQ(open.kind, "open");
  EXPECT_TRUE(open.canChooseFiles);
  EXPECT_FALSE(open.canChooseDirectories);
  EXPECT_TRUE(open.resolvesAliases);
  EXPECT_TRUE(open.types.empty());

  standin::QueuePanelChoice("/top.wav");
  Graphics()->PromptForFile(name, path, 0, "wav");
  EXPECT_STREQ(name.Get(), "/top.wav");
  EXPECT_STREQ(path.Get(), "/");
}

TEST_F(Prompts, TheFolderPromptStartsOnTheDesktopAndGivesAFolderWithASlash)
{
  OpenHost(1.f);
  UT_String dir;
  Graphics()->PromptForDirectory(dir);
  EXPECT_STREQ(dir.Get(), "");
  const standin::ShownPanel shown = standin::ShownPanels().back();
  EXPECT_EQ(shown.title, "Choose a Directory");
  EXPECT_EQ(shown.directory, standin::UserHome() + "/Desktop");
  EXPECT_FALSE(shown.canChooseFiles);
  EXPECT_TRUE(shown.canChooseDirectories);
  EXPECT_TRUE(shown.canCreateDirectories);

  dir.Set("/samples");
  standin::QueuePanelChoice("/samples/drums");
  Graphics()->PromptForDirectory(dir);
  EXPECT_STREQ(dir.Get(), "/samples/drums/");
  EXPECT_EQ(standin::ShownPanels().back().directory, "/samples");
}

TEST_F(Prompts, OpeningAURLOpensWhatCanBeMadeAndReportsFailureOtherwise)
{
  struct Row {
    const char* url;
    bool result;
    std::string request; // empty: nothing opened
  };
  const std::string cwd = std::filesystem::current_path().string();
  const Row rows[] = {
    {"https://example.com/manual", true, "url https://example.com/manual"},
    {"http://bad host/", false, ""},
    {"manual.pdf", true, "url file://" + cwd + "/manual.pdf"},
    {"~/Desktop/notes.txt", true, "url file://" + standin::UserHome() + "/Desktop/notes.txt"},
    {"", false, ""},
  };
  for (const Row& r : rows) {
    const size_t before = standin::WorkspaceRequests().size();
    auto* g = new IGraphicsMac(dlg, 100, 100, 60, 1.f);
    EXPECT_EQ(g->OpenURL(r.url), r.result) << r.url;
    delete g;
    const auto requests = standin::WorkspaceRequests();
    if (r.request.empty())
      EXPECT_EQ(requests.size(), before) << r.url;
    else
      EXPECT_EQ(requests.back(), r.request) << r.url;
  }
  standin::SetOpenURLSucceeds(false);
  IGraphicsMac g(dlg, 100, 100, 60, 1.f);
  EXPECT_FALSE(g.OpenURL("https://example.com"));
}

TEST_F(Prompts, RevealingAPathOpensItOrSelectsItInItsFolder)
{
  const std::string dir = std::filesystem::temp_directory_path() / "vorelle_reveal";
  std::filesystem::create_directories(dir);
  const std::string file = dir + "/preset.txt";
  std::fclose(std::fopen(file.c_str(), "w"));
  IGraphicsMac g(dlg, 100, 100, 60, 1.f);
  EXPECT_FALSE(g.RevealPath("", true));
  EXPECT_FALSE(g.RevealPath((dir + "/missing").c_str(), false));
  EXPECT_TRUE(standin::WorkspaceRequests().empty());
  EXPECT_TRUE(g.RevealPath(file.c_str(), false));
  EXPECT_EQ(standin::WorkspaceRequests().back(), "file " + file);
  EXPECT_TRUE(g.RevealPath(file.c_str(), true));
  const auto r = standin::WorkspaceRequests();
  ASSERT_EQ(r.size(), 3u);
  EXPECT_EQ(r[1], "file " + dir);
  EXPECT_EQ(r[2], "select " + file + " " + dir);
  std::filesystem::remove_all(dir);
}

TEST_F(Prompts, TheClipboardCarriesUTF8TextBothWays)
{
  IGraphicsMac g(dlg, 100, 100, 60, 1.f);
  UT_String text("stale");
  EXPECT_FALSE(g.GetTextFromClipboard(text));
  EXPECT_STREQ(text.Get(), "");
  EXPECT_TRUE(g.SetTextInClipboard("G\xc3\xa4in 3 dB"));
  EXPECT_TRUE(g.GetTextFromClipboard(text));
  EXPECT_STREQ(text.Get(), "G\xc3\xa4in 3 dB");
  EXPECT_FALSE(g.SetTextInClipboard("\xff"));
  EXPECT_FALSE(g.GetTextFromClipboard(text));
}

TEST_F(Prompts, TheColourPanelHandsThePickedColourToTheFunction)
{
  IColor start(255, 10, 20, 30);
  {
    IGraphicsMac closed(dlg, 100, 100, 60, 1.f);
    EXPECT_FALSE(closed.PromptForColor(start, "", [](const IColor&) {}));
  }
  OpenHost(1.f);
  std::vector<IColor> picked;
  EXPECT_TRUE(Graphics()->PromptForColor(start, "", [&](const IColor& c) { picked.push_back(c); }));
  NSColorPanel* panel = NSColorPanel::sharedColorPanel();
  EXPECT_TRUE(panel->isVisible());
  EXPECT_TRUE(panel->showsAlpha());
  EXPECT_NEAR(panel->color()->greenComponent(), 20 / 255.0, 1e-9);
  standin::PickColor(1.0, 0.5, 0.25, 0.8);
  ASSERT_EQ(picked.size(), 1u);
  EXPECT_EQ(picked[0], IColor(204, 255, 127, 63)); // truncated, not rounded
  CloseHost();
  EXPECT_FALSE(panel->isVisible());
}

TEST_F(Prompts, AColourPickedAfterTheSwatchWentReachesNothing)
{
  struct Row {
    const char* what;
    bool removed;
    size_t told;
  };
  const Row rows[] = {{"the swatch kept", false, 1}, {"the swatch removed while the panel is open", true, 0}};
  for (const Row& r : rows) {
    OpenHost(1.f);
    std::vector<IColor> told;
    auto* swatch =
      new IVColorSwatchControl(IRECT(120, 70, 190, 140), "", [&](int, const IColor& c) { told.push_back(c); },
                               DEFAULT_STYLE, kSwatchRow, {kForeground});
    Graphics()->AttachControl(swatch);
    const IRECT cell = swatch->GetCellRects()[0];
    Click(cell.MW(), cell.MH());
    ASSERT_TRUE(NSColorPanel::sharedColorPanel()->isVisible()) << r.what;
    if (r.removed)
      Graphics()->RemoveControl(swatch);
    standin::PickColor(1.0, 0.5, 0.25, 1.0);
    EXPECT_EQ(told.size(), r.told) << r.what;
    if (!r.removed) {
      EXPECT_EQ(swatch->GetColor(kForeground), IColor(255, 255, 127, 63));
    }
    CloseHost();
  }
}

TEST_F(Prompts, AnEnumPromptShowsTheNativeMenuAndTakesTheChoice)
{
  OpenHost(1.f);
  standin::QueueMenuChoice({2});
  Click(150, 50);
  EXPECT_EQ(Value(3), 2.0);
  const standin::ShownMenu shown = standin::ShownMenus().back();
  ASSERT_EQ(shown.items.size(), 3u);
  EXPECT_EQ(shown.items[0].title, "one");
  EXPECT_TRUE(shown.items[0].checked);
  EXPECT_EQ(shown.x, 120);
  EXPECT_EQ(shown.y, 64); // below the area, 4 points down
  Click(150, 50);         // dismissed: nothing changes
  EXPECT_EQ(Value(3), 2.0);
}

TEST_F(Prompts, CursorTypesShowTheirCursorOrItsFallback)
{
  OpenHost(1.f);
  struct Row {
    int type;
    const char* shown;
    const char* withoutNamedCursors;
  };
  const Row rows[] = {{0, "arrow", "arrow"},
                      {1, "IBeam", "IBeam"},
                      {2, "busyButClickable", "arrow"},
                      {3, "crosshair", "crosshair"},
                      {4, "windowResizeNorth", "resizeUp"},
                      {5, "windowResizeNorthWestSouthEast", "arrow"},
                      {6, "windowResizeNorthEastSouthWest", "arrow"},
                      {7, "windowResizeEastWest", "resizeLeftRight"},
                      {8, "windowResizeNorthSouth", "resizeUpDown"},
                      {9, "custom", "custom"},
                      {10, "operationNotAllowed", "operationNotAllowed"},
                      {11, "pointingHand", "pointingHand"},
                      {12, "busyButClickable", "arrow"},
                      {13, "help", "arrow"},
                      {14, "arrow", "arrow"},
                      {99, "arrow", "arrow"}};
  for (const Row& r : rows) {
    Graphics()->SetMouseCursor(r.type);
    EXPECT_EQ(standin::CurrentCursor(), r.shown) << "type " << r.type;
    // The help cursor is put away when another is asked for.
    EXPECT_EQ(NSCursor::helpCursorShown(), r.type == 13) << "type " << r.type;
  }
  for (const char* name : {"busyButClickableCursor", "_windowResizeNorthCursor",
                           "_windowResizeNorthWestSouthEastCursor", "_windowResizeNorthEastSouthWestCursor",
                           "_windowResizeEastWestCursor", "_windowResizeNorthSouthCursor", "_helpCursor"})
    standin::SetCursorAvailable(name, false);
  for (const Row& r : rows) {
    Graphics()->SetMouseCursor(r.type);
    EXPECT_EQ(standin::CurrentCursor(), r.withoutNamedCursors) << "type " << r.type;
  }
  EXPECT_EQ(Graphics()->SetMouseCursor(1), 99);
}

// ---- The menu builder ---------------------------------------------------------

class NativeMenu : public ::testing::Test {
protected:
  void SetUp() override { standin::Reset(); }
  void TearDown() override { standin::DrainAutoreleasePools(); }

  IGraphicsMenu_vVorelle3_au* Build(IPopupMenu& menu)
  {
    receiver = IGraphicsMenuRcvr_vVorelle3_au::alloc();
    receiver->initWithFrame(NSMakeRect(0, 0, 10, 10));
    receiver->autorelease();
    return static_cast<IGraphicsMenu_vVorelle3_au*>(
      IGraphicsMenu_vVorelle3_au::alloc()->initWithIPopupMenuAndReceiver(&menu, receiver)->autorelease());
  }
  static std::string Title(NSMenu* m, int i) { return m->itemAtIndex(i)->title()->UTF8String(); }

  IGraphicsMenuRcvr_vVorelle3_au* receiver = nullptr;
};

TEST_F(NativeMenu, PrefixStylesNumberEveryItemFromOne)
{
  struct Row {
    int style;
    const char *ninth, *tenth;
  };
  const Row rows[] = {{0, "i", "j"},           {1, "9: i", "10: j"}, {2, "09: i", "10: j"},
                      {3, "009: i", "010: j"}, {4, "i", "j"},        {-1, "i", "j"}};
  for (const Row& r : rows) {
    IPopupMenu menu;
    for (const char* t : {"a", "b", "c", "d", "e", "f", "g", "h", "i", "j"})
      menu.AddItem(t);
    menu.SetPrefix(r.style);
    NSMenu* m = Build(menu);
    ASSERT_EQ(m->numberOfItems(), 10);
    EXPECT_EQ(Title(m, 8), r.ninth) << "style " << r.style;
    EXPECT_EQ(Title(m, 9), r.tenth) << "style " << r.style;
  }
}

TEST_F(NativeMenu, FlagsBecomeSeparatorsIndentsStatesAndDisabledItems)
{
  IPopupMenu menu;
  menu.AddItem("Title", -1, IPopupMenu::Item::kTitle);
  menu.AddItem("", -1, IPopupMenu::Item::kSeparator);
  menu.AddItem("Locked", -1, IPopupMenu::Item::kDisabled | IPopupMenu::Item::kChecked);
  menu.AddItem("Free");
  menu.SetPrefix(1);
  NSMenu* m = Build(menu);
  EXPECT_EQ(m->itemAtIndex(0)->indentationLevel(), 1);
  EXPECT_TRUE(m->itemAtIndex(1)->isSeparatorItem());
  EXPECT_EQ(Title(m, 2), "3: Locked"); // separators are counted
  EXPECT_EQ(m->itemAtIndex(2)->state(), NSControlStateValueOn);
  EXPECT_FALSE(m->itemAtIndex(2)->isEnabled());
  EXPECT_FALSE(m->autoenablesItems());

  standin::QueueMenuChoice({2});
  EXPECT_FALSE(m->popUpMenuPositioningItem(nullptr, NSMakePoint(0, 0), nullptr));
  EXPECT_EQ(receiver->menuItem(), nullptr);
  standin::QueueMenuChoice({3});
  EXPECT_TRUE(m->popUpMenuPositioningItem(nullptr, NSMakePoint(0, 0), nullptr));
  EXPECT_EQ(receiver->menuItem(), m->itemAtIndex(3));
}

TEST_F(Prompts, AChoiceInASubmenuReturnsTheSubmenuWithItsIndexAndRunsItsFunction)
{
  IPopupMenu menu;
  auto* sub = new IPopupMenu(); // owned by its item
  sub->AddItem("Deep");
  sub->AddItem("Deeper");
  menu.AddItem("Top");
  menu.AddItem("More", sub);
  std::vector<IPopupMenu*> called;
  sub->SetFunction([&](IPopupMenu* m) { called.push_back(m); });
  bool async = true;
  {
    IGraphicsMac closed(dlg, 100, 100, 60, 1.f);
    EXPECT_EQ(closed.CreatePlatformPopupMenu(menu, IRECT(0, 0, 10, 10), async), nullptr);
  }
  OpenHost(1.f, 2.f);
  standin::QueueMenuChoice({1, 1});
  EXPECT_EQ(Graphics()->CreatePlatformPopupMenu(menu, IRECT(10.5f, 10, 50, 30.2f), async), sub);
  EXPECT_FALSE(async);
  EXPECT_EQ(sub->GetChosenItemIdx(), 1);
  EXPECT_EQ(called, std::vector<IPopupMenu*>{sub});
  const standin::ShownMenu shown = standin::ShownMenus().back();
  EXPECT_EQ(shown.items[1].submenu.size(), 2u);
  EXPECT_FALSE(shown.items[1].hasAction);
  // The rectangle at draw scale 2, edges rounded outward: left 21, bottom 61.
  EXPECT_EQ(shown.x, 21);
  EXPECT_EQ(shown.y, 65);
  // Choosing an item that opens a submenu chooses nothing.
  standin::QueueMenuChoice({1});
  EXPECT_EQ(Graphics()->CreatePlatformPopupMenu(menu, IRECT(0, 0, 10, 10), async), nullptr);
}

} // namespace
} // namespace mactest
