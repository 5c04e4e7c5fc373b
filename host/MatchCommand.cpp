// auhost match IN OUT [--reference N] [--capture FILE] [--param ID=VALUE]...
//                     [--block N] [--bundle PATH]
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string>

#include "SpectrumMatch.h"

namespace host {

namespace {

int MatchUsage(const char* problem)
{
  std::fprintf(stderr,
               "auhost match: %s\n"
               "usage: auhost match IN OUT [--reference 0..3] [--capture FILE] [--param ID=VALUE]...\n"
               "                           [--block N] [--bundle PATH]\n"
               "  plays FILE (default IN) through Vorelle3 in Capture, then IN in Processing\n"
               "  against built-in reference N (default 2), writes OUT and reports latency,\n"
               "  peak and how the long-term spectrum moved per octave; --param sets one of the\n"
               "  parameters a host may change: 5 Gain, 6 Mix, 7 Reset peak max, 8 Match peak max\n",
               problem);
  return 2;
}

bool ParseLong(const char* text, long lo, long hi, long& out)
{
  char* end = nullptr;
  out = std::strtol(text, &end, 10);
  return end != text && *end == '\0' && out >= lo && out <= hi;
}

} // namespace

int MatchCommand(int argc, char** argv)
{
  MatchOptions options;
  std::string bundlePath = DefaultBundlePath();
  std::vector<std::string> positional;
  for (int i = 0; i < argc; ++i) {
    const std::string arg = argv[i];
    const bool hasValue = i + 1 < argc;
    long n = 0;
    if (arg == "--bundle" && hasValue) {
      bundlePath = argv[++i];
    } else if (arg == "--capture" && hasValue) {
      options.mCapturePath = argv[++i];
    } else if (arg == "--reference" && hasValue) {
      if (!ParseLong(argv[++i], 0, 3, n))
        return MatchUsage("--reference takes a built-in reference, 0 to 3");
      options.mReference = int(n);
    } else if (arg == "--block" && hasValue) {
      if (!ParseLong(argv[++i], 1, 4096, n))
        return MatchUsage("--block takes 1 to 4096 frames");
      options.mBlockSize = unsigned(n);
    } else if (arg == "--param" && hasValue) {
      unsigned id = 0;
      float value = 0.f;
      char tail = 0;
      if (std::sscanf(argv[++i], "%u=%f%c", &id, &value, &tail) != 2)
        return MatchUsage("--param takes ID=VALUE, for example --param 5=-6");
      options.mParams.emplace_back(id, value);
    } else if (!arg.empty() && arg[0] == '-') {
      return MatchUsage(("unknown or incomplete option " + arg).c_str());
    } else {
      positional.push_back(arg);
    }
  }
  if (positional.size() != 2)
    return MatchUsage("name one input file and one output file");
  options.mInPath = positional[0];
  options.mOutPath = positional[1];

  AUBundle bundle;
  if (!bundle.Load(bundlePath)) {
    std::fprintf(stderr, "auhost: %s\n", bundle.Error().c_str());
    return 1;
  }
  bool shown = false;
  options.mProgress = [&shown](const char* phase, double fraction) {
    std::fprintf(stderr, "\r%-10s %3d%%", phase, int(fraction * 100.0));
    std::fflush(stderr);
    shown = true;
  };
  MatchReport report;
  const std::string error = RunSpectrumMatch(bundle, options, report);
  if (shown)
    std::fprintf(stderr, "\r                \r");
  if (!error.empty()) {
    std::fprintf(stderr, "auhost: %s\n", error.c_str());
    return 1;
  }
  std::fputs(FormatMatchReport(options, report).c_str(), stdout);
  return 0;
}

} // namespace host
