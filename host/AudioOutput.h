#pragma once
// An output audio file that appears only when it is complete: samples go to
// a staged file beside the target (StagedFile), renamed over the target by
// Commit once every write and the close succeeded. Stereo; integer formats are clipped to their range, not wrapped. Host main
// thread.

#include <sndfile.h>

#include <string>
#include <vector>

#include "StagedFile.h"

namespace host {

// The file format for target, from its extension: ".wav" writes WAV (or
// the input's extensible WAV), ".aif"/".aiff"/".aifc" AIFF; the sample
// format is the input's when it is linear PCM or float and the container
// holds it, else 32-bit float (a compressed input is never encoded again).
// Empty on success, else why the name is refused.
std::string OutputFormatFor(const std::string& target, int inputFormat, int& format);

class AudioOutput {
public:
  AudioOutput() = default;
  ~AudioOutput() { Discard(); }
  AudioOutput(const AudioOutput&) = delete;
  AudioOutput& operator=(const AudioOutput&) = delete;

  // Creates the temporary file; empty on success.
  std::string Open(const std::string& target, int format, int sampleRate);
  // n frames of left and right; empty on success.
  std::string Write(const float* left, const float* right, size_t n);
  // Closes and renames into place; empty on success (else the target is
  // untouched and the temporary file gone).
  std::string Commit();
  // Commit in two steps, for a job with more outputs to put in place
  // together: the file written out and closed, then renamed.
  std::string Complete();
  std::string PutInPlace() { return mStaged.PutInPlace(); }
  // Drops the temporary file (nothing when committed or never opened).
  void Discard();
  // Frames written since Open.
  long long FramesWritten() const { return mWritten; }

private:
  SNDFILE* mFile = nullptr;
  int mFd = -1; // the staged file's, closed by Complete or Discard
  StagedFile mStaged;
  double mFullScale = 0.0;
  long long mWritten = 0;
  std::vector<double> mFrames;
};

} // namespace host
