// The maker's multi-frame knob: drags with gearing and fine adjust, whole
// steps from the minimum, wheel notches, typed values and the read-out.

#include "IBKnobMultiControlZV.h"
#include "MakerControlsFixture.h"

namespace editortest {
namespace {

class KnobMulti : public MakerControlsFixture {
protected:
  // A 40 x 40 knob at (100, 100), so its drag area is 40 points tall.
  template <class K = IBKnobMultiControlZV>
  K* Knob(int paramIdx, bool disablePrompt = false, int direction = kVertical,
          int placement = IBKnobMultiControlZV::kPlaceMiddle)
  {
    auto* k = new K(100, 100, paramIdx, Strip("knob", 40, 40, 101), DEFAULT_TEXT, IColor(191, 36, 36, 36), 4,
                    static_cast<EDirection>(direction), disablePrompt, true, true, placement, false, true, 4.0, 0.f);
    g->AttachControl(k);
    return k;
  }
  // A press, a drag of (dx, dy), a further one of (bx, by) when given, and
  // a release, with the modifiers held.
  void Drag(float dx, float dy, const IMouseMod& mod = Left(), float bx = 0, float by = 0)
  {
    g->OnMouseDown(At(120, 120, mod));
    g->OnMouseDrag(At(120 + dx, 120 + dy, mod, dx, dy));
    if (bx != 0 || by != 0)
      g->OnMouseDrag(At(120 + dx + bx, 120 + dy + by, mod, bx, by));
    g->OnMouseUp(At(120 + dx + bx, 120 + dy + by, mod));
  }
};

TEST_F(KnobMulti, FullHeightDragMovesByOneOverGearingTenTimesLessWithShiftNotAtAllWithControl)
{
  struct Case {
    int direction;
    float dx, dy;
    bool shift, control;
    double want;
    float bx = 0, by = 0; // a second step of the same drag
  } cases[] = {
    {kVertical, 0, -40, false, false, 0.25},
    {kVertical, 0, -40, true, false, 0.025},
    {kVertical, 0, -40, false, true, 0.5}, // the press resets to the default
    {kVertical, 0, 40, false, false, 0.0},
    {IBKnobMultiControlZV::kReversedVertical, 0, 40, false, false, 0.25},
    {kHorizontal, 40, 0, false, false, 0.25},
    {kHorizontal, 0, -40, false, false, 0.0},
    // Past an end and back within one drag: the way back starts at the end.
    {kVertical, 0, -200, false, false, 0.875, 0, 20},
    {kVertical, 0, 200, false, false, 0.125, 0, -20},
    {IBKnobMultiControlZV::kReversedVertical, 0, 200, false, false, 0.875, 0, -20},
    {kHorizontal, 200, 0, false, false, 0.875, -20, 0},
  };
  for (const Case& c : cases) {
    auto* k = Knob(kFree, false, c.direction);
    k->SetValue(0.0);
    dlg.GetParam(kFree)->Set(0.0);
    Drag(c.dx, c.dy, Left(c.shift, c.control), c.bx, c.by);
    EXPECT_NEAR(k->GetValue(), c.want, 1e-12)
      << c.direction << " " << c.dx << "," << c.dy << " shift " << c.shift << " control " << c.control;
    g->RemoveControl(k);
  }
}

TEST_F(KnobMulti, GainAndSteppedTenthsReachBothEndsExactlyAndWholeStepsStayWhole)
{
  for (int param : {kGain, kDecimal}) {
    auto* k = Knob(param);
    Drag(0, -1000);
    EXPECT_EQ(Real(param), 24.0);
    EXPECT_EQ(k->GetValue(), 1.0);
    Drag(0, 1000);
    EXPECT_EQ(Real(param), -24.0);
    EXPECT_EQ(k->GetValue(), 0.0);
    // A quarter of the range up from the bottom is -12 dB.
    Drag(0, -40);
    EXPECT_EQ(Real(param), -12.0);
    g->RemoveControl(k);
  }
  // On a stepped parameter any whole step reached by a drag reads as its
  // decimal, never a step short.
  Knob(kDecimal);
  for (int tenths : {-239, -120, -7, 0, 1, 5, 119, 239}) {
    const double want = tenths / 10.0;
    Drag(0, 1000);
    Drag(0, static_cast<float>(-(want + 24.0) / 48.0 * 160.0));
    EXPECT_NEAR(Real(kDecimal), want, 1e-12) << want;
    EXPECT_EQ(std::round(Real(kDecimal) * 10.0), tenths);
  }
}

TEST_F(KnobMulti, SlowDragsOnAStepKeepAdvancing)
{
  auto* k = Knob(kRefMode);
  g->OnMouseDown(At(120, 120));
  // Each event a twentieth of a mode (160 points of drag span the 4 modes):
  // the nearest mode follows the accumulated drag.
  std::vector<double> seen;
  for (int i = 0; i < 40; ++i) {
    g->OnMouseDrag(At(120, 120, Left(), 0, -2.f));
    seen.push_back(Real(kRefMode));
  }
  g->OnMouseUp(At(120, 120));
  EXPECT_EQ(seen[8], 0.0);
  EXPECT_EQ(seen[11], 1.0);
  EXPECT_EQ(seen.back(), 2.0);
  EXPECT_DOUBLE_EQ(k->GetValue(), 0.5);
}

// Sees every value the knob stores, before any later clamp.
struct WatchedKnob : IBKnobMultiControlZV {
  using IBKnobMultiControlZV::IBKnobMultiControlZV;
  void SetValue(double value, int valIdx = 0) override
  {
    stored.push_back(value);
    IBKnobMultiControlZV::SetValue(value, valIdx);
  }
  std::vector<double> stored;
};

// A stepped knob moves one step a notch whatever the notch's size; an
// unstepped one by its factors; neither stores a value out of range.
TEST_F(KnobMulti, WheelNotchesMoveByAStepOrByTheFactorsAndStopAtTheEnds)
{
  const struct Row {
    int param;
    bool shift, control;
    float delta;
    double from, want; // normalized; the reference mode has 4 steps
  } rows[] = {
    {kRefMode, false, false, 1.f, 0, .25},  {kRefMode, false, false, 0.1f, .25, .5},
    {kRefMode, false, false, 7.f, .5, .75}, {kRefMode, false, false, 1.f, .75, 1},
    {kRefMode, false, false, 1.f, 1, 1},    {kRefMode, false, false, -1.f, 1, .75},
    {kRefMode, false, false, -5.f, .25, 0}, {kRefMode, false, false, -1.f, 0, 0},
    {kFree, false, false, 1.f, 0.5, 0.51},  {kFree, true, false, 1.f, 0.5, 0.501},
    {kFree, false, true, 1.f, 0.5, 0.6},    {kFree, false, true, 1.f, 0.95, 1.0},
    {kFree, false, false, -3.f, 0.01, 0.0}, {kFree, false, true, -1.f, 0.05, 0.0},
  };
  for (const Row& r : rows) {
    auto* k = Knob<WatchedKnob>(r.param);
    k->SetValue(r.from);
    g->OnMouseWheel(120, 120, Left(r.shift, r.control), r.delta);
    const std::string what = Fmt("param %g from %g by %g", r.param, r.from, r.delta);
    EXPECT_NEAR(k->GetValue(), r.want, 1e-12) << what;
    EXPECT_NEAR(dlg.GetParam(r.param)->GetNormalized(), r.want, 1e-12) << what;
    for (double v : k->stored) {
      EXPECT_GE(v, 0.0) << what;
      EXPECT_LE(v, 1.0) << what;
    }
    g->RemoveControl(k);
  }
}

TEST_F(KnobMulti, DragWithoutHeightChangesNothing)
{
  auto* k = Knob(kFree);
  k->SetTargetRECT(IRECT(100, 120, 140, 120));
  k->SetValue(0.3);
  g->OnMouseDown(At(120, 120));
  k->OnMouseDrag(120, 100, 0, -20, Left());
  EXPECT_EQ(k->GetValue(), 0.3);
}

TEST_F(KnobMulti, ControlClickResetsToTheDefaultAndThePromptOpensOnlyWhenEnabled)
{
  auto* k = Knob(kGain);
  Drag(0, -1000);
  ASSERT_EQ(Real(kGain), 24.0);
  g->OnMouseDown(At(120, 120, Left(false, true)));
  g->OnMouseUp(At(120, 120, Left(false, true)));
  EXPECT_EQ(Real(kGain), 0.0);
  EXPECT_EQ(k->GetValue(), 0.5);

  g->TakeLog();
  g->OnMouseDblClick(120, 120, Left());
  // Four "0" of 7 points centred on the knob, the measured height in the middle.
  EXPECT_EQ(g->TakeLog(), (Log{"TextEntry param 0 len 4 (106,115,134,125) \"0.0\""}));
  g->RemoveControl(k);
  Knob(kRefMode, true);
  g->TakeLog();
  g->OnMouseDblClick(120, 120, Left());
  EXPECT_EQ(g->TakeLog(), Log{});
}

TEST_F(KnobMulti, ReadOutShowsWhileHoveredWithItsLabelAndVanishesWhenThePointerLeaves)
{
  auto* k = Knob(kGain);
  dlg.GetParam(kGain)->Set(-3.5);
  k->SetValueFromDelegate(dlg.GetParam(kGain)->GetNormalized());
  EXPECT_TRUE(Drawn(*k, {"DrawText"}).empty());
  g->OnMouseOver(120, 120, Left());
  EXPECT_TRUE(k->GetMouseOver());
  EXPECT_EQ(Drawn(*k, {"DrawText"}), Log{"DrawText \"-3.5 dB\" (106,115,134,125)"});
  g->OnMouseOver(300, 300, Left());
  EXPECT_FALSE(k->GetMouseOver());
  EXPECT_TRUE(Drawn(*k, {"DrawText"}).empty());
}

TEST_F(KnobMulti, ValueBoxPlacementFollowsTheTable)
{
  struct Case {
    int placement;
    IRECT want;
  } cases[] = {
    {IBKnobMultiControlZV::kPlaceTop, IRECT(106, 100, 134, 110)},
    {IBKnobMultiControlZV::kPlaceMiddle, IRECT(106, 115, 134, 125)},
    {IBKnobMultiControlZV::kPlaceBottom, IRECT(106, 130, 134, 140)},
    // Others keep the measured top and bottom (the test font measures from the top).
    {7, IRECT(106, 100, 134, 110)},
  };
  for (const Case& c : cases) {
    auto* k = Knob(kGain, false, kVertical, c.placement);
    EXPECT_EQ(k->GetValueTextRect(), c.want) << c.placement;
    g->RemoveControl(k);
  }
}

} // namespace
} // namespace editortest
