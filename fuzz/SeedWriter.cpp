// Writes the committed seed corpora: every file is made by the system's own
// writers (state, class info, presets, program and bank files, curve files,
// Base64, parameter display), the audio files by libsndfile since the system
// writes none. Run after a format changes:
//   build/fuzz/fuzz/fuzz_seed_writer fuzz
#include <sndfile.h>

#include <AudioUnit/AudioUnit.h>

#include <cmath>
#include <cstdio>
#include <filesystem>
#include <string>
#include <vector>

#include "Base64.h"
#include "CurveFile.h"
#include "FuzzPlug.h"
#include "LogGrid.h"
#include "StateChunkFormat.h"

namespace fs = std::filesystem;

namespace {

fs::path gRoot;

void Seed(const char* target, const std::string& name, const std::vector<uint8_t>& bytes)
{
  const fs::path folder = gRoot / target / "corpus";
  fs::create_directories(folder);
  std::FILE* f = std::fopen((folder / name).c_str(), "wb");
  if (!f || (!bytes.empty() && std::fwrite(bytes.data(), 1, bytes.size(), f) != bytes.size()) || std::fclose(f) != 0)
    fuzzsupport::Fail("cannot write a seed");
}

// A seed made by one of the system's writers exists only if it succeeded.
void Written(bool ok)
{
  if (!ok)
    fuzzsupport::Fail("the system's writer failed on a seed");
}

std::vector<uint8_t> Text(const std::string& s) { return std::vector<uint8_t>(s.begin(), s.end()); }

std::vector<uint8_t> Prefixed(uint8_t first, const std::vector<uint8_t>& rest)
{
  std::vector<uint8_t> out{first};
  out.insert(out.end(), rest.begin(), rest.end());
  return out;
}

// --- audio files ---------------------------------------------------------------

void AudioSeeds()
{
  struct Kind {
    const char* name;
    int format;
    int channels;
    int rate;
  };
  const Kind kinds[] = {
    {"pcm8.wav", SF_FORMAT_WAV | SF_FORMAT_PCM_U8, 1, 8000},
    {"pcm16.wav", SF_FORMAT_WAV | SF_FORMAT_PCM_16, 2, 44100},
    {"pcm24.wav", SF_FORMAT_WAV | SF_FORMAT_PCM_24, 1, 48000},
    {"pcm32.wav", SF_FORMAT_WAV | SF_FORMAT_PCM_32, 2, 96000},
    {"float.wav", SF_FORMAT_WAV | SF_FORMAT_FLOAT, 2, 44100},
    {"extensible.wav", SF_FORMAT_WAVEX | SF_FORMAT_PCM_16, 2, 22050},
    {"pcm16.aiff", SF_FORMAT_AIFF | SF_FORMAT_PCM_16, 2, 44100},
    {"pcm24.aiff", SF_FORMAT_AIFF | SF_FORMAT_PCM_24, 1, 32000},
    {"float.aifc", SF_FORMAT_AIFF | SF_FORMAT_FLOAT, 1, 44100},
  };
  const std::string tmp = (fuzzsupport::Folder() / "seed.audio").string();
  for (const Kind& k : kinds) {
    SF_INFO info{};
    info.samplerate = k.rate;
    info.channels = k.channels;
    info.format = k.format;
    SNDFILE* file = sf_open(tmp.c_str(), SFM_WRITE, &info);
    if (!file)
      fuzzsupport::Fail("libsndfile cannot write a seed");
    std::vector<float> frames(size_t(48 * k.channels));
    for (size_t i = 0; i < frames.size(); ++i)
      frames[i] = float(0.5 * std::sin(0.37 * double(i)));
    sf_writef_float(file, frames.data(), 48);
    sf_close(file);
    const std::vector<uint8_t> bytes = fuzzsupport::ReadFile(tmp);
    Seed("audio_file", k.name, bytes);
    Seed("audio_import", k.name, bytes);
    Seed("host_headers", k.name, bytes);
  }
}

// --- curves and the plug-in's state ----------------------------------------------

Vorelle3CurveRecord Curve(unsigned count, double tilt)
{
  Vorelle3CurveRecord curve;
  curve.Resize(int(count));
  FillLogGrid(nullptr, curve.freq, 1.0, 6, 10.0, 22050.0);
  for (unsigned i = 0; i < count; ++i)
    curve.mag[i] = std::pow(10.0, tilt * double(i) / double(count));
  return curve;
}

void CurveSeeds(const Vorelle3CurveRecord& curve)
{
  const std::string tmp = (fuzzsupport::Folder() / "seed.curve").string();
  Written(WriteCurveFile(tmp.c_str(), ECurveFileType::kFingerprint, curve));
  Seed("curve_file", "fingerprint.vrl", fuzzsupport::ReadFile(tmp));
  Written(WriteCurveFile(tmp.c_str(), ECurveFileType::kReference, curve));
  Seed("curve_file", "reference.ref", fuzzsupport::ReadFile(tmp));
  Seed("host_headers", "reference.ref", fuzzsupport::ReadFile(tmp));
  Vorelle3CurveRecord small;
  small.Resize(3);
  for (int i = 0; i < 3; ++i) {
    small.freq[i] = 100.0 * (i + 1);
    small.mag[i] = 0.5 * (i + 1);
  }
  Written(WriteCurveFile(tmp.c_str(), ECurveFileType::kReference, small));
  Seed("curve_file", "small.ref", fuzzsupport::ReadFile(tmp));
}

// A state holding both curves, assembled with the state format's own writer
// and handed through the plug-in's reader and writer.
std::vector<uint8_t> StateWithCurves(Vorelle3& plug, const Vorelle3CurveRecord& fp, const Vorelle3CurveRecord& ref)
{
  using namespace statechunk;
  plugin::IByteChunk chunk;
  const int container = BeginContainer(chunk);
  const int xml = BeginSection(chunk, kXMLTag, kXMLVersion);
  plug.WriteStateXML(chunk);
  EndBlock(chunk, xml);
  const int fpSection = BeginSection(chunk, kFingerprintTag, kCurveVersion);
  chunk.Put(&fp.count);
  chunk.PutBytes(fp.mag, int(fp.count * sizeof(double)));
  chunk.PutBytes(fp.freq, int(fp.count * sizeof(double)));
  EndBlock(chunk, fpSection);
  const int refSection = BeginSection(chunk, kReferenceTag, kCurveVersion);
  const char name[] = "pink.wav";
  const uint32_t nameLength = sizeof(name) - 1;
  chunk.Put(&ref.count);
  chunk.Put(&nameLength);
  chunk.PutBytes(name, int(nameLength));
  chunk.PutBytes(ref.mag, int(ref.count * sizeof(double)));
  chunk.PutBytes(ref.freq, int(ref.count * sizeof(double)));
  EndBlock(chunk, refSection);
  EndBlock(chunk, container);
  if (plug.UnserializeState(chunk, 0) != chunk.Size())
    fuzzsupport::Fail("the plug-in refuses a built state");
  return fuzzsupport::SavedState(plug);
}

// The class info as the class_info target's records: key, type, length, value.
std::vector<uint8_t> ClassInfoRecords(Vorelle3& plug)
{
  CFPropertyListRef plist = nullptr;
  plug.SaveClassInfo(&plist);
  CFDictionaryRef dict = static_cast<CFDictionaryRef>(plist);
  const char* const keys[] = {kAUPresetVersionKey,      kAUPresetTypeKey, kAUPresetSubtypeKey,
                              kAUPresetManufacturerKey, kAUPresetNameKey, kAUPresetDataKey};
  std::vector<uint8_t> out{0};
  for (uint8_t k = 0; k < 6; ++k) {
    CFStringRef key = CFStringCreateWithCString(nullptr, keys[k], kCFStringEncodingUTF8);
    CFTypeRef value = CFDictionaryGetValue(dict, key);
    CFRelease(key);
    std::vector<uint8_t> payload;
    uint8_t type = 0;
    if (CFGetTypeID(value) == CFNumberGetTypeID()) {
      SInt32 v = 0;
      CFNumberGetValue(static_cast<CFNumberRef>(value), kCFNumberSInt32Type, &v);
      payload.assign(reinterpret_cast<uint8_t*>(&v), reinterpret_cast<uint8_t*>(&v) + 4);
    } else if (CFGetTypeID(value) == CFStringGetTypeID()) {
      char text[256] = "";
      CFStringGetCString(static_cast<CFStringRef>(value), text, sizeof(text), kCFStringEncodingUTF8);
      payload = Text(text);
      type = 3;
    } else {
      CFDataRef data = static_cast<CFDataRef>(value);
      payload.assign(CFDataGetBytePtr(data), CFDataGetBytePtr(data) + CFDataGetLength(data));
      type = 4;
    }
    out.insert(out.end(), {k, type, uint8_t(payload.size()), uint8_t(payload.size() >> 8)});
    out.insert(out.end(), payload.begin(), payload.end());
  }
  CFRelease(plist);
  return out;
}

void PlugSeeds(Vorelle3& plug)
{
  const unsigned count = unsigned(CountLogGridPoints(nullptr, 1.0, 6, 10.0, 22050.0));
  const Vorelle3CurveRecord fp = Curve(count, 0.5), ref = Curve(count, -1.0);
  CurveSeeds(fp);

  const std::vector<uint8_t> plain = fuzzsupport::SavedState(plug);
  Seed("state_chunk", "default.state", plain);
  Seed("class_info", "default.info", ClassInfoRecords(plug));
  Seed("base64", "default.state.b64", Text(plugin::Base64Encode(plain.data(), plain.size())));

  // Settings away from the defaults, and curves.
  plug.SetParameter(kGain, kAudioUnitScope_Global, 0, -6.5f, 0);
  plug.SetParameter(kMix, kAudioUnitScope_Global, 0, 42.0f, 0);
  plug.SetParameter(kADMode, kAudioUnitScope_Global, 0, 1.0f, 0);
  const std::vector<uint8_t> full = StateWithCurves(plug, fp, ref);
  Seed("state_chunk", "curves.state", full);
  Seed("class_info", "curves.info", ClassInfoRecords(plug));
  Seed("base64", "curves.state.b64", Text(plugin::Base64Encode(full.data(), full.size())));

  const std::string tmp = (fuzzsupport::Folder() / "seed.file").string();
  Written(plug.SaveProgramAsFXP(tmp.c_str()));
  Seed("program_file", "curves.fxp", Prefixed(0, fuzzsupport::ReadFile(tmp)));
  Written(plug.SaveBankAsFXB(tmp.c_str()));
  Seed("program_file", "curves.fxb", Prefixed(1, fuzzsupport::ReadFile(tmp)));

  Written(plug.SavePresetFile(plugin::UT_String(tmp.c_str()), plugin::UT_String("Warm \xC3\xA9t\xC3\xA9")));
  Seed("xml_preset", "named.zvp", fuzzsupport::ReadFile(tmp));
  Written(plug.SaveDefaultPreset(plugin::UT_String(fuzzsupport::Folder().c_str())));
  Seed("xml_preset", "default.zvp", fuzzsupport::ReadFile((fuzzsupport::Folder() / "default.zvp").string()));

  // Parameter texts as the plug-in shows them, at the ends and the middle.
  for (int i = 0; i < plug.NParams(); ++i) {
    const plugin::IParam* p = plug.GetParam(i);
    const double values[] = {p->GetMin(), p->GetDefault(), p->GetMax()};
    for (int k = 0; k < 3; ++k) {
      plugin::UT_String shown;
      p->GetDisplay(values[k], false, shown);
      Seed("param_text", "param" + std::to_string(i) + "_" + std::to_string(k) + ".txt",
           Prefixed(uint8_t(i), Text(shown.Get())));
    }
  }
  Seed("param_text", "thousands.txt", Prefixed(kGain, Text("2k2")));
}

void TextSeeds()
{
  Seed("base64", "short.b64", Text(plugin::Base64Encode(reinterpret_cast<const uint8_t*>("Vorelle3"), 8)));
  Seed("version_reply", "current.txt", Prefixed(0, Text("3.0.21\n")));
  Seed("version_reply", "pieces.txt", Prefixed(2, Text("  3.1.0 build 7\r\n")));
  Seed("version_reply", "signed.txt", Prefixed(7, Text("+3.-1.22")));
  Seed("settings_file", "hasui.ini", Prefixed(0, Text("[GUI]\nHasUI=0\nScale=150\n")));
  Seed("settings_file", "short.ini", Prefixed(1, Text("a=1\r\na=-22\n")));
  Seed("settings_file", "percent.ini", Prefixed(2, Text("Key%d= 7\nKey5=3\n")));
}

} // namespace

int main(int argc, char** argv)
{
  if (argc != 2) {
    std::fprintf(stderr, "usage: %s <fuzz folder>\n", argv[0]);
    return 2;
  }
  gRoot = argv[1];
  AudioSeeds();
  PlugSeeds(fuzzsupport::Plug());
  TextSeeds();
  std::printf("seeds written under %s\n", argv[1]);
  return 0;
}
