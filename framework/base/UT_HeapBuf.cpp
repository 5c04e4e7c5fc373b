#include "UT_HeapBuf.h"

#include <algorithm>
#include <climits>
#include <cstdlib>
#include <cstring>
#include <utility>

namespace plugin {

__attribute__((weak)) void* UT_Reallocate(void* block, std::size_t bytes) { return std::realloc(block, bytes); }

__attribute__((weak)) void* UT_Allocate(std::size_t bytes) { return std::malloc(bytes); }

namespace {
constexpr int64_t kPage = 4096;
// Large buffers occupy whole pages less the allocator's own bookkeeping.
constexpr int64_t kPageSlack = 96;
constexpr int64_t kMaxStep = 4194304;
} // namespace

UT_HeapBuf::UT_HeapBuf(const UT_HeapBuf& other) : m_granul(other.m_granul)
{
  if (other.m_size > 0 && Resize(other.m_size, false) && m_size == other.m_size)
    std::memcpy(m_buf, other.m_buf, static_cast<std::size_t>(m_size));
}

UT_HeapBuf::UT_HeapBuf(UT_HeapBuf&& other) noexcept : m_granul(other.m_granul) { Swap(other); }

UT_HeapBuf& UT_HeapBuf::operator=(const UT_HeapBuf& other)
{
  if (this != &other) {
    UT_HeapBuf copy(other);
    if (copy.m_size == other.m_size)
      Swap(copy);
  }
  return *this;
}

UT_HeapBuf& UT_HeapBuf::operator=(UT_HeapBuf&& other) noexcept
{
  if (this != &other)
    Swap(other);
  return *this;
}

UT_HeapBuf::~UT_HeapBuf() { std::free(m_buf); }

void UT_HeapBuf::Swap(UT_HeapBuf& other) noexcept
{
  std::swap(m_buf, other.m_buf);
  std::swap(m_alloc, other.m_alloc);
  std::swap(m_size, other.m_size);
  std::swap(m_granul, other.m_granul);
}

int UT_HeapBuf::AllocationFor(int newSize) const
{
  if (newSize < 1)
    return 0;
  const int64_t n = newSize;
  int64_t g = std::max<int64_t>(n / 2, m_granul);
  int64_t alloc;
  if (m_granul < kPage) {
    alloc = n + g;
  } else {
    g -= g % kPage;
    if (g == 0)
      g = kPage;
    g = std::min(g, kMaxStep);
    const int64_t total = n + g + kPageSlack;
    alloc = total - total % kPage - kPageSlack;
  }
  return alloc > INT_MAX ? -1 : static_cast<int>(alloc);
}

void* UT_HeapBuf::Resize(int newSize, bool resizeDown)
{
  newSize = std::max(newSize, 0);
  if (newSize == m_size && (!resizeDown || newSize >= m_alloc / 2))
    return Get();

  int threshold = 0;
  if (resizeDown && newSize < m_size)
    threshold = std::max(1, std::min(m_alloc - 4 * m_granul, m_alloc / 2));

  if (newSize > m_alloc || newSize < threshold) {
    const int newAlloc = AllocationFor(newSize);
    if (newAlloc < 0)
      return Get();
    if (newAlloc == 0) {
      std::free(m_buf);
      m_buf = nullptr;
      m_alloc = 0;
      m_size = 0;
      return nullptr;
    }
    if (newAlloc != m_alloc) {
      const auto bytes = static_cast<std::size_t>(newAlloc);
      void* block = UT_Reallocate(m_buf, bytes);
      if (!block) {
        // realloc keeps the old block on failure; a fresh block may still fit.
        block = UT_Allocate(bytes);
        if (!block)
          return Get();
        if (m_buf) {
          std::memcpy(block, m_buf, static_cast<std::size_t>(std::min(newSize, m_size)));
          std::free(m_buf);
        }
      }
      m_buf = block;
      m_alloc = newAlloc;
    }
  }
  m_size = newSize;
  return Get();
}

} // namespace plugin
