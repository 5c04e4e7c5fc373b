// Views and windows, as far as a host embeds a plug-in's view: a tree of
// views that retain their subviews, and the window they live in. Moving a
// view into or out of a window calls viewWillMoveToWindow/viewDidMoveToWindow
// on it and on every view below it. Main thread only.
#pragma once

#include <Foundation/NSArray.h>
#include <Foundation/NSGeometry.h>
#include <Foundation/NSObject.h>

#include <vector>

class NSWindow;

class NS_EXPORT NSResponder : public NSObject {
public:
  const char* className() const override { return "NSResponder"; }

protected:
  NSResponder() = default;
};

class NS_EXPORT NSView : public NSResponder {
public:
  static NSView* alloc() { return new NSView(); }
  NSView* init() override { return initWithFrame(NSMakeRect(0, 0, 0, 0)); }
  virtual NSView* initWithFrame(NSRect frameRect);

  NSRect frame() const { return mFrame; }
  NSRect bounds() const { return NSMakeRect(0, 0, mFrame.size.width, mFrame.size.height); }
  virtual void setFrame(NSRect frameRect) { mFrame = frameRect; }
  void setFrameSize(NSSize newSize);
  void setFrameOrigin(NSPoint newOrigin);

  // The superview retains the view until removeFromSuperview.
  void addSubview(NSView* view);
  void removeFromSuperview();
  NSView* superview() const { return mSuperview; }
  NSArray* subviews() const; // autoreleased
  NSWindow* window() const { return mWindow; }

  virtual void viewWillMoveToWindow(NSWindow* newWindow) { (void)newWindow; }
  virtual void viewDidMoveToWindow() {}

  virtual void setNeedsDisplay(BOOL flag) { mNeedsDisplay = flag; }
  virtual void setNeedsDisplayInRect(NSRect invalidRect) { (void)invalidRect, mNeedsDisplay = YES; }
  BOOL needsDisplay() const { return mNeedsDisplay; }
  virtual BOOL isFlipped() { return NO; }
  void setHidden(BOOL hidden) { mHidden = hidden; }
  BOOL isHidden() const { return mHidden; }

  const char* className() const override { return "NSView"; }

protected:
  NSView() = default;
  void dealloc() override;

private:
  friend class NSWindow;
  void MoveToWindow(NSWindow* window);

  NSRect mFrame = NSMakeRect(0, 0, 0, 0);
  NSView* mSuperview = nullptr;
  NSWindow* mWindow = nullptr;
  std::vector<NSView*> mSubviews; // retained
  BOOL mNeedsDisplay = NO;
  BOOL mHidden = NO;
};

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
  NSWindow* initWithContentRect(NSRect contentRect, NSWindowStyleMask style, NSBackingStoreType backing, BOOL defer);

  NSView* contentView() const { return mContentView; }
  // Retains the new content view and moves it into the window; the old one
  // leaves the window and is released.
  void setContentView(NSView* view);
  NSRect frame() const { return mFrame; }
  CGFloat backingScaleFactor() const { return mBackingScale; }
  void setBackingScaleFactor(CGFloat scale) { mBackingScale = scale; } // stand-in: the screen's scale
  // Takes the content view out of the window (and releases it).
  void close();

  const char* className() const override { return "NSWindow"; }

protected:
  NSWindow() = default;
  void dealloc() override;

private:
  NSRect mFrame = NSMakeRect(0, 0, 0, 0);
  NSView* mContentView = nullptr;
  CGFloat mBackingScale = 1.0;
};
