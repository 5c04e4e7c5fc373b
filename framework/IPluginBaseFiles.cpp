// Preset source dumps and program/bank files of IPluginBase.
#include "IPluginBase.h"

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <cstring>
#include <string>
#include <vector>

#include "Base64.h"
#include "ReplaceFile.h"

namespace plugin {

namespace {

constexpr uint8_t kChunkMark[4] = {0x74, 0x66, 0x66, 0x70};
constexpr int32_t kChunkVersion = 65536;
constexpr int kProgramNameBytes = 28;
constexpr int kBankFutureBytes = 124;
constexpr int32_t kProgramFormatVersion = 1;
constexpr int32_t kBankFormatVersion = 2;

// Bytes after the byte-size field of each record, before any payload.
constexpr int kProgramHeaderAfterSize = 4 * 5 + kProgramNameBytes; // magic .. name
constexpr int kBankHeaderAfterSize = 4 * 6 + kBankFutureBytes;     // magic .. future

// --- writing ---------------------------------------------------------------

class BigEndianWriter {
public:
  void Tag(const char (&tag)[5]) { Bytes(reinterpret_cast<const uint8_t*>(tag), 4); }
  void Int(int32_t v)
  {
    const uint32_t u = static_cast<uint32_t>(v);
    const uint8_t b[4] = {uint8_t(u >> 24), uint8_t(u >> 16), uint8_t(u >> 8), uint8_t(u)};
    Bytes(b, 4);
  }
  void Float(float f)
  {
    uint32_t u;
    std::memcpy(&u, &f, 4);
    Int(static_cast<int32_t>(u));
  }
  void Bytes(const uint8_t* data, size_t n) { mBytes.append(reinterpret_cast<const char*>(data), n); }
  void Zeros(size_t n) { mBytes.append(n, '\0'); }
  // Up to 27 characters, zero-padded to the 28-byte field.
  void Name(const char* name)
  {
    uint8_t field[kProgramNameBytes] = {};
    if (name)
      std::memcpy(field, name, strnlen(name, kProgramNameBytes - 1));
    Bytes(field, kProgramNameBytes);
  }
  bool WriteTo(const char* path) const { return ReplaceFile(path, mBytes.data(), mBytes.size()); }

private:
  std::string mBytes;
};

// --- reading ---------------------------------------------------------------

class BigEndianReader {
public:
  explicit BigEndianReader(std::vector<uint8_t> bytes) : mBytes(std::move(bytes)) {}

  bool Tag(const char (&tag)[5])
  {
    if (!Has(4) || std::memcmp(&mBytes[mPos], tag, 4) != 0)
      return false;
    mPos += 4;
    return true;
  }
  bool PeekTag(const char (&tag)[5], size_t offset) const
  {
    return mPos + offset + 4 <= mBytes.size() && std::memcmp(&mBytes[mPos + offset], tag, 4) == 0;
  }
  bool Int(int32_t& v)
  {
    if (!Has(4))
      return false;
    const uint8_t* b = &mBytes[mPos];
    v = static_cast<int32_t>((uint32_t(b[0]) << 24) | (uint32_t(b[1]) << 16) | (uint32_t(b[2]) << 8) | b[3]);
    mPos += 4;
    return true;
  }
  bool Float(float& f)
  {
    int32_t v;
    if (!Int(v))
      return false;
    std::memcpy(&f, &v, 4);
    return true;
  }
  bool Name(char* out, size_t outSize)
  {
    if (!Has(kProgramNameBytes))
      return false;
    const size_t n = std::min<size_t>(kProgramNameBytes, outSize - 1);
    size_t len = 0;
    while (len < n && mBytes[mPos + len])
      ++len;
    std::memcpy(out, &mBytes[mPos], len);
    out[len] = '\0';
    mPos += kProgramNameBytes;
    return true;
  }
  bool Skip(size_t n)
  {
    if (!Has(n))
      return false;
    mPos += n;
    return true;
  }
  bool Has(size_t n) const { return mBytes.size() - mPos >= n; }
  const uint8_t* Here() const { return mBytes.data() + mPos; }

private:
  std::vector<uint8_t> mBytes;
  size_t mPos = 0;
};

bool ReadWholeFile(const char* path, std::vector<uint8_t>& bytes)
{
  if (!path || !*path)
    return false;
  std::FILE* f = std::fopen(path, "rb");
  if (!f)
    return false;
  uint8_t buffer[4096];
  size_t n;
  while ((n = std::fread(buffer, 1, sizeof(buffer), f)) > 0)
    bytes.insert(bytes.end(), buffer, buffer + n);
  const bool ok = !std::ferror(f);
  std::fclose(f);
  return ok && !bytes.empty();
}

// The chunk of the chunk forms: mark, version, then the plug-in's state.
bool ReadFileChunk(BigEndianReader& in, IByteChunk& chunk)
{
  int32_t size = 0;
  if (!in.Int(size) || size < 8 || !in.Has(static_cast<size_t>(size)))
    return false;
  if (std::memcmp(in.Here(), kChunkMark, 4) != 0)
    return false;
  chunk.PutBytes(in.Here(), size);
  return in.Skip(static_cast<size_t>(size));
}

// Value text of a dumped parameter value.
void ValueText(const IParam& param, double v, char* out, size_t outSize)
{
  switch (param.Type()) {
  case IParam::kTypeBool: std::snprintf(out, outSize, "%s", v >= 0.5 ? "true" : "false"); break;
  case IParam::kTypeInt:
  case IParam::kTypeEnum: std::snprintf(out, outSize, "%d", static_cast<int>(v)); break;
  default: std::snprintf(out, outSize, "%.6f", v); break;
  }
}

// Appends a MakePreset call (or, with named, a MakePresetFromNamedParams
// call naming each parameter by ids[i]) holding the current values.
void DumpValuesCall(const IPluginBase& plug, const char* path, bool named, const char* const* ids)
{
  std::FILE* f = path ? std::fopen(path, "a") : nullptr;
  if (!f)
    return;
  const char* name = plug.GetPresetName(plug.GetCurrentPresetIdx());
  if (named)
    std::fprintf(f, "  MakePresetFromNamedParams(\"%s\", %d", name, plug.NParams());
  else
    std::fprintf(f, "MakePreset(\"%s\"", name);
  char text[64];
  for (int i = 0; i < plug.NParams(); ++i) {
    const IParam* param = plug.GetParam(i);
    if (!param)
      continue;
    ValueText(*param, param->Value(), text, sizeof(text));
    if (named)
      std::fprintf(f, ",\n    %s, %s", (ids && ids[i]) ? ids[i] : "", text);
    else
      std::fprintf(f, ", %s", text);
  }
  std::fprintf(f, ");\n");
  std::fclose(f);
}

// "CcnK", the byte size, then a program header of the given form.
void WriteProgramHeader(BigEndianWriter& out, const IPluginBase& plug, const char (&form)[5], int byteSize,
                        const char* name)
{
  out.Tag("CcnK");
  out.Int(byteSize);
  out.Tag(form);
  out.Int(kProgramFormatVersion);
  out.Int(plug.GetUniqueID());
  out.Int(plug.GetPluginVersion(true));
  out.Int(plug.NParams());
  out.Name(name);
}

} // namespace

// ---------------------------------------------------------------------------
// Source dumps

void IPluginBase::DumpPresetSrcCode(const char* path) const { DumpValuesCall(*this, path, false, nullptr); }

void IPluginBase::DumpMakePresetFromNamedParamsSrcCode(const char* path, const char* const* paramEnumNames) const
{
  DumpValuesCall(*this, path, true, paramEnumNames);
}

void IPluginBase::DumpPresetBlob(const char* path) const
{
  std::FILE* f = path ? std::fopen(path, "a") : nullptr;
  if (!f)
    return;
  const IPreset* preset = mPresets.Get(mCurrentPresetIdx);
  std::fprintf(f, "MakePresetFromBlob(\"%s\", \"", preset ? preset->mName : "");
  const int size = preset ? preset->mChunk.Size() : 0;
  const std::string text = preset ? Base64Encode(preset->mChunk.GetData(), static_cast<size_t>(size)) : "";
  std::fprintf(f, "%s\", %i);\n", text.c_str(), size);
  std::fclose(f);
}

// ---------------------------------------------------------------------------
// Program and bank files

bool IPluginBase::MakeFileChunk(IByteChunk& chunk, bool bank) const
{
  chunk.PutBytes(kChunkMark, 4);
  chunk.Put(&kChunkVersion);
  return bank ? SerializePresets(chunk) : SerializeState(chunk);
}

void IPluginBase::PresetNormalizedValues(const IPreset* preset, float* values) const
{
  const int n = NParams();
  const bool fromChunk = preset && preset->mInitialized && preset->mChunk.Size() == n * 8;
  for (int i = 0; i < n; ++i) {
    const IParam* param = GetParam(i);
    double v = param->Value();
    if (fromChunk)
      preset->mChunk.Get(&v, i * 8);
    values[i] = static_cast<float>(std::clamp(param->ToNormalized(v), 0.0, 1.0));
  }
}

bool IPluginBase::SaveProgramAsFXP(const char* path) const
{
  if (!path || !*path)
    return false;
  const char* name = GetPresetName(mCurrentPresetIdx);
  BigEndianWriter out;
  if (mStateChunks) {
    IByteChunk chunk;
    if (!MakeFileChunk(chunk, false))
      return false;
    WriteProgramHeader(out, *this, "FPCh", kProgramHeaderAfterSize + 4 + chunk.Size(), name);
    out.Int(chunk.Size());
    out.Bytes(chunk.GetData(), static_cast<size_t>(chunk.Size()));
  } else {
    WriteProgramHeader(out, *this, "FxCk", kProgramHeaderAfterSize + 4 * NParams(), name);
    std::vector<float> values(static_cast<size_t>(NParams()));
    PresetNormalizedValues(nullptr, values.data());
    for (float v : values)
      out.Float(v);
  }
  return out.WriteTo(path);
}

bool IPluginBase::SaveBankAsFXB(const char* path) const
{
  if (!path || !*path)
    return false;
  BigEndianWriter out;
  out.Tag("CcnK");
  const int programBytes = 8 + kProgramHeaderAfterSize + 4 * NParams();
  IByteChunk chunk;
  if (mStateChunks) {
    if (!MakeFileChunk(chunk, true))
      return false;
    out.Int(kBankHeaderAfterSize + 4 + chunk.Size());
    out.Tag("FBCh");
  } else {
    out.Int(kBankHeaderAfterSize + NPresets() * programBytes);
    out.Tag("FxBk");
  }
  out.Int(kBankFormatVersion);
  out.Int(mUniqueID);
  out.Int(GetPluginVersion(true));
  out.Int(NPresets());
  out.Int(mCurrentPresetIdx);
  out.Zeros(kBankFutureBytes);
  if (mStateChunks) {
    out.Int(chunk.Size());
    out.Bytes(chunk.GetData(), static_cast<size_t>(chunk.Size()));
  } else {
    std::vector<float> values(static_cast<size_t>(NParams()));
    for (int p = 0; p < NPresets(); ++p) {
      const IPreset* preset = mPresets.Get(p);
      WriteProgramHeader(out, *this, "FxCk", kProgramHeaderAfterSize + 4 * NParams(), preset->mName);
      PresetNormalizedValues(preset, values.data());
      for (float v : values)
        out.Float(v);
    }
  }
  return out.WriteTo(path);
}

bool IPluginBase::LoadProgramFromFXP(const char* path)
{
  std::vector<uint8_t> bytes;
  if (!ReadWholeFile(path, bytes))
    return false;
  BigEndianReader in(std::move(bytes));
  int32_t byteSize, version, id, fxVersion, nParams;
  const bool chunkForm = in.PeekTag("FPCh", 8);
  if (!in.Tag("CcnK") || !in.Int(byteSize) || !(in.Tag("FxCk") || in.Tag("FPCh")))
    return false;
  if (!in.Int(version) || version > kProgramFormatVersion || !in.Int(id) || id != mUniqueID)
    return false;
  char name[IPreset::kMaxNameLen];
  if (!in.Int(fxVersion) || !in.Int(nParams) || !in.Name(name, sizeof(name)))
    return false;

  if (chunkForm) {
    IByteChunk chunk;
    if (!mStateChunks || !ReadFileChunk(in, chunk) || UnserializeState(chunk, 8) < 0 || !LastRestoreComplete())
      return false;
  } else {
    if (nParams < 0 || nParams > NParams() || !in.Has(static_cast<size_t>(nParams) * 4))
      return false;
    for (int i = 0; i < nParams; ++i) {
      float v = 0.0f;
      in.Float(v);
      GetParam(i)->SetNormalized(std::clamp(static_cast<double>(v), 0.0, 1.0));
    }
    OnParamReset(kPresetRecall);
  }
  ModifyCurrentPreset(name);
  RestorePreset(mCurrentPresetIdx);
  InformHostOfPresetChange();
  return true;
}

bool IPluginBase::LoadBankFromFXB(const char* path)
{
  std::vector<uint8_t> bytes;
  if (!ReadWholeFile(path, bytes))
    return false;
  BigEndianReader in(std::move(bytes));
  int32_t byteSize, version, id, fxVersion, nPrograms, current;
  const bool chunkForm = in.PeekTag("FBCh", 8);
  if (!in.Tag("CcnK") || !in.Int(byteSize) || !(in.Tag("FxBk") || in.Tag("FBCh")))
    return false;
  if (!in.Int(version) || version < 1 || version > kBankFormatVersion || !in.Int(id) || id != mUniqueID)
    return false;
  if (!in.Int(fxVersion) || !in.Int(nPrograms) || nPrograms < 0)
    return false;
  // Format version 1 has no current-program field; it starts the 128 reserved bytes.
  current = 0;
  if (version >= 2 ? !in.Int(current) || !in.Skip(kBankFutureBytes) : !in.Skip(kBankFutureBytes + 4))
    return false;

  if (chunkForm) {
    IByteChunk chunk;
    if (!mStateChunks || !ReadFileChunk(in, chunk))
      return false;
    if (current >= 0 && current < NPresets())
      mCurrentPresetIdx = current;
    if (UnserializePresets(chunk, 8) < 0 || !LastRestoreComplete())
      return false;
  } else {
    // Check every program record before changing anything.
    BigEndianReader check = in;
    for (int p = 0; p < nPrograms; ++p) {
      int32_t size, n;
      if (!check.Tag("CcnK") || !check.Int(size) || !check.Tag("FxCk") || !check.Skip(12) || !check.Int(n) || n < 0 ||
          n > NParams() || !check.Skip(kProgramNameBytes) || !check.Skip(static_cast<size_t>(n) * 4))
        return false;
    }
    for (int p = 0; p < nPrograms; ++p) {
      int32_t size, programID, n;
      char name[IPreset::kMaxNameLen];
      in.Tag("CcnK");
      in.Int(size);
      in.Tag("FxCk");
      in.Skip(4);
      in.Int(programID);
      in.Skip(4);
      in.Int(n);
      in.Name(name, sizeof(name));
      for (int i = 0; i < n; ++i) {
        float v = 0.0f;
        in.Float(v);
        GetParam(i)->SetNormalized(std::clamp(static_cast<double>(v), 0.0, 1.0));
      }
      if (IPreset* preset = mPresets.Get(p))
        CapturePreset(*preset, name);
    }
    if (current >= 0 && current < NPresets())
      mCurrentPresetIdx = current;
    RestorePreset(mCurrentPresetIdx);
  }
  ModifyCurrentPreset();
  RestorePreset(mCurrentPresetIdx);
  InformHostOfPresetChange();
  return true;
}

} // namespace plugin
