// Vector tab switch and radio buttons: tab geometry, rounded corners, hit
// tests, per-state disabling and clicks on every tab through the recording
// graphics.

#include <gtest/gtest.h>

#include <string>

#include "ControlsFixture.h"
#include "IVButtonControls.h"
#include "IVTabSwitchControl.h"

namespace controlstest {
namespace {

using VectorTabs = ControlsFixture;

IVStyle Plain()
{
  IVStyle s;
  s.frameOn = s.shadowsOn = false;
  s.labelVisible = s.valueVisible = false;
  s.cornerRoundness = 0.5f;
  return s;
}

// Rounded corners of a fill, top-left, top-right, bottom-right, bottom-left
// as "a", "b", "c", "d" ('-' for a sharp one), read from the arcs' angles.
std::string RoundedCorners(const PaintCall& call)
{
  std::string out = "----";
  for (const PathOp& op : call.path)
    if (op.kind == PathOp::kArc && op.v[2] > 0.f) {
      const int a1 = static_cast<int>(op.v[3]);
      const int idx = a1 == 270 ? 0 : a1 == 0 ? 1 : a1 == 90 ? 2 : 3;
      out[static_cast<std::size_t>(idx)] = "abcd"[idx];
    }
  return out;
}

TEST_F(VectorTabs, OnlyTheOuterCornersOfTheRowAreRounded)
{
  struct Case {
    EVShape shape;
    EDirection dir;
    std::vector<std::string> want; // per tab
  } cases[] = {
    {kVShapeEndsRounded, kHorizontal, {"a---", "----", "-b--"}},
    {kVShapeEndsRounded, kVertical, {"-b--", "----", "---d"}},
    {kVShapeAllRounded, kHorizontal, {"ab--", "ab--", "ab--"}},
    {kVShapeAllRounded, kVertical, {"-b-d", "-b-d", "-b-d"}},
    {kVShapeRectangle, kHorizontal, {"abcd", "abcd", "abcd"}},
  };
  for (const Case& c : cases) {
    auto* t = new IVTabSwitchControl(
      IRECT(0, 0, 120, 30), [](IControl*) {}, {"a", "b", "c"}, "", Plain(), c.shape, c.dir);
    g->AttachControl(t);
    g->TakePaints();
    t->DrawWidget(*g);
    std::vector<std::string> got;
    for (const PaintCall& p : g->TakePaints())
      if (p.isFill)
        got.push_back(RoundedCorners(p));
    EXPECT_EQ(got, c.want) << c.shape << " " << c.dir;
    g->RemoveControl(t);
  }
}

TEST_F(VectorTabs, ClickingEveryTabSelectsItAndSendsItsState)
{
  auto* t = new IVTabSwitchControl(IRECT(0, 0, 150, 30), kStates, {}, "", Plain());
  g->AttachControl(t);
  EXPECT_STREQ(t->GetLabelStr(), "States");
  for (int i : {3, 0, 4, 1, 2}) {
    const IRECT r = t->GetTabRects()[static_cast<std::size_t>(i)];
    Click(r.MW(), r.MH());
    EXPECT_DOUBLE_EQ(t->GetValue(), i / 4.0);
    EXPECT_EQ(dlg.GetParam(kStates)->Value(), i);
    EXPECT_EQ(t->GetSelectedTabText(), std::to_string(i));
  }
}

TEST_F(VectorTabs, TabsSplitTheWidgetAlongTheirDirectionAndHitTheRightOrLowerTabOnASharedEdge)
{
  auto* h = new IVTabSwitchControl(IRECT(0, 0, 120, 30), -1, {"a", "b", "c"}, "", Plain());
  auto* v =
    new IVTabSwitchControl(IRECT(0, 100, 60, 130), -1, {"a", "b", "c"}, "", Plain(), kVShapeRectangle, kVertical);
  auto* empty = new IVTabSwitchControl(IRECT(200, 0, 200, 30), -1, {"a", "b"}, "", Plain());
  g->AttachControl(h);
  g->AttachControl(v);
  g->AttachControl(empty);
  EXPECT_EQ(h->GetTabRects()[1], IRECT(40, 0, 80, 30));
  EXPECT_EQ(v->GetTabRects()[1], IRECT(0, 110, 60, 120));
  struct Case {
    IVTabSwitchControl* c;
    float x, y;
    int tab;
  } cases[] = {{h, 40, 10, 1},  {h, 39.99f, 10, 0}, {h, 120, 10, -1},    {h, 0, 30, -1},
               {v, 30, 110, 1}, {v, 30, 129.9f, 2}, {empty, 200, 10, -1}};
  for (const Case& c : cases) {
    EXPECT_EQ(c.c->GetTabAtPoint(c.x, c.y), c.tab) << c.x << "," << c.y;
    EXPECT_EQ(c.c->IsHit(c.x, c.y), c.tab >= 0) << c.x << "," << c.y;
  }
}

TEST_F(VectorTabs, OneStateTabSwitchStaysAtZero)
{
  auto* t = new IVTabSwitchControl(
    IRECT(0, 0, 60, 30), [](IControl*) {}, {"only"}, "", Plain());
  g->AttachControl(t);
  t->SetValue(0.7);
  Click(30, 15);
  EXPECT_EQ(t->GetValue(), 0.0);
  EXPECT_STREQ(t->GetSelectedTabText(), "only");
}

TEST_F(VectorTabs, ADisabledStateDarkensOnlyItsTab)
{
  IVStyle style = Plain();
  style.cornerRoundness = 0.f;
  auto* t = new IVTabSwitchControl(
    IRECT(0, 0, 120, 30), [](IControl*) {}, {"a", "b", "c"}, "", style);
  g->AttachControl(t);
  t->SetValue(0.0);
  t->SetStateDisabled(2, true);
  g->TakeLog();
  t->DrawWidget(*g);
  // Selected, normal, disabled.
  const Log want = {"PathFill 255,240,240,240",    "DrawText \"a\" (0,0,40,30)", "PathFill 255,200,200,200",
                    "DrawText \"b\" (40,0,80,30)", "PathFill 255,137,137,137",   "DrawText \"c\" (80,0,120,30)"};
  EXPECT_EQ(g->TakeLog(), want);
}

TEST_F(VectorTabs, RadioButtonsSitInTheirColumnAndCanIgnoreTheirText)
{
  IVStyle style = Plain();
  auto* r = new IVRadioButtonControl(
    IRECT(0, 0, 100, 60), [](IControl*) {}, {"one", "two", "three"}, "", style, kVShapeEllipse, kVertical, 10.f);
  g->AttachControl(r);
  r->SetValue(0.5);
  g->TakeLog();
  r->DrawWidget(*g);
  const Log log = g->TakeLog();
  // Buttons centred at x = 15 (half the 30-point column), text beside them.
  EXPECT_NE(std::find(log.begin(), log.end(), "DrawText \"two\" (30,20,100,40)"), log.end());
  g->TakePaints();
  r->DrawWidget(*g);
  const auto paints = g->TakePaints();
  ASSERT_FALSE(paints.empty());
  const PathOp& first = paints[0].path[1]; // the unit circle's move, in ellipse space
  EXPECT_FLOAT_EQ(first.m.mTX, 15.f);
  EXPECT_FLOAT_EQ(first.m.mTY, 10.f);
  EXPECT_FLOAT_EQ(first.m.mXX, 5.f);

  struct Case {
    bool columnOnly;
    float x, y;
    int tab;
  } cases[] = {{false, 60, 30, 1}, {true, 60, 30, -1}, {true, 29, 30, 1}, {true, 30, 30, -1}};
  for (const Case& c : cases) {
    r->SetButtonColumnHitOnly(c.columnOnly);
    EXPECT_EQ(r->GetTabAtPoint(c.x, c.y), c.tab) << c.columnOnly << " " << c.x;
  }
  r->SetButtonColumnHitOnly(false);
  for (int i : {2, 0, 1}) {
    Click(50, 10 + 20 * i);
    EXPECT_DOUBLE_EQ(r->GetValue(), i * 0.5);
  }
}

// Records each text with the red of its colour.
struct TextColourGraphics : TestGraphics {
  using TestGraphics::TestGraphics;
  void DoDrawText(const IText& t, const char* str, const IRECT&, const IBlend*) override
  {
    texts.push_back(std::string(str) + Fmt(" %g", t.mFGColor.R));
  }
  std::vector<std::string> texts;
};

TEST_F(VectorTabs, SelectedRadioTextTakesThePressedColourAndTheOthersTheFirstExtra)
{
  TextColourGraphics tg(dlg, 400, 300);
  IVStyle style = Plain();
  style.colors.SetColor(kPressed, IColor(255, 11, 0, 0));
  style.colors.SetColor(kExtra1, IColor(255, 22, 0, 0));
  auto* r = new IVRadioButtonControl(
    IRECT(0, 0, 100, 60), [](IControl*) {}, {"one", "two", "three"}, "", style);
  tg.AttachControl(r);
  r->SetValue(1.0);
  r->DrawWidget(tg);
  EXPECT_EQ(tg.texts, (std::vector<std::string>{"one 22", "two 22", "three 11"}));
}

TEST_F(VectorTabs, HoverFollowsThePointerAndClearsOnLeaving)
{
  Add("background", IRECT(0, 0, 400, 300)); // the first control never hovers
  auto* t = new IVTabSwitchControl(IRECT(0, 0, 120, 30), -1, {"a", "b", "c"}, "", Plain());
  g->AttachControl(t);
  g->EnableMouseOver(true);
  g->OnMouseOver(90, 10, IMouseMod());
  EXPECT_EQ(t->GetHoverTab(), 2);
  g->OnMouseOver(10, 10, IMouseMod());
  EXPECT_EQ(t->GetHoverTab(), 0);
  g->OnMouseOut();
  EXPECT_EQ(t->GetHoverTab(), -1);
}

TEST_F(VectorTabs, TabAndSlideSwitchesGivenAValueBetweenStatesShowTheNearest)
{
  struct Case {
    int states;
    double value;
    int shown;
  } cases[] = {
    {3, 0.24, 0}, {3, 0.26, 1}, {3, 0.74, 1}, {3, 0.76, 2}, {5, 0.3, 1}, {5, 0.4, 2}, {5, 0.99, 4}, {2, 0.49, 0},
  };
  const char* names[] = {"a", "b", "c", "d", "e"};
  for (const Case& c : cases) {
    auto* tabs = new IVTabSwitchControl(
      IRECT(0, 0, 150, 30), [](IControl*) {}, std::vector<const char*>(names, names + c.states), "", Plain());
    auto* slide = new IVSlideSwitchControl(
      IRECT(0, 40, 150, 70), [](IControl*) {}, "", Plain(), true, kHorizontal, c.states, 0);
    g->AttachControl(tabs);
    g->AttachControl(slide);
    tabs->SetValueFromDelegate(c.value, 0);
    slide->SetValueFromDelegate(c.value, 0);
    EXPECT_EQ(tabs->GetSelectedIdx(), c.shown) << c.states << " states at " << c.value;
    EXPECT_STREQ(tabs->GetSelectedTabText(), names[c.shown]) << c.states << " states at " << c.value;
    const IRECT w = slide->GetWidgetBounds();
    const float cell = w.W() / c.states;
    EXPECT_NEAR(slide->GetHandleBounds().L, w.L + cell * c.shown, 1e-3) << c.states << " states at " << c.value;
    g->RemoveControl(tabs);
    g->RemoveControl(slide);
  }
}

} // namespace
} // namespace controlstest
