#include "ReplaceFile.h"

#include <atomic>
#include <cerrno>
#include <climits>
#include <cstdlib>
#include <cstring>
#include <fcntl.h>
#include <string>
#include <sys/stat.h>
#include <unistd.h>

namespace plugin {

namespace {

// A fresh file beside path; -1 when none can be made.
int CreateSibling(const std::string& path, std::string& tempPath)
{
  static std::atomic<unsigned> counter{0};
  for (int attempt = 0; attempt < 100; ++attempt) {
    tempPath = path + ".tmp" + std::to_string(::getpid()) + "-" + std::to_string(counter.fetch_add(1));
    const int fd = ::open(tempPath.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC, 0666);
    if (fd >= 0 || errno != EEXIST)
      return fd;
  }
  return -1;
}

// A target that is not a regular file (a device, a pipe) is written where it
// is: renaming over it would replace the node itself.
bool WriteInPlace(const char* path, const std::function<bool(std::FILE*)>& write)
{
  std::FILE* file = std::fopen(path, "wb");
  if (!file)
    return false;
  bool ok = write(file);
  ok = std::fflush(file) == 0 && ok;
  ok = std::ferror(file) == 0 && ok;
  return std::fclose(file) == 0 && ok;
}

} // namespace

bool ReplaceFile(const char* givenPath, const std::function<bool(std::FILE*)>& write)
{
  if (!givenPath || !*givenPath || !write)
    return false;
  // A link is followed, so the file it names is replaced, not the link.
  std::string target(givenPath);
  struct stat link {};
  if (::lstat(givenPath, &link) == 0 && S_ISLNK(link.st_mode)) {
    if (char* resolved = ::realpath(givenPath, nullptr)) {
      target = resolved;
      std::free(resolved);
    }
  }
  const char* path = target.c_str();
  struct stat old {};
  const bool exists = ::stat(path, &old) == 0;
  if (exists && !S_ISREG(old.st_mode))
    return WriteInPlace(path, write);
  std::string tempPath;
  const int fd = CreateSibling(target, tempPath);
  if (fd < 0)
    return false;
  if (exists)
    ::fchmod(fd, old.st_mode & 07777);
  std::FILE* file = ::fdopen(fd, "wb");
  if (!file) {
    ::close(fd);
    ::unlink(tempPath.c_str());
    return false;
  }
  bool ok = write(file);
  // A full disk or a size limit may only show when the buffer is flushed.
  ok = std::fflush(file) == 0 && ok;
  ok = std::ferror(file) == 0 && ok;
  ok = ::fsync(fd) == 0 && ok;
  ok = std::fclose(file) == 0 && ok;
  ok = ok && ::rename(tempPath.c_str(), path) == 0;
  if (!ok)
    ::unlink(tempPath.c_str());
  return ok;
}

bool ReplaceFile(const char* path, const void* data, size_t size)
{
  if (size > 0 && !data)
    return false;
  return ReplaceFile(path, [data, size](std::FILE* f) { return size == 0 || std::fwrite(data, 1, size, f) == size; });
}

} // namespace plugin
