// Value records, parameter links, commit path, geometry and animation of
// the control base, on a headless editor.

#include <gtest/gtest.h>

#include <cmath>

#include "TestGraphics.h"

using namespace testsupport;
using Log = std::vector<std::string>;

namespace {

constexpr double kTol = 1e-12;

class Control : public ::testing::Test {
protected:
  void SetUp() override
  {
    dlg.GetParam(0)->InitDouble("Gain", 0.0, -24.0, 24.0, 0.1, "dB");
    dlg.GetParam(1)->InitInt("Count", 3, 0, 10);
    dlg.GetParam(2)->InitDouble("Mix", 25.0, 0.0, 100.0, 1.0, "%");
    dlg.SetMakeGraphicsFunc([](IGEditorDelegate& d) { return new TestGraphics(d, 300, 200); });
    dlg.OpenWindow(nullptr);
    g = static_cast<TestGraphics*>(dlg.GetGraphics());
  }

  RecordingControl* Attach(RecordingControl* c)
  {
    g->AttachControl(c);
    g->TakeLog();
    dlg.TakeLog();
    return c;
  }

  TestDelegate dlg{4};
  TestGraphics* g = nullptr;
};

} // namespace

TEST_F(Control, NewControlIsDirtyAndPromptsAreOff)
{
  RecordingControl c("c", IRECT(0, 0, 10, 10), 0);
  EXPECT_TRUE(c.IsDirty());
  EXPECT_TRUE(c.GetPromptDisabled());
  EXPECT_EQ(c.GetTextEntryLength(), 7);
  EXPECT_EQ(c.GetBlend().mWeight, 1.f);
}

TEST_F(Control, SingleRecordTreatsAnyIndexAsZero)
{
  auto* c = Attach(new RecordingControl("c", IRECT(0, 0, 10, 10), 0));
  c->SetValue(1.7);
  EXPECT_DOUBLE_EQ(c->GetValue(), 1.7);
  c->SetDirty(true, 5);
  EXPECT_DOUBLE_EQ(c->GetValue(), 1.0);
  EXPECT_EQ(dlg.TakeLog(), (Log{"Send 0 1"}));
}

TEST_F(Control, AllRecordsAreSentInOrderAndTheActionRunsOnce)
{
  int actions = 0;
  auto* c = Attach(new RecordingControl("c", IRECT(0, 0, 10, 10), std::vector<int>{2, 0}));
  c->SetActionFunction([&](IControl*) { ++actions; });
  c->SetValue(0.3, 0);
  c->SetValue(-0.5, 1);
  c->SetDirty(true, -1);
  EXPECT_EQ(dlg.TakeLog(), (Log{"Send 2 0.3", "Send 0 0"}));
  EXPECT_EQ(actions, 1);
}

TEST_F(Control, OutOfRangeValueIndicesAreIgnored)
{
  auto* c = Attach(new RecordingControl("c", IRECT(0, 0, 10, 10), std::vector<int>{0, 1}));
  c->SetValue(0.5, 7);
  c->SetValue(0.5, -3);
  c->SetParamIdx(3, 9);
  c->SetValueFromDelegate(0.4, 4);
  c->SetValueFromUserInput(0.4, -2);
  c->SetDirty(true, 2);
  EXPECT_DOUBLE_EQ(c->GetValue(7), 0.0);
  EXPECT_EQ(c->GetParamIdx(9), -1);
  EXPECT_EQ(c->GetParam(9), nullptr);
  EXPECT_TRUE(dlg.TakeLog().empty());
}

TEST_F(Control, DefaultIsSnappedClampedAndNormalised)
{
  struct Case {
    int param;
    double want;
  };
  const Case cases[] = {{0, 0.5}, {1, 0.3}, {2, 0.25}};
  for (const Case& k : cases) {
    auto* c = Attach(new RecordingControl("c", IRECT(0, 0, 10, 10), k.param));
    c->SetValue(0.9);
    c->SetValueToDefault(3);
    EXPECT_NEAR(c->GetValue(), k.want, kTol) << k.param;
  }
}

TEST_F(Control, DefaultOfAnUnlinkedControlOnlyDirtiesAndActs)
{
  int actions = 0;
  auto* c = Attach(new RecordingControl("c", IRECT(0, 0, 10, 10)));
  c->SetActionFunction([&](IControl*) { ++actions; });
  c->SetValue(0.6);
  c->SetClean();
  c->SetValueToDefault(-1);
  EXPECT_DOUBLE_EQ(c->GetValue(), 0.6);
  EXPECT_TRUE(c->IsDirty());
  EXPECT_EQ(actions, 1);
}

TEST_F(Control, HitRectIsLeftTopInclusive)
{
  RecordingControl c("c", IRECT(10, 10, 20, 20));
  EXPECT_TRUE(c.IsHit(10, 10));
  EXPECT_FALSE(c.IsHit(20, 15));
  EXPECT_FALSE(c.IsHit(15, 20));
}

TEST_F(Control, SnapToMouseQuantisesToThousandths)
{
  auto* c = Attach(new RecordingControl("c", IRECT(0, 0, 10, 100), 2));
  c->SnapToMouse(5, -40, kVertical, c->GetRECT());
  EXPECT_DOUBLE_EQ(c->GetValue(), 1.0);
  c->SnapToMouse(5, 33.3333f, kVertical, c->GetRECT());
  EXPECT_NEAR(c->GetValue(), 0.667, kTol);
  c->SnapToMouse(2.5f, 0, kHorizontal, c->GetRECT(), -1, 0.0, 0.2);
  EXPECT_NEAR(c->GetValue(), 0.2, kTol);
}

TEST_F(Control, PositionAndSizeKeepTheTargetOffset)
{
  RecordingControl c("c", IRECT(10, 10, 50, 30));
  c.SetTargetRECT(IRECT(15, 12, 45, 28));
  c.SetPosition(-5, 100);
  EXPECT_EQ(c.GetRECT(), IRECT(0, 100, 40, 120));
  EXPECT_EQ(c.GetTargetRECT(), IRECT(5, 102, 35, 118));
  c.SetSize(-1, 8);
  EXPECT_EQ(c.GetTargetRECT(), IRECT(0, 100, 0, 108));
  EXPECT_EQ(c.GetRECT(), IRECT(0, 100, 0, 108));
}

TEST_F(Control, DisablingDimsAndHighlightKeepsColourForUnknownIndex)
{
  RecordingControl c("c", IRECT(0, 0, 10, 10));
  c.SetDisabled(true);
  EXPECT_FLOAT_EQ(c.GetBlend().mWeight, 0.25f);
  c.SetDisabled(false);
  EXPECT_FLOAT_EQ(c.GetBlend().mWeight, 1.f);
  c.SetParamHighlight(true, 2);
  c.SetParamHighlight(true, 7);
  EXPECT_TRUE(c.GetHighlightOn());
  EXPECT_EQ(c.GetHighlightColor(), IColor(255, 0, 255, 0));
}

TEST_F(Control, AnimationProgressFollowsTheVirtualClock)
{
  auto* c = Attach(new RecordingControl("c", IRECT(0, 0, 10, 10)));
  EXPECT_DOUBLE_EQ(c->GetAnimationProgress(), 0.0);
  c->SetAnimation([](IControl*) {}, 200);
  g->Advance(50);
  EXPECT_NEAR(c->GetAnimationProgress(), 0.25, kTol);
  c->StartAnimation(200, false);
  g->Advance(50);
  EXPECT_NEAR(c->GetAnimationProgress(), 0.75, kTol);
  g->Advance(300);
  EXPECT_LT(c->GetAnimationProgress(), 0.0); // not clamped
}

TEST_F(Control, ZeroDurationAnimationCountsAsFinished)
{
  auto* c = Attach(new RecordingControl("c", IRECT(0, 0, 10, 10)));
  c->SetAnimation([](IControl*) {}, 0);
  EXPECT_DOUBLE_EQ(c->GetAnimationProgress(), 1.0);
  c->StartAnimation(0, false);
  EXPECT_DOUBLE_EQ(c->GetAnimationProgress(), 0.0);
}

TEST_F(Control, EndOfAnimationClearsRedrawsAndChains)
{
  int chained = 0;
  auto* c = Attach(new RecordingControl("c", IRECT(0, 0, 10, 10)));
  c->SetAnimation([](IControl*) {}, 100);
  c->SetAnimationEndActionFunction([&](IControl*) { ++chained; });
  c->SetClean();
  EXPECT_TRUE(c->IsDirty());
  c->OnEndAnimation();
  EXPECT_FALSE(c->GetAnimationFunction());
  EXPECT_EQ(chained, 1);
  c->SetClean();
  EXPECT_FALSE(c->IsDirty());
}

TEST_F(Control, GesturesGoToTheRegisteredHandler)
{
  auto* c = Attach(new RecordingControl("c", IRECT(0, 0, 10, 10)));
  int pinches = 0;
  c->AttachGestureRecognizer(EGestureType::Pinch, [&](IControl*, const IGestureInfo&) { ++pinches; });
  c->AttachGestureRecognizer(EGestureType::Pinch, [&](IControl*, const IGestureInfo&) { pinches += 100; });
  IGestureInfo info;
  info.type = EGestureType::Pinch;
  EXPECT_TRUE(c->OnGesture(info));
  info.type = EGestureType::Rotate;
  EXPECT_FALSE(c->OnGesture(info));
  EXPECT_EQ(pinches, 1);
  EXPECT_EQ(c->GetLastGesture(), EGestureType::Pinch);
  EXPECT_EQ(g->GetRegisteredGestures().size(), 1u);
}

TEST_F(Control, GestureRegionsAnswerWhereNoIdleControlDoes)
{
  auto* c = Attach(new RecordingControl("c", IRECT(0, 0, 50, 50)));
  std::vector<int> hits;
  c->AttachGestureRecognizer(EGestureType::Pinch, [&](IControl*, const IGestureInfo&) { hits.push_back(0); });
  g->AttachGestureRecognizerToRegion(IRECT(0, 0, 100, 100), EGestureType::Pinch,
                                     [&](IControl* ctl, const IGestureInfo&) { hits.push_back(ctl ? -1 : 1); });
  g->AttachGestureRecognizerToRegion(IRECT(0, 0, 100, 100), EGestureType::Pinch,
                                     [&](IControl*, const IGestureInfo&) { hits.push_back(2); });
  IGestureInfo info;
  info.type = EGestureType::Pinch;
  info.x = 10;
  info.y = 10;
  g->OnGestureRecognized(info);
  c->SetAnimation([](IControl*) {}, 100);
  g->OnGestureRecognized(info);
  info.x = 200;
  EXPECT_FALSE(g->RespondsToGesture(200, 10));
  g->OnGestureRecognized(info);
  EXPECT_EQ(hits, (std::vector<int>{0, 1}));
  EXPECT_EQ(g->GetRegisteredGestures().size(), 1u);
}
