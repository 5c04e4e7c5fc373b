// The frame a bitmap control shows for its value, through the recording
// graphics.

#include <gtest/gtest.h>

#include "ControlsFixture.h"
#include "IBitmapControl.h"

namespace controlstest {
namespace {

using BitmapFrames = ControlsFixture;

TEST_F(BitmapFrames, ValuePicksTheFrameAndItsSourceOffset)
{
  TestBitmap strip(30, 90, 1.f, 1.f);
  TestBitmap wide(90, 30, 1.f, 1.f);
  TestBitmap single(30, 30, 1.f, 1.f);
  struct Case {
    IBitmap bitmap;
    double value;
    const char* want;
  } cases[] = {
    {IBitmap(&strip, 3, false, "strip"), 0.0, "DrawBitmap strip (10,10,40,40) src 0,0"},
    {IBitmap(&strip, 3, false, "strip"), 0.4, "DrawBitmap strip (10,10,40,40) src 0,30"},
    {IBitmap(&strip, 3, false, "strip"), 1.0, "DrawBitmap strip (10,10,40,40) src 0,60"},
    {IBitmap(&strip, 3, false, "strip"), 7.0, "DrawBitmap strip (10,10,40,40) src 0,60"},
    {IBitmap(&strip, 3, false, "strip"), -1.0, "DrawBitmap strip (10,10,40,40) src 0,0"},
    {IBitmap(&wide, 3, true, "wide"), 0.5, "DrawBitmap wide (10,10,40,40) src 30,0"},
    {IBitmap(&single, 1, false, "single"), 0.9, "DrawBitmap single (10,10,40,40) src 0,0"},
  };
  for (const Case& c : cases) {
    auto* ctl = new IBitmapControl(10, 10, c.bitmap);
    g->AttachControl(ctl);
    EXPECT_EQ(ctl->GetRECT(), IRECT(10, 10, 40, 40));
    ctl->SetValue(c.value);
    g->TakeLog();
    ctl->Draw(*g);
    EXPECT_EQ(g->TakeLog(), Log{c.want}) << c.value;
    g->RemoveControl(ctl);
  }
  // Five frames at 0.5 show the middle one.
  EXPECT_EQ(IBitmapBase::FrameForValue(0.5, 5), 3);
}

TEST_F(BitmapFrames, LayeredSVGRendersOncePerPlaceAndScale)
{
  const char* svgText = "<svg xmlns='http://www.w3.org/2000/svg' width='10' height='10'>"
                        "<rect width='10' height='10' fill='#ff8000'/></svg>";
  auto* svg = new ISVGControl(IRECT(10, 10, 30, 30), g->LoadSVGFromData("square", svgText, 0), true);
  g->AttachControl(svg);
  auto layersMade = [&] {
    svg->Draw(*g);
    int n = 0;
    for (const std::string& s : g->TakeLog())
      n += s.rfind("CreateAPIBitmap", 0) == 0;
    return n;
  };
  EXPECT_EQ(layersMade(), 1);
  EXPECT_EQ(layersMade(), 0);
  svg->SetPosition(40, 10);
  EXPECT_EQ(layersMade(), 1);
  EXPECT_EQ(layersMade(), 0);
  g->Resize(400, 300, 2.f, true);
  EXPECT_EQ(layersMade(), 1);
}

} // namespace
} // namespace controlstest
