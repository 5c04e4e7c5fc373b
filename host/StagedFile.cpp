#include "StagedFile.h"

#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstdio>
#include <cstring>
#include <filesystem>

#include "InterruptCleanup.h"

namespace host {

namespace fs = std::filesystem;

namespace {

StagedFault gFault = nullptr;

int Injected(const std::string& target, StagedStep step) { return gFault ? gFault(target, step) : 0; }

std::string Folder(const std::string& target)
{
  const fs::path parent = fs::path(target).parent_path();
  return parent.empty() ? std::string(".") : parent.string();
}

long FolderLimit(const std::string& folder, int name, long otherwise)
{
  const long limit = pathconf(folder.c_str(), name);
  return limit > 0 ? limit : otherwise;
}

// The mkstemp pattern beside place: ".NAME.XXXXXX", with NAME shortened
// when that would pass the folder's limit on a name's length.
std::string StagedPattern(const std::string& place)
{
  const size_t room = size_t(FolderLimit(Folder(place), _PC_NAME_MAX, 255)) - std::strlen("..XXXXXX");
  std::string leaf = ".";
  leaf += fs::path(place).filename().string().substr(0, room);
  leaf += ".XXXXXX";
  return (fs::path(Folder(place)) / leaf).string();
}

} // namespace

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
  const size_t name = fs::path(file).filename().string().size();
  if (const long most = FolderLimit(folder, _PC_NAME_MAX, 255); name > size_t(most))
    return "cannot write " + target + ": its name is " + std::to_string(name) + " bytes long, and the folder " + folder +
           " takes names of " + std::to_string(most) + " bytes at most; choose a shorter name";
  // The temporary file's path, a few bytes longer, must be one the system takes too.
  if (const long most = FolderLimit(folder, _PC_PATH_MAX, 4096); StagedPattern(file).size() >= size_t(most))
    return "cannot write " + target + ": its path is too long (the system takes " + std::to_string(most - 1) +
           " bytes, and the file is written beside it under a name " +
           std::to_string(StagedPattern(file).size() - file.size()) + " bytes longer first); choose a shorter path";
  struct stat dirInfo {
  }, fileInfo{};
  const bool exists = lstat(file.c_str(), &fileInfo) == 0;
  // Renaming a file over a device, pipe or socket would put it out of use.
  if (exists && !S_ISREG(fileInfo.st_mode))
    return "cannot write " + target + (file != target ? ": the link leads to " + file + ", which" : ": it") +
           " is not a regular file (a device, pipe or socket); name a file";
  // In a folder with the sticky bit (as /tmp) only the file's owner, the
  // folder's owner or root may replace a file.
  const uid_t me = geteuid();
  if (exists && stat(folder.c_str(), &dirInfo) == 0 && (dirInfo.st_mode & S_ISVTX) && me != 0 &&
      fileInfo.st_uid != me && dirInfo.st_uid != me)
    return "cannot replace " + target +
           ": it belongs to another user, in a folder where only a file's owner may "
           "replace it; choose another name";
  return "";
}

bool SameFile(const std::string& a, const std::string& b)
{
  std::error_code ec;
  if (fs::exists(a, ec) && fs::exists(b, ec) && fs::equivalent(a, b, ec))
    return true;
  // Not written yet: the names compared as the system would resolve them.
  const fs::path pa = fs::weakly_canonical(fs::absolute(ResolveOutput(a), ec), ec);
  if (ec)
    return false;
  const fs::path pb = fs::weakly_canonical(fs::absolute(ResolveOutput(b), ec), ec);
  return !ec && pa == pb;
}

std::string StagedFile::Create(const std::string& target, int& fd)
{
  Discard();
  fd = -1;
  if (std::string e = CheckOutputTarget(target); !e.empty())
    return e;
  mTarget = target;
  mPlace = ResolveOutput(target);
  std::string pattern = StagedPattern(mPlace);
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
  return "";
}

std::string StagedFile::Complete(int fd)
{
  int error = Injected(mTarget, StagedStep::kSync);
  if (!error && fsync(fd) != 0)
    error = errno;
  const char* when = "";
  if (error) {
    close(fd);
  } else {
    error = Injected(mTarget, StagedStep::kClose);
    if (close(fd) != 0 && !error)
      error = errno;
    when = " when closing it";
  }
  if (!error)
    return "";
  Discard();
  return "writing " + mTarget + " failed" + when + ": " + std::strerror(error) + "; the previous file, if any, is kept";
}

std::string StagedFile::PutInPlace()
{
  if (mTempPath.empty())
    return "writing " + mTarget + " failed: the file is not open";
  int error = Injected(mTarget, StagedStep::kRename);
  if (!error && std::rename(mTempPath.c_str(), mPlace.c_str()) != 0)
    error = errno;
  if (error) {
    const std::string why = std::strerror(error);
    Discard();
    return "cannot put " + mTarget + " in place: " + why;
  }
  UnregisterInterruptCleanup(mCleanupSlot);
  mCleanupSlot = -1;
  mTempPath.clear();
  return "";
}

void StagedFile::Discard()
{
  if (!mTempPath.empty()) {
    unlink(mTempPath.c_str());
    mTempPath.clear();
  }
  UnregisterInterruptCleanup(mCleanupSlot);
  mCleanupSlot = -1;
}

void SetStagedFaultForTesting(StagedFault fault) { gFault = fault; }

} // namespace host
