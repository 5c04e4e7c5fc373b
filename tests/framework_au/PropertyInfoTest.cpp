// What an info call (no data) answers for every property the unit knows:
// status, size and writability, by scope and element.
#include <gtest/gtest.h>

#include "AUTestUnit.h"

using namespace autest;

namespace {

constexpr UInt32 kUntouched = 12345; // the size a refused info call leaves alone
constexpr AudioUnitScope kGlobal = kAudioUnitScope_Global;
constexpr AudioUnitScope kIn = kAudioUnitScope_Input;
constexpr AudioUnitScope kOut = kAudioUnitScope_Output;

struct InfoRow {
  AudioUnitPropertyID id;
  AudioUnitScope scope;
  AudioUnitElement element;
  OSStatus status;
  UInt32 size;
  bool writable;
};

template <class T> constexpr UInt32 Bytes() { return static_cast<UInt32>(sizeof(T)); }

} // namespace

TEST(AUProperties, InfoCallsAnswerSizeAndWritabilityOfEveryProperty)
{
  const OSStatus kNo = kAudioUnitErr_InvalidProperty;
  const InfoRow table[] = {
    {plugin::kPlugInObjectPropertyID, kGlobal, 0, noErr, 8, false},
    {kAudioUnitProperty_ClassInfo, kGlobal, 0, noErr, 8, false},
    {kAudioUnitProperty_FactoryPresets, kGlobal, 0, noErr, 8, false},
    {kAudioUnitProperty_CurrentPreset, kGlobal, 0, noErr, Bytes<AUPreset>(), true},
    {kAudioUnitProperty_PresentPreset, kGlobal, 0, noErr, Bytes<AUPreset>(), true},

    {kAudioUnitProperty_MakeConnection, kIn, 0, noErr, Bytes<AudioUnitConnection>(), true},
    {kAudioUnitProperty_MakeConnection, kOut, 0, kNo, kUntouched, false},
    {kAudioUnitProperty_SampleRate, kGlobal, 0, noErr, 8, true},
    {kAudioUnitProperty_FastDispatch, kGlobal, 0, kAudioUnitErr_InvalidElement, kUntouched, false},
    {kAudioUnitProperty_StreamFormat, kIn, 0, noErr, Bytes<AudioStreamBasicDescription>(), true},
    {kAudioUnitProperty_StreamFormat, kOut, 0, noErr, Bytes<AudioStreamBasicDescription>(), true},
    {kAudioUnitProperty_StreamFormat, kIn, 1, kNo, kUntouched, false},
    {kAudioUnitProperty_ElementCount, kIn, 0, noErr, 4, false},
    {kAudioUnitProperty_SupportedNumChannels, kGlobal, 0, noErr, Bytes<AUChannelInfo>(), false},
    {kAudioUnitProperty_SupportedNumChannels, kIn, 0, kNo, kUntouched, false},
    {kAudioUnitProperty_MaximumFramesPerSlice, kGlobal, 0, noErr, 4, true},
    {kAudioUnitProperty_MaximumFramesPerSlice, kOut, 0, kNo, kUntouched, false},
    {kAudioUnitProperty_AudioChannelLayout, kOut, 0, kAudioUnitErr_InvalidPropertyValue, kUntouched, false},
    {kAudioUnitProperty_ElementName, kIn, 0, kNo, 8, false},
    {kAudioUnitProperty_SetRenderCallback, kIn, 0, noErr, Bytes<AURenderCallbackStruct>(), true},
    {kAudioUnitProperty_SetRenderCallback, kIn, 1, kNo, kUntouched, false},
    {kAudioUnitProperty_SetRenderCallback, kOut, 0, kNo, kUntouched, false},

    {kAudioUnitProperty_ParameterList, kGlobal, 0, noErr, 4 * testsupport::kTestNumParams, false},
    {kAudioUnitProperty_ParameterList, kIn, 0, noErr, 0, false},
    {kAudioUnitProperty_ParameterInfo, kGlobal, testsupport::kTestFreq, noErr, Bytes<AudioUnitParameterInfo>(), false},
    {kAudioUnitProperty_ParameterInfo, kGlobal, testsupport::kTestNumParams, kAudioUnitErr_InvalidElement, kUntouched,
     false},
    {kAudioUnitProperty_ParameterInfo, kIn, 0, kNo, kUntouched, false},
    {kAudioUnitProperty_ParameterValueStrings, kGlobal, testsupport::kTestMode, noErr, 8, false},
    {kAudioUnitProperty_ParameterValueStrings, kGlobal, testsupport::kTestFreq, kNo, 0, false},
    {kAudioUnitProperty_ParameterStringFromValue, kGlobal, 0, noErr, Bytes<AudioUnitParameterStringFromValue>(), false},
    {kAudioUnitProperty_ParameterIDName, kGlobal, 0, noErr, Bytes<AudioUnitParameterIDName>(), false},
    {kAudioUnitProperty_ParameterClumpName, kGlobal, 0, noErr, Bytes<AudioUnitParameterNameInfo>(), false},
    {kAudioUnitProperty_ParameterValueFromString, kGlobal, 0, noErr, Bytes<AudioUnitParameterValueFromString>(), false},

    {kAudioUnitProperty_Latency, kGlobal, 0, noErr, 8, false},
    {kAudioUnitProperty_Latency, kOut, 0, kNo, kUntouched, false},
    {kAudioUnitProperty_TailTime, kGlobal, 0, noErr, 8, false},
    {kAudioUnitProperty_BypassEffect, kGlobal, 0, noErr, 4, true},
    {kAudioUnitProperty_BypassEffect, kIn, 0, kNo, kUntouched, false},
    {kAudioUnitProperty_LastRenderError, kGlobal, 0, noErr, 4, false},
    {kAudioUnitProperty_OfflineRender, kGlobal, 0, noErr, 4, true},

    {kAudioUnitProperty_HostCallbacks, kGlobal, 0, noErr, Bytes<HostCallbackInfo>(), true},
    {kAudioUnitProperty_HostCallbacks, kIn, 0, kNo, kUntouched, false},
    {kAudioUnitProperty_AUHostIdentifier, kGlobal, 0, kNo, kUntouched, false},

    {kAudioUnitProperty_CocoaUI, kGlobal, 0, noErr, Bytes<AudioUnitCocoaViewInfo>(), false},
    {kAudioUnitProperty_MIDIOutputCallbackInfo, kGlobal, 0, noErr, 8, false},
    {kAudioUnitProperty_MIDIOutputCallback, kGlobal, 0, noErr, Bytes<AUMIDIOutputCallbackStruct>(), true},
    {kMusicDeviceProperty_InstrumentCount, kGlobal, 0, kNo, kUntouched, false},
    {kAudioUnitProperty_CPULoad, kGlobal, 0, kNo, kUntouched, false},
    {kAudioUnitProperty_NickName, kGlobal, 0, kNo, kUntouched, false},
  };
  RecordingPlug plug;
  for (const InfoRow& row : table) {
    UInt32 size = kUntouched;
    Boolean writable = true;
    EXPECT_EQ(plug.GetProperty(row.id, row.scope, row.element, &size, &writable, nullptr), row.status)
      << "property " << row.id << " scope " << row.scope << " element " << row.element;
    EXPECT_EQ(size, row.size) << "property " << row.id << " scope " << row.scope;
    EXPECT_EQ(writable != 0, row.writable) << "property " << row.id << " scope " << row.scope;
  }
}

TEST(AUProperties, OnlyWritablePropertiesCanBeSet)
{
  RecordingPlug plug;
  const UInt32 value[32] = {};
  const AudioUnitPropertyID readOnly[] = {kAudioUnitProperty_ParameterList, kAudioUnitProperty_LastRenderError,
                                          kAudioUnitProperty_ElementCount,  kAudioUnitProperty_Latency,
                                          kAudioUnitProperty_CocoaUI,       plugin::kPlugInObjectPropertyID,
                                          kAudioUnitProperty_CPULoad};
  for (AudioUnitPropertyID id : readOnly)
    EXPECT_EQ(plug.SetProperty(id, kGlobal, 0, sizeof(value), value), kAudioUnitErr_InvalidProperty) << id;
  // A host-callback record only on the global scope, a render callback only on an input.
  EXPECT_EQ(plug.SetProperty(kAudioUnitProperty_HostCallbacks, kIn, 0, sizeof(value), value),
            kAudioUnitErr_InvalidProperty);
  EXPECT_EQ(plug.SetProperty(kAudioUnitProperty_SetRenderCallback, kGlobal, 0, sizeof(value), value),
            kAudioUnitErr_InvalidProperty);
  EXPECT_EQ(plug.SetProperty(kAudioUnitProperty_SetRenderCallback, kIn, 0, sizeof(value), value), noErr);
}
