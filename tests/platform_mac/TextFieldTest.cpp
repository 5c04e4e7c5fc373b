// Native text entry: the field the editor opens, typing through the window,
// committing and cancelling, and the formatter and centring cell on their own.

#include <functional>
#include <mutex>

#include "CoreTextHelpers.h"
#include "FontTestKit.h"
#include "IGraphicsTextField.h"
#include "MacEditorFixture.h"

namespace mactest {
namespace {

class NativeTextEntry : public MacEditorFixture {
protected:
  void Type(const std::u16string& text)
  {
    for (char16_t c : text) {
      const char16_t s[2] = {c, 0};
      Key(NSEventTypeKeyDown, 0, s);
    }
  }
  void SelectAll() { Key(NSEventTypeKeyDown, 0, u"a", NSEventModifierFlagCommand); }
  void Return() { Key(NSEventTypeKeyDown, 36, u"\r"); }
  std::string FieldText() const { return view->textField()->stringValue()->UTF8String(); }
};

TEST_F(NativeTextEntry, ReturnCommitsTheTypedNumberAndClosesTheField)
{
  OpenHost(1.f);
  Click(150, 20);
  IGraphicsTextField_vVorelle3_au* field = view->textField();
  ASSERT_NE(field, nullptr);
  EXPECT_EQ(field->superview(), view);
  EXPECT_EQ(window->firstResponder(), field);
  EXPECT_EQ(field->frame().origin.x, 135);
  EXPECT_EQ(field->frame().size.height, 16);
  EXPECT_EQ(field->alignment(), NSTextAlignmentCenter);
  EXPECT_FALSE(field->isBordered());
  EXPECT_EQ(field->focusRingType(), NSFocusRingTypeNone);
  EXPECT_EQ(field->currentEditor()->insertionPointColor(), field->textColor());
  EXPECT_EQ(std::string(field->cell()->className()), "IGraphicsTextFieldCell_vVorelle3_au");
  EXPECT_FALSE(FieldText().empty());

  SelectAll();
  Type(u"-12.5x"); // the letter is refused
  EXPECT_EQ(FieldText(), "-12.5");
  Return();
  EXPECT_NEAR(Value(2), -12.5, 1e-9);
  EXPECT_EQ(view->textField(), nullptr);
  EXPECT_EQ(window->firstResponder(), view);
}

TEST_F(NativeTextEntry, AClickElsewhereCommitsAndAWheelTurnCancelsAndDragsWorkAfterEither)
{
  struct Row {
    const char* what;
    float scale;
    const char16_t* typed;
    std::function<void()> end;
    double value;
  };
  const Row rows[] = {
    {"a wheel turn", 2.f, u"5",
     [this] { window->sendEvent(standin::ScrollWheelEvent(At(150, 20).x, At(150, 20).y, 1.0, 0)); }, 100.0},
    {"the platform ending the input", 1.f, u"42", [this] { Graphics()->EndUserInput(false); }, 100.0},
    {"a click elsewhere", 1.f, u"250", [this] { Click(90, 25); }, 250.0},
  };
  for (const Row& r : rows) {
    OpenHost(r.scale);
    Click(150, 20);
    ASSERT_NE(view->textField(), nullptr) << r.what;
    SelectAll();
    Type(r.typed);
    r.end();
    EXPECT_EQ(view->textField(), nullptr) << r.what;
    EXPECT_NEAR(Value(2), r.value, 1e-9) << r.what;
    EXPECT_EQ(window->firstResponder(), view) << r.what;
    // The knob follows a drag again: 10 points up a 50-point knob at gearing 4.
    const double before = Value(0);
    Mouse(NSEventTypeLeftMouseDown, 35, 35);
    Mouse(NSEventTypeLeftMouseDragged, 35, 25);
    Mouse(NSEventTypeLeftMouseUp, 35, 25);
    EXPECT_NEAR(Value(0) - before, 10.0 / 50.0 / 4.0, 1e-3) << r.what;
    CloseHost();
  }
}

TEST_F(NativeTextEntry, TheHostRemovingTheViewWhileEditingCommitsNothingAndLeavesNothing)
{
  const long before = standin::LiveNSObjectCount();
  OpenHost(1.f);
  Click(150, 20);
  Type(u"7");
  view->removeFromSuperview();
  EXPECT_EQ(dlg.GetGraphics(), nullptr);
  CloseHost();
  standin::DrainAutoreleasePools();
  EXPECT_EQ(Value(2), 100.0);
  EXPECT_EQ(standin::LiveNSObjectCount(), before);
}

TEST_F(NativeTextEntry, TheFormatterJudgesOnlyWhatIsTyped)
{
  struct Row {
    const char* what;
    const char* allowed;
    int maxLength;
    std::u16string opening;
    bool caretAtEnd;      // else the whole text is selected, as on opening
    std::u16string typed; // \x7f deletes, \x16 pastes the clipboard
    const char* clipboard;
    std::string result;
  };
  const Row rows[] = {
    {"a fourth character over a limit of 3", "0123456789-+", 3, u"", false, u"1234", nullptr, "123"},
    {"a double accepts 1 . 5 k but not x", "0123456789.-+kK", 0, u"", false, u"1.5xk", nullptr, "1.5k"},
    {"pasted text with a letter is refused whole", "0123456789-+", 0, u"", false, u"\x16", "12a4", ""},
    {"pasted digits go in", "0123456789-+", 0, u"", false, u"\x16", "124", "124"},
    {"a display value longer than the limit is shown", "0123456789.-+", 4, u"-12.5", false, u"", nullptr, "-12.5"},
    {"and replaced by typing", "0123456789.-+", 4, u"-12.5", false, u"-7.5", nullptr, "-7.5"},
    {"a shown unit can be deleted", "0123456789.-+kK", 8, u"3.0 dB", true,
     u"\x7f\x7f\x7f"
     u"5",
     nullptr, "3.05"},
    {"typing after a shown unit is still judged", "0123456789.-+kK", 8, u"3.0 dB", true, u"x", nullptr, "3.0 dB"},
  };
  for (const Row& r : rows) {
    window = NSWindow::alloc()->initWithContentRect(NSMakeRect(0, 0, 200, 100), NSWindowStyleMaskTitled,
                                                    NSBackingStoreBuffered, NO);
    auto* field = IGraphicsTextField_vVorelle3_au::alloc()->initWithFrame(NSMakeRect(10, 10, 80, 20));
    auto* formatter = IGraphicsFormatter_vVorelle3_au::alloc()->init();
    formatter->setAcceptableCharacterSet(
      NSCharacterSet::characterSetWithCharactersInString(NSString::stringWithUTF8String(r.allowed)));
    formatter->setMaximumLength(r.maxLength);
    field->setFormatter(formatter);
    formatter->release();
    field->setStringValue(
      NSString::stringWithCharacters(reinterpret_cast<const unichar*>(r.opening.data()), r.opening.size()));
    window->contentView()->addSubview(field);
    field->release();
    ASSERT_TRUE(window->makeFirstResponder(field));
    if (r.caretAtEnd)
      field->currentEditor()->setSelectedRange({r.opening.size(), 0});
    if (r.clipboard) {
      NSPasteboard::generalPasteboard()->clearContents();
      NSPasteboard::generalPasteboard()->setString(NSString::stringWithUTF8String(r.clipboard), NSStringPboardType);
    }
    for (char16_t ch : r.typed) {
      const char16_t s[2] = {ch, 0};
      if (ch == u'\x16')
        Key(NSEventTypeKeyDown, 0, u"v", NSEventModifierFlagCommand);
      else
        Key(NSEventTypeKeyDown, 0, s);
    }
    EXPECT_EQ(field->stringValue()->UTF8String(), r.result) << r.what;
    CloseHost();
  }
}

TEST(Formatter, TheWholeStringCheckFollowsSetLengthAndValue)
{
  standin::Reset();
  auto* f = IGraphicsFormatter_vVorelle3_au::alloc()->init();
  auto check = [&](const char* text) {
    return f->isPartialStringValid(NSString::stringWithUTF8String(text), nullptr, nullptr);
  };
  EXPECT_TRUE(check("anything"));
  f->setAcceptableCharacterSet(NSCharacterSet::characterSetWithCharactersInString(NSSTR("0123456789-+")));
  EXPECT_TRUE(check("-12"));
  EXPECT_FALSE(check("1a"));
  f->setMaximumLength(3);
  EXPECT_TRUE(check("123"));
  EXPECT_FALSE(check("1234"));
  f->setMaximumValue(50);
  EXPECT_TRUE(check("50"));
  EXPECT_FALSE(check("51"));
  NSObject* out = nullptr;
  EXPECT_TRUE(f->getObjectValue(&out, NSSTR("7"), nullptr));
  EXPECT_TRUE(static_cast<NSString*>(out)->isEqualToString(NSSTR("7")));
  EXPECT_TRUE(f->getObjectValue(nullptr, NSSTR("7"), nullptr));
  EXPECT_EQ(f->stringForObjectValue(NSArray::array()), nullptr);
  f->release();
  standin::DrainAutoreleasePools();
}

TEST(TextFieldCell, TextIsCentredVerticallyOnceAlsoWhileEditing)
{
  standin::Reset();
  auto* cell = IGraphicsTextFieldCell_vVorelle3_au::alloc()->initTextCell(NSSTR("textfield"));
  cell->setFont(NSFont::systemFontOfSize(14));
  const NSRect bounds = NSMakeRect(0, 0, 100, 40);
  // The plain cell's text area, and the height the text needs.
  auto* plain = NSTextFieldCell::alloc()->initTextCell(NSSTR("textfield"));
  plain->setFont(NSFont::systemFontOfSize(14));
  const NSRect area = plain->drawingRectForBounds(bounds);
  const double need = plain->cellSize().height;
  const NSRect r = cell->drawingRectForBounds(bounds);
  EXPECT_DOUBLE_EQ(r.size.height, need);
  EXPECT_DOUBLE_EQ(r.origin.y, area.origin.y + (area.size.height - need) / 2);
  EXPECT_DOUBLE_EQ(r.origin.x, area.origin.x);

  auto* editor = NSTextView::alloc();
  editor->initWithFrame(bounds);
  cell->selectWithFrame(bounds, nullptr, editor, nullptr, 0, 0);
  const NSRect e = cell->EditingFrame();
  // Editing starts in the centred frame, centred once.
  EXPECT_DOUBLE_EQ(e.origin.y, r.origin.y);
  EXPECT_DOUBLE_EQ(e.size.height, r.size.height);
  editor->release();
  plain->release();
  cell->release();
  standin::DrainAutoreleasePools();
}

TEST_F(NativeTextEntry, TheFieldTakesTheCachedFaceAtTheStyleSizeTimesDrawScaleAndEmRatio)
{
  OpenHost(1.f, 2.f);
  std::vector<uint8_t> bytes = fonttest::ReadFile(fonttest::kRoboto + "Roboto-Regular.ttf");
  PlatformFontPtr font = Graphics()->LoadPlatformFontFromData("Roboto-Regular", bytes.data(), int(bytes.size()));
  ASSERT_NE(font, nullptr);
  Graphics()->CachePlatformFont("Roboto-Regular", font);
  double ratio = 0;
  {
    FontDescriptorCache& cache = GetFontDescriptorCache();
    std::lock_guard<std::recursive_mutex> lock(cache.mMutex);
    CoreTextFontDescriptor* d = CoreTextHelpers::GetCTFontDescriptor("Roboto-Regular", cache);
    ASSERT_NE(d, nullptr);
    ratio = d->mEMRatio;
  }
  EXPECT_GT(ratio, 0.5);
  EXPECT_LT(ratio, 1.0);
  Click(150, 20);
  ASSERT_NE(view->textField(), nullptr);
  ASSERT_NE(view->textField()->font(), nullptr);
  EXPECT_NEAR(view->textField()->font()->pointSize(), 14.0 * 2.0 * ratio, 1e-9);
}

} // namespace
} // namespace mactest
