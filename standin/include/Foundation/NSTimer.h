// Timers on the stand-in main run loop: a timer retains its target until it
// is invalidated; the run loop it is added to keeps it until then. A timer
// that is never added to a loop is never freed (it waits to be scheduled).
#pragma once

#include <CoreFoundation/CFRunLoop.h>
#include <Foundation/NSObject.h>

class NS_EXPORT NSTimer : public NSObject {
public:
  // Autoreleased, not yet scheduled; the selector receives the timer.
  static NSTimer* timerWithTimeInterval(double interval, NSObject* target, SEL selector, NSObject* userInfo,
                                        BOOL repeats);
  void invalidate();
  BOOL isValid() const;
  double timeInterval() const { return mInterval; }
  NSObject* userInfo() const { return mUserInfo; }
  void fire();
  const char* className() const override { return "NSTimer"; }

protected:
  NSTimer() = default;
  void dealloc() override;

private:
  friend class NSRunLoop;
  static void Callout(CFRunLoopTimerRef timer, void* info);
  CFRunLoopTimerRef mTimer = nullptr;
  bool mOwnsTimer = true; // until a run loop takes the timer over
  NSObject* mTarget = nullptr;
  NSObject* mUserInfo = nullptr;
  SEL mSelector = nullptr;
  double mInterval = 0;
};

typedef CFStringRef NSRunLoopMode;

class NS_EXPORT NSRunLoop : public NSObject {
public:
  static NSRunLoop* currentRunLoop();
  static NSRunLoop* mainRunLoop();
  void addTimer(NSTimer* timer, NSRunLoopMode mode);
  const char* className() const override { return "NSRunLoop"; }

private:
  NSRunLoop() = default;
  CFRunLoopRef mLoop = nullptr;
};

NS_EXPORT extern const NSRunLoopMode NSDefaultRunLoopMode;
NS_EXPORT extern const NSRunLoopMode NSRunLoopCommonModes;
