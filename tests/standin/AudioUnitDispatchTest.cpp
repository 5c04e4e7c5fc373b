#include <AudioToolbox/AudioToolbox.h>
#include <CoreMIDI/CoreMIDI.h>
#include <standin/Testing.h>

#include <AllocationCounter.h>
#include <gtest/gtest.h>

#include <cstring>
#include <vector>

namespace {

// A minimal unit behind the AudioComponent door: it answers one property,
// renders a ramp and counts its lifecycle.
struct FakeUnit {
  AudioComponentPlugInInterface head;
  AudioComponentInstance instance = nullptr;
  int opens = 0;
  int closes = 0;
  OSStatus openStatus = noErr;
  double lastSampleTime = -1;
};

int gCloses = 0;

OSStatus FakeGetProperty(void* self, AudioUnitPropertyID id, AudioUnitScope scope, AudioUnitElement, void* outData,
                         UInt32* ioDataSize)
{
  if (id != kAudioUnitProperty_SampleRate || scope != kAudioUnitScope_Global)
    return kAudioUnitErr_InvalidProperty;
  if (!ioDataSize || *ioDataSize < sizeof(Float64))
    return kAudioUnitErr_InvalidPropertyValue;
  const Float64 rate = 48000.0 + double(static_cast<FakeUnit*>(self)->opens);
  std::memcpy(outData, &rate, sizeof rate);
  *ioDataSize = sizeof rate;
  return noErr;
}

OSStatus FakeRender(void* self, AudioUnitRenderActionFlags*, const AudioTimeStamp* ts, UInt32, UInt32 frames,
                    AudioBufferList* list)
{
  static_cast<FakeUnit*>(self)->lastSampleTime = ts->mSampleTime;
  for (UInt32 b = 0; b < list->mNumberBuffers; ++b) {
    auto* out = static_cast<float*>(list->mBuffers[b].mData);
    for (UInt32 i = 0; i < frames; ++i)
      out[i] = float(ts->mSampleTime + i);
  }
  return noErr;
}

AudioComponentMethod FakeLookup(SInt16 selector)
{
  switch (selector) {
  case kAudioUnitGetPropertySelect: return reinterpret_cast<AudioComponentMethod>(FakeGetProperty);
  case kAudioUnitRenderSelect: return reinterpret_cast<AudioComponentMethod>(FakeRender);
  default: return nullptr;
  }
}

OSStatus FakeOpen(void* self, AudioComponentInstance instance)
{
  auto* u = static_cast<FakeUnit*>(self);
  ++u->opens;
  u->instance = instance;
  return u->openStatus;
}

OSStatus FakeClose(void* self)
{
  ++gCloses;
  delete static_cast<FakeUnit*>(self);
  return noErr;
}

FakeUnit* NewFake()
{
  auto* u = new FakeUnit();
  u->head = {FakeOpen, FakeClose, FakeLookup, nullptr};
  return u;
}

AudioComponentPlugInInterface* FakeFactory(const AudioComponentDescription*) { return &NewFake()->head; }

AudioComponentPlugInInterface* FailingFactory(const AudioComponentDescription*)
{
  FakeUnit* u = NewFake();
  u->openStatus = kAudioUnitErr_FailedInitialization;
  return &u->head;
}

constexpr AudioComponentDescription kFakeDesc = {kAudioUnitType_Effect, 0x46616B65 /* Fake */, 0x54657374, 0, 0};

TEST(AudioUnitDispatchTest, PropertyCallsReachTheUnitThroughItsLookup)
{
  FakeUnit* u = NewFake();
  AudioUnit unit = standin::NewInstanceForPlugInInterface(&u->head);
  ASSERT_EQ(u->head.Open(&u->head, unit), noErr);
  Float64 rate = 0;
  UInt32 size = sizeof rate;
  EXPECT_EQ(AudioUnitGetProperty(unit, kAudioUnitProperty_SampleRate, kAudioUnitScope_Global, 0, &rate, &size), noErr);
  EXPECT_EQ(rate, 48001.0);
  EXPECT_EQ(AudioUnitGetProperty(unit, kAudioUnitProperty_Latency, kAudioUnitScope_Global, 0, &rate, &size),
            kAudioUnitErr_InvalidProperty)
    << "the unit's own answer comes back";
  EXPECT_EQ(AudioUnitInitialize(unit), badComponentSelector) << "a method the unit does not offer";
  EXPECT_EQ(GetComponentInstanceStorage(unit), reinterpret_cast<Handle>(&u->head));
  u->head.Close(&u->head);
  standin::DisposeInstance(unit);
  EXPECT_EQ(AudioUnitGetProperty(nullptr, 0, 0, 0, &rate, &size), badComponentInstance);
}

TEST(AudioUnitDispatchTest, RenderThroughTheStandInAllocatesNothing)
{
  FakeUnit* u = NewFake();
  AudioUnit unit = standin::NewInstanceForPlugInInterface(&u->head);
  float samples[64] = {};
  AudioBufferList list{1, {{1, sizeof samples, samples}}};
  AudioTimeStamp ts{};
  ts.mSampleTime = 1000;
  ts.mFlags = kAudioTimeStampSampleTimeValid;
  AudioUnitRenderActionFlags flags = 0;
  testsupport::ScopedAllocationCount allocations;
  const OSStatus status = AudioUnitRender(unit, &flags, &ts, 0, 64, &list);
  EXPECT_EQ(allocations.Count(), 0u);
  EXPECT_EQ(status, noErr);
  EXPECT_EQ(samples[63], 1063.0f);
  u->head.Close(&u->head);
  standin::DisposeInstance(unit);
}

// A Component Manager entry that records the parameter block it receives.
struct EntryLog {
  SInt16 what = 0;
  UInt8 paramSize = 0;
  std::vector<long> params;
  Handle storage = nullptr;
};
EntryLog gEntry;

ComponentResult RecordingEntry(ComponentParameters* cp, Handle storage)
{
  gEntry.what = cp->what;
  gEntry.paramSize = cp->paramSize;
  gEntry.storage = storage;
  gEntry.params.assign(cp->params, cp->params + cp->paramSize / sizeof(long) + 1);
  return cp->what == kComponentCanDoSelect ? 1 : noErr;
}

TEST(AudioUnitDispatchTest, ComponentManagerEntryGetsTheInstanceThenTheArgumentsInOrder)
{
  ComponentInstance ci = standin::NewInstanceForComponentEntry(RecordingEntry);
  int storage = 0;
  SetComponentInstanceStorage(ci, reinterpret_cast<Handle>(&storage));
  EXPECT_EQ(GetComponentInstanceStorage(ci), reinterpret_cast<Handle>(&storage));
  UInt32 size = 8;
  char data[8];
  EXPECT_EQ(AudioUnitGetProperty(ci, 14, kAudioUnitScope_Output, 3, data, &size), noErr);
  EXPECT_EQ(gEntry.what, kAudioUnitGetPropertySelect);
  EXPECT_EQ(gEntry.paramSize, 5 * sizeof(long));
  ASSERT_EQ(gEntry.params.size(), 6u);
  EXPECT_EQ(gEntry.params[0], reinterpret_cast<long>(ci)) << "the instance comes first";
  EXPECT_EQ(UInt32(gEntry.params[1]), 14u);
  EXPECT_EQ(UInt32(gEntry.params[2]), UInt32(kAudioUnitScope_Output));
  EXPECT_EQ(UInt32(gEntry.params[3]), 3u);
  EXPECT_EQ(gEntry.params[4], reinterpret_cast<long>(data));
  EXPECT_EQ(gEntry.params[5], reinterpret_cast<long>(&size));
  EXPECT_EQ(gEntry.storage, reinterpret_cast<Handle>(&storage));

  EXPECT_EQ(AudioUnitSetParameter(ci, 2, kAudioUnitScope_Global, 0, 0.25f, 17), noErr);
  Float32 value;
  std::memcpy(&value, &gEntry.params[4], sizeof value);
  EXPECT_EQ(value, 0.25f) << "a float sits at the start of its slot";
  EXPECT_EQ(UInt32(gEntry.params[5]), 17u);

  EXPECT_EQ(CallComponentCanDo(ci, kAudioUnitRenderSelect), 1);
  EXPECT_EQ(gEntry.what, kComponentCanDoSelect);
  EXPECT_EQ(SInt16(gEntry.params[1]), kAudioUnitRenderSelect);
  EXPECT_EQ(CallComponentOpen(ci, ci), noErr);
  EXPECT_EQ(gEntry.what, kComponentOpenSelect);
  EXPECT_EQ(gEntry.params[1], reinterpret_cast<long>(ci));
  standin::DisposeInstance(ci);
}

TEST(AudioUnitDispatchTest, RegisteredComponentIsFoundOpenedAndClosedOnce)
{
  AudioComponent comp = AudioComponentRegister(&kFakeDesc, CFSTR("Test: Fake"), 0x00030015, FakeFactory);
  ASSERT_NE(comp, nullptr);
  AudioComponentDescription want = {kAudioUnitType_Effect, 0x46616B65, 0, 0, 0};
  EXPECT_EQ(AudioComponentFindNext(nullptr, &want), comp);
  EXPECT_EQ(AudioComponentFindNext(comp, &want), nullptr);
  want.componentSubType = 0x4F746872;
  EXPECT_EQ(AudioComponentFindNext(nullptr, &want), nullptr);

  AudioComponentInstance instance = nullptr;
  const int closesBefore = gCloses;
  ASSERT_EQ(AudioComponentInstanceNew(comp, &instance), noErr);
  EXPECT_EQ(AudioComponentInstanceGetComponent(instance), comp);
  auto* u = reinterpret_cast<FakeUnit*>(GetComponentInstanceStorage(instance));
  EXPECT_EQ(u->opens, 1);
  EXPECT_EQ(u->instance, instance);
  EXPECT_EQ(AudioComponentInstanceDispose(instance), noErr);
  EXPECT_EQ(gCloses, closesBefore + 1);
  UInt32 version = 0;
  EXPECT_EQ(AudioComponentGetVersion(comp, &version), noErr);
  EXPECT_EQ(version, 0x00030015u);
}

TEST(AudioUnitDispatchTest, FailedOpenClosesTheInterfaceAndGivesNoInstance)
{
  AudioComponentDescription desc = kFakeDesc;
  desc.componentSubType = 0x4661696C; // Fail
  AudioComponent comp = AudioComponentRegister(&desc, CFSTR("Test: Fail"), 1, FailingFactory);
  AudioComponentInstance instance = reinterpret_cast<AudioComponentInstance>(&desc);
  const int closesBefore = gCloses;
  EXPECT_EQ(AudioComponentInstanceNew(comp, &instance), kAudioUnitErr_FailedInitialization);
  EXPECT_EQ(instance, nullptr);
  EXPECT_EQ(gCloses, closesBefore + 1);
}

TEST(AudioUnitDispatchTest, EventsAreRecordedInOrderAndHandedToTheHost)
{
  standin::Reset();
  std::vector<AudioUnitEventType> seen;
  standin::SetAUEventHandler([&](const AudioUnitEvent& e) { seen.push_back(e.mEventType); });
  AudioUnit unit = reinterpret_cast<AudioUnit>(0x1000);
  for (AudioUnitEventType type : {kAudioUnitEvent_BeginParameterChangeGesture, kAudioUnitEvent_ParameterValueChange,
                                  kAudioUnitEvent_EndParameterChangeGesture}) {
    AudioUnitEvent e{};
    e.mEventType = type;
    e.mArgument.mParameter = {unit, 7, kAudioUnitScope_Global, 0};
    EXPECT_EQ(AUEventListenerNotify(nullptr, nullptr, &e), noErr);
  }
  EXPECT_EQ(AUEventListenerNotify(nullptr, nullptr, nullptr), paramErr);
  standin::SetAUEventHandler(nullptr);
  const auto events = standin::RecordedAUEvents();
  ASSERT_EQ(events.size(), 3u);
  EXPECT_EQ(events[1].mEventType, kAudioUnitEvent_ParameterValueChange);
  EXPECT_EQ(events[1].mArgument.mParameter.mAudioUnit, unit);
  EXPECT_EQ(events[1].mArgument.mParameter.mParameterID, 7u);
  EXPECT_EQ(seen, (std::vector<AudioUnitEventType>{1, 0, 2}));
  standin::Reset();
  EXPECT_TRUE(standin::RecordedAUEvents().empty());
}

TEST(AudioUnitDispatchTest, GestaltReportsTheSystemVersionTheHostSet)
{
  standin::SetSystemVersion(12, 6, 3);
  struct Case {
    OSType selector;
    SInt32 expected;
  } cases[] = {{gestaltSystemVersionMajor, 12},
               {gestaltSystemVersionMinor, 6},
               {gestaltSystemVersionBugFix, 3},
               {gestaltSystemVersion, 0x1263}};
  for (const Case& c : cases) {
    SInt32 v = -1;
    EXPECT_EQ(Gestalt(c.selector, &v), noErr);
    EXPECT_EQ(v, c.expected);
  }
  SInt32 v;
  EXPECT_EQ(Gestalt(0x78787878, &v), gestaltUndefSelectorErr);
  standin::SetSystemVersion(10, 15, 7);
}

TEST(AudioUnitDispatchTest, PacketListAddsEachCallAsItsOwnPacketUntilFull)
{
  // The list is told it has 64 bytes; the buffer is a whole list, so that
  // reading its header through the list type stays within the object.
  constexpr ByteCount kListSize = 64;
  alignas(8) Byte storage[sizeof(MIDIPacketList)];
  auto* list = reinterpret_cast<MIDIPacketList*>(storage);
  MIDIPacket* p = MIDIPacketListInit(list);
  const Byte noteOn[3] = {0x90, 60, 100};
  const Byte noteOff[3] = {0x80, 60, 0};
  p = MIDIPacketListAdd(list, kListSize, p, 5, 3, noteOn);
  ASSERT_NE(p, nullptr);
  p = MIDIPacketListAdd(list, kListSize, p, 5, 3, noteOff);
  ASSERT_NE(p, nullptr);
  EXPECT_EQ(list->numPackets, 2u) << "same time stamp, still two packets";
  const MIDIPacket* first = &list->packet[0];
  const MIDITimeStamp stamp = first->timeStamp; // packed member: read by value
  EXPECT_EQ(stamp, 5u);
  EXPECT_EQ(first->length, 3);
  EXPECT_EQ(std::memcmp(first->data, noteOn, 3), 0);
  const MIDIPacket* second = MIDIPacketNext(first);
  EXPECT_EQ(second, p);
  EXPECT_EQ(reinterpret_cast<uintptr_t>(second) % 4, 0u) << "packet headers stay readable in place";
  EXPECT_EQ(std::memcmp(second->data, noteOff, 3), 0);
  // 4 + 16 + 16 bytes used; a third packet of 3 bytes fits, a fourth does not.
  EXPECT_NE(p = MIDIPacketListAdd(list, kListSize, p, 6, 3, noteOn), nullptr);
  EXPECT_EQ(MIDIPacketListAdd(list, kListSize, p, 7, 3, noteOn), nullptr);
  EXPECT_EQ(list->numPackets, 3u);
  EXPECT_EQ(MIDIPacketListAdd(list, kListSize, p, 7, 0, noteOn), nullptr);
}

TEST(AudioUnitDispatchTest, PacketListHoldsSysExLongerThanOnePacketArray)
{
  std::vector<Byte> storage(1024);
  auto* list = reinterpret_cast<MIDIPacketList*>(storage.data());
  std::vector<Byte> sysex(300, 0x11);
  sysex.front() = 0xF0;
  sysex.back() = 0xF7;
  MIDIPacket* p = MIDIPacketListInit(list);
  p = MIDIPacketListAdd(list, storage.size(), p, 0, sysex.size(), sysex.data());
  ASSERT_NE(p, nullptr);
  EXPECT_EQ(p->length, 300);
  EXPECT_EQ(storage[4 + 10 + 299], 0xF7);
}

} // namespace
