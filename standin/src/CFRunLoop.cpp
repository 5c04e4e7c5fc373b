#include "AutoreleasePool.h"
#include "CFInternal.h"
#include "CFRuntime.h"
#include "MainRunLoop.h"

#include <pthread.h>

#include <algorithm>
#include <atomic>
#include <cmath>
#include <mutex>
#include <vector>

using namespace standin::cf;

struct __CFRunLoopTimer final : Object {
  __CFRunLoopTimer(CFAbsoluteTime fire, CFTimeInterval every, CFIndex ord, CFRunLoopTimerCallBack cb,
                   const CFRunLoopTimerContext* ctx)
  : Object(kRunLoopTimerTypeID), next(fire), origin(fire), interval(every > 0 ? every : 0), order(ord), callout(cb)
  {
    if (ctx) {
      context = *ctx;
      if (context.retain && context.info)
        context.info = const_cast<void*>(context.retain(context.info));
    }
  }
  ~__CFRunLoopTimer() override
  {
    if (context.release && context.info)
      context.release(context.info);
  }
  std::string Describe() const override { return "<CFRunLoopTimer>"; }

  CFAbsoluteTime next;
  // Repeats are origin + k * interval, so no rounding accumulates over ticks.
  CFAbsoluteTime origin;
  double step = 0;
  const CFTimeInterval interval;
  const CFIndex order;
  const CFRunLoopTimerCallBack callout;
  CFRunLoopTimerContext context{0, nullptr, nullptr, nullptr, nullptr};
  std::atomic<bool> valid{true};
  bool scheduled = false; // held (retained) by the main loop; guarded by the loop mutex
};

struct __CFRunLoop final : Object {
  explicit __CFRunLoop(bool isMain) : Object(kRunLoopTypeID), main(isMain) { MakeConstant(); }
  std::string Describe() const override { return main ? "<CFRunLoop main>" : "<CFRunLoop thread>"; }

  const bool main;

  std::mutex mutex;
  std::vector<__CFRunLoopTimer*> timers; // each retained while scheduled
};

namespace {

std::atomic<CFAbsoluteTime> gClock{kClockStart};

__CFRunLoop* Main()
{
  static __CFRunLoop* loop = new __CFRunLoop(true);
  return loop;
}

// Every other thread's own loop, made on first use and gone with the thread.
// Nothing ever runs it, so timers added to it never fire.
struct ThreadLoop {
  ~ThreadLoop() { delete loop; }
  __CFRunLoop* loop = nullptr;
};

__CFRunLoop* Current()
{
  if (pthread_main_np())
    return Main();
  thread_local ThreadLoop own;
  if (!own.loop)
    own.loop = new __CFRunLoop(false);
  return own.loop;
}

__CFRunLoopTimer* Timer(CFTypeRef t) { return As<__CFRunLoopTimer>(t, kRunLoopTimerTypeID); }

// True for the main loop, false for a thread's own loop (which holds no
// timers: nothing would ever run them).
bool IsMainLoop(CFRunLoopRef rl) { return As<__CFRunLoop>(rl, kRunLoopTypeID)->main; }

// Takes the timer off the main loop; the caller releases the returned reference.
bool Unschedule(__CFRunLoopTimer* t)
{
  __CFRunLoop* loop = Main();
  std::lock_guard<std::mutex> lock(loop->mutex);
  if (!t->scheduled)
    return false;
  t->scheduled = false;
  loop->timers.erase(std::find(loop->timers.begin(), loop->timers.end(), t));
  return true;
}

// Times closer than this count as equal: absolute times near the present
// carry only about 0.1 us of precision, and a tick must not slip past its slot.
constexpr CFTimeInterval kSlack = 1e-6;

bool Due(CFAbsoluteTime fire, CFAbsoluteTime now) { return fire <= now + kSlack; }

// A repeating timer that fired late skips the missed intervals.
void Reschedule(__CFRunLoopTimer* t, CFAbsoluteTime now)
{
  const double reached = std::floor((now + kSlack - t->origin) / t->interval);
  t->step = std::max(t->step + 1.0, reached + 1.0);
  t->next = t->origin + t->step * t->interval;
}

} // namespace

const CFRunLoopMode kCFRunLoopDefaultMode = CFSTR("kCFRunLoopDefaultMode");
const CFRunLoopMode kCFRunLoopCommonModes = CFSTR("kCFRunLoopCommonModes");
const CFTimeInterval kCFAbsoluteTimeIntervalSince1970 = 978307200.0;

CFAbsoluteTime CFAbsoluteTimeGetCurrent(void) { return gClock.load(); }

CFTypeID CFRunLoopGetTypeID(void) { return kRunLoopTypeID; }
CFTypeID CFRunLoopTimerGetTypeID(void) { return kRunLoopTimerTypeID; }
CFRunLoopRef CFRunLoopGetMain(void) { return Main(); }
CFRunLoopRef CFRunLoopGetCurrent(void) { return Current(); }

CFRunLoopTimerRef CFRunLoopTimerCreate(CFAllocatorRef, CFAbsoluteTime fireDate, CFTimeInterval interval, CFOptionFlags,
                                       CFIndex order, CFRunLoopTimerCallBack callout, CFRunLoopTimerContext* context)
{
  if (!callout)
    return nullptr;
  return new __CFRunLoopTimer(fireDate, interval, order, callout, context);
}

void CFRunLoopAddTimer(CFRunLoopRef rl, CFRunLoopTimerRef timer, CFRunLoopMode mode)
{
  __CFRunLoopTimer* t = Timer(timer);
  if (!IsMainLoop(rl) || !mode || !t->valid)
    return;
  __CFRunLoop* loop = Main();
  std::lock_guard<std::mutex> lock(loop->mutex);
  if (t->scheduled)
    return;
  t->Retain();
  t->scheduled = true;
  loop->timers.push_back(t);
}

void CFRunLoopRemoveTimer(CFRunLoopRef rl, CFRunLoopTimerRef timer, CFRunLoopMode)
{
  __CFRunLoopTimer* t = Timer(timer);
  if (IsMainLoop(rl) && Unschedule(t))
    t->Release();
}

Boolean CFRunLoopContainsTimer(CFRunLoopRef rl, CFRunLoopTimerRef timer, CFRunLoopMode)
{
  __CFRunLoopTimer* t = Timer(timer);
  if (!IsMainLoop(rl))
    return false;
  std::lock_guard<std::mutex> lock(Main()->mutex);
  return t->scheduled;
}

void CFRunLoopTimerInvalidate(CFRunLoopTimerRef timer)
{
  __CFRunLoopTimer* t = Timer(timer);
  t->valid = false;
  if (Unschedule(t))
    t->Release();
}

Boolean CFRunLoopTimerIsValid(CFRunLoopTimerRef timer) { return Timer(timer)->valid; }

CFAbsoluteTime CFRunLoopTimerGetNextFireDate(CFRunLoopTimerRef timer)
{
  __CFRunLoopTimer* t = Timer(timer);
  std::lock_guard<std::mutex> lock(Main()->mutex);
  return t->next;
}

void CFRunLoopTimerSetNextFireDate(CFRunLoopTimerRef timer, CFAbsoluteTime fireDate)
{
  __CFRunLoopTimer* t = Timer(timer);
  std::lock_guard<std::mutex> lock(Main()->mutex);
  t->next = t->origin = fireDate;
  t->step = 0;
}

CFTimeInterval CFRunLoopTimerGetInterval(CFRunLoopTimerRef timer) { return Timer(timer)->interval; }
Boolean CFRunLoopTimerDoesRepeat(CFRunLoopTimerRef timer) { return Timer(timer)->interval > 0; }

void CFRunLoopTimerGetContext(CFRunLoopTimerRef timer, CFRunLoopTimerContext* context)
{
  if (context)
    *context = Timer(timer)->context;
}

namespace standin::cf {

void SetClock(CFAbsoluteTime t) { gClock.store(t); }

int PumpMainLoop()
{
  const std::size_t pool = standin::PushAutoreleasePool();
  const CFAbsoluteTime now = gClock.load();
  __CFRunLoop* loop = Main();
  std::vector<__CFRunLoopTimer*> due;
  {
    std::lock_guard<std::mutex> lock(loop->mutex);
    for (__CFRunLoopTimer* t : loop->timers) {
      if (Due(t->next, now)) {
        t->Retain();
        due.push_back(t);
      }
    }
  }
  std::stable_sort(due.begin(), due.end(), [](const __CFRunLoopTimer* a, const __CFRunLoopTimer* b) {
    return a->next != b->next ? a->next < b->next : a->order < b->order;
  });
  int fired = 0;
  for (__CFRunLoopTimer* t : due) {
    bool fire = false;
    {
      // A callback earlier in this pass may have removed or moved this timer.
      std::lock_guard<std::mutex> lock(loop->mutex);
      if (t->scheduled && t->valid && Due(t->next, now)) {
        fire = true;
        if (t->interval > 0)
          Reschedule(t, now);
      }
    }
    if (fire) {
      ++fired;
      t->callout(t, t->context.info);
      if (t->interval <= 0)
        CFRunLoopTimerInvalidate(t);
    }
    t->Release();
  }
  standin::PopAutoreleasePool(pool);
  return fired;
}

int RunMainLoopFor(CFTimeInterval seconds)
{
  const CFAbsoluteTime end = gClock.load() + std::max(0.0, seconds);
  int fired = 0;
  for (;;) {
    CFAbsoluteTime earliest = end;
    {
      __CFRunLoop* loop = Main();
      std::lock_guard<std::mutex> lock(loop->mutex);
      for (const __CFRunLoopTimer* t : loop->timers) {
        if (t->valid && t->next < earliest)
          earliest = t->next;
      }
    }
    if (earliest >= end - kSlack)
      break;
    if (earliest > gClock.load())
      gClock.store(earliest);
    fired += PumpMainLoop();
  }
  gClock.store(end);
  return fired;
}

void ResetMainLoop()
{
  __CFRunLoop* loop = Main();
  std::vector<__CFRunLoopTimer*> taken;
  {
    std::lock_guard<std::mutex> lock(loop->mutex);
    taken.swap(loop->timers);
    for (__CFRunLoopTimer* t : taken)
      t->scheduled = false;
  }
  for (__CFRunLoopTimer* t : taken)
    t->Release();
  gClock.store(kClockStart);
}

int ScheduledTimerCount()
{
  std::lock_guard<std::mutex> lock(Main()->mutex);
  return int(Main()->timers.size());
}

} // namespace standin::cf
