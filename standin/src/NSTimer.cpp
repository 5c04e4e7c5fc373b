#include <Foundation/NSNotification.h>
#include <Foundation/NSTimer.h>

#include <algorithm>

const NSRunLoopMode NSDefaultRunLoopMode = kCFRunLoopDefaultMode;
const NSRunLoopMode NSRunLoopCommonModes = kCFRunLoopCommonModes;

// ---- Timers ----------------------------------------------------------------------
// The CF timer holds the NSTimer (through its context) and the run loop holds
// the CF timer, so invalidating or resetting the loop frees both.

NSTimer* NSTimer::timerWithTimeInterval(double interval, NSObject* target, SEL selector, NSObject* userInfo,
                                        BOOL repeats)
{
  NSTimer* t = new NSTimer();
  t->mTarget = target ? target->retain() : nullptr;
  t->mUserInfo = userInfo ? userInfo->retain() : nullptr;
  t->mSelector = selector;
  t->mInterval = interval > 0 ? interval : 0.0001;
  CFRunLoopTimerContext context{
    0, t, [](const void* info) -> const void* { return static_cast<NSObject*>(const_cast<void*>(info))->retain(); },
    [](const void* info) { static_cast<NSObject*>(const_cast<void*>(info))->release(); }, nullptr};
  t->mTimer = CFRunLoopTimerCreate(nullptr, CFAbsoluteTimeGetCurrent() + t->mInterval, repeats ? t->mInterval : 0, 0, 0,
                                   &NSTimer::Callout, &context);
  return static_cast<NSTimer*>(t->autorelease());
}

void NSTimer::Callout(CFRunLoopTimerRef timer, void* info)
{
  auto* t = static_cast<NSTimer*>(info);
  t->retain();
  const bool repeats = CFRunLoopTimerDoesRepeat(timer);
  t->fire();
  if (!repeats)
    t->invalidate();
  t->release();
}

void NSTimer::fire()
{
  if (mSelector && mTarget && isValid())
    mSelector(mTarget, this);
}

BOOL NSTimer::isValid() const { return mTimer && CFRunLoopTimerIsValid(mTimer); }

void NSTimer::invalidate()
{
  if (!mTimer || !CFRunLoopTimerIsValid(mTimer))
    return;
  NSObject* target = mTarget;
  NSObject* info = mUserInfo;
  mTarget = mUserInfo = nullptr;
  CFRunLoopTimerInvalidate(mTimer); // the loop lets go; may free this timer
  if (target)
    target->release();
  if (info)
    info->release();
}

void NSTimer::dealloc()
{
  if (mTarget)
    mTarget->release();
  if (mUserInfo)
    mUserInfo->release();
  NSObject::dealloc();
}

NSRunLoop* NSRunLoop::currentRunLoop()
{
  if (CFRunLoopGetCurrent() == CFRunLoopGetMain())
    return mainRunLoop();
  thread_local NSRunLoop* loop = [] {
    auto* l = new NSRunLoop();
    l->mLoop = CFRunLoopGetCurrent();
    NSObjectMakeConstant(l);
    return l;
  }();
  return loop;
}

NSRunLoop* NSRunLoop::mainRunLoop()
{
  static NSRunLoop* loop = [] {
    auto* l = new NSRunLoop();
    l->mLoop = CFRunLoopGetMain();
    NSObjectMakeConstant(l);
    return l;
  }();
  return loop;
}

void NSRunLoop::addTimer(NSTimer* timer, NSRunLoopMode mode)
{
  if (!timer || !timer->mTimer || !CFRunLoopTimerIsValid(timer->mTimer))
    return;
  CFRunLoopAddTimer(mLoop, timer->mTimer, mode);
  if (timer->mOwnsTimer) {
    timer->mOwnsTimer = false;
    CFRelease(timer->mTimer); // the loop owns it now
  }
}

// ---- Notifications -------------------------------------------------------------

NSNotification* NSNotification::notificationWithName(NSString* name, NSObject* object)
{
  auto* n = new NSNotification();
  n->mName = name ? static_cast<NSString*>(name->retain()) : nullptr;
  n->mObject = object ? object->retain() : nullptr;
  return static_cast<NSNotification*>(n->autorelease());
}

void NSNotification::dealloc()
{
  if (mName)
    mName->release();
  if (mObject)
    mObject->release();
  NSObject::dealloc();
}

NSNotificationCenter* NSNotificationCenter::defaultCenter()
{
  static NSNotificationCenter* center = [] {
    auto* c = new NSNotificationCenter();
    NSObjectMakeConstant(c);
    return c;
  }();
  return center;
}

void NSNotificationCenter::addObserver(NSObject* observer, SEL selector, NSString* name, NSObject* object)
{
  if (!observer || !selector)
    return;
  mObservers.push_back({observer, selector, name ? static_cast<NSString*>(name->retain()) : nullptr, object});
}

void NSNotificationCenter::removeObserver(NSObject* observer)
{
  for (auto it = mObservers.begin(); it != mObservers.end();) {
    if (it->observer == observer) {
      if (it->name)
        it->name->release();
      it = mObservers.erase(it);
    } else {
      ++it;
    }
  }
}

void NSNotificationCenter::postNotificationName(NSString* name, NSObject* object)
{
  postNotification(NSNotification::notificationWithName(name, object));
}

void NSNotificationCenter::postNotification(NSNotification* n)
{
  // Observers may come and go while one is told: each match is checked
  // against the list as it is when its turn comes.
  std::vector<Observer> matches;
  for (const Observer& o : mObservers)
    if ((!o.name || (n->name() && o.name->isEqualToString(n->name()))) && (!o.object || o.object == n->object()))
      matches.push_back(o);
  for (const Observer& o : matches) {
    const bool still = std::any_of(mObservers.begin(), mObservers.end(), [&](const Observer& x) {
      return x.observer == o.observer && x.selector == o.selector && x.object == o.object;
    });
    if (still)
      o.selector(o.observer, n);
  }
}
