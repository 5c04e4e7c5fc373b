#include "AppKitInternal.h"

#include <AppKit/AppKit.h>

#include <algorithm>

NSString* const NSWindowDidResignKeyNotification = NSSTR("NSWindowDidResignKeyNotification");
NSString* const NSWindowDidResignMainNotification = NSSTR("NSWindowDidResignMainNotification");

namespace {
std::vector<NSWindow*>& Windows()
{
  static std::vector<NSWindow*> windows;
  return windows;
}
} // namespace

// ---- Responder chain -----------------------------------------------------------

#define FORWARD(method)                                                                                                \
  void NSResponder::method(NSEvent* event)                                                                             \
  {                                                                                                                    \
    if (mNextResponder)                                                                                                \
      mNextResponder->method(event);                                                                                   \
  }
FORWARD(mouseDown)
FORWARD(rightMouseDown)
FORWARD(mouseUp)
FORWARD(rightMouseUp)
FORWARD(mouseDragged)
FORWARD(rightMouseDragged)
FORWARD(mouseMoved)
FORWARD(scrollWheel)
FORWARD(keyDown)
FORWARD(keyUp)
#undef FORWARD
// Entering and leaving go to the tracking area's owner only.
void NSResponder::mouseEntered(NSEvent*) {}
void NSResponder::mouseExited(NSEvent*) {}

// ---- Window --------------------------------------------------------------------

NSWindow* NSWindow::initWithContentRect(NSRect contentRect, NSWindowStyleMask, NSBackingStoreType, BOOL)
{
  mFrame = contentRect;
  mBackingScale = standin::appkit::Person().screenScale;
  Windows().push_back(this);
  NSView* content = NSView::alloc()->initWithFrame(NSMakeRect(0, 0, contentRect.size.width, contentRect.size.height));
  setContentView(content);
  content->release();
  return this;
}

void NSWindow::setContentView(NSView* view)
{
  if (view == mContentView)
    return;
  if (view) {
    view->retain();
    view->removeFromSuperview();
  }
  NSView* old = mContentView;
  mContentView = view;
  if (old) {
    old->setNextResponder(nullptr);
    old->MoveToWindow(nullptr);
    old->release();
  }
  if (view) {
    view->setNextResponder(this);
    view->MoveToWindow(this);
  }
}

void NSWindow::close() { setContentView(nullptr); }

void NSWindow::setBackingScaleFactor(CGFloat scale)
{
  if (scale == mBackingScale)
    return;
  mBackingScale = scale;
  if (mContentView)
    mContentView->BackingChanged();
}

BOOL NSWindow::makeFirstResponder(NSResponder* responder)
{
  if (responder == mFirstResponder)
    return YES;
  if (auto* view = dynamic_cast<NSView*>(responder))
    if (view->window() != this || !view->acceptsFirstResponder())
      return NO;
  if (mFirstResponder) {
    NSResponder* old = mFirstResponder;
    if (!old->resignFirstResponder())
      return NO;
    if (mFirstResponder != old) // the old responder moved focus itself
      return mFirstResponder == responder;
  }
  mFirstResponder = nullptr;
  if (responder && !responder->becomeFirstResponder())
    return NO;
  mFirstResponder = responder;
  return YES;
}

void NSWindow::makeKeyAndOrderFront(NSObject*) { mKey = YES; }

void NSWindow::resignKeyWindow()
{
  mKey = NO;
  retain();
  NSNotificationCenter::defaultCenter()->postNotificationName(NSWindowDidResignKeyNotification, this);
  NSNotificationCenter::defaultCenter()->postNotificationName(NSWindowDidResignMainNotification, this);
  release();
}

NSRect NSWindow::convertRectToScreen(NSRect rect) const
{
  return NSMakeRect(rect.origin.x + mFrame.origin.x, rect.origin.y + mFrame.origin.y, rect.size.width,
                    rect.size.height);
}

NSRect NSWindow::convertRectFromScreen(NSRect rect) const
{
  return NSMakeRect(rect.origin.x - mFrame.origin.x, rect.origin.y - mFrame.origin.y, rect.size.width,
                    rect.size.height);
}

void NSWindow::ForgetView(NSView* view)
{
  for (NSTrackingArea* area : view->mTrackingAreas)
    mInside.erase(area);
  if (mMouseTarget == view) {
    mMouseTarget = nullptr;
    view->release();
  }
  if (mFirstResponder == view) {
    // A field that leaves while editing ends its editing.
    view->resignFirstResponder();
    if (mFirstResponder == view)
      mFirstResponder = nullptr;
  }
}

void NSWindow::UpdateTracking(NSPoint base)
{
  std::vector<NSView*> views;
  if (mContentView)
    views.push_back(mContentView);
  struct Change {
    NSTrackingArea* area;
    NSView* view;
    bool entered;
  };
  std::vector<Change> changes;
  for (size_t i = 0; i < views.size(); ++i) {
    NSView* v = views[i];
    for (NSView* child : v->mSubviews)
      views.push_back(child);
    const NSPoint p = v->convertPoint(base, nullptr);
    for (NSTrackingArea* area : v->mTrackingAreas) {
      if (mMouseTarget && !(area->options() & NSTrackingEnabledDuringMouseDrag))
        continue;
      const NSRect r = area->rect();
      const bool in = !v->isHidden() && p.x >= r.origin.x && p.y >= r.origin.y && p.x < r.origin.x + r.size.width &&
                      p.y < r.origin.y + r.size.height;
      bool& was = mInside[area];
      if (in != was) {
        was = in;
        changes.push_back({area, v, in});
      }
    }
  }
  for (const Change& c : changes) {
    NSResponder* owner = c.area->owner();
    if (!owner)
      continue;
    NSEvent* e = NSEvent::Make(c.entered ? NSEventTypeMouseEntered : NSEventTypeMouseExited, base, 0);
    e->SetWindow(this);
    if (c.entered)
      owner->mouseEntered(e);
    else
      owner->mouseExited(e);
  }
}

void NSWindow::sendEvent(NSEvent* event)
{
  if (!event)
    return;
  retain();
  event->retain();
  event->SetWindow(this);
  const NSEventType type = event->type();
  const NSPoint base = event->locationInWindow();
  const bool mouse = type != NSEventTypeKeyDown && type != NSEventTypeKeyUp;
  if (mouse) {
    const NSRect screen = convertRectToScreen(NSMakeRect(base.x, base.y, 0, 0));
    standin::SetPointer(screen.origin.x, screen.origin.y);
  }
  NSView* hit = nullptr;
  if (mContentView && mouse)
    hit = mContentView->hitTest(mContentView->convertPoint(base, nullptr));
  switch (type) {
  case NSEventTypeLeftMouseDown:
  case NSEventTypeRightMouseDown:
    if (hit) {
      if (mMouseTarget)
        mMouseTarget->release();
      mMouseTarget = hit;
      hit->retain();
      if (hit->acceptsFirstResponder())
        makeFirstResponder(hit);
      if (mMouseTarget == hit) {
        if (type == NSEventTypeLeftMouseDown)
          hit->mouseDown(event);
        else
          hit->rightMouseDown(event);
      }
    }
    break;
  case NSEventTypeLeftMouseDragged:
  case NSEventTypeRightMouseDragged:
    UpdateTracking(base);
    if (mMouseTarget) {
      if (type == NSEventTypeLeftMouseDragged)
        mMouseTarget->mouseDragged(event);
      else
        mMouseTarget->rightMouseDragged(event);
    }
    break;
  case NSEventTypeLeftMouseUp:
  case NSEventTypeRightMouseUp:
    if (NSView* target = mMouseTarget) {
      mMouseTarget = nullptr;
      if (type == NSEventTypeLeftMouseUp)
        target->mouseUp(event);
      else
        target->rightMouseUp(event);
      target->release();
    }
    UpdateTracking(base);
    break;
  case NSEventTypeMouseMoved:
    UpdateTracking(base);
    if (mAcceptsMouseMoved && mFirstResponder)
      mFirstResponder->mouseMoved(event);
    break;
  case NSEventTypeScrollWheel:
    if (hit)
      hit->scrollWheel(event);
    break;
  case NSEventTypeKeyDown:
    if (mFirstResponder)
      mFirstResponder->keyDown(event);
    break;
  case NSEventTypeKeyUp:
    if (mFirstResponder)
      mFirstResponder->keyUp(event);
    break;
  default: break;
  }
  event->release();
  release();
}

void NSWindow::dealloc()
{
  close();
  if (mMouseTarget)
    mMouseTarget->release();
  std::erase(Windows(), this);
  NSResponder::dealloc();
}

namespace standin {
void SetAppAppearance(const std::string& name)
{
  appkit::Person().appearance = name;
  const std::vector<NSWindow*> windows = Windows();
  for (NSWindow* w : windows)
    if (w->contentView() && !w->contentView()->appearance())
      w->contentView()->setAppearance(nullptr);
}
} // namespace standin
