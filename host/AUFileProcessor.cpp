#include "AUFileProcessor.h"

#include <sndfile.h>
#include <standin/Host.h>

#include <algorithm>
#include <cmath>
#include <memory>

#include "AUHostUnit.h"

namespace host {

namespace {

struct SndFileCloser
{
  void operator()(SNDFILE* file) const { sf_close(file); }
};
using SndFilePtr = std::unique_ptr<SNDFILE, SndFileCloser>;

constexpr sf_count_t kProgressEvery = 10 * 48000;  // frames between progress reports

// Full scale of an integer sample format; 0 for float formats. Integer files
// are read and written unnormalised with this one factor both ways, so a
// pass-through gives the same integers back.
double IntegerFullScale(int format)
{
  switch (format & SF_FORMAT_SUBMASK) {
  case SF_FORMAT_PCM_S8: case SF_FORMAT_PCM_U8: return 128.0;
  case SF_FORMAT_PCM_16: return 32768.0;
  case SF_FORMAT_PCM_24: return 8388608.0;
  case SF_FORMAT_PCM_32: return 2147483648.0;
  default: return 0.0;
  }
}

} // namespace

std::string ProcessFile(const AUBundle& bundle, const std::string& inPath, const std::string& outPath,
                        const ProcessOptions& options)
{
  SF_INFO inInfo{};
  SndFilePtr in(sf_open(inPath.c_str(), SFM_READ, &inInfo));
  if (!in)
    return "cannot read " + inPath + ": " + sf_strerror(nullptr) + " (give a WAV or AIFF file)";
  const int major = inInfo.format & SF_FORMAT_TYPEMASK;
  if (major != SF_FORMAT_WAV && major != SF_FORMAT_AIFF && major != SF_FORMAT_WAVEX)
    return inPath + " is neither WAV nor AIFF";
  if (inInfo.channels < 1 || inInfo.channels > 2)
    return inPath + " has " + std::to_string(inInfo.channels) + " channels; the plug-in takes 1 or 2";
  const unsigned block = std::clamp(options.mBlockSize, 1u, 4096u);

  AUHostUnit unit(bundle);
  if (OSStatus s = unit.Open(); s != noErr)
    return "the plug-in did not open (status " + std::to_string(s) + ")";
  if (OSStatus s = unit.SetFormat(2, inInfo.samplerate); s != noErr)
    return "the plug-in refused " + std::to_string(inInfo.samplerate) + " Hz stereo (status " + std::to_string(s) + ")";
  if (OSStatus s = unit.SetMaxFrames(block); s != noErr)
    return "the plug-in refused blocks of " + std::to_string(block) + " frames (status " + std::to_string(s) + ")";
  for (const auto& [id, value] : options.mParams) {
    if (OSStatus s = unit.SetParameter(id, value); s != noErr)
      return "parameter " + std::to_string(id) + " refused " + std::to_string(value) + " (status " + std::to_string(s) + ")";
  }

  const double fullScale = IntegerFullScale(inInfo.format);
  if (fullScale > 0.0)
    sf_command(in.get(), SFC_SET_NORM_DOUBLE, nullptr, SF_FALSE);

  // The callback reads the next slice of the file, padding with silence.
  std::vector<double> interleaved(static_cast<size_t>(block) * inInfo.channels);
  const double inScale = fullScale > 0.0 ? 1.0 / fullScale : 1.0;
  unit.ConnectInput([&](double, UInt32 nFrames, float* const* channels, int nChannels) {
    const sf_count_t got = sf_readf_double(in.get(), interleaved.data(), nFrames);
    for (int c = 0; c < nChannels; ++c) {
      const int source = std::min(c, inInfo.channels - 1);
      for (UInt32 t = 0; t < nFrames; ++t)
        channels[c][t] = t < got ? static_cast<float>(interleaved[t * inInfo.channels + source] * inScale) : 0.f;
    }
  });
  if (OSStatus s = AudioUnitInitialize(unit.Unit()); s != noErr)
    return "the plug-in did not initialize (status " + std::to_string(s) + ")";
  // As a host does before playback.
  if (OSStatus s = AudioUnitReset(unit.Unit(), kAudioUnitScope_Global, 0); s != noErr)
    return "the plug-in did not reset (status " + std::to_string(s) + ")";

  SF_INFO outInfo{};
  outInfo.samplerate = inInfo.samplerate;
  outInfo.channels = 2;
  outInfo.format = inInfo.format;
  SndFilePtr out(sf_open(outPath.c_str(), SFM_WRITE, &outInfo));
  if (!out)
    return "cannot write " + outPath + ": " + sf_strerror(nullptr);
  if (fullScale > 0.0)
    sf_command(out.get(), SFC_SET_NORM_DOUBLE, nullptr, SF_FALSE);
  // Integer output is clipped to its range rather than wrapped.
  auto toFile = [fullScale](float x) {
    return fullScale > 0.0 ? std::clamp(std::round(x * fullScale), -fullScale, fullScale - 1.0)
                           : static_cast<double>(x);
  };

  const sf_count_t latency = std::max(unit.LatencySamples(), 0);
  const sf_count_t total = inInfo.frames + latency;
  std::vector<float> left(block), right(block);
  std::vector<double> frames(static_cast<size_t>(block) * 2);
  float* ptrs[2] = {left.data(), right.data()};
  sf_count_t done = 0, nextReport = kProgressEvery;
  while (done < total) {
    const UInt32 n = static_cast<UInt32>(std::min<sf_count_t>(block, total - done));
    if (OSStatus s = unit.Render(static_cast<double>(done), n, ptrs, 2); s != noErr)
      return "render failed at frame " + std::to_string(done) + " (status " + std::to_string(s) + ")";
    // Output before the latency has passed belongs to no input frame.
    const sf_count_t skip = std::clamp<sf_count_t>(latency - done, 0, n);
    for (sf_count_t t = skip; t < n; ++t) {
      frames[2 * (t - skip)] = toFile(left[t]);
      frames[2 * (t - skip) + 1] = toFile(right[t]);
    }
    if (sf_writef_double(out.get(), frames.data(), n - skip) != n - skip)
      return "writing " + outPath + " failed: " + sf_strerror(out.get());
    done += n;
    standin::PumpMainRunLoop();
    if (options.mProgress && done >= nextReport) {
      options.mProgress(static_cast<double>(done) / static_cast<double>(total));
      nextReport += kProgressEvery;
    }
  }
  AudioUnitUninitialize(unit.Unit());
  return "";
}

} // namespace host
