#include "DialogAnswer.h"

#include <sys/stat.h>

#include "StagedFile.h"

namespace host {

std::string CheckDialogAnswer(const std::string& path)
{
  // Looked at without opening it: opening a pipe is what waits.
  struct stat st {};
  if (stat(path.c_str(), &st) != 0 || S_ISREG(st.st_mode))
    return "";
  const std::string file = ResolveOutput(path);
  const std::string what = "cannot answer a file dialog with " + path +
                           (file != path ? ": the link leads to " + file + ", which" : ": it");
  if (S_ISDIR(st.st_mode))
    return what + " is a folder; name a file";
  return what + " is not a regular file (a pipe, device or socket): the plug-in would wait on it; name a file";
}

} // namespace host
