// The maker's bitmap display, switch, push, update indicator and
// three-button radio control, through the recording graphics.

#include <algorithm>

#include "IBControlsZV.h"
#include "IBRadioButtonsControl3.h"
#include "IVHiddenControlsZV.h"
#include "MakerControlsFixture.h"

namespace editortest {
namespace {

class BitmapControlsZV : public MakerControlsFixture {
protected:
  // Buttons of 30 x 20 at (66, 229), (147, 229), (228, 229), as laid out.
  IBRadioButtonsControl3* Radio(bool oneBased)
  {
    const IBitmap b1 = Strip("b1", 30, 20, 2), b2 = Strip("b2", 30, 20, 2), b3 = Strip("b3", 30, 20, 2);
    auto* r = new IBRadioButtonsControl3(kActivity, IRECT(66, 229, 96, 249), b1, IRECT(147, 229, 177, 249), b2,
                                         IRECT(228, 229, 258, 249), b3, oneBased, IRECT(66, 229, 258, 249));
    g->AttachControl(r);
    return r;
  }
};

TEST_F(BitmapControlsZV, RadioClicksSelectTheButtonUnderThePointerAndOneBasedOnesClearOnASecondClick)
{
  dlg.GetParam(kActivity)->InitInt("Activity", 0, 0, 3);
  struct Case {
    bool oneBased;
    float x, y;
    double before, after;
  } cases[] = {
    {false, 66, 229, 1, 0},
    {false, 95.9f, 248.9f, 1, 0},
    {false, 147, 240, 0, 1},
    {false, 257, 230, 0, 2},
    // Right and bottom edges, the gaps between buttons: no button.
    {false, 96, 240, 1, 1},
    {false, 120, 240, 2, 2},
    {false, 200, 249, 0, 0},
    {false, 150, 249, 1, 1},
    {true, 150, 235, 0, 2},
    {true, 150, 235, 2, 0},
    {true, 230, 235, 1, 3},
  };
  for (const Case& c : cases) {
    auto* r = Radio(c.oneBased);
    dlg.GetParam(kActivity)->Set(c.before);
    Click(c.x, c.y);
    EXPECT_EQ(Real(kActivity), c.after) << c.oneBased << " " << c.x << "," << c.y;
    g->RemoveControl(r);
  }
  // On 3, a click clears it and a double click sets it again: it acts as one click.
  Radio(true);
  ASSERT_EQ(Real(kActivity), 3.0);
  g->OnMouseDown(At(230, 235));
  g->OnMouseUp(At(230, 235));
  g->OnMouseDblClick(230, 235, Left());
  g->OnMouseUp(At(230, 235));
  EXPECT_EQ(Real(kActivity), 3.0);
}

TEST_F(BitmapControlsZV, RadioDrawsTheSelectedButtonAtFrameTwo)
{
  struct Case {
    bool oneBased;
    double value;
    std::vector<int> srcY; // per button, empty when nothing is drawn
  } cases[] = {
    {false, 0, {20, 0, 0}}, {false, 1, {0, 20, 0}}, {false, 2, {0, 0, 20}}, {true, 0, {0, 0, 0}},
    {true, 1, {20, 0, 0}},  {true, 2, {0, 20, 0}},  {true, 3, {0, 0, 20}},  {true, 4, {}},
  };
  for (const Case& c : cases) {
    dlg.GetParam(kActivity)->InitInt("Activity", 0, 0, 4);
    auto* r = Radio(c.oneBased);
    dlg.GetParam(kActivity)->Set(c.value);
    std::vector<std::string> want;
    const char* names[] = {"b1", "b2", "b3"};
    for (std::size_t i = 0; i < c.srcY.size(); ++i)
      want.push_back(std::string("DrawBitmap ") + names[i] + " " + RectStr(r->GetButtonRect(static_cast<int>(i))) +
                     Fmt(" src 0,%g", c.srcY[i]));
    EXPECT_EQ(Drawn(*r), want) << c.oneBased << " " << c.value;
    g->RemoveControl(r);
  }
}

TEST_F(BitmapControlsZV, SwitchSwitchesAlsoWhenItsBitmapIsHiddenAndHighlightsOnHover)
{
  auto* s = new IBSwitchControlZV(198, 180, Strip("ad", 40, 20, 2), kPush);
  g->AttachControl(s);
  EXPECT_EQ(s->GetRECT(), IRECT(198, 180, 238, 200));
  EXPECT_EQ(Drawn(*s), Log{"DrawBitmap ad (198,180,238,200) src 0,0"});
  s->SetShowBitmap(false);
  Click(210, 190);
  EXPECT_EQ(Real(kPush), 1.0);
  EXPECT_EQ(Drawn(*s), Log{});
  Click(210, 190);
  EXPECT_EQ(Real(kPush), 0.0);

  s->SetShowBitmap(true);
  // The highlight, under the frame and the size of one, lights only while
  // the mouse is over a switch that has it; the editor's has not.
  const Log bitmap{"DrawBitmap ad (198,180,238,200) src 0,0"};
  const Log lit{"PathFill 16,255,255,255", "DrawBitmap ad (198,180,238,200) src 0,0"};
  struct Row {
    bool highlight, over;
    Log want;
  } rows[] = {{true, true, lit}, {true, false, bitmap}, {false, true, bitmap}, {false, false, bitmap}};
  for (const Row& r : rows) {
    s->SetHoverHighlight(r.highlight);
    if (r.over)
      g->OnMouseOver(210, 190, Left());
    else
      g->OnMouseOut();
    EXPECT_EQ(s->GetMouseOver(), r.over);
    g->TakePaints();
    EXPECT_EQ(Drawn(*s), r.want) << r.highlight << r.over;
    const std::vector<PaintCall> paints = g->TakePaints();
    if (r.want == lit) {
      ASSERT_FALSE(paints.empty());
      // Corners of radius 2 inside the frame's own rectangle.
      float l = 1e9f, t = 1e9f, rr = -1e9f, b = -1e9f;
      for (const PathOp& op : paints[0].path)
        if (op.kind == PathOp::kArc) {
          EXPECT_FLOAT_EQ(op.v[2], 2.f);
          l = std::min(l, op.v[0] - op.v[2]), t = std::min(t, op.v[1] - op.v[2]);
          rr = std::max(rr, op.v[0] + op.v[2]), b = std::max(b, op.v[1] + op.v[2]);
        }
      EXPECT_EQ(IRECT(l, t, rr, b), IRECT(198, 180, 238, 200));
    }
  }
}

TEST_F(BitmapControlsZV, PushesAreOnWhileHeldWhereverTheyAreReleasedInsideOneHostBracket)
{
  const struct Row {
    const char* name;
    IControl* push;
    float x, y;
    Log heldDrawn, releasedDrawn;
  } rows[] = {
    {"drawn", new IBPushControlZV(401, 356, Strip("match", 30, 16, 2), kPush), 410, 360,
     Log{"DrawBitmap match (401,356,431,372) src 0,16"}, Log{"DrawBitmap match (401,356,431,372) src 0,0"}},
    {"hidden", new IBPushControlHiddenZV(IRECT(478, 355, 539, 390), kPush), 500, 370, Log{}, Log{}},
  };
  for (const Row& r : rows) {
    g->AttachControl(r.push);
    dlg.TakeLog();
    g->OnMouseDown(At(r.x, r.y));
    EXPECT_EQ(Real(kPush), 1.0) << r.name;
    EXPECT_EQ(Drawn(*r.push), r.heldDrawn) << r.name;
    g->OnMouseDrag(At(10, 10, Left(), 10 - r.x, 10 - r.y));
    g->OnMouseUp(At(10, 10));
    EXPECT_EQ(Real(kPush), 0.0) << r.name;
    EXPECT_EQ(Drawn(*r.push), r.releasedDrawn) << r.name;
    EXPECT_EQ(dlg.TakeLog(), (Log{"Begin 4", "UIMouseDown", "Send 4 1", "Send 4 0", "UIMouseUp", "End 4"})) << r.name;
    g->RemoveControl(r.push);
  }
}

TEST_F(BitmapControlsZV, UpdateIndicatorAsksForACheckAndShowsWhatThePlugInFound)
{
  auto* u = new IBUpdateControlZV(612, 18, Strip("update", 20, 20, 2), 12);
  g->AttachControl(u);
  EXPECT_STREQ(u->GetTooltip(), "Click to check for updates");
  Click(620, 25);
  EXPECT_EQ(dlg.TakeMessages(), std::vector<int>{12});
  EXPECT_EQ(Drawn(*u), Log{"DrawBitmap update (612,18,632,38) src 0,0"});
  u->SetValue(1.0);
  EXPECT_STREQ(u->GetTooltip(), "Click to check for updates");
  EXPECT_EQ(Drawn(*u), Log{"DrawBitmap update (612,18,632,38) src 0,20"});
  EXPECT_STREQ(u->GetTooltip(), "Update available");

  auto* silent = new IBUpdateControlZV(0, 0, Strip("update", 20, 20, 2), -1);
  g->AttachControl(silent);
  Click(5, 5);
  EXPECT_EQ(dlg.TakeMessages(), std::vector<int>{});
}

TEST_F(BitmapControlsZV, DisplayIgnoresTheMouseAndShowsTheValuesFrame)
{
  auto* needle = new IBBitmapControlZV(189, 44, Strip("needle", 50, 30, 5));
  g->AttachControl(needle);
  EXPECT_EQ(needle->GetRECT(), IRECT(189, 44, 239, 74));
  for (int mode = 0; mode <= 4; ++mode) {
    needle->SetValue(mode / 4.0);
    EXPECT_EQ(Drawn(*needle), Log{Fmt("DrawBitmap needle (189,44,239,74) src 0,%g", mode * 30)});
  }
  Click(200, 50);
  g->OnMouseWheel(200, 50, Left(), 3.f);
  EXPECT_EQ(needle->GetValue(), 1.0);
  EXPECT_EQ(dlg.TakeMessages(), std::vector<int>{});
}

TEST_F(BitmapControlsZV, MissingOrUnevenBitmapsAttachAndDrawOnlyWhatTheImageHolds)
{
  // No image at all: zero-sized controls that draw nothing (at most an empty
  // area without an image).
  std::vector<IControl*> controls = {
    new IBBitmapControlZV(10, 10, IBitmap()), new IBSwitchControlZV(10, 10, IBitmap(), kPush),
    new IBPushControlZV(10, 10, IBitmap(), kPush), new IBUpdateControlZV(10, 10, IBitmap(), 12),
    new IBRadioButtonsControl3(kActivity, IRECT(0, 0, 10, 10), IBitmap(), IRECT(10, 0, 20, 10), IBitmap(),
                               IRECT(20, 0, 30, 10), IBitmap(), false, IRECT(0, 0, 30, 10))};
  for (IControl* c : controls) {
    g->AttachControl(c);
    for (const std::string& line : Drawn(*c))
      EXPECT_EQ(line, "DrawBitmap  (10,10,10,10) src 0,0");
  }
  // A 31-point strip of 3 frames: 10-point frames, the last point never shown;
  // a radio button bigger than its frame draws one frame's area only.
  auto* led = new IBBitmapControlZV(100, 100, Strip("led", 10, 31, 1));
  led->SetBitmap(IBitmap(mBitmaps.back().get(), 3, false, "led"));
  g->AttachControl(led);
  led->SetValue(1.0);
  EXPECT_EQ(Drawn(*led), Log{"DrawBitmap led (100,110.5,110,120.5) src 0,20"});
  auto* r = new IBRadioButtonsControl3(kActivity, IRECT(0, 0, 50, 50), Strip("b", 30, 20, 2), IRECT(), IBitmap(),
                                       IRECT(), IBitmap(), false, IRECT(0, 0, 50, 50));
  g->AttachControl(r);
  dlg.GetParam(kActivity)->Set(0);
  EXPECT_EQ(Drawn(*r), Log{"DrawBitmap b (0,0,30,20) src 0,20"});
}

} // namespace
} // namespace editortest
