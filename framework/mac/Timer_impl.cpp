#include "Timer_impl.h"

#include <utility>

namespace plugin {

Timer* Timer::Create(ITimerFunction func, uint32_t intervalMs) { return new Timer_impl(std::move(func), intervalMs); }

Timer_impl::Timer_impl(ITimerFunction func, uint32_t intervalMs) : mTimerFunc(std::move(func)), mIntervalMs(intervalMs)
{
  CFRunLoopTimerContext context = {0, this, nullptr, nullptr, nullptr};
  mOSTimer = CFRunLoopTimerCreate(kCFAllocatorDefault, CFAbsoluteTimeGetCurrent(), intervalMs / 1000.0, 0, 0, TimerProc,
                                  &context);
  if (mOSTimer)
    CFRunLoopAddTimer(CFRunLoopGetMain(), mOSTimer, kCFRunLoopCommonModes);
}

Timer_impl::~Timer_impl() { Stop(); }

void Timer_impl::Stop()
{
  if (mOSTimer) {
    CFRunLoopTimerRef timer = mOSTimer;
    mOSTimer = nullptr;
    CFRunLoopTimerInvalidate(timer);
    CFRelease(timer);
  }
}

void Timer_impl::TimerProc(CFRunLoopTimerRef, void* info)
{
  Timer_impl* self = static_cast<Timer_impl*>(info);
  if (self->mOSTimer && self->mTimerFunc)
    self->mTimerFunc(*self);
}

} // namespace plugin
