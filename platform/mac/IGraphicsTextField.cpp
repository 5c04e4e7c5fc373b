#include "IGraphicsTextField.h"

#include <algorithm>

namespace {
const bool kRegistered = [] {
  objc_registerClass("IGraphicsTextField_vVorelle3_au", objc_getClass("NSView"),
                     []() -> NSObject* { return IGraphicsTextField_vVorelle3_au::alloc(); });
  objc_registerClass("IGraphicsTextFieldCell_vVorelle3_au", objc_getClass("NSObject"),
                     []() -> NSObject* { return IGraphicsTextFieldCell_vVorelle3_au::alloc(); });
  objc_registerClass("IGraphicsFormatter_vVorelle3_au", objc_getClass("NSObject"),
                     []() -> NSObject* { return IGraphicsFormatter_vVorelle3_au::alloc(); });
  return true;
}();
} // namespace

BOOL IGraphicsTextField_vVorelle3_au::becomeFirstResponder()
{
  const BOOL became = NSTextField::becomeFirstResponder();
  if (became && currentEditor())
    currentEditor()->setInsertionPointColor(textColor());
  return became;
}

NSRect IGraphicsTextFieldCell_vVorelle3_au::drawingRectForBounds(NSRect rect)
{
  NSRect r = NSTextFieldCell::drawingRectForBounds(rect);
  if (!mIsEditingOrSelecting) {
    const float d = float(r.size.height - cellSize().height);
    r.size.height -= d;
    r.origin.y += d * 0.5;
  }
  return r;
}

void IGraphicsTextFieldCell_vVorelle3_au::selectWithFrame(NSRect rect, NSView* controlView, NSText* textObj,
                                                          NSObject* delegate, NSInteger selStart, NSInteger selLength)
{
  const NSRect r = drawingRectForBounds(rect);
  mIsEditingOrSelecting = true;
  NSTextFieldCell::selectWithFrame(r, controlView, textObj, delegate, selStart, selLength);
  mIsEditingOrSelecting = false;
}

void IGraphicsTextFieldCell_vVorelle3_au::editWithFrame(NSRect rect, NSView* controlView, NSText* textObj,
                                                        NSObject* delegate, NSEvent* event)
{
  const NSRect r = drawingRectForBounds(rect);
  mIsEditingOrSelecting = true;
  NSTextFieldCell::editWithFrame(r, controlView, textObj, delegate, event);
  mIsEditingOrSelecting = false;
}

void IGraphicsFormatter_vVorelle3_au::setAcceptableCharacterSet(NSCharacterSet* set)
{
  if (set)
    set->retain();
  if (filterCharacterSet)
    filterCharacterSet->release();
  filterCharacterSet = set;
}

NSString* IGraphicsFormatter_vVorelle3_au::stringForObjectValue(NSObject* object)
{
  return dynamic_cast<NSString*>(object);
}

BOOL IGraphicsFormatter_vVorelle3_au::getObjectValue(NSObject** object, NSString* string, NSString**)
{
  if (object && string)
    *object = NSString::stringWithString(string);
  return YES;
}

BOOL IGraphicsFormatter_vVorelle3_au::isPartialStringValid(NSString* partialString, NSString**, NSString**)
{
  if (!partialString)
    return YES;
  if (filterCharacterSet)
    for (NSUInteger i = 0; i < partialString->length(); ++i)
      if (!filterCharacterSet->characterIsMember(partialString->characterAtIndex(i)))
        return NO;
  if (maxLength && partialString->length() > NSUInteger(maxLength))
    return NO;
  if (maxValue)
    return partialString->intValue() <= maxValue;
  return YES;
}

BOOL IGraphicsFormatter_vVorelle3_au::isPartialStringValid(NSString** partialString, NSRange*, NSString* originalString,
                                                           NSRange originalSelection, NSString**)
{
  NSString* partial = partialString ? *partialString : nullptr;
  if (!partial)
    return YES;
  const NSUInteger newLength = partial->length();
  const NSUInteger oldLength = originalString ? originalString->length() : 0;
  const NSUInteger kept = oldLength - std::min(originalSelection.length, oldLength);
  const NSUInteger typedFrom = std::min(originalSelection.location, newLength);
  const NSUInteger typedCount = newLength > kept ? std::min(newLength - kept, newLength - typedFrom) : 0;
  if (filterCharacterSet)
    for (NSUInteger i = typedFrom; i < typedFrom + typedCount; ++i)
      if (!filterCharacterSet->characterIsMember(partial->characterAtIndex(i)))
        return NO;
  if (maxLength && newLength > NSUInteger(maxLength) && newLength > oldLength)
    return NO;
  if (maxValue)
    return partial->intValue() <= maxValue;
  return YES;
}

void IGraphicsFormatter_vVorelle3_au::dealloc()
{
  setAcceptableCharacterSet(nullptr);
  NSFormatter::dealloc();
}
