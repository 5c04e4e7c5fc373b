#include "CoreTextFont.h"

#include <climits>

namespace plugin::igraphics {

CoreTextFont::CoreTextFont(CTFontDescriptorRef descriptor, CGDataProviderRef provider, const char* family,
                           const char* style, bool system)
: PlatformFont(system), mDescriptor(descriptor), mProvider(provider), mFamily(family), mStyle(style)
{
}

CoreTextFont::~CoreTextFont()
{
  if (mDescriptor)
    CFRelease(mDescriptor);
  CGDataProviderRelease(mProvider);
}

IFontDataPtr CoreTextFont::GetFontData() const
{
  CFDataRef data = mProvider ? CGDataProviderCopyData(mProvider) : nullptr;
  if (!data)
    return std::make_unique<IFontData>();
  const CFIndex length = CFDataGetLength(data);
  if (length <= 0 || length > INT_MAX) {
    CFRelease(data);
    return std::make_unique<IFontData>();
  }
  const UInt8* bytes = CFDataGetBytePtr(data);
  const int size = static_cast<int>(length);
  const int faceIdx = mStyle.GetLength() ? IFontInfo::FindFace(bytes, size, mFamily.Get(), mStyle.Get()) : 0;
  auto fontData = std::make_unique<IFontData>(bytes, size, faceIdx);
  CFRelease(data);
  return fontData;
}

} // namespace plugin::igraphics
