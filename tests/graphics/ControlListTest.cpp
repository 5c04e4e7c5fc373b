// Attaching, finding, iterating and removing controls, including controls
// that are hovered, captured or in a prompt when they go.

#include "EditorFixture.h"

using namespace testsupport;

namespace {
class ControlList : public EditorFixture {};
} // namespace

TEST_F(ControlList, ConstructorDefaultsFramesAndScaleRange)
{
  struct Case {
    int fps;
    float scale;
    int wantFps;
    float lo, hi;
  };
  const Case cases[] = {{0, 1.f, 60, 0.5f, 2.f}, {-5, 2.f, 60, 1.f, 4.f}, {30, 1.5f, 30, 0.75f, 3.f}};
  for (const Case& c : cases) {
    TestDelegate d;
    TestGraphics tg(d, 100, 100, c.fps, c.scale);
    EXPECT_EQ(tg.FPS(), c.wantFps);
    EXPECT_FLOAT_EQ(tg.GetMinScale(), c.lo);
    EXPECT_FLOAT_EQ(tg.GetMaxScale(), c.hi);
    EXPECT_EQ(d.GetEditorWidth(), 100);
  }
}

TEST_F(ControlList, AttachRunsInitResizeRescaleThenAttached)
{
  auto* c = new RecordingControl("c", IRECT(0, 0, 10, 10));
  ASSERT_EQ(g->AttachControl(c, -1, "grp"), c);
  EXPECT_EQ(g->TakeLog(), (Log{"c OnInit", "c OnResize", "c OnRescale", "c OnAttached"}));
  EXPECT_STREQ(c->GetGroup(), "grp");
  EXPECT_EQ(c->GetUI(), g);
  EXPECT_EQ(c->GetDelegate(), &dlg);
}

TEST_F(ControlList, DuplicateTagIsRefusedAndTheCallerKeepsTheControl)
{
  Add("a", IRECT(0, 0, 10, 10), -1, 5);
  RecordingControl second("b", IRECT(0, 0, 10, 10));
  EXPECT_EQ(g->AttachControl(&second, 5), nullptr);
  EXPECT_EQ(g->NControls(), 1);
}

TEST_F(ControlList, UnknownTagGivesNullAndRemovingItDoesNothing)
{
  Add("a", IRECT(0, 0, 10, 10), -1, 1);
  EXPECT_EQ(g->GetControlWithTag(99), nullptr);
  g->RemoveControlWithTag(99);
  EXPECT_EQ(g->NControls(), 1);
  EXPECT_EQ(g->GetControl(7), nullptr);
  EXPECT_EQ(g->GetControl(-1), nullptr);
  EXPECT_EQ(g->GetControlParamIdx(7), -1);
}

TEST_F(ControlList, RemoveControlWithTagDestroysTheControlAndFreesTheTag)
{
  int destroyed = 0;
  Add("a", IRECT(0, 0, 10, 10), -1, 3)->mDestroyed = &destroyed;
  g->RemoveControlWithTag(3);
  EXPECT_EQ(destroyed, 1);
  EXPECT_EQ(g->NControls(), 0);
  EXPECT_EQ(g->GetControlWithTag(3), nullptr);
  EXPECT_NE(Add("b", IRECT(0, 0, 10, 10), -1, 3), nullptr);
}

TEST_F(ControlList, RemoveControlsFromIndexRemovesFromTheLastDown)
{
  int destroyed = 0;
  for (int i = 0; i < 5; ++i)
    Add(Fmt("c%g", i).c_str(), IRECT(0, 0, 10, 10), -1, 10 + i)->mDestroyed = &destroyed;
  g->RemoveControls(3);
  EXPECT_EQ(destroyed, 2);
  EXPECT_EQ(g->NControls(), 3);
  EXPECT_EQ(g->GetControlWithTag(13), nullptr);
  EXPECT_EQ(g->GetControlWithTag(14), nullptr);
  EXPECT_NE(g->GetControlWithTag(12), nullptr);
  // The rest go before the counter does.
  g->RemoveAllControls();
  EXPECT_EQ(destroyed, 5);
}

TEST_F(ControlList, EveryRemovalRedrawsWhatIsLeft)
{
  struct Case {
    const char* what;
    std::function<void()> remove;
  };
  const Case cases[] = {
    {"by index", [&] { g->RemoveControl(1); }},
    {"by pointer", [&] { g->RemoveControl(g->GetControl(1)); }},
    {"by tag", [&] { g->RemoveControlWithTag(7); }},
    {"from an index", [&] { g->RemoveControls(1); }},
  };
  for (const Case& c : cases) {
    g->RemoveAllControls();
    Add("a", IRECT(0, 0, 10, 10));
    Add("b", IRECT(20, 0, 30, 10), -1, 7);
    Add("c", IRECT(40, 0, 50, 10));
    g->Tick();
    g->SetAllControlsClean();
    c.remove();
    for (int i = 0; i < g->NControls(); ++i)
      EXPECT_TRUE(g->GetControl(i)->IsDirty()) << c.what << " " << i;
  }
}

TEST_F(ControlList, BackgroundGoesToIndexZero)
{
  Add("a", IRECT(0, 0, 10, 10));
  Add("b", IRECT(0, 0, 10, 10));
  auto* bg = new RecordingControl("bg", g->GetBounds());
  g->AttachBackgroundControl(bg);
  EXPECT_EQ(g->GetControl(0), bg);
  EXPECT_EQ(g->NControls(), 3);
}

TEST_F(ControlList, RemovingHoveredAndCapturedControlsLeavesNoDanglingPointer)
{
  g->EnableMouseOver(true);
  Add("bg", g->GetBounds());
  auto* a = Add("a", IRECT(10, 10, 50, 50), 0);
  Add("b", IRECT(60, 10, 100, 50));
  g->OnMouseOver(20, 20, IMouseMod());
  ASSERT_EQ(g->GetMouseOver(), a);
  g->OnMouseDown(EditorFixture::Pt(20, 20));
  ASSERT_TRUE(g->ControlIsCaptured(a));
  g->RemoveControl(a);
  EXPECT_EQ(g->GetMouseOver(), nullptr);
  EXPECT_EQ(g->GetMouseOverIdx(), -1);
  EXPECT_FALSE(g->ControlIsCaptured());
  // Events after the removal reach nothing that is gone.
  g->OnMouseDrag(EditorFixture::Pt(21, 22, false, 0, 1, 2));
  g->OnMouseUp(EditorFixture::Pt(21, 22));
  g->OnMouseOut();
  SUCCEED();
}

TEST_F(ControlList, RemovingTheControlWithAnOpenPromptClearsIt)
{
  auto* a = Add("a", IRECT(10, 10, 50, 50), 1);
  a->DisablePrompt(false);
  g->CreateTextEntry(*a, a->GetText(), a->GetRECT(), "x", 0);
  ASSERT_EQ(g->GetControlInTextEntry(), a);
  g->RemoveControl(0);
  EXPECT_EQ(g->GetControlInTextEntry(), nullptr);
  g->SetControlValueAfterTextEdit("0.5");
  SUCCEED();
}

TEST_F(ControlList, IterationReachesGroupsParamsAndSpecialControls)
{
  Add("a", IRECT(0, 0, 10, 10), 1);
  g->AttachControl(new RecordingControl("b", IRECT(0, 0, 10, 10), 2), -1, "knobs");
  g->AttachControl(new RecordingControl("c", IRECT(0, 0, 10, 10), std::vector<int>{3, 1}), -1, "knobs");
  g->AttachCornerResizer(new RecordingControl("resizer", IRECT(390, 290, 400, 300)), 0, false);
  Add("ungrouped", IRECT(0, 0, 10, 10));
  g->AttachBubbleControl(new RecordingBubble("bubble", IRECT(0, 0, 10, 10)));
  g->AttachFPSDisplay(new RecordingFrameTime("fps", IRECT(0, 0, 10, 10)));
  g->AttachPopupMenuControl(new RecordingPopup("popup", IRECT(0, 0, 10, 10)));
  g->AttachTextEntryControl(new RecordingTextEntry("entry", IRECT(0, 0, 10, 10)));

  std::vector<std::string> names;
  auto name = [&](IControl* c) { names.push_back(static_cast<RecordingControl*>(c)->mName); };
  g->ForControlInGroup("knobs", name);
  EXPECT_EQ(names, (Log{"b", "c"}));
  names.clear();
  g->ForControlInGroup("", name); // no group is not a group
  EXPECT_EQ(names, Log{});
  g->ForControlWithParam(1, name);
  EXPECT_EQ(names, (Log{"a", "c"}));
  names.clear();
  g->ForAllControlsFunc(name);
  EXPECT_EQ(names, (Log{"a", "b", "c", "ungrouped", "fps", "resizer", "entry", "popup", "bubble"}));
  // The convenience forms reach the special controls too.
  g->TakeLog();
  g->Resize(500, 400, 1.f);
  Log resized;
  for (const std::string& s : g->TakeLog())
    if (s.size() > 9 && s.compare(s.size() - 8, 8, "OnResize") == 0)
      resized.push_back(s);
  EXPECT_EQ(resized, (Log{"a OnResize", "b OnResize", "c OnResize", "ungrouped OnResize", "fps OnResize",
                          "resizer OnResize", "entry OnResize", "popup OnResize", "bubble OnResize"}));
  EXPECT_THROW(g->ForControlListFunc(std::function<void(IControl*)>()), std::bad_function_call);
}

TEST_F(ControlList, TooltipsFollowParameterNamesAndEnableCallsThePlatformOnce)
{
  auto* a = Add("a", IRECT(0, 0, 10, 10), 1);
  auto* b = Add("b", IRECT(0, 0, 10, 10), 2);
  b->SetTooltip("mine");
  g->AssignParamNameToolTipsAuto();
  EXPECT_STREQ(a->GetTooltip(), "p1");
  EXPECT_STREQ(b->GetTooltip(), "mine");
  g->AssignParamNameToolTips();
  EXPECT_STREQ(b->GetTooltip(), "p2");
  g->TakeLog();
  g->EnableTooltips(true);
  g->EnableTooltips(true);
  EXPECT_EQ(g->TakeLog(), (Log{"UpdateTooltips"}));
}

namespace {
// Counts the values the delegate side sends it.
struct PeerControl : RecordingControl {
  using RecordingControl::RecordingControl;
  void SetValueFromDelegate(double value, int valIdx) override
  {
    ++fromDelegate;
    RecordingControl::SetValueFromDelegate(value, valIdx);
  }
  int fromDelegate = 0;
};
} // namespace

TEST_F(ControlList, UpdatePeersSetsTheOtherControlsOfTheSameParameter)
{
  auto* a = new PeerControl("a", IRECT(0, 0, 10, 10), 2);
  g->AttachControl(a);
  auto* b = new RecordingControl("b", IRECT(0, 0, 10, 10), std::vector<int>{0, 2});
  g->AttachControl(b);
  auto* c = Add("c", IRECT(0, 0, 10, 10), 3);
  a->SetValue(0.7);
  a->SetDirty(true, 0);
  EXPECT_DOUBLE_EQ(b->GetValue(1), 0.7);
  EXPECT_DOUBLE_EQ(b->GetValue(0), 0.0);
  EXPECT_DOUBLE_EQ(c->GetValue(0), 0.0);
  EXPECT_EQ(dlg.TakeLog(), (Log{"Send 2 0.7"}));
  EXPECT_EQ(a->fromDelegate, 0); // the caller is not its own peer
}
