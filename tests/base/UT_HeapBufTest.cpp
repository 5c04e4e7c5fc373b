#include <gtest/gtest.h>

#include <cstdint>
#include <cstring>
#include <algorithm>
#include <random>
#include <vector>

#include "FailingAllocator.h"
#include "UT_HeapBuf.h"
#include "UT_PtrList.h"
#include "UT_TypedBuf.h"

using plugin::UT_HeapBuf;
using testsupport::BufferAllocationCalls;
using testsupport::ScopedAllocationFailure;

namespace {

// The growth rule, restated page by page: a small-step buffer adds at least
// half again; a page-step buffer adds whole pages (step capped at 4 MiB) and
// keeps 96 bytes of every last page for the allocator.
int64_t ExpectedAllocation(int64_t n, int granularity)
{
  if (n <= 0)
    return 0;
  int64_t step = n / 2 > granularity ? n / 2 : granularity;
  if (granularity < 4096)
    return n + step;
  int64_t pages = step / 4096;
  if (pages == 0)
    pages = 1;
  if (pages > 1024)
    pages = 1024;
  int64_t end = 0;
  while (end + 4096 <= n + pages * 4096 + 96)
    end += 4096;
  return end - 96;
}

void Fill(UT_HeapBuf& buf, int from, uint8_t seed)
{
  auto* p = static_cast<uint8_t*>(buf.Get());
  for (int i = from; i < buf.GetSize(); ++i)
    p[i] = static_cast<uint8_t>(seed + i * 7);
}

bool Holds(const UT_HeapBuf& buf, int count, uint8_t seed)
{
  const auto* p = static_cast<const uint8_t*>(buf.Get());
  for (int i = 0; i < count; ++i)
    if (p[i] != static_cast<uint8_t>(seed + i * 7))
      return false;
  return true;
}

} // namespace

TEST(UT_HeapBuf, GrowthAllocatesTheFiguresOfTheGrowthRule)
{
  struct Case {
    int granularity;
    int first;
    int firstAlloc;
    int second;
    int secondAlloc;
  };
  const Case cases[] = {
    {4096, 1, 4000, 0, 0},
    {4096, 10000, 12192, 0, 0},
    {128, 10, 138, 1000, 1500},
    {4096, 100000000, 104193952, 0, 0},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(testing::Message() << "granularity " << c.granularity << " size " << c.first);
    UT_HeapBuf buf(c.granularity);
    EXPECT_NE(buf.Resize(c.first, false), nullptr);
    EXPECT_EQ(buf.GetSize(), c.first);
    EXPECT_EQ(buf.GetAlloc(), c.firstAlloc);
    if (c.second) {
      buf.Resize(c.second, false);
      EXPECT_EQ(buf.GetAlloc(), c.secondAlloc);
    }
  }
}

TEST(UT_HeapBuf, NegativeSizeActsAsZeroAndTheAllocationIsReusedLater)
{
  UT_HeapBuf buf(4096);
  buf.Resize(3000, false);
  Fill(buf, 0, 11);
  void* before = buf.Get();
  const int alloc = buf.GetAlloc();

  EXPECT_EQ(buf.Resize(-5, false), nullptr);
  EXPECT_EQ(buf.GetSize(), 0);
  EXPECT_EQ(buf.Get(), nullptr);
  EXPECT_EQ(buf.GetAlloc(), alloc);

  const int calls = BufferAllocationCalls();
  EXPECT_EQ(buf.Resize(3000, false), before);
  EXPECT_EQ(BufferAllocationCalls(), calls);
  EXPECT_TRUE(Holds(buf, 3000, 11));
}

TEST(UT_HeapBuf, ShrinkingToZeroWithResizeDownFreesTheMemory)
{
  UT_HeapBuf buf(128);
  buf.Resize(500);
  EXPECT_EQ(buf.Resize(0, true), nullptr);
  EXPECT_EQ(buf.GetAlloc(), 0);
  EXPECT_EQ(buf.GetSize(), 0);
}

TEST(UT_HeapBuf, ResizingToTheSameSizeCallsNoAllocator)
{
  UT_HeapBuf buf(128);
  buf.Resize(777);
  const int calls = BufferAllocationCalls();
  buf.Resize(777, false);
  buf.Resize(777, true);
  EXPECT_EQ(BufferAllocationCalls(), calls);
}

TEST(UT_HeapBuf, AnySequenceOfResizesFollowsTheRuleAndKeepsTheData)
{
  std::mt19937 rng(20240611);
  for (int granularity : {128, 4096}) {
    UT_HeapBuf buf(granularity);
    int64_t alloc = 0;
    int size = 0;
    uint8_t seed = 1;
    for (int step = 0; step < 400; ++step) {
      const int n = static_cast<int>(rng() % 3 == 0 ? rng() % 200 : rng() % 60000);
      const bool down = rng() % 2;
      // When the allocation is expected to change.
      int64_t threshold = 0;
      if (down && n < size) {
        threshold = std::max<int64_t>(1, std::min<int64_t>(alloc - 4 * granularity, alloc / 2));
      }
      const bool sameReturnsAtOnce = n == size && (!down || n >= alloc / 2);
      if (!sameReturnsAtOnce && (n > alloc || n < threshold))
        alloc = ExpectedAllocation(n, granularity);

      buf.Resize(n, down);
      ASSERT_EQ(buf.GetAlloc(), alloc) << "step " << step << " size " << n;
      ASSERT_EQ(buf.GetSize(), n);
      ASSERT_LE(buf.GetSize(), buf.GetAlloc());
      ASSERT_TRUE(Holds(buf, std::min(size, n), seed));
      if (alloc == 0)
        size = 0;
      Fill(buf, std::min(size, n), seed);
      size = n;
    }
  }
}

TEST(UT_HeapBuf, FailedGrowthLeavesDataAndSizeIntact)
{
  UT_HeapBuf buf(128);
  buf.Resize(100);
  Fill(buf, 0, 5);
  void* before = buf.Get();
  const int alloc = buf.GetAlloc();
  {
    ScopedAllocationFailure failing;
    EXPECT_EQ(buf.Resize(100000, false), before);
    EXPECT_EQ(failing.Refused(), 2); // realloc, then the fresh block
  }
  EXPECT_EQ(buf.GetSize(), 100);
  EXPECT_EQ(buf.GetAlloc(), alloc);
  EXPECT_TRUE(Holds(buf, 100, 5));
}

TEST(UT_HeapBuf, FailedFirstGrowthReturnsNullAndStaysEmpty)
{
  UT_HeapBuf buf(4096);
  ScopedAllocationFailure failing;
  EXPECT_EQ(buf.Resize(10), nullptr);
  EXPECT_EQ(buf.GetSize(), 0);
  EXPECT_EQ(buf.GetAlloc(), 0);
}

TEST(UT_HeapBuf, WhenReallocFailsAFreshBlockReceivesTheData)
{
  UT_HeapBuf buf(128);
  buf.Resize(300);
  Fill(buf, 0, 9);
  {
    ScopedAllocationFailure failing(0, 1);
    EXPECT_NE(buf.Resize(5000, false), nullptr);
    EXPECT_EQ(failing.Refused(), 1);
  }
  EXPECT_EQ(buf.GetSize(), 5000);
  EXPECT_EQ(buf.GetAlloc(), 7500);
  EXPECT_TRUE(Holds(buf, 300, 9));
}

TEST(UT_HeapBuf, SizesBeyondTheIntRangeFailWithoutChange)
{
  UT_HeapBuf buf(4096);
  buf.Resize(64);
  EXPECT_EQ(buf.Resize(2147483000, false), buf.Get());
  EXPECT_EQ(buf.GetSize(), 64);
}

TEST(UT_HeapBuf, CopiesAreDeepAndMovesLeaveTheSourceEmpty)
{
  UT_HeapBuf a(128);
  a.Resize(50);
  Fill(a, 0, 3);
  UT_HeapBuf b(a);
  EXPECT_NE(b.Get(), a.Get());
  EXPECT_TRUE(Holds(b, 50, 3));
  Fill(a, 0, 99);
  EXPECT_TRUE(Holds(b, 50, 3));

  UT_HeapBuf c(std::move(b));
  EXPECT_EQ(b.GetSize(), 0);
  EXPECT_TRUE(Holds(c, 50, 3));
  a = c;
  EXPECT_TRUE(Holds(a, 50, 3));
}

TEST(UT_TypedBuf, CountFollowsTheByteSizeAndAFailedAddStoresNothing)
{
  plugin::UT_TypedBuf<double> values; // the first allocation holds 4000 bytes: 500 values
  for (int i = 0; i < 500; ++i)
    ASSERT_TRUE(values.Add(i * 0.5));
  EXPECT_EQ(values.GetSize(), 500);
  EXPECT_EQ(values.GetBytes(), 4000);
  {
    ScopedAllocationFailure failing;
    EXPECT_FALSE(values.Add(-1.0));
    EXPECT_EQ(failing.Refused(), 2);
  }
  EXPECT_EQ(values.GetSize(), 500);
  EXPECT_EQ(values.Get()[499], 249.5);
  EXPECT_EQ(values.Resize(INT32_MAX / 4), values.Get());
  EXPECT_EQ(values.GetSize(), 500);
}

namespace {
struct Tracked {
  explicit Tracked(int id, std::vector<int>* log) : mId(id), mLog(log) {}
  ~Tracked() { mLog->push_back(mId); }
  int mId;
  std::vector<int>* mLog;
};
std::vector<int>* gDeleterLog = nullptr;
void LogAndDelete(Tracked* t)
{
  gDeleterLog->push_back(-t->mId);
  delete t;
}
} // namespace

TEST(UT_PtrList, EmptyingDeletesFromLastToFirstSkipsNullsAndKeepsTheAllocation)
{
  std::vector<int> log;
  plugin::UT_PtrList<Tracked> list;
  list.Add(new Tracked(1, &log));
  list.Add(nullptr);
  list.Add(new Tracked(3, &log));
  EXPECT_EQ(list.GetSize(), 3);
  list.Empty(true);
  EXPECT_EQ(log, (std::vector<int>{3, 1}));
  EXPECT_EQ(list.GetSize(), 0);
  EXPECT_EQ(list.Get(0), nullptr);

  log.clear();
  gDeleterLog = &log;
  list.Add(new Tracked(7, &log));
  list.Add(new Tracked(8, &log));
  list.Empty(true, &LogAndDelete);
  EXPECT_EQ(log, (std::vector<int>{-8, 8, -7, 7}));
}

TEST(UT_PtrList, EmptyingWithoutDeleteLeavesTheItemsAlive)
{
  std::vector<int> log;
  Tracked a(1, &log);
  plugin::UT_PtrList<Tracked> list;
  list.Add(&a);
  list.Empty();
  EXPECT_TRUE(log.empty());
  EXPECT_EQ(list.GetSize(), 0);
}

TEST(UT_PtrList, GetOutsideTheRangeIsNull)
{
  int x = 0;
  plugin::UT_PtrList<int> list;
  EXPECT_EQ(list.Get(0), nullptr);
  list.Add(&x);
  for (int i : {-1, 1, 1000})
    EXPECT_EQ(list.Get(i), nullptr) << i;
  EXPECT_EQ(list.Get(0), &x);
}

TEST(UT_PtrList, InsertDeleteAndFindKeepTheOrder)
{
  int v[5] = {};
  plugin::UT_PtrList<int> list;
  list.Add(&v[1]);
  list.Add(&v[3]);
  list.Insert(0, &v[0]);
  list.Insert(2, &v[2]);
  list.Insert(99, &v[4]);
  for (int i = 0; i < 5; ++i)
    EXPECT_EQ(list.Get(i), &v[i]);
  list.Delete(2);
  EXPECT_EQ(list.Find(&v[2]), -1);
  EXPECT_EQ(list.Find(&v[3]), 2);
  EXPECT_EQ(list.GetSize(), 4);
}

TEST(UT_PtrList, AddThatCannotGrowStoresNothing)
{
  int x = 0;
  plugin::UT_PtrList<int> list;
  ScopedAllocationFailure failing;
  EXPECT_FALSE(list.Add(&x));
  EXPECT_EQ(list.GetSize(), 0);
}
