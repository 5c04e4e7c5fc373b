// The maker's corner resizer (its mode table, presses, double-clicks and the
// rescale message) and its text read-out.

#include "IBCornerResizerControlZV.h"
#include "IVTextControlZV.h"
#include "MakerControlsFixture.h"

namespace editortest {
namespace {

class CornerResizerZV : public MakerControlsFixture {
protected:
  IBCornerResizerControlZV* Attach(int sizeRescale, int sizeReset, int scaleRescale, int scaleReset)
  {
    auto* r = new IBCornerResizerControlZV(Strip("resize", 20, 20, 2), sizeRescale, sizeReset, scaleRescale, scaleReset,
                                           g->GetBounds());
    EXPECT_TRUE(g->AttachCornerResizer(r, 0, false));
    g->SetScaleLimits(0.5f, 3.f);
    return r;
  }
  void DragCorner(std::initializer_list<std::pair<float, float>> to, const IMouseMod& mod = Left())
  {
    g->OnMouseDown(At(640, 460, mod));
    for (const auto& [x, y] : to)
      g->OnMouseDrag(At(x, y, mod, 1, 1));
    g->OnMouseUp(At(640, 460, mod));
  }
};

TEST_F(CornerResizerZV, ModeComesFromWhichMessagePairsAreGiven)
{
  struct Case {
    int sizeRescale, sizeReset, scaleRescale, scaleReset, mode;
  } cases[] = {
    {1, 2, 3, 4, IBCornerResizerControlZV::kByControlKey},    {1, 2, -1, -1, IBCornerResizerControlZV::kAlwaysSize},
    {-1, -1, 20, 21, IBCornerResizerControlZV::kAlwaysScale}, {-1, -1, -1, -1, IBCornerResizerControlZV::kInert},
    {1, -1, 20, 21, IBCornerResizerControlZV::kInert},        {1, 2, 20, -1, IBCornerResizerControlZV::kInert},
    {-1, 2, -1, -1, IBCornerResizerControlZV::kInert},        {0, 0, 0, 0, IBCornerResizerControlZV::kByControlKey},
  };
  for (const Case& c : cases)
    EXPECT_EQ(IBCornerResizerControlZV::ModeFor(c.sizeRescale, c.sizeReset, c.scaleRescale, c.scaleReset), c.mode)
      << c.sizeRescale << " " << c.sizeReset << " " << c.scaleRescale << " " << c.scaleReset;
}

TEST_F(CornerResizerZV, PressesChooseTheResizeModeAndDoubleClicksSendTheirReset)
{
  struct Case {
    int msgs[4];
    int startMode;
    bool control;
    int modeAfterPress;
    std::vector<int> dblClickMessages;
  } cases[] = {
    {{-1, -1, 20, 21}, 1, false, 0, {21}}, {{-1, -1, 20, 21}, 1, true, 0, {21}}, {{5, 6, 7, 8}, 0, false, 1, {6}},
    {{5, 6, 7, 8}, 1, true, 0, {8}},       {{5, 6, -1, -1}, 0, true, 1, {6}},    {{5, -1, 20, 21}, 1, true, 1, {}},
    {{5, -1, 20, 21}, 0, false, 0, {}},
  };
  for (const Case& c : cases) {
    // A fresh editor each time: a context takes one corner resizer.
    FilePromptGraphics h(dlg, 650, 470);
    auto* r = new IBCornerResizerControlZV(Strip("resize", 20, 20, 2), c.msgs[0], c.msgs[1], c.msgs[2], c.msgs[3],
                                           h.GetBounds());
    ASSERT_TRUE(h.AttachCornerResizer(r, c.startMode, false));
    r->OnMouseDown(640, 460, Left(false, c.control));
    EXPECT_EQ(h.GetGUISizeMode(), c.modeAfterPress) << c.msgs[0] << " control " << c.control;
    EXPECT_TRUE(h.GetResizingInProcess());
    h.SetResizingInProcess(false);
    h.OnMouseDblClick(640, 460, Left(false, c.control));
    EXPECT_EQ(dlg.TakeMessages(), c.dblClickMessages) << c.msgs[0] << " control " << c.control;
  }
}

TEST_F(CornerResizerZV, OnlyARescaleMadeByADragIsToldToThePlugIn)
{
  Attach(-1, -1, 20, 21);
  // Attaching (the editor opening), a new screen and a resize the plug-in or
  // host asks for are no change of the user's.
  g->SetScreenScale(2.f);
  g->Resize(650, 470, 1.5f, true);
  g->Resize(650, 470, 1.f, true);
  EXPECT_EQ(dlg.TakeMessages(), std::vector<int>{});
  // Two distinct scales on the way (1.1, then 1.1 x 1.2), one move that
  // keeps the scale: one message for each change.
  DragCorner({{704, 506}, {640, 460}, {768, 552}});
  EXPECT_NEAR(g->GetDrawScale(), 1.32, 1e-5);
  EXPECT_EQ(dlg.TakeMessages(), (std::vector<int>{20, 20}));
  // A press without a move changes nothing.
  DragCorner({});
  EXPECT_EQ(dlg.TakeMessages(), std::vector<int>{});
}

TEST_F(CornerResizerZV, SizeDragsSendTheSizeMessageAndTheHandleStaysInTheCorner)
{
  auto* r = Attach(5, 6, 7, 8);
  EXPECT_EQ(r->GetRECT(), IRECT(630, 450, 650, 470));
  DragCorner({{700, 500}});
  EXPECT_EQ(g->Width(), 700);
  EXPECT_EQ(g->Height(), 500);
  EXPECT_EQ(dlg.TakeMessages(), std::vector<int>{5});
  EXPECT_EQ(r->GetRECT(), IRECT(680, 480, 700, 500));
  EXPECT_EQ(r->GetTargetRECT(), r->GetRECT());
}

TEST_F(CornerResizerZV, DrawsFrameTwoWhileHoveredOrResizingAndNoMoreThanOneFrame)
{
  // Frames of 20 x 10 points: the 20-point corner shows half a square.
  auto* r = new IBCornerResizerControlZV(Strip("flat", 20, 10, 2), -1, -1, 20, 21, g->GetBounds(), 2.f, -3.f);
  ASSERT_TRUE(g->AttachCornerResizer(r, 0, false));
  EXPECT_EQ(Drawn(*r, {""}), Log{"DrawBitmap flat (632,447,652,457) src 0,0"});
  g->OnMouseOver(640, 460, Left());
  EXPECT_EQ(Drawn(*r, {""}), Log{"DrawBitmap flat (632,447,652,457) src 0,10"});
  g->OnMouseOver(10, 10, Left());
  g->SetResizingInProcess(true);
  EXPECT_EQ(Drawn(*r, {""}), Log{"DrawBitmap flat (632,447,652,457) src 0,10"});
}

using TextControlZV = MakerControlsFixture;

TEST_F(TextControlZV, SameTextLeavesItCleanNewTextMarksItDirtyAndRunsItsAction)
{
  auto* t = new IVTextControlZV(IRECT(478, 355, 539, 390), "-144.0");
  int actions = 0;
  t->SetActionFunction([&](IControl*) { ++actions; });
  g->AttachControl(t);
  EXPECT_FALSE(t->GetIgnoreMouse());
  t->SetClean();
  struct Step {
    const char* text;
    bool dirty;
    int actions;
  } steps[] = {{"-144.0", false, 0}, {"-3.5", true, 1}, {"-3.5", false, 1}, {nullptr, true, 2}, {"", false, 2}};
  for (const Step& s : steps) {
    // The plug-in reaches it through its text-sink link.
    static_cast<IEditorTextSink*>(t)->SetStr(s.text);
    EXPECT_EQ(t->IsDirty(), s.dirty) << (s.text ? s.text : "null");
    EXPECT_EQ(actions, s.actions);
    EXPECT_STREQ(t->GetStr(), s.text ? s.text : "");
    t->SetClean();
  }
  g->OnMouseOver(500, 370, Left());
  EXPECT_EQ(g->GetMouseOver(), t);
}

} // namespace
} // namespace editortest
