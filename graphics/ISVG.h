#pragma once
// Value handle to a parsed SVG document. It never owns the image: the
// process-wide SVG cache does, and the handle stays valid while it holds it.

#include "SVGImage.h"

namespace plugin::igraphics {

struct ISVG {
  ISVG() = default;
  explicit ISVG(SVGImage* image) : mImage(image) {}

  float W() const { return mImage ? mImage->width : 0.f; }
  float H() const { return mImage ? mImage->height : 0.f; }
  bool IsValid() const { return mImage != nullptr; }

  SVGImage* mImage = nullptr;
};

} // namespace plugin::igraphics
