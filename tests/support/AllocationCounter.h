#pragma once
// Counts heap allocations made through operator new on the calling thread,
// so a test can prove that a real-time path allocates nothing.
#include <cstddef>

namespace testsupport {

// Allocations made by this thread since the process started.
std::size_t AllocationsOnThisThread();

class ScopedAllocationCount {
public:
  ScopedAllocationCount() : mStart(AllocationsOnThisThread()) {}
  std::size_t Count() const { return AllocationsOnThisThread() - mStart; }

private:
  std::size_t mStart;
};

// While alive, operator new on this thread throws std::bad_alloc for any
// request larger than maxBytes, so a test can show how code meets a failed
// allocation. Scopes nest; the innermost limit holds.
class ScopedAllocationLimit {
public:
  explicit ScopedAllocationLimit(std::size_t maxBytes);
  ~ScopedAllocationLimit();
  ScopedAllocationLimit(const ScopedAllocationLimit&) = delete;
  ScopedAllocationLimit& operator=(const ScopedAllocationLimit&) = delete;

private:
  std::size_t mPrevious;
};

} // namespace testsupport
