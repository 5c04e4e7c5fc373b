#pragma once
// Growable raw byte buffer; every list, string and chunk of the system grows
// through its one resize rule.
//
// Contract: not thread-safe (one user at a time). Memory is moved with
// realloc, so only trivially copyable data may live in it. Sizes are int32;
// a request that cannot be represented fails like an allocation failure and
// leaves the buffer untouched.
#include <cstddef>
#include <cstdint>

namespace plugin {

// The allocation calls behind every UT_HeapBuf. They are plain realloc and
// malloc, defined weak so a test program can link its own (to make an
// allocation fail) without adding a branch to the normal path.
void* UT_Reallocate(void* block, std::size_t bytes);
void* UT_Allocate(std::size_t bytes);

class UT_HeapBuf {
public:
  static constexpr int kDefaultGranularity = 4096;

  explicit UT_HeapBuf(int granularity = kDefaultGranularity) : m_granul(granularity) {}
  UT_HeapBuf(const UT_HeapBuf& other);
  UT_HeapBuf(UT_HeapBuf&& other) noexcept;
  UT_HeapBuf& operator=(const UT_HeapBuf& other);
  UT_HeapBuf& operator=(UT_HeapBuf&& other) noexcept;
  ~UT_HeapBuf();

  // Sets the logical size to newSize (negative counts as 0). Grows the
  // allocation geometrically when needed; shrinks it only when resizeDown is
  // set and the size falls well below it. Returns the data pointer (null for
  // size 0). When the memory cannot be had, data and size stay as they were
  // and the old data pointer is returned: check GetSize() before writing.
  void* Resize(int newSize, bool resizeDown = true);

  // The data, or null when the size is 0 (even if memory is still held).
  void* Get() const { return m_size ? m_buf : nullptr; }
  int GetSize() const { return m_size; }
  int GetAlloc() const { return m_alloc; }
  int GetGranularity() const { return m_granul; }

  void Swap(UT_HeapBuf& other) noexcept;

private:
  // The allocation the growth rule picks for a size; -1 when not representable.
  int AllocationFor(int newSize) const;

  void* m_buf = nullptr;
  int32_t m_alloc = 0;
  int32_t m_size = 0;
  int32_t m_granul;
};

} // namespace plugin
