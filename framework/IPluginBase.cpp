#include "IPluginBase.h"

#include <algorithm>
#include <cstdarg>
#include <cstring>
#include <vector>

#include "Base64.h"

namespace plugin {

namespace {

constexpr const char* kUserPresetName = "user preset";
constexpr int kMaxVersionStrLen = 32;
constexpr int kMaxBuildInfoLen = 256;

} // namespace

IPluginBase::IPluginBase(int nParams, int nPresets) : igraphics::IGEditorDelegate(nParams)
{
  for (int i = 0; i < nPresets; ++i) {
    IPreset* preset = new IPreset;
    if (!mPresets.Add(preset))
      delete preset;
  }
}

IPluginBase::~IPluginBase() { mPresets.Empty(true); }

// ---------------------------------------------------------------------------
// Identity

int IPluginBase::VersionForm(int packed, bool decimal)
{
  if (!decimal)
    return packed;
  const int major = (packed >> 16) & 0xFFFF;
  const int minor = (packed >> 8) & 0xFF;
  const int patch = packed & 0xFF;
  return major * 1000 + minor * 100 + patch * 10;
}

void IPluginBase::VersionString(int packed, UT_String& out)
{
  out.SetFormatted(kMaxVersionStrLen, "v%d.%d.%d", (packed >> 16) & 0xFFFF, (packed >> 8) & 0xFF, packed & 0xFF);
}

const char* IPluginBase::GetAPIStr() const
{
  static constexpr const char* kNames[] = {"VST2", "VST3", "AU", "AUv3", "AAX", "APP", "WAM", "WEB"};
  const int api = static_cast<int>(mAPI);
  return (api >= 0 && api < static_cast<int>(std::size(kNames))) ? kNames[api] : "";
}

void IPluginBase::GetBuildInfoStr(UT_String& out) const
{
  UT_String version;
  GetPluginVersionStr(version);
  out.SetFormatted(kMaxBuildInfoLen, "%s version %s %s (%s), built on %s at %.5s ", GetPluginName(), version.Get(),
                   GetAPIStr(), GetArchStr(), __DATE__, __TIME__);
}

void IPluginBase::StoreHost(const char* name, int version)
{
  if (name) {
    mHostName.Set(name);
    mHost = LookUpHost(name);
  } else {
    mHost = kHostUnknown;
  }
  mHostVersion = version;
}

// ---------------------------------------------------------------------------
// Default state

bool IPluginBase::SerializeState(IByteChunk& chunk) const
{
  for (int i = 0; i < NParams(); ++i) {
    const double v = GetParam(i)->Value();
    chunk.Put(&v);
  }
  return NParams() == 0 || chunk.Size() > 0;
}

int IPluginBase::UnserializeState(const IByteChunk& chunk, int startPos)
{
  // All or nothing: short data must not leave half the parameters changed.
  const int n = NParams();
  mRestoreComplete = false;
  if (startPos < 0 || static_cast<int64_t>(chunk.Size()) - startPos < static_cast<int64_t>(n) * 8)
    return -1;
  int pos = startPos;
  for (int i = 0; i < n; ++i) {
    double v = 0.0;
    pos = chunk.Get(&v, pos);
    GetParam(i)->Set(v);
  }
  OnParamReset(kPresetRecall);
  mRestoreComplete = true;
  return pos;
}

// ---------------------------------------------------------------------------
// Presets

void IPluginBase::RestoreCurrentState()
{
  OnRestoreState();
  SendCurrentParamValuesFromDelegate();
}

bool IPluginBase::RestorePreset(int idx)
{
  IPreset* preset = mPresets.Get(idx);
  if (!preset)
    return false;
  if (preset->mInitialized) {
    if (UnserializeState(preset->mChunk, 0) < 1 || !mRestoreComplete)
      return false;
  } else {
    int nUser = 0;
    for (int i = 0; i < NPresets(); ++i)
      nUser += std::strstr(mPresets.Get(i)->mName, kUserPresetName) ? 1 : 0;
    preset->mInitialized = true;
    std::snprintf(preset->mName, IPreset::kMaxNameLen, "%s %d", kUserPresetName, nUser + 1);
    preset->mChunk.Clear();
    if (!SerializeState(preset->mChunk))
      return false;
  }
  mCurrentPresetIdx = idx;
  RestoreCurrentState();
  return true;
}

bool IPluginBase::RestorePreset(const char* name)
{
  if (!name || !*name)
    return false;
  for (int i = 0; i < NPresets(); ++i) {
    if (std::strcmp(mPresets.Get(i)->mName, name) == 0)
      return RestorePreset(i);
  }
  return false;
}

const char* IPluginBase::GetPresetName(int idx) const
{
  const IPreset* preset = mPresets.Get(idx);
  return preset ? preset->mName : "";
}

void IPluginBase::ModifyCurrentPreset(const char* name)
{
  IPreset* preset = mPresets.Get(mCurrentPresetIdx);
  if (!preset)
    return;
  preset->mChunk.Clear();
  SerializeState(preset->mChunk);
  if (name && *name)
    preset->SetName(name);
}

IPreset* IPluginBase::TakeEmptyPreset(const char* name)
{
  for (int i = 0; i < NPresets(); ++i) {
    IPreset* preset = mPresets.Get(i);
    if (!preset->mInitialized) {
      preset->mInitialized = true;
      preset->SetName(name);
      preset->mChunk.Clear();
      return preset;
    }
  }
  return nullptr;
}

void IPluginBase::CapturePreset(IPreset& preset, const char* name)
{
  preset.mInitialized = true;
  preset.SetName(name);
  preset.mChunk.Clear();
  SerializeState(preset.mChunk);
}

void IPluginBase::MakeDefaultPresets(const char* name, int n)
{
  for (int k = 0; k < n; ++k) {
    IPreset* preset = TakeEmptyPreset(name ? name : "Empty");
    if (!preset)
      return;
    SerializeState(preset->mChunk);
  }
}

void IPluginBase::PruneUninitializedPresets()
{
  for (int i = NPresets() - 1; i >= 0; --i) {
    if (!mPresets.Get(i)->mInitialized)
      mPresets.Delete(i, true);
  }
  if (mCurrentPresetIdx >= NPresets())
    mCurrentPresetIdx = std::max(NPresets() - 1, 0);
}

bool IPluginBase::SerializePresets(IByteChunk& chunk) const
{
  bool ok = true;
  for (int i = 0; i < NPresets(); ++i) {
    const IPreset* preset = mPresets.Get(i);
    const int before = chunk.Size();
    chunk.PutStr(preset->mName);
    const uint8_t initialized = preset->mInitialized ? 1 : 0;
    chunk.Put(&initialized);
    int expected = before + 4 + static_cast<int>(std::strlen(preset->mName)) + 1;
    if (preset->mInitialized) {
      chunk.PutChunk(&preset->mChunk);
      expected += preset->mChunk.Size();
    }
    ok &= chunk.Size() == expected;
  }
  return ok;
}

int IPluginBase::UnserializePresets(const IByteChunk& chunk, int startPos)
{
  int pos = startPos;
  bool complete = true;
  for (int i = 0; i < NPresets() && pos >= 0; ++i) {
    IPreset* preset = mPresets.Get(i);

    // Name: int32 length and bytes, cut at a NUL and at the slot's size.
    int32_t len = 0;
    pos = chunk.Get(&len, pos);
    if (pos >= 0 && len > 0) {
      if (len > chunk.Size() - pos) {
        pos = -1;
      } else {
        const char* bytes = reinterpret_cast<const char*>(chunk.GetData() + pos);
        const int n = std::min<int>(len, IPreset::kMaxNameLen - 1);
        const char* nul = static_cast<const char*>(std::memchr(bytes, '\0', static_cast<size_t>(n)));
        const int copied = nul ? static_cast<int>(nul - bytes) : n;
        std::memcpy(preset->mName, bytes, static_cast<size_t>(copied));
        preset->mName[copied] = '\0';
        pos += len;
      }
    } else if (pos >= 0) {
      preset->mName[0] = '\0';
    }
    if (pos < 0) {
      preset->mName[0] = '\0';
      break;
    }

    uint8_t initialized = 0;
    pos = chunk.Get(&initialized, pos);
    if (pos < 0)
      break;
    preset->mInitialized = initialized != 0;

    if (preset->mInitialized) {
      pos = UnserializeState(chunk, pos);
      complete = complete && mRestoreComplete;
      if (pos >= 1) {
        preset->mChunk.Clear();
        SerializeState(preset->mChunk);
      }
    }
  }
  RestorePreset(mCurrentPresetIdx);
  mRestoreComplete = complete && pos >= 0;
  return pos;
}

// ---------------------------------------------------------------------------
// Preset making

void IPluginBase::MakePreset(const char* name, ...)
{
  IPreset* preset = TakeEmptyPreset(name);
  if (!preset)
    return;
  va_list args;
  va_start(args, name);
  for (int i = 0; i < NParams(); ++i) {
    const IParam::EParamType type = GetParam(i)->Type();
    double v;
    if (type == IParam::kTypeBool || type == IParam::kTypeInt || type == IParam::kTypeEnum)
      v = static_cast<double>(va_arg(args, int));
    else
      v = va_arg(args, double);
    preset->mChunk.Put(&v);
  }
  va_end(args);
}

void IPluginBase::MakePresetFromNamedParams(const char* name, int nNamed, ...)
{
  IPreset* preset = TakeEmptyPreset(name);
  if (!preset)
    return;
  std::vector<double> values(static_cast<size_t>(NParams()));
  for (int i = 0; i < NParams(); ++i)
    values[static_cast<size_t>(i)] = GetParam(i)->Value();
  va_list args;
  va_start(args, nNamed);
  for (int k = 0; k < nNamed; ++k) {
    const int paramIdx = va_arg(args, int);
    const double v = va_arg(args, double);
    if (paramIdx >= 0 && paramIdx < NParams())
      values[static_cast<size_t>(paramIdx)] = v;
  }
  va_end(args);
  for (double v : values)
    preset->mChunk.Put(&v);
}

void IPluginBase::MakePresetFromChunk(const char* name, const IByteChunk& chunk)
{
  if (IPreset* preset = TakeEmptyPreset(name))
    preset->mChunk.PutChunk(&chunk);
}

void IPluginBase::MakePresetFromBlob(const char* name, const char* base64, int size)
{
  IPreset* preset = TakeEmptyPreset(name);
  if (!preset)
    return;
  std::vector<uint8_t> bytes = Base64Decode(base64 ? base64 : "");
  if (size >= 0 && static_cast<size_t>(size) < bytes.size())
    bytes.resize(static_cast<size_t>(size));
  preset->mChunk.PutBytes(bytes.data(), static_cast<int>(bytes.size()));
}

// ---------------------------------------------------------------------------
// Parameter ranges and groups

void IPluginBase::ForParamInRange(int startIdx, int endIdx, const ParamFunc& func)
{
  for (int i = std::max(startIdx, 0); i <= endIdx && i < NParams(); ++i)
    func(i, *GetParam(i));
}

void IPluginBase::ForParamInGroup(const char* group, const ParamFunc& func)
{
  if (!group)
    return;
  for (int i = 0; i < NParams(); ++i) {
    IParam* param = GetParam(i);
    if (param && std::strcmp(param->GetGroup(), group) == 0)
      func(i, *param);
  }
}

void IPluginBase::DefaultParamValues(int startIdx, int endIdx)
{
  ForParamInRange(startIdx, endIdx, [](int, IParam& p) { p.SetToDefault(); });
}

void IPluginBase::DefaultParamValues(const char* group)
{
  ForParamInGroup(group, [](int, IParam& p) { p.SetToDefault(); });
}

void IPluginBase::RandomiseParamValues(int startIdx, int endIdx)
{
  ForParamInRange(startIdx, endIdx, [](int, IParam& p) { p.Randomise(); });
}

void IPluginBase::RandomiseParamValues(const char* group)
{
  ForParamInGroup(group, [](int, IParam& p) { p.Randomise(); });
}

void IPluginBase::PrintParamValues()
{
  ForParamInRange(0, NParams() - 1, [](int, IParam&) {});
}

void IPluginBase::InitParamRange(int startIdx, int endIdx, int countStart, const char* nameFmt, double defaultVal,
                                 double minVal, double maxVal, double step, const char* label, int flags,
                                 const char* group, const IParam::Shape& shape, IParam::EParamUnit unit,
                                 IParam::DisplayFunc displayFunc)
{
  for (int i = std::max(startIdx, 0); i <= endIdx && i < NParams(); ++i) {
    UT_String name;
    name.SetFormatted(IParam::kMaxNameLen, nameFmt ? nameFmt : "", countStart + (i - startIdx));
    GetParam(i)->InitDouble(name.Get(), defaultVal, minVal, maxVal, step, label, flags, group, shape, unit,
                            displayFunc);
  }
}

void IPluginBase::CloneParams(int cloneStartIdx, int cloneEndIdx, int startIdx, const char* searchStr,
                              const char* replaceStr, const char* newGroup)
{
  for (int i = cloneStartIdx; i <= cloneEndIdx; ++i) {
    IParam* src = GetParam(i);
    IParam* dest = GetParam(startIdx + (i - cloneStartIdx));
    if (!src || !dest || src == dest)
      continue;
    dest->InitFromParam(*src, searchStr, replaceStr, newGroup);
    dest->Set(src->Value());
  }
}

void IPluginBase::CopyParamValues(int startIdx, int destIdx, int nParams)
{
  for (int k = 0; k < nParams; ++k) {
    IParam* src = GetParam(startIdx + k);
    IParam* dest = GetParam(destIdx + k);
    if (src && dest)
      dest->Set(src->Value());
  }
}

void IPluginBase::CopyParamValues(const char* inGroup, const char* outGroup)
{
  std::vector<int> in, out;
  ForParamInGroup(inGroup, [&](int i, IParam&) { in.push_back(i); });
  ForParamInGroup(outGroup, [&](int i, IParam&) { out.push_back(i); });
  for (size_t k = 0; k < std::min(in.size(), out.size()); ++k)
    GetParam(out[k])->Set(GetParam(in[k])->Value());
}

} // namespace plugin
