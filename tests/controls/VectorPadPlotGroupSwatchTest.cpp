// Vector XY pad, plot, group frame and colour swatch through the recording
// graphics: handle travel, samples, the group's bounds over its members,
// swatch cells and the colour picker.

#include <gtest/gtest.h>

#include <cmath>

#include "ControlsFixture.h"
#include "IVColorSwatchControl.h"
#include "IVGroupControl.h"
#include "IVPlotControl.h"
#include "IVXYPadControl.h"

namespace controlstest {
namespace {

using VectorPadPlotGroupSwatch = ControlsFixture;

IVStyle Flat()
{
  IVStyle s;
  s.labelVisible = s.valueVisible = false;
  s.frameOn = s.shadowsOn = false;
  return s;
}

TEST_F(VectorPadPlotGroupSwatch, PadFollowsThePointerOverItsWholeRectangleAndPinsOutside)
{
  auto* pad = new IVXYPadControl(IRECT(100, 50, 300, 150), {kMix, kGain}, "", Flat(), 10.f);
  g->AttachControl(pad);
  // Pressed in the middle, then dragged to the point.
  struct Case {
    float x, y;
    double v0, v1;
  } cases[] = {
    {100, 50, 0.0, 1.0}, {299, 149, 0.995, 0.01}, {150, 125, 0.25, 0.25}, {-40, 400, 0.0, 0.0}, {900, -9, 1.0, 1.0}};
  for (const Case& c : cases) {
    g->OnMouseDown(Pt(200, 100));
    g->OnMouseDrag(Pt(c.x, c.y, false, 0, c.x - 200, c.y - 100));
    g->OnMouseUp(Pt(c.x, c.y));
    EXPECT_NEAR(pad->GetValue(0), c.v0, 1e-6) << c.x << "," << c.y;
    EXPECT_NEAR(pad->GetValue(1), c.v1, 1e-6) << c.x << "," << c.y;
  }
  // A press alone moves the handle to the point.
  Click(100, 50);
  EXPECT_DOUBLE_EQ(pad->GetValue(0), 0.0);
  EXPECT_DOUBLE_EQ(pad->GetValue(1), 1.0);
  EXPECT_DOUBLE_EQ(dlg.GetParam(kMix)->Value(), 0.0);
  EXPECT_DOUBLE_EQ(dlg.GetParam(kGain)->Value(), 24.0);
  // Dragging sweeps from end to end.
  g->OnMouseDown(Pt(100, 149.5f));
  for (int k = 1; k <= 4; ++k)
    g->OnMouseDrag(Pt(100 + 50.f * k, 149.5f - 25.f * k, false, 0, 50, -25));
  g->OnMouseUp(Pt(300, 50));
  EXPECT_DOUBLE_EQ(pad->GetValue(0), 1.0);
  EXPECT_DOUBLE_EQ(pad->GetValue(1), 1.0);
}

TEST_F(VectorPadPlotGroupSwatch, PadHandleStaysInsideByItsRadiusUnlessTheTrackClipsIt)
{
  auto* pad = new IVXYPadControl(IRECT(0, 0, 200, 100), {-1, -1}, "", Flat(), 10.f);
  g->AttachControl(pad);
  struct Case {
    bool clips;
    double v0, v1;
    IRECT handle;
  } cases[] = {{true, 0.0, 0.0, IRECT(-10, 90, 10, 110)},
               {false, 0.0, 0.0, IRECT(0, 80, 20, 100)},
               {false, 1.0, 1.0, IRECT(180, 0, 200, 20)},
               {true, 0.5, 0.5, IRECT(90, 40, 110, 60)}};
  for (const Case& c : cases) {
    pad->SetTrackClipsHandle(c.clips);
    pad->SetValue(c.v0, 0);
    pad->SetValue(c.v1, 1);
    EXPECT_EQ(pad->HandleBounds(), c.handle) << c.clips << " " << c.v0;
  }
}

TEST_F(VectorPadPlotGroupSwatch, EmptyPadGivesNoNaN)
{
  auto* pad = new IVXYPadControl(IRECT(50, 50, 50, 50), {-1, -1}, "", Flat());
  g->AttachControl(pad);
  pad->OnMouseDown(50, 50, IMouseMod());
  pad->OnMouseDrag(60, 40, 10, -10, IMouseMod());
  EXPECT_EQ(pad->GetValue(0), 0.0);
  EXPECT_EQ(pad->GetValue(1), 0.0);
}

TEST_F(VectorPadPlotGroupSwatch, PlotSamplesEvenlyAndNormalisesToItsRange)
{
  auto line = [](double x) { return x; };
  struct Case {
    int points;
    float min, max;
    std::function<double(double)> f;
    std::vector<float> want;
  } cases[] = {
    {3, 0.f, 1.f, line, {0.f, 0.5f, 1.f}},
    {5, -1.f, 1.f, line, {0.5f, 0.625f, 0.75f, 0.875f, 1.f}},
    {3, 0.f, 2.f, [](double x) { return x * x; }, {0.f, 0.125f, 0.5f}},
    // A range of zero and a value that is not finite sit on the middle line.
    {3, 1.f, 1.f, line, {0.5f, 0.5f, 0.5f}},
    {3, 0.f, 1.f, [](double x) { return std::log(x); }, {0.5f, std::log(0.5f) + 0.f, 0.f}},
    // So does one past the float range, either way, drawn like NaN and infinity.
    {5, 0.f, 1.f, [](double x) { return x == 0.25 ? 1e39 : x == 0.5 ? -1e39 : x; }, {0.f, 0.5f, 0.5f, 0.75f, 1.f}},
    {5, 0.f, 1.f, [](double x) { return x == 0.25 ? std::nan("") : x == 0.5 ? -HUGE_VAL : x; },
     {0.f, 0.5f, 0.5f, 0.75f, 1.f}},
    // One point samples x = 0; none draws no data.
    {1, 0.f, 1.f, [](double x) { return x + 0.25; }, {0.25f}},
    {0, 0.f, 1.f, line, {}},
  };
  for (const Case& c : cases) {
    auto* p = new IVPlotControl(IRECT(0, 0, 100, 120), {{COLOR_BLUE, c.f}}, c.points, "", Flat(), c.min, c.max);
    g->AttachControl(p);
    g->TakePaints();
    p->Draw(*g);
    ASSERT_EQ(p->GetPoints().size(), c.want.size());
    for (std::size_t j = 0; j < c.want.size(); ++j)
      EXPECT_NEAR(p->GetPoints()[j], c.want[j], 1e-6) << c.points << " point " << j;
    // Drawn across the width, 0 and 1 one grid step (120 / 12) in from the
    // bottom and the top.
    for (const PaintCall& call : g->TakePaints()) {
      if (call.pattern.mStops[0].mColor != COLOR_BLUE)
        continue;
      if (c.want.size() < 2) {
        EXPECT_LE(call.path.size(), 1u) << c.points;
        continue;
      }
      ASSERT_EQ(call.path.size(), c.want.size());
      for (std::size_t j = 0; j < c.want.size(); ++j) {
        EXPECT_FLOAT_EQ(call.path[j].v[0], 100.f * j / (c.want.size() - 1)) << c.points << " point " << j;
        EXPECT_FLOAT_EQ(call.path[j].v[1], 110.f - 100.f * c.want[j]) << c.points << " point " << j;
      }
    }
    g->RemoveControl(p);
  }
}

TEST_F(VectorPadPlotGroupSwatch, GroupBoundsAreTheUnionOfItsMembersWithPads)
{
  g->AttachControl(new IVXYPadControl(IRECT(10, 10, 50, 50), {-1, -1}, "", Flat()), -1, "knobs");
  g->AttachControl(new IVXYPadControl(IRECT(60, 20, 100, 80), {-1, -1}, "", Flat()), -1, "knobs");
  g->AttachControl(new IVXYPadControl(IRECT(300, 200, 310, 210), {-1, -1}, "", Flat()), -1, "other");
  IVStyle style = Flat();
  style.labelVisible = true;
  auto* group = new IVGroupControl("Group", "knobs", 5, 5, 5, 5, style);
  g->AttachControl(group);
  EXPECT_EQ(group->GetRECT(), IRECT(5, 5, 105, 85));
  EXPECT_TRUE(group->GetIgnoreMouse());
  // Label 5 characters (35 x 19... measured 35 x 10), widened by 10 each side,
  // its left edge 10 in from the frame.
  EXPECT_EQ(group->GetLabelBounds(), IRECT(16, 5, 71, 15));
  // The frame's top runs through the middle of the label.
  EXPECT_FLOAT_EQ(group->GetWidgetBounds().T, 9.5f);
  g->TakePaints();
  group->DrawWidget(*g);
  const auto paints = g->TakePaints();
  ASSERT_EQ(paints.size(), 1u);
  const auto& path = paints[0].path;
  EXPECT_EQ(path.front().kind, PathOp::kMove);
  EXPECT_FLOAT_EQ(path.front().v[0], 71.f); // the gap's right end
  EXPECT_FLOAT_EQ(path.front().v[1], 10.f);
  EXPECT_EQ(path.back().kind, PathOp::kLine);
  EXPECT_FLOAT_EQ(path.back().v[0], 16.f); // back to its left end
  EXPECT_FLOAT_EQ(paints[0].thickness, 1.f);
}

TEST_F(VectorPadPlotGroupSwatch, RoundedGroupMovesItsLabelPastTheCorner)
{
  IVStyle style = Flat();
  style.labelVisible = true;
  style.cornerRoundness = 0.5f;
  auto* group = new IVGroupControl(IRECT(0, 0, 100, 60), "Group", 10.f, style);
  g->AttachControl(group);
  // Frame from y = 4.5: corner radius min(100, 55.5) / 4; label at frame
  // width + offset + radius, 35 + 2 x 10 wide.
  EXPECT_EQ(group->GetWidgetBounds(), IRECT(0, 4.5f, 100, 60));
  EXPECT_EQ(group->GetLabelBounds(), IRECT(24.875f, 0, 79.875f, 10));
}

TEST_F(VectorPadPlotGroupSwatch, EmptyGroupAndUnlabelledFrameHaveNoGap)
{
  auto* group = new IVGroupControl(IRECT(0, 0, 100, 60), "", 10.f, Flat());
  g->AttachControl(group);
  g->TakePaints();
  group->DrawWidget(*g);
  const auto paints = g->TakePaints();
  ASSERT_EQ(paints.size(), 1u);
  EXPECT_FLOAT_EQ(paints[0].path.front().v[0], 50.f);
  EXPECT_FLOAT_EQ(paints[0].path.back().v[0], 50.f);
  auto* none = new IVGroupControl("", "nobody", 0, 0, 0, 0, Flat());
  g->AttachControl(none);
  EXPECT_EQ(none->GetRECT(), IRECT());
}

TEST_F(VectorPadPlotGroupSwatch, SwatchCellsFollowTheLayout)
{
  struct Case {
    int layout, cells;
    IRECT second;
  } cases[] = {
    {kSwatchRow, 4, IRECT(52, 2, 98, 58)},
    {kSwatchColumn, 4, IRECT(2, 17, 198, 28)},
    {kSwatchGrid, 4, IRECT(68.666664f, 2, 131.33333f, 18)},
    {kSwatchRow, 0, IRECT()},
  };
  for (const Case& c : cases) {
    std::vector<int> ids;
    for (int i = 0; i < c.cells; ++i)
      ids.push_back(i);
    auto* s = new IVColorSwatchControl(IRECT(0, 0, 200, 60), "", nullptr, Flat(), c.layout, ids);
    g->AttachControl(s);
    ASSERT_EQ(s->GetCellRects().size(), static_cast<std::size_t>(c.cells));
    if (c.cells > 1) {
      EXPECT_TRUE(NearRect(s->GetCellRects()[1], c.second)) << c.layout;
    }
    g->RemoveControl(s);
  }
}

// Answers the colour picker at once with a fixed colour.
struct PickerGraphics : TestGraphics {
  using TestGraphics::TestGraphics;
  bool PromptForColor(IColor& start, const char* prompt, std::function<void(const IColor&)> done) override
  {
    asked = start;
    askedWith = prompt;
    done(answer);
    return true;
  }
  IColor answer{255, 10, 20, 30};
  IColor asked;
  std::string askedWith;
};

TEST_F(VectorPadPlotGroupSwatch, PickedColourChangesOnlyThisSwatchsStyle)
{
  PickerGraphics pg(dlg, 400, 300);
  IVStyle style = Flat();
  style.colors = IVColorSpec{COLOR_RED, COLOR_GREEN, COLOR_BLUE, COLOR_RED, COLOR_RED,
                             COLOR_RED, COLOR_RED,   COLOR_RED,  COLOR_RED, COLOR_YELLOW};
  std::vector<std::pair<int, IColor>> told;
  auto* a = new IVColorSwatchControl(IRECT(0, 0, 200, 60), "",
                                     [&](int i, const IColor& c) {
                                       told.push_back({i, c});
                                     },
                                     style, kSwatchRow, {2, 9, 42}, {"", "tenth"});
  auto* b = new IVColorSwatchControl(IRECT(0, 100, 200, 160), "", nullptr, style, kSwatchRow, {2, 9});
  pg.AttachControl(a);
  pg.AttachControl(b);
  // The tenth colour of the list is kept and shown.
  EXPECT_EQ(a->GetColor(9), COLOR_YELLOW);
  const IRECT c1 = a->GetCellRects()[1];
  pg.OnMouseDown(Pt(c1.MW(), c1.MH()));
  pg.OnMouseUp(Pt(c1.MW(), c1.MH()));
  EXPECT_EQ(pg.asked, COLOR_YELLOW);
  EXPECT_EQ(pg.askedWith, "Choose a color");
  EXPECT_EQ(a->GetColor(9), pg.answer);
  EXPECT_EQ(b->GetColor(9), COLOR_YELLOW);
  ASSERT_EQ(told.size(), 1u);
  EXPECT_EQ(told[0].first, 1);
  // A colour index past the list shows nothing and takes no colour.
  const IRECT c2 = a->GetCellRects()[2];
  pg.OnMouseDown(Pt(c2.MW(), c2.MH()));
  pg.OnMouseUp(Pt(c2.MW(), c2.MH()));
  EXPECT_EQ(pg.asked, COLOR_TRANSPARENT);
  EXPECT_EQ(a->GetColor(42), COLOR_TRANSPARENT);
  // A labelled cell shows its colour in its right quarter only.
  pg.TakePaints();
  a->DrawWidget(pg);
  std::vector<IRECT> fills;
  for (const PaintCall& p : pg.TakePaints())
    if (p.isFill)
      fills.push_back(PathRect(p));
  ASSERT_EQ(fills.size(), 3u);
  EXPECT_NEAR(fills[1].L, c1.R - c1.W() * 0.25f, 1e-4);
  EXPECT_EQ(fills[0], a->GetCellRects()[0]);
}

} // namespace
} // namespace controlstest
