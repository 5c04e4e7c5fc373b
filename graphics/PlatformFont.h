#pragma once
// A font as the platform stage loads it (file, bytes or family name), before
// the drawing back end registers it under an id. Contents are the platform's;
// the graphics core only passes it on and lets it go when a load ends.

#include <memory>

namespace plugin::igraphics {

class PlatformFont
{
public:
  PlatformFont() = default;
  virtual ~PlatformFont() = default;
  PlatformFont(const PlatformFont&) = delete;
  PlatformFont& operator=(const PlatformFont&) = delete;
};

using PlatformFontPtr = std::unique_ptr<PlatformFont>;

// Style asked of a family-name load: anything but bold or italic is regular.
enum ETextStyle : int { kTextStyleRegular = 0, kTextStyleBold = 1, kTextStyleItalic = 2 };

} // namespace plugin::igraphics
