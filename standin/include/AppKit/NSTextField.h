// Text fields with editing. A field that becomes first responder starts
// editing through its cell (selectWithFrame, the whole text selected) with
// a field editor; key events then edit the text: characters replace the
// selection, delete (127) removes it or the character before, command-a
// selects all, command-v pastes the general pasteboard's string as one edit,
// return, enter and tab end the editing. The formatter judges every edit
// (a refused edit changes nothing); ending the editing, or resigning first
// responder while editing, tells the delegate (controlTextDidEndEditing).
#pragma once

#include <AppKit/NSView.h>
#include <Foundation/NSFormatter.h>
#include <Foundation/NSNotification.h>

#include <CoreText/CTFontDescriptor.h>

#include <string>

class NSColor;
class NSFont;
class NSFontDescriptor; // toll-free bridged with CTFontDescriptorRef

typedef NSUInteger NSTextAlignment;
enum : NSTextAlignment { NSTextAlignmentLeft = 0, NSTextAlignmentRight = 1, NSTextAlignmentCenter = 2 };
typedef NSUInteger NSLineBreakMode;
enum : NSLineBreakMode { NSLineBreakByTruncatingTail = 4 };
typedef NSUInteger NSFocusRingType;
enum : NSFocusRingType { NSFocusRingTypeDefault = 0, NSFocusRingTypeNone = 1 };

class NS_EXPORT NSFont : public NSObject {
public:
  static NSFont* fontWithDescriptor(NSFontDescriptor* descriptor, CGFloat size); // autoreleased; nil without one
  static NSFont* systemFontOfSize(CGFloat size);                                 // autoreleased
  CGFloat pointSize() const { return mSize; }
  CTFontDescriptorRef fontDescriptor() const { return mDescriptor; }
  const char* className() const override { return "NSFont"; }

protected:
  NSFont() = default;
  void dealloc() override;

private:
  CTFontDescriptorRef mDescriptor = nullptr; // retained
  CGFloat mSize = 12;
};

// The field editor: the text being edited and its selection.
class NS_EXPORT NSTextView : public NSView {
public:
  static NSTextView* alloc() { return new NSTextView(); }
  void setInsertionPointColor(NSColor* color);
  NSColor* insertionPointColor() const { return mInsertionColor; }
  NSRange selectedRange() const { return mSelection; }
  void setSelectedRange(NSRange range) { mSelection = range; }
  const char* className() const override { return "NSTextView"; }

protected:
  NSTextView() = default;
  void dealloc() override;

private:
  NSColor* mInsertionColor = nullptr; // retained
  NSRange mSelection = {0, 0};
};
typedef NSTextView NSText;

class NS_EXPORT NSCell : public NSObject {
public:
  NSString* stringValue() const;
  void setStringValue(NSString* string);
  void setFont(NSFont* font);
  NSFont* font() const { return mFont; }
  void setEditable(BOOL editable) { mEditable = editable; }
  BOOL isEditable() const { return mEditable; }
  void setLineBreakMode(NSLineBreakMode mode) { mLineBreakMode = mode; }
  NSLineBreakMode lineBreakMode() const { return mLineBreakMode; }
  void setAllowsEditingTextAttributes(BOOL allows) { mAllowsAttributes = allows; }
  BOOL allowsEditingTextAttributes() const { return mAllowsAttributes; }
  // The size the text needs: one line of the font plus the cell's margins.
  NSSize cellSize() const;
  virtual NSRect drawingRectForBounds(NSRect rect);
  // Editing begins in the frame given; the stand-in records it.
  virtual void selectWithFrame(NSRect rect, NSView* controlView, NSText* textObj, NSObject* delegate,
                               NSInteger selStart, NSInteger selLength);
  virtual void editWithFrame(NSRect rect, NSView* controlView, NSText* textObj, NSObject* delegate, NSEvent* event);
  NSRect EditingFrame() const { return mEditingFrame; } // stand-in
  const char* className() const override { return "NSCell"; }

protected:
  NSCell() = default;
  void dealloc() override;
  std::u16string mText;

private:
  friend class NSTextField;
  NSFont* mFont = nullptr; // retained
  NSRect mEditingFrame = NSMakeRect(0, 0, 0, 0);
  NSLineBreakMode mLineBreakMode = 0;
  BOOL mEditable = NO;
  BOOL mAllowsAttributes = YES;
};

class NS_EXPORT NSTextFieldCell : public NSCell {
public:
  static NSTextFieldCell* alloc() { return new NSTextFieldCell(); }
  NSTextFieldCell* initTextCell(NSString* string);
  void setDrawsBackground(BOOL draws) { mDrawsBackground = draws; }
  BOOL drawsBackground() const { return mDrawsBackground; }
  const char* className() const override { return "NSTextFieldCell"; }

protected:
  NSTextFieldCell() = default;

private:
  BOOL mDrawsBackground = NO;
};

// NSTextFieldDelegate / NSControlTextEditingDelegate.
class NS_EXPORT NSTextFieldDelegate {
public:
  virtual ~NSTextFieldDelegate() = default;
  virtual void controlTextDidEndEditing(NSNotification* notification) { (void)notification; }
};

class NS_EXPORT NSTextField : public NSView {
public:
  static NSTextField* alloc() { return new NSTextField(); }
  NSTextField* initWithFrame(NSRect frame) override;

  NSTextFieldCell* cell() const { return mCell; }
  void setCell(NSTextFieldCell* cell);
  NSString* stringValue() const; // autoreleased
  void setStringValue(NSString* string);
  void setFont(NSFont* font);
  NSFont* font() const;
  void setAlignment(NSTextAlignment alignment) { mAlignment = alignment; }
  NSTextAlignment alignment() const { return mAlignment; }
  void setFormatter(NSFormatter* formatter);
  NSFormatter* formatter() const { return mFormatter; }
  void setTextColor(NSColor* color);
  NSColor* textColor() const { return mTextColor; }
  void setBackgroundColor(NSColor* color);
  NSColor* backgroundColor() const { return mBackgroundColor; }
  void setBordered(BOOL bordered) { mBordered = bordered; }
  BOOL isBordered() const { return mBordered; }
  void setFocusRingType(NSFocusRingType type) { mFocusRing = type; }
  NSFocusRingType focusRingType() const { return mFocusRing; }
  void setDelegate(NSTextFieldDelegate* delegate) { mDelegate = delegate; }
  NSTextFieldDelegate* delegate() const { return mDelegate; }
  // The field editor while editing, else nil.
  NSText* currentEditor() const { return mEditor; }

  BOOL acceptsFirstResponder() override { return YES; }
  BOOL becomeFirstResponder() override;
  BOOL resignFirstResponder() override;
  void keyDown(NSEvent* event) override;
  const char* className() const override { return "NSTextField"; }

protected:
  NSTextField() = default;
  void dealloc() override;

private:
  // Replaces the selection with text when the formatter allows it.
  bool Edit(const std::u16string& text, bool backspace);
  void EndEditing();

  NSTextFieldCell* mCell = nullptr;    // retained
  NSFormatter* mFormatter = nullptr;   // retained
  NSColor* mTextColor = nullptr;       // retained
  NSColor* mBackgroundColor = nullptr; // retained
  NSTextView* mEditor = nullptr;       // retained while editing
  NSTextFieldDelegate* mDelegate = nullptr;
  NSTextAlignment mAlignment = NSTextAlignmentLeft;
  NSFocusRingType mFocusRing = NSFocusRingTypeDefault;
  BOOL mBordered = YES;
};

NS_EXPORT extern NSString* const NSControlTextDidEndEditingNotification;
