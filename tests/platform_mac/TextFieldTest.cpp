// Native text entry: the field the editor opens, typing through the window,
// committing and cancelling, and the formatter and centring cell on their own.

#include <cmath>
#include <cstdio>
#include <mutex>

#include "CoreTextHelpers.h"
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

TEST_F(NativeTextEntry, AWheelTurnCancelsTheEntryWithoutChangingTheValue)
{
  OpenHost(2.f);
  Click(150, 20);
  ASSERT_NE(view->textField(), nullptr);
  SelectAll();
  Type(u"5");
  window->sendEvent(standin::ScrollWheelEvent(At(150, 20).x, At(150, 20).y, 1.0, 0));
  EXPECT_EQ(view->textField(), nullptr);
  EXPECT_EQ(Value(2), 100.0);
  EXPECT_EQ(window->firstResponder(), view);
}

TEST_F(NativeTextEntry, ClickingElsewhereEndsTheEditingAndCommits)
{
  OpenHost(1.f);
  Click(150, 20);
  SelectAll();
  Type(u"250");
  Click(90, 25);
  EXPECT_EQ(view->textField(), nullptr);
  EXPECT_NEAR(Value(2), 250.0, 1e-9);
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

// ---- Typing into a field with the formatter the view gives it -------------------------

struct TypingCase {
  const char* what;
  const char* allowed;
  int maxLength;
  std::u16string opening;
  bool caretAtEnd;      // else the whole text is selected, as on opening
  std::u16string typed; // \x7f deletes, \x16 pastes the clipboard
  const char* clipboard;
  std::string result;
};

class FormatterTyping : public ::testing::TestWithParam<TypingCase> {};

TEST_P(FormatterTyping, OnlyWhatIsTypedIsJudged)
{
  const TypingCase& c = GetParam();
  standin::Reset();
  NSWindow* window = NSWindow::alloc()->initWithContentRect(NSMakeRect(0, 0, 200, 100), NSWindowStyleMaskTitled,
                                                            NSBackingStoreBuffered, NO);
  auto* field = IGraphicsTextField_vVorelle3_au::alloc()->initWithFrame(NSMakeRect(10, 10, 80, 20));
  auto* formatter = IGraphicsFormatter_vVorelle3_au::alloc()->init();
  formatter->setAcceptableCharacterSet(
    NSCharacterSet::characterSetWithCharactersInString(NSString::stringWithUTF8String(c.allowed)));
  formatter->setMaximumLength(c.maxLength);
  field->setFormatter(formatter);
  formatter->release();
  field->setStringValue(
    NSString::stringWithCharacters(reinterpret_cast<const unichar*>(c.opening.data()), c.opening.size()));
  window->contentView()->addSubview(field);
  field->release();
  ASSERT_TRUE(window->makeFirstResponder(field));
  if (c.caretAtEnd)
    field->currentEditor()->setSelectedRange({c.opening.size(), 0});
  if (c.clipboard) {
    NSPasteboard::generalPasteboard()->clearContents();
    NSPasteboard::generalPasteboard()->setString(NSString::stringWithUTF8String(c.clipboard), NSStringPboardType);
  }
  for (char16_t ch : c.typed) {
    const bool paste = ch == u'\x16';
    const char16_t s[2] = {paste ? u'v' : ch, 0};
    NSString* str = NSString::stringWithCharacters(reinterpret_cast<const unichar*>(s), 1);
    window->sendEvent(NSEvent::keyEventWithType(NSEventTypeKeyDown, NSMakePoint(0, 0),
                                                paste ? NSEventModifierFlagCommand : NSEventModifierFlags(0), 0, 0,
                                                nullptr, str, str, NO, 0));
  }
  EXPECT_EQ(field->stringValue()->UTF8String(), c.result) << c.what;
  window->release();
  standin::DrainAutoreleasePools();
}

INSTANTIATE_TEST_SUITE_P(
  Cases, FormatterTyping,
  ::testing::Values(
    TypingCase{"a fourth character over a limit of 3", "0123456789-+", 3, u"", false, u"1234", nullptr, "123"},
    TypingCase{"a double accepts 1 . 5 k but not x", "0123456789.-+kK", 0, u"", false, u"1.5xk", nullptr, "1.5k"},
    TypingCase{"pasted text with a letter is refused whole", "0123456789-+", 0, u"", false, u"\x16", "12a4", ""},
    TypingCase{"pasted digits go in", "0123456789-+", 0, u"", false, u"\x16", "124", "124"},
    TypingCase{"a display value longer than the limit is shown", "0123456789.-+", 4, u"-12.5", false, u"", nullptr,
               "-12.5"},
    TypingCase{"and replaced by typing", "0123456789.-+", 4, u"-12.5", false, u"-7.5", nullptr, "-7.5"},
    TypingCase{"a shown unit can be deleted", "0123456789.-+kK", 8, u"3.0 dB", true,
               u"\x7f\x7f\x7f"
               u"5",
               nullptr, "3.05"},
    TypingCase{"typing after a shown unit is still judged", "0123456789.-+kK", 8, u"3.0 dB", true, u"x", nullptr,
               "3.0 dB"}));

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

} // namespace
} // namespace mactest

namespace mactest {
namespace {

TEST_F(NativeTextEntry, TheFieldTakesTheCachedFaceAtTheStyleSizeTimesDrawScaleAndEmRatio)
{
  OpenHost(1.f, 2.f);
  std::FILE* file = std::fopen("/usr/share/fonts/truetype/roboto/unhinted/RobotoTTF/Roboto-Regular.ttf", "rb");
  ASSERT_NE(file, nullptr);
  std::vector<unsigned char> bytes(1 << 20);
  bytes.resize(std::fread(bytes.data(), 1, bytes.size(), file));
  std::fclose(file);
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
