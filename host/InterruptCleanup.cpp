#include "InterruptCleanup.h"

#include <pthread.h>
#include <unistd.h>

#include <atomic>
#include <cstring>
#include <vector>

namespace host {

namespace {

constexpr int kSlots = 8;
constexpr size_t kMaxPath = 4096;

struct Slot {
  std::atomic<bool> used{false};
  char path[kMaxPath] = {};
};
Slot gSlots[kSlots];

// What each signal did before the handler, restored before it is raised
// again (sized for the real-time signals too).
constexpr int kMaxSignal = 65;
struct sigaction gPrevious[kMaxSignal];

// Faults raised by the code itself; holding them back would be undefined.
bool IsFault(int sig)
{
  return sig == SIGILL || sig == SIGTRAP || sig == SIGABRT || sig == SIGBUS || sig == SIGFPE || sig == SIGSEGV ||
         sig == SIGSYS;
}

// Every signal whose default action ends the process (SIGKILL and SIGSTOP
// cannot be caught).
const std::vector<int>& EndingSignals()
{
  static const std::vector<int> signals = [] {
    std::vector<int> s = {SIGHUP,  SIGINT,  SIGQUIT, SIGILL,  SIGTRAP, SIGABRT, SIGBUS,    SIGFPE,  SIGUSR1, SIGSEGV,
                          SIGUSR2, SIGPIPE, SIGALRM, SIGTERM, SIGXCPU, SIGXFSZ, SIGVTALRM, SIGPROF, SIGIO,   SIGSYS};
#ifdef SIGSTKFLT
    s.push_back(SIGSTKFLT);
#endif
#ifdef SIGPWR
    s.push_back(SIGPWR);
#endif
    for (int sig = SIGRTMIN; sig <= SIGRTMAX && sig < kMaxSignal; ++sig)
      s.push_back(sig);
    return s;
  }();
  return signals;
}

extern "C" void RemoveOnSignal(int sig)
{
  for (Slot& s : gSlots)
    if (s.used.load(std::memory_order_acquire))
      unlink(s.path);
  sigaction(sig, &gPrevious[sig], nullptr);
  raise(sig);
}

} // namespace

InterruptsHeld::InterruptsHeld()
{
  sigset_t held;
  sigemptyset(&held);
  for (int sig : EndingSignals())
    if (!IsFault(sig))
      sigaddset(&held, sig);
  pthread_sigmask(SIG_BLOCK, &held, &mPrevious);
}

InterruptsHeld::~InterruptsHeld() { pthread_sigmask(SIG_SETMASK, &mPrevious, nullptr); }

void InstallInterruptCleanup()
{
  static const bool installed = [] {
    struct sigaction action {};
    action.sa_handler = RemoveOnSignal;
    sigemptyset(&action.sa_mask);
    for (int sig : EndingSignals()) {
      if (sig >= kMaxSignal || sigaction(sig, nullptr, &gPrevious[sig]) != 0)
        continue;
      // A signal the caller ignores (nohup, a write limit) stays ignored.
      if (gPrevious[sig].sa_handler == SIG_IGN)
        continue;
      sigaction(sig, &action, nullptr);
    }
    return true;
  }();
  (void)installed;
}

int RegisterInterruptCleanup(const std::string& path)
{
  if (path.size() >= kMaxPath)
    return -1;
  for (int i = 0; i < kSlots; ++i) {
    if (!gSlots[i].used.load(std::memory_order_relaxed)) {
      std::memcpy(gSlots[i].path, path.c_str(), path.size() + 1);
      gSlots[i].used.store(true, std::memory_order_release);
      return i;
    }
  }
  return -1;
}

void UnregisterInterruptCleanup(int slot)
{
  if (slot >= 0 && slot < kSlots)
    gSlots[slot].used.store(false, std::memory_order_release);
}

} // namespace host
