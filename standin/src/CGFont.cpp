#include "CFInternal.h"
#include "FontObjects.h"

using namespace standin::cf;

CGFont::~CGFont()
{
  if (bytes)
    CFRelease(bytes);
}

CFTypeID CGFontGetTypeID(void) { return kCGFontTypeID; }

CGFontRef CGFontCreateWithDataProvider(CGDataProviderRef provider)
{
  if (!provider)
    return nullptr;
  As<CGDataProvider>(provider, kDataProviderTypeID);
  CFDataRef data = CGDataProviderCopyData(provider);
  if (!data)
    return nullptr;
  auto faces = standin::ct::ReadFaceNames(CFDataGetBytePtr(data), size_t(CFDataGetLength(data)));
  if (faces.empty()) {
    CFRelease(data);
    return nullptr;
  }
  auto* font = new CGFont();
  font->bytes = data;
  font->names = std::move(faces.front());
  return font;
}

CGFontRef CGFontRetain(CGFontRef font)
{
  if (font)
    CFRetain(font);
  return font;
}

void CGFontRelease(CGFontRef font)
{
  if (font)
    CFRelease(font);
}

CFStringRef CGFontCopyPostScriptName(CGFontRef font)
{
  if (!font)
    return nullptr;
  return MakeString(As<CGFont>(font, kCGFontTypeID)->names.postScript);
}
