// Font descriptors: attribute sets that name a font. A descriptor made from
// attributes is matched against the installed fonts when its URL attribute
// is asked for: the fonts in the Resources of the process's bundles, the
// user's Library/Fonts and the system font folders, by family and style
// name (faces of collections included). No match gives NULL; there is no
// silent fallback to another font.
#pragma once

#include <CoreFoundation/CFBase.h>
#include <CoreFoundation/CFDictionary.h>
#include <CoreFoundation/CFString.h>

typedef const struct __CTFontDescriptor* CTFontDescriptorRef;

CF_EXPORT const CFStringRef kCTFontURLAttribute;        // CFURLRef
CF_EXPORT const CFStringRef kCTFontNameAttribute;       // CFStringRef, the PostScript name
CF_EXPORT const CFStringRef kCTFontFamilyNameAttribute; // CFStringRef
CF_EXPORT const CFStringRef kCTFontStyleNameAttribute;  // CFStringRef

CF_EXPORT CFTypeID CTFontDescriptorGetTypeID(void);
CF_EXPORT CTFontDescriptorRef CTFontDescriptorCreateWithAttributes(CFDictionaryRef attributes);
// A new reference to the attribute's value, or NULL.
CF_EXPORT CFTypeRef CTFontDescriptorCopyAttribute(CTFontDescriptorRef descriptor, CFStringRef attribute);
