// Fonts made from the bytes of a font file (TrueType, OpenType; the first
// face of a collection). Creation fails for bytes that are not a font.
#pragma once

#include <CoreFoundation/CFBase.h>
#include <CoreFoundation/CFString.h>
#include <CoreGraphics/CGDataProvider.h>

typedef struct CGFont* CGFontRef;

CF_EXPORT CFTypeID CGFontGetTypeID(void);
CF_EXPORT CGFontRef CGFontCreateWithDataProvider(CGDataProviderRef provider);
CF_EXPORT CGFontRef CGFontRetain(CGFontRef font);
// NULL is allowed.
CF_EXPORT void CGFontRelease(CGFontRef font);
CF_EXPORT CFStringRef CGFontCopyPostScriptName(CGFontRef font);
