#include "AudioInput.h"

#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <cmath>
#include <cstring>

#include "HeaderFrames.h"
#include "Wording.h"

namespace host {

namespace {

std::string CutShortError(const std::string& path, long long held, long long declared)
{
  return path + " ended after " + CountOf(held, "frame") + ", though its header declares " + std::to_string(declared) +
         "; the file is cut short: repair or re-export it";
}

} // namespace

double IntegerFullScale(int format)
{
  switch (format & SF_FORMAT_SUBMASK) {
  case SF_FORMAT_PCM_S8:
  case SF_FORMAT_PCM_U8: return 128.0;
  case SF_FORMAT_PCM_16: return 32768.0;
  case SF_FORMAT_PCM_24: return 8388608.0;
  case SF_FORMAT_PCM_32: return 2147483648.0;
  default: return 0.0;
  }
}

std::string AudioInput::Open(const std::string& path)
{
  mPath = path;
  mInfo = SF_INFO{};
  // The host's own reasons first; the reader's text only after them.
  struct stat st {};
  if (path != "-" && stat(path.c_str(), &st) != 0)
    return "cannot read " + path + ": " + std::strerror(errno);
  if (path != "-" && S_ISDIR(st.st_mode))
    return "cannot read " + path + ": it is a folder; give a WAV or AIFF file";
  if (path != "-" && access(path.c_str(), R_OK) != 0)
    return "cannot read " + path + ": " + std::strerror(errno);
  // Standard input may begin part-way into a file: its header is there.
  const long long stdinStart = path == "-" ? (long long)lseek(0, 0, SEEK_CUR) : 0;
  mFile.reset(sf_open(path.c_str(), SFM_READ, &mInfo));
  if (!mFile)
    return "cannot read " + path + ": it is not a WAV or AIFF file the host can read (" +
           LibraryReason(sf_strerror(nullptr)) + ")";
  const int major = mInfo.format & SF_FORMAT_TYPEMASK;
  if (major != SF_FORMAT_WAV && major != SF_FORMAT_AIFF && major != SF_FORMAT_WAVEX)
    return path + " is neither WAV nor AIFF";
  if (mInfo.channels < 1 || mInfo.channels > 2)
    return path + " has " + std::to_string(mInfo.channels) + " channels; the plug-in takes 1 or 2";
  if (mInfo.samplerate < kMinSampleRate || mInfo.samplerate > kMaxSampleRate)
    return path + " runs at " + std::to_string(mInfo.samplerate) + " Hz; the plug-in works at " +
           std::to_string(kMinSampleRate) + " to " + std::to_string(kMaxSampleRate) + " Hz: resample it first";
  if (mInfo.frames < 1)
    return path + " holds no audio";
  // A pipe shows its cut only as it is read; a file is refused alike, at once.
  if (mInfo.seekable)
    if (const long long declared = path == "-" ? HeaderFrames(0, stdinStart) : HeaderFrames(path);
        declared > mInfo.frames)
      return CutShortError(path, mInfo.frames, declared);
  const double fullScale = IntegerFullScale(mInfo.format);
  if (fullScale > 0.0) {
    sf_command(mFile.get(), SFC_SET_NORM_DOUBLE, nullptr, SF_FALSE);
    mScale = 1.0 / fullScale;
  }
  mPos = 0;
  mNonFiniteFrame = -1;
  mEndedAt = -1;
  mPeak = 0.f;
  return "";
}

std::string AudioInput::Rewind()
{
  if (mPos == 0)
    return "";
  if (sf_seek(mFile.get(), 0, SEEK_SET) != 0)
    return "cannot read " + mPath + " again from its start: " + LibraryReason(sf_strerror(mFile.get()));
  mPos = 0;
  mEndedAt = -1;
  return "";
}

void AudioInput::Read(unsigned nFrames, float* const* channels, int nChannels)
{
  const size_t width = size_t(mInfo.channels);
  mInterleaved.resize(size_t(nFrames) * width);
  const sf_count_t want = std::clamp<sf_count_t>(mInfo.frames - mPos, 0, nFrames);
  const sf_count_t got = want > 0 ? sf_readf_double(mFile.get(), mInterleaved.data(), want) : 0;
  if (got < want && mEndedAt < 0)
    mEndedAt = mPos + got;
  for (sf_count_t t = 0; t < got; ++t) {
    for (size_t c = 0; c < width; ++c) {
      double& x = mInterleaved[size_t(t) * width + c];
      if (!std::isfinite(x)) {
        if (mNonFiniteFrame < 0)
          mNonFiniteFrame = mPos + t;
        x = 0.0;
      }
      x *= mScale;
      mPeak = std::max(mPeak, float(std::fabs(x)));
    }
  }
  for (int c = 0; c < nChannels; ++c) {
    const size_t source = std::min(size_t(c), width - 1);
    for (unsigned t = 0; t < nFrames; ++t)
      channels[c][t] = sf_count_t(t) < got ? float(mInterleaved[size_t(t) * width + source]) : 0.f;
  }
  mPos += nFrames;
}

std::string AudioInput::ReadError() const
{
  if (mEndedAt >= 0)
    return CutShortError(mPath, mEndedAt, mInfo.frames);
  if (mNonFiniteFrame < 0)
    return "";
  return mPath + " holds a sample that is not a number (NaN or infinity) at frame " + std::to_string(mNonFiniteFrame) +
         "; the plug-in cannot process it: repair or re-export the file";
}

} // namespace host
