// The drawn text entry: start, typing filtered by the parameter's type,
// commit and cancel, caret moves, undo depth, clipboard, its own edit menu,
// the caret blink on the test clock and text that is not clean UTF-8.

#include <cmath>
#include <cstring>
#include <functional>

#include "PopupMenuFixture.h"

namespace controlstest {
namespace {

class TextEntry : public ::testing::Test {
protected:
  void SetUp() override
  {
    dlg.GetParam(0)->InitDouble("Gain", 0.0, -24.0, 24.0, 0.1, "dB");
    dlg.GetParam(1)->InitInt("Steps", 0, -5, 5);
    dlg.GetParam(2)->InitEnum("Mode", 0, 3, "", 0, "", "A", "B", "C");
    dlg.GetParam(3)->InitDouble("Spare", 0.0, 0.0, 1.0, 0.01);
    g = std::make_unique<TestGraphics>(dlg, 400, 300);
    AttachPopupMenuControl(*g);
    field = AttachTextEntryControl(*g);
    for (int p = 0; p < 4; ++p)
      callers[p] = static_cast<RecordingControl*>(
        g->AttachControl(new RecordingControl("caller", IRECT(10, 10 + 30.f * p, 60, 30 + 30.f * p), p)));
    plain = static_cast<RecordingControl*>(g->AttachControl(new RecordingControl("plain", IRECT(200, 10, 250, 30))));
  }

  // An edit over (10, 10, 110, 30) for the control of a parameter (-1: the
  // unlinked control), text near-aligned from x = 10 unless asked otherwise.
  void Start(int param, const char* str, EAlign align = kAlignNear)
  {
    IControl* c = param >= 0 ? callers[param] : plain;
    g->CreateTextEntry(*c, IText(14.f, COLOR_BLACK, nullptr, align), kRect, str, 0);
    g->TakeLog();
  }
  bool Key(int vk, const char* text = "", bool shift = false, bool control = false)
  {
    return g->OnKeyDown(0, 0, IKeyPress(text, vk, shift, control));
  }
  // Types ASCII as a keyboard would, with the virtual keys of the keys.
  void Type(const char* s)
  {
    for (; *s; ++s) {
      const char c = *s, t[2] = {c, 0};
      const bool digit = c >= '0' && c <= '9', letter = c >= 'a' && c <= 'z';
      Key(digit ? c : letter ? c - 32 : c == '-' ? 189 : c == '+' ? 187 : c == '.' ? 190 : 0, t, c == '+');
    }
  }
  std::string Text() const { return field->GetEditTextUTF8(); }
  const STB_TexteditState& State() const { return field->GetEditState(); }
  void Press(float x, float y) { PressAt(*g, x, y); }

  const IRECT kRect{10, 10, 110, 30};
  TestDelegate dlg{4};
  std::unique_ptr<TestGraphics> g;
  ITextEntryControl* field = nullptr;
  RecordingControl* callers[4] = {};
  RecordingControl* plain = nullptr;
};

TEST_F(TextEntry, StartingSelectsEverythingWithTheCaretAtZeroAndTypingReplacesIt)
{
  Start(3, "1234");
  EXPECT_TRUE(field->IsEditing());
  EXPECT_EQ(State().select_start, 0);
  EXPECT_EQ(State().select_end, 4);
  EXPECT_EQ(State().cursor, 0);
  EXPECT_EQ(field->GetRECT(), kRect);
  Type("7");
  EXPECT_EQ(Text(), "7");
  EXPECT_EQ(State().cursor, 1);
}

TEST_F(TextEntry, KeysAreFilteredByTheTypeOfTheParameterBeingEdited)
{
  struct Case {
    int param; // 0 double, 1 int, 2 enum, -1 none
    int vk;
    const char* text;
    bool shift;
    bool handled;
    const char* after; // typed into "" with the caret at 0
  } cases[] = {
    {1, 'A', "a", false, false, ""},  {1, 190, ".", false, false, ""},
    {1, 187, "+", true, true, "+"},   {1, 189, "-", false, true, "-"},
    {1, '5', "5", false, true, "5"},  {1, 103, "7", false, true, "7"},
    {1, '5', "%", true, false, ""},   {2, '2', "2", false, true, "2"},
    {2, 'B', "b", false, false, ""},  {0, 190, ".", false, true, "."},
    {0, 'E', "e", false, false, ""},  {0, 189, "-", false, true, "-"},
    {-1, 'A', "a", false, true, "a"}, {-1, 0, "\xc3\xa9", false, true, "\xc3\xa9"},
    {-1, 9, "\t", false, false, ""},  {-1, 32, " ", false, true, " "},
  };
  for (const Case& c : cases) {
    Start(c.param, "");
    EXPECT_EQ(Key(c.vk, c.text, c.shift), c.handled) << c.param << " vk " << c.vk;
    EXPECT_EQ(Text(), c.after) << c.param << " vk " << c.vk;
    field->DismissEdit();
  }
}

TEST_F(TextEntry, MinusSixAndReturnSetTheDoubleParameterAndJunkKeepsItsValue)
{
  Start(0, "0.0");
  Type("-6");
  EXPECT_EQ(Text(), "-6");
  EXPECT_TRUE(Key(13));
  EXPECT_FALSE(field->IsEditing());
  EXPECT_DOUBLE_EQ(dlg.GetParam(0)->Value(), -6.0);
  EXPECT_EQ(g->GetControlInTextEntry(), nullptr);

  // Text that reads as no number: "", "-", "+" by typing, "abc" and "."
  // through the clipboard (the field refuses letters for a number).
  const char* junk[] = {"", "-", "+", "abc", "."};
  for (const char* text : junk) {
    Start(0, "-6.0");
    g->mClipboard = text;
    Key(8); // the selection goes
    Key('V', "v", false, true);
    EXPECT_EQ(Text(), text);
    Key(13);
    EXPECT_DOUBLE_EQ(dlg.GetParam(0)->Value(), -6.0) << '"' << text << '"';
  }
}

TEST_F(TextEntry, EscapeCancelsAndTheRequestingControlGetsNothing)
{
  Start(-1, "keep");
  Type("x");
  g->TakeLog();
  EXPECT_TRUE(Key(27));
  EXPECT_FALSE(field->IsEditing());
  EXPECT_EQ(g->GetControlInTextEntry(), nullptr);
  EXPECT_TRUE(field->GetRECT().Empty());
  for (const std::string& line : g->TakeLog())
    EXPECT_EQ(line.find("TextDone"), std::string::npos) << line;
  // Return hands the text to an unlinked control.
  Start(-1, "keep");
  Key(35); // end
  Type("s");
  Key(13);
  const Log log = g->TakeLog();
  EXPECT_NE(std::find(log.begin(), log.end(), "plain TextDone 0 keeps"), log.end());
}

TEST_F(TextEntry, ArrowKeysMoveLikeTheDocumentsSayAndPageKeysDoNothing)
{
  struct Case {
    int vk;
    bool control;
    int cursor; // from "one two three" with the caret at 5
  } cases[] = {{37, false, 4},  {39, false, 6}, {38, false, 4}, {40, false, 6}, {36, false, 0},
               {35, false, 13}, {37, true, 4},  {39, true, 8},  {33, false, 5}, {34, false, 5}};
  for (const Case& c : cases) {
    Start(-1, "one two three");
    Key(39); // collapse the selection to its end
    Key(36); // home
    for (int i = 0; i < 5; ++i)
      Key(39);
    ASSERT_EQ(State().cursor, 5);
    const bool handled = Key(c.vk, "", false, c.control);
    EXPECT_EQ(State().cursor, c.cursor) << c.vk << " " << c.control;
    EXPECT_EQ(handled, c.cursor != 5) << c.vk;
    field->DismissEdit();
  }
}

TEST_F(TextEntry, UndoKeepsTheLastNinetyNineStepsAndRedoReplaysThem)
{
  Start(-1, "");
  for (int i = 0; i < 120; ++i)
    Type("x");
  ASSERT_EQ(Text().size(), 120u);
  for (int i = 0; i < 150; ++i)
    Key('Z', "z", false, true);
  EXPECT_EQ(Text().size(), 120u - 99u);
  for (int i = 0; i < 150; ++i)
    Key('Z', "z", true, true);
  EXPECT_EQ(Text().size(), 120u);
}

// The store keeps 999 characters for undo and redo together: at its limits
// undo still brings back exactly the text it took, and a redo either
// replays exactly or is not offered.
TEST_F(TextEntry, UndoAndRedoAtTheLimitsOfTheCharacterStoreGiveBackExactText)
{
  const auto pattern = [](size_t n) {
    std::string s;
    for (size_t i = 0; i < n; ++i)
      s.push_back(char('A' + i % 26));
    return s;
  };
  const auto paste = [this](const char* text) {
    g->mClipboard = text;
    Key('V', "v", false, true);
  };
  // Typing over the selection first deletes it: one step more to undo.
  const struct Row {
    size_t length; // of the text first selected
    std::function<void()> edit;
    int steps; // undone, then redone
    std::string afterUndo, afterRedo;
  } rows[] = {
    {500, [&] { Type("bcdefghijkl"); }, 12, pattern(500), "bcdefghijkl"},
    // Redo characters crowd the deleted text: undo makes room by dropping
    // the redo steps farthest away, never by writing over that text.
    {995, [&] { Type("bcdefghijkl"); }, 12, pattern(995), "bcde"},
    // A paste whose redo has no room: the redo history stops before it, so
    // the typing after it is not replayed into the wrong text.
    {990,
     [&] {
       Key(46);
       Type("a");
       paste("wxyzwxyzw");
       Type("q");
     },
     4, pattern(990), "a"},
    {999, [&] { Type("b"); }, 2, pattern(999), ""},
    // The second paste's redo holds the last two free characters; undoing
    // the first needs them, so its one redo record must go.
    {996,
     [&] {
       Key(46);
       paste("xy");
       paste("zw");
     },
     3, pattern(996), "xy"},
    // Typed over in insert mode with the store full: the redo that could
    // not keep the character it brings back is not offered.
    {997,
     [&] {
       Key(46);
       Type("ab");
       Key(36);
       Key(45);
       Type("x");
     },
     1, "ab", "ab"},
    // Too long to keep at all: only the typing is undone.
    {1000, [&] { Type("b"); }, 2, "", "b"},
  };
  for (const Row& r : rows) {
    Start(-1, pattern(r.length).c_str());
    r.edit();
    for (int i = 0; i < r.steps; ++i)
      Key('Z', "z", false, true);
    EXPECT_EQ(Text(), r.afterUndo) << r.length << " undone " << r.steps;
    for (int i = 0; i < r.steps; ++i)
      Key('Z', "z", true, true);
    EXPECT_EQ(Text(), r.afterRedo) << r.length << " redone " << r.steps;
    field->DismissEdit();
  }
}

TEST_F(TextEntry, CopyCutAndPasteGoThroughTheClipboard)
{
  Start(-1, "hello world");
  g->mClipboard = "untouched";
  Key(39);                    // no selection
  Key('C', "c", false, true); // copies nothing
  EXPECT_EQ(g->mClipboard, "untouched");
  Key(36);
  for (int i = 0; i < 5; ++i)
    Key(39, "", true); // shift+right selects "hello"
  Key('C', "c", false, true);
  EXPECT_EQ(g->mClipboard, "hello");
  Key('X', "x", false, true);
  EXPECT_EQ(Text(), " world");
  Key(35);
  Key('V', "v", false, true);
  EXPECT_EQ(Text(), " worldhello");
  Key('A', "a", false, true);
  EXPECT_EQ(State().select_end - State().select_start, 11);
}

TEST_F(TextEntry, EachFieldAnswersItsOwnEditMenu)
{
  // Two editors, each with its field: a menu shown by the second must not
  // act on the first, whichever showed a menu first.
  TestDelegate dlg2{1};
  TestGraphics g2(dlg2, 400, 300);
  IPopupMenuControl* popup2 = AttachPopupMenuControl(g2);
  ITextEntryControl* field2 = AttachTextEntryControl(g2);
  auto* owner2 = new RecordingControl("owner2", IRECT(0, 0, 10, 10));
  g2.AttachControl(owner2);

  Start(-1, "alpha");
  g2.CreateTextEntry(*owner2, IText(), kRect, "beta", 0);
  IPopupMenuControl* popup = static_cast<IPopupMenuControl*>(g->GetPopupMenuControl());
  struct Step {
    TestGraphics* graphics;
    IPopupMenuControl* menu;
  } steps[] = {{g.get(), popup}, {&g2, popup2}};
  for (const Step& s : steps) {
    s.graphics->mClipboard.clear();
    PressAt(*s.graphics, 50, 20, true);
    ASSERT_NE(s.menu->GetPanel(0), nullptr);
    for (int t = 0; t < 20; ++t)
      s.graphics->Tick(10);
    const IRECT& copy = s.menu->GetPanel(0)->mCells[1];
    s.graphics->OnMouseOver(copy.MW(), copy.MH(), IMouseMod());
    PressAt(*s.graphics, copy.MW(), copy.MH());
  }
  EXPECT_EQ(g->mClipboard, "alpha");
  EXPECT_EQ(g2.mClipboard, "beta");
  EXPECT_TRUE(field->IsEditing()); // the menu's click was no click outside
  EXPECT_TRUE(field2->IsEditing());
}

TEST_F(TextEntry, ClicksMoveTheCaretAndAClickOnOrPastTheRightOrBottomEdgeCommits)
{
  Start(-1, "abcd"); // 7 points a character from x = 10
  Press(10 + 14 + 3, 20);
  EXPECT_EQ(State().cursor, 2);
  Press(10 + 14 + 4, 20);
  EXPECT_EQ(State().cursor, 3);
  Press(109.9f, 29.9f);
  EXPECT_TRUE(field->IsEditing());
  Press(110, 20);
  EXPECT_FALSE(field->IsEditing());
  Start(-1, "abcd");
  Press(50, 30);
  EXPECT_FALSE(field->IsEditing());
}

TEST_F(TextEntry, CaretSelectionAndClicksFollowTheTextWhereverItIsAligned)
{
  // "abcd" is 28 points wide in the field (10, 10, 110, 30); 14-point text
  // in the middle of its 20-point height gives rows from 10 + 3 + 1.4 to
  // 10 + 17 - 1.4.
  struct Case {
    EAlign align;
    float x0;
  } cases[] = {{kAlignNear, 10}, {kAlignCenter, 60 - 14}, {kAlignFar, 110 - 28}};
  const auto filled = [this]() {
    g->mPaints.clear();
    field->Draw(*g);
    std::vector<IRECT> rects;
    for (const PaintCall& p : g->TakePaints())
      if (p.isFill && p.path.size() >= 3)
        rects.emplace_back(p.path[0].v[0], p.path[0].v[1], p.path[2].v[0], p.path[2].v[1]);
    return rects;
  };
  const auto near = [](const IRECT& a, const IRECT& b) {
    return std::abs(a.L - b.L) < 1e-3f && std::abs(a.T - b.T) < 1e-3f && std::abs(a.R - b.R) < 1e-3f &&
           std::abs(a.B - b.B) < 1e-3f;
  };
  for (const Case& c : cases) {
    Start(-1, "abcd", c.align);
    IMouseInfo down, up;
    down.x = c.x0 + 17; // left of the middle of "c"
    up.x = c.x0 + 27;   // in the second half of "d"
    down.y = up.y = 20;
    down.ms.L = up.ms.L = true;
    g->OnMouseDown({down});
    EXPECT_EQ(State().cursor, 2) << c.align;
    g->OnMouseUp({up});
    EXPECT_EQ(State().select_start, 2) << c.align;
    EXPECT_EQ(State().select_end, 4) << c.align;
    std::vector<IRECT> rects = filled();
    ASSERT_EQ(rects.size(), 2u) << c.align; // the field, then the selection
    EXPECT_TRUE(near(rects[1], IRECT(c.x0 + 14, 14.4f, c.x0 + 28, 25.6f))) << c.align << " " << RectStr(rects[1]);

    Key(36); // home: the caret, a point wide, left of "a"
    ASSERT_TRUE(field->GetCaretVisible());
    rects = filled();
    ASSERT_EQ(rects.size(), 2u) << c.align;
    EXPECT_TRUE(near(rects[1], IRECT(std::round(c.x0 - 1), 14.4f, std::round(c.x0), 25.6f)))
      << c.align << " " << RectStr(rects[1]);
    field->DismissEdit();
  }
}

TEST_F(TextEntry, TheCaretBlinksOnTheGraphicsClock)
{
  Start(-1, "ab");
  Key(35); // no selection: the caret is drawn
  Press(20, 20);
  struct Step {
    double ms;
    bool visible;
  } steps[] = {{100, true}, {300, true}, {200, false}, {300, false}, {200, true}, {600, false}};
  for (const Step& s : steps) {
    for (double t = 0; t < s.ms; t += 10)
      g->Tick(10);
    EXPECT_EQ(field->GetCaretVisible(), s.visible) << s.ms;
  }
  Key(13);
  for (int t = 0; t < 300; ++t)
    g->Tick(10);
  EXPECT_FALSE(field->GetAnimationFunction()); // no blink without an edit
}

TEST_F(TextEntry, TextThatIsNotCleanUtf8KeepsEverythingAroundTheBadBytes)
{
  struct Case {
    const char* in;
    size_t units;
    const char* out;
  } cases[] = {
    {"a\xff"
     "b",
     3,
     "a\xef\xbf\xbd"
     "b"},
    {"x\xf0\x9f\x98\x80y", 4, "x\xf0\x9f\x98\x80y"}, // a surrogate pair
    {"\xe2\x82", 1, "\xef\xbf\xbd"},                 // cut short
    {"\xed\xa0\x80z", 2, "\xef\xbf\xbdz"},           // an encoded surrogate is one bad character
    {"\xdf\xbf|\xe0\xa0\x80", 3, "\xdf\xbf|\xe0\xa0\x80"},   // U+07FF, the last of two bytes; U+0800, the first of three
  };
  for (const Case& c : cases) {
    Start(-1, c.in);
    EXPECT_EQ(field->GetEditString().size(), c.units) << c.in;
    EXPECT_EQ(Text(), c.out) << c.in;
    field->DismissEdit();
  }
}

TEST_F(TextEntry, LosingFocusEndsTheEditSoKeysAndTheNextClickGoElsewhere)
{
  dlg.GetParam(0)->Set(3.0);
  Start(0, "3.0");
  Type("9");
  g->OnFocusLost();
  EXPECT_FALSE(field->IsEditing());
  EXPECT_EQ(g->GetControlInTextEntry(), nullptr);
  EXPECT_FALSE(Key('5', "5"));
  Press(30, 20); // on the control that asked: nothing is committed
  EXPECT_DOUBLE_EQ(dlg.GetParam(0)->Value(), 3.0);
  EXPECT_EQ(Text(), "9");
}

TEST(TextEntryState, CopiesCompareByFieldNotByTheirPaddingBytes)
{
  ITextEntryControl a;
  const STB_TexteditState& s = a.GetEditState();
  STB_TexteditState b;
  std::memset(&b, 0x5a, sizeof(b));
  b.cursor = s.cursor;
  b.select_start = s.select_start;
  b.select_end = s.select_end;
  b.insert_mode = s.insert_mode;
  b.row_count_per_page = s.row_count_per_page;
  b.cursor_at_end_of_line = s.cursor_at_end_of_line;
  b.initialized = s.initialized;
  b.has_preferred_x = s.has_preferred_x;
  b.single_line = s.single_line;
  b.preferred_x = s.preferred_x;
  b.undostate.undo_point = s.undostate.undo_point;
  b.undostate.redo_point = s.undostate.redo_point;
  b.undostate.undo_char_point = s.undostate.undo_char_point;
  b.undostate.redo_char_point = s.undostate.redo_char_point;
  for (int i = 0; i < STB_TEXTEDIT_UNDOSTATECOUNT; ++i) {
    b.undostate.undo_rec[i].where = s.undostate.undo_rec[i].where;
    b.undostate.undo_rec[i].insert_length = s.undostate.undo_rec[i].insert_length;
    b.undostate.undo_rec[i].delete_length = s.undostate.undo_rec[i].delete_length;
    b.undostate.undo_rec[i].char_storage = s.undostate.undo_rec[i].char_storage;
  }
  std::copy(s.undostate.undo_char, s.undostate.undo_char + STB_TEXTEDIT_UNDOCHARCOUNT, b.undostate.undo_char);
  EXPECT_TRUE(SameEditState(s, b));
  b.preferred_x += 1.f;
  EXPECT_FALSE(SameEditState(s, b));
}

} // namespace
} // namespace controlstest
