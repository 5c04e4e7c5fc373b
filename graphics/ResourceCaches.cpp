#include "ResourceCaches.h"

namespace plugin::igraphics {

StaticStorage<APIBitmap>& BitmapCache()
{
  static StaticStorage<APIBitmap> cache;
  return cache;
}

StaticStorage<SVGHolder>& SVGCache()
{
  static StaticStorage<SVGHolder> cache;
  return cache;
}

void AddResourceCacheUser()
{
  StaticStorage<APIBitmap>& bitmaps = BitmapCache();
  StaticStorage<SVGHolder>& svgs = SVGCache();
  std::lock_guard<std::recursive_mutex> bitmapLock(bitmaps.mMutex);
  ++bitmaps.mUsers;
  std::lock_guard<std::recursive_mutex> svgLock(svgs.mMutex);
  ++svgs.mUsers;
}

void RemoveResourceCacheUser()
{
  StaticStorage<APIBitmap>& bitmaps = BitmapCache();
  StaticStorage<SVGHolder>& svgs = SVGCache();
  std::lock_guard<std::recursive_mutex> bitmapLock(bitmaps.mMutex);
  if (--bitmaps.mUsers == 0)
    bitmaps.Empty();
  std::lock_guard<std::recursive_mutex> svgLock(svgs.mMutex);
  if (--svgs.mUsers == 0)
    svgs.Empty();
}

} // namespace plugin::igraphics
