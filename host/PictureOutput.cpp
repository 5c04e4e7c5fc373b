#include "PictureOutput.h"

#include <unistd.h>

#include <cerrno>
#include <cstring>

namespace host {

std::string WritePictureFile(const std::string& path, const std::vector<uint8_t>& bytes)
{
  StagedFile staged;
  if (std::string e = StagePictureFile(staged, path, bytes); !e.empty())
    return e;
  return staged.PutInPlace();
}

std::string StagePictureFile(StagedFile& staged, const std::string& path, const std::vector<uint8_t>& bytes)
{
  if (bytes.empty())
    return "cannot write " + path + ": the picture could not be encoded";
  int fd = -1;
  if (std::string e = staged.Create(path, fd); !e.empty())
    return e;
  for (size_t done = 0; done < bytes.size();) {
    const ssize_t n = write(fd, bytes.data() + done, bytes.size() - done);
    if (n < 0 && errno == EINTR)
      continue;
    if (n <= 0) {
      const std::string why = n == 0 ? std::strerror(ENOSPC) : std::strerror(errno);
      close(fd);
      staged.Discard();
      return "writing " + path + " failed: " + why + "; the previous file, if any, is kept";
    }
    done += size_t(n);
  }
  return staged.Complete(fd);
}

} // namespace host
