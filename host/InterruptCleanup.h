#pragma once
// Files to remove when a signal ends the process (Ctrl-C, hang-up,
// termination, a broken pipe, a file-size limit, a fault...): the
// half-written outputs. The handler only unlinks what is registered, then
// lets the signal end the process as it would have (a core dump included).
// Register and Unregister on the host main thread; the table is fixed, so
// the handler reads it without locks or allocation.

#include <signal.h>

#include <string>

namespace host {

// Installs the handler for every signal whose default action ends the
// process, except those already ignored (once per process).
void InstallInterruptCleanup();

// A slot for path, or -1 when the table is full or the path too long (the
// file is then simply not removed on interruption).
int RegisterInterruptCleanup(const std::string& path);
void UnregisterInterruptCleanup(int slot);

// Holds the handled signals (but the faults) back for its lifetime (delivered when it ends),
// so that creating a file and registering it happen as one step.
class InterruptsHeld {
public:
  InterruptsHeld();
  ~InterruptsHeld();
  InterruptsHeld(const InterruptsHeld&) = delete;
  InterruptsHeld& operator=(const InterruptsHeld&) = delete;

private:
  sigset_t mPrevious;
};

} // namespace host
