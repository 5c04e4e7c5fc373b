// Dirty check and frame drawing: which controls draw, with which clip.

#include "EditorFixture.h"

using namespace testsupport;

namespace {

class Frame : public EditorFixture {
protected:
  // Draw calls and clips of one tick, without the frame brackets.
  Log DrawLog()
  {
    Log out;
    for (const std::string& s : g->TakeLog())
      if (s != "BeginFrame" && s != "EndFrame")
        out.push_back(s);
    return out;
  }
};

} // namespace

TEST_F(Frame, NoDirtyControlMeansNoFrame)
{
  Add("a", IRECT(10, 10, 20, 20));
  EXPECT_TRUE(g->Tick());
  g->TakeLog();
  EXPECT_FALSE(g->Tick());
  EXPECT_TRUE(g->TakeLog().empty());
}

TEST_F(Frame, ControlIsClippedToItsWidenedPixelAlignedRect)
{
  struct Case {
    float scale;
    const char* clip;
  };
  const Case cases[] = {{1.f, "Clip (9,9,21,21)"}, {2.f, "Clip (9,9,21,21)"}, {4.f, "Clip (9.25,9.25,20.75,20.75)"}};
  for (const Case& c : cases) {
    g->RemoveAllControls();
    g->SetScreenScale(c.scale);
    Add("a", IRECT(10, 10, 20, 20));
    g->TakeLog();
    g->Tick();
    EXPECT_EQ(DrawLog(), (Log{c.clip, "a Draw"})) << c.scale;
  }
}

TEST_F(Frame, OnlyControlsMeetingADirtyRectDrawAndEachOnlyThere)
{
  Add("bg", g->GetBounds());
  auto* a = Add("a", IRECT(10, 10, 20, 20));
  Add("b", IRECT(100, 100, 120, 120));
  g->Tick();
  g->TakeLog();
  a->SetDirty(false);
  g->Tick();
  EXPECT_EQ(DrawLog(), (Log{"Clip (9,9,21,21)", "bg Draw", "Clip (9,9,21,21)", "a Draw"}));
}

TEST_F(Frame, HiddenBackgroundStillDrawsButOtherHiddenControlsDoNot)
{
  auto* bg = Add("bg", IRECT(0, 0, 50, 50));
  auto* a = Add("a", IRECT(10, 10, 20, 20));
  bg->Hide(true);
  a->Hide(true);
  g->TakeLog();
  g->Tick();
  EXPECT_EQ(DrawLog(), (Log{"Clip (-1,-1,51,51)", "bg Draw"}));
}

TEST_F(Frame, UnionDrawingRedrawsTheBoundingRectOnce)
{
  // The background and a clean control between the two dirty ones tell the
  // bounding rect from the two rects drawn one by one.
  Add("bg", g->GetBounds());
  auto* a = Add("a", IRECT(10, 10, 20, 20));
  Add("between", IRECT(100, 100, 110, 110));
  auto* b = Add("b", IRECT(200, 200, 210, 210));
  struct Case {
    bool on;
    Log draws;
  };
  const Case cases[] = {
    {true,
     {"Clip (9,9,211,211)", "bg Draw", "Clip (9,9,21,21)", "a Draw", "Clip (99,99,111,111)", "between Draw",
      "Clip (199,199,211,211)", "b Draw"}},
    {false,
     {"Clip (9,9,21,21)", "bg Draw", "Clip (9,9,21,21)", "a Draw", "Clip (199,199,211,211)", "bg Draw",
      "Clip (199,199,211,211)", "b Draw"}},
  };
  for (const Case& c : cases) {
    g->SetUnionDrawing(c.on);
    g->Tick();
    g->TakeLog();
    a->SetDirty(false);
    b->SetDirty(false);
    g->Tick();
    EXPECT_EQ(DrawLog(), c.draws) << c.on;
  }
}

TEST_F(Frame, EachControlStartsFromTheIdentityWithNoSavedStatesAndEndsInTheHook)
{
  IMatrix seen(9, 9, 9, 9, 9, 9);
  std::vector<std::size_t> hooksSeen;
  // The first control leaves a translation saved and in force.
  g->AttachControl(new DrawingControl("a", IRECT(10, 10, 20, 20), [&](IGraphics& gr) {
    gr.PathTransformTranslate(5, 5);
    gr.PathTransformSave();
    gr.PathTransformScale(3.f);
    hooksSeen.push_back(static_cast<TestGraphics&>(gr).mAfterDraw.size());
  }));
  g->AttachControl(new DrawingControl("b", IRECT(10, 10, 20, 20), [&](IGraphics& gr) {
    gr.PathTransformRestore(); // nothing of a's may come back
    seen = static_cast<TestGraphics&>(gr).GetTransform();
    hooksSeen.push_back(static_cast<TestGraphics&>(gr).mAfterDraw.size());
  }));
  g->mAfterDraw.clear();
  g->Tick();
  EXPECT_EQ(seen, IMatrix());
  // The hook follows each control's drawing, with its clip.
  EXPECT_EQ(hooksSeen, (std::vector<std::size_t>{0, 1}));
  EXPECT_EQ(g->mAfterDraw, (std::vector<IRECT>{IRECT(9, 9, 21, 21), IRECT(9, 9, 21, 21)}));
}

TEST_F(Frame, SpecialControlsDrawOverTheListInTheirOwnOrder)
{
  const IRECT r(10, 10, 20, 20);
  Add("list0", r);
  Add("list1", r);
  g->AttachBubbleControl(new RecordingBubble("bubble0", r));
  g->AttachPopupMenuControl(new RecordingPopup("popup", r));
  g->AttachTextEntryControl(new RecordingTextEntry("entry", r));
  g->AttachCornerResizer(new RecordingControl("resizer", r), 0, false);
  g->AttachFPSDisplay(new RecordingFrameTime("fps", r));
  g->AttachBubbleControl(new RecordingBubble("bubble1", r));
  g->SetAllControlsDirty();
  g->TakeLog();
  g->Tick();
  Log order;
  for (const std::string& s : DrawLog())
    if (s.rfind("Clip", 0) != 0)
      order.push_back(s);
  EXPECT_EQ(order, (Log{"list0 Draw", "list1 Draw", "fps Draw", "resizer Draw", "entry Draw", "popup Draw",
                        "bubble0 Draw", "bubble1 Draw"}));
}

TEST_F(Frame, AnimatingControlIsDirtyEveryFrameUntilItEnds)
{
  auto* a = Add("a", IRECT(10, 10, 20, 20));
  g->Tick();
  g->TakeLog();
  int steps = 0;
  a->SetAnimation(
    [&](IControl* c) {
      ++steps;
      if (c->GetAnimationProgress() >= 1.0)
        c->OnEndAnimation();
    },
    50);
  int frames = 0;
  while (g->Tick(20.0) && frames < 100)
    ++frames;
  // 20, 40 running; 60 ends the animation and still draws once.
  EXPECT_EQ(steps, 3);
  EXPECT_EQ(frames, 3);
}

TEST_F(Frame, HighlightedControlDrawsItsDotAfterItself)
{
  auto* a = Add("a", IRECT(10, 10, 20, 20));
  a->SetParamHighlight(true, 1);
  g->TakeLog();
  g->Tick();
  EXPECT_EQ(DrawLog(), (Log{"Clip (9,9,21,21)", "a Draw", "PathArc 15,15 r2", "PathFill 255,0,0,255"}));
}

TEST_F(Frame, FrameTimeDisplayGetsSecondsSinceThePreviousFrame)
{
  auto* fps = new RecordingFrameTime("fps", IRECT(10, 10, 210, 60));
  const std::vector<float>& samples = fps->mSamples;
  g->AttachFPSDisplay(fps);
  g->Tick(25.0); // the first frame has no previous one: no sample
  g->SetAllControlsDirty();
  g->Tick(25.0);
  g->SetAllControlsDirty();
  g->Tick(40.0);
  ASSERT_EQ(samples.size(), 2u);
  EXPECT_NEAR(samples[0], 0.025f, 1e-6f);
  EXPECT_NEAR(samples[1], 0.040f, 1e-6f);
  g->RemovePerfDisplay();
}
