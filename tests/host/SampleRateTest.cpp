// A unit given a new sample rate by its stream format processes at that rate
// from the first render, whether or not the host resets it after Initialize.
#include <gtest/gtest.h>

#include <sndfile.h>
#include <unistd.h>

#include <cmath>
#include <filesystem>
#include <string>
#include <vector>

#include "AUFileProcessor.h"
#include "AUHostUnit.h"
#include "SharedBundle.h"
#include "TempFolder.h"

namespace {

// Host ids of the parameters this test sets.
constexpr AudioUnitParameterID kActivityStateID = 2;
constexpr AudioUnitParameterID kMixID = 6;
constexpr float kProcessing = 2.f;

constexpr double kRate = 48000.0;
constexpr float kLevel = 0.5f;
constexpr float kTolerance = 2e-5f; // float round trip through the dry path

// The processed output rises as a square law over a quarter of a second of
// the rate the unit runs at.
double ExpectedFade(long frame, double sampleRate)
{
  const double length = std::floor(0.25 * sampleRate);
  const double position = std::min(static_cast<double>(frame + 1), length);
  return std::pow(position / length, 2.0);
}

} // namespace

TEST(SampleRate, AUnitSetTo48kHzByItsFormatFadesInOverAQuarterSecondAt48kHzWithOrWithoutAReset)
{
  ASSERT_TRUE(SharedBundle().Error().empty()) << SharedBundle().Error();
  for (bool hostResets : {true, false}) {
    SCOPED_TRACE(hostResets ? "reset after initialize" : "no reset after initialize");
    host::AUHostUnit unit(SharedBundle());
    ASSERT_EQ(unit.Open(), noErr);
    ASSERT_EQ(unit.SetFormat(2, kRate), noErr);
    ASSERT_EQ(unit.SetMaxFrames(512), noErr);
    // Processing with the dry path only: the output is the input times the fade.
    ASSERT_EQ(unit.SetParameter(kActivityStateID, kProcessing), noErr);
    ASSERT_EQ(unit.SetParameter(kMixID, 0.f), noErr);
    ASSERT_EQ(unit.ConnectInput([](double, UInt32 n, float* const* ch, int nch) {
      for (int c = 0; c < nch; ++c)
        std::fill(ch[c], ch[c] + n, kLevel);
    }),
              noErr);
    ASSERT_EQ(AudioUnitInitialize(unit.Unit()), noErr);
    if (hostResets) {
      ASSERT_EQ(AudioUnitReset(unit.Unit(), kAudioUnitScope_Global, 0), noErr);
    }

    const long total = 13 * 1024;
    std::vector<float> left(total), right(total);
    for (long done = 0; done < total; done += 512) {
      float* out[2] = {left.data() + done, right.data() + done};
      ASSERT_EQ(unit.Render(static_cast<double>(done), 512, out, 2), noErr);
    }
    // Frames around where a 44.1 kHz fade (11025 frames) would already be full.
    for (long frame : {0L, 2999L, 5999L, 11024L, 11999L, 12000L, total - 1}) {
      EXPECT_NEAR(left[frame], kLevel * ExpectedFade(frame, kRate), kTolerance) << "frame " << frame;
      EXPECT_NEAR(right[frame], kLevel * ExpectedFade(frame, kRate), kTolerance) << "frame " << frame;
    }
  }
}

TEST(SampleRate, AFileAt48kHzIsProcessedAt48kHz)
{
  const testsupport::TempFolder folder;
  const std::filesystem::path& dir = folder.Path();
  const std::string in = (dir / "level.wav").string(), out = (dir / "faded.wav").string();
  const long frames = 13000;
  SF_INFO info{};
  info.samplerate = static_cast<int>(kRate);
  info.channels = 2;
  info.format = SF_FORMAT_WAV | SF_FORMAT_FLOAT;
  SNDFILE* file = sf_open(in.c_str(), SFM_WRITE, &info);
  ASSERT_NE(file, nullptr);
  const std::vector<float> level(static_cast<size_t>(frames) * 2, kLevel);
  sf_writef_float(file, level.data(), frames);
  sf_close(file);

  host::ProcessOptions options;
  options.mParams = {{kActivityStateID, kProcessing}, {kMixID, 0.f}};
  ASSERT_EQ(host::ProcessFile(SharedBundle(), in, out, options), "");
  info = SF_INFO{};
  file = sf_open(out.c_str(), SFM_READ, &info);
  ASSERT_NE(file, nullptr);
  std::vector<float> result(static_cast<size_t>(info.frames) * 2);
  sf_readf_float(file, result.data(), info.frames);
  sf_close(file);
  ASSERT_EQ(info.frames, frames);
  for (long frame : {0L, 5999L, 11024L, 12999L})
    EXPECT_NEAR(result[2 * frame], kLevel * ExpectedFade(frame, kRate), kTolerance) << "frame " << frame;
}
