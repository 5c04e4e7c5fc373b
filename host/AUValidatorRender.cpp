// Validation: render, connections, class info, presets, view factory.
#include "AUValidator.h"

#include <AudioUnit/AUCocoaUIView.h>
#include <Foundation/Foundation.h>
#include <standin/Testing.h>

#include <atomic>
#include <cmath>
#include <cstring>
#include <sstream>
#include <thread>

#include "SignalSource.h"

namespace host {

namespace {

constexpr OSStatus kInvalidValue = -10851;
constexpr float kTolerance = 1e-6f;

std::string Fail(const std::string& what, long got, long want)
{
  std::ostringstream out;
  out << what << ": got " << got << ", expected " << want;
  return out.str();
}

// The input every render check feeds: the source signal, by sample time.
AUHostUnit::InputFunc SignalInput()
{
  return [](double sampleTime, UInt32 nFrames, float* const* channels, int nChannels) {
    for (int c = 0; c < nChannels; ++c) {
      for (UInt32 t = 0; t < nFrames; ++t)
        channels[c][t] = SignalSource::Sample(c, sampleTime + t);
    }
  };
}

// Output of a pass-through delayed by latency, at sample time t.
float Expected(int channel, double t, int latency)
{
  return t >= latency ? SignalSource::Sample(channel, t - latency) : 0.f;
}

std::string CompareSlice(float* const* out, double sampleTime, UInt32 nFrames, int latency)
{
  for (int c = 0; c < 2; ++c) {
    for (UInt32 t = 0; t < nFrames; ++t) {
      const float want = Expected(c, sampleTime + t, latency);
      if (!(std::fabs(out[c][t] - want) <= kTolerance)) {
        std::ostringstream msg;
        msg << "channel " << c << " sample " << sampleTime + t << ": " << out[c][t] << " instead of " << want;
        return msg.str();
      }
    }
  }
  return "";
}

struct Planar {
  explicit Planar(UInt32 frames) : left(frames), right(frames) {}
  std::vector<float> left, right;
  float* ptrs[2] = {left.data(), right.data()};
};

struct NotifyLog {
  std::vector<std::pair<int, UInt32>> entries;
};

struct NotifyTag {
  NotifyLog* log;
  int tag;
};

OSStatus RecordNotify(void* refCon, AudioUnitRenderActionFlags* flags, const AudioTimeStamp*, UInt32, UInt32,
                      AudioBufferList*)
{
  auto* tag = static_cast<NotifyTag*>(refCon);
  tag->log->entries.emplace_back(tag->tag, *flags);
  return noErr;
}

OSStatus RecordNotifyOther(void* refCon, AudioUnitRenderActionFlags* flags, const AudioTimeStamp* stamp, UInt32 bus,
                           UInt32 frames, AudioBufferList* list)
{
  return RecordNotify(refCon, flags, stamp, bus, frames, list);
}

// Renders the slices in turn from sample time 0 and compares each with the
// source delayed by latency.
std::string RenderAndCompare(AUHostUnit& unit, std::initializer_list<UInt32> slices, int latency)
{
  std::vector<float> left(AUValidator::kMaxFrames), right(AUValidator::kMaxFrames);
  float* out[2] = {left.data(), right.data()};
  double time = 0.0;
  for (UInt32 frames : slices) {
    if (OSStatus s = unit.Render(time, frames, out, 2); s != noErr)
      return Fail("render of " + std::to_string(frames) + " frames", s, 0);
    if (std::string e = CompareSlice(out, time, frames, latency); !e.empty())
      return e;
    time += frames;
  }
  return "";
}

std::vector<float> ParameterValues(const AUHostUnit& unit)
{
  std::vector<float> values;
  for (UInt32 p = 0; p < unit.NParameters(); ++p)
    values.push_back(unit.GetParameter(p));
  return values;
}

// Moves parameter p to another legal value.
void ChangeParameter(AUHostUnit& unit, UInt32 p)
{
  const AudioUnitParameterInfo info = unit.ParameterInfo(p);
  const float now = unit.GetParameter(p);
  unit.SetParameter(p, now == info.maxValue ? info.minValue : info.maxValue);
}

// The unit's present preset number; the name it hands over is released.
SInt32 PresentPresetNumber(AUHostUnit& unit)
{
  AUPreset preset{};
  UInt32 size = sizeof(preset);
  AudioUnitGetProperty(unit.Unit(), kAudioUnitProperty_PresentPreset, 0, 0, &preset, &size);
  if (preset.presetName)
    CFRelease(preset.presetName);
  return preset.presetNumber;
}

CFMutableDictionaryRef SavedCopy(AUHostUnit& unit)
{
  CFPropertyListRef plist = nullptr;
  UInt32 size = sizeof(plist);
  if (AudioUnitGetProperty(unit.Unit(), kAudioUnitProperty_ClassInfo, 0, 0, &plist, &size) != noErr || !plist)
    return nullptr;
  CFMutableDictionaryRef copy =
    CFDictionaryCreateMutableCopy(kCFAllocatorDefault, 0, static_cast<CFDictionaryRef>(plist));
  CFRelease(plist);
  return copy;
}

OSStatus Restore(AUHostUnit& unit, CFPropertyListRef plist)
{
  return AudioUnitSetProperty(unit.Unit(), kAudioUnitProperty_ClassInfo, 0, 0, &plist, sizeof(plist));
}

} // namespace

std::string AUValidator::OpenRendering(AUHostUnit& unit)
{
  if (std::string e = OpenConfigured(unit); !e.empty())
    return e;
  unit.ConnectInput(SignalInput());
  if (OSStatus s = AudioUnitInitialize(unit.Unit()); s != noErr)
    return Fail("initialize", s, 0);
  return "";
}

std::string AUValidator::CheckRenderSlices()
{
  AUHostUnit unit(mBundle);
  if (std::string e = OpenRendering(unit); !e.empty())
    return e;
  return RenderAndCompare(unit, {1, 17, 512, 1024, 17, 1, 1024}, unit.LatencySamples());
}

std::string AUValidator::CheckNullBuffers()
{
  AUHostUnit unit(mBundle);
  if (std::string e = OpenRendering(unit); !e.empty())
    return e;
  const int latency = unit.LatencySamples();
  double time = 0.0;
  for (UInt32 frames : {256u, 1024u}) {
    HostBufferList list;
    list.mNumberBuffers = 2;
    list.mBuffers[0] = list.mBuffers[1] = AudioBuffer{1, frames * 4, nullptr};
    AudioUnitRenderActionFlags flags = 0;
    const AudioTimeStamp stamp = SampleTimeStamp(time);
    if (OSStatus s = AudioUnitRender(unit.Unit(), &flags, &stamp, 0, frames, list.Get()); s != noErr)
      return Fail("render", s, 0);
    if (!list.mBuffers[0].mData || !list.mBuffers[1].mData || list.mBuffers[0].mData == list.mBuffers[1].mData)
      return "the buffers were not pointed at the unit's memory";
    float* out[2] = {static_cast<float*>(list.mBuffers[0].mData), static_cast<float*>(list.mBuffers[1].mData)};
    if (std::string e = CompareSlice(out, time, frames, latency); !e.empty())
      return e;
    time += frames;
  }
  return "";
}

std::string AUValidator::CheckBypass()
{
  AUHostUnit unit(mBundle);
  if (std::string e = OpenRendering(unit); !e.empty())
    return e;
  const UInt32 on = 1;
  if (OSStatus s = AudioUnitSetProperty(unit.Unit(), kAudioUnitProperty_BypassEffect, 0, 0, &on, 4); s != noErr)
    return Fail("bypass on", s, 0);
  if (std::string e = RenderAndCompare(unit, {300, 1024}, 0); !e.empty())
    return "bypassed: " + e;
  UInt32 value = 0, size = 4;
  AudioUnitGetProperty(unit.Unit(), kAudioUnitProperty_BypassEffect, 0, 0, &value, &size);
  return value == 1 ? "" : "bypass does not read back as 1";
}

std::string AUValidator::CheckPullOnce()
{
  AUHostUnit unit(mBundle);
  if (std::string e = OpenRendering(unit); !e.empty())
    return e;
  Planar out(kMaxFrames);
  const struct {
    double time;
    int pulls;
  } steps[] = {{0, 1}, {0, 1}, {512, 2}, {512, 2}, {1024, 3}};
  for (const auto& step : steps) {
    if (OSStatus s = unit.Render(step.time, 512, out.ptrs, 2); s != noErr)
      return Fail("render", s, 0);
    if (unit.PullCount() != step.pulls)
      return Fail("pulls after sample time " + std::to_string(step.time), unit.PullCount(), step.pulls);
  }
  return "";
}

std::string AUValidator::CheckRefusedRenders()
{
  AUHostUnit unit(mBundle);
  if (std::string e = OpenRendering(unit); !e.empty())
    return e;
  Planar out(kMaxFrames + 1);
  HostBufferList list;
  list.mNumberBuffers = 2;
  list.mBuffers[0] = AudioBuffer{1, (kMaxFrames + 1) * 4, out.ptrs[0]};
  list.mBuffers[1] = AudioBuffer{1, (kMaxFrames + 1) * 4, out.ptrs[1]};
  AudioUnitRenderActionFlags flags = 0;
  AudioTimeStamp stamp = SampleTimeStamp(0);
  stamp.mFlags = kAudioTimeStampHostTimeValid;
  if (OSStatus s = AudioUnitRender(unit.Unit(), &flags, &stamp, 0, 64, list.Get()); s != kInvalidValue)
    return Fail("render without a sample time", s, kInvalidValue);
  stamp = SampleTimeStamp(0);
  if (OSStatus s = AudioUnitRender(unit.Unit(), &flags, &stamp, 0, kMaxFrames + 1, list.Get()); s != kInvalidValue)
    return Fail("render of too many frames", s, kInvalidValue);
  if (unit.PullCount() != 0)
    return "a refused render pulled input";
  if (AudioUnitRender(unit.Unit(), &flags, &stamp, 1, 64, list.Get()) == noErr)
    return "render of a missing output bus succeeded";
  list.mBuffers[0].mDataByteSize = 63 * 4;
  if (AudioUnitRender(unit.Unit(), &flags, &stamp, 0, 64, list.Get()) == noErr)
    return "render into a buffer too small succeeded";
  return "";
}

std::string AUValidator::CheckRenderNotify()
{
  AUHostUnit unit(mBundle);
  if (std::string e = OpenRendering(unit); !e.empty())
    return e;
  NotifyLog log;
  NotifyTag a{&log, 1}, b{&log, 2};
  AudioUnitAddRenderNotify(unit.Unit(), RecordNotify, &a);
  AudioUnitAddRenderNotify(unit.Unit(), RecordNotifyOther, &b);
  Planar out(kMaxFrames);
  unit.Render(0, 64, out.ptrs, 2);
  const std::vector<std::pair<int, UInt32>> want = {{1, 4}, {2, 4}, {1, 8}, {2, 8}};
  if (log.entries != want)
    return "notifications out of order or with wrong flags";
  AudioUnitRemoveRenderNotify(unit.Unit(), RecordNotify, &a);
  log.entries.clear();
  unit.Render(64, 64, out.ptrs, 2);
  const std::vector<std::pair<int, UInt32>> after = {{2, 4}, {2, 8}};
  if (log.entries != after)
    return "a removed notification was still called";
  AudioUnitRemoveRenderNotify(unit.Unit(), RecordNotifyOther, &b);
  return "";
}

std::string AUValidator::CheckUpstream(bool fastDispatch)
{
  SignalSource source(kSampleRate, kMaxFrames, fastDispatch);
  AUHostUnit unit(mBundle);
  if (std::string e = OpenConfigured(unit); !e.empty())
    return e;
  const AudioUnitConnection connection{source.Unit(), 0, 0};
  if (OSStatus s = AudioUnitSetProperty(unit.Unit(), kAudioUnitProperty_MakeConnection, kAudioUnitScope_Input, 0,
                                        &connection, sizeof(connection));
      s != noErr)
    return Fail("connection", s, 0);
  if (OSStatus s = AudioUnitInitialize(unit.Unit()); s != noErr)
    return Fail("initialize", s, 0);
  if (std::string e = RenderAndCompare(unit, {512, 1024, 33}, unit.LatencySamples()); !e.empty())
    return e;
  const int viaPath = fastDispatch ? source.FastRenders() : source.TableRenders();
  const int viaOther = fastDispatch ? source.TableRenders() : source.FastRenders();
  if (viaPath != 3 || viaOther != 0)
    return Fail("renders through the expected path", viaPath, 3);
  const AudioUnitConnection none{nullptr, 0, 0};
  if (OSStatus s = AudioUnitSetProperty(unit.Unit(), kAudioUnitProperty_MakeConnection, kAudioUnitScope_Input, 0, &none,
                                        sizeof(none));
      s != noErr)
    return Fail("disconnect", s, 0);
  return "";
}

std::string AUValidator::CheckClassInfo()
{
  AUHostUnit unit(mBundle);
  if (std::string e = OpenConfigured(unit); !e.empty())
    return e;
  CFMutableDictionaryRef saved = SavedCopy(unit);
  if (!saved)
    return "class info get failed";
  std::string problem;
  for (const char* key : {"version", "type", "subtype", "manufacturer", "name", "data"}) {
    CFStringRef cfKey = CFStringCreateWithCString(kCFAllocatorDefault, key, kCFStringEncodingUTF8);
    if (!CFDictionaryContainsKey(saved, cfKey))
      problem = std::string("class info lacks \"") + key + "\"";
    CFRelease(cfKey);
  }
  const std::vector<float> before = ParameterValues(unit);
  for (UInt32 p = 0; p < before.size(); ++p)
    ChangeParameter(unit, p);
  if (problem.empty() && ParameterValues(unit) == before)
    problem = "no parameter could be changed";
  if (problem.empty()) {
    if (OSStatus s = Restore(unit, saved); s != noErr)
      problem = Fail("restore", s, 0);
    else if (ParameterValues(unit) != before)
      problem = "restored values differ from the saved ones";
  }
  CFRelease(saved);
  return problem;
}

std::string AUValidator::CheckWrongClassInfo()
{
  AUHostUnit unit(mBundle);
  if (std::string e = OpenConfigured(unit); !e.empty())
    return e;
  CFMutableDictionaryRef saved = SavedCopy(unit);
  if (!saved)
    return "class info get failed";
  for (UInt32 p = 0; p < unit.NParameters(); ++p)
    ChangeParameter(unit, p);
  const std::vector<float> before = ParameterValues(unit);
  const SInt32 presetBefore = PresentPresetNumber(unit);

  const SInt32 aumu = 0x61756D75, otherSubtype = 0x5A563631;
  const struct {
    const char* name;
    const char* key;
    int kind;
    SInt32 value;
  } table[] = {
    {"another subtype", "subtype", 0, otherSubtype},
    {"an instrument's type", "type", 0, aumu},
    {"a subtype stored as text", "subtype", 1, 0},
    {"no data", "data", 2, 0},
    {"empty data", "data", 3, 0},
    {"no name", "name", 2, 0},
  };
  std::string problem;
  for (const auto& row : table) {
    CFMutableDictionaryRef dict = CFDictionaryCreateMutableCopy(kCFAllocatorDefault, 0, saved);
    CFStringRef key = CFStringCreateWithCString(kCFAllocatorDefault, row.key, kCFStringEncodingUTF8);
    if (row.kind == 0) {
      CFNumberRef number = CFNumberCreate(kCFAllocatorDefault, kCFNumberSInt32Type, &row.value);
      CFDictionarySetValue(dict, key, number);
      CFRelease(number);
    } else if (row.kind == 1) {
      CFDictionarySetValue(dict, key, CFSTR("ZV60"));
    } else if (row.kind == 2) {
      CFDictionaryRemoveValue(dict, key);
    } else {
      CFDataRef empty = CFDataCreate(kCFAllocatorDefault, nullptr, 0);
      CFDictionarySetValue(dict, key, empty);
      CFRelease(empty);
    }
    CFRelease(key);
    const OSStatus s = Restore(unit, dict);
    CFRelease(dict);
    if (s != kInvalidValue && problem.empty())
      problem = Fail(std::string("class info with ") + row.name, s, kInvalidValue);
    if (ParameterValues(unit) != before && problem.empty())
      problem = std::string("class info with ") + row.name + " changed the parameters";
  }
  if (problem.empty() && Restore(unit, CFSTR("not a dictionary")) != kInvalidValue)
    problem = "a string was taken as class info";
  if (problem.empty() && PresentPresetNumber(unit) != presetBefore)
    problem = "a refused class info changed the current preset";
  CFRelease(saved);
  return problem;
}

std::string AUValidator::CheckPresets()
{
  AUHostUnit unit(mBundle);
  if (std::string e = OpenConfigured(unit); !e.empty())
    return e;
  AUPreset preset{9999, nullptr};
  if (OSStatus s = AudioUnitSetProperty(unit.Unit(), kAudioUnitProperty_CurrentPreset, 0, 0, &preset, sizeof(preset));
      s != kInvalidValue)
    return Fail("preset 9999", s, kInvalidValue);
  preset.presetNumber = 0;
  if (OSStatus s = AudioUnitSetProperty(unit.Unit(), kAudioUnitProperty_PresentPreset, 0, 0, &preset, sizeof(preset));
      s != noErr)
    return Fail("preset 0", s, 0);
  AUPreset now{-1, nullptr};
  UInt32 size = sizeof(now);
  AudioUnitGetProperty(unit.Unit(), kAudioUnitProperty_CurrentPreset, 0, 0, &now, &size);
  const bool named = now.presetName != nullptr;
  if (now.presetName)
    CFRelease(now.presetName);
  return now.presetNumber == 0 && named ? "" : "the current preset does not read back";
}

std::string AUValidator::CheckFactoryPresets()
{
  AUHostUnit unit(mBundle);
  if (std::string e = OpenConfigured(unit); !e.empty())
    return e;
  const long objects = standin::LiveCFObjectCount();
  const long blocks = standin::LiveCFAllocatorBlockCount();
  CFArrayRef presets = nullptr;
  UInt32 size = sizeof(presets);
  if (OSStatus s = AudioUnitGetProperty(unit.Unit(), kAudioUnitProperty_FactoryPresets, 0, 0, &presets, &size);
      s != noErr || !presets)
    return Fail("factory presets", s, 0);
  std::string problem;
  const CFIndex n = CFArrayGetCount(presets);
  if (n < 1)
    problem = "no factory presets";
  for (CFIndex i = 0; i < n && problem.empty(); ++i) {
    const auto* preset = static_cast<const AUPreset*>(CFArrayGetValueAtIndex(presets, i));
    if (!preset || preset->presetNumber != i || !preset->presetName)
      problem = "preset " + std::to_string(i) + " is not numbered or named";
  }
  CFRelease(presets);
  if (problem.empty() && (standin::LiveCFObjectCount() != objects || standin::LiveCFAllocatorBlockCount() != blocks))
    problem = "objects left alive after the array was released";
  return problem;
}

std::string AUValidator::CheckViewFactory()
{
  AUHostUnit unit(mBundle);
  if (std::string e = OpenConfigured(unit); !e.empty())
    return e;
  // A unit whose editor is switched off names no view factory; its class is
  // still registered under the product's name.
  std::string name = "Vorelle3_View";
  AudioUnitCocoaViewInfo info{};
  UInt32 size = sizeof(info);
  const OSStatus status = AudioUnitGetProperty(unit.Unit(), kAudioUnitProperty_CocoaUI, 0, 0, &info, &size);
  if (status != noErr && status != kAudioUnitErr_InvalidProperty)
    return Fail("CocoaUI", status, 0);
  std::string problem;
  if (status == noErr) {
    char text[128] = "";
    CFStringGetCString(info.mCocoaAUViewClass[0], text, sizeof(text), kCFStringEncodingUTF8);
    name = text;
    if (!info.mCocoaAUViewBundleLocation)
      problem = "no bundle location";
    CFRelease(info.mCocoaAUViewClass[0]);
    if (info.mCocoaAUViewBundleLocation)
      CFRelease(info.mCocoaAUViewBundleLocation);
  }
  NSAutoreleasePool* pool = NSAutoreleasePool::alloc()->init();
  Class cls = objc_getClass(name.c_str());
  NSObject* object = cls ? class_createInstance(cls, 0) : nullptr;
  auto* factory = object ? dynamic_cast<AUCocoaUIBase*>(object->init()) : nullptr;
  if (problem.empty() && !factory)
    problem = "no view factory class \"" + name + "\"";
  if (factory) {
    NSString* description = object->description();
    const char* text = description ? description->UTF8String() : "";
    if (problem.empty() && factory->interfaceVersion() != 0)
      problem = "interface version is not 0";
    if (problem.empty() && std::strcmp(text, "Vorelle3 View") != 0)
      problem = "description is not \"Vorelle3 View\"";
    factory->uiViewForAudioUnit(unit.Unit(), NSMakeSize(650, 470));
  }
  if (object)
    object->release();
  pool->drain();
  if (status != noErr)
    mSkipReason = "the plug-in offers no view (its CocoaUI property answers that it has none)";
  return problem;
}

std::string AUValidator::CheckThreadedParameters()
{
  AUHostUnit unit(mBundle);
  if (std::string e = OpenRendering(unit); !e.empty())
    return e;
  const UInt32 n = unit.NParameters();
  std::vector<std::pair<float, float>> ranges;
  for (UInt32 p = 0; p < n; ++p) {
    const AudioUnitParameterInfo info = unit.ParameterInfo(p);
    ranges.emplace_back(info.minValue, info.maxValue);
  }
  std::atomic<bool> stop{false};
  std::atomic<int> failures{0};
  const AudioUnit au = unit.Unit();
  std::thread writer([&] {
    for (int i = 0; !stop.load(); ++i) {
      const UInt32 p = static_cast<UInt32>(i) % n;
      const float x = 0.5f + 0.5f * std::sin(0.37f * static_cast<float>(i));
      const float value = ranges[p].first + x * (ranges[p].second - ranges[p].first);
      if (AudioUnitSetParameter(au, p, kAudioUnitScope_Global, 0, value, 0) != noErr)
        failures.fetch_add(1);
      if (i % 64 == 63)
        std::this_thread::yield();
    }
  });
  Planar out(kMaxFrames);
  std::string problem;
  for (int block = 0; block < 400 && problem.empty(); ++block) {
    if (OSStatus s = unit.Render(block * 256.0, 256, out.ptrs, 2); s != noErr)
      problem = Fail("render while parameters change", s, 0);
  }
  stop = true;
  writer.join();
  if (problem.empty() && failures.load() != 0)
    problem = std::to_string(failures.load()) + " parameter writes failed";
  return problem;
}

} // namespace host
