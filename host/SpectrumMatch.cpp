#include "SpectrumMatch.h"

#include <sndfile.h>
#include <standin/Host.h>

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <filesystem>
#include <memory>

#include "AUHostUnit.h"
#include "LongTermSpectrum.h"

namespace host {

namespace {

struct SndFileCloser
{
  void operator()(SNDFILE* file) const { sf_close(file); }
};
using SndFilePtr = std::unique_ptr<SNDFILE, SndFileCloser>;

// Output after the reference change fades in over a quarter second; the
// spectrum is measured from this far in.
constexpr double kSettleSeconds = 0.5;
constexpr long long kProgressEvery = 10 * 48000;

std::string Status(OSStatus s)
{
  return " (status " + std::to_string(s) + ")";
}

// A WAV or AIFF file of one or two channels, read from the start as the
// unit pulls it (mono feeds both channels), then silence.
class FileFeed
{
public:
  std::string Open(const std::string& path)
  {
    mFile.reset(sf_open(path.c_str(), SFM_READ, &mInfo));
    if (!mFile)
      return "cannot read " + path + ": " + sf_strerror(nullptr) + " (give a WAV or AIFF file)";
    const int major = mInfo.format & SF_FORMAT_TYPEMASK;
    if (major != SF_FORMAT_WAV && major != SF_FORMAT_AIFF && major != SF_FORMAT_WAVEX)
      return path + " is neither WAV nor AIFF";
    if (mInfo.channels < 1 || mInfo.channels > 2)
      return path + " has " + std::to_string(mInfo.channels) + " channels; the plug-in takes 1 or 2";
    if (mInfo.frames < 1)
      return path + " holds no audio";
    return "";
  }
  void Rewind() { sf_seek(mFile.get(), 0, SEEK_SET); mPos = 0; }
  const SF_INFO& Info() const { return mInfo; }
  long long Position() const { return mPos; }

  void Read(UInt32 nFrames, float* const* channels, int nChannels)
  {
    mInterleaved.resize(size_t(nFrames) * size_t(mInfo.channels));
    const sf_count_t got = sf_readf_float(mFile.get(), mInterleaved.data(), nFrames);
    for (int c = 0; c < nChannels; ++c) {
      const int source = std::min(c, mInfo.channels - 1);
      for (UInt32 t = 0; t < nFrames; ++t)
        channels[c][t] = sf_count_t(t) < got ? mInterleaved[size_t(t) * size_t(mInfo.channels) + size_t(source)] : 0.f;
    }
    mPos += nFrames;
  }

private:
  SndFilePtr mFile;
  SF_INFO mInfo{};
  std::vector<float> mInterleaved;
  long long mPos = 0;
};

// A value the unit would silently ignore, overrule or clamp is refused
// here, so the user never gets something other than what was asked for.
std::string CheckHostParameter(const AUHostUnit& unit, unsigned id, float value)
{
  if (id >= unit.NParameters())
    return "the plug-in has no parameter " + std::to_string(id) + " (it has 0 to " +
           std::to_string(unit.NParameters() - 1) + ")";
  const AudioUnitParameterInfo info = unit.ParameterInfo(id);
  const std::string name = "parameter " + std::to_string(id) + " (\"" + info.name + "\")";
  if (id == kParamActivityState)
    return name + " is driven by the job itself: Capture, then Processing";
  if (id == kParamReferenceMode)
    return name + " is chosen with --reference";
  if (info.flags & kAudioUnitParameterFlag_NonRealTime)
    return name + " cannot be set from a host; only the plug-in's editor changes it";
  if (!std::isfinite(value) || value < info.minValue || value > info.maxValue) {
    char range[64];
    std::snprintf(range, sizeof(range), "%g to %g", double(info.minValue), double(info.maxValue));
    return name + " takes " + range;
  }
  return "";
}

bool SamePath(const std::string& a, const std::string& b)
{
  std::error_code ec;
  return std::filesystem::exists(b, ec) && std::filesystem::equivalent(a, b, ec);
}

} // namespace

std::string RunSpectrumMatch(const AUBundle& bundle, const MatchOptions& options, MatchReport& report)
{
  report = MatchReport();
  if (options.mReference < 0 || options.mReference > 3)
    return "the reference must be one of the built-in ones, 0 to 3";
  if (options.mOutPath.empty())
    return "name an output file";
  if (SamePath(options.mInPath, options.mOutPath) ||
      (!options.mCapturePath.empty() && SamePath(options.mCapturePath, options.mOutPath)))
    return "the output file must not be an input file; choose another name for " + options.mOutPath;

  FileFeed input, capture;
  if (std::string e = input.Open(options.mInPath); !e.empty())
    return e;
  FileFeed* captureFeed = &input;
  if (!options.mCapturePath.empty()) {
    if (std::string e = capture.Open(options.mCapturePath); !e.empty())
      return e;
    if (capture.Info().samplerate != input.Info().samplerate)
      return "the capture file runs at " + std::to_string(capture.Info().samplerate) + " Hz and the input at " +
             std::to_string(input.Info().samplerate) + " Hz; give both at one rate";
    captureFeed = &capture;
  }
  const double rate = input.Info().samplerate;
  const unsigned block = std::clamp(options.mBlockSize, 1u, 4096u);
  report.mSampleRate = rate;
  report.mChannels = input.Info().channels;
  report.mFrames = input.Info().frames;
  report.mCaptureFrames = captureFeed->Info().frames;

  AUHostUnit unit(bundle);
  if (OSStatus s = unit.Open(); s != noErr)
    return "the plug-in did not open" + Status(s);
  if (OSStatus s = unit.SetFormat(2, rate); s != noErr)
    return "the plug-in refused " + std::to_string(int(rate)) + " Hz stereo" + Status(s);
  if (OSStatus s = unit.SetMaxFrames(block); s != noErr)
    return "the plug-in refused blocks of " + std::to_string(block) + " frames" + Status(s);
  for (const auto& [id, value] : options.mParams) {
    if (std::string e = CheckHostParameter(unit, id, value); !e.empty())
      return e;
    if (OSStatus s = unit.SetParameter(id, value); s != noErr)
      return "parameter " + std::to_string(id) + " refused " + std::to_string(value) + Status(s);
  }
  FileFeed* feed = captureFeed;
  unit.ConnectInput([&feed](double, UInt32 nFrames, float* const* channels, int nChannels) {
    feed->Read(nFrames, channels, nChannels);
  });
  if (OSStatus s = AudioUnitInitialize(unit.Unit()); s != noErr)
    return "the plug-in did not initialize" + Status(s);
  // As a host does before playback: the unit sets itself up for the rate
  // and block size it was given.
  if (OSStatus s = AudioUnitReset(unit.Unit(), kAudioUnitScope_Global, 0); s != noErr)
    return "the plug-in did not reset" + Status(s);

  std::vector<float> left(block), right(block), mono(block);
  float* out[2] = {left.data(), right.data()};
  double sampleTime = 0.0;  // the host's timeline runs on through both passes
  auto renderBlock = [&](UInt32 n) -> OSStatus {
    const OSStatus s = unit.Render(sampleTime, n, out, 2);
    sampleTime += n;
    standin::PumpMainRunLoop();
    return s;
  };

  // Capture: the audio passes through while the plug-in takes its fingerprint.
  if (OSStatus s = unit.SetParameter(kParamActivityState, kActivityCapture); s != noErr)
    return "the plug-in refused to capture" + Status(s);
  captureFeed->Rewind();
  for (long long done = 0, next = kProgressEvery; done < report.mCaptureFrames;) {
    const UInt32 n = UInt32(std::min<long long>(block, report.mCaptureFrames - done));
    if (OSStatus s = renderBlock(n); s != noErr)
      return "render failed while capturing at frame " + std::to_string(done) + Status(s);
    done += n;
    if (options.mProgress && done >= next) {
      options.mProgress("capture", double(done) / double(report.mCaptureFrames));
      next += kProgressEvery;
    }
  }

  // Processing against the reference: the capture ends and the filter is built.
  if (OSStatus s = unit.SetParameter(kParamReferenceMode, float(options.mReference)); s != noErr)
    return "the plug-in refused reference " + std::to_string(options.mReference) + Status(s);
  if (OSStatus s = unit.SetParameter(kParamActivityState, kActivityProcessing); s != noErr)
    return "the plug-in refused to process" + Status(s);
  standin::PumpMainRunLoop();
  report.mLatency = std::max(unit.LatencySamples(), 0);

  SF_INFO outInfo{};
  outInfo.samplerate = int(rate);
  outInfo.channels = 2;
  outInfo.format = input.Info().format;
  SndFilePtr outFile(sf_open(options.mOutPath.c_str(), SFM_WRITE, &outInfo));
  if (!outFile)
    return "cannot write " + options.mOutPath + ": " + sf_strerror(nullptr) + " (check the folder exists and is writable)";
  sf_command(outFile.get(), SFC_SET_CLIPPING, nullptr, SF_TRUE);

  LongTermSpectrum inSpectrum(rate), outSpectrum(rate);
  const long long settle = std::min<long long>(report.mFrames / 2, (long long)(kSettleSeconds * rate));
  feed = &input;
  input.Rewind();
  unit.ConnectInput([&](double, UInt32 nFrames, float* const* channels, int nChannels) {
    const long long start = input.Position();
    input.Read(nFrames, channels, nChannels);
    for (UInt32 t = 0; t < nFrames; ++t) {
      const long long pos = start + t;
      if (pos >= settle && pos < report.mFrames) {
        const float m = 0.5f * (channels[0][t] + channels[1][t]);
        inSpectrum.Add(&m, 1);
      }
    }
  });

  const long long latency = report.mLatency;
  const long long total = report.mFrames + latency;
  std::vector<float> frames(size_t(block) * 2);
  for (long long done = 0, next = kProgressEvery; done < total;) {
    const UInt32 n = UInt32(std::min<long long>(block, total - done));
    if (OSStatus s = renderBlock(n); s != noErr)
      return "render failed while processing at frame " + std::to_string(done) + Status(s);
    // Output before the latency has passed belongs to no input frame.
    const long long skip = std::clamp<long long>(latency - done, 0, n);
    const size_t kept = size_t(n - skip);
    for (size_t i = 0; i < kept; ++i) {
      const float l = left[size_t(skip) + i], r = right[size_t(skip) + i];
      frames[2 * i] = l;
      frames[2 * i + 1] = r;
      mono[i] = 0.5f * (l + r);
      report.mPeak = std::max({report.mPeak, double(std::fabs(l)), double(std::fabs(r))});
    }
    // Input frame of the first kept sample; the fade-in is left out of the measure.
    const long long firstPos = done + skip - latency;
    const size_t from = size_t(std::clamp<long long>(settle - firstPos, 0, (long long)kept));
    outSpectrum.Add(mono.data() + from, kept - from);
    if (sf_writef_float(outFile.get(), frames.data(), sf_count_t(kept)) != sf_count_t(kept))
      return "writing " + options.mOutPath + " failed: " + sf_strerror(outFile.get());
    done += n;
    if (options.mProgress && done >= next) {
      options.mProgress("processing", double(done) / double(total));
      next += kProgressEvery;
    }
  }
  AudioUnitUninitialize(unit.Unit());

  for (double c : OctaveCentres(rate)) {
    OctaveChange o;
    o.mCentreHz = c;
    o.mInputDB = inSpectrum.BandLevelDB(c / std::sqrt(2.0), c * std::sqrt(2.0));
    o.mOutputDB = outSpectrum.BandLevelDB(c / std::sqrt(2.0), c * std::sqrt(2.0));
    report.mOctaves.push_back(o);
  }
  return "";
}

std::string FormatMatchReport(const MatchOptions& options, const MatchReport& report)
{
  char line[256];
  std::string text;
  auto add = [&](const char* fmt, auto... args) {
    if constexpr (sizeof...(args) == 0) {
      text += fmt;  // no conversions: not a format
    } else {
      std::snprintf(line, sizeof(line), fmt, args...);
      text += line;
    }
  };
  add("input:      %s (%.0f Hz, %d channel%s, %.2f s)\n", options.mInPath.c_str(), report.mSampleRate,
      report.mChannels, report.mChannels == 1 ? "" : "s", double(report.mFrames) / report.mSampleRate);
  add("capture:    %.2f s of %s played in Capture\n", double(report.mCaptureFrames) / report.mSampleRate,
      options.mCapturePath.empty() ? "the input" : options.mCapturePath.c_str());
  add("processing: against built-in reference %d\n", options.mReference);
  add("latency:    %d samples (%.1f ms)\n", report.mLatency, 1000.0 * report.mLatency / report.mSampleRate);
  const double peakDB = report.mPeak > 0.0 ? 20.0 * std::log10(report.mPeak) : -144.0;
  add("peak:       %.2f dBFS at the output%s\n", peakDB, report.mPeak > 1.0 ? " (clipped in the file)" : "");
  add("wrote:      %s\n", options.mOutPath.c_str());
  add("long-term spectrum per octave, measured by the host (output - input):\n");
  for (const OctaveChange& o : report.mOctaves) {
    if (std::isfinite(o.mInputDB) && std::isfinite(o.mOutputDB))
      add("  %7.0f Hz  %+6.1f dB\n", o.mCentreHz, o.Change());
    else
      add("  %7.0f Hz  (too short to measure)\n", o.mCentreHz);
  }
  return text;
}

} // namespace host
