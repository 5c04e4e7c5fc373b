// Validation: doors, Lookup, properties, parameters, formats, lifecycle.
#include "AUValidator.h"

#include <CoreServices/CoreServices.h>

#include <cstring>
#include <sstream>

namespace host {

namespace {

constexpr OSStatus kInvalidProperty = -10879;
constexpr OSStatus kInvalidElement = -10877;
constexpr OSStatus kInvalidScope = -10866;
constexpr OSStatus kInvalidValue = -10851;
constexpr OSStatus kInitialized = -10849;
constexpr OSStatus kInvalidParameter = -10878;
constexpr AudioUnitPropertyID kPlugInObjectPropertyIDForHost = static_cast<AudioUnitPropertyID>(-101);

std::string Fail(const std::string& what, long got, long want)
{
  std::ostringstream out;
  out << what << ": got " << got << ", expected " << want;
  return out.str();
}

// What GetPropertyInfo must answer, from the published property rules and
// the unit's own counts.
struct Facts {
  UInt32 nParams = 0;
  UInt32 nIn = 0;
  UInt32 nOut = 0;
  UInt32 nConfigs = 0;
  std::vector<bool> hasStrings;
  bool hasUI = false;
};

struct Expected {
  OSStatus status;
  UInt32 size;
  bool writable;
};

Expected ExpectedInfo(const Facts& f, SInt32 id, UInt32 scope, UInt32 element)
{
  const bool global = scope == kAudioUnitScope_Global;
  const bool busExists = ((scope == 0 || scope == 2) && element < f.nOut) || (scope == 1 && element < f.nIn);
  const Expected bad{kInvalidProperty, 0, false};
  switch (id) {
  case -101: return {0, 8, false};
  case 0: return {0, 8, false};
  case 1: return (scope <= 1) ? Expected{0, 16, true} : bad;
  case 2: return {0, 8, true};
  case 3: return {0, global ? 4 * f.nParams : 0, false};
  case 4:
    if (!global)
      return bad;
    return element < f.nParams ? Expected{0, 104, false} : Expected{kInvalidElement, 0, false};
  case 5: return {kInvalidElement, 0, false};
  case 8: return busExists ? Expected{0, 40, true} : bad;
  case 11: return {0, 4, false};
  case 12:
  case 20: return global ? Expected{0, 8, false} : bad;
  case 13: return global ? Expected{0, 4 * f.nConfigs, false} : bad;
  case 14: return global ? Expected{0, 4, true} : bad;
  case 16:
    if (!global)
      return bad;
    if (element >= f.nParams)
      return {kInvalidElement, 0, false};
    return f.hasStrings[element] ? Expected{0, 8, false} : Expected{kInvalidProperty, 0, false};
  case 19: return {kInvalidValue, 0, false};
  case 21: return global ? Expected{0, 4, true} : bad;
  case 22: return global ? Expected{0, 4, false} : bad;
  case 23: return (scope <= 1 && element < f.nIn) ? Expected{0, 16, true} : bad;
  case 24: return {0, 8, false};
  case 27: return global ? Expected{0, 40, true} : bad;
  case 28:
  case 36: return {0, 16, true};
  case 30: return bad;
  case 31: return f.hasUI ? Expected{0, 16, false} : bad;
  case 32: {
    // One stereo layout tag on each existing bus of a stereo unit.
    const bool bus = (scope == 1 && element < f.nIn) || (scope == 2 && element < f.nOut);
    return bus ? Expected{0, 4, true} : Expected{0, 0, false};
  }
  case 33:
  case 38: return {0, 24, false};
  case 34:
  case 35: return {0, 16, false};
  case 37: return global ? Expected{0, 4, true} : bad;
  case 47: return {0, 8, false};
  case 48: return {0, 16, true};
  default: return bad;
  }
}

UInt32 InfoSize(AudioUnit unit, AudioUnitPropertyID id, AudioUnitScope scope = 0, AudioUnitElement element = 0)
{
  UInt32 size = 0;
  Boolean writable = false;
  AudioUnitGetPropertyInfo(unit, id, scope, element, &size, &writable);
  return size;
}

} // namespace

const std::vector<AUValidator::Entry>& AUValidator::Checks()
{
  static const std::vector<Entry> kChecks = {
    {"both doors open and close", &AUValidator::CheckDoors},
    {"lookup answers the published selectors only", &AUValidator::CheckLookup},
    {"property sweep over every scope and element", &AUValidator::CheckPropertySweep},
    {"short host buffers are refused untouched", &AUValidator::CheckShortBuffers},
    {"parameter info for every parameter", &AUValidator::CheckParameterInfo},
    {"parameter ids out of range are refused", &AUValidator::CheckParameterIds},
    {"only stereo float formats are accepted", &AUValidator::CheckChannelCounts},
    {"maximum frames 1024", &AUValidator::CheckMaxFrames},
    {"initialize, uninitialize, initialize", &AUValidator::CheckLifecycle},
    {"render slices 1, 17, 512, 1024 pass the input through", &AUValidator::CheckRenderSlices},
    {"null output buffers are filled from the unit's memory", &AUValidator::CheckNullBuffers},
    {"bypass copies input to output", &AUValidator::CheckBypass},
    {"the same sample time pulls the input once", &AUValidator::CheckPullOnce},
    {"no sample time or too many frames is refused", &AUValidator::CheckRefusedRenders},
    {"render notifications in order with their flags", &AUValidator::CheckRenderNotify},
    {"upstream unit through fast dispatch", &AUValidator::CheckUpstreamFast},
    {"upstream unit through AudioUnitRender", &AUValidator::CheckUpstreamTable},
    {"class info save, change, restore", &AUValidator::CheckClassInfo},
    {"class info of another unit is refused, state untouched", &AUValidator::CheckWrongClassInfo},
    {"current preset set and refused", &AUValidator::CheckPresets},
    {"factory presets released to zero live objects", &AUValidator::CheckFactoryPresets},
    {"view factory named by the CocoaUI property", &AUValidator::CheckViewFactory},
    {"parameters set from another thread while rendering", &AUValidator::CheckThreadedParameters},
  };
  return kChecks;
}

std::vector<std::string> AUValidator::CheckNames()
{
  std::vector<std::string> names;
  for (const Entry& e : Checks())
    names.emplace_back(e.mName);
  return names;
}

CheckResult AUValidator::RunCheck(const std::string& name)
{
  for (const Entry& e : Checks()) {
    if (name == e.mName) {
      CheckResult result{e.mName, false, false, ""};
      mSkipReason.clear();
      result.mDetail = (this->*e.mCheck)();
      result.mSkipped = result.mDetail.empty() && !mSkipReason.empty();
      result.mPassed = result.mDetail.empty() && !result.mSkipped;
      if (result.mSkipped)
        result.mDetail = mSkipReason;
      return result;
    }
  }
  return CheckResult{name, false, false, "no such check"};
}

std::vector<CheckResult> AUValidator::Run(const std::function<void(const CheckResult&)>& onResult)
{
  std::vector<CheckResult> results;
  for (const Entry& e : Checks()) {
    results.push_back(RunCheck(e.mName));
    if (onResult)
      onResult(results.back());
  }
  return results;
}

std::string AUValidator::OpenConfigured(AUHostUnit& unit, EDoor door)
{
  if (OSStatus s = unit.Open(door); s != noErr)
    return Fail("open", s, 0);
  if (OSStatus s = unit.SetFormat(2, kSampleRate); s != noErr)
    return Fail("stereo format", s, 0);
  if (OSStatus s = unit.SetMaxFrames(kMaxFrames); s != noErr)
    return Fail("maximum frames", s, 0);
  return "";
}

std::string AUValidator::CheckDoors()
{
  for (EDoor door : {EDoor::kFactory, EDoor::kComponentEntry}) {
    const char* name = door == EDoor::kFactory ? "factory" : "entry";
    AUHostUnit unit(mBundle);
    if (OSStatus s = unit.Open(door); s != noErr)
      return Fail(std::string(name) + " open", s, 0);
    if (unit.NParameters() == 0)
      return std::string(name) + ": no parameters reachable";
    if (door == EDoor::kComponentEntry) {
      const struct {
        SInt16 selector;
        long canDo;
      } table[] = {{1, 1}, {7, 1}, {8, 0}, {9, 1}, {12, 0}, {13, 0}, {14, 1}, {17, 1}, {18, 0}, {0, 0}, {300, 0}};
      for (const auto& row : table) {
        const long got = CallComponentCanDo(unit.Unit(), row.selector);
        if (got != row.canDo)
          return Fail("can-do of selector " + std::to_string(row.selector), got, row.canDo);
      }
      const long version = CallComponentVersion(unit.Unit());
      if (static_cast<UInt32>(version) != mBundle.Version())
        return Fail("entry version", version, mBundle.Version());
    }
    if (OSStatus s = unit.Close(); s != noErr)
      return Fail(std::string(name) + " close", s, 0);
  }
  // Open and Close of a record that was never used.
  AudioComponentPlugInInterface* record = mBundle.Factory()(&mBundle.Description());
  if (!record)
    return "the factory returned no record";
  if (record->reserved)
    return "the record's reserved word is not null";
  if (OSStatus s = record->Close(record); s != noErr)
    return Fail("close of an unopened record", s, 0);
  return "";
}

std::string AUValidator::CheckLookup()
{
  AUHostUnit unit(mBundle);
  if (OSStatus s = unit.Open(); s != noErr)
    return Fail("open", s, 0);
  auto lookup = unit.Interface()->Lookup;
  for (int selector = -8; selector <= 300; ++selector) {
    const bool offered = (selector >= 1 && selector <= 18 && selector != 8 && selector != 12 && selector != 13);
    const bool got = lookup(static_cast<SInt16>(selector)) != nullptr;
    if (got != offered)
      return "selector " + std::to_string(selector) + (got ? " has a method" : " has no method");
  }
  return "";
}

std::string AUValidator::CheckPropertySweep()
{
  AUHostUnit unit(mBundle);
  if (std::string e = OpenConfigured(unit); !e.empty())
    return e;
  const AudioUnit au = unit.Unit();
  Facts f;
  f.nParams = InfoSize(au, kAudioUnitProperty_ParameterList) / 4;
  UInt32 size = 4;
  AudioUnitGetProperty(au, kAudioUnitProperty_ElementCount, kAudioUnitScope_Input, 0, &f.nIn, &size);
  size = 4;
  AudioUnitGetProperty(au, kAudioUnitProperty_ElementCount, kAudioUnitScope_Output, 0, &f.nOut, &size);
  f.nConfigs = InfoSize(au, kAudioUnitProperty_SupportedNumChannels) / 4;
  f.hasUI = AudioUnitGetPropertyInfo(au, kAudioUnitProperty_CocoaUI, 0, 0, &size, nullptr) == noErr;
  for (UInt32 p = 0; p < f.nParams; ++p)
    f.hasStrings.push_back(unit.ParameterInfo(p).flags & kAudioUnitParameterFlag_ValuesHaveStrings);
  if (f.nIn != 1 || f.nOut != 1 || f.nConfigs == 0)
    return "expected one input and one output bus";

  std::vector<SInt32> ids = {-101, 1000, 4096};
  for (SInt32 id = 0; id <= 60; ++id)
    ids.push_back(id);
  int checked = 0;
  for (SInt32 id : ids) {
    for (UInt32 scope = 0; scope <= 7; ++scope) {
      for (UInt32 element = 0; element <= 2; ++element) {
        UInt32 got = 0xDEAD;
        Boolean writable = 2;
        const OSStatus status =
          AudioUnitGetPropertyInfo(au, static_cast<AudioUnitPropertyID>(id), scope, element, &got, &writable);
        const Expected want = ExpectedInfo(f, id, scope, element);
        std::ostringstream where;
        where << "property " << id << " scope " << scope << " element " << element;
        if (status != want.status)
          return Fail(where.str() + " status", status, want.status);
        if (status == noErr && (got != want.size || bool(writable) != want.writable))
          return where.str() + ": size " + std::to_string(got) + " writable " + std::to_string(writable) +
                 ", expected " + std::to_string(want.size) + " " + std::to_string(want.writable);
        ++checked;
      }
    }
  }
  // Get differs from info in a few places.
  Boolean writable = false;
  size = 8;
  CFPropertyListRef plist = nullptr;
  if (AudioUnitGetProperty(au, kAudioUnitProperty_ClassInfo, 0, 0, &plist, &size) != noErr || !plist)
    return "class info get failed";
  CFRelease(plist);
  size = 8;
  CFStringRef name = nullptr;
  if (OSStatus s = AudioUnitGetProperty(au, kAudioUnitProperty_ElementName, kAudioUnitScope_Output, 0, &name, &size);
      s != noErr || !name)
    return Fail("output element name", s, 0);
  CFRelease(name);
  size = 8;
  if (OSStatus s = AudioUnitGetProperty(au, kAudioUnitProperty_ElementName, kAudioUnitScope_Output, 1, &name, &size);
      s != kInvalidElement)
    return Fail("element name of a missing bus", s, kInvalidElement);
  if (OSStatus s = AudioUnitGetProperty(au, kAudioUnitProperty_ElementName, kAudioUnitScope_Global, 0, &name, &size);
      s != kInvalidScope)
    return Fail("element name in the global scope", s, kInvalidScope);
  AUMIDIOutputCallbackStruct midi{};
  size = sizeof(midi);
  if (OSStatus s = AudioUnitGetProperty(au, kAudioUnitProperty_MIDIOutputCallback, 0, 0, &midi, &size);
      s != kInvalidProperty)
    return Fail("get of the MIDI output callback", s, kInvalidProperty);
  AudioChannelLayoutTag tag = 0;
  size = 4;
  if (AudioUnitGetProperty(au, kAudioUnitProperty_SupportedChannelLayoutTags, kAudioUnitScope_Input, 0, &tag, &size) !=
        noErr ||
      tag != 0x00650002)
    return "the input's layout tag is not stereo";
  (void)writable;
  return checked > 0 ? "" : "nothing swept";
}

std::string AUValidator::CheckShortBuffers()
{
  AUHostUnit unit(mBundle);
  if (std::string e = OpenConfigured(unit); !e.empty())
    return e;
  const AudioUnit au = unit.Unit();
  const struct {
    AudioUnitPropertyID id;
    UInt32 size;
  } table[] = {{kAudioUnitProperty_SampleRate, 8},
               {kAudioUnitProperty_StreamFormat, 40},
               {kAudioUnitProperty_MaximumFramesPerSlice, 4},
               {kAudioUnitProperty_ParameterList, 4},
               {kAudioUnitProperty_ParameterInfo, 104},
               {kAudioUnitProperty_BypassEffect, 4},
               {kAudioUnitProperty_CurrentPreset, 16},
               {kPlugInObjectPropertyIDForHost, 8}};
  for (const auto& row : table) {
    unsigned char buffer[256];
    std::memset(buffer, 0xAB, sizeof(buffer));
    UInt32 size = row.size - 1;
    const OSStatus status = AudioUnitGetProperty(au, row.id, kAudioUnitScope_Global, 0, buffer, &size);
    if (status != kInvalidValue)
      return Fail("short get of property " + std::to_string(SInt32(row.id)), status, kInvalidValue);
    for (unsigned char b : buffer) {
      if (b != 0xAB)
        return "short get of property " + std::to_string(SInt32(row.id)) + " wrote into the buffer";
    }
  }
  const struct {
    AudioUnitPropertyID id;
    AudioUnitScope scope;
    UInt32 size;
  } sets[] = {{kAudioUnitProperty_SampleRate, 0, 8},
              {kAudioUnitProperty_StreamFormat, 2, 40},
              {kAudioUnitProperty_MaximumFramesPerSlice, 0, 4},
              {kAudioUnitProperty_BypassEffect, 0, 4},
              {kAudioUnitProperty_HostCallbacks, 0, 40},
              {kAudioUnitProperty_SetRenderCallback, 1, 16},
              {kAudioUnitProperty_MIDIOutputCallback, 0, 16},
              {kAudioUnitProperty_CurrentPreset, 0, 16}};
  for (const auto& row : sets) {
    unsigned char buffer[64] = {};
    const OSStatus status = AudioUnitSetProperty(au, row.id, row.scope, 0, buffer, row.size - 1);
    if (status != kInvalidValue)
      return Fail("short set of property " + std::to_string(row.id), status, kInvalidValue);
  }
  UInt32 frames = 0, size = 4;
  AudioUnitGetProperty(au, kAudioUnitProperty_MaximumFramesPerSlice, 0, 0, &frames, &size);
  return frames == kMaxFrames ? "" : "a refused set changed the maximum frames";
}

std::string AUValidator::CheckParameterInfo()
{
  AUHostUnit unit(mBundle);
  if (std::string e = OpenConfigured(unit); !e.empty())
    return e;
  const UInt32 n = unit.NParameters();
  for (UInt32 p = 0; p < n; ++p) {
    AudioUnitParameterInfo info;
    std::memset(&info, 0x5A, sizeof(info));
    UInt32 size = sizeof(info);
    if (OSStatus s = AudioUnitGetProperty(unit.Unit(), kAudioUnitProperty_ParameterInfo, 0, p, &info, &size);
        s != noErr)
      return Fail("parameter info " + std::to_string(p), s, 0);
    const std::string where =
      "parameter " + std::to_string(p) + " (" + std::string(info.name, strnlen(info.name, 52)) + ")";
    std::string problem;
    char cfName[128] = "";
    if (!(info.flags & kAudioUnitParameterFlag_IsReadable) || !(info.flags & kAudioUnitParameterFlag_IsWritable))
      problem = "not readable and writable";
    else if (!(info.flags & kAudioUnitParameterFlag_HasCFNameString) || !info.cfNameString)
      problem = "no name string";
    else if (!CFStringGetCString(info.cfNameString, cfName, sizeof(cfName), kCFStringEncodingUTF8) ||
             std::strncmp(cfName, info.name, sizeof(info.name)) != 0)
      problem = "name string differs from the name";
    else if (!(info.minValue <= info.defaultValue && info.defaultValue <= info.maxValue))
      problem = "default outside min..max";
    else if (bool(info.flags & kAudioUnitParameterFlag_HasClump) != (info.clumpID != 0))
      problem = "clump flag and clump id disagree";
    const float value = unit.GetParameter(p);
    if (problem.empty() && !(info.minValue <= value && value <= info.maxValue))
      problem = "value outside min..max";
    if (problem.empty() && (info.flags & kAudioUnitParameterFlag_ValuesHaveStrings)) {
      CFArrayRef strings = nullptr;
      size = 8;
      if (AudioUnitGetProperty(unit.Unit(), kAudioUnitProperty_ParameterValueStrings, 0, p, &strings, &size) != noErr ||
          !strings || CFArrayGetCount(strings) == 0)
        problem = "value strings missing";
      if (strings)
        CFRelease(strings);
    }
    if (info.flags & kAudioUnitParameterFlag_HasCFNameString && info.cfNameString)
      CFRelease(info.cfNameString);
    if (!problem.empty())
      return where + ": " + problem;
  }
  return n > 0 ? "" : "no parameters";
}

std::string AUValidator::CheckParameterIds()
{
  AUHostUnit unit(mBundle);
  if (std::string e = OpenConfigured(unit); !e.empty())
    return e;
  const UInt32 n = unit.NParameters();
  std::vector<float> before;
  for (UInt32 p = 0; p < n; ++p)
    before.push_back(unit.GetParameter(p));
  AudioUnitParameterValue value = 123.f;
  if (OSStatus s = AudioUnitGetParameter(unit.Unit(), n, 0, 0, &value); s != kInvalidParameter || value != 123.f)
    return Fail("get of parameter id n", s, kInvalidParameter);
  if (OSStatus s = AudioUnitSetParameter(unit.Unit(), n, 0, 0, 1.f, 0); s != kInvalidParameter)
    return Fail("set of parameter id n", s, kInvalidParameter);
  if (OSStatus s = AudioUnitSetParameter(unit.Unit(), 0, kAudioUnitScope_Input, 0, 1.f, 0); s != kInvalidProperty)
    return Fail("set in the input scope", s, kInvalidProperty);
  AudioUnitParameterEvent events[2] = {};
  events[0].scope = 0;
  events[0].parameter = 0xFFFFFFFF;
  events[0].eventType = kParameterEvent_Immediate;
  if (OSStatus s = AudioUnitScheduleParameters(unit.Unit(), events, 1); s != kInvalidParameter)
    return Fail("scheduled event for a missing parameter", s, kInvalidParameter);
  AudioUnitParameterStringFromValue fromValue{n, nullptr, nullptr};
  UInt32 size = sizeof(fromValue);
  if (OSStatus s =
        AudioUnitGetProperty(unit.Unit(), kAudioUnitProperty_ParameterStringFromValue, 0, 0, &fromValue, &size);
      s != kInvalidParameter || fromValue.outString)
    return Fail("string of a missing parameter", s, kInvalidParameter);
  for (UInt32 p = 0; p < n; ++p) {
    if (unit.GetParameter(p) != before[p])
      return "a refused call changed parameter " + std::to_string(p);
  }
  return "";
}

std::string AUValidator::CheckChannelCounts()
{
  AUHostUnit unit(mBundle);
  if (OSStatus s = unit.Open(); s != noErr)
    return Fail("open", s, 0);
  for (AudioUnitScope scope : {kAudioUnitScope_Output, kAudioUnitScope_Input}) {
    for (int channels = 1; channels <= 3; ++channels) {
      const AudioStreamBasicDescription format = AUHostUnit::FloatFormat(channels, kSampleRate);
      const OSStatus s =
        AudioUnitSetProperty(unit.Unit(), kAudioUnitProperty_StreamFormat, scope, 0, &format, sizeof(format));
      const OSStatus want = channels == 2 ? noErr : kInvalidProperty;
      if (s != want)
        return Fail(std::to_string(channels) + " channels in scope " + std::to_string(scope), s, want);
      AudioStreamBasicDescription now{};
      UInt32 size = sizeof(now);
      AudioUnitGetProperty(unit.Unit(), kAudioUnitProperty_StreamFormat, scope, 0, &now, &size);
      if (now.mChannelsPerFrame != 2)
        return Fail("channels reported after " + std::to_string(channels), now.mChannelsPerFrame, 2);
    }
  }
  // Formats render would misread.
  const struct {
    AudioFormatFlags flags;
    UInt32 bits;
  } bad[] = {{kAudioFormatFlagIsFloat | kAudioFormatFlagIsPacked, 32}, // interleaved
             {kAudioFormatFlagIsSignedInteger | kAudioFormatFlagIsPacked | kAudioFormatFlagIsNonInterleaved, 32},
             {kAudioFormatFlagIsFloat | kAudioFormatFlagIsNonInterleaved, 64}};
  for (const auto& row : bad) {
    AudioStreamBasicDescription format = AUHostUnit::FloatFormat(2, kSampleRate);
    format.mFormatFlags = row.flags;
    format.mBitsPerChannel = row.bits;
    format.mBytesPerFrame = format.mBytesPerPacket = row.bits / 8;
    const OSStatus s = AudioUnitSetProperty(unit.Unit(), kAudioUnitProperty_StreamFormat, kAudioUnitScope_Output, 0,
                                            &format, sizeof(format));
    if (s == noErr)
      return "a format with flags " + std::to_string(row.flags) + " and " + std::to_string(row.bits) +
             " bits was accepted";
  }
  return "";
}

std::string AUValidator::CheckMaxFrames()
{
  AUHostUnit unit(mBundle);
  if (std::string e = OpenConfigured(unit); !e.empty())
    return e;
  UInt32 frames = 0, size = 4;
  AudioUnitGetProperty(unit.Unit(), kAudioUnitProperty_MaximumFramesPerSlice, 0, 0, &frames, &size);
  return frames == kMaxFrames ? "" : Fail("maximum frames read back", frames, kMaxFrames);
}

std::string AUValidator::CheckLifecycle()
{
  AUHostUnit unit(mBundle);
  if (std::string e = OpenConfigured(unit); !e.empty())
    return e;
  if (OSStatus s = AudioUnitInitialize(unit.Unit()); s != noErr)
    return Fail("initialize", s, 0);
  if (OSStatus s = unit.SetMaxFrames(512); s != kInitialized)
    return Fail("maximum frames while initialized", s, kInitialized);
  const AudioStreamBasicDescription mono = AUHostUnit::FloatFormat(1, kSampleRate);
  if (OSStatus s = AudioUnitSetProperty(unit.Unit(), kAudioUnitProperty_StreamFormat, kAudioUnitScope_Output, 0, &mono,
                                        sizeof(mono));
      s != kInitialized)
    return Fail("stream format while initialized", s, kInitialized);
  if (OSStatus s = AudioUnitUninitialize(unit.Unit()); s != noErr)
    return Fail("uninitialize", s, 0);
  if (OSStatus s = AudioUnitInitialize(unit.Unit()); s != noErr)
    return Fail("second initialize", s, 0);
  return "";
}

} // namespace host
