#pragma once
// FIFO of doubles on one contiguous buffer: the engines' output and history
// queues. Appends go to the end; reads advance a position, and once that
// position passes half the buffer the unread rest moves to the front. The
// allocation never shrinks, so a queue in steady use stops allocating.
// Not thread-safe.
#include "UT_TypedBuf.h"

class CByteQueue {
public:
  // Unread samples.
  int Size() const { return mBuf.GetSize() - mReadPos / int(sizeof(double)); }
  // First unread sample, null when the queue is empty.
  double* Data() const { return Size() > 0 ? mBuf.Get() + mReadPos / int(sizeof(double)) : nullptr; }

  // Room for n more samples at the end, uninitialised; null (queue
  // unchanged) when n < 1 or the buffer cannot grow.
  double* Append(int n);
  bool AppendZeros(int n);
  bool AppendCopy(const double* src, int n);

  // Drops n unread samples (clamped to what is queued).
  void Consume(int n);
  void Clear();

private:
  plugin::UT_TypedBuf<double> mBuf;
  int mReadPos = 0; // bytes
};
