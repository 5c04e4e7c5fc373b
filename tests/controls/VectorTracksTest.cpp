// Vector track base and range slider: track and step cells, filled parts,
// peaks and base line through the recording graphics; range handles dragged
// into each other and past the ends.

#include <gtest/gtest.h>

#include "ControlsFixture.h"
#include "IVTrackControls.h"

namespace controlstest {
namespace {

using VectorTracks = ControlsFixture;

std::vector<IRECT> FillsOf(const std::vector<PaintCall>& paints, const IColor& c)
{
  std::vector<IRECT> out;
  for (const PaintCall& p : paints)
    if (p.isFill && p.pattern.mStops[0].mColor == c)
      out.push_back(PathRect(p));
  return out;
}

const IColor kFace(255, 200, 200, 200), kPeakColour(255, 70, 70, 70);

TEST_F(VectorTracks, TracksDivideTheWidgetAndStepCellsAreStoredLastFirst)
{
  struct Case {
    EDirection dir;
    float gap;
    int steps;
    bool zeroCell;
    IRECT track1;
    std::vector<IRECT> cells;
  } cases[] = {
    {kVertical, 0.f, 0, true, IRECT(40, 0, 80, 100), {}},
    {kVertical, 2.f, 0, true, IRECT(40, 0, 78, 98), {}},
    {kHorizontal, 2.f, 0, true, IRECT(0, 35.333336f, 120, 64.666664f), {}},
    {kVertical,
     0.f,
     3,
     true,
     IRECT(40, 0, 80, 100),
     {IRECT(0, 75, 120, 100), IRECT(0, 50, 120, 75), IRECT(0, 25, 120, 50), IRECT(0, 0, 120, 25)}},
    {kHorizontal, 0.f, 2, false, IRECT(0, 100 / 3.f, 120, 200 / 3.f), {IRECT(60, 0, 120, 100), IRECT(0, 0, 60, 100)}},
    // Negative step counts are no steps.
    {kVertical, 0.f, -1, true, IRECT(40, 0, 80, 100), {}},
  };
  for (const Case& c : cases) {
    auto* t = new IVTrackControlBase(IRECT(0, 0, 120, 100), "", Bare(), {-1, -1, -1}, c.steps, c.dir);
    t->SetZeroStepCell(c.zeroCell);
    g->AttachControl(t);
    t->SetTrackGap(c.gap);
    ASSERT_EQ(t->GetTrackRects().size(), 3u);
    const IRECT got = t->GetTrackRects()[1];
    EXPECT_TRUE(NearRect(got, c.track1)) << c.dir << " gap " << c.gap;
    EXPECT_EQ(t->GetStepCells(), c.cells) << c.steps;
    EXPECT_EQ(t->GetValIdxForPos(got.L, got.T), 1);
    g->RemoveControl(t);
  }
}

TEST_F(VectorTracks, FilledPartHandleAndPeakFollowValueAndBaseLine)
{
  struct Case {
    double base, value;
    int steps;
    IRECT handle, peak; // peak empty: none drawn
  } cases[] = {
    {0.0, 0.25, 0, IRECT(0, 75, 40, 100), IRECT(0, 75, 40, 76)},
    // From the base line down to the value, the peak at the low end.
    {0.5, 0.25, 0, IRECT(0, 50, 40, 75), IRECT(0, 74, 40, 75)},
    {0.5, 0.75, 0, IRECT(0, 25, 40, 50), IRECT(0, 25, 40, 26)},
    // Stepped: the handle fills the cell of the value, also at 0.
    {0.0, 0.0, 4, IRECT(0, 80, 40, 100), IRECT()},
    {0.0, 0.5, 4, IRECT(0, 40, 40, 60), IRECT()},
    {0.0, 1.0, 4, IRECT(0, 0, 40, 20), IRECT()},
  };
  for (const Case& c : cases) {
    IVStyle style = Bare();
    style.frameOn = false;
    auto* t = new IVTrackControlBase(IRECT(0, 0, 40, 100), "", style, {-1}, c.steps, kVertical);
    g->AttachControl(t);
    t->SetBaseLine(c.base);
    t->SetValue(c.value);
    g->TakePaints();
    t->DrawWidget(*g);
    const auto paints = g->TakePaints();
    EXPECT_EQ(FillsOf(paints, kFace), std::vector<IRECT>{c.handle}) << c.base << " " << c.value;
    const auto peaks = FillsOf(paints, kPeakColour);
    EXPECT_EQ(peaks, c.peak.Empty() ? std::vector<IRECT>{} : std::vector<IRECT>{c.peak}) << c.base << " " << c.value;
    g->RemoveControl(t);
  }
}

TEST_F(VectorTracks, ATrackControlWithoutValuesDrawsNothingAndHitsNothing)
{
  auto* t = new IVTrackControlBase(IRECT(0, 0, 40, 100), "", Bare(), {}, 3, kHorizontal);
  g->AttachControl(t);
  EXPECT_TRUE(t->GetTrackRects().empty());
  g->TakePaints();
  t->DrawWidget(*g);
  EXPECT_TRUE(g->TakePaints().empty());
  EXPECT_EQ(t->GetValIdxForPos(10, 10), -1);
}

TEST_F(VectorTracks, RangeHandlesPointAtTheSharedTrack)
{
  IVStyle style = Bare();
  style.shadowsOn = false;
  auto* r = new IVRangeSliderControl(IRECT(0, 0, 216, 40), {-1, -1}, "", style, kHorizontal, 8.f, 2.f);
  auto* v = new IVRangeSliderControl(IRECT(300, 0, 340, 216), {-1, -1}, "", style, kVertical, 8.f, 2.f);
  g->AttachControl(r);
  g->AttachControl(v);
  r->SetValue(0.25, 0);
  r->SetValue(0.75, 1);
  v->SetValue(0.25, 0);
  v->SetValue(0.75, 1);
  // Tracks: the widget less the handle size, twice the track width thick.
  EXPECT_EQ(r->GetTrackRects()[1], IRECT(8, 18, 208, 22));
  EXPECT_EQ(v->GetTrackRects()[0], IRECT(318, 8, 322, 208));
  EXPECT_EQ(r->GetHandleBounds(0), IRECT(50, 22, 66, 38));     // below, pointing up
  EXPECT_EQ(r->GetHandleBounds(1), IRECT(150, 4, 166, 20));    // above, pointing down
  EXPECT_EQ(v->GetHandleBounds(0), IRECT(304, 150, 320, 166)); // left
  EXPECT_EQ(v->GetHandleBounds(1), IRECT(322, 50, 338, 66));   // right
  // With shadows a triangle sits half the shadow distance lower, so that
  // handle and shadow together are centred.
  IVStyle shadowed = style;
  shadowed.shadowsOn = true;
  auto* s = new IVRangeSliderControl(IRECT(0, 100, 216, 140), {-1, -1}, "", shadowed, kHorizontal, 8.f, 2.f);
  g->AttachControl(s);
  s->SetValue(0.25, 0);
  EXPECT_EQ(s->GetHandleBounds(0), IRECT(50, 123.5f, 66, 139.5f));
  EXPECT_EQ(r->HandleAt(58, 30), 0);
  EXPECT_EQ(r->HandleAt(58, 10), -1);
}

TEST_F(VectorTracks, RangeHandlesDraggedIntoEachOtherOrSetOutOfOrderStopAtTheirNeighbour)
{
  auto* r = new IVRangeSliderControl(IRECT(0, 0, 200, 40), {kGain, kMix}, "", Bare(), kHorizontal);
  g->AttachControl(r);
  r->SetValue(0.2, 0);
  r->SetValue(0.6, 1);
  struct Case {
    int handle;
    float toX;
    double want0, want1;
  } cases[] = {
    {0, 180, 0.6, 0.6}, // the lower handle stops at the upper
    {1, 10, 0.6, 0.6},  // the upper cannot pass below the lower
    {1, 500, 0.6, 1.0}, // past the end: pinned at 1
    {0, -50, 0.0, 1.0}, // past the start: pinned at 0
    {1, 100, 0.0, 0.5}, {0, 100, 0.5, 0.5},
  };
  for (const Case& c : cases) {
    const IRECT h = r->GetHandleBounds(c.handle);
    const double before = r->GetValue(c.handle);
    g->OnMouseDown(Pt(h.MW(), h.MH()));
    ASSERT_EQ(r->GetHoverHandle(), c.handle);
    // Pressing a handle does not move it.
    EXPECT_NEAR(r->GetValue(c.handle), before, 1e-9);
    const float dx = (c.toX - h.MW()) / 4.f;
    for (int k = 1; k <= 4; ++k) {
      g->OnMouseDrag(Pt(h.MW() + dx * k, h.MH(), false, 0, dx, 0));
      EXPECT_LE(r->GetValue(0), r->GetValue(1));
      EXPECT_GE(r->GetValue(0), 0.0);
      EXPECT_LE(r->GetValue(1), 1.0);
    }
    g->OnMouseUp(Pt(c.toX, h.MH()));
    EXPECT_NEAR(r->GetValue(0), c.want0, 1e-9) << c.handle << " to " << c.toX;
    EXPECT_NEAR(r->GetValue(1), c.want1, 1e-9) << c.handle << " to " << c.toX;
  }
  EXPECT_NEAR(dlg.GetParam(kGain)->Value(), 0.0, 1e-9);
  EXPECT_NEAR(dlg.GetParam(kMix)->Value(), 50.0, 1e-9);
  // Handles set out of order: the upper dragged down stops at the lower.
  r->SetValue(0.8, 0);
  r->SetValue(0.3, 1);
  const IRECT h = r->GetHandleBounds(1);
  g->OnMouseDown(Pt(h.MW(), h.MH()));
  g->OnMouseDrag(Pt(0, h.MH(), false, 0, -10, 0));
  g->OnMouseUp(Pt(0, h.MH()));
  EXPECT_DOUBLE_EQ(r->GetValue(1), 0.8);
}

} // namespace
} // namespace controlstest
