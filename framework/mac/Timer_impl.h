#pragma once
// The run-loop timer behind Timer::Create.

#include <CoreFoundation/CoreFoundation.h>

#include "Timer.h"

namespace plugin {

class Timer_impl : public Timer {
public:
  Timer_impl(ITimerFunction func, uint32_t intervalMs);
  ~Timer_impl() override;
  Timer_impl(const Timer_impl&) = delete;
  Timer_impl& operator=(const Timer_impl&) = delete;

  void Stop() override;
  uint32_t GetIntervalMs() const { return mIntervalMs; }

private:
  static void TimerProc(CFRunLoopTimerRef timer, void* info);

  CFRunLoopTimerRef mOSTimer = nullptr;
  ITimerFunction mTimerFunc;
  uint32_t mIntervalMs;
};

} // namespace plugin
