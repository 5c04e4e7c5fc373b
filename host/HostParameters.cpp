#include "HostParameters.h"

#include <CoreFoundation/CoreFoundation.h>

#include <cmath>
#include <cstdio>

namespace host {

namespace {

std::string Text(CFStringRef s)
{
  char buffer[256] = {};
  if (!s || !CFStringGetCString(s, buffer, sizeof(buffer), kCFStringEncodingUTF8))
    return "";
  return buffer;
}

std::string Number(float v)
{
  char text[32];
  std::snprintf(text, sizeof(text), "%g", double(v));
  return text;
}

std::string UnitName(const AudioUnitParameterInfo& info)
{
  switch (info.unit) {
  case kAudioUnitParameterUnit_Percent: return "%";
  case kAudioUnitParameterUnit_Seconds: return "s";
  case kAudioUnitParameterUnit_Hertz: return "Hz";
  case kAudioUnitParameterUnit_Decibels: return "dB";
  case kAudioUnitParameterUnit_Milliseconds: return "ms";
  case kAudioUnitParameterUnit_SampleFrames: return "samples";
  default: return "";
  }
}

} // namespace

HostParameter DescribeParameter(const AUHostUnit& unit, unsigned id)
{
  HostParameter p;
  p.mId = id;
  AudioUnitParameterInfo info{};
  UInt32 size = sizeof(info);
  if (AudioUnitGetProperty(unit.Unit(), kAudioUnitProperty_ParameterInfo, kAudioUnitScope_Global, id, &info, &size) !=
      noErr)
    return p;
  p.mName = info.cfNameString ? Text(info.cfNameString) : std::string(info.name);
  p.mUnit = info.unit == kAudioUnitParameterUnit_CustomUnit ? Text(info.unitName) : UnitName(info);
  if (info.cfNameString && (info.flags & kAudioUnitParameterFlag_CFNameRelease))
    CFRelease(info.cfNameString);
  p.mMin = info.minValue;
  p.mMax = info.maxValue;
  p.mDefault = info.defaultValue;
  p.mHostSettable = !(info.flags & kAudioUnitParameterFlag_NonRealTime);
  // "Reference mode" is a choice by number, stepped by one, not indexed.
  p.mWholeNumbers = info.unit == kAudioUnitParameterUnit_Indexed || info.unit == kAudioUnitParameterUnit_Boolean ||
                    id == kParamReferenceMode;

  if (info.flags & kAudioUnitParameterFlag_ValuesHaveStrings) {
    CFArrayRef names = nullptr;
    size = sizeof(names);
    if (AudioUnitGetProperty(unit.Unit(), kAudioUnitProperty_ParameterValueStrings, kAudioUnitScope_Global, id, &names,
                             &size) == noErr &&
        names) {
      for (CFIndex i = 0; i < CFArrayGetCount(names); ++i)
        p.mValueNames.push_back(Text(static_cast<CFStringRef>(CFArrayGetValueAtIndex(names, i))));
      CFRelease(names);
    }
  }
  return p;
}

namespace {

std::string NoSuchParameter(const AUHostUnit& unit, unsigned id)
{
  const UInt32 count = unit.NParameters();
  if (id < count)
    return "";
  return "the plug-in has no parameter " + std::to_string(id) + " (it has 0 to " + std::to_string(count - 1) +
         "; `auhost info` lists them)";
}

std::string ParameterName(const HostParameter& p)
{
  return "parameter " + std::to_string(p.mId) + " (\"" + p.mName + "\")";
}

std::string CheckValue(const HostParameter& p, float value)
{
  const std::string name = ParameterName(p);
  if (!std::isfinite(value) || value < p.mMin || value > p.mMax)
    return name + " takes " + Number(p.mMin) + " to " + Number(p.mMax) + (p.mUnit.empty() ? "" : " " + p.mUnit);
  if (p.mWholeNumbers && value != std::floor(value)) {
    std::string values;
    for (size_t i = 0; i < p.mValueNames.size(); ++i)
      values += (i ? ", " : ": ") + Number(p.mMin + float(i)) + " " + p.mValueNames[i];
    return name + " takes whole numbers only, " + Number(p.mMin) + " to " + Number(p.mMax) + values;
  }
  return "";
}

} // namespace

std::string CheckParameterValue(const AUHostUnit& unit, unsigned id, float value)
{
  if (std::string e = NoSuchParameter(unit, id); !e.empty())
    return e;
  return CheckValue(DescribeParameter(unit, id), value);
}

std::string CheckHostParameter(const AUHostUnit& unit, unsigned id, float value, bool jobDrivesState)
{
  if (std::string e = NoSuchParameter(unit, id); !e.empty())
    return e;
  const HostParameter p = DescribeParameter(unit, id);
  const std::string name = ParameterName(p);
  if (jobDrivesState && id == kParamActivityState)
    return name + " is driven by the job itself: Capture, then Processing";
  if (jobDrivesState && id == kParamReferenceMode)
    return name + " is chosen with --reference";
  if (!p.mHostSettable)
    return name + " cannot be set from a host; only the plug-in's editor changes it";
  if (IsOneShotButton(id))
    return name + " is a one-shot button, not a setting: it acts once when pressed; auhost reports how far to "
                  "lower \"Gain\" itself when the output clips";
  return CheckValue(p, value);
}

std::string SetHostParameters(AUHostUnit& unit, const std::vector<std::pair<unsigned, float>>& params,
                              bool jobDrivesState)
{
  for (const auto& [id, value] : params) {
    if (std::string e = CheckHostParameter(unit, id, value, jobDrivesState); !e.empty())
      return e;
    if (OSStatus s = unit.SetParameter(id, value); s != noErr)
      return "the plug-in refused parameter " + std::to_string(id) + " = " + Number(value) + " (status " +
             std::to_string(s) + ")";
  }
  return "";
}

std::string FormatParameterList(const AUHostUnit& unit)
{
  std::string text = "id  name                 range              default     unit  use\n";
  char line[512];
  for (UInt32 id = 0; id < unit.NParameters(); ++id) {
    const HostParameter p = DescribeParameter(unit, id);
    std::string range = Number(p.mMin) + " to " + Number(p.mMax);
    std::string def = Number(p.mDefault);
    std::string role = p.mHostSettable ? "--param " + std::to_string(id) + "=VALUE" : "the editor's only";
    if (IsOneShotButton(id))
      role = "a one-shot button, not a setting";
    std::string values;
    if (!p.mValueNames.empty()) {
      for (size_t i = 0; i < p.mValueNames.size(); ++i)
        values += (i ? ", " : "") + Number(p.mMin + float(i)) + " " + p.mValueNames[i];
      const size_t index = size_t(std::lround(p.mDefault - p.mMin));
      if (index < p.mValueNames.size())
        def += " (" + p.mValueNames[index] + ")";
    }
    std::snprintf(line, sizeof(line), "%2u  %-20s %-18s %-11s %-5s %s\n", id, p.mName.c_str(), range.c_str(),
                  def.c_str(), p.mUnit.c_str(), role.c_str());
    text += line;
    if (!values.empty())
      text += "    values: " + values + "\n";
  }
  text += "Activity state and Reference mode are driven by `auhost match` itself.\n";
  return text;
}

} // namespace host
