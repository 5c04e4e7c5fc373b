#pragma once
// The native text field of the editor, its vertically centring cell, and
// the formatter that limits what may be typed into it.

#include <AppKit/AppKit.h>

class IGraphicsTextField_vVorelle3_au : public NSTextField {
public:
  static IGraphicsTextField_vVorelle3_au* alloc() { return new IGraphicsTextField_vVorelle3_au(); }
  // The caret takes the text colour.
  BOOL becomeFirstResponder() override;
  const char* className() const override { return "IGraphicsTextField_vVorelle3_au"; }

protected:
  IGraphicsTextField_vVorelle3_au() = default;
};

class IGraphicsTextFieldCell_vVorelle3_au : public NSTextFieldCell {
public:
  static IGraphicsTextFieldCell_vVorelle3_au* alloc() { return new IGraphicsTextFieldCell_vVorelle3_au(); }
  // The text's own height centred in the field.
  NSRect drawingRectForBounds(NSRect rect) override;
  void selectWithFrame(NSRect rect, NSView* controlView, NSText* textObj, NSObject* delegate, NSInteger selStart,
                       NSInteger selLength) override;
  void editWithFrame(NSRect rect, NSView* controlView, NSText* textObj, NSObject* delegate, NSEvent* event) override;
  const char* className() const override { return "IGraphicsTextFieldCell_vVorelle3_au"; }

protected:
  IGraphicsTextFieldCell_vVorelle3_au() = default;

private:
  bool mIsEditingOrSelecting = false;
};

// Judges what is typed: each typed character must be in the acceptable set
// (when one is set), an edit may not make the text longer than the maximum
// length (0: no limit) unless it makes it shorter, and the maximum value
// (0: none) bounds the text's integer value. Text the field was opened with
// is never judged, so a shown unit or a longer display value stays editable.
class IGraphicsFormatter_vVorelle3_au : public NSFormatter {
public:
  static IGraphicsFormatter_vVorelle3_au* alloc() { return new IGraphicsFormatter_vVorelle3_au(); }
  IGraphicsFormatter_vVorelle3_au* init() override { return this; }
  void setAcceptableCharacterSet(NSCharacterSet* set);
  void setMaximumLength(int length) { maxLength = length; }
  void setMaximumValue(int value) { maxValue = value; }
  NSString* stringForObjectValue(NSObject* object) override;
  BOOL getObjectValue(NSObject** object, NSString* string, NSString** error) override;
  BOOL isPartialStringValid(NSString* partialString, NSString** newString, NSString** error) override;
  BOOL isPartialStringValid(NSString** partialString, NSRange* proposedSelection, NSString* originalString,
                            NSRange originalSelection, NSString** error) override;
  const char* className() const override { return "IGraphicsFormatter_vVorelle3_au"; }

protected:
  IGraphicsFormatter_vVorelle3_au() = default;
  void dealloc() override;

private:
  NSCharacterSet* filterCharacterSet = nullptr; // retained
  int maxLength = 0;
  int maxValue = 0;
};
