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

} // namespace testsupport
