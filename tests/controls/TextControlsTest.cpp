// Text, link, text toggle, caption and place-holder controls through the
// recording graphics (7 points a character, 10 high).

#include <gtest/gtest.h>

#include <algorithm>

#include "ControlsFixture.h"
#include "ITextControls.h"

namespace controlstest {
namespace {

class TextControls : public ControlsFixture {
protected:
  void InitParams() override
  {
    // A parameter's type is set by its first initialisation only.
    dlg.GetParam(kGain)->InitDouble("Gain", 0.0, -24.0, 24.0, 0.1, "dB", IParam::kFlagStepped);
    dlg.GetParam(kStates)->InitEnum("Mode", 1, {"Low", "Mid", "High"});
  }

  bool Logged(const Log& log, const std::string& line) { return std::find(log.begin(), log.end(), line) != log.end(); }
};

TEST_F(TextControls, StringsSetFormatAndSizeTheControlAroundItsCentre)
{
  auto* fixed = new ITextControl(IRECT(0, 0, 100, 40), "abc");
  auto* sized = new ITextControl(IRECT(0, 0, 100, 40), "abc", DEFAULT_TEXT, COLOR_WHITE, true);
  g->AttachControl(fixed);
  g->AttachControl(sized);
  EXPECT_EQ(fixed->GetRECT(), IRECT(0, 0, 100, 40));
  EXPECT_EQ(sized->GetRECT(), IRECT(50 - 10.5f, 15, 50 + 10.5f, 25));
  sized->SetStr("abcdef");
  EXPECT_EQ(sized->GetRECT(), IRECT(50 - 21, 15, 50 + 21, 25));
  sized->SetTargetAndDrawRECTs(IRECT(0, 0, 10, 10));
  sized->SetStr("abcdef"); // the same text: no re-measuring
  EXPECT_EQ(sized->GetRECT(), IRECT(0, 0, 10, 10));

  struct Case {
    int maxLength;
    const char* fmt;
    int arg;
    const char* want;
  } cases[] = {{5, "%d", 1234567, "12345"}, {10, "%d dB", -3, "-3 dB"}, {0, "%d", 9, ""}, {-1, "%d", 9, ""}};
  for (const Case& c : cases) {
    fixed->SetStrFmt(c.maxLength, c.fmt, c.arg);
    EXPECT_STREQ(fixed->GetStr(), c.want);
  }
  EXPECT_EQ(fixed->GetRECT(), IRECT(0, 0, 100, 40));
}

TEST_F(TextControls, TextIsHiddenWhileItsControlIsBeingEdited)
{
  auto* t = new ITextControl(IRECT(0, 0, 100, 40), "abc");
  g->AttachControl(t);
  g->TakeLog();
  t->Draw(*g);
  EXPECT_TRUE(Logged(g->TakeLog(), "DrawText \"abc\" (0,0,100,40)"));
  g->CreateTextEntry(*t, DEFAULT_TEXT, t->GetRECT(), "abc", 0);
  g->TakeLog();
  t->Draw(*g);
  EXPECT_FALSE(Logged(g->TakeLog(), "DrawText \"abc\" (0,0,100,40)"));
}

TEST_F(TextControls, ToggleFollowsTheAlgorithmsHalfwayThreshold)
{
  struct Case {
    double start, after;
    const char* shown;
  } cases[] = {{0.0, 1.0, "ON"}, {0.3, 1.0, "ON"}, {0.5, 0.0, "OFF"}, {0.7, 0.0, "OFF"}, {1.0, 0.0, "OFF"}};
  for (const Case& c : cases) {
    auto* t = new ITextToggleControl(IRECT(0, 0, 50, 20), -1, "OFF", "ON");
    g->AttachControl(t);
    EXPECT_STREQ(t->GetStr(), "OFF");
    t->SetValue(c.start);
    Click(10, 10);
    EXPECT_DOUBLE_EQ(t->GetValue(), c.after) << c.start;
    EXPECT_STREQ(t->GetStr(), c.shown) << c.start;
    g->RemoveControl(t);
  }
}

TEST_F(TextControls, CaptionShowsTheParameterAndPromptsForIt)
{
  struct Case {
    int param;
    bool showLabel;
    const char* text;
    const char* prompt;
    IRECT triangle;
  } cases[] = {
    {kGain, true, "DrawText \"0.0 dB\" (0,0,100,20)", "TextEntry param 0 len 7 (0,0,100,20) \"0.0\"", IRECT()},
    {kGain, false, "DrawText \"0.0\" (0,0,100,20)", "TextEntry param 0 len 7 (0,0,100,20) \"0.0\"", IRECT()},
    {kStates, false, "DrawText \"Mid\" (0,0,100,20)", "PopupMenu \"Mode\" 3 items (0,0,100,20)",
     IRECT(86, 7.5f, 94, 12.5f)},
  };
  for (const Case& c : cases) {
    auto* cap = new ICaptionControl(IRECT(0, 0, 100, 20), c.param, DEFAULT_TEXT, COLOR_WHITE, c.showLabel);
    g->AttachControl(cap);
    EXPECT_EQ(cap->GetTriangleRECT(), c.triangle);
    g->TakeLog();
    cap->Draw(*g);
    EXPECT_TRUE(Logged(g->TakeLog(), c.text)) << c.text;
    Click(50, 10);
    EXPECT_TRUE(Logged(g->TakeLog(), c.prompt)) << c.prompt;
    g->SetControlValueAfterTextEdit("");
    g->RemoveControl(cap);
  }
}

TEST_F(TextControls, LinkOpensItsAddressAndColoursByState)
{
  const IColor normal(255, 0, 0, 200), over(255, 200, 0, 0), visited(255, 0, 150, 0);
  auto* url =
    new IURLControl(IRECT(0, 0, 100, 20), "site", "https://example.com", IText(14, normal), COLOR_WHITE, over, visited);
  Add("background", g->GetBounds()); // the first control never hovers
  g->AttachControl(url);
  g->EnableMouseOver(true);
  struct Step {
    const char* event;
    IColor colour;
    int cursor;
  } steps[] = {{"none", normal, 0}, {"over", over, 11}, {"down", over, 11}, {"out", visited, 0}};
  for (const Step& s : steps) {
    const std::string e = s.event;
    if (e == "over")
      g->OnMouseOver(10, 10, IMouseMod());
    else if (e == "down") {
      Click(10, 10);
    } else if (e == "out")
      g->OnMouseOut();
    url->Draw(*g);
    EXPECT_EQ(url->GetText().mFGColor, s.colour) << s.event;
    EXPECT_EQ(g->GetCursorType(), s.cursor) << s.event;
  }
  EXPECT_TRUE(Logged(g->TakeLog(), "OpenURL https://example.com"));
  EXPECT_TRUE(url->GetVisited());
}

TEST_F(TextControls, PlaceHolderShowsItsGeometryAndEditsItsLabel)
{
  auto* p = new PlaceHolder(IRECT(10, 20, 110, 70), "Knob");
  g->AttachControl(p);
  EXPECT_STREQ(p->GetPositionStr(), "10.0, 20.0");
  EXPECT_STREQ(p->GetWidthStr(), "100.0");
  EXPECT_STREQ(p->GetHeightStr(), "50.0");
  g->TakeLog();
  g->OnMouseDblClick(50, 40, IMouseMod());
  EXPECT_TRUE(Logged(g->TakeLog(), "TextEntry param -1 len 7 (10,20,110,70) \"Knob\""));
  g->SetControlValueAfterTextEdit("Gain");
  EXPECT_STREQ(p->GetStr(), "Gain");
}

} // namespace
} // namespace controlstest
