#include "CFInternal.h"
#include "FontObjects.h"
#include "FontRegistry.h"

using namespace standin::cf;

const CFStringRef kCTFontURLAttribute = CFSTR("NSCTFontFileURLAttribute");
const CFStringRef kCTFontNameAttribute = CFSTR("NSFontNameAttribute");
const CFStringRef kCTFontFamilyNameAttribute = CFSTR("NSFontFamilyAttribute");
const CFStringRef kCTFontStyleNameAttribute = CFSTR("NSFontFaceAttribute");

__CTFontDescriptor::~__CTFontDescriptor()
{
  if (attributes)
    CFRelease(attributes);
  CGFontRelease(graphicsFont);
}

namespace {

__CTFontDescriptor* Descriptor(CFTypeRef d) { return As<__CTFontDescriptor>(d, kCTFontDescriptorTypeID); }

std::string Text(CFDictionaryRef attributes, CFStringRef key)
{
  CFTypeRef value = CFDictionaryGetValue(attributes, key);
  return value && CFGetTypeID(value) == CFStringGetTypeID() ? StringUTF8(static_cast<CFStringRef>(value)) : "";
}

} // namespace

CFTypeID CTFontDescriptorGetTypeID(void) { return kCTFontDescriptorTypeID; }

CTFontDescriptorRef CTFontDescriptorCreateWithAttributes(CFDictionaryRef attributes)
{
  auto* d = new __CTFontDescriptor();
  d->attributes = attributes ? CFDictionaryCreateCopy(nullptr, attributes)
                             : CFDictionaryCreate(nullptr, nullptr, nullptr, 0, &kCFTypeDictionaryKeyCallBacks,
                                                  &kCFTypeDictionaryValueCallBacks);
  return d;
}

CFTypeRef CTFontDescriptorCopyAttribute(CTFontDescriptorRef descriptor, CFStringRef attribute)
{
  const __CTFontDescriptor* d = Descriptor(descriptor);
  if (!attribute)
    return nullptr;
  if (CFTypeRef value = CFDictionaryGetValue(d->attributes, attribute))
    return CFRetain(value);
  // Only a descriptor that names a font by family is matched against the
  // installed ones; a font made from bytes has no file.
  if (!CFEqual(attribute, kCTFontURLAttribute) || d->graphicsFont)
    return nullptr;
  const std::string family = Text(d->attributes, kCTFontFamilyNameAttribute);
  if (family.empty())
    return nullptr;
  std::string style = Text(d->attributes, kCTFontStyleNameAttribute);
  const std::string path = standin::ct::LocateFont(family, style.empty() ? "Regular" : style);
  return path.empty() ? nullptr : MakeFileURL(path, false);
}
