#pragma once
// A Vorelle3 whose message request and saved state are open to the tests of
// files, presets and the state chunk, and little-endian byte builders that
// write the expected layouts independently of the code under test.
#include <algorithm>
#include <cstdint>
#include <cstdio>
#include <cstring>
#include <string>
#include <vector>

#include "Vorelle3Fixture.h"

namespace testplug {

class StatePlug : public TestVorelle3 {
public:
  const char* MessageText() const { return mMessageText.Get(); }
  const char* MessageTitle() const { return mMessageTitle.Get(); }
  bool MessagePending() const { return mMessagePending; }
  void ClearMessage()
  {
    mMessageText.Set("");
    mMessageTitle.Set("");
    mMessagePending = false;
  }
  plugin::IPreset* Slot(int i) { return mPresets.Get(i); }
  // Any bytes as a preset's name, as a host or a file may give them.
  void SetPresetNameForTest(int i, const char* name)
  {
    std::snprintf(mPresets.Get(i)->mName, sizeof mPresets.Get(i)->mName, "%s", name);
  }
  int NPresetList() const { return mPresetList.GetSize(); }

  // The whole saved state as bytes.
  std::vector<uint8_t> Saved() const
  {
    plugin::IByteChunk chunk;
    SerializeState(chunk);
    return std::vector<uint8_t>(chunk.GetData(), chunk.GetData() + chunk.Size());
  }
  // Every parameter's value, then both curves' magnitudes, flags and name.
  std::vector<double> Values()
  {
    std::vector<double> v;
    for (int i = 0; i < NParams(); ++i)
      v.push_back(GetParam(i)->Value());
    return v;
  }
};

// Whether a chunk's header reaches the parameters (the XML section's text
// length word), read from the bytes as the layout gives them.
inline bool ReachesParameters(const std::vector<uint8_t>& b)
{
  const auto word = [&](size_t at) {
    return uint32_t(b[at] | b[at + 1] << 8 | b[at + 2] << 16 | uint32_t(b[at + 3]) << 24);
  };
  const auto tag = [&](size_t at, const char* t) { return std::equal(t, t + 4, b.begin() + long(at)); };
  return b.size() >= 28 && tag(0, "RIFF") && word(8) == 1 && tag(12, "ZQCM") && tag(16, "ZQCS") && word(20) != 0 &&
         word(24) == 1;
}

inline plugin::IByteChunk ToChunk(const std::vector<uint8_t>& bytes)
{
  plugin::IByteChunk chunk;
  if (!bytes.empty())
    chunk.PutBytes(bytes.data(), int(bytes.size()));
  return chunk;
}

// Little-endian writers for expected bytes.
struct Bytes {
  std::vector<uint8_t> b;
  Bytes& Tag(const char* t)
  {
    for (int i = 0; i < 4; ++i)
      b.push_back(uint8_t(t[i]));
    return *this;
  }
  Bytes& U32(uint32_t v)
  {
    for (int i = 0; i < 4; ++i)
      b.push_back(uint8_t(v >> (8 * i)));
    return *this;
  }
  Bytes& F64(double d)
  {
    uint64_t v;
    std::memcpy(&v, &d, 8);
    for (int i = 0; i < 8; ++i)
      b.push_back(uint8_t(v >> (8 * i)));
    return *this;
  }
  Bytes& Text(const std::string& s)
  {
    b.insert(b.end(), s.begin(), s.end());
    return *this;
  }
  Bytes& Pad(bool odd)
  {
    if (odd)
      b.push_back(0);
    return *this;
  }
};

// The parameter text of a default instance whose first preset is "Init".
inline std::string DefaultStateXML(const char* gui = "1.000000", const char* gain = "0.000000")
{
  return std::string("<?xml version=\"1.0\" ?>\n"
                     "<PresetXMLTree version=\"1\">\n"
                     "    <PluginVendor>Zelvant</PluginVendor>\n"
                     "    <PluginName>Vorelle3</PluginName>\n"
                     "    <PluginVersion>v3.0.21</PluginVersion>\n"
                     "    <Preset name=\"Init\">\n"
                     "        <Parameter>\n"
                     "            <Param name=\"GUI scale\" val=\"") +
         gui +
         "\" />\n"
         "            <Param name=\"Toggle tooltips\" val=\"1.000000\" />\n"
         "            <Param name=\"Activity state\" val=\"1.000000\" />\n"
         "            <Param name=\"Reference mode\" val=\"0.000000\" />\n"
         "            <Param name=\"AD mode\" val=\"0.000000\" />\n"
         "            <Param name=\"Gain\" val=\"" +
         gain +
         "\" />\n"
         "            <Param name=\"Mix\" val=\"100.000000\" />\n"
         "            <Param name=\"Reset peak max\" val=\"0.000000\" />\n"
         "            <Param name=\"Match peak max\" val=\"0.000000\" />\n"
         "            <Param name=\"Online Update Check\" val=\"1.000000\" />\n"
         "        </Parameter>\n"
         "    </Preset>\n"
         "</PresetXMLTree>\n";
}

} // namespace testplug
