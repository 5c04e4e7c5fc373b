#pragma once
// A WAV or AIFF file of one or two channels read from the start as the unit
// pulls it: planar floats, a mono file feeding both channels, silence after
// the end. A file that ends before its header's frame count is an error,
// never silence passed off as audio: a seekable file is refused by Open, a
// pipe when its reading comes short. Integer files are read unnormalised
// and scaled by their full scale, so a pass-through writes the same
// integers back (AudioOutput uses the same factor). The first non-finite sample met is remembered: the
// caller refuses the file then. Host main thread.

#include <sndfile.h>

#include <memory>
#include <string>
#include <vector>

namespace host {

struct SndFileCloser {
  void operator()(SNDFILE* file) const { sf_close(file); }
};
using SndFilePtr = std::unique_ptr<SNDFILE, SndFileCloser>;

// The rates the plug-in runs at sensibly: its timings (a quarter-second fade,
// 25 ms meter, 16384-sample analysis frame) lose their meaning outside them.
inline constexpr int kMinSampleRate = 8000;
inline constexpr int kMaxSampleRate = 768000;

// Full scale of an integer sample format; 0 for float formats.
double IntegerFullScale(int format);

class AudioInput {
public:
  // Empty on success, else what is wrong with the file.
  std::string Open(const std::string& path);
  // False for a pipe or stream: it can be read once only.
  bool Seekable() const { return mInfo.seekable != 0; }
  // Back to the first frame; empty on success, else why it cannot.
  std::string Rewind();
  const SF_INFO& Info() const { return mInfo; }
  const std::string& Path() const { return mPath; }
  long long Frames() const { return mInfo.frames; }
  long long Position() const { return mPos; }

  // The next nFrames into nChannels planar buffers; past the end, silence.
  // A non-finite sample is passed on as silence and remembered.
  void Read(unsigned nFrames, float* const* channels, int nChannels);

  // Largest magnitude read so far.
  float Peak() const { return mPeak; }
  // Empty, or the message refusing the file: its first non-finite sample,
  // or its end before the frames its header declares.
  std::string ReadError() const;

private:
  SndFilePtr mFile;
  SF_INFO mInfo{};
  std::string mPath;
  double mScale = 1.0;
  std::vector<double> mInterleaved;
  long long mPos = 0;
  long long mNonFiniteFrame = -1;
  long long mEndedAt = -1; // frames delivered when the data ran out early
  float mPeak = 0.f;
};

} // namespace host
