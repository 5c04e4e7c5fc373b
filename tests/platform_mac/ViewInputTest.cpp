// What a control hears of AppKit input through the view: click counts,
// modifier flags, positions at the draw scale, mouse-out timing, and the
// pointer placed by the editor.

#include <algorithm>
#include <cmath>
#include <utility>

#include "MacEditorFixture.h"

namespace mactest {
namespace {

class Recorder : public IControl {
public:
  explicit Recorder(const IRECT& r) : IControl(r) {}
  void Draw(IGraphics& g) override { g.FillRect(COLOR_BLACK, mRECT); }
  void OnMouseDown(float x, float y, const IMouseMod& m) override { Add("down", x, y, m); }
  void OnMouseUp(float x, float y, const IMouseMod& m) override { Add("up", x, y, m); }
  void OnMouseDblClick(float x, float y, const IMouseMod& m) override { Add("double", x, y, m); }
  void OnMouseDrag(float x, float y, float dX, float dY, const IMouseMod&) override
  {
    char line[96];
    std::snprintf(line, sizeof line, "drag %g,%g by %g,%g", x, y, dX, dY);
    log.push_back(line);
  }
  void OnMouseOut() override { log.push_back("out"); }
  void Add(const char* what, float x, float y, const IMouseMod& m)
  {
    char line[96];
    std::snprintf(line, sizeof line, "%s %g,%g %s%s%s%s%s", what, x, y, m.L ? "L" : "", m.R ? "R" : "", m.S ? "S" : "",
                  m.C ? "C" : "", m.A ? "A" : "");
    log.push_back(line);
  }
  std::vector<std::string> log;
};

class ViewInput : public MacEditorFixture {
protected:
  void Layout(IGraphics& g) override
  {
    MacEditorFixture::Layout(g);
    rec = new Recorder(IRECT(120, 80, 190, 140));
    g.AttachControl(rec);
  }
  Recorder* rec = nullptr;
};

TEST_F(ViewInput, OddClickCountsAreDownsAndEvenOnesDoubleClicks)
{
  OpenHost(1.f);
  for (NSInteger clicks : {1, 2, 3, 4}) {
    Mouse(NSEventTypeLeftMouseDown, 130.5f, 90.25f, 0, clicks);
    Mouse(NSEventTypeLeftMouseUp, 130.5f, 90.25f, 0, clicks);
  }
  EXPECT_EQ(rec->log, (std::vector<std::string>{"down 130.5,90.25 L", "up 130.5,90.25 ", "double 130.5,90.25 L",
                                                "down 130.5,90.25 L", "up 130.5,90.25 ", "double 130.5,90.25 L"}));
}

TEST_F(ViewInput, ModifierFlagsBecomeMouseModifiers)
{
  OpenHost(1.f, 2.f);
  struct Row {
    NSEventModifierFlags flags;
    const char* mods;
  };
  // Command counts as the right button, as on a one-button mouse.
  const Row rows[] = {{0, "L"},
                      {NSEventModifierFlagShift, "LS"},
                      {NSEventModifierFlagControl, "LC"},
                      {NSEventModifierFlagOption, "LA"},
                      {NSEventModifierFlagCommand, "LR"},
                      {NSEventModifierFlagShift | NSEventModifierFlagOption | NSEventModifierFlagCommand, "LRSA"},
                      {NSEventModifierFlagCapsLock, "L"}};
  for (const Row& r : rows) {
    rec->log.clear();
    Mouse(NSEventTypeLeftMouseDown, 150, 100, r.flags);
    Mouse(NSEventTypeLeftMouseUp, 150, 100, r.flags);
    ASSERT_FALSE(rec->log.empty());
    EXPECT_EQ(rec->log[0], std::string("down 150,100 ") + r.mods) << r.flags;
  }
  rec->log.clear();
  Mouse(NSEventTypeRightMouseDown, 150, 100, NSEventModifierFlagShift);
  Mouse(NSEventTypeRightMouseUp, 150, 100);
  EXPECT_EQ(rec->log, (std::vector<std::string>{"down 150,100 RS", "up 150,100 R"}));
}

// Screen scale and draw scale of the editor a drag runs in.
class UnlockedDrag : public ViewInput, public ::testing::WithParamInterface<std::pair<float, float>> {};

TEST_P(UnlockedDrag, ReportsTheStepsFromOneEventToTheNextInEditorPoints)
{
  OpenHost(GetParam().first, GetParam().second);
  Mouse(NSEventTypeLeftMouseDown, 130, 90);
  Mouse(NSEventTypeLeftMouseDragged, 137.5f, 86);
  Mouse(NSEventTypeLeftMouseDragged, 131, 100);
  Mouse(NSEventTypeLeftMouseDragged, 131, 100); // no step: not delivered
  Mouse(NSEventTypeLeftMouseUp, 131, 100);
  EXPECT_EQ(rec->log, (std::vector<std::string>{"down 130,90 L", "drag 137.5,86 by 7.5,-4", "drag 131,100 by -6.5,14",
                                                "up 131,100 "}));
}

INSTANTIATE_TEST_SUITE_P(Scales, UnlockedDrag,
                         ::testing::Values(std::make_pair(1.f, 1.f), std::make_pair(2.f, 1.f), std::make_pair(1.f, 2.f),
                                           std::make_pair(2.f, 1.5f)));

TEST_F(ViewInput, LeavingTheViewTellsTheControlsAtOnceOrAfterTheReleaseOfADrag)
{
  OpenHost(1.f);
  Mouse(NSEventTypeMouseMoved, 150, 100);
  rec->log.clear();
  Mouse(NSEventTypeMouseMoved, 250, 100);
  EXPECT_EQ(rec->log, std::vector<std::string>{"out"});
  rec->log.clear();
  Mouse(NSEventTypeMouseMoved, 150, 100);
  Mouse(NSEventTypeLeftMouseDown, 150, 100);
  Mouse(NSEventTypeLeftMouseDragged, 250, 100);
  // The exit waits for the release.
  EXPECT_EQ(rec->log, (std::vector<std::string>{"down 150,100 L", "drag 250,100 by 100,0"}));
  EXPECT_TRUE(Graphics()->ControlIsCaptured());
  Mouse(NSEventTypeLeftMouseUp, 250, 100);
  EXPECT_EQ(rec->log, (std::vector<std::string>{"down 150,100 L", "drag 250,100 by 100,0", "up 250,100 ", "out"}));
  EXPECT_FALSE(Graphics()->ControlIsCaptured());
  EXPECT_EQ(Graphics()->GetMouseOverIdx(), -1);
}

TEST_F(ViewInput, AKnobHeldWhileTheHostTakesTheEditorAwayEndsItsGestureOnce)
{
  OpenHost(1.f);
  Mouse(NSEventTypeLeftMouseDown, 35, 35);
  Mouse(NSEventTypeLeftMouseDragged, 35, 20);
  ASSERT_EQ(std::count(dlg.mLog.begin(), dlg.mLog.end(), "Begin 0"), 1);
  CloseHost();
  EXPECT_EQ(std::count(dlg.mLog.begin(), dlg.mLog.end(), "End 0"), 1);
}

TEST_F(ViewInput, TheEditorPlacesThePointerAndReadsItBackInItsOwnPoints)
{
  OpenHost(1.f, 2.f);
  Graphics()->MoveMouseCursor(50, 40);
  // The window's content starts at screen (300, 200); the view is flipped
  // and twice the editor's size.
  const standin::PointerState p = standin::Pointer();
  EXPECT_EQ(p.x, 300 + 50 * 2);
  EXPECT_EQ(p.y, 200 + (kH - 40) * 2);
  EXPECT_EQ(p.warps, 1);
  float x = 0, y = 0;
  Graphics()->GetMouseLocation(x, y);
  EXPECT_EQ(x, 50);
  EXPECT_EQ(y, 40);
  // Tablet input leaves the pointer alone.
  Graphics()->SetTabletInput(true);
  Graphics()->MoveMouseCursor(10, 10);
  EXPECT_EQ(standin::Pointer().warps, 1);
}

TEST_F(ViewInput, HidingTheCursorTwiceOrShowingItTwiceChangesItOnce)
{
  OpenHost(1.f);
  Graphics()->HideMouseCursor(true, false);
  Graphics()->HideMouseCursor(true, true);
  EXPECT_EQ(standin::Pointer().hideCount, 1);
  EXPECT_FALSE(Graphics()->IsCursorLocked()); // the second call changed nothing
  Graphics()->HideMouseCursor(false);
  Graphics()->HideMouseCursor(false);
  EXPECT_EQ(standin::Pointer().hideCount, 0);
}

TEST_F(ViewInput, ToolTipsNameTheControlUnderThePointerAndOnlyVisibleControlsWithAnArea)
{
  OpenHost(1.f, 2.f);
  Graphics()->EnableMouseOver(true);
  Mouse(NSEventTypeMouseMoved, 35, 35);
  EXPECT_EQ(standin::ToolTipAt(window, At(35, 35).x, At(35, 35).y), "Gain");
  Mouse(NSEventTypeMouseMoved, 90, 25);
  EXPECT_EQ(standin::ToolTipAt(window, At(90, 25).x, At(90, 25).y), "");
  const size_t all = view->toolTipRects().size();
  EXPECT_EQ(all, size_t(Graphics()->NControls()));
  Graphics()->GetControl(2)->Hide(true);
  Graphics()->GetControl(3)->SetTargetAndDrawRECTs(IRECT());
  Graphics()->UpdateTooltips();
  EXPECT_EQ(view->toolTipRects().size(), all - 2);
  // The knob's rectangle at draw scale 2.
  const NSRect r = view->toolTipRects()[1].rect;
  EXPECT_EQ(r.origin.x, 20);
  EXPECT_EQ(r.size.width, 100);
}

TEST(PlatformRect, GraphicsRectanglesGrowOutwardToWholePoints)
{
  struct Row {
    IRECT r;
    float scale;
    double x, y, w, h;
  };
  const Row rows[] = {{IRECT(0, 0, 10, 10), 1.f, 0, 0, 10, 10},
                      {IRECT(10.5f, 10, 50, 30.2f), 2.f, 21, 20, 79, 41},
                      {IRECT(0.4f, 0.6f, 0.4f, 0.6f), 1.f, 0, 0, 1, 1},
                      {IRECT(-1.5f, -0.5f, 1.5f, 0.5f), 1.f, -2, -1, 4, 2},
                      {IRECT(3, 3, 4, 4), 1.5f, 4, 4, 2, 2}};
  for (const Row& row : rows) {
    const NSRect n = ToNSRect(row.r, row.scale);
    EXPECT_EQ(n.origin.x, row.x);
    EXPECT_EQ(n.origin.y, row.y);
    EXPECT_EQ(n.size.width, row.w);
    EXPECT_EQ(n.size.height, row.h);
  }
}

} // namespace
} // namespace mactest
