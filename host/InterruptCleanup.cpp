#include "InterruptCleanup.h"

#include <pthread.h>
#include <unistd.h>

#include <atomic>
#include <cstring>

namespace host {

namespace {

constexpr int kSlots = 8;
constexpr size_t kMaxPath = 4096;

struct Slot {
  std::atomic<bool> used{false};
  char path[kMaxPath] = {};
};
Slot gSlots[kSlots];

extern "C" void RemoveOnSignal(int sig)
{
  for (Slot& s : gSlots)
    if (s.used.load(std::memory_order_acquire))
      unlink(s.path);
  signal(sig, SIG_DFL);
  raise(sig);
}

} // namespace

InterruptsHeld::InterruptsHeld()
{
  sigset_t held;
  sigemptyset(&held);
  for (int sig : {SIGINT, SIGTERM, SIGHUP})
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
    for (int sig : {SIGINT, SIGTERM, SIGHUP})
      sigaction(sig, &action, nullptr);
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
