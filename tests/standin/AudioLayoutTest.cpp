// Layouts and numbers the host and the plug-in exchange: each must equal the
// published LP64 value, or the two sides would read each other's records wrong.
#include <AudioToolbox/AudioToolbox.h>
#include <CoreMIDI/CoreMIDI.h>
#include <CoreServices/CoreServices.h>

#include <gtest/gtest.h>

#include <cstddef>

namespace {

struct Layout {
  const char* name;
  size_t actual;
  size_t expected;
};

#define SIZE(T, n)                                                                                                     \
  Layout { "sizeof " #T, sizeof(T), n }
#define AT(T, f, n)                                                                                                    \
  Layout { #T "." #f, offsetof(T, f), n }

TEST(AudioLayoutTest, RecordsHaveThePublishedSizesAndOffsets)
{
  const Layout table[] = {
    SIZE(AudioStreamBasicDescription, 40),
    AT(AudioStreamBasicDescription, mFormatID, 8),
    AT(AudioStreamBasicDescription, mChannelsPerFrame, 28),
    AT(AudioStreamBasicDescription, mBitsPerChannel, 32),
    SIZE(AudioBuffer, 16),
    AT(AudioBuffer, mData, 8),
    SIZE(AudioBufferList, 24),
    AT(AudioBufferList, mBuffers, 8),
    SIZE(SMPTETime, 24),
    AT(SMPTETime, mHours, 16),
    SIZE(AudioTimeStamp, 64),
    AT(AudioTimeStamp, mHostTime, 8),
    AT(AudioTimeStamp, mSMPTETime, 32),
    AT(AudioTimeStamp, mFlags, 56),
    SIZE(AudioComponentDescription, 20),
    AT(AudioComponentDescription, componentFlagsMask, 16),
    SIZE(AudioComponentPlugInInterface, 32),
    AT(AudioComponentPlugInInterface, Lookup, 16),
    AT(AudioComponentPlugInInterface, reserved, 24),
    SIZE(AUChannelInfo, 4),
    AT(AUChannelInfo, outChannels, 2),
    SIZE(AudioUnitParameterInfo, 104),
    AT(AudioUnitParameterInfo, unitName, 56),
    AT(AudioUnitParameterInfo, clumpID, 64),
    AT(AudioUnitParameterInfo, cfNameString, 72),
    AT(AudioUnitParameterInfo, unit, 80),
    AT(AudioUnitParameterInfo, minValue, 84),
    AT(AudioUnitParameterInfo, maxValue, 88),
    AT(AudioUnitParameterInfo, defaultValue, 92),
    AT(AudioUnitParameterInfo, flags, 96),
    SIZE(AURenderCallbackStruct, 16),
    AT(AURenderCallbackStruct, inputProcRefCon, 8),
    SIZE(AudioUnitConnection, 16),
    AT(AudioUnitConnection, sourceOutputNumber, 8),
    AT(AudioUnitConnection, destInputNumber, 12),
    SIZE(AUPreset, 16),
    AT(AUPreset, presetName, 8),
    SIZE(HostCallbackInfo, 40),
    AT(HostCallbackInfo, transportStateProc2, 32),
    SIZE(AudioUnitCocoaViewInfo, 16),
    AT(AudioUnitCocoaViewInfo, mCocoaAUViewClass, 8),
    SIZE(AudioUnitParameterStringFromValue, 24),
    AT(AudioUnitParameterStringFromValue, inValue, 8),
    AT(AudioUnitParameterStringFromValue, outString, 16),
    SIZE(AudioUnitParameterValueFromString, 24),
    AT(AudioUnitParameterValueFromString, inString, 8),
    AT(AudioUnitParameterValueFromString, outValue, 16),
    SIZE(AudioUnitParameterNameInfo, 16),
    AT(AudioUnitParameterNameInfo, inDesiredLength, 4),
    AT(AudioUnitParameterNameInfo, outName, 8),
    SIZE(AUHostVersionIdentifier, 16),
    AT(AUHostVersionIdentifier, hostVersion, 8),
    AT(AUNumVersion, majorRev, 3),
    AT(AUNumVersion, minorAndBugRev, 2),
    SIZE(AUMIDIOutputCallbackStruct, 16),
    AT(AUMIDIOutputCallbackStruct, userData, 8),
    SIZE(AudioUnitParameterEvent, 32),
    AT(AudioUnitParameterEvent, eventType, 12),
    AT(AudioUnitParameterEvent, eventValues, 16),
    SIZE(AudioUnitParameter, 24),
    AT(AudioUnitParameter, mParameterID, 8),
    AT(AudioUnitParameter, mElement, 16),
    SIZE(AudioUnitEvent, 32),
    AT(AudioUnitEvent, mArgument, 8),
    SIZE(MIDIPacket, 268),
    AT(MIDIPacket, length, 8),
    AT(MIDIPacket, data, 10),
    SIZE(MIDIPacketList, 272),
    AT(MIDIPacketList, packet, 4),
    SIZE(ComponentParameters, 16),
    AT(ComponentParameters, what, 2),
    AT(ComponentParameters, padding, 4),
    AT(ComponentParameters, params, 8),
    SIZE(NumVersion, 4),
    AT(NumVersion, majorRev, 3),
    SIZE(AudioChannelLayout, 32),
    AT(AudioChannelLayout, mChannelDescriptions, 12),
  };
  for (const Layout& l : table)
    EXPECT_EQ(l.actual, l.expected) << l.name;
}

struct Number {
  const char* name;
  long long actual;
  long long expected;
};
#define NUM(c, n)                                                                                                      \
  Number { #c, (long long)(c), (long long)(n) }

TEST(AudioLayoutTest, StatusCodesHaveThePublishedValues)
{
  const Number table[] = {
    NUM(kAudioUnitErr_InvalidProperty, -10879),
    NUM(kAudioUnitErr_InvalidParameter, -10878),
    NUM(kAudioUnitErr_InvalidElement, -10877),
    NUM(kAudioUnitErr_NoConnection, -10876),
    NUM(kAudioUnitErr_FailedInitialization, -10875),
    NUM(kAudioUnitErr_TooManyFramesToProcess, -10874),
    NUM(kAudioUnitErr_FormatNotSupported, -10868),
    NUM(kAudioUnitErr_Uninitialized, -10867),
    NUM(kAudioUnitErr_InvalidScope, -10866),
    NUM(kAudioUnitErr_PropertyNotWritable, -10865),
    NUM(kAudioUnitErr_CannotDoInCurrentContext, -10863),
    NUM(kAudioUnitErr_InvalidPropertyValue, -10851),
    NUM(kAudioUnitErr_PropertyNotInUse, -10850),
    NUM(kAudioUnitErr_Initialized, -10849),
    NUM(coreFoundationUnknownErr, -4960),
    NUM(paramErr, -50),
    NUM(badComponentSelector, (int)0x80008002),
    NUM(badComponentInstance, (int)0x80008001),
    NUM(noErr, 0),
  };
  for (const Number& n : table)
    EXPECT_EQ(n.actual, n.expected) << n.name;
}

TEST(AudioLayoutTest, SelectorsAndPropertyIdsHaveThePublishedValues)
{
  const Number table[] = {
    NUM(kComponentOpenSelect, -1),
    NUM(kComponentCloseSelect, -2),
    NUM(kComponentCanDoSelect, -3),
    NUM(kComponentVersionSelect, -4),
    NUM(kAudioUnitInitializeSelect, 1),
    NUM(kAudioUnitUninitializeSelect, 2),
    NUM(kAudioUnitGetPropertyInfoSelect, 3),
    NUM(kAudioUnitGetPropertySelect, 4),
    NUM(kAudioUnitSetPropertySelect, 5),
    NUM(kAudioUnitGetParameterSelect, 6),
    NUM(kAudioUnitSetParameterSelect, 7),
    NUM(kAudioUnitResetSelect, 9),
    NUM(kAudioUnitAddPropertyListenerSelect, 10),
    NUM(kAudioUnitRemovePropertyListenerSelect, 11),
    NUM(kAudioUnitRenderSelect, 14),
    NUM(kAudioUnitAddRenderNotifySelect, 15),
    NUM(kAudioUnitRemoveRenderNotifySelect, 16),
    NUM(kAudioUnitScheduleParametersSelect, 17),
    NUM(kAudioUnitRemovePropertyListenerWithUserDataSelect, 18),
    NUM(kMusicDeviceMIDIEventSelect, 257),
    NUM(kMusicDeviceSysExSelect, 258),
    NUM(kMusicDevicePrepareInstrumentSelect, 259),
    NUM(kMusicDeviceReleaseInstrumentSelect, 260),
    NUM(kMusicDeviceStartNoteSelect, 261),
    NUM(kMusicDeviceStopNoteSelect, 262),
    NUM(kAudioUnitProperty_ClassInfo, 0),
    NUM(kAudioUnitProperty_MakeConnection, 1),
    NUM(kAudioUnitProperty_SampleRate, 2),
    NUM(kAudioUnitProperty_ParameterList, 3),
    NUM(kAudioUnitProperty_ParameterInfo, 4),
    NUM(kAudioUnitProperty_FastDispatch, 5),
    NUM(kAudioUnitProperty_StreamFormat, 8),
    NUM(kAudioUnitProperty_ElementCount, 11),
    NUM(kAudioUnitProperty_Latency, 12),
    NUM(kAudioUnitProperty_SupportedNumChannels, 13),
    NUM(kAudioUnitProperty_MaximumFramesPerSlice, 14),
    NUM(kAudioUnitProperty_ParameterValueStrings, 16),
    NUM(kAudioUnitProperty_AudioChannelLayout, 19),
    NUM(kAudioUnitProperty_TailTime, 20),
    NUM(kAudioUnitProperty_BypassEffect, 21),
    NUM(kAudioUnitProperty_LastRenderError, 22),
    NUM(kAudioUnitProperty_SetRenderCallback, 23),
    NUM(kAudioUnitProperty_FactoryPresets, 24),
    NUM(kAudioUnitProperty_HostCallbacks, 27),
    NUM(kAudioUnitProperty_CurrentPreset, 28),
    NUM(kAudioUnitProperty_ElementName, 30),
    NUM(kAudioUnitProperty_CocoaUI, 31),
    NUM(kAudioUnitProperty_SupportedChannelLayoutTags, 32),
    NUM(kAudioUnitProperty_ParameterStringFromValue, 33),
    NUM(kAudioUnitProperty_ParameterIDName, 34),
    NUM(kAudioUnitProperty_ParameterClumpName, 35),
    NUM(kAudioUnitProperty_PresentPreset, 36),
    NUM(kAudioUnitProperty_OfflineRender, 37),
    NUM(kAudioUnitProperty_ParameterValueFromString, 38),
    NUM(kAudioUnitProperty_AUHostIdentifier, 46),
    NUM(kAudioUnitProperty_MIDIOutputCallbackInfo, 47),
    NUM(kAudioUnitProperty_MIDIOutputCallback, 48),
    NUM(kMusicDeviceProperty_InstrumentCount, 1000),
    NUM(kAudioUnitScope_Global, 0),
    NUM(kAudioUnitScope_Input, 1),
    NUM(kAudioUnitScope_Output, 2),
  };
  for (const Number& n : table)
    EXPECT_EQ(n.actual, n.expected) << n.name;
}

TEST(AudioLayoutTest, FlagsCodesAndTagsHaveThePublishedValues)
{
  const Number table[] = {
    NUM(kAudioFormatLinearPCM, 0x6C70636D),
    NUM(kAudioUnitType_Effect, 0x61756678),
    NUM(kAudioUnitType_MusicDevice, 0x61756D75),
    NUM(kAudioUnitType_MusicEffect, 0x61756D66),
    NUM(kAudioUnitType_MIDIProcessor, 0x61756D69),
    NUM(kAudioFormatFlagIsFloat | kAudioFormatFlagIsPacked | kAudioFormatFlagIsNonInterleaved, 0x29),
    NUM(kAudioFormatFlagsNativeFloatPacked, 0x9),
    NUM(kAudioTimeStampSampleTimeValid, 1),
    NUM(kAudioTimeStampHostTimeValid, 2),
    NUM(kAudioUnitRenderAction_PreRender, 4),
    NUM(kAudioUnitRenderAction_PostRender, 8),
    NUM(kAudioUnitRenderAction_OutputIsSilence, 16),
    NUM(kAudioUnitParameterFlag_IsReadable | kAudioUnitParameterFlag_IsWritable |
          kAudioUnitParameterFlag_HasCFNameString | kAudioUnitParameterFlag_IsHighResolution |
          kAudioUnitParameterFlag_CFNameRelease,
        0xC8800010u),
    NUM(kAudioUnitParameterFlag_IsElementMeta, 0x20000000),
    NUM(kAudioUnitParameterFlag_NonRealTime, 0x01000000),
    NUM(kAudioUnitParameterFlag_ValuesHaveStrings, 0x00200000),
    NUM(kAudioUnitParameterFlag_HasClump, 0x00100000),
    NUM(kAudioUnitParameterFlag_DisplayLogarithmic, 0x00400000),
    NUM(kAudioUnitParameterFlag_DisplayExponential, 0x00050000),
    NUM(kAudioUnitParameterFlag_DisplaySquared, 0x00020000),
    NUM(kAudioUnitParameterFlag_DisplaySquareRoot, 0x00010000),
    NUM(kAudioUnitParameterFlag_DisplayCubed, 0x00030000),
    NUM(kAudioUnitParameterFlag_DisplayCubeRoot, 0x00040000),
    NUM(kAudioUnitParameterUnit_Indexed, 1),
    NUM(kAudioUnitParameterUnit_Boolean, 2),
    NUM(kAudioUnitParameterUnit_Percent, 3),
    NUM(kAudioUnitParameterUnit_Decibels, 13),
    NUM(kAudioUnitParameterUnit_Milliseconds, 24),
    NUM(kAudioUnitParameterUnit_Ratio, 25),
    NUM(kAudioUnitParameterUnit_CustomUnit, 26),
    NUM(kAudioUnitEvent_ParameterValueChange, 0),
    NUM(kAudioUnitEvent_BeginParameterChangeGesture, 1),
    NUM(kAudioUnitEvent_EndParameterChangeGesture, 2),
    NUM(kAudioUnitEvent_PropertyChange, 3),
    NUM(kParameterEvent_Immediate, 1),
    NUM(kParameterEvent_Ramped, 2),
    NUM(kAudioChannelLayoutTag_Mono, 0x00640001),
    NUM(kAudioChannelLayoutTag_Stereo, 0x00650002),
    NUM(kAudioChannelLayoutTag_MPEG_3_0_A, 0x00710003),
    NUM(kAudioChannelLayoutTag_Quadraphonic, 0x006C0004),
    NUM(kAudioChannelLayoutTag_Ambisonic_B_Format, 0x006B0004),
    NUM(kAudioChannelLayoutTag_HOA_ACN_SN3D | 4, 0x00BE0004),
    NUM(kAudioChannelLayoutTag_AudioUnit_5_0, 0x00760005),
    NUM(kAudioChannelLayoutTag_AudioUnit_5_1, 0x00790006),
    NUM(kAudioChannelLayoutTag_AudioUnit_6_0, 0x008B0006),
    NUM(kAudioChannelLayoutTag_AudioUnit_6_1, 0x007D0007),
    NUM(kAudioChannelLayoutTag_AudioUnit_7_0, 0x008C0007),
    NUM(kAudioChannelLayoutTag_AudioUnit_7_1, 0x00800008),
    NUM(kAudioChannelLayoutTag_AudioUnit_7_1_Front, 0x007E0008),
    NUM(kAudioChannelLayoutTag_DiscreteInOrder, 0x00930000),
  };
  for (const Number& n : table)
    EXPECT_EQ(n.actual, n.expected) << n.name;
}

TEST(AudioLayoutTest, ClassInfoKeysAreThePublishedStrings)
{
  EXPECT_STREQ(kAUPresetVersionKey, "version");
  EXPECT_STREQ(kAUPresetTypeKey, "type");
  EXPECT_STREQ(kAUPresetSubtypeKey, "subtype");
  EXPECT_STREQ(kAUPresetManufacturerKey, "manufacturer");
  EXPECT_STREQ(kAUPresetDataKey, "data");
  EXPECT_STREQ(kAUPresetNameKey, "name");
}

} // namespace
