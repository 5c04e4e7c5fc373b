#include "PictureOutput.h"

#include <unistd.h>

#include <cerrno>
#include <cstring>

#include "StagedFile.h"

namespace host {

std::string WritePictureFile(const std::string& path, const std::vector<uint8_t>& bytes)
{
  if (bytes.empty())
    return "cannot write " + path + ": the picture could not be encoded";
  StagedFile staged;
  int fd = -1;
  if (std::string e = staged.Create(path, fd); !e.empty())
    return e;
  const auto failed = [&](const char* when) {
    const std::string why = std::strerror(errno);
    staged.Discard();
    return "writing " + path + " failed" + when + ": " + why + "; the previous file, if any, is kept";
  };
  for (size_t done = 0; done < bytes.size();) {
    const ssize_t n = write(fd, bytes.data() + done, bytes.size() - done);
    if (n < 0 && errno == EINTR)
      continue;
    if (n <= 0) {
      if (n == 0)
        errno = ENOSPC;
      const std::string e = failed("");
      close(fd);
      return e;
    }
    done += size_t(n);
  }
  if (fsync(fd) != 0) {
    const std::string e = failed("");
    close(fd);
    return e;
  }
  if (close(fd) != 0)
    return failed(" when closing it");
  return staged.PutInPlace();
}

} // namespace host
