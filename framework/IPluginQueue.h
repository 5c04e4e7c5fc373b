#pragma once
// Bounded lock-free ring for exactly one producer thread and one consumer
// thread. Storage for capacity + 1 elements is allocated once at
// construction; Push and Pop copy by value and never allocate or wait.
// Full when the write index is one behind the read index, so it holds
// `capacity` elements; a push onto a full queue is dropped.

#include <atomic>
#include <cstddef>

#include "UT_TypedBuf.h"

namespace plugin {

template <class T> class IPluginQueue {
public:
  explicit IPluginQueue(int capacity)
  {
    mData.Resize(capacity > 0 ? capacity + 1 : 2);
    mSize = static_cast<size_t>(mData.GetSize());
  }

  IPluginQueue(const IPluginQueue&) = delete;
  IPluginQueue& operator=(const IPluginQueue&) = delete;

  // Producer thread only. False (item dropped) when full.
  bool Push(const T& item)
  {
    const size_t write = mWriteIndex.load(std::memory_order_relaxed);
    const size_t next = Next(write);
    if (mSize == 0 || next == mReadIndex.load(std::memory_order_acquire))
      return false;
    mData.Get()[write] = item;
    mWriteIndex.store(next, std::memory_order_release);
    return true;
  }

  // Consumer thread only. False when empty.
  bool Pop(T& item)
  {
    const size_t read = mReadIndex.load(std::memory_order_relaxed);
    if (read == mWriteIndex.load(std::memory_order_acquire))
      return false;
    item = mData.Get()[read];
    mReadIndex.store(Next(read), std::memory_order_release);
    return true;
  }

  size_t ElementsAvailable() const
  {
    const size_t read = mReadIndex.load(std::memory_order_acquire);
    const size_t write = mWriteIndex.load(std::memory_order_acquire);
    return write >= read ? write - read : write - read + mSize;
  }

  int Capacity() const { return mSize > 0 ? static_cast<int>(mSize) - 1 : 0; }

private:
  size_t Next(size_t i) const { return mSize ? (i + 1) % mSize : 0; }

  UT_TypedBuf<T> mData;
  size_t mSize = 0; // capacity + 1, or 0 when the storage could not be had
  std::atomic<size_t> mWriteIndex{0};
  std::atomic<size_t> mReadIndex{0};
};

} // namespace plugin
