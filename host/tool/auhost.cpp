// auhost: the offline Audio Unit host.
//   auhost validate [--bundle PATH]
//   auhost process IN OUT [--param ID=VALUE]... [--block N] [--bundle PATH]
//   auhost match IN OUT [--reference N] [--capture FILE] [--param ID=VALUE]... [--block N] [--bundle PATH]
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string>

#include "AUBundle.h"
#include "AUFileProcessor.h"
#include "AUValidator.h"
#include "SpectrumMatch.h"

namespace {

int Usage()
{
  std::fprintf(stderr,
               "usage:\n"
               "  auhost validate [--bundle PATH]\n"
               "      runs every check against the plug-in, one PASS/FAIL line each\n"
               "  auhost process IN OUT [--param ID=VALUE]... [--block N] [--bundle PATH]\n"
               "      renders the WAV or AIFF file IN through the plug-in into OUT\n"
               "  auhost match IN OUT [--reference 0..3] [--capture FILE] [--param ID=VALUE]...\n"
               "      captures a fingerprint, processes IN against a built-in reference into OUT\n"
               "      and reports latency, peak and the spectrum change per octave\n"
               "The bundle defaults to %s\n",
               host::DefaultBundlePath().c_str());
  return 2;
}

int Validate(const host::AUBundle& bundle)
{
  host::AUValidator validator(bundle);
  int failed = 0, total = 0;
  validator.Run([&](const host::CheckResult& r) {
    ++total;
    failed += r.mPassed ? 0 : 1;
    if (r.mPassed)
      std::printf("PASS  %s\n", r.mName.c_str());
    else
      std::printf("FAIL  %s: %s\n", r.mName.c_str(), r.mDetail.c_str());
    std::fflush(stdout);
  });
  std::printf("%d of %d checks passed\n", total - failed, total);
  return failed == 0 ? 0 : 1;
}

} // namespace

int main(int argc, char** argv)
{
  if (argc < 2)
    return Usage();
  const std::string command = argv[1];
  if (command == "match")
    return host::MatchCommand(argc - 2, argv + 2);
  std::string bundlePath = host::DefaultBundlePath();
  std::vector<std::string> positional;
  host::ProcessOptions options;
  for (int i = 2; i < argc; ++i) {
    const std::string arg = argv[i];
    if (arg == "--bundle" && i + 1 < argc) {
      bundlePath = argv[++i];
    } else if (arg == "--block" && i + 1 < argc) {
      const long n = std::strtol(argv[++i], nullptr, 10);
      if (n < 1 || n > 4096) {
        std::fprintf(stderr, "auhost: --block takes 1 to 4096 frames\n");
        return 2;
      }
      options.mBlockSize = static_cast<unsigned>(n);
    } else if (arg == "--param" && i + 1 < argc) {
      unsigned id = 0;
      float value = 0.f;
      if (std::sscanf(argv[++i], "%u=%f", &id, &value) != 2) {
        std::fprintf(stderr, "auhost: --param takes ID=VALUE, for example --param 5=-6\n");
        return 2;
      }
      options.mParams.emplace_back(id, value);
    } else if (!arg.empty() && arg[0] == '-') {
      std::fprintf(stderr, "auhost: unknown option %s\n", arg.c_str());
      return Usage();
    } else {
      positional.push_back(arg);
    }
  }

  host::AUBundle bundle;
  if (!bundle.Load(bundlePath)) {
    std::fprintf(stderr, "auhost: %s\n", bundle.Error().c_str());
    return 1;
  }
  if (command == "validate" && positional.empty())
    return Validate(bundle);
  if (command == "process" && positional.size() == 2) {
    options.mProgress = [](double fraction) {
      std::fprintf(stderr, "\rprocessing: %3d%%", static_cast<int>(fraction * 100.0));
      std::fflush(stderr);
    };
    const std::string error = host::ProcessFile(bundle, positional[0], positional[1], options);
    if (!error.empty()) {
      std::fprintf(stderr, "\nauhost: %s\n", error.c_str());
      return 1;
    }
    std::fprintf(stderr, "\rprocessing: done, wrote %s\n", positional[1].c_str());
    return 0;
  }
  return Usage();
}
