#pragma once
// An output audio file that appears only when it is complete: samples go to
// a temporary file beside the target, which is renamed over the target by
// Commit once every write and the close succeeded. A refused or interrupted
// job (destruction without Commit, or a signal, see InterruptCleanup)
// removes the temporary file and leaves an existing target as it was.
// Stereo; integer formats are clipped to their range, not wrapped. Host main
// thread.

#include <sndfile.h>

#include <string>
#include <vector>

namespace host {

// The file format for target, from its extension: ".wav" writes WAV (or
// the input's extensible WAV), ".aif"/".aiff"/".aifc" AIFF; the sample
// format is the input's when it is linear PCM or float and the container
// holds it, else 32-bit float (a compressed input is never encoded again).
// Empty on success, else why the name is refused.
std::string OutputFormatFor(const std::string& target, int inputFormat, int& format);

// Where writing target puts the file: a symbolic link (or a chain of them)
// is followed, so the link stays a link and the file it points to is
// replaced.
std::string ResolveOutput(const std::string& target);

// Empty when target (followed as above) names a file in an existing folder
// this process may write to and may replace there, else what is wrong with
// it. Checked before any work, so a job is not done in vain.
std::string CheckOutputTarget(const std::string& target);

// True when both names reach one file (same path, a link, a relative path).
bool SameFile(const std::string& a, const std::string& b);

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
  // Drops the temporary file (nothing when committed or never opened).
  void Discard();
  // Frames written since Open.
  long long FramesWritten() const { return mWritten; }

private:
  SNDFILE* mFile = nullptr;
  std::string mTarget; // as the user named it
  std::string mPlace;  // the file that is replaced
  std::string mTempPath;
  int mCleanupSlot = -1;
  double mFullScale = 0.0;
  long long mWritten = 0;
  std::vector<double> mFrames;
};

} // namespace host
