#pragma once
// The process-wide cache of CoreText descriptors by font id, from which the
// native text field takes its font. Every macOS graphics object is a user
// while it lives; the last to go empties the cache. Hold mMutex around
// Find and Add.

#include <CoreText/CoreText.h>

#include "StaticStorage.h"

namespace plugin::igraphics {

struct CoreTextFontDescriptor {
  // Retains descriptor.
  CoreTextFontDescriptor(CTFontDescriptorRef descriptor, double emRatio);
  ~CoreTextFontDescriptor();
  CoreTextFontDescriptor(const CoreTextFontDescriptor&) = delete;
  CoreTextFontDescriptor& operator=(const CoreTextFontDescriptor&) = delete;

  CTFontDescriptorRef mDescriptor;
  // Em size over the ascender-to-descender height: the point size of the
  // native font whose line height matches the engine's.
  double mEMRatio;
};

using FontDescriptorCache = StaticStorage<CoreTextFontDescriptor>;

FontDescriptorCache& GetFontDescriptorCache();
void AddFontDescriptorCacheUser();
void RemoveFontDescriptorCacheUser();

} // namespace plugin::igraphics
