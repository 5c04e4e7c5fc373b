// Vector knob and slider: arcs, handles, pointer and track geometry through
// the recording graphics, value-text clicks, and drags from end to end with
// and without fine adjust.

#include <gtest/gtest.h>

#include <cmath>

#include "ControlsFixture.h"
#include "IVKnobControl.h"
#include "IVSliderControl.h"

namespace controlstest {
namespace {

using VectorKnobSlider = ControlsFixture;

// Centre x, y and radius of the filled ellipses in the foreground colour.
struct Disc {
  double x, y, r;
};
std::vector<Disc> FaceDiscs(const std::vector<PaintCall>& paints)
{
  std::vector<Disc> out;
  for (const PaintCall& p : paints)
    if (p.isFill && p.pattern.mStops[0].mColor == IColor(255, 200, 200, 200) && p.path.size() > 1)
      out.push_back({p.path[1].m.mTX, p.path[1].m.mTY, p.path[1].m.mXX});
  return out;
}

TEST_F(VectorKnobSlider, KnobArcHandleAndPointerFollowTheAngles)
{
  const double d2r = M_PI / 180.0;
  struct Case {
    IRECT bounds;
    float track, anchor;
    double value;
    bool arc;
    float a1, a2, arcR, handleR, angle;
  } cases[] = {
    {IRECT(0, 0, 100, 100), 2.f, -135.f, 0.75, true, -135.f, 67.5f, 49.f, 45.f, 67.5f},
    {IRECT(0, 0, 100, 100), 2.f, -135.f, 0.0, true, -135.f, -135.f, 49.f, 45.f, -135.f},
    // No track: no arc, the handle is the half size less the gap.
    {IRECT(0, 0, 100, 100), 0.f, -135.f, 0.5, false, 0, 0, 0, 46.f, 0.f},
    // Bipolar: the arc grows both ways from the anchor.
    {IRECT(0, 0, 100, 60), 2.f, 0.f, 0.25, true, -67.5f, 0.f, 29.f, 25.f, -67.5f},
    {IRECT(0, 0, 100, 60), 2.f, 0.f, 0.75, true, 0.f, 67.5f, 29.f, 25.f, 67.5f},
    // Smaller than the gap: a handle of diameter 1.
    {IRECT(0, 0, 8, 8), 2.f, -135.f, 1.0, true, -135.f, 135.f, 3.f, 0.5f, 135.f},
  };
  for (const Case& c : cases) {
    auto* k =
      new IVKnobControl(c.bounds, -1, "", Bare(), false, false, -135.f, 135.f, c.anchor, kVertical, 4.0, c.track);
    g->AttachControl(k);
    k->SetValue(c.value);
    g->TakePaints();
    k->DrawWidget(*g);
    const auto paints = g->TakePaints();
    const float cx = c.bounds.MW(), cy = c.bounds.MH();
    const PaintCall* arc = nullptr;
    const PaintCall* pointer = nullptr;
    for (const PaintCall& p : paints) {
      if (!p.isFill && p.thickness == c.track && !p.path.empty() && p.path[0].kind == PathOp::kArc)
        arc = &p;
      if (!p.isFill && p.thickness == 2.5f)
        pointer = &p;
    }
    ASSERT_EQ(arc != nullptr, c.arc) << c.value;
    if (arc) {
      EXPECT_FLOAT_EQ(arc->path[0].v[0], cx);
      EXPECT_FLOAT_EQ(arc->path[0].v[2], c.arcR);
      EXPECT_FLOAT_EQ(arc->path[0].v[3], c.a1);
      EXPECT_FLOAT_EQ(arc->path[0].v[4], c.a2);
    }
    const auto discs = FaceDiscs(paints);
    ASSERT_EQ(discs.size(), 1u);
    EXPECT_NEAR(discs[0].r, c.handleR, 1e-5);
    EXPECT_NEAR(discs[0].x, cx, 1e-5);
    ASSERT_NE(pointer, nullptr);
    const double t = (c.angle - 90.0) * d2r;
    EXPECT_NEAR(pointer->path[0].v[0], cx + std::cos(t) * c.handleR * 0.1, 1e-4);
    EXPECT_NEAR(pointer->path[1].v[0], cx + std::cos(t) * c.handleR, 1e-4);
    EXPECT_NEAR(pointer->path[1].v[1], cy + std::sin(t) * c.handleR, 1e-4);
    g->RemoveControl(k);
  }
}

TEST_F(VectorKnobSlider, KnobDragBoundsAreHalfTheShorterSide)
{
  struct Case {
    IRECT bounds, want;
  } cases[] = {
    {IRECT(0, 0, 100, 100), IRECT(0, 25, 100, 75)},
    {IRECT(0, 0, 200, 100), IRECT(75, 0, 125, 100)},
    {IRECT(0, 0, 0, 0), IRECT(-0.5f, -0.5f, 0.5f, 0.5f)},
  };
  for (const Case& c : cases) {
    auto* k = new IVKnobControl(c.bounds, -1, "", Bare());
    g->AttachControl(k);
    EXPECT_EQ(k->GetKnobDragBounds(), c.want);
    g->RemoveControl(k);
  }
}

// Drags a control from its press point by (dx, dy) per step, n steps.
void DragSteps(TestGraphics& g, float x, float y, float dx, float dy, int n, const IMouseMod& mod)
{
  IMouseInfo down;
  down.x = x;
  down.y = y;
  down.ms = mod;
  g.OnMouseDown({down});
  for (int i = 0; i < n; ++i) {
    x += dx;
    y += dy;
    IMouseInfo m = down;
    m.x = x;
    m.y = y;
    m.dX = dx;
    m.dY = dy;
    g.OnMouseDrag({m});
  }
  g.OnMouseUp({down});
}

TEST_F(VectorKnobSlider, KnobsAndSlidersDragEndToEndAndTenTimesSlowerWithFineAdjust)
{
  // 100 x 100 knob: drag area 100 x 50, gearing 4: 200 points up or 400
  // across for the range.
  // 40 x 200 slider with an 8-point handle: a 184-point track, 736 points.
  auto* knob = new IVKnobControl(IRECT(0, 0, 100, 100), kMix, "", Bare());
  auto* hknob =
    new IVKnobControl(IRECT(100, 0, 200, 100), -1, "", Bare(), false, false, -135.f, 135.f, -135.f, kHorizontal);
  auto* slider = new IVSliderControl(IRECT(200, 0, 240, 200), -1, "", Bare());
  auto* hslider = new IVSliderControl(IRECT(0, 200, 200, 240), kGain, "", Bare(), false, kHorizontal);
  g->AttachControl(knob);
  g->AttachControl(hknob);
  g->AttachControl(slider);
  g->AttachControl(hslider);
  struct Case {
    IControl* c;
    float x, y, dx, dy;
    int steps;
    bool fine;
    double from, to;
  } cases[] = {
    {knob, 50, 50, 0, -12.5f, 16, false, 0.0, 1.0},
    {knob, 50, 50, 0, 12.5f, 16, false, 1.0, 0.0},
    {knob, 50, 50, 0, -12.5f, 20, false, 0.0, 1.0},
    {knob, 50, 50, 0, -12.5f, 16, true, 0.0, 0.1},
    {hknob, 150, 50, 25, 0, 16, false, 0.0, 1.0},
    {hknob, 150, 50, -25, 0, 16, true, 1.0, 0.9},
    // The slider jumps to the press point first (the bottom end), then drags.
    {slider, 220, 192, 0, -46, 16, false, 0.0, 1.0},
    {slider, 220, 8, 0, 46, 16, false, 1.0, 0.0},
    {slider, 220, 192, 0, -46, 16, true, 0.0, 0.1},
    // A stepped parameter does not jump; it lands on its 0.1 dB steps.
    {hslider, 0, 220, 46, 0, 16, false, 0.0, 1.0},
    {hslider, 0, 220, -46, 0, 16, false, 1.0, 0.0},
  };
  for (const Case& c : cases) {
    c.c->SetValue(c.from);
    DragSteps(*g, c.x, c.y, c.dx, c.dy, c.steps, Mod(c.fine));
    EXPECT_NEAR(c.c->GetValue(), c.to, 1e-9) << c.x << "," << c.y << " fine " << c.fine;
  }
  EXPECT_DOUBLE_EQ(dlg.GetParam(kGain)->Value(), -24.0);
  EXPECT_NEAR(dlg.GetParam(kMix)->Value(), 10.0, 1e-9); // the last, fine drag
}

TEST_F(VectorKnobSlider, ValueTextOpensTextEntryOnlyWhenEditable)
{
  for (bool editable : {true, false}) {
    IVStyle style;
    style.labelVisible = false;
    auto* k = new IVKnobControl(IRECT(0, 0, 100, 100), kGain, "", style, editable, true);
    g->AttachControl(k);
    EXPECT_STREQ(k->GetValueStr(), "-24.0 dB");
    EXPECT_EQ(k->GetValueBounds(), k->GetWidgetBounds());
    g->TakeLog();
    Click(50, 50);
    const Log log = g->TakeLog();
    const bool entry =
      std::any_of(log.begin(), log.end(), [](const std::string& l) { return l.rfind("TextEntry", 0) == 0; });
    const bool hidden =
      std::any_of(log.begin(), log.end(), [](const std::string& l) { return l == "HideMouseCursor 1 1"; });
    EXPECT_EQ(entry, editable);
    EXPECT_EQ(hidden, !editable);
    g->RemoveControl(k);
  }
}

TEST_F(VectorKnobSlider, SliderTrackFilledPartAndHandleSitWhereTheValueIs)
{
  struct Case {
    EDirection dir;
    bool covers, shadows;
    EVShape shape;
    float handle;
    double value;
    IRECT track, filled, handleRect;
  } cases[] = {
    // Horizontal at 0: nothing filled, the handle centred on the track's left end.
    {kHorizontal, false, false, kVShapeEllipse, 8, 0.0, IRECT(8, 18, 192, 22), IRECT(8, 18, 8, 22),
     IRECT(0, 12, 16, 28)},
    // The track reaches past both ends by the handle size.
    {kHorizontal, true, false, kVShapeEllipse, 8, 0.5, IRECT(0, 18, 200, 22), IRECT(0, 18, 108, 22),
     IRECT(92, 12, 108, 28)},
    // A square handle with shadows sits half the shadow distance off the centre line.
    {kHorizontal, false, true, kVShapeRectangle, 8, 1.0, IRECT(8, 18, 192, 22), IRECT(8, 18, 192, 22),
     IRECT(184, 13.5f, 200, 29.5f)},
    {kVertical, false, false, kVShapeEllipse, 8, 0.25, IRECT(98, 8, 102, 192), IRECT(98, 146, 102, 192),
     IRECT(92, 138, 108, 154)},
    // Without a handle size no handle is drawn.
    {kHorizontal, false, false, kVShapeEllipse, 0, 0.5, IRECT(0, 18, 200, 22), IRECT(0, 18, 100, 22),
     IRECT(100, 20, 100, 20)},
  };
  for (const Case& c : cases) {
    IVStyle style = Bare();
    style.shadowsOn = c.shadows;
    style.frameOn = false;
    const IRECT bounds = c.dir == kHorizontal ? IRECT(0, 0, 200, 40) : IRECT(80, 0, 120, 200);
    auto* s = new IVSliderControl(bounds, -1, "", style, false, c.dir, c.covers, 4.0, c.handle, 2.f);
    s->SetShape(c.shape);
    g->AttachControl(s);
    s->SetValue(c.value);
    g->TakePaints();
    s->DrawWidget(*g);
    const auto paints = g->TakePaints();
    ASSERT_GE(paints.size(), 2u);
    // Drawn: the track, then the filled part.
    EXPECT_EQ(PathRect(paints[0]), c.track) << c.dir << " " << c.value;
    EXPECT_EQ(PathRect(paints[1]), c.filled) << c.dir << " " << c.value;
    EXPECT_EQ(FaceDiscs(paints).size(), c.handle > 0 ? 1u : 0u) << c.dir << " " << c.value;
    if (c.handle > 0) {
      EXPECT_EQ(s->HandleBounds(), c.handleRect) << c.dir << " " << c.value;
    } else {
      EXPECT_EQ(paints.size(), 2u) << "only the track and its filled part";
    }
    g->RemoveControl(s);
  }
}

} // namespace
} // namespace controlstest
