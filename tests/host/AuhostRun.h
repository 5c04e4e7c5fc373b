#pragma once
// The auhost program run as a user runs it, from the host tests: its exit
// status and what it printed, with a file-size limit (a full disk) or a
// pipe as standard input when asked; and test noise to feed it.

#include <fcntl.h>
#include <signal.h>
#include <sys/resource.h>
#include <sys/wait.h>
#include <unistd.h>

#include <filesystem>
#include <string>
#include <vector>

#include "HostFiles.h"
#include "TempFolder.h"

namespace hosttest {

// Seconds before a run is ended by SIGALRM (its status then 128 + SIGALRM).
inline constexpr unsigned kRunSeconds = 120;

struct Result {
  int status = -1; // exit status, or 128 + signal
  std::string out, err;
};

inline std::vector<const char*> Argv(const std::vector<std::string>& args)
{
  std::vector<const char*> argv{AUHOST_PATH};
  for (const std::string& a : args)
    argv.push_back(a.c_str());
  argv.push_back(nullptr);
  return argv;
}

inline int Wait(pid_t pid)
{
  int status = 0;
  waitpid(pid, &status, 0);
  return WIFEXITED(status) ? WEXITSTATUS(status) : 128 + WTERMSIG(status);
}

// Runs auhost with stdout and stderr into files of `dir`; fileLimit > 0
// caps the size of any file it writes (with SIGXFSZ ignored, as a full disk
// makes a write fail).
// With `input`, standard input is a pipe that carries those bytes.
inline Result RunAuhost(const testsupport::TempFolder& dir, const std::vector<std::string>& args, long fileLimit = 0,
                        bool inDir = false, const std::string* input = nullptr)
{
  const std::string outPath = dir.File("stdout.txt"), errPath = dir.File("stderr.txt");
  const std::vector<const char*> argv = Argv(args);
  int pipeEnds[2] = {-1, -1};
  if (input && pipe(pipeEnds) != 0)
    return {};
  const pid_t pid = fork();
  if (pid == 0) {
    if (input) {
      dup2(pipeEnds[0], 0);
      close(pipeEnds[0]);
      close(pipeEnds[1]);
    }
    const int o = open(outPath.c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0600);
    const int e = open(errPath.c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0600);
    dup2(o, 1);
    dup2(e, 2);
    if (inDir && chdir(dir.Path().c_str()) != 0)
      _exit(126);
    // A run that hangs ends rather than the suite.
    alarm(kRunSeconds);
    if (fileLimit > 0) {
      signal(SIGXFSZ, SIG_IGN);
      const rlimit limit{rlim_t(fileLimit), rlim_t(fileLimit)};
      setrlimit(RLIMIT_FSIZE, &limit);
    }
    execv(AUHOST_PATH, const_cast<char* const*>(argv.data()));
    _exit(127);
  }
  if (input) {
    // A reader that stops early ends the writing (EPIPE, not SIGPIPE).
    signal(SIGPIPE, SIG_IGN);
    close(pipeEnds[0]);
    for (size_t done = 0; done < input->size();) {
      const ssize_t n = write(pipeEnds[1], input->data() + done, input->size() - done);
      if (n <= 0)
        break;
      done += size_t(n);
    }
    close(pipeEnds[1]);
  }
  Result r;
  r.status = Wait(pid);
  r.out = hosttest::ReadBytes(outPath);
  r.err = hosttest::ReadBytes(errPath);
  std::filesystem::remove(outPath);
  std::filesystem::remove(errPath);
  return r;
}

inline std::vector<float> Noise(int frames, float peak)
{
  std::vector<float> x(size_t(frames) * 2);
  uint32_t s = 99;
  for (float& v : x) {
    s = s * 1664525u + 1013904223u;
    v = peak * (float(s >> 8) / float(1u << 24) * 2.f - 1.f);
  }
  return x;
}

} // namespace hosttest
