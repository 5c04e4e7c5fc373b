// XML presets: files, the default preset, and preset records. Main thread.
#include <cstdarg>
#include <tinyxml.h>
#include <utility>
#include <vector>

#include "Vorelle3.h"

using plugin::IByteChunk;
using plugin::IParam;
using plugin::IPreset;
using plugin::UT_String;

bool Vorelle3::SavePresetFile(const UT_String& path, const UT_String& presetName)
{
  TiXmlDocument doc;
  BuildPresetTree(doc, *this, nullptr, presetName.Get());
  return SaveXMLFile(path.Get(), doc);
}

bool Vorelle3::SaveDefaultPreset(const UT_String& folder)
{
  return SavePresetFile(DefaultPresetPath(folder), UT_String(kDefaultPresetTitle));
}

bool Vorelle3::LoadDefaultPreset(const UT_String& folder)
{
  UT_String name;
  return LoadPresetFileWithData(DefaultPresetPath(folder), name, ELoadMode::kStartUp);
}

bool Vorelle3::LoadPresetFileWithData(const UT_String& path, UT_String& presetNameOut, ELoadMode mode)
{
  TiXmlDocument doc;
  if (!LoadXMLFile(path.Get(), doc))
    return false;
  const char* fileName = nullptr;
  const TiXmlElement* preset = FindPreset(doc, *this, &fileName);
  if (!preset)
    return false;
  // The name as a preset record keeps it, never split inside a character.
  IPreset named;
  SetPresetName(named, fileName);
  presetNameOut.Set(named.mName);

  // Values are taken only from a whole walk: a refused file changes nothing.
  std::vector<std::pair<int, double>> found;
  const bool walked = ForEachParam(*preset, *this, [&](int idx, double v) { found.emplace_back(idx, v); });
  if (!walked)
    return false;
  if (mode != ELoadMode::kValidate) {
    for (const auto& [idx, v] : found)
      GetParam(idx)->Set(v);
  }
  switch (mode) {
  case ELoadMode::kStartUp: ModifyCurrentPreset(named.mName); break;
  case ELoadMode::kLoad:
    ModifyCurrentPreset(named.mName);
    RestorePreset(GetCurrentPresetIdx());
    ModifyCurrentPreset(named.mName);
    InformHostOfPresetChange();
    break;
  case ELoadMode::kValidate: break;
  }
  return true;
}

bool Vorelle3::LoadPresetFile(const UT_String& path, double* values, UT_String& presetNameOut)
{
  TiXmlDocument doc;
  if (!LoadXMLFile(path.Get(), doc))
    return false;
  const char* fileName = nullptr;
  const TiXmlElement* preset = FindPreset(doc, *this, &fileName);
  if (!preset)
    return false;
  presetNameOut.Set(fileName);
  return ForEachParam(*preset, *this, [values](int idx, double v) {
    if (values)
      values[idx] = v;
  });
}

void Vorelle3::ApplyPresetXML(IPreset* preset, const UT_String& path)
{
  if (!preset)
    return;
  preset->mInitialized = true;
  std::vector<double> values(size_t(NParams()), kNotSet);
  UT_String name;
  // The callers validate the file first; whatever it does not set is the
  // default.
  LoadPresetFile(path, values.data(), name);
  SetPresetName(*preset, name.Get());
  for (int i = 0; i < NParams(); ++i) {
    if (values[size_t(i)] == kNotSet)
      values[size_t(i)] = GetParam(i)->GetDefault();
  }
  preset->mChunk.Clear();
  AppendPresetChunk(preset->mChunk, *this, values.data(), preset->mName);
}

bool Vorelle3::GetPresetXMLText(const double* values, IByteChunk& chunk, const char* presetName) const
{
  TiXmlDocument doc;
  BuildPresetTree(doc, *this, values, presetName);
  return AppendXMLText(chunk, PrintTree(doc));
}

void Vorelle3::FillPresetFromArgs(IPreset& preset, const char* name, int nParamsNamed, va_list args)
{
  std::vector<double> values(size_t(NParams()), kNotSet);
  for (int k = 0; k < nParamsNamed; ++k) {
    const int idx = va_arg(args, int);
    const IParam* param = GetParam(idx);
    const IParam::EParamType type = param ? param->Type() : IParam::kTypeDouble;
    const bool integral = type == IParam::kTypeBool || type == IParam::kTypeInt || type == IParam::kTypeEnum;
    const double v = integral ? double(va_arg(args, int)) : va_arg(args, double);
    if (param)
      values[size_t(idx)] = v;
  }
  for (int i = 0; i < NParams(); ++i) {
    if (values[size_t(i)] == kNotSet)
      values[size_t(i)] = GetParam(i)->GetDefault();
  }
  preset.mInitialized = true;
  SetPresetName(preset, name);
  preset.mChunk.Clear();
  AppendPresetChunk(preset.mChunk, *this, values.data(), preset.mName);
}

void Vorelle3::MakePresetFromState(const char* name, int nParamsNamed, ...)
{
  IPreset* preset = nullptr;
  if (mPresetsDynamic) {
    preset = new IPreset;
    if (!mCodePresets.Add(preset)) {
      delete preset;
      return;
    }
  } else {
    for (int i = 0; i < NPresets() && !preset; ++i) {
      if (!mPresets.Get(i)->mInitialized)
        preset = mPresets.Get(i);
    }
    if (!preset)
      return;
  }
  va_list args;
  va_start(args, nParamsNamed);
  FillPresetFromArgs(*preset, name, nParamsNamed, args);
  va_end(args);
}

void Vorelle3::MakePresetFromState(IPreset& preset, const char* name, int nParamsNamed, ...)
{
  va_list args;
  va_start(args, nParamsNamed);
  FillPresetFromArgs(preset, name, nParamsNamed, args);
  va_end(args);
}

void Vorelle3::CopyPresetToSlot(const IPreset& source, int index)
{
  IPreset* slot = mPresets.Get(index);
  if (!slot || slot == &source)
    return;
  slot->mChunk.Clear();
  slot->mChunk.PutChunk(&source.mChunk);
  slot->mInitialized = true;
  SetPresetName(*slot, source.mName);
}
