// Doors, lifecycle, parameters, listeners and MIDI of the Audio Unit binding.
#include <gtest/gtest.h>

#include <cmath>

#include <standin/Testing.h>

#include <stdexcept>

#include "AUPlugInInstance.h"
#include "AUTestUnit.h"

using namespace autest;
using plugin::IPluginAU;

namespace {

IPluginAU* MakeRecording(void* memory) { return memory ? new (memory) RecordingPlug() : new RecordingPlug(); }

IPluginAU* ConstructRecording(void* memory, AudioComponentInstance) { return MakeRecording(memory); }
void DestructRecording(void* memory) { static_cast<RecordingPlug*>(memory)->~RecordingPlug(); }
int gDestructCalls = 0;
void CountingDestruct(void* memory)
{
  ++gDestructCalls;
  DestructRecording(memory);
}
IPluginAU* ThrowingConstruct(void*, AudioComponentInstance) { throw std::runtime_error("no memory for the engine"); }

void CountListener(void* count, AudioUnit, AudioUnitPropertyID, AudioUnitScope, AudioUnitElement)
{
  ++*static_cast<int*>(count);
}
void OtherListener(void*, AudioUnit, AudioUnitPropertyID, AudioUnitScope, AudioUnitElement) {}

OSStatus CountNotify(void* count, AudioUnitRenderActionFlags*, const AudioTimeStamp*, UInt32, UInt32, AudioBufferList*)
{
  ++*static_cast<int*>(count);
  return noErr;
}

struct MidiCapture {
  std::vector<std::vector<uint8_t>> packets;
  std::vector<MIDITimeStamp> stamps;
  int calls = 0;
};

OSStatus CaptureMidi(void* user, const AudioTimeStamp*, UInt32, const MIDIPacketList* list)
{
  auto* capture = static_cast<MidiCapture*>(user);
  ++capture->calls;
  const MIDIPacket* packet = &list->packet[0];
  for (UInt32 i = 0; i < list->numPackets; ++i) {
    capture->packets.emplace_back(packet->data, packet->data + packet->length);
    MIDITimeStamp stamp; // packets are only 4-byte aligned
    std::memcpy(&stamp, reinterpret_cast<const char*>(packet) + offsetof(MIDIPacket, timeStamp), sizeof(stamp));
    capture->stamps.push_back(stamp);
    packet = MIDIPacketNext(packet);
  }
  return noErr;
}

} // namespace

TEST(AUDoors, CanDoAnswersOneExactlyForTheOfferedSelectors)
{
  const struct {
    SInt16 selector;
    long want;
  } table[] = {{1, 1},  {2, 1},  {3, 1},  {4, 1},  {5, 1},  {6, 1},  {7, 1},  {8, 0}, {9, 1},  {10, 1},  {11, 1},
               {12, 0}, {13, 0}, {14, 1}, {15, 1}, {16, 1}, {17, 1}, {18, 0}, {0, 0}, {19, 0}, {257, 0}, {-1, 0}};
  RecordingPlug plug;
  for (const auto& row : table) {
    ParamBlock block(kComponentCanDoSelect, row.selector);
    EXPECT_EQ(IPluginAU::ComponentEntry(block.Get(), &plug, MakeRecording), row.want) << row.selector;
  }
}

TEST(AUDoors, VersionSelectorAnswersThePackedVersion)
{
  RecordingPlug plug;
  ParamBlock block(kComponentVersionSelect);
  EXPECT_EQ(IPluginAU::ComponentEntry(block.Get(), &plug, MakeRecording), 196629);
}

TEST(AUDoors, ComponentManagerOpenStoresTheObjectAndCloseDeletesIt)
{
  ComponentInstance instance =
    standin::NewInstanceForComponentEntry([](ComponentParameters*, Handle) -> ComponentResult { return noErr; });
  const int live = RecordingPlug::sLive;
  ParamBlock open(kComponentOpenSelect, instance);
  ASSERT_EQ(IPluginAU::ComponentEntry(open.Get(), nullptr, MakeRecording), noErr);
  auto* plug = reinterpret_cast<IPluginAU*>(GetComponentInstanceStorage(instance));
  ASSERT_NE(plug, nullptr);
  EXPECT_EQ(RecordingPlug::sLive, live + 1);
  EXPECT_EQ(plug->GetComponentInstance(), instance);

  // Every selector reads its arguments from the block: SetParameter (5 args).
  ParamBlock set(kAudioUnitSetParameterSelect, AudioUnitParameterID(testsupport::kTestGain), AudioUnitScope(0),
                 AudioUnitElement(0), AudioUnitParameterValue(-6.f), UInt32(7));
  EXPECT_EQ(IPluginAU::ComponentEntry(set.Get(), plug, MakeRecording), noErr);
  EXPECT_DOUBLE_EQ(plug->GetParam(testsupport::kTestGain)->Value(), -6.0);
  ParamBlock shortBlock(kAudioUnitSetParameterSelect, AudioUnitParameterID(0));
  EXPECT_EQ(IPluginAU::ComponentEntry(shortBlock.Get(), plug, MakeRecording), paramErr);

  ParamBlock close(kComponentCloseSelect, instance);
  EXPECT_EQ(IPluginAU::ComponentEntry(close.Get(), plug, MakeRecording), noErr);
  EXPECT_EQ(RecordingPlug::sLive, live);
  standin::DisposeInstance(instance);
}

TEST(AUDoors, ComponentManagerArgumentsAreReadInCallOrderAfterTheInstance)
{
  RecordingPlug plug;
  const void* self = &plug; // the instance slot: never taken for an argument
  Float64 rate = 0.0;
  UInt32 size = sizeof(rate);
  Boolean writable = false;
  const Float64 newRate = 96000.0;
  AudioUnitParameterValue gain = 0.f;

  ParamBlock info(kAudioUnitGetPropertyInfoSelect, AudioUnitPropertyID(kAudioUnitProperty_SampleRate),
                  AudioUnitScope(kAudioUnitScope_Output), AudioUnitElement(0), &size, &writable);
  ASSERT_EQ(IPluginAU::ComponentEntry(info.For(self).Get(), &plug, MakeRecording), noErr);
  EXPECT_EQ(size, sizeof(Float64));
  EXPECT_TRUE(writable);

  ParamBlock set(kAudioUnitSetPropertySelect, AudioUnitPropertyID(kAudioUnitProperty_SampleRate),
                 AudioUnitScope(kAudioUnitScope_Output), AudioUnitElement(0), &newRate, UInt32(sizeof(newRate)));
  ASSERT_EQ(IPluginAU::ComponentEntry(set.For(self).Get(), &plug, MakeRecording), noErr);
  ParamBlock get(kAudioUnitGetPropertySelect, AudioUnitPropertyID(kAudioUnitProperty_SampleRate),
                 AudioUnitScope(kAudioUnitScope_Output), AudioUnitElement(0), &rate, &size);
  ASSERT_EQ(IPluginAU::ComponentEntry(get.For(self).Get(), &plug, MakeRecording), noErr);
  EXPECT_EQ(rate, 96000.0);

  plug.GetParam(testsupport::kTestGain)->Set(-3.0);
  ParamBlock param(kAudioUnitGetParameterSelect, AudioUnitParameterID(testsupport::kTestGain),
                   AudioUnitScope(kAudioUnitScope_Global), AudioUnitElement(0), &gain);
  ASSERT_EQ(IPluginAU::ComponentEntry(param.For(self).Get(), &plug, MakeRecording), noErr);
  EXPECT_EQ(gain, -3.f);
  // A parameter past the last in the global scope: scope and element are
  // read from their own slots (swapped, the scope would be refused instead).
  ParamBlock past(kAudioUnitGetPropertyInfoSelect, AudioUnitPropertyID(kAudioUnitProperty_ParameterInfo),
                  AudioUnitScope(kAudioUnitScope_Global), AudioUnitElement(999), &size, &writable);
  EXPECT_EQ(IPluginAU::ComponentEntry(past.For(self).Get(), &plug, MakeRecording), kAudioUnitErr_InvalidElement);
}

TEST(AUDoors, UnknownAndMidiSelectorsAnswerBadSelector)
{
  RecordingPlug plug;
  for (SInt16 selector : {SInt16(8), SInt16(12), SInt16(13), SInt16(0), SInt16(300)}) {
    ParamBlock block(selector, long(0), long(0), long(0), long(0), long(0));
    EXPECT_EQ(IPluginAU::ComponentEntry(block.Get(), &plug, MakeRecording), badComponentSelector) << selector;
  }
  // The test plug-in takes no MIDI input.
  ParamBlock midi(kMusicDeviceMIDIEventSelect, UInt32(0x90), UInt32(60), UInt32(100), UInt32(0));
  EXPECT_EQ(IPluginAU::ComponentEntry(midi.Get(), &plug, MakeRecording), badComponentSelector);
}

TEST(AUDoors, LookupHandsOutMethodsForTheOfferedSelectorsOnly)
{
  for (int selector = -4; selector <= 300; ++selector) {
    const bool offered = selector >= 1 && selector <= 18 && selector != 8 && selector != 12 && selector != 13;
    EXPECT_EQ(plugin::AUPlugInLookup(static_cast<SInt16>(selector)) != nullptr, offered) << selector;
  }
}

TEST(AURecord, OpenThenCloseConstructsAndDestroysOnce)
{
  gDestructCalls = 0;
  const int live = RecordingPlug::sLive;
  auto* record =
    plugin::AUPlugInInstanceCreate(sizeof(RecordingPlug), alignof(RecordingPlug), ConstructRecording, CountingDestruct);
  ASSERT_NE(record, nullptr);
  EXPECT_EQ(record->mInterface.reserved, nullptr);
  EXPECT_EQ(RecordingPlug::sLive, live);
  ASSERT_EQ(record->mInterface.Open(record, nullptr), noErr);
  EXPECT_EQ(RecordingPlug::sLive, live + 1);
  // The private property hands out the object built in the record.
  plugin::IPluginAPIBase* object = nullptr;
  UInt32 size = 8;
  auto getProperty = reinterpret_cast<AudioUnitGetPropertyProc>(plugin::AUPlugInLookup(kAudioUnitGetPropertySelect));
  ASSERT_EQ(getProperty(record, plugin::kPlugInObjectPropertyID, 0, 0, &object, &size), noErr);
  EXPECT_EQ(object, static_cast<plugin::IPluginAPIBase*>(record->mPlug));
  EXPECT_EQ(static_cast<void*>(record->mPlug), record->Storage());
  EXPECT_EQ(record->mInterface.Close(record), noErr);
  EXPECT_EQ(gDestructCalls, 1);
  EXPECT_EQ(RecordingPlug::sLive, live);
}

TEST(AURecord, ConstructorExceptionIsAnErrorAndCloseDestroysNothing)
{
  gDestructCalls = 0;
  auto* record =
    plugin::AUPlugInInstanceCreate(sizeof(RecordingPlug), alignof(RecordingPlug), ThrowingConstruct, CountingDestruct);
  ASSERT_NE(record, nullptr);
  EXPECT_EQ(record->mInterface.Open(record, nullptr), kAudioUnitErr_FailedInitialization);
  auto initialize = reinterpret_cast<AudioUnitInitializeProc>(plugin::AUPlugInLookup(kAudioUnitInitializeSelect));
  EXPECT_EQ(initialize(record), badComponentInstance);
  EXPECT_EQ(record->mInterface.Close(record), noErr);
  EXPECT_EQ(gDestructCalls, 0);
}

TEST(AULifecycle, InitializeResetsTheProcessorOnlyWhenRateOrBlockSizeMovedSinceItsLastReset)
{
  RecordingPlug plug;
  const AudioStreamBasicDescription at48k = FloatFormat(2, 48000.0);
  const AudioStreamBasicDescription at44k = FloatFormat(2, 44100.0);
  const UInt32 frames512 = 512, frames1024 = 1024;
  // Each row: what the host sets before Initialize, and whether that leaves
  // the processor built for another rate or block size.
  const struct Row {
    const char* what;
    const AudioStreamBasicDescription* format;
    const UInt32* frames;
    bool reset;
  } table[] = {{"nothing", nullptr, nullptr, false},
               {"a new rate by stream format", &at48k, nullptr, true},
               {"the same rate again", &at48k, nullptr, false},
               {"unchanged maximum frames", nullptr, &frames512, false},
               {"back to the first rate", &at44k, nullptr, true},
               {"new maximum frames (reset on the set)", nullptr, &frames1024, false}};
  for (const Row& row : table) {
    if (row.format) {
      for (AudioUnitScope scope : {kAudioUnitScope_Input, kAudioUnitScope_Output}) {
        ASSERT_EQ(plug.SetProperty(kAudioUnitProperty_StreamFormat, scope, 0, sizeof(*row.format), row.format), noErr);
      }
    }
    if (row.frames) {
      ASSERT_EQ(plug.SetProperty(kAudioUnitProperty_MaximumFramesPerSlice, 0, 0, 4, row.frames), noErr);
    }
    const int before = plug.mResets;
    ASSERT_EQ(plug.Initialize(), noErr) << row.what;
    EXPECT_EQ(plug.mResets - before, row.reset ? 1 : 0) << row.what;
    ASSERT_EQ(plug.Uninitialize(), noErr);
  }
}

TEST(AUParameters, SetParameterSnapsStepsClampsAndTellsThePlugin)
{
  RecordingPlug plug;
  plug.GetParam(testsupport::kTestLevel)->InitDouble("Half", 0.0, 0.0, 2.0, 0.5, "", plugin::IParam::kFlagStepped);
  const struct {
    float value;
    double stored;
  } table[] = {{0.74f, 0.5}, {0.76f, 1.0}, {5.0f, 2.0}, {-1.0f, 0.0}};
  for (const auto& row : table) {
    plug.mChanges.clear();
    ASSERT_EQ(plug.SetParameter(testsupport::kTestLevel, 0, 0, row.value, 33), noErr);
    EXPECT_DOUBLE_EQ(plug.GetParam(testsupport::kTestLevel)->Value(), row.stored) << row.value;
    ASSERT_EQ(plug.mChanges.size(), 1u);
    EXPECT_EQ(plug.mChanges[0].source, plugin::kHost);
    EXPECT_EQ(plug.mChanges[0].offset, 33);
  }
  AudioUnitParameterValue value = 0.f;
  EXPECT_EQ(plug.GetParameter(testsupport::kTestLevel, 0, 0, &value), noErr);
  EXPECT_EQ(value, 0.f);
}

TEST(AUParameters, AValueThatIsNoFiniteNumberIsRefusedWithTheInvalidValueError)
{
  RecordingPlug plug;
  ASSERT_EQ(plug.SetParameter(testsupport::kTestGain, 0, 0, -3.f, 0), noErr);
  const float bad[] = {std::nanf(""), -std::nanf(""), HUGE_VALF, -HUGE_VALF};
  for (float value : bad) {
    plug.mChanges.clear();
    EXPECT_EQ(plug.SetParameter(testsupport::kTestGain, 0, 0, value, 0), kAudioUnitErr_InvalidParameterValue) << value;
    AudioUnitParameterEvent event{};
    event.scope = kAudioUnitScope_Global;
    event.parameter = testsupport::kTestGain;
    event.eventType = kParameterEvent_Immediate;
    event.eventValues.immediate.value = value;
    EXPECT_EQ(plug.ScheduleParameters(&event, 1), kAudioUnitErr_InvalidParameterValue) << value;
    EXPECT_EQ(plug.GetParam(testsupport::kTestGain)->Value(), -3.0) << value;
    EXPECT_TRUE(plug.mChanges.empty()) << value;
  }
  EXPECT_EQ(kAudioUnitErr_InvalidParameterValue, -66743);
}

TEST(AUParameters, WrongScopeOrMissingIdChangesNothing)
{
  RecordingPlug plug;
  const double gain = plug.GetParam(testsupport::kTestGain)->Value();
  EXPECT_EQ(plug.SetParameter(testsupport::kTestGain, kAudioUnitScope_Input, 0, 3.f, 0), kAudioUnitErr_InvalidProperty);
  EXPECT_EQ(plug.SetParameter(testsupport::kTestNumParams, 0, 0, 3.f, 0), kAudioUnitErr_InvalidParameter);
  EXPECT_EQ(plug.SetParameter(0xFFFFFFFF, 0, 0, 3.f, 0), kAudioUnitErr_InvalidParameter);
  AudioUnitParameterValue value = 42.f;
  EXPECT_EQ(plug.GetParameter(testsupport::kTestNumParams, 0, 0, &value), kAudioUnitErr_InvalidParameter);
  EXPECT_EQ(value, 42.f);
  EXPECT_EQ(plug.GetParam(testsupport::kTestGain)->Value(), gain);
  EXPECT_TRUE(plug.mChanges.empty());
}

TEST(AUParameters, ScheduleStopsAtTheFirstRefusedEvent)
{
  RecordingPlug plug;
  AudioUnitParameterEvent events[4] = {};
  const struct {
    AudioUnitScope scope;
    AudioUnitParameterID id;
    UInt32 type;
    float value;
  } table[] = {{0, testsupport::kTestGain, kParameterEvent_Immediate, 3.f},
               {0, testsupport::kTestMix, kParameterEvent_Ramped, 10.f},
               {kAudioUnitScope_Input, testsupport::kTestMix, kParameterEvent_Immediate, 20.f},
               {0, testsupport::kTestPan, kParameterEvent_Immediate, 0.5f}};
  for (int i = 0; i < 4; ++i) {
    events[i].scope = table[i].scope;
    events[i].parameter = table[i].id;
    events[i].eventType = table[i].type;
    events[i].eventValues.immediate.value = table[i].value;
    events[i].eventValues.immediate.bufferOffset = static_cast<UInt32>(i);
  }
  EXPECT_EQ(plug.ScheduleParameters(events, 4), kAudioUnitErr_InvalidProperty);
  EXPECT_DOUBLE_EQ(plug.GetParam(testsupport::kTestGain)->Value(), 3.0);
  EXPECT_DOUBLE_EQ(plug.GetParam(testsupport::kTestMix)->Value(), 100.0);
  EXPECT_DOUBLE_EQ(plug.GetParam(testsupport::kTestPan)->Value(), 0.0);
}

TEST(AUListeners, SameListenerTwiceIsKeptOnceAndRemovedOnce)
{
  RecordingPlug plug;
  int calls = 0;
  EXPECT_EQ(plug.AddPropertyListener(kAudioUnitProperty_BypassEffect, CountListener, &calls), noErr);
  EXPECT_EQ(plug.AddPropertyListener(kAudioUnitProperty_BypassEffect, CountListener, &calls), noErr);
  const UInt32 on = 1;
  Set(plug, kAudioUnitProperty_BypassEffect, on);
  EXPECT_EQ(calls, 1);
  EXPECT_EQ(plug.RemovePropertyListener(kAudioUnitProperty_BypassEffect, CountListener), noErr);
  Set(plug, kAudioUnitProperty_BypassEffect, on);
  EXPECT_EQ(calls, 1);
  EXPECT_EQ(plug.RemovePropertyListener(kAudioUnitProperty_BypassEffect, OtherListener), noErr);
  int other = 0;
  plug.AddPropertyListener(kAudioUnitProperty_BypassEffect, CountListener, &other);
  EXPECT_EQ(plug.RemovePropertyListenerWithUserData(kAudioUnitProperty_BypassEffect, CountListener, &calls), noErr);
  Set(plug, kAudioUnitProperty_BypassEffect, on);
  EXPECT_EQ(other, 1) << "removal with other user data must keep the listener";
}

TEST(AUListeners, ListenersHearOnlySuccessfulSets)
{
  RecordingPlug plug;
  int frames = 0, format = 0;
  plug.AddPropertyListener(kAudioUnitProperty_MaximumFramesPerSlice, CountListener, &frames);
  plug.AddPropertyListener(kAudioUnitProperty_StreamFormat, CountListener, &format);
  EXPECT_EQ(Set(plug, kAudioUnitProperty_MaximumFramesPerSlice, UInt32(0)), kAudioUnitErr_InvalidPropertyValue);
  EXPECT_EQ(Set(plug, kAudioUnitProperty_StreamFormat, FloatFormat(3), kAudioUnitScope_Output),
            kAudioUnitErr_InvalidProperty);
  EXPECT_EQ(frames + format, 0);
  EXPECT_EQ(Set(plug, kAudioUnitProperty_MaximumFramesPerSlice, UInt32(256)), noErr);
  EXPECT_EQ(Set(plug, kAudioUnitProperty_StreamFormat, FloatFormat(2), kAudioUnitScope_Output), noErr);
  EXPECT_EQ(frames, 1);
  EXPECT_EQ(format, 1);
  ASSERT_EQ(plug.Initialize(), noErr);
  EXPECT_EQ(Set(plug, kAudioUnitProperty_MaximumFramesPerSlice, UInt32(512)), kAudioUnitErr_Initialized);
  EXPECT_EQ(Set(plug, kAudioUnitProperty_StreamFormat, FloatFormat(1), kAudioUnitScope_Output),
            kAudioUnitErr_Initialized);
  EXPECT_EQ(frames, 1);
  UInt32 now = 0;
  Get(plug, kAudioUnitProperty_MaximumFramesPerSlice, now);
  EXPECT_EQ(now, 256u);
}

TEST(AUListeners, RenderNotifyRemovalTakesTheFirstWithThatProcedure)
{
  RecordingPlug plug;
  int first = 0, second = 0;
  plug.AddRenderNotify(CountNotify, &first);
  plug.AddRenderNotify(CountNotify, &second);
  EXPECT_EQ(plug.RemoveRenderNotify(CountNotify, &second), noErr);
  std::vector<float> l(64), r(64);
  AudioBufferList* list = reinterpret_cast<AudioBufferList*>(new char[sizeof(UInt32) * 2 + 2 * sizeof(AudioBuffer)]);
  list->mNumberBuffers = 2;
  list->mBuffers[0] = AudioBuffer{1, 256, l.data()};
  (&list->mBuffers[0])[1] = AudioBuffer{1, 256, r.data()};
  const AudioTimeStamp stamp = Stamp(0);
  ASSERT_EQ(plug.Render(nullptr, &stamp, 0, 64, list), noErr);
  delete[] reinterpret_cast<char*>(list);
  EXPECT_EQ(first, 0);
  EXPECT_EQ(second, 2) << "pre and post render";
}

TEST(AULatency, SetLatencyChangesTheReportedLatencyWithoutListeners)
{
  RecordingPlug plug;
  plug.SetLatency(1024);
  Float64 seconds = 0.0;
  ASSERT_EQ(Get(plug, kAudioUnitProperty_Latency, seconds), noErr);
  EXPECT_DOUBLE_EQ(seconds, 1024.0 / 44100.0);
  int heard = 0;
  plug.AddPropertyListener(kAudioUnitProperty_Latency, CountListener, &heard);
  plug.SetLatency(16383);
  EXPECT_EQ(heard, 1);
}

TEST(AUEvents, GesturesAndValueChangesReachTheHostAsUnitEvents)
{
  standin::ClearRecordedAUEvents();
  RecordingPlug plug;
  plug.SetComponentInstance(reinterpret_cast<AudioComponentInstance>(0x1234));
  plug.BeginInformHostOfParamChange(3);
  plug.SendParameterValueFromUI(3, 0.5, true);
  plug.EndInformHostOfParamChange(3);
  const std::vector<AudioUnitEvent> events = standin::RecordedAUEvents();
  ASSERT_EQ(events.size(), 3u);
  const AudioUnitEventType types[] = {1, 0, 2};
  for (int i = 0; i < 3; ++i) {
    EXPECT_EQ(events[i].mEventType, types[i]);
    EXPECT_EQ(events[i].mArgument.mParameter.mParameterID, 3u);
    EXPECT_EQ(events[i].mArgument.mParameter.mScope, 0u);
    EXPECT_EQ(events[i].mArgument.mParameter.mAudioUnit, reinterpret_cast<AudioUnit>(0x1234));
  }
  ASSERT_FALSE(plug.mChanges.empty());
  EXPECT_EQ(plug.mChanges.back().source, plugin::kUI);
}

TEST(AUMidiOut, EachMessageTravelsWholeInItsOwnPacket)
{
  RecordingPlug plug;
  plugin::UT_TypedBuf<plugin::IMidiMsg> msgs;
  msgs.Add(plugin::IMidiMsg(0, 0x90, 60, 100));
  msgs.Add(plugin::IMidiMsg(5, 0x80, 60, 0));
  msgs.Add(plugin::IMidiMsg(9, 0xB0, 7, 127));
  EXPECT_FALSE(plug.SendMidiMsgs(msgs)) << "no callback yet";
  MidiCapture capture;
  const AUMIDIOutputCallbackStruct callback{CaptureMidi, &capture};
  ASSERT_EQ(Set(plug, kAudioUnitProperty_MIDIOutputCallback, callback), noErr);
  EXPECT_TRUE(plug.SendMidiMsgs(msgs));
  EXPECT_EQ(capture.calls, 1);
  const std::vector<std::vector<uint8_t>> want = {{0x90, 60, 100}, {0x80, 60, 0}, {0xB0, 7, 127}};
  EXPECT_EQ(capture.packets, want);
  EXPECT_EQ(capture.stamps, (std::vector<MIDITimeStamp>{0, 5, 9}));
}

TEST(AUMidiOut, SysExIsSplitIntoPacketsOf256Bytes)
{
  RecordingPlug plug;
  MidiCapture capture;
  Set(plug, kAudioUnitProperty_MIDIOutputCallback, AUMIDIOutputCallbackStruct{CaptureMidi, &capture});
  std::vector<uint8_t> bytes(300);
  for (size_t i = 0; i < bytes.size(); ++i)
    bytes[i] = static_cast<uint8_t>(i * 7);
  const plugin::SysExData msg(plugin::ISysEx(12, bytes.data(), 300));
  EXPECT_TRUE(plug.SendSysEx(msg));
  ASSERT_EQ(capture.packets.size(), 2u);
  EXPECT_EQ(capture.packets[0], std::vector<uint8_t>(bytes.begin(), bytes.begin() + 256));
  EXPECT_EQ(capture.packets[1], std::vector<uint8_t>(bytes.begin() + 256, bytes.end()));
  EXPECT_EQ(capture.stamps, (std::vector<MIDITimeStamp>{12, 12}));
  EXPECT_TRUE(plug.SendMidiMsg(plugin::IMidiMsg(3, 0xC0, 5, 0)));
  EXPECT_EQ(capture.packets.back(), (std::vector<uint8_t>{0xC0, 5, 0}));
}

TEST(AUMidiIn, MidiSelectorsReachTheProcessorWhenTheConfigTakesMidi)
{
  plugin::Config config = testsupport::TestPlugConfig();
  config.plugDoesMidiIn = true;
  RecordingPlug plug(config);
  ParamBlock midi(kMusicDeviceMIDIEventSelect, UInt32(0x90), UInt32(64), UInt32(90), UInt32(17));
  EXPECT_EQ(IPluginAU::ComponentEntry(midi.Get(), &plug, MakeRecording), noErr);
  ASSERT_EQ(plug.mMidi.size(), 1u);
  EXPECT_EQ(plug.mMidi[0].mOffset, 17);
  EXPECT_EQ(plug.mMidi[0].mStatus, 0x90);
  EXPECT_EQ(plug.mMidi[0].mData1, 64);
  EXPECT_EQ(plug.mMidi[0].mData2, 90);
  NoteInstanceID note = 0;
  MusicDeviceNoteParams params{2, 61.7f, 100.f, {}};
  ParamBlock start(kMusicDeviceStartNoteSelect, UInt32(0), UInt32(0), &note, UInt32(0), &params);
  EXPECT_EQ(IPluginAU::ComponentEntry(start.Get(), &plug, MakeRecording), noErr);
  EXPECT_EQ(note, 61u);
}
