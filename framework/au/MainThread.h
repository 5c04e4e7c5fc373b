#pragma once
// Whether the caller runs on the process's main thread: the thread of the
// main run loop, where the host makes its editor, timer and file calls. A
// host may build a plug-in on another thread, so the constructing thread
// proves nothing. Any thread; allocates nothing.
namespace plugin {

bool IsMainThread();

} // namespace plugin
