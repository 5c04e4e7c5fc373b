// Where the drawn popup menu puts its panels and rows, worked out by hand
// from the spacing (gap 2, padding 5, shadow 10, check area 10, arrow area
// 8, text padding 5) and the test back end's 7 x 10 point characters.

#include <cmath>

#include "PopupMenuFixture.h"

namespace controlstest {
namespace {

IPopupMenu* NumberedMenu(int n)
{
  auto* m = new IPopupMenu();
  for (int i = 0; i < n; ++i)
    m->AddItem(std::to_string(100 + i).c_str()); // 21 points wide
  return m;
}

PanelMetrics EditorMetrics(float w, float h)
{
  PanelMetrics m;
  m.maxBounds = IRECT(0, 0, w, h);
  return m;
}

using PopupMenuLayout = PopupMenuFixture;

TEST_F(PopupMenuLayout, PanelIsTwentyEightWiderThanItsWidestTextAndTextStartsFifteenIn)
{
  IPopupMenu menu("", 0, false, {"ab", "abcdef", "a"});
  ShowOpen(menu, IRECT(100, 100, 120, 110));
  const MenuPanel* p = popup->GetPanel(0);
  ASSERT_NE(p, nullptr);
  ASSERT_EQ(p->NRows(), 3);
  const IRECT& row = p->mCells[1];
  EXPECT_FLOAT_EQ(row.W(), 6 * 7 + 28);
  EXPECT_FLOAT_EQ(row.H(), 10);
  EXPECT_FLOAT_EQ(p->mCells[2].T - p->mCells[1].B, 2); // the gap
  EXPECT_EQ(p->mRect, IRECT(row.L - 5, p->mCells[0].T - 5, row.R + 5, p->mCells[2].B + 5));
  EXPECT_EQ(p->mShadowRect, p->mRect.GetPadded(10));

  // Drawn: every text 15 points right of its row, the highlight 5 beyond it.
  HoverRow(0, 1);
  g->TakePaints();
  g->TakeLog();
  Run(20);
  int texts = 0;
  for (const std::string& line : g->TakeLog())
    if (line.rfind("DrawText", 0) == 0) {
      ++texts;
      EXPECT_NE(line.find(Fmt("(%g,", row.L + 15)), std::string::npos) << line;
    }
  EXPECT_EQ(texts, 3);
  bool highlight = false;
  for (const PaintCall& call : g->TakePaints()) {
    const IColor& c = call.pattern.mStops[0].mColor;
    if (!call.isFill || c.R != 0 || c.G != 0 || c.B != 255)
      continue;
    float lo = 1e9f, hi = -1e9f;
    for (const PathOp& op : call.path)
      if (op.kind == PathOp::kMove || op.kind == PathOp::kLine) {
        lo = std::min(lo, op.v[0]);
        hi = std::max(hi, op.v[0]);
      }
    EXPECT_FLOAT_EQ(lo, row.L - 5);
    EXPECT_FLOAT_EQ(hi, row.R + 5);
    highlight = true;
  }
  EXPECT_TRUE(highlight);
}

TEST_F(PopupMenuLayout, ScrollingPanelHasRowsForTheEditorHeightAndNeverFewerThanThree)
{
  struct Case {
    int height;
    int rows; // floor((height - 20) / 12), at least 3
  } cases[] = {{470, 37}, {200, 15}, {68, 4}, {60, 3}, {40, 3}, {25, 3}, {12, 3}};
  for (const Case& c : cases) {
    Open(300, c.height);
    std::unique_ptr<IPopupMenu> menu(NumberedMenu(40));
    ShowOpen(*menu, IRECT(10, 2, 30, 8));
    const MenuPanel* p = popup->GetPanel(0);
    ASSERT_NE(p, nullptr);
    EXPECT_TRUE(p->mScrolls) << c.height;
    EXPECT_EQ(p->NRows(), c.rows) << c.height;
    EXPECT_FLOAT_EQ(p->mCells[0].T, 15) << c.height;
    // At the top only the last row is an arrow; the first and last rows
    // are never both arrows of the same kind.
    EXPECT_FALSE(p->IsUpArrowRow(0));
    EXPECT_TRUE(p->IsDownArrowRow(c.rows - 1));
    // The wheel cannot move past the last item.
    g->OnMouseWheel(p->mCells[1].MW(), p->mCells[1].MH(), IMouseMod(), -100.f);
    EXPECT_EQ(p->mScrollOffset, 40 - c.rows) << c.height;
    EXPECT_TRUE(p->IsUpArrowRow(0));
    EXPECT_FALSE(p->IsDownArrowRow(c.rows - 1));
    g->OnMouseWheel(p->mCells[1].MW(), p->mCells[1].MH(), IMouseMod(), 500.f);
    EXPECT_EQ(p->mScrollOffset, 0) << c.height;
    popup->CollapseWithoutChoice();
    Run(400);
  }
}

TEST(PopupMenuPanel, ColumnsBreakBeforeEveryMultipleOfTheColumnSizeFromItemTwoOnAndHoldAtLeastOneRow)
{
  struct Case {
    int maxColumnItems;
    float editorHeight, x, y;
    std::vector<int> column; // column of each item
  } cases[] = {
    {3, 400, 50, 60, {0, 0, 0, 1, 1, 1, 2}},
    {1, 400, 50, 60, {0, 0, 1, 2, 3, 4, 5}}, // no break is possible before item 2
    {0, 400, 50, 60, {0, 0, 0, 0, 0, 0, 0}},
    // An editor shorter than a row: every column still holds one.
    {0, 12, 0, 0, {0, 1, 2, 3}},
  };
  for (const Case& c : cases) {
    const int n = static_cast<int>(c.column.size());
    std::unique_ptr<IPopupMenu> menu(NumberedMenu(n));
    PanelMetrics m = EditorMetrics(600, c.editorHeight);
    m.scrollIfTooBig = false;
    m.maxColumnItems = c.maxColumnItems;
    const MenuPanel p(*menu, c.x, c.y, -1, 49, 10, m);
    ASSERT_EQ(p.NRows(), n);
    for (int i = 0; i < n; ++i) {
      const IRECT& cell = p.mCells[static_cast<size_t>(i)];
      EXPECT_FLOAT_EQ(cell.L, c.x + 5 + c.column[static_cast<size_t>(i)] * 51.f) << c.maxColumnItems << " item " << i;
      if (c.editorHeight < 20) {
        EXPECT_FLOAT_EQ(cell.T, 5) << "item " << i;
      }
    }
  }
}

TEST(PopupMenuPanel, AMenuShiftedUpOnOverflowStaysInsideTheEditor)
{
  // 30 rows from y = 200 overflow a 470-high editor that has room for 37;
  // shifted up by the whole menu it would start at 200 + 15 - 300 = -85.
  std::unique_ptr<IPopupMenu> menu(NumberedMenu(30));
  const MenuPanel p(*menu, 40, 200, -1, 49, 10, EditorMetrics(650, 470));
  EXPECT_FALSE(p.mScrolls);
  ASSERT_EQ(p.NRows(), 30);
  EXPECT_FLOAT_EQ(p.mCells[0].T, 15);
  EXPECT_GE(p.mRect.T, 0);
  EXPECT_FLOAT_EQ(p.mCells[29].T, 15 + 29 * 12.f);
}

TEST(PopupMenuPanel, SeparatorRowsAreTwoHighAndExpandedBoundsReplaceTheContent)
{
  IPopupMenu menu;
  menu.AddItem("one");
  menu.AddItem("", -1, IPopupMenu::Item::kSeparator);
  menu.AddItem("two");
  PanelMetrics m = EditorMetrics(400, 300);
  const MenuPanel plain(menu, 10, 10, -1, 49, 10, m);
  EXPECT_FLOAT_EQ(plain.mCells[1].H(), 2);
  EXPECT_FLOAT_EQ(plain.mCells[2].T, 15 + 10 + 2 + 2 + 2);
  m.expandedBounds = IRECT(50, 50, 150, 250);
  const MenuPanel expanded(menu, 10, 10, -1, 49, 10, m);
  EXPECT_EQ(expanded.mRect, IRECT(45, 45, 155, 255));
  EXPECT_EQ(expanded.mShadowRect, IRECT(35, 35, 165, 265));
}

TEST_F(PopupMenuLayout, TheCalloutArrowPointsFromThePanelAtTheAnchor)
{
  popup->SetCallout(true);
  IPopupMenu menu("", 0, false, {"abc", "def", "ghi"});
  const IRECT anchor(100, 100, 140, 120); // centre x 120
  ShowOpen(menu, anchor);
  EXPECT_EQ(popup->GetCalloutDirection(), 2);
  EXPECT_EQ(popup->GetCalloutRect(), IRECT(116, 120, 124, 128));
  EXPECT_FLOAT_EQ(popup->GetPanel(0)->mItemRect.T, 128); // below the arrow
  g->TakePaints();
  popup->SetDirty(false);
  Run(20);
  // A white triangle with its apex on the anchor's bottom edge.
  bool found = false;
  for (const PaintCall& call : g->TakePaints()) {
    const IColor& c = call.pattern.mStops[0].mColor;
    if (!call.isFill || c.R != 255 || c.G != 255 || c.B != 255 || call.path.size() < 3)
      continue;
    if (call.path[0].v[0] == 120.f && call.path[0].v[1] == 120.f)
      found = call.path[1].v[1] == 128.f && call.path[2].v[1] == 128.f;
  }
  EXPECT_TRUE(found);
}

TEST_F(PopupMenuLayout, RootPanelIsPlacedBesideBelowOrAboveTheAnchor)
{
  // Menu of three 3-letter items: w = 21 + 28 = 49, h = 3 x 10 + 2 x 2 = 34;
  // editor 400 x 300: x in [10, 331], y in [10, 246].
  struct Case {
    const char* what;
    IRECT anchor;
    bool submenu, preferBelow;
    float x, y;
    int direction;
  } cases[] = {
    {"below, clamped left", IRECT(10, 10, 30, 20), false, true, 10, 20, 2},
    {"below, centred", IRECT(100, 100, 140, 120), false, true, 95.5f, 120, 2},
    {"beside, upper half", IRECT(100, 100, 140, 120), false, false, 140, 96, 1},
    {"above, near the bottom", IRECT(100, 280, 120, 290), false, true, 85.5f, 236, 0},
    {"beside the right edge, pointing right", IRECT(360, 100, 380, 110), false, false, 301, 91, 3},
    {"submenus: more room above", IRECT(300, 200, 320, 210), true, true, 285.5f, 144, 0},
    {"submenus: more room below", IRECT(300, 80, 320, 90), true, true, 285.5f, 90, 2},
  };
  for (const Case& c : cases) {
    IPopupMenu menu("", 0, false, {"abc", "def", "ghi"});
    if (c.submenu) // four rows: h = 4 x 10 + 3 x 2 = 46, y in [10, 234]
      menu.AddItem("jkl", new IPopupMenu("", 0, false, {"x"}));
    popup->SetPreferBelow(c.preferBelow);
    Show(menu, c.anchor);
    const MenuPanel* p = popup->GetPanel(0);
    ASSERT_NE(p, nullptr) << c.what;
    EXPECT_FLOAT_EQ(p->mItemRect.L, c.x) << c.what;
    EXPECT_FLOAT_EQ(p->mItemRect.T, c.y) << c.what;
    EXPECT_EQ(popup->GetCalloutDirection(), c.direction) << c.what;
    popup->CollapseWithoutChoice();
    Run(400);
  }
}

} // namespace
} // namespace controlstest
