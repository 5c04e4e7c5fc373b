#pragma once
// Growable list of pointers. The list never deletes on its own: an owner
// calls Empty(true) (or Delete with wantDelete) before it lets go, so one
// type serves owning and borrowing lists alike. Not thread-safe.
#include "UT_HeapBuf.h"

namespace plugin {

template <class T> class UT_PtrList {
public:
  using Deleter = void (*)(T*);

  explicit UT_PtrList(int granularity = UT_HeapBuf::kDefaultGranularity) : mBuf(granularity) {}
  UT_PtrList(const UT_PtrList&) = delete;
  UT_PtrList& operator=(const UT_PtrList&) = delete;
  UT_PtrList(UT_PtrList&&) noexcept = default;
  UT_PtrList& operator=(UT_PtrList&&) noexcept = default;

  int GetSize() const { return mBuf.GetSize() / static_cast<int>(sizeof(T*)); }

  // Null outside 0..count-1.
  T* Get(int i) const
  {
    T** items = Items();
    return (items && i >= 0 && i < GetSize()) ? items[i] : nullptr;
  }

  // False (nothing stored) when the list cannot grow.
  bool Add(T* item) { return Insert(GetSize(), item); }

  // Stores item before position idx (clamped to 0..count).
  bool Insert(int idx, T* item)
  {
    const int n = GetSize();
    if (!Grow(n + 1))
      return false;
    idx = idx < 0 ? 0 : (idx > n ? n : idx);
    T** items = Items();
    for (int i = n; i > idx; --i)
      items[i] = items[i - 1];
    items[idx] = item;
    return true;
  }

  // Removes the slot at idx, deleting its item when asked; the allocation stays.
  void Delete(int idx, bool wantDelete = false, Deleter deleter = nullptr)
  {
    const int n = GetSize();
    if (idx < 0 || idx >= n)
      return;
    T** items = Items();
    T* item = items[idx];
    for (int i = idx; i < n - 1; ++i)
      items[i] = items[i + 1];
    mBuf.Resize((n - 1) * static_cast<int>(sizeof(T*)), false);
    if (wantDelete)
      Destroy(item, deleter);
  }

  // Index of the first slot holding item, -1 when absent.
  int Find(const T* item) const
  {
    for (int i = 0; i < GetSize(); ++i)
      if (Items()[i] == item)
        return i;
    return -1;
  }

  // With wantDelete, deletes the items from the last to the first, the list
  // shrinking by one slot after each. The size ends at 0; the allocation stays.
  void Empty(bool wantDelete = false, Deleter deleter = nullptr)
  {
    if (wantDelete) {
      for (int n = GetSize(); n > 0; --n) {
        T* item = Items()[n - 1];
        Destroy(item, deleter);
        mBuf.Resize((n - 1) * static_cast<int>(sizeof(T*)), false);
      }
    }
    mBuf.Resize(0, false);
  }

private:
  T** Items() const { return static_cast<T**>(mBuf.Get()); }

  bool Grow(int count)
  {
    mBuf.Resize(count * static_cast<int>(sizeof(T*)), false);
    return GetSize() == count;
  }

  static void Destroy(T* item, Deleter deleter)
  {
    if (!item)
      return;
    if (deleter)
      deleter(item);
    else
      delete item;
  }

  UT_HeapBuf mBuf;
};

} // namespace plugin
