#include "FailingAllocator.h"

#include <cstdlib>

#include "UT_HeapBuf.h"

namespace {
thread_local bool tArmed = false;
thread_local int tSkip = 0;
thread_local int tFail = 0;
thread_local int tRefused = 0;
thread_local int tCalls = 0;

bool Refuse()
{
  ++tCalls;
  if (!tArmed)
    return false;
  if (tSkip > 0) {
    --tSkip;
    return false;
  }
  if (tFail <= 0)
    return false;
  --tFail;
  ++tRefused;
  return true;
}
} // namespace

// These replace the weak defaults for the whole test program.
void* plugin::UT_Reallocate(void* block, std::size_t bytes) { return Refuse() ? nullptr : std::realloc(block, bytes); }

void* plugin::UT_Allocate(std::size_t bytes) { return Refuse() ? nullptr : std::malloc(bytes); }

namespace testsupport {

ScopedAllocationFailure::ScopedAllocationFailure(int skip, int fail)
{
  tArmed = true;
  tSkip = skip;
  tFail = fail;
  tRefused = 0;
}

ScopedAllocationFailure::~ScopedAllocationFailure() { tArmed = false; }

int ScopedAllocationFailure::Refused() const { return tRefused; }

int BufferAllocationCalls() { return tCalls; }

} // namespace testsupport
