#pragma once
// A repeating timer on the main run loop (common modes). The first tick
// comes on the next pass of the loop, then one every interval; ticks run on
// the main thread only, and only while the host runs that loop.

#include <cstdint>
#include <functional>

namespace plugin {

class Timer {
public:
  using ITimerFunction = std::function<void(Timer&)>;

  // A started timer calling func with itself; the caller owns it.
  static Timer* Create(ITimerFunction func, uint32_t intervalMs);

  virtual ~Timer() = default;
  // No more ticks after this; safe to call twice and from within a tick.
  virtual void Stop() = 0;
};

} // namespace plugin
