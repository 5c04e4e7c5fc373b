// The corner resizer, the value bubble and the frame-rate display, attached
// through the graphics context's own operations and run on the test clock.

#include <gtest/gtest.h>

#include <cmath>

#include "ControlsFixture.h"
#include "IBubbleControl.h"
#include "IControlActions.h"
#include "ICornerResizerControl.h"
#include "IFPSDisplayControl.h"

namespace controlstest {
namespace {

using SpecialControls = ControlsFixture;

TEST_F(SpecialControls, CornerResizerResizesAndResetsAtDrawScale2)
{
  g->Resize(400, 300, 2.f, true);
  ASSERT_TRUE(g->AttachCornerResizer(0, false, COLOR_GRAY, COLOR_BLACK, COLOR_RED, 20.f));
  EXPECT_FALSE(g->AttachCornerResizer(0, false, COLOR_GRAY, COLOR_BLACK, COLOR_RED, 20.f));
  IControl* r = g->GetCornerResizer();
  ASSERT_NE(r, nullptr);
  EXPECT_EQ(r->GetRECT(), IRECT(390, 290, 400, 300));

  // Hovering sets the resize cursor and leaving restores the one before.
  g->EnableMouseOver(true);
  g->SetMouseCursor(3);
  struct Hover {
    float x, y;
    int cursor;
  } hovers[] = {{395, 295, 5}, {396, 296, 5}, {100, 100, 3}};
  for (const Hover& h : hovers) {
    g->OnMouseOver(h.x, h.y, IMouseMod());
    EXPECT_EQ(g->GetCursorType(), h.cursor) << h.x;
  }

  g->OnMouseDown(Pt(395, 295));
  EXPECT_TRUE(g->GetResizingInProcess());
  g->OnMouseDrag(Pt(296.25f, 221.25f, false, 0, -98.75f, -73.75f));
  g->OnMouseUp(Pt(296.25f, 221.25f));
  EXPECT_FLOAT_EQ(g->GetDrawScale(), 1.5f);
  EXPECT_FALSE(g->GetResizingInProcess());
  const float side = 20.f / 1.5f;
  EXPECT_EQ(r->GetRECT(), IRECT(400 - side, 300 - side, 400, 300));

  g->Resize(600, 450, 1.5f, true);
  g->OnMouseDblClick(599, 449, IMouseMod());
  EXPECT_EQ(g->Width(), 400);
  EXPECT_EQ(g->Height(), 300);
  EXPECT_FLOAT_EQ(g->GetDrawScale(), 1.f);
  EXPECT_EQ(r->GetRECT(), IRECT(380, 280, 400, 300));
}

TEST_F(SpecialControls, BubbleFadesInHoldsWhileHeldAndFadesOut)
{
  ASSERT_TRUE(g->AttachBubbleControl(DEFAULT_TEXT));
  auto* bubble = static_cast<IBubbleControl*>(g->GetBubble(0));
  auto* knob = new TestKnob(IRECT(100, 100, 150, 150), kGain);
  g->AttachControl(knob);
  g->OnMouseDown(Pt(120, 120));
  ShowBubbleHorizontalActionFunc(knob);
  EXPECT_STREQ(bubble->GetStr(), "0.0 dB");
  EXPECT_FALSE(bubble->IsHidden());
  struct Step {
    double ms;
    bool release;
    int state;
    float opacity;
  } steps[] = {
    {100, false, 1, 0.475f}, {101, false, 2, 0.95f}, {999, false, 2, 0.95f},  {2, false, 2, 0.95f}, // still held
    {150, false, 2, 0.95f},  {51, true, 3, 0.95f},   {100, false, 3, 0.475f}, {101, false, 0, 0.f},
  };
  for (const Step& s : steps) {
    if (s.release)
      g->OnMouseUp(Pt(120, 120));
    g->Tick(s.ms);
    EXPECT_EQ(bubble->GetState(), s.state) << s.ms;
    EXPECT_NEAR(bubble->GetOpacity(), s.opacity, 1e-3) << s.ms;
  }
  EXPECT_TRUE(bubble->IsHidden());
  EXPECT_FALSE(bubble->GetAnimationFunction());
}

TEST_F(SpecialControls, BubbleSitsBesideItsCallerAndFlipsAtTheEdges)
{
  // "0.0 dB" measures 42 x 10, raised to the minimum 50 x 30: the balloon is
  // 50 + 2 * (5 + 10) wide and 30 + 2 * 10 high.
  struct Case {
    IRECT caller;
    EDirection dir;
    IRECT want;
    int arrow;
  } cases[] = {
    {IRECT(100, 100, 150, 150), kHorizontal, IRECT(150, 100, 230, 150), 3},
    {IRECT(300, 100, 350, 150), kHorizontal, IRECT(220, 100, 300, 150), 1},
    // The right edge may come within padding and shadow (5 + 10) of the
    // editor's 400, not past it.
    {IRECT(255, 100, 305, 150), kHorizontal, IRECT(305, 100, 385, 150), 3},
    {IRECT(256, 100, 306, 150), kHorizontal, IRECT(176, 100, 256, 150), 1},
    {IRECT(100, 100, 150, 150), kVertical, IRECT(85, 50, 165, 100), 2},
    {IRECT(100, 0, 150, 40), kVertical, IRECT(85, 40, 165, 90), 0},
  };
  for (const Case& c : cases) {
    auto* bubble = new IBubbleControl();
    ASSERT_TRUE(g->AttachBubbleControl(bubble));
    auto* caller = Add("caller", c.caller, kGain);
    if (c.dir == kHorizontal)
      ShowBubbleHorizontalActionFunc(caller);
    else
      ShowBubbleVerticalActionFunc(caller);
    EXPECT_EQ(bubble->GetBubbleBounds(), c.want) << c.caller.L << "," << c.caller.T;
    EXPECT_EQ(bubble->GetArrowDir(), c.arrow);
    EXPECT_EQ(bubble->GetRECT(), c.want);
    g->RemoveAllControls();
  }
}

TEST_F(SpecialControls, BubbleFollowsItsControlAndRedrawsWhereItWas)
{
  ASSERT_TRUE(g->AttachBubbleControl(DEFAULT_TEXT));
  auto* bubble = static_cast<IBubbleControl*>(g->GetBubble(0));
  auto* knob = Add("knob", IRECT(100, 100, 150, 150), kGain);
  ShowBubbleHorizontalActionFunc(knob);
  knob->SetPosition(100, 160);
  dlg.GetParam(kGain)->Set(3.0);
  ShowBubbleHorizontalActionFunc(knob);
  EXPECT_STREQ(bubble->GetStr(), "3.0 dB");
  EXPECT_EQ(bubble->GetBubbleBounds(), IRECT(150, 160, 230, 210));
  EXPECT_EQ(bubble->GetRECT(), IRECT(150, 100, 230, 210)); // old and new place
  EXPECT_EQ(bubble->GetState(), 1);
}

TEST_F(SpecialControls, FrameRateDisplayAveragesAndPlotsOldestFirst)
{
  IFPSDisplayControl fps(IRECT(10, 10, 210, 60));
  UT_String main, secondary;
  fps.FormatReadout(main, secondary);
  EXPECT_STREQ(main.Get(), "- FPS");
  for (int i = 0; i < 100; ++i)
    fps.Update(1.f / 60.f);
  struct Mode {
    const char* main;
    const char* secondary;
  } modes[] = {{"60.00 FPS", "16.67 ms"}, {"16.67 ms", ""}, {"0.0 %", ""}, {"60.00 FPS", "16.67 ms"}};
  for (const Mode& m : modes) {
    fps.FormatReadout(main, secondary);
    EXPECT_STREQ(main.Get(), m.main);
    EXPECT_STREQ(secondary.Get(), m.secondary);
    fps.OnMouseDown(0, 0, IMouseMod());
  }
  EXPECT_EQ(fps.GetMode(), 1);
  fps.OnMouseDown(0, 0, IMouseMod());
  fps.OnMouseDown(0, 0, IMouseMod());

  // Heights of the graph's points in units of the plot height, from the
  // recorded fill path: a steady 60 per second sits at 60 / 80.
  auto heights = [&] {
    g->TakePaints();
    fps.Draw(*g);
    std::vector<float> h;
    for (const PaintCall& p : g->TakePaints())
      if (p.isFill && p.path.size() > 100)
        for (std::size_t i = 1; i <= 100; ++i)
          h.push_back((58.f - p.path[i].v[1]) / 46.f);
    return h;
  };
  std::vector<float> h = heights();
  ASSERT_EQ(h.size(), 100u);
  for (float v : h)
    EXPECT_NEAR(v, 0.75f, 1e-3);

  // Milliseconds: samples 1..100 ms, then 101: the oldest leads.
  fps.OnMouseDown(0, 0, IMouseMod());
  for (int k = 1; k <= 101; ++k)
    fps.Update(k / 1000.f);
  h = heights();
  ASSERT_EQ(h.size(), 100u);
  EXPECT_NEAR(h[0], 2.f / 20.f, 1e-3);
  EXPECT_NEAR(h[18], 20.f / 20.f, 1e-3);
  EXPECT_NEAR(h[99], 1.f, 1e-3);
}

TEST_F(SpecialControls, ContextFeedsTheFrameRateDisplayEveryFrame)
{
  g->ShowFPSDisplay(true);
  IControl* display = g->GetPerfDisplay();
  ASSERT_NE(display, nullptr);
  g->ShowFPSDisplay(true);
  EXPECT_EQ(g->GetPerfDisplay(), display);
  EXPECT_EQ(display->GetRECT(), IRECT(10, 10, 210, 60));
  auto* fps = static_cast<IFPSDisplayControl*>(display);
  for (int i = 0; i < 150; ++i)
    EXPECT_TRUE(g->Tick(20.0)); // always dirty
  EXPECT_NEAR(fps->Average(), 0.02f, 1e-5);

  g->EnableMouseOver(true);
  g->OnMouseOver(50, 30, IMouseMod());
  EXPECT_EQ(g->GetMouseOver(), display);
  g->ShowFPSDisplay(false);
  EXPECT_EQ(g->GetPerfDisplay(), nullptr);
  EXPECT_EQ(g->GetMouseOver(), nullptr);
  g->SetMouseOverIdx(3);
  g->ShowFPSDisplay(false);
  EXPECT_EQ(g->GetMouseOverIdx(), -1);
}

} // namespace
} // namespace controlstest
