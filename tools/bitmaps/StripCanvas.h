#pragma once
// A strip of equal frames drawn by the vector engine on the renderer into an
// offscreen framebuffer, read back as straight-alpha RGBA and written as a
// PNG (beside its target, then renamed into place). Build-time tool only.

#include <functional>
#include <string>
#include <vector>

#include "EditorLayout.h"
#include "VG.h"
#include "VGText.h"

namespace bitmapmaker {

struct Fonts {
  int regular = -1;
  int bold = -1;
};

// Draws frame k (0-based) of n in a frame of w x h points at the origin.
using FramePainter = std::function<void(VGcontext* vg, int k, int n, float w, float h)>;

class StripCanvas {
public:
  // Null context: nothing can be drawn (Ok() false).
  explicit StripCanvas(VGcontext* vg) : mVG(vg) {}

  // The whole strip at a pixel scale (1 or 2) as straight RGBA, rows top
  // first; empty when the renderer refused the framebuffer.
  std::vector<unsigned char> Render(const editorlayout::Strip& strip, int scale, const FramePainter& paint);

  // "<dir>/<stem>.png" or "<dir>/<stem>@2x.png"; false on any failure.
  static bool WritePNG(const std::string& dir, const editorlayout::Strip& strip, int scale,
                       const std::vector<unsigned char>& rgba);

private:
  VGcontext* mVG;
};

} // namespace bitmapmaker
