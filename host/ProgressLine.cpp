#include "ProgressLine.h"

#include <unistd.h>

#include <algorithm>
#include <cmath>

namespace host {

ProgressLine::ProgressLine(std::FILE* stream) : mStream(stream), mTerminal(isatty(fileno(stream)) == 1) {}

void ProgressLine::Show(const char* phase, double fraction)
{
  if (!mTerminal)
    return;
  if (mPhase != phase)
    End();
  const int percent = int(std::floor(std::clamp(fraction, 0.0, 1.0) * 100.0));
  if (mPhase == phase && percent == mPercent)
    return;
  mPhase = phase;
  mPercent = percent;
  std::fprintf(mStream, "\r%-10s %3d%%", phase, percent);
  if (percent == 100) {
    std::fputc('\n', mStream);
    mPhase.clear();
    mPercent = -1;
  }
  std::fflush(mStream);
}

void ProgressLine::End()
{
  if (mTerminal && !mPhase.empty()) {
    std::fputc('\n', mStream);
    std::fflush(mStream);
  }
  mPhase.clear();
  mPercent = -1;
}

} // namespace host
