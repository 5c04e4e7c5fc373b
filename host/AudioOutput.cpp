#include "AudioOutput.h"

#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <cmath>
#include <cstdio>
#include <cstring>
#include <filesystem>

#include "AudioInput.h"
#include "InterruptCleanup.h"
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

std::string Folder(const std::string& target)
{
  const fs::path parent = fs::path(target).parent_path();
  return parent.empty() ? std::string(".") : parent.string();
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

std::string ResolveOutput(const std::string& target)
{
  fs::path p = target;
  std::error_code ec;
  // A link chain longer than the system follows is left to fail as it would.
  for (int hops = 0; hops < 40 && fs::is_symlink(p, ec); ++hops) {
    const fs::path next = fs::read_symlink(p, ec);
    if (ec)
      break;
    p = next.is_absolute() ? next : p.parent_path() / next;
  }
  return p.string();
}

std::string CheckOutputTarget(const std::string& target)
{
  if (target.empty())
    return "name an output file";
  const std::string file = ResolveOutput(target);
  const std::string folder = Folder(file);
  std::error_code ec;
  if (!fs::is_directory(folder, ec))
    return "cannot write " + target + ": the folder " + folder + " does not exist (make it first)";
  if (access(folder.c_str(), W_OK | X_OK) != 0)
    return "cannot write " + target + ": the folder " + folder + " is not writable";
  if (fs::is_directory(file, ec))
    return "cannot write " + target + ": it is a folder; name a file";
  // In a folder with the sticky bit (as /tmp) only the file's owner, the
  // folder's owner or root may replace a file.
  struct stat dirInfo {
  }, fileInfo{};
  const uid_t me = geteuid();
  if (stat(folder.c_str(), &dirInfo) == 0 && (dirInfo.st_mode & S_ISVTX) && lstat(file.c_str(), &fileInfo) == 0 &&
      me != 0 && fileInfo.st_uid != me && dirInfo.st_uid != me)
    return "cannot replace " + target +
           ": it belongs to another user, in a folder where only a file's owner may "
           "replace it; choose another name";
  return "";
}

bool SameFile(const std::string& a, const std::string& b)
{
  std::error_code ec;
  return fs::exists(a, ec) && fs::exists(b, ec) && fs::equivalent(a, b, ec);
}

std::string AudioOutput::Open(const std::string& target, int format, int sampleRate)
{
  Discard();
  if (std::string e = CheckOutputTarget(target); !e.empty())
    return e;
  mTarget = target;
  mPlace = ResolveOutput(target);
  // ".NAME.XXXXXX", with NAME shortened when that would pass the folder's
  // limit on a name's length.
  const long limit = pathconf(Folder(mPlace).c_str(), _PC_NAME_MAX);
  const size_t room = size_t(limit > 0 ? limit : 255) - std::strlen("..XXXXXX");
  std::string leaf = ".";
  leaf += fs::path(mPlace).filename().string().substr(0, room);
  leaf += ".XXXXXX";
  std::string pattern = (fs::path(Folder(mPlace)) / leaf).string();
  int fd = -1;
  {
    // An interruption between the two would leave the file unknown.
    const InterruptsHeld held;
    fd = mkstemp(pattern.data());
    if (fd >= 0)
      mCleanupSlot = RegisterInterruptCleanup(pattern);
  }
  if (fd < 0)
    return "cannot write " + target + ": " + std::strerror(errno);
  mTempPath = pattern;
  // As a new file would be made, or as the file it replaces was.
  struct stat existing {};
  if (stat(mPlace.c_str(), &existing) == 0) {
    fchmod(fd, existing.st_mode & 07777);
  } else {
    const mode_t mask = umask(0);
    umask(mask);
    fchmod(fd, 0666 & ~mask);
  }
  SF_INFO info{};
  info.samplerate = sampleRate;
  info.channels = 2;
  info.format = format;
  mFile = sf_open_fd(fd, SFM_WRITE, &info, SF_TRUE);
  if (!mFile) {
    const std::string why = LibraryReason(sf_strerror(nullptr));
    close(fd);
    Discard();
    return "cannot write " + target + ": the audio library would not start the file (" + why + ")";
  }
  mWritten = 0;
  mFullScale = IntegerFullScale(format);
  if (mFullScale > 0.0)
    sf_command(mFile, SFC_SET_NORM_DOUBLE, nullptr, SF_FALSE);
  return "";
}

std::string AudioOutput::Write(const float* left, const float* right, size_t n)
{
  if (!mFile)
    return "writing " + mTarget + " failed: the file is not open";
  mFrames.resize(2 * n);
  for (size_t t = 0; t < n; ++t) {
    const float x[2] = {left[t], right[t]};
    for (int c = 0; c < 2; ++c)
      mFrames[2 * t + size_t(c)] = mFullScale > 0.0
                                     ? std::clamp(std::round(double(x[c]) * mFullScale), -mFullScale, mFullScale - 1.0)
                                     : double(x[c]);
  }
  if (sf_writef_double(mFile, mFrames.data(), sf_count_t(n)) != sf_count_t(n))
    return "writing " + mTarget + " failed: " + LibraryReason(sf_strerror(mFile)) +
           "; the previous file, if any, is kept";
  mWritten += (long long)n;
  return "";
}

std::string AudioOutput::Commit()
{
  if (!mFile)
    return "writing " + mTarget + " failed: the file is not open";
  sf_write_sync(mFile);
  const int closed = sf_close(mFile);
  mFile = nullptr;
  if (closed != 0) {
    const std::string why = LibraryReason(sf_error_number(closed));
    Discard();
    return "writing " + mTarget + " failed when closing it: " + why + "; the previous file, if any, is kept";
  }
  if (std::rename(mTempPath.c_str(), mPlace.c_str()) != 0) {
    const std::string why = std::strerror(errno);
    Discard();
    return "cannot put " + mTarget + " in place: " + why;
  }
  UnregisterInterruptCleanup(mCleanupSlot);
  mCleanupSlot = -1;
  mTempPath.clear();
  return "";
}

void AudioOutput::Discard()
{
  if (mFile) {
    sf_close(mFile);
    mFile = nullptr;
  }
  if (!mTempPath.empty()) {
    unlink(mTempPath.c_str());
    mTempPath.clear();
  }
  UnregisterInterruptCleanup(mCleanupSlot);
  mCleanupSlot = -1;
}

} // namespace host
