#pragma once
// Where an output goes and how it appears: the rules every file auhost
// writes follows (audio, pictures), and the temporary file beside the
// target that is renamed over it only once it is complete. A refused or
// interrupted job (destruction without PutInPlace, or a signal, see
// InterruptCleanup) removes the temporary file and leaves an existing
// target as it was. Host main thread.

#include <string>

namespace host {

// Where writing target puts the file: a symbolic link (or a chain of them)
// is followed, so the link stays a link and the file it points to is
// replaced.
std::string ResolveOutput(const std::string& target);

// Empty when target (followed as above) names a regular file, or none yet,
// in an existing folder this process may write to and may replace there,
// else what is wrong with it. Checked before any work, so a job is not done
// in vain, and never replacing a device, pipe or socket with a file; a name
// the folder cannot hold (or whose temporary file it cannot) is refused here
// too, not found at the rename.
std::string CheckOutputTarget(const std::string& target);

// True when both names reach one file (same path, a link, a relative path,
// "..") or would, once written.
bool SameFile(const std::string& a, const std::string& b);

class StagedFile {
public:
  StagedFile() = default;
  ~StagedFile() { Discard(); }
  StagedFile(const StagedFile&) = delete;
  StagedFile& operator=(const StagedFile&) = delete;

  // Checks target and creates the temporary file, with the mode of the file
  // it replaces (or of a new file); fd is the caller's to write and close.
  // Empty on success.
  std::string Create(const std::string& target, int& fd);
  // Flushes the written file to the disk and closes fd; empty on success
  // (else the temporary file is gone too).
  std::string Complete(int fd);
  // Renames the completed temporary file over the target; empty on success
  // (else the target is untouched and the temporary file gone).
  std::string PutInPlace();
  // Removes the temporary file (nothing once in place or never created).
  void Discard();
  const std::string& Target() const { return mTarget; }

private:
  std::string mTarget; // as the user named it
  std::string mPlace;  // the file that is replaced
  std::string mTempPath;
  int mCleanupSlot = -1;
};

// For tests: asked before a staged file's last steps (its target, the
// step); an answer other than 0 is the errno that step then fails with.
enum class StagedStep { kSync, kClose, kRename };
using StagedFault = int (*)(const std::string& target, StagedStep step);
void SetStagedFaultForTesting(StagedFault fault);

} // namespace host
