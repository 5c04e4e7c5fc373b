#include "CByteQueue.h"

#include <algorithm>
#include <climits>
#include <cstring>

double* CByteQueue::Append(int n)
{
  if (n < 1)
    return nullptr;
  if (Size() == 0)
    Clear();
  const int old = mBuf.GetSize();
  if (n > INT_MAX / int(sizeof(double)) - old)
    return nullptr;
  mBuf.Resize(old + n, false);
  if (mBuf.GetSize() != old + n)
    return nullptr;
  return mBuf.Get() + old;
}

bool CByteQueue::AppendZeros(int n)
{
  double* dst = Append(n);
  if (dst)
    std::fill(dst, dst + n, 0.0);
  return dst != nullptr;
}

bool CByteQueue::AppendCopy(const double* src, int n)
{
  if (!src)
    return AppendZeros(n);
  double* dst = Append(n);
  if (dst)
    std::memcpy(dst, src, size_t(n) * sizeof(double));
  return dst != nullptr;
}

void CByteQueue::Consume(int n)
{
  const int size = mBuf.GetSize();
  int pos = mReadPos / int(sizeof(double)) + std::clamp(n, 0, Size());
  if (pos * 2 > size) {
    const int rest = size - pos;
    if (rest > 0)
      std::memmove(mBuf.Get(), mBuf.Get() + pos, size_t(rest) * sizeof(double));
    mBuf.Resize(rest, false);
    pos = 0;
  }
  mReadPos = pos * int(sizeof(double));
}

void CByteQueue::Clear()
{
  mBuf.Resize(0, false);
  mReadPos = 0;
}
