#include "CBlockQueue.h"

#include <algorithm>
#include <climits>
#include <cstdlib>
#include <cstring>

#include "UT_HeapBuf.h"

CBlockQueue::~CBlockQueue()
{
  for (Block* list : {mFirst, mEmpty}) {
    while (list) {
      Block* next = list->next;
      std::free(list);
      list = next;
    }
  }
}

// A recycled block of capacity >= n, or a new one; null when memory fails.
CBlockQueue::Block* CBlockQueue::TakeBlock(int n)
{
  while (mEmpty) {
    Block* block = mEmpty;
    mEmpty = block->next;
    --mNumEmpty;
    if (block->capacity >= n)
      return block;
    std::free(block);
  }
  const int capacity = std::max(kBlockSize, n);
  auto* block = static_cast<Block*>(plugin::UT_Allocate(sizeof(Block) + size_t(capacity)));
  if (block)
    block->capacity = capacity;
  return block;
}

void CBlockQueue::Recycle(Block* block)
{
  if (mKeepEmpty >= 0 && mNumEmpty >= mKeepEmpty) {
    std::free(block);
    return;
  }
  block->next = mEmpty;
  mEmpty = block;
  ++mNumEmpty;
}

bool CBlockQueue::Append(const void* src, int n)
{
  if (n < 1 || n > INT_MAX - mTotal)
    return false;
  Block* block = mLast;
  if (!block || block->capacity - block->used < n) {
    block = TakeBlock(n);
    if (!block)
      return false;
    block->used = 0;
    block->next = nullptr;
    if (mLast)
      mLast->next = block;
    else
      mFirst = block;
    mLast = block;
  }
  if (src)
    std::memcpy(block->Data() + block->used, src, size_t(n));
  else
    std::memset(block->Data() + block->used, 0, size_t(n));
  block->used += n;
  mTotal += n;
  return true;
}

int CBlockQueue::Read(void* dst, int n) const
{
  n = std::clamp(n, 0, mTotal);
  auto* out = static_cast<uint8_t*>(dst);
  int offset = mReadOffset;
  int done = 0;
  for (Block* block = mFirst; block && done < n; block = block->next, offset = 0) {
    const int take = std::min(block->used - offset, n - done);
    std::memcpy(out + done, block->Data() + offset, size_t(take));
    done += take;
  }
  return done;
}

void CBlockQueue::Consume(int n)
{
  n = std::clamp(n, 0, mTotal);
  mTotal -= n;
  while (mFirst) {
    const int left = mFirst->used - mReadOffset;
    if (n < left) {
      mReadOffset += n;
      return;
    }
    n -= left;
    Block* done = mFirst;
    mFirst = done->next;
    if (!mFirst)
      mLast = nullptr;
    mReadOffset = 0;
    Recycle(done);
  }
}

void CBlockQueue::Clear() { Consume(mTotal); }
