// The main run loop's state behind CFRunLoop and the host's pump controls.
#pragma once

#include <CoreFoundation/CoreFoundation.h>

namespace standin::cf {

// The clock starts here after every reset (early 2023 in absolute time).
constexpr CFAbsoluteTime kClockStart = 700000000.0;

void SetClock(CFAbsoluteTime t);
// Fires every timer due at the current virtual time once (within a
// microsecond); returns how many fired.
int PumpMainLoop();
// Advances the clock by seconds, firing timers at each due time on the way
// (times in [now, now + seconds)); returns how many fired.
int RunMainLoopFor(CFTimeInterval seconds);
// Removes and releases every scheduled timer and rewinds the clock.
void ResetMainLoop();
int ScheduledTimerCount();

} // namespace standin::cf
