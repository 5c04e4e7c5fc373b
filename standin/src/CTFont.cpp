#include "CFInternal.h"
#include "FontObjects.h"

using namespace standin::cf;

__CTFont::~__CTFont() { CGFontRelease(graphicsFont); }

namespace {

__CTFont* Font(CFTypeRef f) { return As<__CTFont>(f, kCTFontTypeID); }

} // namespace

CFTypeID CTFontGetTypeID(void) { return kCTFontTypeID; }

CTFontRef CTFontCreateWithGraphicsFont(CGFontRef graphicsFont, CGFloat size, const CGAffineTransform*,
                                       CTFontDescriptorRef)
{
  if (!graphicsFont)
    return nullptr;
  As<CGFont>(graphicsFont, kCGFontTypeID);
  auto* font = new __CTFont();
  font->graphicsFont = CGFontRetain(graphicsFont);
  font->size = size > 0 ? size : 12.0;
  return font;
}

CTFontDescriptorRef CTFontCopyFontDescriptor(CTFontRef font)
{
  const __CTFont* f = Font(font);
  const standin::ct::FaceNames& names = As<CGFont>(f->graphicsFont, kCGFontTypeID)->names;
  const void* keys[3];
  const void* values[3];
  CFIndex count = 0;
  auto put = [&](CFStringRef key, const std::string& text) {
    if (CFStringRef value = text.empty() ? nullptr : MakeString(text)) {
      keys[count] = key;
      values[count++] = value;
    }
  };
  put(kCTFontNameAttribute, names.postScript);
  put(kCTFontFamilyNameAttribute, names.typographicFamily.empty() ? names.family : names.typographicFamily);
  put(kCTFontStyleNameAttribute, names.typographicStyle.empty() ? names.style : names.typographicStyle);
  CFDictionaryRef attributes =
    CFDictionaryCreate(nullptr, keys, values, count, &kCFTypeDictionaryKeyCallBacks, &kCFTypeDictionaryValueCallBacks);
  for (CFIndex i = 0; i < count; ++i)
    CFRelease(values[i]);
  auto* d =
    static_cast<__CTFontDescriptor*>(const_cast<__CTFontDescriptor*>(CTFontDescriptorCreateWithAttributes(attributes)));
  CFRelease(attributes);
  d->graphicsFont = CGFontRetain(f->graphicsFont);
  return d;
}

CGFloat CTFontGetSize(CTFontRef font) { return Font(font)->size; }
