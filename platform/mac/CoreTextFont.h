#pragma once
// A font reached through CoreText: its descriptor (the native handle) and a
// provider of the font file's bytes. For a font chosen by family and style
// in a collection, both name the face to pick. Main thread.

#include <CoreGraphics/CoreGraphics.h>
#include <CoreText/CoreText.h>

#include "PlatformFont.h"
#include "UT_String.h"

namespace plugin::igraphics {

class CoreTextFont : public PlatformFont {
public:
  // Takes over one reference to descriptor (may be null) and to provider.
  CoreTextFont(CTFontDescriptorRef descriptor, CGDataProviderRef provider, const char* family, const char* style,
               bool system);
  ~CoreTextFont() override;

  FontDescriptor GetDescriptor() const override { return mDescriptor; }
  // The file's bytes with the face of family mFamily and style mStyle (face
  // 0 when mStyle is empty); face -1 when no face carries both; no bytes when
  // the provider cannot give them.
  IFontDataPtr GetFontData() const override;

private:
  CTFontDescriptorRef mDescriptor;
  CGDataProviderRef mProvider;
  UT_String mFamily;
  UT_String mStyle;
};

} // namespace plugin::igraphics
