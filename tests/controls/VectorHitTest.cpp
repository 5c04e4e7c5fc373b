// Where each vector and SVG control takes the pointer: widget, value text
// (only when editable), tabs, tracks, or nowhere (the group frame).

#include <gtest/gtest.h>

#include "ControlsFixture.h"
#include "ISVGControls.h"
#include "IVButtonControls.h"
#include "IVColorSwatchControl.h"
#include "IVGroupControl.h"
#include "IVKnobControl.h"
#include "IVSliderControl.h"
#include "IVTrackControls.h"
#include "IVXYPadControl.h"

namespace controlstest {
namespace {

using VectorHit = ControlsFixture;

TEST_F(VectorHit, EveryControlIsHitOnlyWhereItShouldBe)
{
  // Knobs and sliders 100 x 100 with the label "Gain" (36..64 wide, 10
  // high) and the value "-24.0 dB" (56 x 10, a 0.66 share each side of the
  // middle: 13.04..86.96) under a widget from y = 10 to 90.
  auto* editable = new IVKnobControl(IRECT(0, 0, 100, 100), kGain, "", DEFAULT_STYLE, true);
  auto* fixed = new IVKnobControl(IRECT(0, 0, 100, 100), kGain, "", DEFAULT_STYLE, false);
  auto* slider = new IVSliderControl(IRECT(0, 0, 100, 100), kGain, "", DEFAULT_STYLE, true);
  auto* toggle = new IVToggleControl(
    IRECT(0, 0, 100, 60), [](IControl*) {}, "", DEFAULT_STYLE);
  auto* slide = new IVSlideSwitchControl(IRECT(0, 0, 100, 60), [](IControl*) {});
  auto* range = new IVRangeSliderControl(IRECT(0, 0, 100, 40));
  auto* pad = new IVXYPadControl(IRECT(0, 0, 100, 100));
  auto* swatch = new IVColorSwatchControl(IRECT(0, 0, 100, 40));
  auto* svg = new ISVGKnobControl(IRECT(0, 0, 50, 50), ISVG());
  for (IControl* c : std::initializer_list<IControl*>{editable, fixed, slider, toggle, slide, range, pad, swatch, svg})
    g->AttachControl(c);
  struct Case {
    IControl* c;
    float x, y;
    bool hit;
    const char* what;
  } cases[] = {
    {editable, 20, 95, true, "editable value text"},
    {fixed, 20, 95, false, "value text of a fixed knob"},
    {fixed, 50, 50, true, "knob widget"},
    {fixed, 50, 5, false, "knob label"},
    {slider, 20, 95, true, "editable slider value"},
    {slider, 5, 50, true, "slider widget edge"},
    // Buttons and switches: the widget less frame and shadow room.
    {toggle, 2, 30, false, "toggle's shadow room"},
    {toggle, 4, 30, true, "toggle widget"},
    {slide, 96.6f, 30, false, "slide switch's shadow room"},
    {range, 50, 39.9f, true, "range slider area"},
    {pad, 99.9f, 99.9f, true, "pad corner"},
    {pad, 100, 50, false, "pad right edge"},
    {swatch, 1, 20, true, "swatch area outside its cells"},
    {svg, 0, 0, true, "svg knob corner"},
    {svg, 50, 25, false, "svg knob right edge"},
  };
  for (const Case& c : cases)
    EXPECT_EQ(c.c->IsHit(c.x, c.y), c.hit) << c.what;
  // The group frame never takes the pointer, even over its members.
  auto* group = new IVGroupControl(IRECT(200, 200, 300, 300), "Group");
  g->AttachControl(group);
  EXPECT_EQ(g->GetMouseControl(250, 250, false), nullptr);
}

} // namespace
} // namespace controlstest
