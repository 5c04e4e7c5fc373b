// Click actions and animations on the test clock, the vector style's colour
// set, the disabled colours and the label / widget / value layout.

#include <gtest/gtest.h>

#include "ControlsFixture.h"
#include "IControlActions.h"

namespace controlstest {
namespace {

using ActionsAndVectorBase = ControlsFixture;

TEST_F(ActionsAndVectorBase, SplashGrowsWithTheAnimationAndEnds)
{
  auto* v = new TestVector(IRECT(50, 20, 150, 60), SplashClickActionFunc);
  g->AttachControl(v);
  Click(100, 40);
  v->SetDirty(true, -1);
  EXPECT_EQ(v->GetSplashX(), 100.f);
  EXPECT_EQ(v->GetSplashY(), 40.f);
  struct Step {
    double advanceMs;
    float radius;
    bool running;
  } steps[] = {{0, 0.f, true}, {50, 25.f, true}, {25, 37.5f, true}, {26, 37.5f, false}};
  for (const Step& s : steps) {
    g->Advance(s.advanceMs);
    v->Animate();
    EXPECT_FLOAT_EQ(v->GetSplashRadius(), s.radius) << s.advanceMs;
    EXPECT_EQ(v->GetAnimationFunction(), s.running) << s.advanceMs;
  }
}

TEST_F(ActionsAndVectorBase, SplashSkipsAControlThatIsNotAVectorControl)
{
  RecordingControl* plain = Add("plain", IRECT(0, 0, 10, 10));
  plain->SetActionFunction(SplashClickActionFunc);
  plain->SetDirty(true, -1);
  EXPECT_FALSE(plain->GetAnimationFunction());
  plain->SetAnimation(SplashAnimationFunc, 100);
  g->Advance(50);
  plain->Animate(); // no vector base: only redrawn
  EXPECT_TRUE(plain->GetAnimationFunction());
}

TEST_F(ActionsAndVectorBase, BubbleActionsAnchorBesideOrAboveTheControl)
{
  auto* bubble = new RecordingBubble("bubble", IRECT());
  ASSERT_TRUE(g->AttachBubbleControl(bubble));
  struct Case {
    int param;
    IActionFunction action;
    const char* want;
  } cases[] = {
    {kGain, ShowBubbleHorizontalActionFunc, "bubble Show 100,30 dir 1 touch 0 0.0 dB"},
    {kGain, ShowBubbleVerticalActionFunc, "bubble Show 75,10 dir 0 touch 0 0.0 dB"},
    {-1, ShowBubbleHorizontalActionFunc, "bubble Show 100,30 dir 1 touch 0 "},
  };
  for (const Case& c : cases) {
    RecordingControl* ctl = Add("ctl", IRECT(50, 10, 100, 50), c.param);
    g->TakeLog();
    c.action(ctl);
    EXPECT_EQ(g->TakeLog(), Log{c.want});
    g->RemoveControl(ctl);
  }
}

TEST_F(ActionsAndVectorBase, ColourSpecFillsMissingRolesFromTheDefaults)
{
  const IColor red(255, 255, 0, 0), blue(255, 0, 0, 255);
  const std::vector<IColor> defaults = {IColor(0, 0, 0, 0),      IColor(255, 200, 200, 200), IColor(255, 240, 240, 240),
                                        IColor(255, 70, 70, 70), IColor(10, 0, 0, 0),        IColor(60, 0, 0, 0),
                                        IColor(255, 0, 0, 0),    IColor(255, 0, 255, 0),     IColor(255, 0, 0, 255)};
  std::vector<IColor> redBlue = defaults;
  redBlue[0] = red;
  redBlue[1] = blue;
  struct Case {
    IVColorSpec spec;
    std::vector<IColor> want;
  } cases[] = {
    {IVColorSpec{}, defaults},
    {IVColorSpec{red, blue}, redBlue},
    {IVColorSpec{red, red, red, red, red, red, red, red, red, blue}, std::vector<IColor>(9, red)},
  };
  for (const Case& c : cases)
    for (int i = 0; i < kNumVColors; ++i)
      EXPECT_EQ(c.spec.GetColor(static_cast<EVColorRole>(i)), c.want[i]) << "role " << i;
}

TEST_F(ActionsAndVectorBase, DisabledColoursAre63LevelsDarkerWithAlphaKept)
{
  IVStyle style;
  style.colors.SetColor(kForeground, IColor(128, 200, 40, 63));
  TestVector v(IRECT(), nullptr, style);
  EXPECT_EQ(v.GetAdjustedColor(kForeground, false), IColor(128, 200, 40, 63));
  EXPECT_EQ(v.GetAdjustedColor(kForeground, true), IColor(128, 137, 0, 0));
}

TEST_F(ActionsAndVectorBase, MakeRectsSplitsLabelWidgetAndValue)
{
  // The recording graphics measures 7 points a character, 10 high.
  struct Case {
    const char* label;
    const char* value;
    bool valueVisible, handle, labelInside;
    float widgetScale;
    IRECT wantLabel, wantWidget, wantValue, wantClipped;
  } cases[] = {
    {"Gain", "12", true, false, false, 1.f, IRECT(36, 0, 64, 10), IRECT(0, 10, 100, 90),
     IRECT(50 - 9.24f, 90, 50 + 9.24f, 100), IRECT(0, 10, 100, 100)},
    {"Gain", "12", true, true, false, 1.f, IRECT(36, 0, 64, 10), IRECT(3.5f, 10.5f, 96.5f, 96.5f),
     IRECT(50 - 9.24f, 90, 50 + 9.24f, 100), IRECT(0, 10, 100, 100)},
    {"", "", false, false, false, 0.5f, IRECT(), IRECT(25, 25, 75, 75), IRECT(), IRECT(0, 0, 100, 100)},
    {"Gain", "", false, true, true, 1.f, IRECT(3.5f, 0.5f, 96.5f, 96.5f), IRECT(3.5f, 0.5f, 96.5f, 96.5f), IRECT(),
     IRECT(0, 0, 100, 100)},
  };
  for (const Case& c : cases) {
    IVStyle style;
    style.valueVisible = c.valueVisible;
    style.widgetScale = c.widgetScale;
    auto* v = new TestVector(IRECT(0, 0, 100, 100), nullptr, style, c.labelInside);
    g->AttachControl(v);
    v->SetLabelStr(c.label);
    v->SetValueStr(c.value);
    const IRECT clipped = v->MakeRects(v->GetRECT(), c.handle);
    const IRECT got[] = {v->GetLabelBounds(), v->GetWidgetBounds(), v->GetValueBounds(), clipped};
    const IRECT want[] = {c.wantLabel, c.wantWidget, c.wantValue, c.wantClipped};
    for (int k = 0; k < 4; ++k)
      EXPECT_TRUE(NearRect(got[k], want[k])) << c.label << " rect " << k << ": " << RectStr(got[k]);
    g->RemoveControl(v);
  }
}

} // namespace
} // namespace controlstest
