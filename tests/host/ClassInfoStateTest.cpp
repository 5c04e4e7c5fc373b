// The plug-in's whole state through the host's class info: saved from one
// unit, restored into a new one, with a captured fingerprint and a custom
// reference.
#include <gtest/gtest.h>

#include <AudioUnit/AudioUnit.h>

#include <algorithm>
#include <cmath>
#include <cstring>
#include <string>
#include <vector>

#include "AUHostUnit.h"
#include "SharedBundle.h"

namespace {

constexpr double kRate = 44100.0;
constexpr UInt32 kBlock = 512;
constexpr int kPoints = 67; // the plug-in's six-per-octave grid
enum : AudioUnitParameterID { kActivity = 2, kReference = 3, kGainId = 5, kMixId = 6 };

// A fixed noise by sample index, different per channel.
float Noise(int64_t t, int ch)
{
  uint64_t x = uint64_t(t) * 2 + uint64_t(ch) + 0x9E3779B97F4A7C15ull;
  x ^= x >> 33;
  x *= 0xff51afd7ed558ccdull;
  x ^= x >> 33;
  return float(double(x >> 11) / double(1ull << 53) * 0.6 - 0.3);
}

void Configure(host::AUHostUnit& unit)
{
  ASSERT_EQ(unit.Open(), noErr);
  ASSERT_EQ(unit.SetFormat(2, kRate), noErr);
  ASSERT_EQ(unit.SetMaxFrames(kBlock), noErr);
  unit.ConnectInput([](double sampleTime, UInt32 n, float* const* channels, int nch) {
    for (int c = 0; c < nch; ++c)
      for (UInt32 i = 0; i < n; ++i)
        channels[c][i] = Noise(int64_t(sampleTime) + i, c);
  });
  ASSERT_EQ(AudioUnitInitialize(unit.Unit()), noErr);
}

// Renders nBlocks from sample time t0; both channels interleaved by block.
std::vector<float> Render(host::AUHostUnit& unit, int64_t t0, int nBlocks)
{
  std::vector<float> out, l(kBlock), r(kBlock);
  for (int b = 0; b < nBlocks; ++b) {
    float* const channels[2] = {l.data(), r.data()};
    EXPECT_EQ(unit.Render(double(t0 + int64_t(b) * kBlock), kBlock, channels, 2), noErr);
    out.insert(out.end(), l.begin(), l.end());
    out.insert(out.end(), r.begin(), r.end());
  }
  return out;
}

CFPropertyListRef ClassInfo(host::AUHostUnit& unit)
{
  CFPropertyListRef plist = nullptr;
  UInt32 size = sizeof(plist);
  EXPECT_EQ(AudioUnitGetProperty(unit.Unit(), kAudioUnitProperty_ClassInfo, kAudioUnitScope_Global, 0, &plist, &size),
            noErr);
  return plist;
}

std::vector<uint8_t> Data(CFPropertyListRef plist)
{
  const auto data = static_cast<CFDataRef>(CFDictionaryGetValue(static_cast<CFDictionaryRef>(plist), CFSTR("data")));
  if (!data)
    return {};
  const UInt8* p = CFDataGetBytePtr(data);
  return std::vector<uint8_t>(p, p + CFDataGetLength(data));
}

OSStatus Restore(host::AUHostUnit& unit, CFPropertyListRef plist)
{
  return AudioUnitSetProperty(unit.Unit(), kAudioUnitProperty_ClassInfo, kAudioUnitScope_Global, 0, &plist,
                              sizeof(plist));
}

void PutWord(std::vector<uint8_t>& b, uint32_t v)
{
  for (int i = 0; i < 4; ++i)
    b.push_back(uint8_t(v >> (8 * i)));
}

// The saved chunk with its (empty) custom-reference section replaced by a
// curve of kPoints values named `name`.
std::vector<uint8_t> WithCustomReference(std::vector<uint8_t> chunk, const std::string& name)
{
  const char tag[] = "ZQV1";
  auto at = std::search(chunk.begin(), chunk.end(), tag, tag + 4);
  if (at == chunk.end())
    return {};
  chunk.erase(at, chunk.end());
  const uint32_t size = 12 + uint32_t(name.size()) + 16 * kPoints;
  chunk.insert(chunk.end(), tag, tag + 4);
  PutWord(chunk, size);
  PutWord(chunk, 3);
  PutWord(chunk, kPoints);
  PutWord(chunk, uint32_t(name.size()));
  chunk.insert(chunk.end(), name.begin(), name.end());
  for (int pass = 0; pass < 2; ++pass) {
    for (int k = 0; k < kPoints; ++k) {
      const double v = pass == 0 ? 0.02 / (1.0 + 0.05 * k) : 10.0 * std::pow(2.0, k / 6.0);
      uint8_t bytes[8];
      std::memcpy(bytes, &v, 8);
      chunk.insert(chunk.end(), bytes, bytes + 8);
    }
  }
  if (size & 1)
    chunk.push_back(0);
  const uint32_t container = uint32_t(chunk.size() - 8);
  std::memcpy(chunk.data() + 4, &container, 4);
  return chunk;
}

CFPropertyListRef WithData(CFPropertyListRef plist, const std::vector<uint8_t>& bytes)
{
  CFMutableDictionaryRef copy =
    CFDictionaryCreateMutableCopy(kCFAllocatorDefault, 0, static_cast<CFDictionaryRef>(plist));
  CFDataRef data = CFDataCreate(kCFAllocatorDefault, bytes.data(), CFIndex(bytes.size()));
  CFDictionarySetValue(copy, CFSTR("data"), data);
  CFRelease(data);
  return copy;
}

TEST(ClassInfoState, ARestoredUnitHasTheSameStateAndProcessesBitIdentically)
{
  host::AUBundle& bundle = SharedBundle();
  ASSERT_NE(bundle.Factory(), nullptr) << bundle.Error();
  host::AUHostUnit a(bundle);
  Configure(a);

  // Capture a fingerprint from the noise, then process against a custom curve.
  ASSERT_EQ(a.SetParameter(kActivity, 0.0f), noErr);
  Render(a, 0, 160);
  ASSERT_EQ(a.SetParameter(kActivity, 2.0f), noErr);
  ASSERT_EQ(a.SetParameter(kGainId, -3.0f), noErr);
  ASSERT_EQ(a.SetParameter(kMixId, 70.0f), noErr);
  ASSERT_EQ(a.SetParameter(kReference, 4.0f), noErr);

  CFPropertyListRef first = ClassInfo(a);
  ASSERT_NE(first, nullptr);
  const std::vector<uint8_t> withRef = WithCustomReference(Data(first), "pink noise.ref");
  ASSERT_FALSE(withRef.empty());
  CFPropertyListRef edited = WithData(first, withRef);
  ASSERT_EQ(Restore(a, edited), noErr);
  CFRelease(edited);
  CFRelease(first);

  CFPropertyListRef saved = ClassInfo(a);
  const std::vector<uint8_t> savedData = Data(saved);
  const std::string nameTag = "pink noise.ref";
  EXPECT_NE(std::search(savedData.begin(), savedData.end(), nameTag.begin(), nameTag.end()), savedData.end());
  // The fingerprint section holds a captured curve.
  const char fpTag[] = "ZQV0";
  auto fp = std::search(savedData.begin(), savedData.end(), fpTag, fpTag + 4);
  ASSERT_NE(fp, savedData.end());
  uint32_t fpCount = 0;
  std::memcpy(&fpCount, &*(fp + 12), 4);
  EXPECT_EQ(fpCount, uint32_t(kPoints));

  host::AUHostUnit b(bundle);
  Configure(b);
  ASSERT_EQ(Restore(b, saved), noErr);
  for (AudioUnitParameterID id = 0; id < a.NParameters(); ++id)
    EXPECT_EQ(b.GetParameter(id), a.GetParameter(id)) << id;
  CFPropertyListRef again = ClassInfo(b);
  EXPECT_EQ(Data(again), savedData);
  CFRelease(again);
  CFRelease(saved);

  // The same input from a reset gives the same output, sample for sample.
  ASSERT_EQ(AudioUnitReset(a.Unit(), kAudioUnitScope_Global, 0), noErr);
  ASSERT_EQ(AudioUnitReset(b.Unit(), kAudioUnitScope_Global, 0), noErr);
  const std::vector<float> outA = Render(a, 1 << 20, 200);
  const std::vector<float> outB = Render(b, 1 << 20, 200);
  ASSERT_EQ(outA.size(), outB.size());
  EXPECT_TRUE(outA == outB);
  // And the filter did something: the output is not the input.
  EXPECT_NE(outA[100 * kBlock + 5], Noise((1 << 20) + 50 * kBlock + 5, 0));
}

} // namespace
