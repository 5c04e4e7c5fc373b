// A scripted editor session: attach controls, feed mouse, wheel and key
// events, tick frames; the log of control callbacks, delegate calls and
// per-frame drawing with clips must come out exactly as expected.

#include "EditorFixture.h"

using namespace testsupport;

namespace {

class Session : public EditorFixture {};

} // namespace

TEST_F(Session, DragOfAKnobSendsValuesInsideOnePairedHostGestureAndRedrawsOnlyWhatChanged)
{
  g->EnableMouseOver(true);
  Add("bg", g->GetBounds());
  auto* knob = Add("knob", IRECT(20, 20, 60, 60), 1);
  auto* peer = Add("peer", IRECT(100, 20, 140, 60), 1);
  Add("label", IRECT(200, 20, 260, 40));
  knob->mDragSetsValue = true;
  g->SetQwertyMidiKeyHandlerFunc();

  // First frame paints everything once.
  g->TakeLog();
  ASSERT_TRUE(g->Tick());
  EXPECT_EQ(g->TakeLog(), (Log{"BeginFrame", "Clip (-1,-1,401,301)", "bg Draw", "Clip (19,19,61,61)", "knob Draw",
                               "Clip (99,19,141,61)", "peer Draw", "Clip (199,19,261,41)", "label Draw", "EndFrame"}));
  EXPECT_FALSE(g->Tick());

  // Hover, press, two drags (one of zero length), release.
  g->OnMouseOver(30, 30, IMouseMod());
  g->OnMouseDown(Pt(30, 30));
  g->OnMouseDrag(Pt(30, 20, false, 0, 0, -10));
  g->OnMouseDrag(Pt(30, 20, false, 0, 0, 0));
  g->OnMouseDrag(Pt(30, 10, false, 0, 0, -10));
  g->OnMouseUp(Pt(30, 10));
  g->OnMouseWheel(230, 30, IMouseMod(), -1.f);
  g->OnKeyDown(230, 30, IKeyPress("a", 'A'));
  g->OnKeyUp(230, 30, IKeyPress("a", 'A'));
  EXPECT_EQ(g->TakeLog(), (Log{"knob Over", "knob Down 30,30", "knob Drag 30,20 d0,-10", "knob Drag 30,10 d0,-10",
                               "knob Up 30,10", "knob Out", "label Wheel -1", "label KeyDown 65", "label KeyUp 65"}));
  EXPECT_EQ(dlg.TakeLog(), (Log{"Begin 1", "UIMouseDown", "Send 1 0.1", "Send 1 0.2", "UIMouseUp", "End 1",
                                "Midi 144 48 127", "Midi 128 48 0"}));
  EXPECT_DOUBLE_EQ(peer->GetValue(), knob->GetValue());

  // The next frame redraws the knob and its peer, each clipped to itself,
  // with the background beneath each.
  ASSERT_TRUE(g->Tick());
  EXPECT_EQ(g->TakeLog(), (Log{"BeginFrame", "Clip (19,19,61,61)", "bg Draw", "Clip (19,19,61,61)", "knob Draw",
                               "Clip (99,19,141,61)", "bg Draw", "Clip (99,19,141,61)", "peer Draw", "EndFrame"}));
  EXPECT_FALSE(g->Tick());
}

TEST_F(Session, RemovingTheCapturedControlMidDragIsSafe)
{
  Add("bg", g->GetBounds());
  auto* knob = Add("knob", IRECT(20, 20, 60, 60), 1);
  g->OnMouseDown(Pt(30, 30));
  g->RemoveControl(knob);
  g->OnMouseDrag(Pt(30, 20, false, 0, 0, -10));
  g->OnMouseUp(Pt(30, 20));
  EXPECT_TRUE(g->Tick());
  // The removal closes the host gesture the press opened; the release then
  // finds no captured control and sends nothing more.
  EXPECT_EQ(dlg.TakeLog(), (Log{"Begin 1", "UIMouseDown", "UIMouseUp", "End 1"}));
}

TEST_F(Session, ControlRemovingItselfOnReleaseClosesItsHostGestureOnce)
{
  struct SelfRemoving : RecordingControl {
    using RecordingControl::RecordingControl;
    void OnMouseUp(float, float, const IMouseMod&) override { GetUI()->RemoveControl(this); }
  };
  Add("bg", g->GetBounds());
  g->AttachControl(new SelfRemoving("x", IRECT(20, 20, 60, 60), 2));
  g->OnMouseDown(Pt(30, 30));
  g->OnMouseUp(Pt(30, 30));
  EXPECT_EQ(g->NControls(), 1);
  EXPECT_EQ(dlg.TakeLog(), (Log{"Begin 2", "UIMouseDown", "UIMouseUp", "End 2"}));
}
