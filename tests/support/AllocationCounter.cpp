#include "AllocationCounter.h"

#include <cstdlib>
#include <new>

namespace {
thread_local std::size_t tAllocations = 0;
thread_local std::size_t tAllocationLimit = static_cast<std::size_t>(-1);

void* CountedAlloc(std::size_t size, std::size_t align)
{
  ++tAllocations;
  if (size > tAllocationLimit)
    return nullptr;
  if (size == 0)
    size = 1;
  void* p = nullptr;
  if (align > alignof(std::max_align_t)) {
    std::size_t rounded = (size + align - 1) / align * align;
    p = std::aligned_alloc(align, rounded);
  } else {
    p = std::malloc(size);
  }
  return p;
}
} // namespace

namespace testsupport {
std::size_t AllocationsOnThisThread() { return tAllocations; }
ScopedAllocationLimit::ScopedAllocationLimit(std::size_t maxBytes) : mPrevious(tAllocationLimit)
{
  tAllocationLimit = maxBytes;
}
ScopedAllocationLimit::~ScopedAllocationLimit() { tAllocationLimit = mPrevious; }
} // namespace testsupport

void* operator new(std::size_t size)
{
  if (void* p = CountedAlloc(size, 0))
    return p;
  throw std::bad_alloc();
}
void* operator new[](std::size_t size)
{
  if (void* p = CountedAlloc(size, 0))
    return p;
  throw std::bad_alloc();
}
void* operator new(std::size_t size, const std::nothrow_t&) noexcept { return CountedAlloc(size, 0); }
void* operator new[](std::size_t size, const std::nothrow_t&) noexcept { return CountedAlloc(size, 0); }
void* operator new(std::size_t size, std::align_val_t al)
{
  if (void* p = CountedAlloc(size, static_cast<std::size_t>(al)))
    return p;
  throw std::bad_alloc();
}
void* operator new[](std::size_t size, std::align_val_t al)
{
  if (void* p = CountedAlloc(size, static_cast<std::size_t>(al)))
    return p;
  throw std::bad_alloc();
}
void operator delete(void* p) noexcept { std::free(p); }
void operator delete[](void* p) noexcept { std::free(p); }
void operator delete(void* p, std::size_t) noexcept { std::free(p); }
void operator delete[](void* p, std::size_t) noexcept { std::free(p); }
void operator delete(void* p, std::align_val_t) noexcept { std::free(p); }
void operator delete[](void* p, std::align_val_t) noexcept { std::free(p); }
void operator delete(void* p, std::size_t, std::align_val_t) noexcept { std::free(p); }
void operator delete[](void* p, std::size_t, std::align_val_t) noexcept { std::free(p); }
