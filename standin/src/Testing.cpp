#include "AppKitInternal.h"
#include "AutoreleasePool.h"
#include "CFRuntime.h"
#include "FontRegistry.h"
#include "FoundationInternal.h"
#include "MainRunLoop.h"
#include "MetalInternal.h"

#include <standin/Testing.h>

namespace standin {

int PumpMainRunLoop() { return cf::PumpMainLoop(); }
int RunMainRunLoopFor(double seconds) { return cf::RunMainLoopFor(seconds); }
void AdvanceClock(double seconds)
{
  if (seconds > 0)
    cf::SetClock(CFAbsoluteTimeGetCurrent() + seconds);
}
CFAbsoluteTime CurrentClock() { return CFAbsoluteTimeGetCurrent(); }

void Reset()
{
  cf::ResetMainLoop();
  ClearBundles();
  DrainAllAutoreleasePools();
  ClearRecordedAUEvents();
  mtl::ResetGPU();
  ct::ResetFontRegistry();
  appkit::ResetAppKit();
}

long LiveCFObjectCount() { return cf::LiveObjects(); }
long LiveCFAllocatorBlockCount() { return cf::LiveAllocatorBlocks(); }
long LiveNSObjectCount() { return ns::LiveObjects(); }
int ScheduledTimerCount() { return cf::ScheduledTimerCount(); }
std::size_t PendingAutoreleaseCount() { return PendingAutoreleased(); }
void DrainAutoreleasePools() { DrainAllAutoreleasePools(); }

} // namespace standin
