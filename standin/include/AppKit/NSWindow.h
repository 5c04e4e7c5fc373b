// Windows: a content view, a first responder, key and main status, a backing
// scale, and the dispatch of events to views as the platform does it (mouse
// downs to the view under the pointer, which then gets the drags and the up;
// keys and moves to the first responder; wheel turns to the view under the
// pointer; tracking areas told of entering and leaving).
#pragma once

#include <AppKit/NSView.h>

#include <map>

typedef NSUInteger NSWindowStyleMask;
enum : NSWindowStyleMask {
  NSWindowStyleMaskBorderless = 0,
  NSWindowStyleMaskTitled = 1 << 0,
  NSWindowStyleMaskClosable = 1 << 1,
  NSWindowStyleMaskMiniaturizable = 1 << 2,
  NSWindowStyleMaskResizable = 1 << 3
};
typedef NSUInteger NSBackingStoreType;
enum : NSBackingStoreType { NSBackingStoreBuffered = 2 };

class NS_EXPORT NSWindow : public NSResponder {
public:
  static NSWindow* alloc() { return new NSWindow(); }
  // contentRect is in screen coordinates (y up); the backing scale is the
  // main screen's.
  NSWindow* initWithContentRect(NSRect contentRect, NSWindowStyleMask style, NSBackingStoreType backing, BOOL defer);

  NSView* contentView() const { return mContentView; }
  // Retains the new content view and moves it into the window; the old one
  // leaves the window and is released.
  void setContentView(NSView* view);
  NSRect frame() const { return mFrame; }
  CGFloat backingScaleFactor() const { return mBackingScale; }
  // Stand-in: the window moved to a screen of another scale; views are told.
  void setBackingScaleFactor(CGFloat scale);
  // Takes the content view out of the window (and releases it).
  void close();

  NSResponder* firstResponder() const { return mFirstResponder; }
  // The old responder may refuse to resign (NO); a view that does not accept
  // first responder is refused; nil makes the window the first responder.
  BOOL makeFirstResponder(NSResponder* responder);
  void makeKeyAndOrderFront(NSObject* sender);
  BOOL isKeyWindow() const { return mKey; }
  // Posts NSWindowDidResignKeyNotification and NSWindowDidResignMainNotification.
  void resignKeyWindow();
  void setAcceptsMouseMovedEvents(BOOL accepts) { mAcceptsMouseMoved = accepts; }
  BOOL acceptsMouseMovedEvents() const { return mAcceptsMouseMoved; }

  NSRect convertRectToScreen(NSRect rect) const;
  NSRect convertRectFromScreen(NSRect rect) const;

  // Delivers an event as the platform's event loop does; a mouse event also
  // moves the system pointer to its location.
  void sendEvent(NSEvent* event);

  const char* className() const override { return "NSWindow"; }

protected:
  NSWindow() = default;
  void dealloc() override;

private:
  friend class NSView;
  void UpdateTracking(NSPoint windowPoint);
  void ForgetView(NSView* view);

  NSRect mFrame = NSMakeRect(0, 0, 0, 0);
  NSView* mContentView = nullptr;
  NSResponder* mFirstResponder = nullptr; // not retained
  NSView* mMouseTarget = nullptr;         // retained from a mouse down to its up
  std::map<NSTrackingArea*, bool> mInside;
  CGFloat mBackingScale = 1.0;
  BOOL mKey = NO;
  BOOL mAcceptsMouseMoved = NO;
};

NS_EXPORT extern NSString* const NSWindowDidResignKeyNotification;
NS_EXPORT extern NSString* const NSWindowDidResignMainNotification;
