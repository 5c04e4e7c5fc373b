#pragma once
// Controls the allocation calls of every UT_HeapBuf (and so of strings,
// lists and chunks) on this thread. While a
// ScopedAllocationFailure lives, the first `skip` calls succeed, the next
// `fail` calls return null, and later calls succeed again.
#include <climits>

namespace testsupport {

class ScopedAllocationFailure {
public:
  explicit ScopedAllocationFailure(int skip = 0, int fail = INT_MAX);
  ~ScopedAllocationFailure();
  ScopedAllocationFailure(const ScopedAllocationFailure&) = delete;
  ScopedAllocationFailure& operator=(const ScopedAllocationFailure&) = delete;
  int Refused() const;
};

// Allocation calls (realloc or malloc) the buffers have made on this thread.
int BufferAllocationCalls();

} // namespace testsupport
