// Knob, slider, switch and button bases driven by events through the
// graphics context, with the values read back at the editor delegate.

#include <gtest/gtest.h>

#include <cmath>
#include <functional>
#include <string>
#include <vector>

#include "ControlsFixture.h"
#include "IControlActions.h"

namespace controlstest {
namespace {

using InteractionBases = ControlsFixture;

// Through the shape alone: the parameter's conversions snap from 0.
double RealOf(const IParam& p, double v) { return p.GetShape().NormalizedToValue(v, p); }

// A real value counts as on the grid when it is lo + k * step or hi.
bool OnGrid(double u, double lo, double hi, double step)
{
  const double k = std::round((u - lo) / step);
  return std::fabs(u - (lo + k * step)) < 1e-9 || std::fabs(u - hi) < 1e-9;
}

TEST_F(InteractionBases, WheelWalksEveryStepToBothEndsAndStaysInRange)
{
  struct Case {
    int param;
    int notchesUp; // from the bottom to the top
    double afterFirstUp;
  } cases[] = {
    {kGain, 480, -23.9}, {kMix, 1000, 0.1}, {kOdd, 4, 3.0}, // 0, 3, 6, 9, then the bound 10
  };
  for (const Case& c : cases) {
    auto* knob = new TestKnob(IRECT(10, 10, 60, 110), c.param);
    g->AttachControl(knob);
    const IParam* p = dlg.GetParam(c.param);
    knob->SetValue(0.0);
    for (float dir : {1.f, -1.f}) {
      int moves = 0;
      double last = RealOf(*p, knob->GetValue());
      for (int i = 0; i < c.notchesUp + 50; ++i) {
        g->OnMouseWheel(30, 50, Mod(), dir);
        const double v = knob->GetValue();
        ASSERT_GE(v, 0.0);
        ASSERT_LE(v, 1.0);
        // The normalised value sent, in real units.
        const double u = RealOf(*p, v);
        if (c.param != kOdd) { // the delegate's own rounding moves an off-grid top
          EXPECT_NEAR(p->Value(), u, 1e-9);
        }
        ASSERT_TRUE(OnGrid(u, p->GetMin(), p->GetMax(), p->GetStep())) << p->GetName() << " " << u;
        if (dir > 0 && moves == 0) {
          EXPECT_NEAR(u, c.afterFirstUp, 1e-9) << p->GetName();
        }
        if (std::fabs(u - last) > 1e-12)
          ++moves;
        last = u;
      }
      EXPECT_EQ(moves, c.notchesUp) << p->GetName() << " dir " << dir;
      EXPECT_DOUBLE_EQ(knob->GetValue(), dir > 0 ? 1.0 : 0.0) << p->GetName();
    }
    g->RemoveControl(knob);
  }
}

TEST_F(InteractionBases, WheelOnAnUnsteppedKnobMovesByHundredthsOrThousandths)
{
  struct Case {
    IMouseMod mod;
    float d;
    double want;
  } cases[] = {
    {Mod(), 0.5f, 0.505},
    {Mod(true), 0.5f, 0.5005},
    {Mod(false, true), -1.f, 0.499},
    {Mod(), 100.f, 1.0}, // clamped by the commit
  };
  for (const Case& c : cases) {
    TestKnob knob(IRECT(0, 0, 10, 10));
    knob.SetValue(0.5);
    knob.OnMouseWheel(5, 5, c.mod, c.d);
    EXPECT_NEAR(knob.GetValue(), c.want, 1e-12);
  }
}

TEST_F(InteractionBases, GearedDragMovesByTheTrackOverTheGearing)
{
  struct Case {
    EDirection dir;
    IRECT bounds;
    float dx, dy;
    IMouseMod mod;
    double want;
  } cases[] = {
    {kVertical, IRECT(10, 10, 60, 110), 0, -100, Mod(), 0.25},
    {kVertical, IRECT(10, 10, 60, 110), 0, -100, Mod(true), 0.025},
    {kVertical, IRECT(10, 10, 60, 110), 0, -100, Mod(false, true), 0.025},
    {kVertical, IRECT(10, 10, 60, 110), 0, 100, Mod(), 0.0}, // down from 0 stays at 0
    {kHorizontal, IRECT(10, 10, 210, 60), 200, 0, Mod(), 0.25},
    {kVertical, IRECT(10, 10, 60, 10), 0, -100, Mod(), 0.0}, // zero height: no value, no NaN
  };
  for (const Case& c : cases) {
    for (bool slider : {false, true}) {
      IControl* ctl = slider ? static_cast<IControl*>(new TestSlider(c.bounds, -1, c.dir, 4.0))
                             : static_cast<IControl*>(new TestKnob(c.bounds, -1, c.dir, 4.0));
      g->AttachControl(ctl);
      ctl->SetValue(0.0);
      // A slider press jumps to the point; press at the zero end of its track.
      const float px = c.dir == kHorizontal ? c.bounds.L : c.bounds.MW();
      const float py = c.dir == kHorizontal ? c.bounds.MH() : c.bounds.B - 0.001f;
      g->OnMouseDown(Drag(px, py, 0, 0, c.mod));
      g->OnMouseDrag(Drag(px + c.dx, py + c.dy, c.dx, c.dy, c.mod));
      g->OnMouseUp(Drag(px + c.dx, py + c.dy, 0, 0, c.mod));
      EXPECT_FALSE(std::isnan(ctl->GetValue()));
      EXPECT_NEAR(ctl->GetValue(), c.want, 1e-9) << (slider ? "slider " : "knob ") << c.dx << "," << c.dy;
      g->RemoveControl(ctl);
    }
  }
}

TEST_F(InteractionBases, ADragPastAnEndTurnsBackAtOnceWithinTheSameDrag)
{
  // 100 points of a 100-point track at gearing 4 are a quarter of the range.
  struct Case {
    double start;
    float past, back; // vertical deltas, up is negative
    double want;
  } cases[] = {
    {0.9, -100, 40, 0.9}, // past the top by 0.15, then down 0.1 from the top
    {0.1, 100, -40, 0.1}, // past the bottom, then up 0.1 from the bottom
    {0.5, -400, 400, 0.0},
  };
  for (const Case& c : cases) {
    for (bool slider : {false, true}) {
      const IRECT r(10, 10, 60, 110);
      IControl* ctl = slider ? static_cast<IControl*>(new TestSlider(r, -1, kVertical, 4.0))
                             : static_cast<IControl*>(new TestKnob(r, -1, kVertical, 4.0));
      g->AttachControl(ctl);
      ctl->SetValue(c.start);
      // A slider press jumps to the point: press where the value already is.
      const float y = r.B - static_cast<float>(c.start) * r.H();
      g->OnMouseDown(Pt(35, y));
      g->OnMouseDrag(Drag(35, y + c.past, 0, c.past, Mod()));
      g->OnMouseDrag(Drag(35, y + c.past + c.back, 0, c.back, Mod()));
      EXPECT_NEAR(ctl->GetValue(), c.want, 1e-9) << (slider ? "slider from " : "knob from ") << c.start;
      g->OnMouseUp(Pt(35, y));
      g->RemoveControl(ctl);
    }
  }
}

TEST_F(InteractionBases, ASteppedSliderMovesRelativelyEvenUnderATouch)
{
  // Track 100 wide, gearing 1; the pointer lands at 50 after 10 points.
  struct Case {
    int param;
    std::uint64_t touch;
    float dX;
    double want;
  } cases[] = {
    {kOdd, 1, 40, 0.3}, // 0 + 0.4 of 0..10 is 4, nearest step 3
    {kOdd, 0, 40, 0.3}, // the mouse alike
    {-1, 1, 10, 0.5},   // an unstepped slider under a touch follows the pointer
    {-1, 0, 10, 0.2},   // under the mouse it moves by the delta from the press
  };
  for (const Case& c : cases) {
    auto* s = new TestSlider(IRECT(0, 0, 100, 20), c.param, kHorizontal, 1.0);
    g->AttachControl(s);
    s->SetValue(0.0);
    IMouseInfoList press = Pt(10, 10, false, c.touch);
    g->OnMouseDown(press);
    IMouseInfoList drag = Pt(50, 10, false, c.touch, c.dX, 0);
    g->OnMouseDrag(drag);
    EXPECT_NEAR(s->GetValue(), c.want, 1e-9) << "param " << c.param << " touch " << c.touch;
    g->OnMouseUp(drag);
    g->RemoveControl(s);
  }
}

TEST_F(InteractionBases, SteppedDragSnapsToTheGridAndReachesAnOffGridTop)
{
  auto* knob = new TestKnob(IRECT(10, 10, 60, 110), kOdd, kVertical, 1.0);
  g->AttachControl(knob);
  knob->SetValue(0.0);
  g->OnMouseDown(Pt(30, 60));
  // Nearest step of 1, 2, ... 10; the top wins over 9 once it is nearer.
  const double want[] = {0, 0, 3, 3, 3, 6, 6, 6, 9, 9, 10};
  for (int i = 1; i <= 10; ++i) {
    g->OnMouseDrag(Pt(30, 60, false, 0, 0, -10));
    EXPECT_NEAR(knob->GetValue() * 10.0, want[i], 1e-9) << i * 10 << " points";
  }
}

TEST_F(InteractionBases, SliderJumpsToTheClickUnlessItsParameterIsStepped)
{
  auto* free = new TestSlider(IRECT(0, 0, 100, 20), -1, kHorizontal);
  auto* stepped = new TestSlider(IRECT(0, 30, 100, 50), kOdd, kHorizontal);
  g->AttachControl(free);
  g->AttachControl(stepped);
  Click(75, 10);
  Click(75, 40);
  EXPECT_DOUBLE_EQ(free->GetValue(), 0.75);
  EXPECT_DOUBLE_EQ(stepped->GetValue(), 0.0);
}

TEST_F(InteractionBases, SwitchStepsThroughItsStatesAndWraps)
{
  struct Case {
    int states;
    double start;
    std::vector<double> visits;
  } cases[] = {
    {2, 0.5, {0.0, 1.0, 0.0}},
    {2, 0.0, {1.0, 0.0}},
    {4, 0.0, {1.0 / 3, 2.0 / 3, 1.0, 0.0}},
    {1, 0.0, {0.0, 0.0}},
  };
  for (const Case& c : cases) {
    TestSwitch sw(IRECT(0, 0, 10, 10), -1, nullptr, c.states);
    sw.SetValue(c.start);
    for (double want : c.visits) {
      sw.OnMouseDown(5, 5, Mod());
      EXPECT_NEAR(sw.GetValue(), want, 1e-12) << c.states << " states";
    }
  }
}

TEST_F(InteractionBases, SwitchTakesItsStatesFromTheParameterAndChecksEveryIndex)
{
  auto* sw = new TestSwitch(IRECT(0, 0, 10, 10), kStates, nullptr, 2);
  g->AttachControl(sw);
  EXPECT_EQ(sw->NumStates(), 5);
  sw->SetStateDisabled(4, true);
  sw->SetStateDisabled(5, true);
  sw->SetStateDisabled(-1, true);
  const bool want[] = {false, false, false, false, true};
  for (int i = 0; i < 5; ++i)
    EXPECT_EQ(sw->GetStateDisabled(i), want[i]) << i;
  EXPECT_FALSE(sw->GetStateDisabled(5));
  EXPECT_FALSE(sw->GetStateDisabled(-1));
  sw->SetAllStatesDisabled(true);
  EXPECT_TRUE(sw->GetStateDisabled(0));
  EXPECT_FALSE(sw->GetStateDisabled(5));
  // Five clicks from 0 walk 0.25 apart and wrap.
  sw->SetValue(0.0);
  for (double want : {0.25, 0.5, 0.75, 1.0, 0.0}) {
    Click(5, 5);
    EXPECT_NEAR(sw->GetValue(), want, 1e-12);
  }
}

TEST_F(InteractionBases, ButtonIsPressedUntilItsClickAnimationEnds)
{
  auto* b = new TestButton(IRECT(0, 0, 10, 10), DefaultClickActionFunc);
  g->AttachControl(b);
  Click(5, 5);
  EXPECT_DOUBLE_EQ(b->GetValue(), 1.0);
  g->Tick(60);
  EXPECT_DOUBLE_EQ(b->GetValue(), 1.0);
  g->Tick(60);
  EXPECT_DOUBLE_EQ(b->GetValue(), 0.0);
  EXPECT_FALSE(b->GetAnimationFunction());
}

TEST_F(InteractionBases, AHeldKnobWhoseCaptureIsDroppedEndsItsPressAndItsHostGestureOnce)
{
  struct Case {
    const char* path;
    std::function<void(TestKnob&)> drop;
    int presses = 1; // a drop that presses again opens a gesture of its own
  };
  const Case cases[] = {
    {"focus lost", [this](TestKnob&) { g->OnFocusLost(); }},
    {"right press during the drag", [this](TestKnob&) { g->OnMouseDown(Drag(30, 50, 0, 0, Mod(false, false, true))); }},
    {"editor rescaled", [this](TestKnob&) { g->Resize(g->Width(), g->Height(), g->GetDrawScale() * 1.25f, true); }},
    {"touch cancelled", [this](TestKnob&) { g->OnTouchCancelled(Pt(30, 50)); }},
    {"pressed again, the release lost", [this](TestKnob&) { g->OnMouseDown(Pt(30, 50)); }, 2},
    {"double click taken as a press, the release lost",
     [this](TestKnob& k) {
       k.SetMouseDblAsSingleClick(true);
       g->OnMouseDblClick(30, 50, Mod());
     },
     2},
  };
  auto gestures = [this] {
    std::vector<std::string> kept;
    for (const std::string& line : dlg.TakeLog())
      if (line.rfind("Begin", 0) == 0 || line.rfind("End", 0) == 0 || line.rfind("UIMouse", 0) == 0)
        kept.push_back(line);
    return kept;
  };
  for (const Case& c : cases) {
    auto* knob = new TestKnob(IRECT(10, 10, 60, 110), kGain);
    g->AttachControl(knob);
    g->OnMouseDown(Pt(30, 60));
    g->OnMouseDrag(Drag(30, 50, 0, -10, Mod()));
    EXPECT_TRUE(knob->IsPressed());
    c.drop(*knob);
    EXPECT_EQ(knob->IsPressed(), c.presses > 1) << c.path;
    EXPECT_EQ(g->ControlIsCaptured(), c.presses > 1) << c.path;
    if (c.presses == 1) {
      EXPECT_FALSE(g->IsCursorHidden()) << c.path;
    }
    // The release that follows finds nothing left to end, or ends the new press.
    g->OnMouseUp(Pt(30, 50));
    EXPECT_FALSE(knob->IsPressed()) << c.path;
    EXPECT_FALSE(g->IsCursorHidden()) << c.path;
    EXPECT_FALSE(g->ControlIsCaptured()) << c.path;
    std::vector<std::string> want;
    for (int i = 0; i < c.presses; ++i)
      want.insert(want.end(), {"Begin 0", "UIMouseDown", "UIMouseUp", "End 0"});
    EXPECT_EQ(gestures(), want) << c.path;
    g->RemoveControl(knob);
  }
}

} // namespace
} // namespace controlstest
