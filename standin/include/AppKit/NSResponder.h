// The responder chain: an event method a responder does not handle goes to
// its next responder (a view's superview, a content view's window).
#pragma once

#include <Foundation/NSObject.h>

class NSEvent;

class NS_EXPORT NSResponder : public NSObject {
public:
  NSResponder* nextResponder() const { return mNextResponder; }
  void setNextResponder(NSResponder* next) { mNextResponder = next; }

  virtual BOOL acceptsFirstResponder() { return NO; }
  virtual BOOL becomeFirstResponder() { return YES; }
  virtual BOOL resignFirstResponder() { return YES; }

  virtual void mouseDown(NSEvent* event);
  virtual void rightMouseDown(NSEvent* event);
  virtual void mouseUp(NSEvent* event);
  virtual void rightMouseUp(NSEvent* event);
  virtual void mouseDragged(NSEvent* event);
  virtual void rightMouseDragged(NSEvent* event);
  virtual void mouseMoved(NSEvent* event);
  virtual void mouseEntered(NSEvent* event);
  virtual void mouseExited(NSEvent* event);
  virtual void scrollWheel(NSEvent* event);
  virtual void keyDown(NSEvent* event);
  virtual void keyUp(NSEvent* event);

  const char* className() const override { return "NSResponder"; }

protected:
  NSResponder() = default;

private:
  NSResponder* mNextResponder = nullptr; // not retained
};
