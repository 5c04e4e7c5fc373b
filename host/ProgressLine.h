#pragma once
// A progress line for a long job: on a terminal, one line per phase
// rewritten in place with carriage returns and ended with a newline at
// 100 %; to a file or pipe nothing, so logs hold no carriage returns.
// Host main thread.

#include <cstdio>
#include <string>

namespace host {

class ProgressLine {
public:
  // Writes only when `stream` is a terminal.
  explicit ProgressLine(std::FILE* stream);
  ~ProgressLine() { End(); }

  // fraction in [0, 1]; a new phase ends the line of the last one.
  void Show(const char* phase, double fraction);
  // Ends an unfinished line (a job that stopped early).
  void End();

private:
  std::FILE* mStream;
  bool mTerminal;
  std::string mPhase;
  int mPercent = -1;
};

} // namespace host
