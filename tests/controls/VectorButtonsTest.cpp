// Vector label, button, switch, toggle and slide switch through the
// recording graphics (7 points a character, 10 high).

#include <gtest/gtest.h>

#include <algorithm>

#include "ControlsFixture.h"
#include "IControlActions.h"
#include "IVButtonControls.h"

namespace controlstest {
namespace {

class VectorButtons : public ControlsFixture {
protected:
  // Fill colours in drawing order, as "A,R,G,B".
  static std::vector<std::string> Fills(const Log& log)
  {
    std::vector<std::string> out;
    for (const std::string& l : log)
      if (l.rfind("PathFill ", 0) == 0)
        out.push_back(l.substr(9));
    return out;
  }
  static bool Has(const std::vector<std::string>& v, const std::string& s)
  {
    return std::find(v.begin(), v.end(), s) != v.end();
  }
};

TEST_F(VectorButtons, ButtonWidgetLeavesRoomForFrameAndShadowAndIsTheOnlyHitArea)
{
  auto* b = new IVButtonControl(IRECT(0, 0, 100, 60));
  g->AttachControl(b);
  // Half the frame width all round, the shadow distance at left, right and bottom.
  EXPECT_TRUE(NearRect(b->GetWidgetBounds(), IRECT(3.5f, 0.5f, 96.5f, 56.5f)));
  struct Case {
    float x, y;
    bool hit;
  } cases[] = {{3.5f, 0.5f, true}, {96.4f, 56.4f, true}, {96.5f, 30, false}, {50, 56.5f, false}, {1, 30, false}};
  for (const Case& c : cases)
    EXPECT_EQ(b->IsHit(c.x, c.y), c.hit) << c.x << "," << c.y;
}

TEST_F(VectorButtons, ButtonDrawsPressedExactlyWhileItsValueIsNotZeroAndToggleAboveHalf)
{
  const std::string face = "255,200,200,200", pressed = "255,240,240,240";
  auto* b = new IVButtonControl(IRECT(0, 0, 100, 60));
  auto* t = new IVToggleControl(
    IRECT(0, 100, 100, 160), [](IControl*) {}, "", DEFAULT_STYLE, "off", "on");
  g->AttachControl(b);
  g->AttachControl(t);
  struct Case {
    IControl* c;
    double v;
    bool pressed;
  } cases[] = {{b, 0.0, false}, {b, 0.001, true}, {b, 1.0, true}, {t, 0.5, false}, {t, 0.51, true}};
  for (const Case& c : cases) {
    c.c->SetValue(c.v);
    g->TakeLog();
    c.c->Draw(*g);
    const auto fills = Fills(g->TakeLog());
    EXPECT_EQ(Has(fills, pressed), c.pressed) << c.v;
    EXPECT_EQ(Has(fills, face), !c.pressed) << c.v;
  }
  t->SetValue(1.0);
  g->TakeLog();
  t->Draw(*g);
  const Log log = g->TakeLog();
  EXPECT_TRUE(std::find(log.begin(), log.end(), "DrawText \"on\" " + RectStr(t->GetValueBounds())) != log.end());
}

TEST_F(VectorButtons, ButtonClickCommitsOneAndReturnsToZeroAfterTheSplash)
{
  int actions = 0;
  auto* b = new IVButtonControl(IRECT(0, 0, 100, 60), [&](IControl* c) {
    ++actions;
    SplashClickActionFunc(c);
  });
  g->AttachControl(b);
  Click(50, 30);
  EXPECT_EQ(b->GetValue(), 1.0);
  EXPECT_EQ(actions, 1);
  for (int i = 0; i < 10; ++i)
    g->Tick(20);
  EXPECT_EQ(b->GetValue(), 0.0);
}

TEST_F(VectorButtons, SwitchValueTextSitsInTheMiddleOfTheWidgetAndFollowsTheParameter)
{
  auto* s = new IVSwitchControl(IRECT(0, 0, 100, 60), kStates);
  g->AttachControl(s);
  EXPECT_EQ(s->NumStates(), 5);
  EXPECT_STREQ(s->GetLabelStr(), "States");
  EXPECT_EQ(s->GetValueBounds(), s->GetWidgetBounds());
  EXPECT_EQ(s->GetStyle().valueStyle.mVAlign, kVAlignMiddle);
  EXPECT_EQ(s->GetText().mVAlign, kVAlignMiddle);
  const float x = s->GetWidgetBounds().MW(), y = s->GetWidgetBounds().MH();
  const char* want[] = {"1", "2", "3", "4", "0"};
  for (const char* w : want) {
    g->OnMouseDown(Pt(x, y));
    EXPECT_TRUE(s->IsPressed());
    g->OnMouseUp(Pt(x, y));
    EXPECT_FALSE(s->IsPressed());
    EXPECT_STREQ(s->GetValueStr(), w);
  }
  EXPECT_EQ(dlg.GetParam(kStates)->Value(), 0.0);
}

TEST_F(VectorButtons, SlideSwitchCellsFollowTheStateAndGlideToTheNextCell)
{
  IVStyle style;
  style.frameOn = style.shadowsOn = false;
  style.labelVisible = false;
  struct Case {
    int states, initial;
    EDirection dir;
    double wantValue;
    IRECT handle, to;
  } cases[] = {
    // The initial state is a state: 2 of 3 is the last cell.
    {3, 2, kHorizontal, 1.0, IRECT(80, 0, 120, 40), IRECT(0, 0, 40, 40)},
    {3, 1, kHorizontal, 0.5, IRECT(40, 0, 80, 40), IRECT(80, 0, 120, 40)},
    {3, 9, kHorizontal, 1.0, IRECT(80, 0, 120, 40), IRECT(0, 0, 40, 40)},
    {3, -2, kHorizontal, 0.0, IRECT(0, 0, 40, 40), IRECT(40, 0, 80, 40)},
    {2, 1, kVertical, 1.0, IRECT(0, 20, 120, 40), IRECT(0, 0, 120, 20)},
    // One state: the whole widget, no division by zero.
    {1, 0, kHorizontal, 0.0, IRECT(0, 0, 120, 40), IRECT(0, 0, 120, 40)},
    {0, 0, kHorizontal, 0.0, IRECT(0, 0, 120, 40), IRECT(0, 0, 120, 40)},
  };
  for (const Case& c : cases) {
    auto* s = new IVSlideSwitchControl(
      IRECT(0, 0, 120, 40), [](IControl*) {}, "", style, true, c.dir, c.states, c.initial);
    g->AttachControl(s);
    EXPECT_DOUBLE_EQ(s->GetValue(), c.wantValue) << c.states << " " << c.initial;
    EXPECT_TRUE(NearRect(s->GetHandleBounds(), c.handle)) << c.states << " " << c.initial;
    EXPECT_TRUE(NearRect(s->GetSlideTo(), c.to)) << c.states << " " << c.initial;
    g->RemoveControl(s);
  }
}

TEST_F(VectorButtons, SlideSwitchGlidesForAHundredMillisecondsThenRunsTheCallersAction)
{
  IVStyle style;
  style.frameOn = style.shadowsOn = false;
  int ended = 0;
  auto* s = new IVSlideSwitchControl(
    IRECT(0, 0, 120, 40), [&](IControl*) { ++ended; }, "", style, true, kHorizontal, 3, 0);
  g->AttachControl(s);
  const IRECT w = s->GetWidgetBounds();
  const float cw = w.W() / 3;
  Click(10, 20);
  EXPECT_DOUBLE_EQ(s->GetValue(), 0.5);
  struct Step {
    double ms;
    float left;
    int ended;
  } steps[] = {{0, w.L, 0}, {50, w.L + cw * 0.5f, 0}, {25, w.L + cw * 0.75f, 0}, {30, w.L + cw, 1}};
  for (const Step& st : steps) {
    g->Advance(st.ms);
    s->Animate();
    EXPECT_NEAR(s->GetHandleBounds().L, st.left, 1e-3) << st.ms;
    EXPECT_EQ(s->GetValueBounds(), s->GetHandleBounds());
    EXPECT_EQ(ended, st.ended);
  }
  EXPECT_FALSE(s->GetAnimationFunction());
}

TEST_F(VectorButtons, LabelDrawsShadowTextOnlyWhileEnabledAndFrameAlways)
{
  struct Case {
    const char* text;
    bool disabled;
    Log want;
  } cases[] = {
    {"", false, {"PathFill 0,0,0,0", "PathStroke 1"}},
    {"Hi", false, {"PathFill 0,0,0,0", "DrawText \"Hi\" (3,3,103,33)", "DrawText \"Hi\" (0,0,100,30)", "PathStroke 1"}},
    {"Hi", true, {"PathFill 0,0,0,0", "DrawText \"Hi\" (0,0,100,30)", "PathStroke 1"}},
  };
  for (const Case& c : cases) {
    auto* l = new IVLabelControl(IRECT(0, 0, 100, 30), c.text);
    g->AttachControl(l);
    l->SetDisabled(c.disabled);
    g->TakeLog();
    l->Draw(*g);
    EXPECT_EQ(g->TakeLog(), c.want) << c.text << c.disabled;
    g->RemoveControl(l);
  }
}

} // namespace
} // namespace controlstest
