#include "AutoreleasePool.h"

#include <utility>
#include <vector>

namespace standin {
namespace {

struct Entry {
  const void* object;
  ReleaseFunction release;
};

struct ThreadPools {
  std::vector<Entry> entries;
  std::vector<std::size_t> marks; // entries.size() when each pool opened
};

ThreadPools& Pools()
{
  thread_local ThreadPools pools;
  return pools;
}

// Releasing may autorelease more objects; keep going until the range is empty.
void ReleaseDownTo(std::size_t size)
{
  ThreadPools& pools = Pools();
  while (pools.entries.size() > size) {
    Entry e = pools.entries.back();
    pools.entries.pop_back();
    e.release(e.object);
  }
}

} // namespace

void AutoreleaseAdd(const void* object, ReleaseFunction release) { Pools().entries.push_back({object, release}); }

std::size_t PushAutoreleasePool()
{
  ThreadPools& pools = Pools();
  pools.marks.push_back(pools.entries.size());
  return pools.marks.size();
}

void PopAutoreleasePool(std::size_t token)
{
  ThreadPools& pools = Pools();
  if (token == 0 || token > pools.marks.size())
    return;
  const std::size_t mark = pools.marks[token - 1];
  pools.marks.resize(token - 1);
  ReleaseDownTo(mark);
}

void DrainAllAutoreleasePools()
{
  Pools().marks.clear();
  ReleaseDownTo(0);
}

std::size_t PendingAutoreleased() { return Pools().entries.size(); }

} // namespace standin
