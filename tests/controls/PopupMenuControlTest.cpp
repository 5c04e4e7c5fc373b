// The drawn popup menu's life: fade in, hover, submenus, choice, the three
// closing phases on the test clock, refused requests, keys, and menus that
// the caller frees as soon as it has its answer.

#include <algorithm>

#include "PopupMenuFixture.h"

namespace controlstest {
namespace {

using State = IPopupMenuControl::EPopupState;
using PopupMenuControl = PopupMenuFixture;

TEST_F(PopupMenuControl, OpensFadingInThenChoosesAndClosesInThreePhasesOfOneHundredMilliseconds)
{
  IPopupMenu menu("", 0, false, {"one", "two", "three"});
  int completions = 0;
  menu.SetFunction([&](IPopupMenu* m) {
    ++completions;
    EXPECT_EQ(m->GetChosenItemIdx(), 1);
  });
  Show(menu, IRECT(100, 100, 120, 110));
  EXPECT_EQ(popup->GetState(), State::kPopupOpening);
  EXPECT_FALSE(popup->IsHidden());
  g->Tick(50);
  EXPECT_NEAR(popup->GetPanel(0)->mBlend.mWeight, 0.5 * 0.95, 0.02);
  Run(60);
  EXPECT_EQ(popup->GetState(), State::kPopupOpen);
  EXPECT_FLOAT_EQ(popup->GetPanel(0)->mBlend.mWeight, 0.95f);
  g->TakeLog();
  dlg.TakeLog();

  ClickRow(0, 1);
  EXPECT_EQ(completions, 1);
  EXPECT_EQ(Answers(), std::vector<std::string>{"1 0"});
  EXPECT_EQ(dlg.TakeLog(), Log({"UIMouseDown", "End 0", "UIMouseUp"})); // the caller's bracket closes
  EXPECT_EQ(popup->GetState(), State::kPopupConfirming);
  EXPECT_TRUE(popup->IsHidden());
  const State phases[] = {State::kPopupFading, State::kPopupClosing, State::kPopupHidden};
  for (State next : phases) {
    Run(90);
    EXPECT_NE(popup->GetState(), next);
    Run(20);
    EXPECT_EQ(popup->GetState(), next);
  }
  EXPECT_EQ(popup->NPanels(), 0);
}

TEST_F(PopupMenuControl, ClicksThatChooseNothingEscapeAndLostFocusCloseWithoutAChoice)
{
  IPopupMenu menu("", 0, false, {"one"});
  menu.AddItem("off", -1, IPopupMenu::Item::kDisabled);
  menu.AddItem("", -1, IPopupMenu::Item::kSeparator);
  menu.AddItem("title", -1, IPopupMenu::Item::kTitle);
  menu.AddItem("more", new IPopupMenu("", 0, false, {"x"}));
  struct Case {
    const char* what;
    int row; // -1: outside every panel, -2: escape, -3: focus lost over "one"
  } cases[] = {{"outside", -1},  {"escape", -2}, {"focus lost", -3}, {"disabled", 1},
               {"separator", 2}, {"title", 3},   {"submenu", 4}};
  for (const Case& c : cases) {
    ShowOpen(menu, IRECT(100, 100, 120, 110));
    g->TakeLog();
    if (c.row == -1)
      ClickAt(390, 290);
    else if (c.row == -2)
      EXPECT_TRUE(g->OnKeyDown(0, 0, IKeyPress("", 27)));
    else if (c.row == -3) {
      HoverRow(0, 0);
      g->OnFocusLost();
      EXPECT_FALSE(popup->IsMenuOpen());
    } else
      ClickRow(0, c.row);
    EXPECT_EQ(Answers(), std::vector<std::string>{"-1 0"}) << c.what;
    EXPECT_EQ(menu.GetChosenItemIdx(), -1) << c.what;
    EXPECT_EQ(g->GetControlInPopupMenu(), nullptr) << c.what;
    Run(400);
  }
}

TEST_F(PopupMenuControl, HoverHighlightsARowOnlyWhenItsItemIsEnabled)
{
  IPopupMenu menu("", 0, false, {"one"});
  menu.AddItem("off", -1, IPopupMenu::Item::kDisabled);
  menu.AddItem("more", new IPopupMenu("", 0, false, {"x"}));
  menu.AddItem("shut", new IPopupMenu("", 0, false, {"y"}))->SetFlags(IPopupMenu::Item::kDisabled);
  struct Case {
    const char* what;
    int row;
    int mouseCell; // -1: none
    int panels;    // the root, and a submenu opened by the hover
  } cases[] = {{"enabled", 0, 0, 1},
               {"disabled", 1, -1, 1},
               {"enabled with a submenu", 2, 2, 2},
               {"disabled with a submenu", 3, -1, 1}};
  for (const Case& c : cases) {
    ShowOpen(menu, IRECT(100, 100, 120, 110));
    HoverRow(0, c.row);
    EXPECT_EQ(popup->GetMouseCell(), c.mouseCell) << c.what;
    EXPECT_EQ(popup->NPanels(), c.panels) << c.what;
    Run(250);
    // The highlight, blue, reaches five points past the row on both sides.
    g->TakePaints();
    popup->Draw(*g);
    std::vector<IRECT> blue;
    for (const PaintCall& p : g->TakePaints())
      if (p.isFill && p.pattern.mStops[0].mColor == IColor(255, 0, 0, 255))
        blue.emplace_back(p.path[0].v[0], p.path[0].v[1], p.path[2].v[0], p.path[2].v[1]);
    const IRECT& cell = popup->GetPanel(0)->mCells[static_cast<size_t>(c.row)];
    if (c.mouseCell < 0)
      EXPECT_TRUE(blue.empty()) << c.what;
    else
      EXPECT_EQ(blue, std::vector<IRECT>{IRECT(cell.L - 5, cell.T, cell.R + 5, cell.B)}) << c.what;
    ClickAt(390, 290);
    Run(400);
  }
}

TEST_F(PopupMenuControl, ASeparatorShowsOnlyOnceItsPanelIsMoreThanNinetyPercentIn)
{
  IPopupMenu menu("", 0, false, {"one"});
  menu.AddItem("", -1, IPopupMenu::Item::kSeparator);
  menu.AddItem("two");
  Show(menu, IRECT(100, 100, 120, 110));
  // The panel's weight is 0.95 of the opening's progress.
  struct Step {
    double atMs;
    bool separator;
  } steps[] = {{50, false}, {94, false}, {96, true}, {150, true}};
  double now = 0;
  for (const Step& st : steps) {
    g->TakeLog();
    g->Tick(st.atMs - now);
    now = st.atMs;
    const Log log = g->TakeLog();
    const bool drawn = std::find(log.begin(), log.end(), "PathFill 255,200,200,200") != log.end();
    EXPECT_EQ(drawn, st.separator) << st.atMs << " ms, weight " << popup->GetPanel(0)->mBlend.mWeight;
  }
}

TEST_F(PopupMenuControl, ArrowKeysSkipDisabledRowsAndReturnChooses)
{
  IPopupMenu menu("", 0, false, {"one"});
  menu.AddItem("off", -1, IPopupMenu::Item::kDisabled);
  menu.AddItem("three");
  ShowOpen(menu, IRECT(100, 100, 120, 110));
  g->TakeLog();
  g->OnKeyDown(0, 0, IKeyPress("", 40)); // "one"
  g->OnKeyDown(0, 0, IKeyPress("", 40)); // skips the disabled row
  EXPECT_EQ(popup->GetMouseCell(), 2);
  g->OnKeyDown(0, 0, IKeyPress("", 40)); // stays on the last
  g->OnKeyDown(0, 0, IKeyPress("", 13));
  EXPECT_EQ(Answers(), std::vector<std::string>{"2 0"});
}

TEST_F(PopupMenuControl, HoverOpensASubmenuAndItsChoiceComesBackOnTheSubmenu)
{
  IPopupMenu menu("", 0, false, {"plain"});
  auto* sub = new IPopupMenu("", 0, false, {"50%", "100%", "200%"});
  menu.AddItem("Scale", sub);
  int subCompletions = 0;
  sub->SetFunction([&](IPopupMenu*) { ++subCompletions; });
  ShowOpen(menu, IRECT(100, 100, 120, 110));
  HoverRow(0, 1);
  EXPECT_EQ(popup->GetState(), State::kPopupSubmenuOpening);
  ASSERT_EQ(popup->NPanels(), 2);
  EXPECT_EQ(popup->GetPanel(1)->mParentIndex, 0);
  EXPECT_EQ(popup->GetPanel(0)->mHighlightedCell, 1);
  // Beside the row it came from, to the right (anchor in the left half).
  EXPECT_GE(popup->GetPanel(1)->mItemRect.L, popup->GetPanel(0)->mCells[1].R + 5);
  Run(150);
  EXPECT_FLOAT_EQ(popup->GetPanel(1)->mBlend.mWeight, 0.f); // appears only after 90 %
  Run(70);
  EXPECT_EQ(popup->GetState(), State::kPopupOpen);

  // Back on a plain row hides the submenu; on the submenu row again shows it.
  HoverRow(0, 0);
  EXPECT_FALSE(popup->GetPanel(1)->mVisible);
  HoverRow(0, 1);
  EXPECT_TRUE(popup->GetPanel(1)->mVisible);
  EXPECT_EQ(popup->NPanels(), 2); // built once
  Run(220);
  g->TakeLog();
  ClickRow(1, 2);
  EXPECT_EQ(subCompletions, 1);
  EXPECT_EQ(sub->GetChosenItemIdx(), 2);
  EXPECT_EQ(Answers(), std::vector<std::string>{"2 0"});
}

TEST_F(PopupMenuControl, ARequestWhileAMenuWaitsOrClosesIsAnsweredAndChangesNothing)
{
  IPopupMenu second("", 0, false, {"c"});
  auto* other = new RecordingControl("other", IRECT(50, 50, 60, 60), 1);
  g->AttachControl(other);
  for (bool closing : {false, true}) {
    IPopupMenu first("", 0, false, {"a", "b"});
    first.AddItem("sub", new IPopupMenu("", 0, false, {"x"}));
    ShowOpen(first, IRECT(100, 100, 120, 110));
    if (closing) {
      ClickRow(0, 0);
      Run(150);
      ASSERT_EQ(popup->GetState(), State::kPopupFading);
    }
    g->TakeLog();
    dlg.TakeLog();
    g->CreatePopupMenu(*other, second, IRECT(10, 10, 20, 20), 0);
    EXPECT_EQ(g->TakeLog(), Log({"other PopupSelection -1 0"})) << closing;
    EXPECT_EQ(dlg.TakeLog(), Log({"End 1"})) << closing; // the newcomer's bracket closes too
    if (!closing) {                                      // the waiting caller keeps its turn
      EXPECT_EQ(popup->GetMenu(), &first);
      ClickRow(0, 1);
      EXPECT_EQ(Answers(), std::vector<std::string>{"1 0"});
      EXPECT_EQ(dlg.TakeLog(), Log({"UIMouseDown", "End 0", "UIMouseUp"}));
      Run(400);
      continue;
    }
    EXPECT_EQ(popup->GetMenu(), nullptr);
    EXPECT_EQ(g->GetControlInPopupMenu(), nullptr);
    Run(300);
    EXPECT_EQ(popup->GetState(), State::kPopupHidden);
    // Accepted again once hidden.
    g->CreatePopupMenu(*other, second, IRECT(10, 10, 20, 20), 0);
    EXPECT_EQ(popup->GetMenu(), &second);
  }
}

TEST_F(PopupMenuControl, AMenuFreedRightAfterItsAnswerIsNeverReadAgain)
{
  // The caller frees the whole tree in its answer, as the plug-in menu does
  // when it rebuilds; the sanitizers see any later read.
  auto* menu = new IPopupMenu("", 0, false, {"a"});
  menu->AddItem("sub", new IPopupMenu("", 0, false, {"b", "c"}));
  menu->SetFunction([](IPopupMenu*) {});
  ShowOpen(*menu, IRECT(100, 100, 120, 110));
  HoverRow(0, 1);
  Run(250);
  ClickRow(1, 0);
  delete menu;
  for (int i = 0; i < 40; ++i) {
    g->OnMouseOver(100.f + i, 115.f, IMouseMod());
    g->OnMouseWheel(100.f + i, 115.f, IMouseMod(), 1.f);
    g->Tick(10);
  }
  EXPECT_EQ(popup->GetState(), State::kPopupHidden);
}

TEST_F(PopupMenuControl, HoveringTheArrowRowsScrollsOneItemPerMove)
{
  Open(300, 200); // 15 rows
  IPopupMenu menu;
  for (int i = 0; i < 40; ++i)
    menu.AddItem(std::to_string(i).c_str());
  ShowOpen(menu, IRECT(10, 2, 30, 8));
  const MenuPanel* p = popup->GetPanel(0);
  ASSERT_EQ(p->NRows(), 15);
  for (int i = 0; i < 5; ++i)
    HoverRow(0, 14);
  EXPECT_EQ(p->mScrollOffset, 5);
  HoverRow(0, 0);
  EXPECT_EQ(p->mScrollOffset, 4);
  // A click on a shown item chooses the item there, not the row number.
  g->TakeLog();
  ClickRow(0, 3);
  EXPECT_EQ(menu.GetChosenItemIdx(), 7);
}

} // namespace
} // namespace controlstest
