// The fuzz targets' private folder, seen from outside the process that made it.

#include <gtest/gtest.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cstdlib>
#include <filesystem>
#include <string>

#include "FuzzFiles.h"

namespace {

// Runs body in a child process that then exits normally; gives the text
// the child wrote to its pipe and its exit status.
template <typename Body> std::pair<std::string, int> InChild(Body body)
{
  int fds[2];
  if (::pipe(fds) != 0)
    return {"", -1};
  const pid_t pid = ::fork();
  if (pid == 0) {
    ::close(fds[0]);
    const std::string text = body();
    if (::write(fds[1], text.data(), text.size()) != static_cast<ssize_t>(text.size()))
      std::_Exit(3);
    ::close(fds[1]);
    std::exit(0);
  }
  ::close(fds[1]);
  std::string text;
  char buffer[512];
  ssize_t n;
  while ((n = ::read(fds[0], buffer, sizeof(buffer))) > 0)
    text.append(buffer, static_cast<size_t>(n));
  ::close(fds[0]);
  int status = 0;
  ::waitpid(pid, &status, 0);
  return {text, WIFEXITED(status) ? WEXITSTATUS(status) : 128 + WTERMSIG(status)};
}

} // namespace

TEST(FuzzFiles, FolderIsGoneWhenTheProcessExits)
{
  const auto [folder, status] = InChild([] {
    const std::string file = fuzzsupport::WriteFile("input", reinterpret_cast<const uint8_t*>("abc"), 3);
    return std::filesystem::exists(file) ? fuzzsupport::Folder().string() : std::string();
  });
  ASSERT_EQ(status, 0);
  ASSERT_FALSE(folder.empty()) << "the child could not write its input file";
  EXPECT_FALSE(std::filesystem::exists(folder)) << folder;
}

TEST(FuzzFiles, FilesWrittenAreReadBackWhole)
{
  const std::string bytes(10000, '\x5a');
  const std::string path =
    fuzzsupport::WriteFile("whole", reinterpret_cast<const uint8_t*>(bytes.data()), bytes.size());
  const std::vector<uint8_t> back = fuzzsupport::ReadFile(path);
  EXPECT_EQ(std::string(back.begin(), back.end()), bytes);
  EXPECT_TRUE(fuzzsupport::ReadFile(path + ".none").empty());
}
