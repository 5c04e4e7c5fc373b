// The processor query against the flags the kernel reports for the first
// processor.
#include <gtest/gtest.h>

#include <fstream>
#include <set>
#include <sstream>
#include <string>

#include "CpuFeatures.h"

TEST(CpuFeatures, WideRoutinesAreChosenExactlyWhenTheKernelReportsAvx2AndFma)
{
  if constexpr (!kBuildHasAvx2Routines) {
    EXPECT_FALSE(ThisProcessor().avx2Fma);
    return;
  }
  std::ifstream info("/proc/cpuinfo");
  std::set<std::string> flags;
  for (std::string line; std::getline(info, line);) {
    if (line.rfind("flags", 0) != 0)
      continue;
    std::istringstream words(line.substr(line.find(':') + 1));
    for (std::string w; words >> w;)
      flags.insert(w);
    break;
  }
  if (flags.empty())
    GTEST_SKIP() << "no processor flags in /proc/cpuinfo";
  EXPECT_EQ(ThisProcessor().avx2Fma, flags.count("avx2") == 1 && flags.count("fma") == 1);
}
