#include "AudioOutput.h"

#include <unistd.h>

#include <algorithm>
#include <cmath>
#include <filesystem>

#include "AudioInput.h"
#include "Wording.h"

namespace host {

namespace fs = std::filesystem;

namespace {

std::string Lower(std::string s)
{
  for (char& c : s)
    c = char(std::tolower(static_cast<unsigned char>(c)));
  return s;
}

} // namespace

std::string OutputFormatFor(const std::string& target, int inputFormat, int& format)
{
  const std::string ext = Lower(fs::path(target).extension().string());
  int major = 0;
  if (ext == ".wav")
    major = (inputFormat & SF_FORMAT_TYPEMASK) == SF_FORMAT_WAVEX ? SF_FORMAT_WAVEX : SF_FORMAT_WAV;
  else if (ext == ".aif" || ext == ".aiff" || ext == ".aifc")
    major = SF_FORMAT_AIFF;
  else
    return "the output " + target + " must end in .wav or .aiff (.aif), which says the format to write";
  // A lossy or compressed input (ADPCM, mu-law...) is not encoded again:
  // that loses more and pads the file to the codec's blocks.
  const int sub = inputFormat & SF_FORMAT_SUBMASK;
  const bool linear = IntegerFullScale(inputFormat) > 0.0 || sub == SF_FORMAT_FLOAT || sub == SF_FORMAT_DOUBLE;
  SF_INFO probe{};
  probe.samplerate = 48000;
  probe.channels = 2;
  probe.format = major | sub;
  if (!linear || !sf_format_check(&probe))
    probe.format = major | SF_FORMAT_FLOAT;
  format = probe.format;
  return "";
}

std::string AudioOutput::Open(const std::string& target, int format, int sampleRate)
{
  Discard();
  int fd = -1;
  if (std::string e = mStaged.Create(target, fd); !e.empty())
    return e;
  SF_INFO info{};
  info.samplerate = sampleRate;
  info.channels = 2;
  info.format = format;
  mFile = sf_open_fd(fd, SFM_WRITE, &info, SF_FALSE);
  if (!mFile) {
    const std::string why = LibraryReason(sf_strerror(nullptr));
    close(fd);
    mStaged.Discard();
    return "cannot write " + target + ": the audio library would not start the file (" + why + ")";
  }
  mFd = fd;
  mWritten = 0;
  mFullScale = IntegerFullScale(format);
  if (mFullScale > 0.0)
    sf_command(mFile, SFC_SET_NORM_DOUBLE, nullptr, SF_FALSE);
  return "";
}

std::string AudioOutput::Write(const float* left, const float* right, size_t n)
{
  if (!mFile)
    return "writing " + mStaged.Target() + " failed: the file is not open";
  mFrames.resize(2 * n);
  for (size_t t = 0; t < n; ++t) {
    const float x[2] = {left[t], right[t]};
    for (int c = 0; c < 2; ++c)
      mFrames[2 * t + size_t(c)] = mFullScale > 0.0
                                     ? std::clamp(std::round(double(x[c]) * mFullScale), -mFullScale, mFullScale - 1.0)
                                     : double(x[c]);
  }
  if (sf_writef_double(mFile, mFrames.data(), sf_count_t(n)) != sf_count_t(n))
    return "writing " + mStaged.Target() + " failed: " + LibraryReason(sf_strerror(mFile)) +
           "; the previous file, if any, is kept";
  mWritten += (long long)n;
  return "";
}

std::string AudioOutput::Commit()
{
  if (std::string e = Complete(); !e.empty())
    return e;
  return PutInPlace();
}

std::string AudioOutput::Complete()
{
  if (!mFile)
    return "writing " + mStaged.Target() + " failed: the file is not open";
  const int closed = sf_close(mFile);
  mFile = nullptr;
  if (closed != 0) {
    const std::string why = LibraryReason(sf_error_number(closed));
    Discard();
    return "writing " + mStaged.Target() + " failed when closing it: " + why + "; the previous file, if any, is kept";
  }
  const int fd = mFd;
  mFd = -1;
  return mStaged.Complete(fd);
}

void AudioOutput::Discard()
{
  if (mFile) {
    sf_close(mFile);
    mFile = nullptr;
  }
  if (mFd >= 0) {
    close(mFd);
    mFd = -1;
  }
  mStaged.Discard();
}

} // namespace host
