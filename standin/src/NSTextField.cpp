#include "AppKitInternal.h"

#include <AppKit/AppKit.h>

#include <cmath>

NSString* const NSControlTextDidEndEditingNotification = NSSTR("NSControlTextDidEndEditingNotification");

namespace {
std::u16string Units(NSString* s)
{
  std::u16string u;
  for (NSUInteger i = 0; s && i < s->length(); ++i)
    u.push_back(char16_t(s->characterAtIndex(i)));
  return u;
}
NSString* FromUnits(const std::u16string& u)
{
  return NSString::stringWithCharacters(reinterpret_cast<const unichar*>(u.data()), u.size());
}
template <class T> void Assign(T*& slot, T* value)
{
  if (value)
    value->retain();
  if (slot)
    slot->release();
  slot = value;
}
} // namespace

// ---- Fonts ------------------------------------------------------------------------

NSFont* NSFont::fontWithDescriptor(NSFontDescriptor* descriptor, CGFloat size)
{
  if (!descriptor)
    return nullptr;
  auto* f = new NSFont();
  f->mDescriptor = static_cast<CTFontDescriptorRef>(CFRetain(reinterpret_cast<CTFontDescriptorRef>(descriptor)));
  f->mSize = size > 0 ? size : 12;
  return static_cast<NSFont*>(f->autorelease());
}

NSFont* NSFont::systemFontOfSize(CGFloat size)
{
  auto* f = new NSFont();
  f->mSize = size > 0 ? size : 13;
  return static_cast<NSFont*>(f->autorelease());
}

void NSFont::dealloc()
{
  if (mDescriptor)
    CFRelease(mDescriptor);
  NSObject::dealloc();
}

void NSTextView::setInsertionPointColor(NSColor* color) { Assign(mInsertionColor, color); }

void NSTextView::dealloc()
{
  Assign(mInsertionColor, static_cast<NSColor*>(nullptr));
  NSView::dealloc();
}

// ---- Cells ------------------------------------------------------------------------

NSString* NSCell::stringValue() const { return FromUnits(mText); }
void NSCell::setStringValue(NSString* string) { mText = Units(string); }
void NSCell::setFont(NSFont* font) { Assign(mFont, font); }

NSSize NSCell::cellSize() const
{
  const double size = mFont ? mFont->pointSize() : 13;
  return NSMakeSize(std::ceil(size * 0.6 * double(mText.size())) + 4, std::ceil(size * 1.2) + 4);
}

NSRect NSCell::drawingRectForBounds(NSRect rect)
{
  // A two-point margin on each side.
  return NSMakeRect(rect.origin.x + 2, rect.origin.y + 2, std::max(0.0, rect.size.width - 4),
                    std::max(0.0, rect.size.height - 4));
}

void NSCell::selectWithFrame(NSRect rect, NSView*, NSText* textObj, NSObject*, NSInteger selStart, NSInteger selLength)
{
  mEditingFrame = rect;
  if (textObj)
    textObj->setSelectedRange({NSUInteger(selStart), NSUInteger(selLength)});
}

void NSCell::editWithFrame(NSRect rect, NSView*, NSText*, NSObject*, NSEvent*) { mEditingFrame = rect; }

void NSCell::dealloc()
{
  Assign(mFont, static_cast<NSFont*>(nullptr));
  NSObject::dealloc();
}

NSTextFieldCell* NSTextFieldCell::initTextCell(NSString* string)
{
  setStringValue(string);
  return this;
}

// ---- Text fields -------------------------------------------------------------------

NSTextField* NSTextField::initWithFrame(NSRect frame)
{
  NSView::initWithFrame(frame);
  mCell = NSTextFieldCell::alloc()->initTextCell(NSSTR(""));
  mCell->setEditable(YES);
  return this;
}

void NSTextField::setCell(NSTextFieldCell* cell)
{
  if (!cell)
    return;
  if (mCell) {
    cell->mText = mCell->mText;
    if (!cell->font() && mCell->font())
      cell->setFont(mCell->font());
  }
  Assign(mCell, cell);
}

NSString* NSTextField::stringValue() const { return mCell->stringValue(); }

void NSTextField::setStringValue(NSString* string)
{
  mCell->setStringValue(string);
  if (mEditor)
    mEditor->setSelectedRange({NSUInteger(mCell->mText.size()), 0});
}

void NSTextField::setFont(NSFont* font) { mCell->setFont(font); }
NSFont* NSTextField::font() const { return mCell->font(); }
void NSTextField::setFormatter(NSFormatter* formatter) { Assign(mFormatter, formatter); }
void NSTextField::setTextColor(NSColor* color) { Assign(mTextColor, color); }
void NSTextField::setBackgroundColor(NSColor* color) { Assign(mBackgroundColor, color); }

BOOL NSTextField::becomeFirstResponder()
{
  if (!mCell->isEditable())
    return NO;
  if (!mEditor) {
    mEditor = NSTextView::alloc();
    mEditor->initWithFrame(bounds());
  }
  mCell->selectWithFrame(bounds(), this, mEditor, this, 0, NSInteger(mCell->mText.size()));
  return YES;
}

BOOL NSTextField::resignFirstResponder()
{
  if (mEditor)
    EndEditing();
  return YES;
}

void NSTextField::EndEditing()
{
  if (!mEditor)
    return;
  retain();
  NSTextView* editor = mEditor;
  mEditor = nullptr;
  editor->release();
  if (mDelegate) {
    NSNotification* n = NSNotification::notificationWithName(NSControlTextDidEndEditingNotification, this);
    mDelegate->controlTextDidEndEditing(n);
  }
  release();
}

bool NSTextField::Edit(const std::u16string& text, bool backspace)
{
  const std::u16string& old = mCell->mText;
  NSRange sel = mEditor->selectedRange();
  sel.location = std::min<NSUInteger>(sel.location, old.size());
  sel.length = std::min<NSUInteger>(sel.length, old.size() - sel.location);
  if (backspace && sel.length == 0) {
    if (sel.location == 0)
      return false;
    --sel.location;
    sel.length = 1;
  }
  std::u16string edited = old.substr(0, sel.location) + text + old.substr(sel.location + sel.length);
  NSRange proposed = {sel.location + text.size(), 0};
  if (mFormatter) {
    NSString* partial = FromUnits(edited);
    NSString* error = nullptr;
    if (!mFormatter->isPartialStringValid(&partial, &proposed, FromUnits(old), sel, &error))
      return false;
    edited = Units(partial);
  }
  mCell->mText = edited;
  mEditor->setSelectedRange(proposed);
  return true;
}

void NSTextField::keyDown(NSEvent* event)
{
  if (!mEditor) {
    NSView::keyDown(event);
    return;
  }
  NSString* chars = event->charactersIgnoringModifiers();
  if (!chars || chars->length() == 0)
    return;
  const unichar c = chars->characterAtIndex(0);
  if (event->modifierFlags() & NSEventModifierFlagCommand) {
    if (c == 'a')
      mEditor->setSelectedRange({0, NSUInteger(mCell->mText.size())});
    else if (c == 'v')
      Edit(Units(NSPasteboard::generalPasteboard()->stringForType(NSStringPboardType)), false);
    return;
  }
  if (c == 13 || c == 3 || c == 9 || c == 25) {
    EndEditing();
    return;
  }
  if (c == 127 || c == 8) {
    Edit(u"", true);
    return;
  }
  if (c < 32 || (c >= 0xF700 && c <= 0xF8FF))
    return; // arrows, function keys and other controls insert nothing
  Edit(Units(event->characters() ? event->characters() : chars), false);
}

void NSTextField::dealloc()
{
  if (mEditor)
    mEditor->release();
  Assign(mCell, static_cast<NSTextFieldCell*>(nullptr));
  Assign(mFormatter, static_cast<NSFormatter*>(nullptr));
  Assign(mTextColor, static_cast<NSColor*>(nullptr));
  Assign(mBackgroundColor, static_cast<NSColor*>(nullptr));
  NSView::dealloc();
}

// ---- Formatters and character sets ---------------------------------------------------

NSCharacterSet* NSCharacterSet::characterSetWithCharactersInString(NSString* characters)
{
  auto* set = new NSCharacterSet();
  for (NSUInteger i = 0; characters && i < characters->length(); ++i)
    set->mMembers.insert(characters->characterAtIndex(i));
  return static_cast<NSCharacterSet*>(set->autorelease());
}

BOOL NSFormatter::isPartialStringValid(NSString*, NSString**, NSString**) { return YES; }

BOOL NSFormatter::isPartialStringValid(NSString** partialString, NSRange*, NSString*, NSRange, NSString** error)
{
  NSString* replacement = nullptr;
  const BOOL ok = isPartialStringValid(partialString ? *partialString : nullptr, &replacement, error);
  if (ok && replacement && partialString)
    *partialString = replacement;
  return ok;
}
