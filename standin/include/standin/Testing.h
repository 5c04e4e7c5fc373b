// Test control of the platform stand-in: reset, counts of live objects and
// the records of side effects. Includes everything a host may do (Host.h).
// Product code never includes this header.
#pragma once

#include <standin/Host.h>

#include <cstddef>
#include <string>
#include <vector>

#pragma GCC visibility push(default)
namespace standin {

// Back to a fresh process: timers removed (and released), clock rewound,
// bundles cleared, autorelease pools of this thread drained, records emptied,
// the system font folders back to their default. The user home and system
// root are kept.
void Reset();

// CF objects alive now, constants (CFSTR, booleans, bundles) excluded.
long LiveCFObjectCount();
// Blocks taken with CFAllocatorAllocate and not yet returned.
long LiveCFAllocatorBlockCount();
// Foundation/AppKit objects alive now, constants excluded.
long LiveNSObjectCount();
// Timers held by the main run loop.
int ScheduledTimerCount();
// Objects waiting in this thread's autorelease pools.
std::size_t PendingAutoreleaseCount();
// Releases every object pending in this thread's pools and closes them.
void DrainAutoreleasePools();

// The system font folders font descriptors are matched in, after the
// bundles' Resources and the user's Library/Fonts (default: Library/Fonts
// under the system root, then /usr/share/fonts).
void SetSystemFontFolders(const std::vector<std::string>& folders);
// "family/style" of every font descriptor that matched no installed font
// since the last reset, in order.
std::vector<std::string> MissingFontRequests();

// Every AUEventListenerNotify (and AUParameterListenerNotify, recorded as a
// value change) since the last reset, in call order; thread-safe.
std::vector<AudioUnitEvent> RecordedAUEvents();
void ClearRecordedAUEvents();

}  // namespace standin
#pragma GCC visibility pop
