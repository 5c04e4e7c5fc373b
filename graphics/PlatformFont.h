#pragma once
// A font as the platform stage loads it (file, bytes or family name), before
// the drawing back end registers it under an id. The descriptor is the
// platform's native handle, opaque here; the font data holds the bytes of
// the face to draw with.

#include <memory>

#include "IFontData.h"

namespace plugin::igraphics {

using FontDescriptor = const void*;

class PlatformFont {
public:
  // system: chosen by family name rather than given as a file or bytes.
  explicit PlatformFont(bool system = false) : mSystem(system) {}
  virtual ~PlatformFont() = default;
  PlatformFont(const PlatformFont&) = delete;
  PlatformFont& operator=(const PlatformFont&) = delete;

  // Not retained for the caller.
  virtual FontDescriptor GetDescriptor() const { return nullptr; }
  virtual IFontDataPtr GetFontData() const { return std::make_unique<IFontData>(); }

  bool IsSystem() const { return mSystem; }

protected:
  bool mSystem;
};

using PlatformFontPtr = std::unique_ptr<PlatformFont>;

// Style asked of a family-name load: anything but bold or italic is regular.
enum ETextStyle : int { kTextStyleRegular = 0, kTextStyleBold = 1, kTextStyleItalic = 2 };

} // namespace plugin::igraphics
