#pragma once
// FIFO of bytes in a chain of heap blocks: the engines' input queues. Each
// append lands in one block (the last one if it fits, else a recycled or new
// block of at least kBlockSize bytes); fully read blocks go to a free list
// for reuse, so a queue in steady use stops allocating. Not thread-safe.
#include <cstdint>

class CBlockQueue {
public:
  static constexpr int kBlockSize = 65472;

  // keepEmpty: how many emptied blocks to keep for reuse (-1: all).
  explicit CBlockQueue(int keepEmpty = -1) : mKeepEmpty(keepEmpty) {}
  ~CBlockQueue();
  CBlockQueue(const CBlockQueue&) = delete;
  CBlockQueue& operator=(const CBlockQueue&) = delete;

  // Appends n bytes from src (zeros when src is null). False, queue
  // unchanged, when n < 1 or no block can be had.
  bool Append(const void* src, int n);
  // Copies the first min(n, Size()) queued bytes to dst; returns the count.
  int Read(void* dst, int n) const;
  // Drops the first n bytes (clamped to what is queued).
  void Consume(int n);
  void Clear();
  int Size() const { return mTotal; }

private:
  struct Block {
    int32_t capacity;
    int32_t used;
    Block* next;
    uint8_t* Data() { return reinterpret_cast<uint8_t*>(this + 1); }
  };

  Block* TakeBlock(int n);
  void Recycle(Block* block);

  Block* mFirst = nullptr;
  Block* mLast = nullptr;
  Block* mEmpty = nullptr;
  int mNumEmpty = 0;
  int mReadOffset = 0;
  int mTotal = 0;
  int mKeepEmpty;
};
