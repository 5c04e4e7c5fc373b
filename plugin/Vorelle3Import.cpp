// Spectrum of an audio file, and the reduction of any analyser's average
// onto the curve grid. Main thread.
#include <algorithm>
#include <cmath>
#include <new>
#include <vector>

#include "CAudioFile.h"
#include "LogGrid.h"
#include "Vorelle3.h"

namespace {

constexpr double kGridStartHz = 10.0;
constexpr double kGridTopHz = 22050.0;
// Frames converted and fed per step: the doubles never need more than this.
constexpr int kImportBlockFrames = 8192;

constexpr const char* kImportSuccess = "Success!";
constexpr const char* kImportCorrupt = "Error: file corrupt or unsupported!";
constexpr const char* kImportChannels = "Error: channel count > 2!";
constexpr const char* kImportNoFrames = "Error: no frames detected!";

} // namespace

std::unique_ptr<CMFFT> Vorelle3::ImportAudioFile(const char* path, double* sampleRate, int* frameCount)
{
  mImportStatus.Set("");
  try {
    CAudioFile file;
    if (!path || file.Load(path, 0, 0, false) != CAudioFile::kOK) {
      mImportStatus.Set(kImportCorrupt);
      return nullptr;
    }
    const double fs = file.GetSampleRate();
    const int channels = file.GetNumChannels();
    const int frames = file.GetNumFrames();
    if (channels > 2) {
      mImportStatus.Set(kImportChannels);
      return nullptr;
    }

    // The conversion buffer first: the analyser is not built when even this
    // much memory is missing.
    const int block = std::max(1, std::min(frames, kImportBlockFrames));
    std::vector<double> buffer(size_t(block) * size_t(channels));
    double* in[2] = {buffer.data(), channels > 1 ? buffer.data() + block : nullptr};
    const float* src[2] = {file.GetChannelData(0, false), channels > 1 ? file.GetChannelData(1, false) : nullptr};

    auto analyser = std::make_unique<CMFFT>();
    analyser->SetNumChannels(channels);
    analyser->SetSampleRate(fs);
    analyser->SetParam(CMFFT::kParamFFTSize, mFFTSize);
    analyser->SetParam(CMFFT::kParamBandIndex, mBandIndex);
    analyser->SetParam(CMFFT::kParamMode, mSpectrumMode);

    if (frames > 0) {
      for (int c = 0; c < channels; ++c) {
        if (!src[c]) {
          mImportStatus.Set(kImportCorrupt);
          return nullptr;
        }
      }
      // A short file is looped until the analyser has seen one whole frame.
      const int passes = int(std::max(1LL, (mFFTSize + (long long)frames - 1) / frames));
      for (int pass = 0; pass < passes; ++pass) {
        for (int pos = 0; pos < frames; pos += block) {
          const int n = std::min(block, frames - pos);
          for (int c = 0; c < channels; ++c) {
            std::copy(src[c] + pos, src[c] + pos + n, in[c]);
            // One NaN or infinity would spread over the whole average.
            if (!std::all_of(in[c], in[c] + n, [](double x) { return std::isfinite(x); })) {
              mImportStatus.Set(kImportCorrupt);
              return nullptr;
            }
          }
          analyser->ProcessCapture(in, nullptr, n);
        }
      }
    }

    if (int(analyser->GetInfo(CMFFT::kInfoReady)) == 0) {
      mImportStatus.Set(kImportNoFrames);
      return nullptr;
    }
    if (sampleRate)
      *sampleRate = fs;
    if (frameCount)
      *frameCount = frames;
    mImportStatus.Set(kImportSuccess);
    return analyser;
  } catch (const std::bad_alloc&) {
    // A file too long for the memory at hand is refused like an unreadable one.
    mImportStatus.Set(kImportCorrupt);
    return nullptr;
  }
}

bool Vorelle3::MapAnalyserOntoGrid(CMFFT& analyser, double fs, std::vector<double>& out) const
{
  const int n = int(analyser.GetInfo(CMFFT::kInfoFFTSize));
  const double* average = analyser.GetData(CMFFT::kDataAverage);
  const int count = CountLogGridPoints(nullptr, 1.0, mBandsPerOctave, kGridStartHz, kGridTopHz);
  if (!average || n < 2 || count < 1)
    return false;
  std::vector<double> grid(size_t(count), 0.0);
  FillLogGrid(nullptr, grid.data(), 1.0, mBandsPerOctave, kGridStartHz, kGridTopHz);
  out.assign(size_t(count), 0.0);
  MapSpectrumToGrid(average, n, grid.data(), count, out.data(), fs);
  return true;
}
