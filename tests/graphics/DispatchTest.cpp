// Pointer, hover, wheel, key and drop dispatch, capture per touch, context
// menus and the corner-drag resize.

#include <functional>

#include "EditorFixture.h"

using namespace testsupport;

namespace {

class Dispatch : public EditorFixture {
protected:
  void SetUp() override
  {
    EditorFixture::SetUp();
    bg = Add("bg", g->GetBounds());
    knob = Add("knob", IRECT(10, 10, 50, 50), 3);
    button = Add("button", IRECT(60, 10, 100, 50));
    g->TakeLog();
  }
  RecordingControl* bg = nullptr;
  RecordingControl* knob = nullptr;
  RecordingControl* button = nullptr;
};

} // namespace

TEST_F(Dispatch, HitTestFindsTheTopmostVisibleEnabledControl)
{
  auto* over = Add("over", IRECT(30, 30, 70, 70));
  EXPECT_EQ(g->GetMouseControlIdx(40, 40, false), 3);
  over->Hide(true);
  EXPECT_EQ(g->GetMouseControlIdx(40, 40, false), 1);
  knob->SetDisabled(true);
  EXPECT_EQ(g->GetMouseControlIdx(40, 40, false), 0);
  knob->SetMouseEventsWhenDisabled(true);
  EXPECT_EQ(g->GetMouseControlIdx(40, 40, false), 1);
  knob->SetIgnoreMouse(true);
  EXPECT_EQ(g->GetMouseControlIdx(40, 40, false), 0);
}

TEST_F(Dispatch, PressDragOfZeroAndReleaseBracketTheHostGesture)
{
  g->OnMouseDown(Pt(20, 20));
  g->OnMouseDrag(Pt(20, 20, false, 0, 0, 0));
  g->OnMouseUp(Pt(20, 20));
  EXPECT_EQ(g->TakeLog(), (Log{"knob Down 20,20", "knob Up 20,20"}));
  EXPECT_EQ(dlg.TakeLog(), (Log{"Begin 3", "UIMouseDown", "UIMouseUp", "End 3"}));
}

TEST_F(Dispatch, CapturedControlKeepsDragsOutsideItsRect)
{
  g->OnMouseDown(Pt(20, 20));
  g->OnMouseDrag(Pt(80, 30, false, 0, 60, 10));
  EXPECT_EQ(g->TakeLog(), (Log{"knob Down 20,20", "knob Drag 80,30 d60,10"}));
}

TEST_F(Dispatch, RightClickOnALinkedControlOpensItsContextMenuInstead)
{
  knob->mContextItems = {"Reset", "Learn"};
  g->mMenuAnswers.push_back(1);
  g->OnMouseDown(Pt(20, 20, true));
  EXPECT_EQ(g->TakeLog(),
            (Log{"knob CreateContextMenu", "PopupMenu \"\" 2 items (20,20,20,20)", "knob ContextSelection 1"}));
  EXPECT_FALSE(g->ControlIsCaptured());
  EXPECT_EQ(dlg.TakeLog(), (Log{"End 3"}));
}

TEST_F(Dispatch, ContextMenuWithoutItemsIsNotShown)
{
  g->OnMouseDown(Pt(20, 20, true));
  EXPECT_EQ(g->TakeLog(), (Log{"knob CreateContextMenu"}));
  EXPECT_EQ(g->GetControlInPopupMenu(), nullptr);
}

TEST_F(Dispatch, RightClickOnAnUnlinkedControlIsAnOrdinaryPress)
{
  g->OnMouseDown(Pt(70, 20, true));
  EXPECT_EQ(g->TakeLog(), (Log{"button Down 70,20"}));
}

TEST_F(Dispatch, HoverIsOffUntilEnabledAndNeverReachesTheBackground)
{
  EXPECT_FALSE(g->OnMouseOver(20, 20, IMouseMod()));
  EXPECT_TRUE(g->TakeLog().empty());
  g->EnableMouseOver(true);
  EXPECT_TRUE(g->OnMouseOver(20, 20, IMouseMod()));
  EXPECT_TRUE(g->OnMouseOver(21, 20, IMouseMod()));
  EXPECT_FALSE(g->OnMouseOver(200, 200, IMouseMod()));
  EXPECT_EQ(g->TakeLog(), (Log{"knob Over", "knob Over", "knob Out"}));
  EXPECT_EQ(g->GetMouseOverIdx(), -1);
}

TEST_F(Dispatch, AfterTheReleaseTheControlUnderTheMouseIsHoveredAtOnce)
{
  g->EnableMouseOver(true);
  g->OnMouseDown(Pt(20, 20));
  g->OnMouseUp(Pt(70, 20));
  EXPECT_EQ(g->TakeLog(), (Log{"knob Down 20,20", "knob Up 70,20", "button Over"}));
}

TEST_F(Dispatch, TwoTouchesAreCapturedIndependently)
{
  g->EnableMultiTouch(true);
  IMouseInfoList both = Pt(20, 20, false, 1);
  both.push_back(Pt(70, 20, false, 2)[0]);
  g->OnMouseDown(both);
  g->OnMouseUp(Pt(20, 20, false, 1));
  EXPECT_FALSE(g->ControlIsCaptured(knob));
  EXPECT_TRUE(g->ControlIsCaptured(button));
  g->OnMouseDrag(Pt(75, 25, false, 2, 5, 5));
  EXPECT_EQ(g->TakeLog().back(), "button Drag 75,25 d5,5");
}

TEST_F(Dispatch, OneOfTwoHeldTouchesEndingLeavesTheOtherCapturedToEndOnce)
{
  struct Case {
    const char* how;
    std::function<void()> endFirst;
    const char* firstEnd;
  };
  const Case cases[] = {
    {"released", [this] { g->OnMouseUp(Pt(20, 20, false, 1)); }, "knob Up 20,20"},
    {"cancelled", [this] { g->OnTouchCancelled(Pt(20, 20, false, 1)); }, "knob TouchCancelled"},
  };
  g->EnableMultiTouch(true);
  auto* fader = Add("fader", IRECT(110, 10, 150, 50), 2);
  g->TakeLog();
  for (const Case& c : cases) {
    IMouseInfoList both = Pt(20, 20, false, 1);
    both.push_back(Pt(120, 20, false, 2)[0]);
    g->OnMouseDown(both);
    c.endFirst();
    EXPECT_FALSE(g->ControlIsCaptured(knob)) << c.how;
    EXPECT_TRUE(g->ControlIsCaptured(fader)) << c.how;
    g->OnMouseDrag(Pt(125, 25, false, 2, 5, 5));
    g->OnMouseUp(Pt(125, 25, false, 2));
    EXPECT_FALSE(g->ControlIsCaptured()) << c.how;
    EXPECT_EQ(g->TakeLog(),
              (Log{"knob Down 20,20", "fader Down 120,20", c.firstEnd, "fader Drag 125,25 d5,5", "fader Up 125,25"}))
      << c.how;
    EXPECT_EQ(dlg.TakeLog(),
              (Log{"Begin 3", "UIMouseDown", "Begin 2", "UIMouseDown", "UIMouseUp", "End 3", "UIMouseUp", "End 2"}))
      << c.how;
  }
}

TEST_F(Dispatch, APressOfAHeldTouchEndsTheHeldPressBeforeFindingItsControl)
{
  // The first press, on the knob, is held unless the row releases it.
  struct Case {
    const char* path;
    std::function<void()> then;
    Log controls, host;
    bool heldAfter;
  };
  const Case cases[] = {
    {"pressed again elsewhere",
     [this] { g->OnMouseDown(Pt(70, 20)); },
     {"knob TouchCancelled", "button Down 70,20"},
     {"UIMouseUp", "End 3", "UIMouseDown"},
     true},
    {"double click elsewhere",
     [this] { g->OnMouseDblClick(70, 20, IMouseMod()); },
     {"knob TouchCancelled", "button DblClick"},
     {"UIMouseUp", "End 3"},
     false},
    {"released, then a double click",
     [this] {
       g->OnMouseUp(Pt(20, 20));
       g->OnMouseDblClick(20, 20, IMouseMod());
     },
     {"knob Up 20,20", "knob DblClick"},
     {"UIMouseUp", "End 3", "Send 3 0"},
     false},
    {"released, then a double click taken as a press",
     [this] {
       knob->SetMouseDblAsSingleClick(true);
       g->OnMouseUp(Pt(20, 20));
       g->OnMouseDblClick(20, 20, IMouseMod());
     },
     {"knob Up 20,20", "knob Down 20,20"},
     {"UIMouseUp", "End 3", "Begin 3", "UIMouseDown"},
     true},
  };
  for (const Case& c : cases) {
    g->OnMouseDown(Pt(20, 20));
    c.then();
    Log controls{"knob Down 20,20"}, host{"Begin 3", "UIMouseDown"};
    controls.insert(controls.end(), c.controls.begin(), c.controls.end());
    host.insert(host.end(), c.host.begin(), c.host.end());
    EXPECT_EQ(g->TakeLog(), controls) << c.path;
    EXPECT_EQ(dlg.TakeLog(), host) << c.path;
    EXPECT_EQ(g->ControlIsCaptured(), c.heldAfter) << c.path;
    g->ReleaseMouseCapture();
    g->TakeLog();
    dlg.TakeLog();
  }
}

TEST_F(Dispatch, KeysOverTheBackgroundGoStraightToTheKeyHandler)
{
  std::vector<int> handled;
  g->SetKeyHandlerFunc([&](const IKeyPress& k, bool up) {
    handled.push_back(up ? -k.VK : k.VK);
    return true;
  });
  EXPECT_TRUE(g->OnKeyDown(200, 200, IKeyPress("q", 'Q')));
  EXPECT_TRUE(g->TakeLog().empty());
  EXPECT_TRUE(g->OnKeyUp(20, 20, IKeyPress("q", 'Q')));
  EXPECT_EQ(g->TakeLog(), (Log{"knob KeyUp 81"}));
  knob->mUsesKeys = true;
  EXPECT_TRUE(g->OnKeyDown(20, 20, IKeyPress("q", 'Q')));
  EXPECT_EQ(handled, (std::vector<int>{'Q', -'Q'}));
  g->SetKeyHandlerFunc(nullptr);
  EXPECT_FALSE(g->OnKeyDown(200, 200, IKeyPress("q", 'Q')));
}

TEST_F(Dispatch, WheelDropAndDoubleClickReachTheControlUnderThePoint)
{
  g->OnMouseWheel(70, 20, IMouseMod(), 2.f);
  g->OnDrop("/tmp/a.wav", 70, 20);
  EXPECT_TRUE(g->OnMouseDblClick(70, 20, IMouseMod()));
  EXPECT_EQ(g->TakeLog(), (Log{"button Wheel 2", "button Drop /tmp/a.wav", "button DblClick"}));
  EXPECT_FALSE(g->ControlIsCaptured());
  button->SetMouseDblAsSingleClick(true);
  g->OnMouseDblClick(70, 20, IMouseMod());
  EXPECT_EQ(g->TakeLog(), (Log{"button Down 70,20"}));
}

TEST_F(Dispatch, FocusLossDropsHoverAndCapture)
{
  g->EnableMouseOver(true);
  g->OnMouseOver(20, 20, IMouseMod());
  g->OnMouseDown(Pt(20, 20));
  g->OnFocusLost();
  EXPECT_EQ(g->GetMouseOver(), nullptr);
  EXPECT_FALSE(g->ControlIsCaptured());
}

TEST_F(Dispatch, TouchCancelReleasesOnlyThatTouch)
{
  g->OnMouseDown(Pt(20, 20));
  g->TakeLog();
  g->OnTouchCancelled(Pt(20, 20));
  EXPECT_EQ(g->TakeLog(), (Log{"knob TouchCancelled"}));
  EXPECT_FALSE(g->ControlIsCaptured());
}

TEST_F(Dispatch, ScaleModeCornerDragScalesByTheSmallerRatioWithinTheZoomRange)
{
  struct Case {
    float downX, downY, x, y, want;
  };
  const Case cases[] = {
    {300, 200, 450, 250, 1.25f},  // min(1.5, 1.25)
    {300, 200, 150, 180, 0.5f},   // min(0.5, 0.9)
    {300, 200, 1500, 1500, 2.0f}, // clamped to the zoom range
    {0, 200, 50, 300, 1.5f},      // pressed on the left edge: height ratio alone
    {0, 0, 50, 50, 1.0f},         // pressed in the corner: no ratio, nothing happens
  };
  for (const Case& c : cases) {
    g->Resize(400, 300, 1.f, true);
    g->AttachCornerResizer(new RecordingControl("r", IRECT(390, 290, 400, 300)), 0, false);
    g->OnMouseDown(Pt(c.downX, c.downY));
    g->SetResizingInProcess(true);
    g->OnMouseDrag(Pt(c.x, c.y, false, 0, 1, 1));
    EXPECT_FLOAT_EQ(g->GetDrawScale(), c.want) << c.downX << "," << c.downY;
    g->OnMouseUp(Pt(c.x, c.y));
    EXPECT_FALSE(g->GetResizingInProcess());
  }
}

TEST_F(Dispatch, SizeModeCornerDragSetsTheSizeInUnits)
{
  g->AttachCornerResizer(new RecordingControl("r", IRECT(390, 290, 400, 300)), 1, false);
  g->OnMouseDown(Pt(395, 295));
  g->SetResizingInProcess(true);
  g->OnMouseDrag(Pt(500.7f, 420.2f, false, 0, 1, 1));
  EXPECT_EQ(g->Width(), 500);
  EXPECT_EQ(g->Height(), 420);
  EXPECT_FLOAT_EQ(g->GetDrawScale(), 1.f);
}

TEST_F(Dispatch, CornerResizerTakesPrecedenceOverTheList)
{
  auto* r = new RecordingControl("resizer", IRECT(390, 290, 400, 300));
  g->AttachCornerResizer(r, 0, false);
  EXPECT_EQ(g->GetMouseControl(395, 295, false), r);
  auto* second = new RecordingControl("second", IRECT(0, 0, 1, 1));
  int destroyed = 0;
  second->mDestroyed = &destroyed;
  EXPECT_FALSE(g->AttachCornerResizer(second, 0, false));
  EXPECT_EQ(destroyed, 1);
  EXPECT_EQ(g->GetCornerResizer(), r);
}

TEST_F(Dispatch, OpenPopupControlReceivesThePressOverAListControl)
{
  auto* popup = new RecordingPopup("popup", IRECT(0, 0, 200, 200));
  g->AttachPopupMenuControl(popup);
  popup->mOpen = true;
  g->OnMouseDown(Pt(20, 20));
  EXPECT_EQ(g->TakeLog().back(), "popup Down 20,20");
  g->OnMouseUp(Pt(20, 20));
  popup->mOpen = false;
  g->OnMouseDown(Pt(20, 20));
  EXPECT_EQ(g->TakeLog().back(), "knob Down 20,20");
}

TEST_F(Dispatch, LastClickedParameterIsReadOnce)
{
  g->SetLastClickedParamFromPoint(20, 20);
  EXPECT_EQ(g->GetLastClickedParam(), 3);
  EXPECT_EQ(g->GetLastClickedParam(), -1);
}

TEST_F(Dispatch, ControlsReachThePressPointTheCurrentClipAndTheHoverIndex)
{
  float x = 0, y = 0;
  g->GetMouseDownPoint(x, y);
  EXPECT_EQ(x, -1.f);
  g->OnMouseDown(Pt(12.5f, 30));
  g->OnMouseUp(Pt(12.5f, 30));
  IMouseInfoList two = Pt(70, 20, false, 1);
  two.push_back(Pt(80, 20, false, 2)[0]);
  g->OnMouseDown(two); // two pointers at once leave the point alone
  g->OnMouseUp(two);
  g->GetMouseDownPoint(x, y);
  EXPECT_EQ(x, 12.5f);
  EXPECT_EQ(y, 30.f);

  g->DrawControl(knob, IRECT(0, 0, 400, 300), 1.f);
  EXPECT_EQ(g->GetCurrentClip(), g->GetClipRECT());
  g->StartLayer(knob, IRECT(20, 20, 40, 44));
  EXPECT_EQ(g->GetCurrentClip(), IRECT(20, 20, 40, 44));
  g->EndLayer();

  g->SetMouseOverIdx(2);
  EXPECT_EQ(g->GetMouseOverIdx(), 2);
}
