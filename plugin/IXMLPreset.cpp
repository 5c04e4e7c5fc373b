#include "IXMLPreset.h"

#include <cstdio>
#include <cstring>
#include <string>
#include <tinyxml.h>

#include "ReplaceFile.h"
#include "StateChunkFormat.h"
#include "Utf8Text.h"

using plugin::IByteChunk;
using plugin::UT_String;

namespace {

// Far above any preset file; a larger one is not read into memory.
constexpr long kMaxPresetFileBytes = 16L << 20;

bool ReadWholeText(const char* path, std::string& text)
{
  std::FILE* file = (path && *path) ? std::fopen(path, "rb") : nullptr;
  if (!file)
    return false;
  bool ok = std::fseek(file, 0, SEEK_END) == 0;
  const long size = ok ? std::ftell(file) : -1;
  ok = ok && size >= 0 && size <= kMaxPresetFileBytes && std::fseek(file, 0, SEEK_SET) == 0;
  if (ok) {
    text.resize(size_t(size));
    ok = size == 0 || std::fread(text.data(), 1, size_t(size), file) == size_t(size);
  }
  std::fclose(file);
  return ok;
}

} // namespace

bool IXMLPreset::LoadXMLFile(const char* path, TiXmlDocument& doc)
{
  std::string bytes;
  if (!ReadWholeText(path, bytes))
    return false;
  // Editors often start UTF-8 files with a byte-order mark.
  static constexpr char kBom[] = "\xEF\xBB\xBF";
  size_t start = bytes.compare(0, 3, kBom) == 0 ? 3 : 0;
  // The parser reads a C string: it ends at the first zero byte.
  const size_t end = bytes.find('\0', start);
  const size_t length = (end == std::string::npos ? bytes.size() : end) - start;
  // A file in the legacy 8-bit encoding is taken as Latin-1, so its text
  // reaches the parameters, presets and saved states as UTF-8.
  return IXMLParameters::ParseText(plugin::AsUtf8(bytes.data() + start, length), doc);
}

bool IXMLPreset::SaveXMLFile(const char* path, const TiXmlDocument& doc)
{
  return plugin::ReplaceFile(path, [&doc](std::FILE* file) { return doc.SaveFile(file); });
}

bool IXMLPreset::AppendXMLText(IByteChunk& chunk, const std::string& text)
{
  if (text.empty() || text.size() > size_t(INT32_MAX) - 4)
    return false;
  const int before = chunk.Size();
  const uint32_t length = uint32_t(text.size());
  if (chunk.Put(&length) > 0 && chunk.PutBytes(text.data(), int(length)) > 0)
    return true;
  chunk.Resize(before);
  return false;
}

bool IXMLPreset::AppendPresetChunk(IByteChunk& chunk, const plugin::IPluginBase& plug, const double* values,
                                   const char* presetName)
{
  const int container = statechunk::BeginContainer(chunk);
  const int section =
    container < 0 ? -1 : statechunk::BeginSection(chunk, statechunk::kXMLTag, statechunk::kXMLVersion);
  if (section < 0)
    return false;
  TiXmlDocument doc;
  IXMLParameters::BuildPresetTree(doc, plug, values, presetName);
  const bool textOk = AppendXMLText(chunk, IXMLParameters::PrintTree(doc));
  const bool ok = statechunk::EndBlock(chunk, section) && statechunk::EndBlock(chunk, container);
  return textOk && ok;
}

UT_String IXMLPreset::JoinPath(const char* folder, const char* leaf)
{
  UT_String path(folder);
  const int n = path.GetLength();
  if (n == 0 || path.Get()[n - 1] != '/')
    path.Append("/");
  path.Append(leaf);
  return path;
}

UT_String IXMLPreset::DefaultPresetPath(const UT_String& folder)
{
  UT_String path = JoinPath(folder.Get(), kDefaultPresetName);
  path.Append(kPresetExtension);
  return path;
}

UT_String IXMLPreset::PresetNameFromPath(const char* path)
{
  if (!path)
    path = "";
  const char* slash = std::strrchr(path, '/');
  const char* base = slash ? slash + 1 : path;
  const char* dot = std::strrchr(base, '.');
  const int length = dot ? int(dot - base) : int(std::strlen(base));
  UT_String name;
  name.SetFormatted(kPathNameBufSize - 1, "%.*s", length, base);
  return name;
}

int IXMLPreset::Utf8PrefixLength(const char* text, int maxBytes)
{
  if (!text || maxBytes <= 0)
    return 0;
  const int length = int(strnlen(text, size_t(maxBytes) + 1));
  if (length <= maxBytes)
    return length;
  // Step back over continuation bytes to the lead byte of the sequence the
  // cut falls into, and drop that sequence when it does not fit whole.
  int cut = maxBytes;
  int start = cut;
  while (start > 0 && (static_cast<unsigned char>(text[start]) & 0xC0) == 0x80)
    --start;
  const unsigned char lead = static_cast<unsigned char>(text[start]);
  const int need = lead < 0x80 ? 1 : lead >= 0xF0 ? 4 : lead >= 0xE0 ? 3 : lead >= 0xC0 ? 2 : 1;
  if (start < cut && start + need > cut)
    cut = start;
  return cut;
}

void IXMLPreset::SetPresetName(plugin::IPreset& preset, const char* name)
{
  if (!name)
    name = "";
  const int n = Utf8PrefixLength(name, kMaxPresetNameBytes);
  std::memcpy(preset.mName, name, size_t(n));
  preset.mName[n] = '\0';
}
