// The objects behind the CoreGraphics data-provider and font references and
// the CoreText font and descriptor references, shared by their files.
#pragma once

#include <CoreGraphics/CoreGraphics.h>
#include <CoreText/CoreText.h>

#include "CFRuntime.h"
#include "FontFaces.h"

#include <string>

struct CGDataProvider final : standin::cf::Object {
  CGDataProvider() : Object(standin::cf::kDataProviderTypeID) {}
  ~CGDataProvider() override;

  std::string path; // a file, read on each copy; or else the block below
  void* info = nullptr;
  const void* data = nullptr;
  size_t size = 0;
  CGDataProviderReleaseDataCallback releaseData = nullptr;
  CFDataRef ownedData = nullptr; // a provider over CFData keeps it
};

struct CGFont final : standin::cf::Object {
  CGFont() : Object(standin::cf::kCGFontTypeID) {}
  ~CGFont() override;

  CFDataRef bytes = nullptr; // the whole file, owned
  standin::ct::FaceNames names;
};

struct __CTFont final : standin::cf::Object {
  __CTFont() : Object(standin::cf::kCTFontTypeID) {}
  ~__CTFont() override;

  CGFontRef graphicsFont = nullptr; // retained
  CGFloat size = 12.0;
};

struct __CTFontDescriptor final : standin::cf::Object {
  __CTFontDescriptor() : Object(standin::cf::kCTFontDescriptorTypeID) {}
  ~__CTFontDescriptor() override;

  CFDictionaryRef attributes = nullptr; // owned
  CGFontRef graphicsFont = nullptr;     // retained when made from a font
};
