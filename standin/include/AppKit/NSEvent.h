// Events as the window delivers them. Tests make mouse and key events with
// the platform's factory methods (and wheel turns through standin/Testing.h)
// and hand them to NSWindow::sendEvent.
#pragma once

#include <Foundation/NSGeometry.h>
#include <AppKit/NSResponder.h>
#include <Foundation/NSString.h>

class NSWindow;

typedef NSUInteger NSEventType;
enum : NSEventType {
  NSEventTypeLeftMouseDown = 1,
  NSEventTypeLeftMouseUp = 2,
  NSEventTypeRightMouseDown = 3,
  NSEventTypeRightMouseUp = 4,
  NSEventTypeMouseMoved = 5,
  NSEventTypeLeftMouseDragged = 6,
  NSEventTypeRightMouseDragged = 7,
  NSEventTypeMouseEntered = 8,
  NSEventTypeMouseExited = 9,
  NSEventTypeKeyDown = 10,
  NSEventTypeKeyUp = 11,
  NSEventTypeScrollWheel = 22
};
typedef NSUInteger NSEventModifierFlags;
enum : NSEventModifierFlags {
  NSEventModifierFlagCapsLock = 1 << 16,
  NSEventModifierFlagShift = 1 << 17,
  NSEventModifierFlagControl = 1 << 18,
  NSEventModifierFlagOption = 1 << 19,
  NSEventModifierFlagCommand = 1 << 20
};
typedef short NSEventSubtype;
enum : NSEventSubtype { NSEventSubtypeMouseEvent = 0, NSEventSubtypeTabletPoint = 1 };

// Function-key characters of charactersIgnoringModifiers.
enum : unichar { NSUpArrowFunctionKey = 0xF700, NSF1FunctionKey = 0xF704, NSF24FunctionKey = 0xF71B };

class NS_EXPORT NSEvent : public NSObject {
public:
  // Autoreleased.
  static NSEvent* mouseEventWithType(NSEventType type, NSPoint location, NSEventModifierFlags flags, double time,
                                     NSInteger windowNumber, NSObject* context, NSInteger eventNumber,
                                     NSInteger clickCount, float pressure);
  static NSEvent* keyEventWithType(NSEventType type, NSPoint location, NSEventModifierFlags flags, double time,
                                   NSInteger windowNumber, NSObject* context, NSString* characters,
                                   NSString* charactersIgnoringModifiers, BOOL isARepeat, unsigned short keyCode);
  // The system pointer in screen coordinates (y up).
  static NSPoint mouseLocation();

  NSEventType type() const { return mType; }
  NSEventSubtype subtype() const { return mSubtype; }
  NSPoint locationInWindow() const { return mLocation; }
  NSEventModifierFlags modifierFlags() const { return mFlags; }
  NSInteger clickCount() const { return mClickCount; }
  unsigned short keyCode() const { return mKeyCode; }
  NSString* characters() const { return mCharacters; }
  NSString* charactersIgnoringModifiers() const { return mCharactersIgnoringModifiers; }
  CGFloat deltaX() const { return mDeltaX; }
  CGFloat deltaY() const { return mDeltaY; }
  NSWindow* window() const { return mWindow; }
  const char* className() const override { return "NSEvent"; }

  // Stand-in: what only the event system sets (tablet subtype, wheel deltas,
  // the window an event was sent to).
  void SetSubtype(NSEventSubtype subtype) { mSubtype = subtype; }
  void SetDeltas(CGFloat dx, CGFloat dy) { mDeltaX = dx, mDeltaY = dy; }
  void SetWindow(NSWindow* window) { mWindow = window; }
  static NSEvent* Make(NSEventType type, NSPoint location, NSEventModifierFlags flags); // autoreleased

protected:
  NSEvent() = default;
  void dealloc() override;

private:
  NSEventType mType = 0;
  NSEventSubtype mSubtype = 0;
  NSPoint mLocation = NSMakePoint(0, 0);
  NSEventModifierFlags mFlags = 0;
  NSInteger mClickCount = 0;
  unsigned short mKeyCode = 0;
  NSString* mCharacters = nullptr;                  // retained
  NSString* mCharactersIgnoringModifiers = nullptr; // retained
  CGFloat mDeltaX = 0;
  CGFloat mDeltaY = 0;
  NSWindow* mWindow = nullptr;
};

typedef NSUInteger NSTrackingAreaOptions;
enum : NSTrackingAreaOptions {
  NSTrackingMouseEnteredAndExited = 0x01,
  NSTrackingMouseMoved = 0x02,
  NSTrackingActiveAlways = 0x80,
  NSTrackingEnabledDuringMouseDrag = 0x400
};

// A rectangle of a view whose owner is told when the pointer enters and
// leaves it (mouseEntered / mouseExited).
class NS_EXPORT NSTrackingArea : public NSObject {
public:
  static NSTrackingArea* alloc() { return new NSTrackingArea(); }
  NSTrackingArea* initWithRect(NSRect rect, NSTrackingAreaOptions options, NSResponder* owner, NSObject* userInfo);
  NSRect rect() const { return mRect; }
  NSTrackingAreaOptions options() const { return mOptions; }
  NSResponder* owner() const { return mOwner; }
  const char* className() const override { return "NSTrackingArea"; }

protected:
  NSTrackingArea() = default;

private:
  NSRect mRect = NSMakeRect(0, 0, 0, 0);
  NSTrackingAreaOptions mOptions = 0;
  NSResponder* mOwner = nullptr; // not retained
};
