#include "FontDescriptorCache.h"

namespace plugin::igraphics {

CoreTextFontDescriptor::CoreTextFontDescriptor(CTFontDescriptorRef descriptor, double emRatio)
: mDescriptor(static_cast<CTFontDescriptorRef>(CFRetain(descriptor))), mEMRatio(emRatio)
{
}

CoreTextFontDescriptor::~CoreTextFontDescriptor() { CFRelease(mDescriptor); }

FontDescriptorCache& GetFontDescriptorCache()
{
  static FontDescriptorCache cache;
  return cache;
}

void AddFontDescriptorCacheUser()
{
  FontDescriptorCache& cache = GetFontDescriptorCache();
  std::lock_guard<std::recursive_mutex> lock(cache.mMutex);
  ++cache.mUsers;
}

void RemoveFontDescriptorCacheUser()
{
  FontDescriptorCache& cache = GetFontDescriptorCache();
  std::lock_guard<std::recursive_mutex> lock(cache.mMutex);
  if (cache.mUsers > 0 && --cache.mUsers == 0)
    cache.Empty();
}

} // namespace plugin::igraphics
