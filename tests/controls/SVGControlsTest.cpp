// SVG button, knob, switch and slider: which image is drawn where, the
// slider's track and handle geometry, and images without size.

#include <gtest/gtest.h>

#include <string>

#include "ControlsFixture.h"
#include "ISVGControls.h"

namespace controlstest {
namespace {

// Records each image drawn with its destination.
struct SVGLogGraphics : TestGraphics {
  using TestGraphics::TestGraphics;
  void DrawSVG(const ISVG& svg, const IRECT& r, const IBlend*) override
  {
    drawn.push_back(Fmt("%gx%g ", svg.W(), svg.H()) + RectStr(r));
  }
  void DrawRotatedSVG(const ISVG& svg, float cx, float cy, float w, float h, double angle, const IBlend*) override
  {
    drawn.push_back(Fmt("%gx%g ", svg.W(), svg.H()) + Fmt("at %g,%g %gx%g", cx, cy, w, h) + Fmt(" turned %g", angle));
  }
  std::vector<std::string> drawn;
};

class SVGControls : public ControlsFixture {
protected:
  ISVG Image(float w, float h)
  {
    const std::string text = "<svg xmlns='http://www.w3.org/2000/svg' width='" + std::to_string(w) + "' height='" +
                             std::to_string(h) + "'><rect width='5' height='5' fill='#000'/></svg>";
    const std::string name = "img" + std::to_string(w) + "x" + std::to_string(h);
    return sg.LoadSVGFromData(name.c_str(), text.data(), static_cast<int>(text.size()));
  }
  std::vector<std::string> Draw(IControl& c)
  {
    sg.drawn.clear();
    c.Draw(sg);
    return sg.drawn;
  }
  SVGLogGraphics sg{dlg, 400, 300};
};

TEST_F(SVGControls, ButtonShowsTheOnImageJustAboveHalf)
{
  auto* b = new ISVGButtonControl(IRECT(0, 0, 40, 20), nullptr, Image(10, 10), Image(20, 10));
  sg.AttachControl(b);
  struct Case {
    double v;
    const char* want;
  } cases[] = {
    {0.0, "10x10 (0,0,40,20)"}, {0.5, "10x10 (0,0,40,20)"}, {0.5001, "20x10 (0,0,40,20)"}, {1.0, "20x10 (0,0,40,20)"}};
  for (const Case& c : cases) {
    b->SetValue(c.v);
    EXPECT_EQ(Draw(*b), std::vector<std::string>{c.want}) << c.v;
  }
}

TEST_F(SVGControls, KnobTurnsFromMinus135To135Degrees)
{
  auto* k = new ISVGKnobControl(IRECT(10, 20, 70, 100), Image(30, 30));
  sg.AttachControl(k);
  struct Case {
    double v;
    const char* want;
  } cases[] = {{0.0, "30x30 at 40,60 60x80 turned -135"},
               {0.5, "30x30 at 40,60 60x80 turned 0"},
               {0.75, "30x30 at 40,60 60x80 turned 67.5"},
               {1.0, "30x30 at 40,60 60x80 turned 135"}};
  for (const Case& c : cases) {
    k->SetValue(c.v);
    EXPECT_EQ(Draw(*k), std::vector<std::string>{c.want}) << c.v;
  }
  k->SetSVG(Image(12, 12));
  EXPECT_EQ(Draw(*k)[0].substr(0, 5), "12x12");
}

TEST_F(SVGControls, SwitchShowsOneImagePerStateAndNeverPastTheList)
{
  const std::vector<ISVG> four = {Image(1, 1), Image(2, 2), Image(3, 3), Image(4, 4)};
  auto* s = new ISVGSwitchControl(IRECT(0, 0, 10, 10), four);
  sg.AttachControl(s);
  const double values[] = {0.0, 1 / 3.0, 2 / 3.0, 1.0};
  for (int i = 0; i < 4; ++i) {
    s->SetValue(values[i]);
    EXPECT_EQ(s->ImageIndex(), i);
  }
  // Clicks step through the states and wrap.
  s->SetValue(0.0);
  for (int i : {1, 2, 3, 0}) {
    sg.OnMouseDown(Pt(5, 5));
    sg.OnMouseUp(Pt(5, 5));
    EXPECT_EQ(s->ImageIndex(), i);
  }
  // A parameter with more states than images: the last image at most.
  auto* linked = new ISVGSwitchControl(IRECT(20, 0, 30, 10), {Image(1, 1), Image(2, 2)}, kStates);
  sg.AttachControl(linked);
  EXPECT_EQ(linked->NumStates(), 5);
  linked->SetValue(1.0);
  EXPECT_EQ(linked->ImageIndex(), 1);
  auto* none = new ISVGSwitchControl(IRECT(40, 0, 50, 10), {});
  sg.AttachControl(none);
  EXPECT_EQ(none->ImageIndex(), -1);
  EXPECT_TRUE(Draw(*none).empty());
}

TEST_F(SVGControls, SliderFitsTrackAndHandleImagesToTheControl)
{
  struct Case {
    EDirection dir;
    IRECT bounds;
    float tw, th, hw, hh;
    IRECT track, handleAtMax, travel;
  } cases[] = {
    // 200 high, a 20 x 100 track and a 30 x 20 handle: a 40 x 200 track, a
    // 60 x 40 handle and 160 points of travel.
    {kVertical, IRECT(0, 0, 100, 200), 20, 100, 30, 20, IRECT(30, 0, 70, 200), IRECT(20, 0, 80, 40),
     IRECT(30, 40, 70, 200)},
    {kHorizontal, IRECT(0, 0, 200, 100), 100, 20, 20, 30, IRECT(0, 30, 200, 70), IRECT(160, 20, 200, 80),
     IRECT(40, 30, 200, 70)},
    // Images without height: no division by zero, a 1-point track.
    {kVertical, IRECT(0, 0, 100, 200), 20, 0, 30, 0, IRECT(49.5f, 0, 50.5f, 200), IRECT(50, 0, 50, 0),
     IRECT(49.5f, 0, 50.5f, 200)},
    {kHorizontal, IRECT(0, 0, 200, 100), 100, 0, 20, 30, IRECT(0, -50, 200, 150), IRECT(200, 50, 200, 50),
     IRECT(0, -50, 200, 150)},
  };
  for (const Case& c : cases) {
    // Sizes set directly: the parser gives a document without height one.
    SVGImage handle{c.hw, c.hh, nullptr}, track{c.tw, c.th, nullptr};
    auto* s = new ISVGSliderControl(c.bounds, ISVG(&handle), ISVG(&track), -1, c.dir);
    sg.AttachControl(s);
    EXPECT_TRUE(NearRect(s->GetTrackSVGBounds(), c.track, 1e-3f)) << RectStr(s->GetTrackSVGBounds());
    EXPECT_TRUE(NearRect(s->GetHandleBounds(1.0), c.handleAtMax, 1e-3f)) << RectStr(s->GetHandleBounds(1.0));
    EXPECT_TRUE(NearRect(s->GetTrackBounds(), c.travel, 1e-3f)) << RectStr(s->GetTrackBounds());
    EXPECT_EQ(s->GetTargetRECT(), c.bounds);
    sg.RemoveControl(s);
  }
}

TEST_F(SVGControls, SliderHandleMeetsTheTrackEndsAtBothExtremes)
{
  auto* s = new ISVGSliderControl(IRECT(0, 0, 100, 200), Image(30, 20), Image(20, 100));
  sg.AttachControl(s);
  struct Case {
    double v;
    IRECT handle;
  } cases[] = {{1.0, IRECT(20, 0, 80, 40)}, {0.0, IRECT(20, 160, 80, 200)}, {0.25, IRECT(20, 120, 80, 160)}};
  for (const Case& c : cases) {
    s->SetValue(c.v);
    EXPECT_EQ(Draw(*s), (std::vector<std::string>{"20x100 (30,0,70,200)", "30x20 " + RectStr(c.handle)})) << c.v;
  }
  // Dragged from the bottom to the top end; ten times slower with fine adjust.
  for (bool fine : {false, true}) {
    s->SetValue(0.0);
    IMouseInfo down = Pt(50, 199)[0];
    down.ms.S = fine;
    sg.OnMouseDown({down});
    const double start = s->GetValue(); // the press point, near the bottom
    EXPECT_LT(start, 0.01);
    for (int k = 1; k <= 8; ++k) {
      IMouseInfo m = down;
      m.y = 199 - 80.f * k;
      m.dY = -80.f;
      sg.OnMouseDrag({m});
    }
    sg.OnMouseUp({down});
    EXPECT_NEAR(s->GetValue(), fine ? start + 0.1 : 1.0, 1e-9) << fine;
  }
}

} // namespace
} // namespace controlstest
