#pragma once
// The two process-wide resource caches shared by every editor in the
// process: platform bitmaps and parsed SVG documents. Both exist before the
// first editor and outlive the last; a cache is emptied when its user count
// falls to zero. Lock order: bitmap cache first, SVG cache second.

#include "APIBitmap.h"
#include "StaticStorage.h"

namespace plugin::igraphics {

struct SVGImage;

// Owns one parsed SVG document; the parser hands over its free function.
struct SVGHolder {
  using FreeFunc = void (*)(SVGImage*);

  SVGHolder(SVGImage* image, FreeFunc freeImage) : mImage(image), mFree(freeImage) {}
  ~SVGHolder()
  {
    if (mImage && mFree)
      mFree(mImage);
  }
  SVGHolder(const SVGHolder&) = delete;
  SVGHolder& operator=(const SVGHolder&) = delete;

  SVGImage* mImage;
  FreeFunc mFree;
};

StaticStorage<APIBitmap>& BitmapCache();
StaticStorage<SVGHolder>& SVGCache();

// A graphics context starts or stops using both caches.
void AddResourceCacheUser();
void RemoveResourceCacheUser();

} // namespace plugin::igraphics
