#pragma once
// Ways to make a file write fail part-way, for the tests of writers that
// must keep the previous file: a file-size limit (RLIMIT_FSIZE, with SIGXFSZ
// ignored so the write fails instead of killing the process), applied in a
// child process so the test runner itself is never limited; and a small
// tmpfs that fills up (mounting needs root and may be refused: Active() says
// whether it is there, and the test should then skip).
#include <sys/mount.h>
#include <sys/resource.h>
#include <sys/wait.h>
#include <unistd.h>

#include <csignal>
#include <filesystem>
#include <fstream>
#include <functional>
#include <iterator>
#include <string>
#include <vector>

namespace testsupport {

// Runs fn in a child whose files may not grow past `limit` bytes. Returns
// fn's result as 1 or 0, or -1 when the child did not exit normally within
// 30 seconds.
inline int RunWithFileSizeLimit(rlim_t limit, const std::function<bool()>& fn)
{
  const pid_t pid = ::fork();
  if (pid < 0)
    return -1;
  if (pid == 0) {
    std::signal(SIGXFSZ, SIG_IGN);
    struct rlimit rl {};
    ::getrlimit(RLIMIT_FSIZE, &rl);
    rl.rlim_cur = limit;
    ::setrlimit(RLIMIT_FSIZE, &rl);
    ::_exit(fn() ? 1 : 0);
  }
  // A child that hangs (a lock held by another thread at the fork) is
  // stopped after a while and counts as a failed run.
  int status = 0;
  for (int waited = 0; ::waitpid(pid, &status, WNOHANG) == 0; ++waited) {
    if (waited == 3000) {
      ::kill(pid, SIGKILL);
      ::waitpid(pid, &status, 0);
      return -1;
    }
    ::usleep(10000);
  }
  if (!WIFEXITED(status))
    return -1;
  return WEXITSTATUS(status);
}

class SmallTmpfs {
public:
  SmallTmpfs(const std::filesystem::path& dir, const char* size = "64k") : mDir(dir)
  {
    std::filesystem::create_directories(mDir);
    const std::string options = std::string("size=") + size;
    mActive = ::mount("tmpfs", mDir.c_str(), "tmpfs", 0, options.c_str()) == 0;
  }
  ~SmallTmpfs()
  {
    if (mActive)
      ::umount(mDir.c_str());
  }
  SmallTmpfs(const SmallTmpfs&) = delete;
  SmallTmpfs& operator=(const SmallTmpfs&) = delete;

  bool Active() const { return mActive; }
  // Fills the file system up to its last few bytes with one ballast file.
  void Fill()
  {
    std::ofstream ballast(mDir / "ballast", std::ios::binary);
    const std::vector<char> block(4096, 'x');
    while (ballast.write(block.data(), std::streamsize(block.size())) && ballast.flush()) {}
  }

private:
  std::filesystem::path mDir;
  bool mActive = false;
};

inline std::string FileText(const std::filesystem::path& p)
{
  std::ifstream in(p, std::ios::binary);
  return std::string(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
}

// Names in dir other than the ones given: what a failed write left behind.
inline std::vector<std::string> StrayFiles(const std::filesystem::path& dir, const std::vector<std::string>& known)
{
  std::vector<std::string> out;
  for (const auto& e : std::filesystem::directory_iterator(dir)) {
    const std::string name = e.path().filename().string();
    bool isKnown = false;
    for (const auto& k : known)
      isKnown = isKnown || k == name;
    if (!isKnown)
      out.push_back(name);
  }
  return out;
}

} // namespace testsupport
