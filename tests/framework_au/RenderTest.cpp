// Render of the Audio Unit binding: checks, pulls, buffers, bypass, time info.
#include <gtest/gtest.h>

#include <cmath>
#include <vector>

#include "AUTestUnit.h"
#include "AllocationCounter.h"

using namespace autest;

namespace {

constexpr int kMaxBuffers = 8;

struct BufferList {
  UInt32 mNumberBuffers = 0;
  AudioBuffer mBuffers[kMaxBuffers] = {};
  AudioBufferList* Get() { return reinterpret_cast<AudioBufferList*>(this); }
};

// Input source: channel c at sample time t is 0.001 (c + 1) (t + 1); counts pulls.
struct Source {
  int pulls = 0;
  static float Value(int c, double t) { return static_cast<float>(0.001 * (c + 1) * (t + 1)); }
  static OSStatus Render(void* self, AudioUnitRenderActionFlags*, const AudioTimeStamp* stamp, UInt32, UInt32 n,
                         AudioBufferList* list)
  {
    ++static_cast<Source*>(self)->pulls;
    for (UInt32 c = 0; c < list->mNumberBuffers; ++c) {
      auto* out = static_cast<float*>(list->mBuffers[c].mData);
      for (UInt32 t = 0; t < n; ++t)
        out[t] = Value(static_cast<int>(c), stamp->mSampleTime + t);
    }
    return noErr;
  }
};

struct Rig {
  explicit Rig(plugin::Config config = testsupport::TestPlugConfig()) : plug(config)
  {
    const AURenderCallbackStruct callback{Source::Render, &source};
    EXPECT_EQ(Set(plug, kAudioUnitProperty_SetRenderCallback, callback, kAudioUnitScope_Input), noErr);
    EXPECT_EQ(plug.Initialize(), noErr);
  }
  OSStatus Render(double time, UInt32 n, int nBuffers, bool withData = true)
  {
    for (auto& channel : out)
      channel.assign(n + 16, -99.f);
    list.mNumberBuffers = static_cast<UInt32>(nBuffers);
    for (int c = 0; c < nBuffers; ++c)
      list.mBuffers[c] = AudioBuffer{1, n * 4, withData ? out[c].data() : nullptr};
    const AudioTimeStamp stamp = Stamp(time);
    return plug.Render(nullptr, &stamp, 0, n, list.Get());
  }
  RecordingPlug plug;
  Source source;
  BufferList list;
  std::vector<float> out[kMaxBuffers];
};

struct HostTime {
  Float64 tempo = 0.0, beat = 0.0, samplePos = 0.0, downBeat = 0.0;
  Float32 numerator = 0.f;
  UInt32 denominator = 0;
  Boolean playing = false;
};

OSStatus BeatAndTempo(void* user, Float64* beat, Float64* tempo)
{
  auto* h = static_cast<HostTime*>(user);
  *beat = h->beat;
  *tempo = h->tempo;
  return noErr;
}

OSStatus MusicalTime(void* user, UInt32* toNext, Float32* numerator, UInt32* denominator, Float64* downBeat)
{
  auto* h = static_cast<HostTime*>(user);
  *toNext = 0;
  *numerator = h->numerator;
  if (h->denominator)
    *denominator = h->denominator;
  *downBeat = h->downBeat;
  return noErr;
}

OSStatus Transport(void* user, Boolean* playing, Boolean* changed, Float64* samplePos, Boolean* cycling, Float64* start,
                   Float64* end)
{
  auto* h = static_cast<HostTime*>(user);
  *playing = h->playing;
  *changed = false;
  *samplePos = h->samplePos;
  *cycling = false;
  *start = *end = 0.0;
  return noErr;
}

} // namespace

TEST(AURender, SlicesOfAnySizePassTheInputThrough)
{
  Rig rig;
  double time = 0.0;
  for (UInt32 n : {1u, 17u, 512u, 3u}) {
    ASSERT_EQ(rig.Render(time, n, 2), noErr);
    for (int c = 0; c < 2; ++c) {
      for (UInt32 t = 0; t < n; ++t)
        ASSERT_EQ(rig.out[c][t], Source::Value(c, time + t)) << n << " " << c << " " << t;
      EXPECT_EQ(rig.out[c][n], -99.f) << "wrote past the slice";
    }
    time += n;
  }
}

TEST(AURender, RefusedRequestsRenderNothing)
{
  Rig rig;
  const struct {
    const char* what;
    UInt32 flags;
    UInt32 frames;
    UInt32 bus;
    OSStatus want;
  } table[] = {
    {"no sample time", kAudioTimeStampHostTimeValid, 64, 0, kAudioUnitErr_InvalidPropertyValue},
    {"513 frames with a maximum of 512", kAudioTimeStampSampleTimeValid, 513, 0, kAudioUnitErr_InvalidPropertyValue},
    {"a missing output bus", kAudioTimeStampSampleTimeValid, 64, 1, kAudioUnitErr_InvalidElement},
  };
  std::vector<float> l(600, -99.f), r(600, -99.f);
  for (const auto& row : table) {
    BufferList list;
    list.mNumberBuffers = 2;
    list.mBuffers[0] = AudioBuffer{1, 600 * 4, l.data()};
    list.mBuffers[1] = AudioBuffer{1, 600 * 4, r.data()};
    AudioTimeStamp stamp = Stamp(0);
    stamp.mFlags = row.flags;
    EXPECT_EQ(rig.plug.Render(nullptr, &stamp, row.bus, row.frames, list.Get()), row.want) << row.what;
  }
  EXPECT_EQ(rig.source.pulls, 0);
  EXPECT_EQ(l[0], -99.f);
}

TEST(AURender, TheSameSampleTimePullsOnce)
{
  Rig rig;
  rig.Render(0, 64, 2);
  rig.Render(0, 64, 2);
  EXPECT_EQ(rig.source.pulls, 1);
  rig.Render(64, 64, 2);
  EXPECT_EQ(rig.source.pulls, 2);
  rig.Render(NAN, 64, 2);
  rig.Render(NAN, 64, 2);
  EXPECT_EQ(rig.source.pulls, 4) << "NaN sample times never match";
}

TEST(AURender, NullHostBuffersPointAtTheUnitsScratch)
{
  Rig rig;
  ASSERT_EQ(rig.Render(100, 128, 2, false), noErr);
  ASSERT_NE(rig.list.mBuffers[0].mData, nullptr);
  ASSERT_NE(rig.list.mBuffers[1].mData, nullptr);
  for (int c = 0; c < 2; ++c) {
    const auto* data = static_cast<const float*>(rig.list.mBuffers[c].mData);
    for (int t = 0; t < 128; ++t)
      ASSERT_EQ(data[t], Source::Value(c, 100 + t));
  }
}

TEST(AURender, MoreHostBuffersThanChannelsAreSilencedNotOverrun)
{
  Rig rig;
  ASSERT_EQ(rig.Render(0, 256, 6), noErr);
  for (int t = 0; t < 256; ++t) {
    ASSERT_EQ(rig.out[1][t], Source::Value(1, t));
    for (int c = 2; c < 6; ++c)
      ASSERT_EQ(rig.out[c][t], 0.f) << c;
  }
  // Back to two buffers: the layout follows the host's count.
  ASSERT_EQ(rig.Render(256, 64, 2), noErr);
  EXPECT_EQ(rig.out[1][10], Source::Value(1, 266));
}

TEST(AURender, OneHostBufferRendersTheFirstChannelOnly)
{
  Rig rig;
  ASSERT_EQ(rig.Render(0, 64, 1), noErr);
  EXPECT_EQ(rig.out[0][5], Source::Value(0, 5));
  EXPECT_EQ(rig.out[1][5], -99.f);
}

TEST(AURender, WithoutAnInputTheProcessorReadsSilence)
{
  RecordingPlug plug;
  ASSERT_EQ(plug.Initialize(), noErr);
  std::vector<float> l(64, 1.f), r(64, 1.f);
  BufferList list;
  list.mNumberBuffers = 2;
  list.mBuffers[0] = AudioBuffer{1, 256, l.data()};
  list.mBuffers[1] = AudioBuffer{1, 256, r.data()};
  const AudioTimeStamp stamp = Stamp(0);
  ASSERT_EQ(plug.Render(nullptr, &stamp, 0, 64, list.Get()), noErr);
  EXPECT_EQ(plug.mBlocks, 1);
  EXPECT_EQ(l[10], 0.f);
  EXPECT_FALSE(plug.IsChannelConnected(plugin::kInput, 0));
}

TEST(AURender, BypassCopiesInputUndelayedAndLeavesTheMidiQueue)
{
  Rig rig;
  Set(rig.plug, kAudioUnitProperty_BypassEffect, UInt32(1));
  rig.plug.DeferMidiMsg(plugin::IMidiMsg(0, 0x90, 60, 100));
  ASSERT_EQ(rig.Render(0, 64, 2), noErr);
  EXPECT_EQ(rig.plug.mBlocks, 0);
  EXPECT_TRUE(rig.plug.mMidi.empty());
  EXPECT_EQ(rig.out[0][0], Source::Value(0, 0));
  EXPECT_EQ(rig.out[1][63], Source::Value(1, 63));
  Set(rig.plug, kAudioUnitProperty_BypassEffect, UInt32(0));
  ASSERT_EQ(rig.Render(64, 64, 2), noErr);
  EXPECT_EQ(rig.plug.mMidi.size(), 1u);
}

TEST(AURender, WithoutHostCallbacksTheTransportIsCommonTimeAtRest)
{
  Rig rig;
  ASSERT_EQ(rig.Render(0, 32, 2), noErr);
  const plugin::ITimeInfo& t = rig.plug.mTimeInfo;
  EXPECT_EQ(t.mTempo, 120.0);
  EXPECT_EQ(t.mNumerator, 4);
  EXPECT_EQ(t.mDenominator, 4);
  EXPECT_EQ(t.mPPQPos, -1.0);
  EXPECT_EQ(t.mSamplePos, -1.0);
  EXPECT_EQ(t.mLastBar, -1.0);
  EXPECT_FALSE(t.mTransportIsRunning);
}

TEST(AURender, HostCallbacksFeedTheTimeInfo)
{
  const struct {
    HostTime host;
    double tempo;
    int numerator, denominator;
    double samplePos, lastBar;
  } table[] = {
    {{140.0, 8.5, 4410.0, 8.0, 3.f, 8, true}, 140.0, 3, 8, 4410.0, 8.0},
    {{0.0, 2.0, 0.0, 0.0, 7.f, 0, false}, 120.0, 7, 4, -1.0, -1.0}, // denominator left unset
  };
  for (const auto& row : table) {
    Rig rig;
    HostTime host = row.host;
    const HostCallbackInfo callbacks{&host, BeatAndTempo, MusicalTime, Transport, nullptr};
    ASSERT_EQ(Set(rig.plug, kAudioUnitProperty_HostCallbacks, callbacks), noErr);
    ASSERT_EQ(rig.Render(0, 32, 2), noErr);
    const plugin::ITimeInfo& t = rig.plug.mTimeInfo;
    EXPECT_EQ(t.mTempo, row.tempo);
    EXPECT_EQ(t.mPPQPos, row.host.beat);
    EXPECT_EQ(t.mNumerator, row.numerator);
    EXPECT_EQ(t.mDenominator, row.denominator);
    EXPECT_EQ(t.mSamplePos, row.samplePos);
    EXPECT_EQ(t.mLastBar, row.lastBar);
    EXPECT_EQ(t.mTransportIsRunning, bool(row.host.playing));
  }
}

TEST(AURender, RenderAllocatesNothing)
{
  Rig rig;
  Set(rig.plug, kAudioUnitProperty_HostCallbacks, HostCallbackInfo{});
  rig.Render(0, 512, 2); // first render settles the output layout
  std::vector<float> l(512), r(512);
  BufferList list;
  list.mNumberBuffers = 2;
  testsupport::ScopedAllocationCount count;
  for (int block = 1; block < 50; ++block) {
    list.mBuffers[0] = AudioBuffer{1, 512 * 4, block % 3 ? l.data() : nullptr};
    list.mBuffers[1] = AudioBuffer{1, 512 * 4, r.data()};
    const AudioTimeStamp stamp = Stamp(block * 512.0);
    rig.plug.Render(nullptr, &stamp, 0, static_cast<UInt32>(1 + block * 10), list.Get());
  }
  EXPECT_EQ(count.Count(), 0u);
}

TEST(AURender, RenderCallbackConnectsAndDisconnectsTheInputChannels)
{
  RecordingPlug plug;
  Source source;
  const AURenderCallbackStruct callback{Source::Render, &source};
  Set(plug, kAudioUnitProperty_SetRenderCallback, callback, kAudioUnitScope_Input);
  EXPECT_EQ(Set(plug, kAudioUnitProperty_SetRenderCallback, callback, kAudioUnitScope_Global),
            kAudioUnitErr_InvalidProperty);
  EXPECT_EQ(Set(plug, kAudioUnitProperty_SetRenderCallback, callback, kAudioUnitScope_Input, 1),
            kAudioUnitErr_InvalidProperty);
  EXPECT_TRUE(plug.IsChannelConnected(plugin::kInput, 0));
  EXPECT_TRUE(plug.IsChannelConnected(plugin::kInput, 1));
  Set(plug, kAudioUnitProperty_SetRenderCallback, AURenderCallbackStruct{nullptr, nullptr}, kAudioUnitScope_Input);
  EXPECT_FALSE(plug.IsChannelConnected(plugin::kInput, 0));
}
