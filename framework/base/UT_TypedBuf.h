#pragma once
// A UT_HeapBuf viewed as an array of one trivially copyable element type.
// Same contract as UT_HeapBuf: not thread-safe; a failed growth leaves the
// elements and the count unchanged.
#include <climits>
#include <cstring>
#include <type_traits>

#include "UT_HeapBuf.h"

namespace plugin {

template <class T> class UT_TypedBuf {
  static_assert(std::is_trivially_copyable_v<T>, "elements are moved as raw bytes");

public:
  explicit UT_TypedBuf(int granularity = UT_HeapBuf::kDefaultGranularity) : mBuf(granularity) {}

  // Element count follows the byte size; a count whose bytes do not fit an
  // int fails without change. Returns the data (null for count 0).
  T* Resize(int count, bool resizeDown = true)
  {
    if (count > INT_MAX / static_cast<int>(sizeof(T)))
      return Get();
    return static_cast<T*>(mBuf.Resize(count * static_cast<int>(sizeof(T)), resizeDown));
  }

  // Appends one element; false (nothing stored) when the buffer cannot grow.
  bool Add(const T& item)
  {
    const int n = GetSize();
    Resize(n + 1, false);
    if (GetSize() != n + 1)
      return false;
    std::memcpy(static_cast<void*>(Get() + n), &item, sizeof(T));
    return true;
  }

  T* Get() const { return static_cast<T*>(mBuf.Get()); }
  int GetSize() const { return mBuf.GetSize() / static_cast<int>(sizeof(T)); }
  int GetBytes() const { return mBuf.GetSize(); }

private:
  UT_HeapBuf mBuf;
};

} // namespace plugin
