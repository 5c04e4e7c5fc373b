#pragma once
// Bounded lock-free ring for several producers and one consumer.
//
// Any number of threads may Push at once (host automation threads and the
// render thread all write parameters); exactly one thread Pops. Storage is
// allocated once at construction; Push and Pop never allocate, lock or wait
// for one another: a producer that is preempted between claiming and filling
// its slot only makes Pop report "empty" at that slot until it is filled.
// Holds exactly `capacity` elements; a push onto a full queue is dropped.

#include <atomic>
#include <cstddef>
#include <memory>

namespace plugin {

template <class T> class IPluginMPQueue {
public:
  explicit IPluginMPQueue(int capacity)
  : mCapacity(capacity > 0 ? static_cast<size_t>(capacity) : 1), mCells(new Cell[mCapacity])
  {
    for (size_t i = 0; i < mCapacity; ++i)
      mCells[i].sequence.store(i, std::memory_order_relaxed);
  }

  IPluginMPQueue(const IPluginMPQueue&) = delete;
  IPluginMPQueue& operator=(const IPluginMPQueue&) = delete;

  // Any thread. False (and the item dropped) when the queue is full.
  bool Push(const T& item)
  {
    size_t pos = mWriteIndex.load(std::memory_order_relaxed);
    Cell* cell;
    for (;;) {
      cell = &mCells[pos % mCapacity];
      const size_t seq = cell->sequence.load(std::memory_order_acquire);
      const std::ptrdiff_t dif = static_cast<std::ptrdiff_t>(seq - pos);
      if (dif == 0) {
        if (mWriteIndex.compare_exchange_weak(pos, pos + 1, std::memory_order_relaxed))
          break;
      } else if (dif < 0) {
        return false; // the slot still holds an element from one lap earlier
      } else {
        pos = mWriteIndex.load(std::memory_order_relaxed);
      }
    }
    cell->value = item;
    cell->sequence.store(pos + 1, std::memory_order_release);
    return true;
  }

  // The single consumer thread. False when no filled element is at the head.
  bool Pop(T& item)
  {
    const size_t pos = mReadIndex.load(std::memory_order_relaxed);
    Cell& cell = mCells[pos % mCapacity];
    if (cell.sequence.load(std::memory_order_acquire) != pos + 1)
      return false;
    item = cell.value;
    cell.sequence.store(pos + mCapacity, std::memory_order_release);
    mReadIndex.store(pos + 1, std::memory_order_release);
    return true;
  }

  // Claimed elements not yet popped (a claimed slot may still be filling).
  size_t ElementsAvailable() const
  {
    const size_t read = mReadIndex.load(std::memory_order_acquire);
    const size_t write = mWriteIndex.load(std::memory_order_acquire);
    return write >= read ? write - read : 0;
  }

  int Capacity() const { return static_cast<int>(mCapacity); }

private:
  struct Cell {
    std::atomic<size_t> sequence{0};
    T value{};
  };

  const size_t mCapacity;
  std::unique_ptr<Cell[]> mCells;
  alignas(64) std::atomic<size_t> mWriteIndex{0};
  alignas(64) std::atomic<size_t> mReadIndex{0};
};

} // namespace plugin
