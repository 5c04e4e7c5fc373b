#include "IPluginMPQueue.h"
#include "IPluginStructs.h"

#include <gtest/gtest.h>

#include <atomic>
#include <thread>
#include <vector>

namespace {

using plugin::IPluginMPQueue;
using plugin::ParamTuple;

TEST(IPluginMPQueue, HoldsExactlyItsCapacityAndDropsTheNextPush)
{
  IPluginMPQueue<ParamTuple> queue(512);
  for (int i = 0; i < 512; ++i)
    ASSERT_TRUE(queue.Push({i, i * 0.5}));
  EXPECT_FALSE(queue.Push({512, 0.0}));
  EXPECT_EQ(queue.ElementsAvailable(), 512u);

  ParamTuple t;
  for (int i = 0; i < 512; ++i) {
    ASSERT_TRUE(queue.Pop(t));
    EXPECT_EQ(t.idx, i);
    EXPECT_EQ(t.value, i * 0.5);
  }
  EXPECT_FALSE(queue.Pop(t));
  EXPECT_EQ(queue.ElementsAvailable(), 0u);
}

TEST(IPluginMPQueue, KeepsOrderAcrossManyLapsOfTheRing)
{
  IPluginMPQueue<ParamTuple> queue(3);
  int next = 0;
  int expected = 0;
  ParamTuple t;
  for (int lap = 0; lap < 1000; ++lap) {
    const int pushes = 1 + lap % 3;
    for (int k = 0; k < pushes; ++k)
      ASSERT_TRUE(queue.Push({next++, 0.0}));
    for (int k = 0; k < pushes; ++k) {
      ASSERT_TRUE(queue.Pop(t));
      ASSERT_EQ(t.idx, expected++);
    }
  }
  EXPECT_FALSE(queue.Pop(t));
}

// Several producers push tagged, numbered values while one consumer pops: no
// value is lost, duplicated or torn, and each producer's values arrive in the
// order it pushed them.
TEST(IPluginMPQueue, SeveralProducersAndOneConsumerLoseAndReorderNothing)
{
  constexpr int kProducers = 4;
  constexpr int kPerProducer = 20000;
  IPluginMPQueue<ParamTuple> queue(512);

  std::atomic<bool> go{false};
  std::vector<std::thread> producers;
  for (int p = 0; p < kProducers; ++p) {
    producers.emplace_back([&, p] {
      while (!go.load())
        std::this_thread::yield();
      for (int n = 0; n < kPerProducer; ++n) {
        // value encodes the same numbers, so a torn element shows up
        const ParamTuple t{p * kPerProducer + n, static_cast<double>(p * kPerProducer + n) * 2.0};
        while (!queue.Push(t))
          std::this_thread::yield();
      }
    });
  }

  std::vector<int> nextFrom(kProducers, 0);
  int received = 0;
  go.store(true);
  ParamTuple t;
  while (received < kProducers * kPerProducer) {
    if (!queue.Pop(t)) {
      std::this_thread::yield();
      continue;
    }
    ASSERT_EQ(t.value, t.idx * 2.0) << "torn element";
    const int p = t.idx / kPerProducer;
    ASSERT_GE(p, 0);
    ASSERT_LT(p, kProducers);
    ASSERT_EQ(t.idx % kPerProducer, nextFrom[p]) << "producer " << p << " out of order";
    ++nextFrom[p];
    ++received;
  }
  for (std::thread& th : producers)
    th.join();
  EXPECT_FALSE(queue.Pop(t));
  for (int p = 0; p < kProducers; ++p)
    EXPECT_EQ(nextFrom[p], kPerProducer);
}

} // namespace
