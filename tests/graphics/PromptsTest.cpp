// Value prompts (popup of display texts or text entry), their completions,
// and the special-control slots that replace the platform's widgets.

#include <algorithm>
#include <cmath>

#include "EditorFixture.h"

using namespace testsupport;

namespace {

class Prompts : public EditorFixture {
protected:
  void InitParams() override
  {
    dlg.GetParam(0)->InitEnum("Mode", 1, 3, "", 0, "", "Low", "Mid", "High");
    dlg.GetParam(1)->InitDouble("Gain", 0.0, -24.0, 24.0, 0.1, "dB");
    dlg.GetParam(2)->InitInt("Count", 2, 0, 10);
  }

  void SetUp() override
  {
    EditorFixture::SetUp();
    enumCtl = Add("enum", IRECT(10, 10, 50, 50), 0);
    gainCtl = Add("gain", IRECT(60, 10, 100, 50), 1);
    countCtl = Add("count", IRECT(110, 10, 150, 50), 2);
    for (IControl* c :
         {static_cast<IControl*>(enumCtl), static_cast<IControl*>(gainCtl), static_cast<IControl*>(countCtl)})
      c->DisablePrompt(false);
    g->TakeLog();
    dlg.TakeLog();
  }
  RecordingControl* enumCtl = nullptr;
  RecordingControl* gainCtl = nullptr;
  RecordingControl* countCtl = nullptr;
};

} // namespace

TEST_F(Prompts, EnumPromptChecksTheCurrentTextAndCommitsTheChoice)
{
  g->mMenuAnswers.push_back(2);
  enumCtl->PromptUserInput(0);
  IPopupMenu& m = g->GetPromptMenu();
  ASSERT_EQ(m.NItems(), 3);
  EXPECT_FALSE(m.GetItem(0)->GetChecked());
  EXPECT_TRUE(m.GetItem(1)->GetChecked());
  EXPECT_FALSE(m.GetItem(2)->GetChecked());
  EXPECT_STREQ(m.GetRootTitle(), "Mode");
  EXPECT_DOUBLE_EQ(enumCtl->GetValue(), 1.0);
  EXPECT_EQ(dlg.TakeLog(), (Log{"Send 0 1", "End 0"}));
}

TEST_F(Prompts, DismissedSynchronousMenuReportsNoSelection)
{
  g->mMenuAnswers.push_back(-1);
  enumCtl->PromptUserInput(0);
  const Log log = g->TakeLog();
  EXPECT_NE(std::find(log.begin(), log.end(), "enum PopupSelection -1 0"), log.end());
  EXPECT_EQ(g->GetControlInPopupMenu(), nullptr);
}

TEST_F(Prompts, ContinuousPromptOpensATextEntryWithTheDisplayValue)
{
  gainCtl->SetPromptShowsParamLabel(true);
  gainCtl->PromptUserInput(0);
  EXPECT_EQ(g->TakeLog(), (Log{"TextEntry param 1 len 7 (60,22,100,38) \"0.0 dB\""}));
  EXPECT_EQ(g->GetControlInTextEntry(), gainCtl);
}

TEST_F(Prompts, TypedTextIsSnappedClampedAndNormalised)
{
  struct Row {
    const char* text;
    double want;
  };
  const Row gain[] = {{"12", 0.75}, {"99", 1.0}, {"-30", 0.0}};
  for (const Row& r : gain) {
    gainCtl->PromptUserInput(0);
    g->SetControlValueAfterTextEdit(r.text);
    EXPECT_NEAR(gainCtl->GetValue(), r.want, 1e-9) << r.text;
  }
  countCtl->PromptUserInput(0);
  g->SetControlValueAfterTextEdit("3.7");
  EXPECT_NEAR(countCtl->GetValue(), 0.4, 1e-9);
  EXPECT_EQ(g->GetControlInTextEntry(), nullptr);
}

TEST_F(Prompts, SteppedParameterWithStepZeroDoesNotDivideByZero)
{
  // A stepped parameter whose step is 0 takes the typed value unsnapped.
  dlg.GetParam(3)->InitDouble("Odd", 0.0, 0.0, 10.0, 0.0, "", IParam::kFlagStepped);
  auto* c = Add("odd", IRECT(0, 60, 40, 100), 3);
  g->CreateTextEntry(*c, c->GetText(), c->GetRECT(), "", 0);
  g->SetControlValueAfterTextEdit("2.5");
  const double v = c->GetValue();
  EXPECT_TRUE(std::isfinite(v));
  EXPECT_GE(v, 0.0);
  EXPECT_LE(v, 1.0);
}

TEST_F(Prompts, TextForAControlWithoutParameterGoesToItsCompletion)
{
  auto* c = Add("plain", IRECT(0, 60, 40, 100));
  g->CreateTextEntry(*c, c->GetText(), c->GetRECT(), "abc", -1);
  g->TakeLog();
  g->SetControlValueAfterTextEdit("typed");
  EXPECT_EQ(g->TakeLog(), (Log{"plain TextDone -1 typed"}));
  g->SetControlValueAfterTextEdit("again");
  EXPECT_TRUE(g->TakeLog().empty());
}

TEST_F(Prompts, PromptsStayOffUntilEnabled)
{
  gainCtl->DisablePrompt(true);
  gainCtl->PromptUserInput(0);
  auto* unlinked = Add("u", IRECT(0, 0, 1, 1));
  unlinked->DisablePrompt(false);
  g->TakeLog();
  unlinked->PromptUserInput(0);
  EXPECT_EQ(g->TakeLog(), (Log{}));
}

TEST_F(Prompts, AttachedTextEntryAndPopupControlsReplaceThePlatformWidgets)
{
  auto* entry = new RecordingTextEntry("entry", IRECT());
  g->AttachTextEntryControl(entry);
  gainCtl->PromptUserInput(0);
  EXPECT_EQ(entry->mOpened, "1:7:0.0");
  auto* popup = new RecordingPopup("popup", IRECT());
  g->AttachPopupMenuControl(popup);
  enumCtl->PromptUserInput(0);
  IPopupMenu* shown = popup->mShown;
  ASSERT_EQ(shown, &g->GetPromptMenu());
  EXPECT_EQ(g->GetControlInPopupMenu(), enumCtl);
  shown->SetChosenItemIdx(0);
  g->SetControlValueAfterPopupMenu(shown);
  EXPECT_DOUBLE_EQ(enumCtl->GetValue(), 0.0);
  EXPECT_EQ(g->GetControlInPopupMenu(), nullptr);
  int destroyed = 0;
  auto* second = new RecordingTextEntry("x", IRECT());
  second->mDestroyed = &destroyed;
  EXPECT_FALSE(g->AttachTextEntryControl(second));
  auto* notAnEntry = new RecordingControl("y", IRECT());
  notAnEntry->mDestroyed = &destroyed;
  g->RemoveTextEntryControl();
  EXPECT_FALSE(g->AttachTextEntryControl(notAnEntry));
  EXPECT_EQ(destroyed, 2);
}

TEST_F(Prompts, BubbleSelectionIsSafeWithoutBubblesAndRoundRobinStaysInRange)
{
  EXPECT_EQ(g->SelectBubble(gainCtl), -1);
  g->AttachBubbleControl(new RecordingBubble("b0", IRECT()));
  EXPECT_EQ(g->SelectBubble(gainCtl), 0);
  g->AttachBubbleControl(new RecordingBubble("b1", IRECT()));
  auto* b2 = new RecordingBubble("b2", IRECT());
  g->AttachBubbleControl(b2);
  g->EnableMultiTouch(true);
  EXPECT_EQ(g->SelectBubble(gainCtl), -1); // not held by a touch
  g->OnMouseDown(Pt(70, 20, false, 7));
  for (int i = 0; i < 10; ++i) {
    const int b = g->SelectBubble(gainCtl);
    EXPECT_GE(b, 0);
    EXPECT_LT(b, 3);
  }
  b2->mTouch = 7;
  EXPECT_EQ(g->SelectBubble(gainCtl), 2);
}

TEST_F(Prompts, LosingFocusClosesAnOpenMenuAndEndsAnEditSoNeitherTakesInputAnyMore)
{
  auto* popup = new RecordingPopup("popup", g->GetBounds());
  auto* entry = new RecordingTextEntry("entry", g->GetBounds());
  g->AttachPopupMenuControl(popup);
  g->AttachTextEntryControl(entry);
  struct Case {
    RecordingControl* prompted;
    const char* closed;
    const char* down;
  } cases[] = {
    {enumCtl, "popup Collapse", "enum Down 20,20"},
    {gainCtl, "entry Dismiss", "gain Down 70,20"},
  };
  for (const Case& c : cases) {
    c.prompted->PromptUserInput(0);
    ASSERT_TRUE(g->PopupIsOpen() || g->TextEntryIsEditing());
    g->TakeLog();
    g->OnFocusLost();
    const Log log = g->TakeLog();
    EXPECT_NE(std::find(log.begin(), log.end(), c.closed), log.end()) << c.closed;
    EXPECT_FALSE(g->PopupIsOpen());
    EXPECT_FALSE(g->TextEntryIsEditing());
    EXPECT_EQ(g->GetControlInPopupMenu(), nullptr);
    EXPECT_EQ(g->GetControlInTextEntry(), nullptr);
    const IRECT& r = c.prompted->GetRECT();
    g->OnMouseDown(Pt(r.L + 10, r.T + 10));
    g->OnMouseUp(Pt(r.L + 10, r.T + 10));
    const Log after = g->TakeLog();
    EXPECT_NE(std::find(after.begin(), after.end(), c.down), after.end()) << c.down;
  }
}
