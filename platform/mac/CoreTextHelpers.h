#pragma once
// The three ways a font reaches the editor (a file in the bundle's
// resources, an installed font by family and style, bytes in memory), and
// the descriptor cache entries made from them. A load returns null when any
// platform step fails, with everything it made released. Main thread,
// except the cache calls, which hold the cache's mutex.

#include "FontDescriptorCache.h"
#include "PlatformFont.h"

namespace plugin::igraphics::CoreTextHelpers {

PlatformFontPtr LoadPlatformFont(const char* fontID, const char* fileName, const char* bundleID,
                                 const char* sharedResourcesSubPath);
// Style 1 asks for "Bold", 2 for "Italic", anything else for "Regular".
PlatformFontPtr LoadPlatformFontByName(const char* fontID, const char* familyName, ETextStyle style);
// The bytes are copied; the caller keeps its own.
PlatformFontPtr LoadPlatformFontFromData(const char* fontID, const void* data, int size);

// Adds (fontID, 1.0) with the font's descriptor unless it is there already.
void CachePlatformFont(const char* fontID, const PlatformFont& font, FontDescriptorCache& cache);
// The entry for (fontID, 1.0), or null.
CoreTextFontDescriptor* GetCTFontDescriptor(const char* fontID, FontDescriptorCache& cache);

// unitsPerEM / (ascender - descender); 1 when the face gives no height.
double EMRatio(const IFontInfo& info);

} // namespace plugin::igraphics::CoreTextHelpers
