// Test control of the platform stand-in: reset, counts of live objects and
// the records of side effects. Includes everything a host may do (Host.h).
// Product code never includes this header.
#pragma once

#include <standin/Host.h>

#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>

class MTLTexture;
class CAMetalLayer;

#pragma GCC visibility push(default)
namespace standin {

// Back to a fresh process: timers removed (and released), clock rewound,
// bundles cleared, autorelease pools of this thread drained, records emptied,
// the GPU idle, synchronous and unpaused with its default band threads,
// its validation record empty, the system font folders back to their
// default. The user home and system root are kept.
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

// ---- GPU ----------------------------------------------------------------------

// Where committed command buffers run: at once on the committing thread
// (the default), or in order on one GPU worker thread, which also runs the
// completion handlers. Switching waits until the GPU is idle.
enum class GPUExecution { Synchronous, WorkerThread };
void SetGPUExecution(GPUExecution mode);
GPUExecution CurrentGPUExecution();
// Worker mode: committed buffers wait (frames stay in flight) while paused.
void SetGPUPaused(bool paused);
// Returns when every committed command buffer has completed (unpaused).
void WaitForGPUIdle();
// Threads that draw the bands of one large render pass (0: the default,
// the processor count up to 4).
void SetGPUBandThreads(unsigned threads);

// Misuses the platform's validation layer would report (bad regions,
// encoders left open, mismatched attachment formats, ...), in order.
std::vector<std::string> GPUValidationErrors();
void ClearGPUValidationErrors();

// The texture the layer shows: the last drawable presented (nil before any;
// valid while the layer keeps it), and how many presents there were.
MTLTexture* PresentedTexture(CAMetalLayer* layer);
unsigned long PresentCount(CAMetalLayer* layer);

// Level 0 as tightly packed RGBA bytes (one-channel formats as grey,
// opaque), whatever the storage order or mode.
std::vector<uint8_t> TextureRGBA(MTLTexture* texture);
// Writes level 0 as an RGBA PNG (beside the path, then renamed into place).
bool WriteTexturePNG(MTLTexture* texture, const std::string& path);

} // namespace standin
#pragma GCC visibility pop
