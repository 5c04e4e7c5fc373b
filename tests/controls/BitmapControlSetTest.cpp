// The bitmap control set through the recording graphics: sizes from the
// image, switch stepping, the rotating knob's angle, the slider's handle
// travel and the bitmap-font layout.

#include <gtest/gtest.h>

#include <cmath>
#include <cstdio>
#include <memory>

#include "ControlsFixture.h"
#include "IBControls.h"
#include "IControlActions.h"

namespace controlstest {
namespace {

class BitmapControlSet : public ControlsFixture {
protected:
  IBitmap Image(const char* name, int w, int h, int n, bool horizontal = false)
  {
    mImages.push_back(std::make_unique<TestBitmap>(w, h, 1.f, 1.f));
    return IBitmap(mImages.back().get(), n, horizontal, name);
  }
  // The bitmap lines of one drawing of c.
  Log Drawn(IControl& c)
  {
    g->TakeLog();
    c.Draw(*g);
    Log lines;
    for (const std::string& l : g->TakeLog())
      if (l.rfind("DrawBitmap", 0) == 0 || l.rfind("Matrix", 0) == 0)
        lines.push_back(l);
    return lines;
  }
  std::vector<std::unique_ptr<TestBitmap>> mImages;
};

TEST_F(BitmapControlSet, ControlsTakeOneFrameOfTheirImage)
{
  const IBitmap wide = Image("ab", 60, 30, 2, true);
  struct Case {
    IControl* control;
    IRECT want;
  } cases[] = {
    {new IBSwitchControl(5, 5, wide), IRECT(5, 5, 35, 35)},
    {new IBSwitchControl(IRECT(0, 0, 100, 50), wide), IRECT(35, 10, 65, 40)},
    {new IBButtonControl(5, 5, wide, nullptr), IRECT(5, 5, 35, 35)},
    {new IBKnobControl(IRECT(0, 0, 41, 41), Image("k", 20, 200, 10), -1), IRECT(10.5f, 10.5f, 30.5f, 30.5f)},
    {new IBSliderControl(10, 20, 100, Image("h", 16, 20, 2), IBitmap(), -1), IRECT(10, 20, 26, 120)},
    {new IBSliderControl(10, 20, 100, Image("h", 16, 20, 2), IBitmap(), -1, kHorizontal), IRECT(10, 20, 110, 40)},
  };
  for (const Case& c : cases) {
    g->AttachControl(c.control);
    EXPECT_EQ(c.control->GetRECT(), c.want);
  }
}

TEST_F(BitmapControlSet, SwitchStepsThroughItsStatesAndWraps)
{
  auto* two = new IBSwitchControl(5, 5, Image("ab", 60, 30, 2, true));
  auto* five = new IBSwitchControl(100, 5, Image("st", 30, 150, 5), kStates);
  dlg.GetParam(kOdd)->InitInt("Three", 0, 0, 2);
  auto* three = new IBSwitchControl(200, 5, Image("t", 30, 90, 3), kOdd);
  g->AttachControl(two);
  g->AttachControl(five);
  g->AttachControl(three);
  std::vector<double> seen2, seen3;
  for (int i = 0; i < 4; ++i) {
    Click(10, 10);
    seen2.push_back(two->GetValue());
    three->OnMouseDown(0, 0, Mod());
    seen3.push_back(three->GetValue());
  }
  EXPECT_EQ(seen2, (std::vector<double>{1, 0, 1, 0}));
  EXPECT_EQ(seen3, (std::vector<double>{0.5, 1, 0, 0.5}));
  EXPECT_FALSE(three->IsPressed());
  // A linked five-state parameter: 0 .. 4 in steps of one.
  for (int want : {1, 2, 3, 4, 0}) {
    g->OnMouseDown(Pt(110, 10));
    EXPECT_EQ(dlg.GetParam(kStates)->Value(), want);
  }
}

TEST_F(BitmapControlSet, RotatingKnobTurnsFromMinus130To130Degrees)
{
  auto* knob = new IBKnobRotaterControl(IRECT(0, 0, 40, 40), Image("r", 40, 40, 1), -1);
  g->AttachControl(knob);
  g->mLogPaths = true;
  for (double v : {0.0, 0.25, 0.5, 1.0}) {
    knob->SetValue(v);
    // The transform in force when the image is drawn.
    double xx = 0, yx = 0, xy = 0, yy = 0, tx = 0, ty = 0;
    for (const std::string& l : Drawn(*knob)) {
      if (l.rfind("DrawBitmap", 0) == 0)
        break;
      std::sscanf(l.c_str(), "Matrix %lf %lf %lf %lf %lf %lf", &xx, &yx, &xy, &yy, &tx, &ty);
    }
    EXPECT_NEAR(std::atan2(yx, xx) * 180.0 / M_PI, v * 260.0 - 130.0, 1e-3) << v;
    EXPECT_NEAR(tx, 20.0, 1e-4);
    EXPECT_NEAR(ty, 20.0, 1e-4);
  }
}

TEST_F(BitmapControlSet, SliderHandleTravelsTheTrackLessOneFrame)
{
  // Handle strip of two 16 x 10 frames; a 100-point track.
  auto* v = new IBSliderControl(10, 20, 100, Image("h", 16, 20, 2), IBitmap(), -1);
  auto* h = new IBSliderControl(10, 200, 100, Image("w", 16, 20, 2), IBitmap(), -1, kHorizontal);
  g->AttachControl(v);
  g->AttachControl(h);
  struct Case {
    double value;
    IRECT vertical, horizontal;
  } cases[] = {
    {1.0, IRECT(10, 20, 26, 30), IRECT(94, 200, 110, 210)},
    {0.0, IRECT(10, 110, 26, 120), IRECT(10, 200, 26, 210)},
    {0.5, IRECT(10, 65, 26, 75), IRECT(52, 200, 68, 210)},
  };
  for (const Case& c : cases) {
    v->SetValue(c.value);
    h->SetValue(c.value);
    EXPECT_EQ(v->GetHandleBounds(), c.vertical) << c.value;
    EXPECT_EQ(h->GetHandleBounds(), c.horizontal) << c.value;
    EXPECT_EQ(Drawn(*v), Log{"DrawBitmap h " + RectStr(c.vertical) + " src 0,0"});
  }
  // A track image: centred, drawn under the handle, and the handle's track.
  auto* t = new IBSliderControl(IRECT(0, 300, 40, 400), Image("h", 16, 20, 2), Image("track", 8, 80, 1), -1);
  g->AttachControl(t);
  EXPECT_EQ(t->GetTrackBounds(), IRECT(16, 310, 24, 390));
  t->SetValue(1.0);
  EXPECT_EQ(Drawn(*t), (Log{"DrawBitmap track (16,310,24,390) src 0,0", "DrawBitmap h (16,310,32,320) src 0,0"}));
}

TEST_F(BitmapControlSet, BitmapFontWrapsOrCutsAtWholeCellsAndDrawsUnknownBytesAsSpace)
{
  // 95 glyphs from the space, 6 x 12 each, side by side.
  const IBitmap font = Image("font", 6 * 95, 12, 95, true);
  IText near = DEFAULT_TEXT;
  near.mAlign = kAlignNear;
  auto* multi = new IBTextControl(IRECT(0, 0, 20, 40), font, near, "ABCDEFG", 6, 12, 0, true, false);
  auto* single = new IBTextControl(IRECT(0, 100, 20, 112), font, near, "AB\x01\xC3", 6, 12, 1, false, false);
  g->AttachControl(multi);
  g->AttachControl(single);
  // "ABCDEFG" is 42 points in a 20-point box: three glyphs a line, three lines.
  EXPECT_EQ(Drawn(*multi), (Log{"DrawBitmap font (0,0,6,12) src 198,0", "DrawBitmap font (6,0,12,12) src 204,0",
                                "DrawBitmap font (12,0,18,12) src 210,0", "DrawBitmap font (0,12,6,24) src 216,0",
                                "DrawBitmap font (6,12,12,24) src 222,0", "DrawBitmap font (12,12,18,24) src 228,0",
                                "DrawBitmap font (0,24,6,36) src 234,0"}));
  // One line: cut after three cells (7 points apart); control and high bytes are spaces.
  EXPECT_EQ(Drawn(*single), (Log{"DrawBitmap font (0,100,6,112) src 198,0", "DrawBitmap font (7,100,13,112) src 204,0",
                                 "DrawBitmap font (14,100,20,112) src 0,0"}));
}

TEST_F(BitmapControlSet, ButtonFiresOnPressAndResetsAfterItsAnimation)
{
  int fired = 0;
  auto* b = new IBButtonControl(5, 5, Image("b", 20, 40, 2), [&](IControl* c) {
    ++fired;
    DefaultClickActionFunc(c);
  });
  g->AttachControl(b);
  Click(10, 10);
  EXPECT_EQ(fired, 1);
  EXPECT_EQ(Drawn(*b), Log{"DrawBitmap b (5,5,25,25) src 0,20"});
  for (int i = 0; i < 10; ++i)
    g->Tick(20);
  EXPECT_EQ(b->GetValue(), 0.0);
}

TEST_F(BitmapControlSet, MissingImagesAttachAndDrawNothing)
{
  IControl* controls[] = {
    new IBButtonControl(5, 5, IBitmap(), nullptr),
    new IBSwitchControl(5, 5, IBitmap()),
    new IBKnobControl(IRECT(0, 0, 10, 10), IBitmap(), -1),
    new IBKnobRotaterControl(IRECT(0, 0, 10, 10), IBitmap(), -1),
    new IBSliderControl(5, 5, 50, IBitmap(), IBitmap(), -1),
    new IBTextControl(IRECT(0, 0, 50, 20), IBitmap()),
  };
  for (IControl* c : controls) {
    g->AttachControl(c);
    c->SetValue(1.0);
    for (const std::string& line : Drawn(*c)) {
      if (line.rfind("DrawBitmap", 0) == 0) {
        EXPECT_NE(line.find("DrawBitmap  ("), std::string::npos) << line;
      }
    }
    Click(6, 6);
  }
}

} // namespace
} // namespace controlstest
