#include "IPluginQueue.h"
#include "IPluginStructs.h"

#include <gtest/gtest.h>

#include <thread>

namespace {

using plugin::IMidiMsg;
using plugin::IPluginQueue;
using plugin::SysExData;

TEST(IPluginQueue, HoldsItsCapacityAndDropsTheNextPush)
{
  struct {
    int capacity;
  } cases[] = {{1}, {4}, {32}, {512}};
  for (const auto& c : cases) {
    IPluginQueue<IMidiMsg> queue(c.capacity);
    EXPECT_EQ(queue.Capacity(), c.capacity);
    for (int i = 0; i < c.capacity; ++i)
      ASSERT_TRUE(queue.Push(IMidiMsg(i, 0x90, 1, 2)));
    EXPECT_FALSE(queue.Push(IMidiMsg(-1, 0, 0, 0)));
    EXPECT_EQ(queue.ElementsAvailable(), static_cast<size_t>(c.capacity));
    IMidiMsg m;
    for (int i = 0; i < c.capacity; ++i) {
      ASSERT_TRUE(queue.Pop(m));
      EXPECT_EQ(m.mOffset, i);
    }
    EXPECT_FALSE(queue.Pop(m));
  }
}

TEST(IPluginQueue, CountsElementsAcrossTheWrapOfTheIndices)
{
  IPluginQueue<IMidiMsg> queue(4);
  IMidiMsg m;
  int pushed = 0, popped = 0;
  for (int step = 0; step < 40; ++step) {
    while (queue.Push(IMidiMsg(pushed, 0, 0, 0)))
      ++pushed;
    EXPECT_EQ(queue.ElementsAvailable(), 4u);
    for (int k = 0; k < 1 + step % 4; ++k) {
      ASSERT_TRUE(queue.Pop(m));
      ASSERT_EQ(m.mOffset, popped++);
    }
    EXPECT_EQ(queue.ElementsAvailable(), static_cast<size_t>(pushed - popped));
  }
}

TEST(IPluginQueue, SysexRecordsTravelWhole)
{
  IPluginQueue<SysExData> queue(4);
  const uint8_t bytes[] = {0xF0, 0x7E, 0x01, 0xF7};
  ASSERT_TRUE(queue.Push(SysExData(plugin::ISysEx(9, bytes, 4))));
  SysExData out;
  ASSERT_TRUE(queue.Pop(out));
  EXPECT_EQ(out.mOffset, 9);
  EXPECT_EQ(out.mSize, 4);
  EXPECT_EQ(out.mData[1], 0x7E);
  EXPECT_EQ(out.mData[4], 0);
}

TEST(IPluginQueue, OneProducerAndOneConsumerKeepEveryElementInOrder)
{
  constexpr int kCount = 100000;
  IPluginQueue<IMidiMsg> queue(32);
  std::thread producer([&] {
    for (int i = 0; i < kCount; ++i) {
      const IMidiMsg m(i, static_cast<uint8_t>(i), static_cast<uint8_t>(i >> 8), static_cast<uint8_t>(i >> 16));
      while (!queue.Push(m))
        std::this_thread::yield();
    }
  });
  IMidiMsg m;
  for (int i = 0; i < kCount; ++i) {
    while (!queue.Pop(m))
      std::this_thread::yield();
    ASSERT_EQ(m.mOffset, i);
    ASSERT_EQ(m.mStatus, static_cast<uint8_t>(i));
    ASSERT_EQ(m.mData2, static_cast<uint8_t>(i >> 16));
  }
  producer.join();
  EXPECT_FALSE(queue.Pop(m));
}

TEST(SysExData, AViewWithoutDataGivesZeroBytesAndLongMessagesAreCut)
{
  const SysExData empty(plugin::ISysEx(5, nullptr, 100));
  EXPECT_EQ(empty.mOffset, 5);
  EXPECT_EQ(empty.mSize, 100);
  for (uint8_t b : empty.mData)
    ASSERT_EQ(b, 0);

  std::vector<uint8_t> big(2000, 0xAB);
  const SysExData cut(plugin::ISysEx(0, big.data(), 2000));
  EXPECT_EQ(cut.mData[511], 0xAB);
  EXPECT_EQ(cut.View().mSize, 512);
  EXPECT_EQ(cut.View().mData, cut.mData);
}

} // namespace
