// Properties, class info and factory presets of the Audio Unit binding.
#include <gtest/gtest.h>

#include <standin/Testing.h>

#include <cstring>
#include <string>

#include "AUFactoryPreset.h"
#include "AUTestUnit.h"

using namespace autest;
using plugin::IPluginAU;

namespace {

std::string Text(CFStringRef s)
{
  char buffer[512] = "";
  if (s)
    CFStringGetCString(s, buffer, sizeof(buffer), kCFStringEncodingUTF8);
  return buffer;
}

CFStringRef Key(const char* key) { return CFStringCreateWithCString(nullptr, key, kCFStringEncodingUTF8); }

SInt32 NumberAt(CFDictionaryRef dict, const char* key)
{
  CFStringRef k = Key(key);
  SInt32 value = 0;
  CFNumberGetValue(static_cast<CFNumberRef>(CFDictionaryGetValue(dict, k)), kCFNumberSInt32Type, &value);
  CFRelease(k);
  return value;
}

AudioUnitParameterInfo Info(IPluginAU& plug, AudioUnitElement p)
{
  AudioUnitParameterInfo info{};
  EXPECT_EQ(Get(plug, kAudioUnitProperty_ParameterInfo, info, 0, p), noErr);
  return info;
}

// What a host releases of a parameter-info record: the name (the flags say
// so), never the unit name, which the unit keeps.
void Release(AudioUnitParameterInfo& info)
{
  if (info.cfNameString)
    CFRelease(info.cfNameString);
}

std::vector<AudioChannelLayoutTag> Tags(IPluginAU& plug, AudioUnitScope scope, AudioUnitElement element)
{
  UInt32 size = 0;
  Boolean writable = false;
  plug.GetProperty(kAudioUnitProperty_SupportedChannelLayoutTags, scope, element, &size, &writable, nullptr);
  std::vector<AudioChannelLayoutTag> tags(size / 4);
  if (!tags.empty())
    plug.GetProperty(kAudioUnitProperty_SupportedChannelLayoutTags, scope, element, &size, &writable, tags.data());
  return tags;
}

plugin::Config ConfigWithIO(const char* io)
{
  plugin::Config config = testsupport::TestPlugConfig();
  config.channelIOStr = io;
  return config;
}

} // namespace

TEST(AUProperties, InfoAndGetOfClassInfoDifferInWritability)
{
  RecordingPlug plug;
  UInt32 size = 0;
  Boolean writable = true;
  ASSERT_EQ(plug.GetProperty(kAudioUnitProperty_ClassInfo, 0, 0, &size, &writable, nullptr), noErr);
  EXPECT_EQ(size, 8u);
  EXPECT_FALSE(writable);
  CFPropertyListRef plist = nullptr;
  size = 8;
  ASSERT_EQ(plug.GetProperty(kAudioUnitProperty_ClassInfo, 0, 0, &size, &writable, &plist), noErr);
  EXPECT_TRUE(writable);
  EXPECT_EQ(CFDictionaryGetCount(static_cast<CFDictionaryRef>(plist)), 6);
  CFRelease(plist);
}

TEST(AUProperties, ShortHostBuffersAreRefusedAndLeftUntouched)
{
  RecordingPlug plug;
  const struct {
    AudioUnitPropertyID id;
    AudioUnitScope scope;
    UInt32 need;
  } table[] = {{kAudioUnitProperty_SampleRate, 0, 8},
               {kAudioUnitProperty_StreamFormat, 1, 40},
               {kAudioUnitProperty_ParameterList, 0, 40},
               {kAudioUnitProperty_ParameterInfo, 0, 104},
               {kAudioUnitProperty_SupportedNumChannels, 0, 4},
               {kAudioUnitProperty_ClassInfo, 0, 8},
               {kAudioUnitProperty_ParameterStringFromValue, 0, 24},
               {kAudioUnitProperty_CurrentPreset, 0, 16}};
  for (const auto& row : table) {
    unsigned char buffer[128];
    std::memset(buffer, 0xCD, sizeof(buffer));
    UInt32 size = row.need - 1;
    Boolean writable = false;
    EXPECT_EQ(plug.GetProperty(row.id, row.scope, 0, &size, &writable, buffer), kAudioUnitErr_InvalidPropertyValue)
      << row.id;
    EXPECT_EQ(size, row.need - 1) << row.id;
    for (unsigned char b : buffer)
      ASSERT_EQ(b, 0xCD) << "property " << row.id << " wrote into a short buffer";
  }
  const Float64 rate = 96000.0;
  EXPECT_EQ(plug.SetProperty(kAudioUnitProperty_SampleRate, 0, 0, 4, &rate), kAudioUnitErr_InvalidPropertyValue);
  EXPECT_EQ(plug.SetProperty(kAudioUnitProperty_SampleRate, 0, 0, 8, nullptr), kAudioUnitErr_InvalidPropertyValue);
  EXPECT_DOUBLE_EQ(plug.GetSampleRate(), 44100.0);
}

TEST(AUProperties, OnlyNonInterleavedFloat32FormatsAreAccepted)
{
  const struct {
    const char* what;
    AudioFormatFlags flags;
    UInt32 bits;
    UInt32 channels;
    OSStatus want;
  } table[] = {
    {"canonical stereo", 0x29, 32, 2, noErr},
    {"float, not marked packed", 0x21, 32, 2, noErr},
    {"three channels", 0x29, 32, 3, kAudioUnitErr_InvalidProperty},
    {"mono", 0x29, 32, 1, kAudioUnitErr_InvalidProperty},
    {"no channels", 0x29, 32, 0, kAudioUnitErr_InvalidProperty},
    {"interleaved float", 0x09, 32, 2, kAudioUnitErr_InvalidProperty},
    {"packed integer", 0x2C, 32, 2, kAudioUnitErr_InvalidProperty},
    {"16-bit integer", 0x2C, 16, 2, kAudioUnitErr_InvalidProperty},
    {"big-endian float", 0x2B, 32, 2, kAudioUnitErr_InvalidProperty},
    {"64-bit float", 0x29, 64, 2, kAudioUnitErr_InvalidProperty},
  };
  for (const auto& row : table) {
    RecordingPlug plug;
    AudioStreamBasicDescription format = FloatFormat(row.channels, 48000.0);
    format.mFormatFlags = row.flags;
    format.mBitsPerChannel = row.bits;
    format.mBytesPerFrame = format.mBytesPerPacket = row.bits / 8;
    EXPECT_EQ(Set(plug, kAudioUnitProperty_StreamFormat, format, kAudioUnitScope_Output), row.want) << row.what;
    AudioStreamBasicDescription now{};
    Get(plug, kAudioUnitProperty_StreamFormat, now, kAudioUnitScope_Output);
    EXPECT_EQ(now.mChannelsPerFrame, 2u) << row.what;
    EXPECT_EQ(now.mFormatFlags, 0x29u);
    EXPECT_EQ(plug.GetSampleRate(), row.want == noErr ? 48000.0 : 44100.0) << row.what;
  }
}

TEST(AUProperties, LayoutTagsFollowTheChannelCountOfEachConfiguration)
{
  const struct {
    const char* io;
    std::vector<AudioChannelLayoutTag> tags;
  } table[] = {
    {"2-2", {0x00650002}},
    {"2-2 2-1", {0x00650002}},
    {"1-1 2-2", {0x00640001, 0x00650002}},
    {"4-4", {0x006C0004, 0x006B0004, 0x00BE0004}},
    {"6-6", {0x00790006, 0x008B0006}},
    {"7-7", {0x007D0007, 0x008C0007}},
    {"8-8", {0x00800008, 0x007E0008}},
    {"9-9", {0x00BE0009}},
    {"12-12", {0x0093000C}},
    {"16-16", {0x00BE0010}},
    {"17-17", {0x00930011}},
  };
  for (const auto& row : table) {
    RecordingPlug plug(ConfigWithIO(row.io));
    EXPECT_EQ(Tags(plug, kAudioUnitScope_Input, 0), row.tags) << row.io;
    EXPECT_TRUE(Tags(plug, kAudioUnitScope_Global, 0).empty()) << row.io;
    EXPECT_TRUE(Tags(plug, kAudioUnitScope_Input, 1).empty()) << row.io;
  }
}

TEST(AUProperties, SupportedChannelsListOneRecordPerConfiguration)
{
  RecordingPlug plug(ConfigWithIO("1-1 2-2 *-*"));
  AUChannelInfo infos[3] = {};
  UInt32 size = sizeof(infos);
  Boolean writable = false;
  ASSERT_EQ(plug.GetProperty(kAudioUnitProperty_SupportedNumChannels, 0, 0, &size, &writable, infos), noErr);
  ASSERT_EQ(size, 12u);
  EXPECT_EQ(infos[0].inChannels, 1);
  EXPECT_EQ(infos[1].outChannels, 2);
  EXPECT_EQ(infos[2].inChannels, -1);
  EXPECT_EQ(infos[2].outChannels, -1);
}

TEST(AUProperties, ParameterInfoReportsUnitsFlagsAndDisplayScales)
{
  using namespace testsupport;
  const struct {
    int p;
    AudioUnitParameterUnit unit;
    UInt32 flags;
    float min, max, def;
  } table[] = {
    {kTestBypass, 2, 0xC8800010 | 0x00200000, 0.f, 1.f, 0.f},
    {kTestMode, 1, 0xC8800010 | 0x00200000, 0.f, 2.f, 1.f},
    {kTestSteps, 1, 0xC8800010, -5.f, 5.f, 0.f},
    {kTestGain, 13, 0xC8800010, -24.f, 24.f, 0.f},
    {kTestMix, 3, 0xC8800010, 0.f, 100.f, 100.f},
    {kTestFreq, 8, 0xC8800010 | 0x00400000, 20.f, 20000.f, 1000.f},
    {kTestDrive, 0, 0xC8800010 | 0x00040000 | 0x00100000, 0.f, 1.f, 0.25f},
    {kTestTime, 4, 0xC8800010, 0.f, 10.f, 1.5f},
    {kTestLevel, 0, 0xC8800010, -10.f, 10.f, 0.f},
  };
  RecordingPlug plug;
  for (const auto& row : table) {
    AudioUnitParameterInfo info = Info(plug, row.p);
    EXPECT_EQ(info.unit, row.unit) << row.p;
    EXPECT_EQ(info.flags, row.flags) << row.p;
    EXPECT_EQ(info.minValue, row.min);
    EXPECT_EQ(info.maxValue, row.max);
    EXPECT_FLOAT_EQ(info.defaultValue, row.def);
    EXPECT_EQ(Text(info.cfNameString), plug.GetParam(row.p)->GetName());
    EXPECT_STREQ(info.name, plug.GetParam(row.p)->GetName());
    Release(info);
  }
  AudioUnitParameterInfo info{};
  EXPECT_EQ(Get(plug, kAudioUnitProperty_ParameterInfo, info, 0, kTestNumParams), kAudioUnitErr_InvalidElement);
  EXPECT_EQ(Get(plug, kAudioUnitProperty_ParameterInfo, info, kAudioUnitScope_Input, 0), kAudioUnitErr_InvalidProperty);
}

TEST(AUProperties, ACustomUnitNameIsOneStringPerParameterKeptByTheUnit)
{
  using testsupport::kTestLevel;
  const long outside = standin::LiveCFObjectCount();
  {
    RecordingPlug plug;
    plug.GetParam(kTestLevel)->InitDouble("Level", 0.0, 0.0, 1.0, 0.01, "dB");
    const long objects = standin::LiveCFObjectCount();
    const struct {
      const char* label; // set before the queries; null keeps the last one
      const char* want;
    } rows[] = {{nullptr, "dB"}, {nullptr, "dB"}, {"Hz", "Hz"}, {nullptr, "Hz"}};
    CFStringRef first = nullptr;
    for (const auto& row : rows) {
      if (row.label)
        plug.GetParam(kTestLevel)->InitDouble("Level", 0.0, 0.0, 1.0, 0.01, row.label);
      for (int i = 0; i < 50; ++i) {
        AudioUnitParameterInfo info = Info(plug, kTestLevel);
        ASSERT_EQ(info.unit, UInt32(kAudioUnitParameterUnit_CustomUnit));
        EXPECT_EQ(Text(info.unitName), row.want);
        if (!row.label) {
          EXPECT_TRUE(first == nullptr || info.unitName == first) << "a new string per query";
        }
        first = info.unitName;
        Release(info);
      }
      EXPECT_EQ(standin::LiveCFObjectCount(), objects + 1) << row.want;
    }
  }
  EXPECT_EQ(standin::LiveCFObjectCount(), outside);
}

TEST(AUProperties, CannotAutomateAndMetaFlagsMapToTheirHostFlags)
{
  using plugin::IParam;
  const struct {
    int flags;
    UInt32 want;
  } table[] = {
    {IParam::kFlagCannotAutomate, 0xC9800010},
    {IParam::kFlagMeta, 0xE8800010},
    {IParam::kFlagMeta | IParam::kFlagCannotAutomate, 0xE9800010},
  };
  for (const auto& row : table) {
    RecordingPlug plug;
    plug.GetParam(testsupport::kTestLevel)->InitDouble("Level", 0.0, 0.0, 1.0, 0.01, "", row.flags);
    AudioUnitParameterInfo info = Info(plug, testsupport::kTestLevel);
    EXPECT_EQ(info.flags, row.want) << row.flags;
    Release(info);
  }
}

TEST(AUProperties, ClumpIdsFollowTheOrderGroupsAreFirstReported)
{
  RecordingPlug plug;
  plug.GetParam(0)->InitDouble("a1", 0, 0, 1, 0.1, "", 0, "A");
  plug.GetParam(1)->InitDouble("b1", 0, 0, 1, 0.1, "", 0, "B");
  plug.GetParam(2)->InitDouble("a2", 0, 0, 1, 0.1, "", 0, "A");
  const UInt32 want[] = {1, 2, 1};
  for (int p = 0; p < 3; ++p) {
    AudioUnitParameterInfo info = Info(plug, p);
    EXPECT_EQ(info.clumpID, want[p]) << p;
    Release(info);
  }
  const struct {
    UInt32 id;
    OSStatus status;
    const char* name;
  } names[] = {
    {1, noErr, "A"}, {2, noErr, "B"}, {0, kAudioUnitErr_PropertyNotInUse, ""}, {3, kAudioUnitErr_PropertyNotInUse, ""}};
  for (const auto& row : names) {
    AudioUnitParameterNameInfo request{row.id, -1, nullptr};
    EXPECT_EQ(Get(plug, kAudioUnitProperty_ParameterClumpName, request), row.status) << row.id;
    EXPECT_EQ(Text(request.outName), row.name);
    if (request.outName)
      CFRelease(request.outName);
  }
}

TEST(AUProperties, ParameterTextsConvertBothWays)
{
  using namespace testsupport;
  RecordingPlug plug;
  const struct {
    int p;
    SInt32 length;
    const char* name;
  } idNames[] = {{kTestGain, 3, "Gai"}, {kTestGain, -1, "Gain"}, {kTestFreq, 40, "Freq"}, {kTestMode, 0, ""}};
  for (const auto& row : idNames) {
    AudioUnitParameterIDName request{AudioUnitParameterID(row.p), row.length, nullptr};
    ASSERT_EQ(Get(plug, kAudioUnitProperty_ParameterIDName, request), noErr);
    EXPECT_EQ(Text(request.outName), row.name);
    CFRelease(request.outName);
  }
  const float on = 1.f;
  AudioUnitParameterStringFromValue fromValue{kTestBypass, &on, nullptr};
  ASSERT_EQ(Get(plug, kAudioUnitProperty_ParameterStringFromValue, fromValue), noErr);
  EXPECT_EQ(Text(fromValue.outString), "On");
  CFRelease(fromValue.outString);

  AudioUnitParameterValueFromString fromString{kTestMode, CFSTR("Idle"), -1.f};
  ASSERT_EQ(Get(plug, kAudioUnitProperty_ParameterValueFromString, fromString), noErr);
  EXPECT_EQ(fromString.outValue, 2.f);

  CFArrayRef strings = nullptr;
  ASSERT_EQ(Get(plug, kAudioUnitProperty_ParameterValueStrings, strings, 0, kTestMode), noErr);
  ASSERT_EQ(CFArrayGetCount(strings), 3);
  EXPECT_EQ(Text(static_cast<CFStringRef>(CFArrayGetValueAtIndex(strings, 2))), "Idle");
  CFRelease(strings);
  UInt32 size = 8;
  Boolean writable = false;
  EXPECT_EQ(plug.GetProperty(kAudioUnitProperty_ParameterValueStrings, 0, kTestGain, &size, &writable, nullptr),
            kAudioUnitErr_InvalidProperty);
  EXPECT_EQ(size, 0u);
}

TEST(AUClassInfo, SavedDictionaryCarriesIdentityNameAndEveryParameterValue)
{
  RecordingPlug plug;
  plug.SetParameter(testsupport::kTestGain, 0, 0, -7.5f, 0);
  CFPropertyListRef plist = nullptr;
  ASSERT_EQ(Get(plug, kAudioUnitProperty_ClassInfo, plist), noErr);
  auto dict = static_cast<CFDictionaryRef>(plist);
  EXPECT_EQ(NumberAt(dict, "version"), 196629);
  EXPECT_EQ(NumberAt(dict, "type"), 0x61756678);
  EXPECT_EQ(NumberAt(dict, "subtype"), 0x5A563630);
  EXPECT_EQ(NumberAt(dict, "manufacturer"), 0x5A564E58);
  CFStringRef nameKey = Key("name"), dataKey = Key("data");
  EXPECT_EQ(Text(static_cast<CFStringRef>(CFDictionaryGetValue(dict, nameKey))), "Default");
  auto data = static_cast<CFDataRef>(CFDictionaryGetValue(dict, dataKey));
  ASSERT_EQ(CFDataGetLength(data), 8 * testsupport::kTestNumParams);
  double gain = 0.0;
  std::memcpy(&gain, CFDataGetBytePtr(data) + 8 * testsupport::kTestGain, 8);
  EXPECT_DOUBLE_EQ(gain, -7.5);
  CFRelease(nameKey);
  CFRelease(dataKey);
  CFRelease(plist);
}

TEST(AUClassInfo, RefusedDictionariesChangeNothing)
{
  RecordingPlug plug;
  CFPropertyListRef saved = nullptr;
  Get(plug, kAudioUnitProperty_ClassInfo, saved);
  const SInt32 aumu = 0x61756D75;
  CFNumberRef instrument = CFNumberCreate(nullptr, kCFNumberSInt32Type, &aumu);
  CFDataRef shortData = CFDataCreate(nullptr, reinterpret_cast<const UInt8*>("abc"), 3);
  const struct {
    const char* what;
    const char* key;
    CFTypeRef value;
  } table[] = {
    {"an instrument's type", "type", instrument},
    {"no data", "data", nullptr},
    {"data too short for the state", "data", shortData},
    {"a name that is a number", "name", instrument},
  };
  plug.SetParameter(testsupport::kTestMix, 0, 0, 42.f, 0);
  ASSERT_TRUE(plug.RestorePreset(1)); // "Loud"
  const double mix = plug.GetParam(testsupport::kTestMix)->Value();
  for (const auto& row : table) {
    CFMutableDictionaryRef dict = CFDictionaryCreateMutableCopy(nullptr, 0, static_cast<CFDictionaryRef>(saved));
    CFStringRef key = Key(row.key);
    if (row.value)
      CFDictionarySetValue(dict, key, row.value);
    else
      CFDictionaryRemoveValue(dict, key);
    CFRelease(key);
    plug.mChanges.clear();
    EXPECT_EQ(Set(plug, kAudioUnitProperty_ClassInfo, CFPropertyListRef(dict)), kAudioUnitErr_InvalidPropertyValue)
      << row.what;
    EXPECT_EQ(plug.GetCurrentPresetIdx(), 1) << row.what << ": the named preset was recalled";
    EXPECT_EQ(plug.GetParam(testsupport::kTestMix)->Value(), mix) << row.what;
    CFRelease(dict);
  }
  EXPECT_EQ(Set(plug, kAudioUnitProperty_ClassInfo, CFPropertyListRef(CFSTR("text"))),
            kAudioUnitErr_InvalidPropertyValue);
  EXPECT_EQ(Set(plug, kAudioUnitProperty_ClassInfo, saved), noErr);
  EXPECT_EQ(plug.GetCurrentPresetIdx(), 0);
  EXPECT_DOUBLE_EQ(plug.GetParam(testsupport::kTestMix)->Value(), 100.0);
  CFRelease(instrument);
  CFRelease(shortData);
  CFRelease(saved);
}

TEST(AUPresets, SettingAPresetThatCannotBeRestoredIsAnError)
{
  RecordingPlug plug;
  const struct {
    SInt32 number;
    OSStatus want;
    int index;
  } table[] = {{2, noErr, 2},
               {3, kAudioUnitErr_InvalidPropertyValue, 2},
               {-1, kAudioUnitErr_InvalidPropertyValue, 2},
               {0, noErr, 0}};
  for (const auto& row : table) {
    EXPECT_EQ(Set(plug, kAudioUnitProperty_PresentPreset, AUPreset{row.number, nullptr}), row.want) << row.number;
    EXPECT_EQ(plug.GetCurrentPresetIdx(), row.index);
  }
  AUPreset now{};
  ASSERT_EQ(Get(plug, kAudioUnitProperty_CurrentPreset, now), noErr);
  EXPECT_EQ(now.presetNumber, 0);
  EXPECT_EQ(Text(now.presetName), "Default");
  CFRelease(now.presetName);
}

TEST(AUPresets, FactoryPresetObjectsAreAllFreedWithTheArray)
{
  RecordingPlug plug;
  const long objects = standin::LiveCFObjectCount();
  const long blocks = standin::LiveCFAllocatorBlockCount();
  CFArrayRef presets = nullptr;
  ASSERT_EQ(Get(plug, kAudioUnitProperty_FactoryPresets, presets), noErr);
  const char* names[] = {"Default", "Loud", "Bypassed"};
  ASSERT_EQ(CFArrayGetCount(presets), 3);
  for (int i = 0; i < 3; ++i) {
    auto* preset = static_cast<const plugin::AUFactoryPreset*>(CFArrayGetValueAtIndex(presets, i));
    EXPECT_EQ(preset->mPreset.presetNumber, i);
    EXPECT_EQ(Text(preset->mPreset.presetName), names[i]);
    EXPECT_EQ(preset->mRefCount, 1);
    EXPECT_EQ(preset->mReserved, nullptr);
  }
  CFStringRef text = plugin::kAUFactoryPresetArrayCallBacks.copyDescription(CFArrayGetValueAtIndex(presets, 1));
  EXPECT_EQ(Text(text), "AUPreset:\npreset number = 1\npreset name = Loud");
  CFRelease(text);
  EXPECT_TRUE(plugin::kAUFactoryPresetArrayCallBacks.equal(CFArrayGetValueAtIndex(presets, 0),
                                                           CFArrayGetValueAtIndex(presets, 0)));
  EXPECT_FALSE(plugin::kAUFactoryPresetArrayCallBacks.equal(CFArrayGetValueAtIndex(presets, 0),
                                                            CFArrayGetValueAtIndex(presets, 1)));
  CFRelease(presets);
  EXPECT_EQ(standin::LiveCFObjectCount(), objects);
  EXPECT_EQ(standin::LiveCFAllocatorBlockCount(), blocks);
}

TEST(AUHost, HostIdentifierSetsNameAndVersionOnce)
{
  RecordingPlug plug;
  AUHostIdentifier id{CFSTR("REAPER"), {0, 0, 0x21, 6}};
  ASSERT_EQ(Set(plug, kAudioUnitProperty_AUHostIdentifier, id), noErr);
  EXPECT_STREQ(plug.GetHostName(), "REAPER");
  EXPECT_EQ(plug.GetHost(), plugin::kHostReaper);
  EXPECT_EQ(plug.GetHostVersion(false), (6 << 16) | (0x20 << 4) | 1);
  AUHostIdentifier other{CFSTR("Logic Pro"), {0, 0, 0, 10}};
  ASSERT_EQ(Set(plug, kAudioUnitProperty_AUHostIdentifier, other), noErr);
  EXPECT_STREQ(plug.GetHostName(), "REAPER");
}

TEST(AUHost, InitializeIdentifiesTheHostFromTheMainBundle)
{
  standin::BundleDescription main;
  main.identifier = "com.apple.logic10";
  main.path = "/Applications/Logic Pro X.app";
  main.info["CFBundleVersion"] = "10.4.8";
  standin::SetMainBundle(main);
  RecordingPlug plug;
  ASSERT_EQ(plug.Initialize(), noErr);
  EXPECT_STREQ(plug.GetHostName(), "com.apple.logic10");
  EXPECT_EQ(plug.GetHostVersion(false), (10 << 16) | (4 << 8) | 8);
  standin::SetMainBundle(standin::BundleDescription{});
}
