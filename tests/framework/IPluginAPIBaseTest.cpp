#include "PlugUnderTest.h"

#include <standin/Testing.h>

#include <gtest/gtest.h>

#include <atomic>
#include <cstring>
#include <thread>
#include <vector>

namespace {

using namespace plugin;
using testsupport::PlugUnderTest;

class IPluginAPIBaseTest : public ::testing::Test {
protected:
  void SetUp() override { standin::Reset(); }
  void TearDown() override { standin::Reset(); }
};

// A timer object for calling OnTimer by hand.
class NoTimer : public Timer {
public:
  void Stop() override {}
};

std::vector<double> Doubles(const IPluginBase& plug, double offset)
{
  std::vector<double> v;
  for (int i = 0; i < plug.NParams(); ++i)
    v.push_back(plug.GetParam(i)->Value() + offset);
  return v;
}

TEST_F(IPluginAPIBaseTest, TimerPumpedFor100MsTicksFiveTimesAndDrainsInOrder)
{
  PlugUnderTest plug;
  for (int i = 0; i < 512; ++i)
    plug.SendParameterValueFromAPI(i % 10, i * 0.001, false);
  plug.CreateTimer();
  EXPECT_EQ(standin::ScheduledTimerCount(), 1);
  EXPECT_EQ(standin::RunMainRunLoopFor(0.1), 5);
  EXPECT_EQ(plug.mIdleCalls, 5);
  ASSERT_EQ(plug.mEditor.size(), 512u);
  for (int i = 0; i < 512; ++i) {
    EXPECT_EQ(plug.mEditor[i].idx, i % 10);
    EXPECT_EQ(plug.mEditor[i].value, i * 0.001);
    EXPECT_FALSE(plug.mEditor[i].normalized);
  }
  ASSERT_EQ(plug.mUIChanges.size(), 512u);
  EXPECT_EQ(plug.mUIChanges[0].source, kDelegate);
}

TEST_F(IPluginAPIBaseTest, The513thValueIsDroppedAndOneTickDeliversTheRest)
{
  PlugUnderTest plug;
  for (int i = 0; i < 513; ++i)
    plug.SendParameterValueFromAPI(0, i, false);
  NoTimer t;
  plug.OnTimer(t);
  ASSERT_EQ(plug.mEditor.size(), 512u);
  EXPECT_EQ(plug.mEditor.back().value, 511.0);
  EXPECT_EQ(plug.mIdleCalls, 1);
}

TEST_F(IPluginAPIBaseTest, WithoutAUiOnlyTheIdleHandlerRunsAndQueuesFillUp)
{
  PlugUnderTest plug;
  plug.SetHasUI(false);
  plug.CreateTimer();
  for (int i = 0; i < 600; ++i)
    plug.SendParameterValueFromAPI(1, 1.0, false);
  plug.MidiToEditor().Push(IMidiMsg(0, 0x90, 1, 1));
  EXPECT_EQ(standin::RunMainRunLoopFor(0.1), 5);
  EXPECT_EQ(plug.mIdleCalls, 5);
  EXPECT_TRUE(plug.mEditor.empty());
  EXPECT_TRUE(plug.mEditorMidi.empty());
  EXPECT_EQ(plug.mLog, "idle;idle;idle;idle;idle;");

  plug.SetHasUI(true);
  standin::RunMainRunLoopFor(0.02);
  EXPECT_EQ(plug.mEditor.size(), 512u);
  EXPECT_EQ(plug.mEditorMidi.size(), 1u);
}

TEST_F(IPluginAPIBaseTest, MidiAndSysexForTheEditorAreDrainedEachTick)
{
  PlugUnderTest plug;
  for (int i = 0; i < 40; ++i)
    plug.MidiToEditor().Push(IMidiMsg(i, 0x90, 60, 1));
  SysExData s;
  s.mOffset = 77;
  plug.SysExToEditor().Push(s);
  NoTimer t;
  plug.OnTimer(t);
  ASSERT_EQ(plug.mEditorMidi.size(), 32u); // the queue holds 32
  EXPECT_EQ(plug.mEditorMidi[31].mOffset, 31);
  EXPECT_EQ(plug.mEditorSysEx, std::vector<int>{77});
}

TEST_F(IPluginAPIBaseTest, StoppingAndDestroyingRemovesTheTimer)
{
  const long liveBefore = standin::LiveCFObjectCount();
  {
    PlugUnderTest plug;
    plug.CreateTimer();
    plug.CreateTimer(); // replaces the first
    EXPECT_EQ(standin::ScheduledTimerCount(), 1);
    standin::RunMainRunLoopFor(0.04);
    EXPECT_EQ(plug.mIdleCalls, 2);
    plug.StopTimer();
    EXPECT_EQ(standin::ScheduledTimerCount(), 0);
    standin::RunMainRunLoopFor(0.1);
    EXPECT_EQ(plug.mIdleCalls, 2);
    plug.CreateTimer();
  }
  EXPECT_EQ(standin::ScheduledTimerCount(), 0);
  EXPECT_EQ(standin::RunMainRunLoopFor(0.1), 0);
  EXPECT_EQ(standin::LiveCFObjectCount(), liveBefore) << "a run-loop timer leaked";
}

TEST_F(IPluginAPIBaseTest, ANormalisedHostValueIsQueuedAsARealValue)
{
  PlugUnderTest plug; // "Mix" is 0..100 step 1
  plug.SendParameterValueFromAPI(testsupport::kTestMix, 0.5, true);
  plug.SendParameterValueFromAPI(testsupport::kTestMix, 0.123, true);  // not stepped
  plug.SendParameterValueFromAPI(testsupport::kTestSteps, 0.57, true); // stepped, -5..5
  plug.SendParameterValueFromAPI(testsupport::kTestSteps, 1.5, true);  // clamped
  NoTimer t;
  plug.OnTimer(t);
  ASSERT_EQ(plug.mEditor.size(), 4u);
  EXPECT_EQ(plug.mEditor[0].value, 50.0);
  EXPECT_DOUBLE_EQ(plug.mEditor[1].value, 12.3);
  EXPECT_EQ(plug.mEditor[2].value, 1.0);
  EXPECT_EQ(plug.mEditor[3].value, 5.0);
}

TEST_F(IPluginAPIBaseTest, SeveralHostThreadsMaySendValuesWhileTheTimerDrains)
{
  constexpr int kThreads = 4;
  constexpr int kPerThread = 5000;
  PlugUnderTest plug;
  std::atomic<int> running{kThreads};
  std::vector<std::thread> hosts;
  for (int t = 0; t < kThreads; ++t) {
    hosts.emplace_back([&, t] {
      for (int n = 0; n < kPerThread; ++n) {
        plug.SendParameterValueFromAPI(t, n, false);
        if (n % 64 == 0)
          std::this_thread::yield();
      }
      running.fetch_sub(1);
    });
  }
  NoTimer timer;
  while (running.load() > 0)
    plug.OnTimer(timer);
  for (std::thread& h : hosts)
    h.join();
  plug.OnTimer(timer);

  // Values of one thread arrive in the order it sent them; full-queue drops
  // may leave gaps, but nothing is torn or reordered.
  std::vector<double> last(kThreads, -1.0);
  for (const auto& e : plug.mEditor) {
    ASSERT_GE(e.idx, 0);
    ASSERT_LT(e.idx, kThreads);
    EXPECT_GT(e.value, last[e.idx]);
    last[e.idx] = e.value;
  }
}

TEST_F(IPluginAPIBaseTest, CompareStateToleratesTinyDifferencesAndCallsShortDataUnequal)
{
  PlugUnderTest plug;
  plug.RestorePreset(1);
  struct Case {
    double offset;
    bool equal;
  };
  for (const Case c : {Case{0.0, true}, Case{1e-6, true}, Case{1e-3, false}}) {
    const std::vector<double> v = Doubles(plug, c.offset);
    EXPECT_EQ(plug.CompareState(reinterpret_cast<const uint8_t*>(v.data()), 80, 0), c.equal) << c.offset;
  }

  // Values stored after two leading doubles, addressed by double index.
  std::vector<double> shifted = {9.0, 9.0};
  for (double x : Doubles(plug, 0.0))
    shifted.push_back(x);
  EXPECT_TRUE(plug.CompareState(reinterpret_cast<const uint8_t*>(shifted.data()), 96, 2));
  EXPECT_FALSE(plug.CompareState(reinterpret_cast<const uint8_t*>(shifted.data()), 96, 1));

  // Short or empty data is never the same state, and nothing past it is
  // read (the copies are exactly as long as they say).
  std::vector<double> v = Doubles(plug, 0.0);
  for (int len = 0; len < 80; ++len) {
    std::vector<uint8_t> exact(reinterpret_cast<const uint8_t*>(v.data()),
                               reinterpret_cast<const uint8_t*>(v.data()) + len);
    EXPECT_FALSE(plug.CompareState(exact.data(), len, 0)) << len;
  }
  EXPECT_FALSE(plug.CompareState(reinterpret_cast<const uint8_t*>(shifted.data()), 88, 2)); // one value short
  EXPECT_TRUE(plug.CompareState(reinterpret_cast<const uint8_t*>(v.data()), 80, 0));
  v[9] += 1.0;
  EXPECT_FALSE(plug.CompareState(reinterpret_cast<const uint8_t*>(v.data()), 80, 0));
  EXPECT_FALSE(plug.CompareState(nullptr, 80, 0));
  EXPECT_FALSE(plug.CompareState(reinterpret_cast<const uint8_t*>(v.data()), 80, -1));
}

TEST_F(IPluginAPIBaseTest, EditorEditsReachTheParameterTheHostAndThePlugIn)
{
  PlugUnderTest plug;
  plug.SendParameterValueFromUI(testsupport::kTestMix, 0.25, true);
  EXPECT_EQ(plug.GetParam(testsupport::kTestMix)->Value(), 25.0);
  ASSERT_EQ(plug.mHostInformed.size(), 1u);
  EXPECT_EQ(plug.mHostInformed[0].value, 0.25);
  ASSERT_EQ(plug.mChanges.size(), 1u);
  EXPECT_EQ(plug.mChanges[0].source, kUI);
  ASSERT_EQ(plug.mUIChanges.size(), 1u);
  EXPECT_EQ(plug.mUIChanges[0].source, kUI);

  plug.SetParameterValue(testsupport::kTestMix, 1.0, false);
  EXPECT_EQ(plug.mChanges.size(), 1u);
  EXPECT_EQ(plug.mHostInformed.size(), 2u);

  plug.DirtyParametersFromUI();
  EXPECT_EQ(plug.mHostInformed.size(), 12u);
  EXPECT_EQ(plug.mHostInformed[2 + testsupport::kTestMix].value, 1.0);
}

TEST_F(IPluginAPIBaseTest, EditorMessagesGoToTheirQueuesAndHandlers)
{
  PlugUnderTest plug;
  plug.SendMidiMsgFromUI(IMidiMsg(4, 0xB0, 7, 100));
  IMidiMsg m;
  ASSERT_TRUE(plug.MidiToProcessor().Pop(m));
  EXPECT_EQ(m.mData2, 100);

  plug.DeferSysexMsg(SysExData(ISysEx(12, nullptr, 40)));
  SysExData s;
  s.mData[0] = 0xFF;
  ASSERT_TRUE(plug.SysExToProcessor().Pop(s));
  EXPECT_EQ(s.mOffset, 12);
  EXPECT_EQ(s.mSize, 40);
  for (uint8_t b : s.mData)
    ASSERT_EQ(b, 0);
  for (int i = 0; i < 5; ++i)
    plug.SendSysexMsgFromUI(SysExData());
  EXPECT_EQ(plug.SysExToProcessor().ElementsAvailable(), 4u);

  plug.SendArbitraryMsgFromUI(3, 4, 5, nullptr);
  EXPECT_TRUE(plug.EditorResizeFromUI(10, 20, false));
  EXPECT_TRUE(plug.EditorResizeFromUI(800, 600, true));
  EXPECT_EQ(plug.mLog, "msg 3 4 5;resize 800x600;");
}

TEST_F(IPluginAPIBaseTest, ParameterIndexListIsFilledOnlyForAPartialCount)
{
  PlugUnderTest plug;
  struct Case {
    int count;
    int expected;
  };
  for (const Case c : {Case{0, 0}, Case{1, 1}, Case{9, 9}, Case{10, 0}, Case{-1, 0}}) {
    UT_TypedBuf<int32_t> list;
    plug.FillParamIndexList(c.count, list);
    ASSERT_EQ(list.GetSize(), c.expected) << c.count;
    for (int i = 0; i < list.GetSize(); ++i)
      EXPECT_EQ(list.Get()[i], i);
  }
  EXPECT_EQ(plug.GetOpenUI(), nullptr);
  plug.PrintDebugInfo();
}

} // namespace
