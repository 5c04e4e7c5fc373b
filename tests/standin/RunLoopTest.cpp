#include <CoreFoundation/CoreFoundation.h>
#include <pthread.h>
#include <standin/Testing.h>

#include <gtest/gtest.h>

#include <cmath>
#include <thread>
#include <vector>

namespace {

// Absolute times near the present resolve to about 0.1 us.
constexpr double kTimeTolerance = 1e-6;

struct Ticks {
  std::vector<CFAbsoluteTime> at; // virtual time seen inside each callback
};

void RecordTick(CFRunLoopTimerRef, void* info) { static_cast<Ticks*>(info)->at.push_back(CFAbsoluteTimeGetCurrent()); }

class RunLoopTest : public testing::Test {
protected:
  void SetUp() override
  {
    standin::Reset();
    baseline = standin::LiveCFObjectCount();
  }
  void TearDown() override
  {
    standin::Reset();
    EXPECT_EQ(standin::LiveCFObjectCount(), baseline) << "timers leaked";
  }

  // A repeating timer as the plug-in's tick makes it: first fire now.
  CFRunLoopTimerRef AddTimer(Ticks& ticks, double interval, double delay = 0.0)
  {
    CFRunLoopTimerContext context = {0, &ticks, nullptr, nullptr, nullptr};
    CFRunLoopTimerRef t = CFRunLoopTimerCreate(kCFAllocatorDefault, CFAbsoluteTimeGetCurrent() + delay, interval, 0, 0,
                                               RecordTick, &context);
    CFRunLoopAddTimer(CFRunLoopGetMain(), t, kCFRunLoopCommonModes);
    return t;
  }

  long baseline = 0;
};

TEST_F(RunLoopTest, TimerFiresOnlyWhenTheMainLoopIsPumped)
{
  Ticks ticks;
  CFRunLoopTimerRef t = AddTimer(ticks, 0.02);
  standin::AdvanceClock(1.0);
  EXPECT_TRUE(ticks.at.empty());
  EXPECT_EQ(standin::PumpMainRunLoop(), 1);
  EXPECT_EQ(ticks.at.size(), 1u);
  CFRunLoopTimerInvalidate(t);
  CFRelease(t);
}

TEST_F(RunLoopTest, TwentyMillisecondTimerFiresFiveTimesInOneHundredMilliseconds)
{
  Ticks ticks;
  const CFAbsoluteTime start = CFAbsoluteTimeGetCurrent();
  CFRunLoopTimerRef t = AddTimer(ticks, 0.02);
  EXPECT_EQ(standin::RunMainRunLoopFor(0.1), 5);
  ASSERT_EQ(ticks.at.size(), 5u);
  for (size_t i = 0; i < ticks.at.size(); ++i) {
    EXPECT_NEAR(ticks.at[i] - start, 0.02 * double(i), kTimeTolerance) << "tick " << i;
  }
  EXPECT_NEAR(CFAbsoluteTimeGetCurrent() - start, 0.1, kTimeTolerance);
  CFRunLoopTimerInvalidate(t);
  CFRelease(t);
}

TEST_F(RunLoopTest, LateRepeatingTimerFiresOnceAndSkipsMissedIntervals)
{
  Ticks ticks;
  const CFAbsoluteTime start = CFAbsoluteTimeGetCurrent();
  CFRunLoopTimerRef t = AddTimer(ticks, 0.02);
  standin::AdvanceClock(0.105);
  EXPECT_EQ(standin::PumpMainRunLoop(), 1);
  EXPECT_EQ(standin::PumpMainRunLoop(), 0);
  EXPECT_NEAR(CFRunLoopTimerGetNextFireDate(t) - start, 0.12, kTimeTolerance);
  CFRunLoopTimerInvalidate(t);
  CFRelease(t);
}

TEST_F(RunLoopTest, InvalidatedTimerNeverFiresAndIsFreedByItsLastRelease)
{
  Ticks ticks;
  CFRunLoopTimerRef t = AddTimer(ticks, 0.02);
  EXPECT_EQ(CFGetRetainCount(t), 2) << "the loop holds the timer";
  CFRunLoopTimerInvalidate(t);
  EXPECT_FALSE(CFRunLoopTimerIsValid(t));
  EXPECT_EQ(CFGetRetainCount(t), 1);
  EXPECT_EQ(standin::ScheduledTimerCount(), 0);
  EXPECT_EQ(standin::RunMainRunLoopFor(1.0), 0);
  CFRelease(t);
  EXPECT_EQ(standin::LiveCFObjectCount(), baseline);
}

TEST_F(RunLoopTest, OneShotTimerFiresOnceAtItsDateAndLeavesTheLoop)
{
  Ticks ticks;
  const CFAbsoluteTime start = CFAbsoluteTimeGetCurrent();
  CFRunLoopTimerRef t = AddTimer(ticks, 0.0, 0.5);
  EXPECT_EQ(standin::RunMainRunLoopFor(0.5), 0) << "due exactly at the end: not yet";
  EXPECT_EQ(standin::RunMainRunLoopFor(2.0), 1);
  ASSERT_EQ(ticks.at.size(), 1u);
  EXPECT_NEAR(ticks.at[0] - start, 0.5, kTimeTolerance);
  EXPECT_FALSE(CFRunLoopTimerIsValid(t));
  CFRelease(t);
}

TEST_F(RunLoopTest, TimersFireInDueOrderThenByOrderField)
{
  std::vector<int> order;
  struct Tag {
    std::vector<int>* out;
    int id;
  };
  Tag tags[3] = {{&order, 0}, {&order, 1}, {&order, 2}};
  auto cb = [](CFRunLoopTimerRef, void* info) {
    auto* tag = static_cast<Tag*>(info);
    tag->out->push_back(tag->id);
  };
  const CFAbsoluteTime now = CFAbsoluteTimeGetCurrent();
  const double due[3] = {0.3, 0.1, 0.1};
  const CFIndex orderField[3] = {0, 5, 1};
  CFRunLoopTimerRef timers[3];
  for (int i = 0; i < 3; ++i) {
    CFRunLoopTimerContext ctx = {0, &tags[i], nullptr, nullptr, nullptr};
    timers[i] = CFRunLoopTimerCreate(nullptr, now + due[i], 0, 0, orderField[i], cb, &ctx);
    CFRunLoopAddTimer(CFRunLoopGetMain(), timers[i], kCFRunLoopDefaultMode);
  }
  standin::AdvanceClock(1.0);
  EXPECT_EQ(standin::PumpMainRunLoop(), 3);
  EXPECT_EQ(order, (std::vector<int>{2, 1, 0}));
  for (CFRunLoopTimerRef t : timers)
    CFRelease(t);
}

TEST_F(RunLoopTest, ContextInfoIsRetainedOnceAndReleasedOnceWhenTheTimerGoes)
{
  struct Counts {
    int retains = 0;
    int releases = 0;
  } counts;
  CFRunLoopTimerContext ctx = {0, &counts,
                               [](const void* i) -> const void* {
                                 ++static_cast<Counts*>(const_cast<void*>(i))->retains;
                                 return i;
                               },
                               [](const void* i) { ++static_cast<Counts*>(const_cast<void*>(i))->releases; }, nullptr};
  CFRunLoopTimerRef t = CFRunLoopTimerCreate(nullptr, CFAbsoluteTimeGetCurrent(), 0.02, 0, 0, RecordTick, &ctx);
  EXPECT_EQ(counts.retains, 1);
  CFRunLoopAddTimer(CFRunLoopGetMain(), t, kCFRunLoopCommonModes);
  CFRunLoopTimerInvalidate(t);
  EXPECT_EQ(counts.releases, 0);
  CFRelease(t);
  EXPECT_EQ(counts.releases, 1);
}

TEST_F(RunLoopTest, TimerMayInvalidateItselfFromItsCallback)
{
  struct State {
    int fires = 0;
  } state;
  auto cb = [](CFRunLoopTimerRef timer, void* info) {
    ++static_cast<State*>(info)->fires;
    CFRunLoopTimerInvalidate(timer);
  };
  CFRunLoopTimerContext ctx = {0, &state, nullptr, nullptr, nullptr};
  CFRunLoopTimerRef t = CFRunLoopTimerCreate(nullptr, CFAbsoluteTimeGetCurrent(), 0.01, 0, 0, cb, &ctx);
  CFRunLoopAddTimer(CFRunLoopGetMain(), t, kCFRunLoopCommonModes);
  EXPECT_EQ(standin::RunMainRunLoopFor(1.0), 1);
  EXPECT_EQ(state.fires, 1);
  CFRelease(t);
}

TEST_F(RunLoopTest, ClockMovesOnlyWhenAdvanced)
{
  const CFAbsoluteTime a = CFAbsoluteTimeGetCurrent();
  EXPECT_EQ(CFAbsoluteTimeGetCurrent(), a);
  standin::AdvanceClock(2.5);
  EXPECT_NEAR(CFAbsoluteTimeGetCurrent() - a, 2.5, kTimeTolerance);
  standin::AdvanceClock(-1.0);
  EXPECT_NEAR(CFAbsoluteTimeGetCurrent() - a, 2.5, kTimeTolerance) << "time never runs backwards";
}

TEST_F(RunLoopTest, ResetReleasesTimersStillScheduled)
{
  Ticks ticks;
  CFRunLoopTimerRef t = AddTimer(ticks, 0.02);
  CFRelease(t); // only the loop holds it now
  EXPECT_EQ(standin::LiveCFObjectCount(), baseline + 1);
  standin::Reset();
  EXPECT_EQ(standin::LiveCFObjectCount(), baseline);
}

TEST_F(RunLoopTest, OnlyTheProcesssInitialThreadIsTheMainRunLoopsThread)
{
  // The test runs on the thread that ran main(); any other thread has a
  // loop of its own, the same on every call, where a timer never fires.
  EXPECT_EQ(CFRunLoopGetCurrent(), CFRunLoopGetMain());
  EXPECT_NE(pthread_main_np(), 0);
  Ticks ticks;
  bool mainOnWorker = true, sameTwice = false, containsAfterAdd = true;
  int mainQueryOnWorker = 1;
  std::thread worker([&] {
    mainQueryOnWorker = pthread_main_np();
    CFRunLoopRef own = CFRunLoopGetCurrent();
    mainOnWorker = own == CFRunLoopGetMain();
    sameTwice = own == CFRunLoopGetCurrent();
    CFRunLoopTimerContext context = {0, &ticks, nullptr, nullptr, nullptr};
    CFRunLoopTimerRef t =
      CFRunLoopTimerCreate(kCFAllocatorDefault, CFAbsoluteTimeGetCurrent(), 0.02, 0, 0, RecordTick, &context);
    CFRunLoopAddTimer(own, t, kCFRunLoopCommonModes);
    containsAfterAdd = CFRunLoopContainsTimer(own, t, kCFRunLoopCommonModes);
    CFRunLoopRemoveTimer(own, t, kCFRunLoopCommonModes);
    CFRelease(t);
  });
  worker.join();
  EXPECT_FALSE(mainOnWorker);
  EXPECT_EQ(mainQueryOnWorker, 0);
  EXPECT_TRUE(sameTwice);
  EXPECT_FALSE(containsAfterAdd);
  standin::RunMainRunLoopFor(0.1);
  EXPECT_TRUE(ticks.at.empty());
}

} // namespace
