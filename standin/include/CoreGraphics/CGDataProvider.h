// Sources of bytes: a file named by a URL (read each time the data is
// copied) or a caller's block, handed back through the release callback when
// the provider goes. Providers are CF objects (CFRetain/CFRelease work too).
#pragma once

#include <CoreFoundation/CFBase.h>
#include <CoreFoundation/CFData.h>
#include <CoreFoundation/CFURL.h>

#include <stddef.h>

typedef struct CGDataProvider* CGDataProviderRef;

typedef void (*CGDataProviderReleaseDataCallback)(void* info, const void* data, size_t size);

CF_EXPORT CFTypeID CGDataProviderGetTypeID(void);
// The block is not copied; releaseData (may be NULL) runs once, when the
// last reference goes.
CF_EXPORT CGDataProviderRef CGDataProviderCreateWithData(void* info, const void* data, size_t size,
                                                         CGDataProviderReleaseDataCallback releaseData);
// NULL unless the URL names a readable file.
CF_EXPORT CGDataProviderRef CGDataProviderCreateWithURL(CFURLRef url);
CF_EXPORT CGDataProviderRef CGDataProviderCreateWithCFData(CFDataRef data);
// A new copy of all the bytes; NULL when they cannot be read.
CF_EXPORT CFDataRef CGDataProviderCopyData(CGDataProviderRef provider);
CF_EXPORT CGDataProviderRef CGDataProviderRetain(CGDataProviderRef provider);
// NULL is allowed.
CF_EXPORT void CGDataProviderRelease(CGDataProviderRef provider);
