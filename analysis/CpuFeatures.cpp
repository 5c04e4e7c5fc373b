#include "CpuFeatures.h"

namespace {

CpuFeatures Query()
{
  CpuFeatures features;
#if defined(__x86_64__)
  __builtin_cpu_init();
  features.avx2Fma = __builtin_cpu_supports("avx2") && __builtin_cpu_supports("fma");
#endif
  return features;
}

} // namespace

const CpuFeatures& ThisProcessor()
{
  static const CpuFeatures features = Query();
  return features;
}
