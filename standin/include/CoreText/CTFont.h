// Fonts at a point size. A size of 0 (or less) means the default, 12 points.
#pragma once

#include <CoreFoundation/CFBase.h>
#include <CoreGraphics/CGAffineTransform.h>
#include <CoreGraphics/CGFont.h>
#include <CoreText/CTFontDescriptor.h>

typedef const struct __CTFont* CTFontRef;

CF_EXPORT CFTypeID CTFontGetTypeID(void);
CF_EXPORT CTFontRef CTFontCreateWithGraphicsFont(CGFontRef graphicsFont, CGFloat size, const CGAffineTransform* matrix,
                                                 CTFontDescriptorRef attributes);
// Family, style and PostScript names of the font.
CF_EXPORT CTFontDescriptorRef CTFontCopyFontDescriptor(CTFontRef font);
CF_EXPORT CGFloat CTFontGetSize(CTFontRef font);
