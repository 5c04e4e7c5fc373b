#include "CoreTextHelpers.h"

#include <cstdlib>
#include <cstring>

#include "CoreTextFont.h"
#include "PluginPaths.h"

namespace plugin::igraphics::CoreTextHelpers {

namespace {

// Owns one CF reference for the length of a load.
template <class Ref> struct Owned {
  explicit Owned(Ref r) : ref(r) {}
  ~Owned()
  {
    if (ref)
      CFRelease(ref);
  }
  Owned(const Owned&) = delete;
  Owned& operator=(const Owned&) = delete;
  Ref Take()
  {
    Ref r = ref;
    ref = nullptr;
    return r;
  }
  Ref ref;
};

// CGFont, CTFont of size 0, its descriptor; the font takes the provider.
PlatformFontPtr FontFromProvider(CGDataProviderRef provider)
{
  Owned<CGDataProviderRef> ownedProvider(provider);
  if (!provider)
    return nullptr;
  Owned<CGFontRef> graphicsFont(CGFontCreateWithDataProvider(provider));
  if (!graphicsFont.ref)
    return nullptr;
  Owned<CTFontRef> font(CTFontCreateWithGraphicsFont(graphicsFont.ref, 0.0, nullptr, nullptr));
  if (!font.ref)
    return nullptr;
  CTFontDescriptorRef descriptor = CTFontCopyFontDescriptor(font.ref);
  if (!descriptor)
    return nullptr;
  return std::make_unique<CoreTextFont>(descriptor, ownedProvider.Take(), "", "", false);
}

void FreeCopiedBytes(void*, const void* data, size_t) { std::free(const_cast<void*>(data)); }

} // namespace

PlatformFontPtr LoadPlatformFont(const char*, const char* fileName, const char* bundleID,
                                 const char* sharedResourcesSubPath)
{
  UT_String path;
  if (!fileName || !LocateResource(fileName, "ttf", path, bundleID, sharedResourcesSubPath))
    return nullptr;
  Owned<CFStringRef> pathText(CFStringCreateWithCString(nullptr, path.Get(), kCFStringEncodingUTF8));
  if (!pathText.ref)
    return nullptr;
  Owned<CFURLRef> url(CFURLCreateWithFileSystemPath(nullptr, pathText.ref, kCFURLPOSIXPathStyle, false));
  if (!url.ref)
    return nullptr;
  return FontFromProvider(CGDataProviderCreateWithURL(url.ref));
}

PlatformFontPtr LoadPlatformFontByName(const char*, const char* familyName, ETextStyle style)
{
  if (!familyName)
    return nullptr;
  const char* styleName = style == kTextStyleBold ? "Bold" : style == kTextStyleItalic ? "Italic" : "Regular";
  Owned<CFStringRef> family(CFStringCreateWithCString(nullptr, familyName, kCFStringEncodingUTF8));
  Owned<CFStringRef> styleText(CFStringCreateWithCString(nullptr, styleName, kCFStringEncodingUTF8));
  if (!family.ref || !styleText.ref)
    return nullptr;
  const void* keys[] = {kCTFontFamilyNameAttribute, kCTFontStyleNameAttribute};
  const void* values[] = {family.ref, styleText.ref};
  Owned<CFDictionaryRef> attributes(
    CFDictionaryCreate(nullptr, keys, values, 2, &kCFTypeDictionaryKeyCallBacks, &kCFTypeDictionaryValueCallBacks));
  if (!attributes.ref)
    return nullptr;
  Owned<CTFontDescriptorRef> descriptor(CTFontDescriptorCreateWithAttributes(attributes.ref));
  if (!descriptor.ref)
    return nullptr;
  Owned<CFURLRef> url(static_cast<CFURLRef>(CTFontDescriptorCopyAttribute(descriptor.ref, kCTFontURLAttribute)));
  if (!url.ref)
    return nullptr;
  CGDataProviderRef provider = CGDataProviderCreateWithURL(url.ref);
  if (!provider)
    return nullptr;
  return std::make_unique<CoreTextFont>(descriptor.Take(), provider, familyName, styleName, true);
}

PlatformFontPtr LoadPlatformFontFromData(const char*, const void* data, int size)
{
  if (!data || size <= 0)
    return nullptr;
  void* copy = std::malloc(static_cast<size_t>(size));
  if (!copy)
    return nullptr;
  std::memcpy(copy, data, static_cast<size_t>(size));
  CGDataProviderRef provider = CGDataProviderCreateWithData(nullptr, copy, static_cast<size_t>(size), FreeCopiedBytes);
  if (!provider) {
    std::free(copy);
    return nullptr;
  }
  return FontFromProvider(provider);
}

double EMRatio(const IFontInfo& info)
{
  const int height = info.GetAscender() - info.GetDescender();
  if (height <= 0 || info.GetUnitsPerEM() == 0)
    return 1.0;
  return static_cast<double>(info.GetUnitsPerEM()) / static_cast<double>(height);
}

void CachePlatformFont(const char* fontID, const PlatformFont& font, FontDescriptorCache& cache)
{
  if (!fontID)
    return;
  std::lock_guard<std::recursive_mutex> lock(cache.mMutex);
  const auto descriptor = static_cast<CTFontDescriptorRef>(font.GetDescriptor());
  if (!descriptor || cache.Find(fontID, 1.0))
    return;
  const IFontDataPtr data = font.GetFontData();
  cache.Add(new CoreTextFontDescriptor(descriptor, EMRatio(data->GetInfo())), fontID, 1.0);
}

CoreTextFontDescriptor* GetCTFontDescriptor(const char* fontID, FontDescriptorCache& cache)
{
  if (!fontID)
    return nullptr;
  std::lock_guard<std::recursive_mutex> lock(cache.mMutex);
  return cache.Find(fontID, 1.0);
}

} // namespace plugin::igraphics::CoreTextHelpers
