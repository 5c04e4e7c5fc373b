// Test control of the platform stand-in: reset, counts of live objects and
// the records of side effects. Includes everything a host may do (Host.h).
// Product code never includes this header.
#pragma once

#include <standin/Host.h>

#include <cstddef>
#include <cstdint>
#include <functional>
#include <string>
#include <vector>

class MTLTexture;
class CAMetalLayer;
class NSEvent;
class NSWindow;

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
// Level 0 encoded as an RGBA PNG file's bytes (empty when it cannot be).
std::vector<uint8_t> TexturePNG(MTLTexture* texture);
// Writes level 0 as an RGBA PNG (beside the path, then renamed into place
// once every byte is written).
bool WriteTexturePNG(MTLTexture* texture, const std::string& path);

// ---- A person at the screen ----------------------------------------------------
// Answers are taken in order, one per modal run; Reset empties the queues
// and the records. With nothing queued every modal run is cancelled.

// The alert button pressed next: NSAlertDefaultReturn (1), alternate (0) or
// other (-1). A button the alert does not show counts as cancelling it.
void QueueAlertButton(long button);
// The item the next file panel chooses (a path), or a cancel.
void QueuePanelChoice(const std::string& path);
void QueuePanelCancel();
// Looks at each queued path as a file panel is about to hand it over (kind
// "open" or "save"); false cancels that panel instead, as a person who
// thought better of the choice would. Empty: every path is handed over.
void SetPanelChoiceCheck(std::function<bool(const std::string& kind, const std::string& path)> check);
// The item the next popup menu chooses: indexes through submenus ({2, 0}:
// the first item of the third item's submenu); empty dismisses the menu.
void QueueMenuChoice(const std::vector<int>& path);
// The person as at a reset: answers not taken are dropped, the records of
// what was shown emptied, pointer, cursor, appearance and screen scale
// back to their start; nothing else changes (timers keep running).
void ResetPerson();

struct ShownAlert {
  std::string title, message, defaultButton, alternateButton, otherButton;
};
struct ShownPanel {
  std::string kind; // "open" or "save"
  std::string title, directory, file;
  std::vector<std::string> types;
  bool canChooseFiles = false, canChooseDirectories = false, resolvesAliases = false, canCreateDirectories = false,
       floating = false, allowsOtherTypes = false;
};
struct ShownMenuItem {
  std::string title;
  bool separator = false, enabled = false, checked = false, hasAction = false;
  long indentation = 0;
  std::vector<ShownMenuItem> submenu;
};
struct ShownMenu {
  std::vector<ShownMenuItem> items;
  double x = 0, y = 0; // location in the view
};
std::vector<ShownAlert> ShownAlerts();
std::vector<ShownPanel> ShownPanels();
std::vector<ShownMenu> ShownMenus();

// A wheel turn at a window location (window base coordinates, y up).
NSEvent* ScrollWheelEvent(double x, double y, double deltaY, unsigned long modifierFlags);
// Files dragged onto a window and dropped at a window location: the view
// under it that registered for file names is asked draggingEntered and,
// when it accepts, performDragOperation. Returns what that answered (false
// when no view took it).
bool DropFiles(NSWindow* window, double x, double y, const std::vector<std::string>& paths);
// The tool tip shown over a window location (empty when none).
std::string ToolTipAt(NSWindow* window, double x, double y);
// A colour picked in the shared colour panel (components 0 to 1).
void PickColor(double r, double g, double b, double a);

// ---- Screen, pointer and system records --------------------------------------

// The main screen's backing scale (1 until set) for new windows.
void SetMainScreenScale(double scale);
// The application's appearance, "NSAppearanceNameAqua" (default) or
// "NSAppearanceNameDarkAqua"; views without their own are told.
void SetAppAppearance(const std::string& name);
// The system pointer in screen coordinates (y up), the hide count and
// whether mouse and pointer are associated; warps counts moves made by
// CGDisplayMoveCursorToPoint.
struct PointerState {
  double x = 0, y = 0;
  int hideCount = 0;
  bool associated = true;
  int warps = 0;
};
PointerState Pointer();
void SetPointer(double x, double y);
// The name of the cursor last set ("arrow", "IBeam", "move", ...).
std::string CurrentCursor();
// Cursors the system offers by name only; all of them unless switched off.
void SetCursorAvailable(const std::string& selectorName, bool available);
// Workspace requests in order: "url <text>", "file <path>", "select <path> <root>".
std::vector<std::string> WorkspaceRequests();
void SetOpenURLSucceeds(bool succeeds);

} // namespace standin
#pragma GCC visibility pop
