// Opening, closing and reopening the editor through the delegate, values
// and messages forwarded to controls, and the editor size in saved state.

#include "EditorFixture.h"
#include "IByteChunk.h"

using namespace testsupport;

namespace {
class EditorDelegate : public EditorFixture {};
} // namespace

TEST_F(EditorDelegate, ReopenedEditorComesBackAtItsLastSizeAndScale)
{
  g->Resize(800, 600, 1.5f, true);
  dlg.TakeLog();
  dlg.CloseWindow();
  EXPECT_EQ(dlg.GetGraphics(), nullptr);
  EXPECT_EQ(dlg.TakeLog().front(), "OnUIClose");
  int layouts = 0;
  dlg.SetLayoutFunc([&](IGraphics* gr) {
    ++layouts;
    gr->AttachControl(new RecordingControl("a", IRECT(0, 0, 10, 10)));
  });
  ASSERT_NE(dlg.OpenWindow(nullptr), nullptr);
  auto* g2 = static_cast<TestGraphics*>(dlg.GetGraphics());
  EXPECT_EQ(g2->Width(), 800);
  EXPECT_EQ(g2->Height(), 600);
  EXPECT_FLOAT_EQ(g2->GetDrawScale(), 1.5f);
  dlg.LayoutUI(g2);
  EXPECT_EQ(layouts, 1);
  EXPECT_EQ(g2->NControls(), 1);
  // Opening again closes the first editor before making the next one.
  dlg.OpenWindow(nullptr);
  EXPECT_EQ(dlg.GetGraphics()->NControls(), 0);
}

TEST_F(EditorDelegate, CloseWindowFromWithinOnUICloseReturnsAtOnce)
{
  struct Reentrant : TestDelegate {
    void OnUIClose() override
    {
      ++closes;
      CloseWindow();
    }
    int closes = 0;
  } d;
  d.SetMakeGraphicsFunc([](IGEditorDelegate& self) { return new TestGraphics(self, 200, 200); });
  d.OpenWindow(nullptr);
  d.CloseWindow();
  EXPECT_EQ(d.closes, 1);
  EXPECT_EQ(d.GetGraphics(), nullptr);
}

TEST_F(EditorDelegate, NoMakeGraphicsFunctionMeansNoEditor)
{
  TestDelegate d;
  EXPECT_EQ(d.OpenWindow(nullptr), nullptr);
  EXPECT_EQ(d.GetUI(), nullptr);
}

TEST_F(EditorDelegate, ParameterValueReachesEveryBoundSlot)
{
  auto* two = new RecordingControl("two", IRECT(0, 0, 10, 10), std::vector<int>{1, 1});
  g->AttachControl(two);
  dlg.SendParameterValueFromDelegate(1, 0.25, true);
  EXPECT_DOUBLE_EQ(two->GetValue(0), 0.25);
  EXPECT_DOUBLE_EQ(two->GetValue(1), 0.25);
  // A real value is normalised first (0..1 range, step 0.01).
  dlg.SendParameterValueFromDelegate(1, 0.5, false);
  EXPECT_DOUBLE_EQ(two->GetValue(0), 0.5);
}

TEST_F(EditorDelegate, HostValueIsIgnoredWhileTheUserDrags)
{
  auto* a = Add("a", IRECT(0, 0, 10, 10), 2);
  g->OnMouseDown(Pt(5, 5));
  dlg.SendParameterValueFromDelegate(2, 0.9, true);
  EXPECT_DOUBLE_EQ(a->GetValue(), 0.0);
  g->OnMouseUp(Pt(5, 5));
  dlg.SendParameterValueFromDelegate(2, 0.9, true);
  EXPECT_DOUBLE_EQ(a->GetValue(), 0.9);
}

TEST_F(EditorDelegate, TaggedControlsGetValuesMessagesAndMidi)
{
  auto* a = Add("a", IRECT(0, 0, 10, 10), -1, 4);
  a->SetWantsMidi(true);
  g->TakeLog();
  dlg.SendControlValueFromDelegate(4, 0.3);
  dlg.SendControlValueFromDelegate(99, 0.3);
  dlg.SendControlMsgFromDelegate(4, 12, 8, nullptr);
  dlg.SendControlMsgFromDelegate(99, 12, 8, nullptr);
  dlg.SendMidiMsgFromDelegate(IMidiMsg(0, 144, 60, 100));
  EXPECT_DOUBLE_EQ(a->GetValue(), 0.3);
  EXPECT_EQ(g->TakeLog(), (Log{"a Msg 12 8", "a Midi 60"}));
}

TEST_F(EditorDelegate, KeysNeedAReadyEditorAndUseTheMousePosition)
{
  Add("bg", g->GetBounds());
  auto* a = Add("a", IRECT(0, 0, 10, 10));
  a->mUsesKeys = true;
  g->mMouseX = 5;
  g->mMouseY = 5;
  g->TakeLog();
  EXPECT_TRUE(dlg.OnKeyDown(IKeyPress("a", 'A')));
  dlg.SetEditorReady(false);
  EXPECT_FALSE(dlg.OnKeyUp(IKeyPress("a", 'A')));
  EXPECT_EQ(g->TakeLog(), (Log{"a KeyDown 65"}));
}

TEST_F(EditorDelegate, EditorStateRoundTripsAndZeroStateResizesNothing)
{
  TestDelegate fresh;
  IByteChunk zeros;
  ASSERT_TRUE(fresh.SerializeEditorState(zeros));
  ASSERT_EQ(zeros.Size(), 12);
  const uint8_t expectZero[12] = {};
  EXPECT_EQ(std::memcmp(zeros.GetData(), expectZero, 12), 0);
  EXPECT_EQ(dlg.UnserializeEditorState(zeros, 0), 12);
  EXPECT_EQ(g->Width(), 400);

  g->Resize(640, 480, 1.25f, true);
  IByteChunk state;
  ASSERT_TRUE(dlg.SerializeEditorState(state));
  int32_t w = 0;
  float s = 0.f;
  EXPECT_EQ(state.Get(&w, 0), 4);
  EXPECT_EQ(w, 640);
  EXPECT_EQ(state.Get(&s, 8), 12);
  EXPECT_FLOAT_EQ(s, 1.25f);
  g->Resize(400, 300, 1.f, true);
  EXPECT_EQ(dlg.UnserializeEditorState(state, 0), 12);
  EXPECT_EQ(g->Width(), 640);
}

TEST_F(EditorDelegate, ShortEditorStateChangesNothingForTheNextOpening)
{
  dlg.CloseWindow(); // remembers 400 x 300 at 1.0
  IByteChunk shortState;
  const int32_t w = 900;
  shortState.Put(&w);
  EXPECT_EQ(dlg.UnserializeEditorState(shortState, 0), -1);
  EXPECT_EQ(dlg.UnserializeEditorState(shortState, -3), -1);
  dlg.OpenWindow(nullptr);
  EXPECT_EQ(dlg.GetGraphics()->Width(), 400);
  EXPECT_EQ(dlg.GetGraphics()->Height(), 300);
}

TEST_F(EditorDelegate, StateReadWhileClosedSetsTheSizeOfTheNextOpening)
{
  dlg.CloseWindow();
  IByteChunk state;
  const int32_t w = 500, h = 360;
  const float s = 1.5f;
  state.Put(&w);
  state.Put(&h);
  state.Put(&s);
  EXPECT_EQ(dlg.UnserializeEditorState(state, 0), 12);
  dlg.OpenWindow(nullptr);
  EXPECT_EQ(dlg.GetGraphics()->Width(), 500);
  EXPECT_FLOAT_EQ(dlg.GetGraphics()->GetDrawScale(), 1.5f);
}
