#pragma once
// A small software rasteriser for recorded frames, so tests can look at what
// the engine hands a renderer: fills through a non-zero stencil with their
// fringes outside it, strokes and fringes with the coverage their u and v
// give, gradients and the scissor as a shader would evaluate them. One
// sample per pixel centre, source-over only; image paints and text are not
// drawn.

#include <cstddef>
#include <vector>

#include "VGRecordingRenderer.h"

namespace vgtest {

struct RasterImage {
  int w = 0, h = 0;
  std::vector<float> rgba; // premultiplied, 0..1

  float Alpha(int x, int y) const { return rgba[(static_cast<std::size_t>(y) * w + x) * 4 + 3]; }
  // Straight colour of a pixel as bytes, alpha last.
  void Pixel(int x, int y, unsigned char out[4]) const;
  double AlphaSum() const;
};

// Draws every fill and stroke call of rec onto a w x h pixel image (cleared
// to transparent), with canvas points scaled by ratio.
void Rasterize(const VGRecordingRenderer& rec, int w, int h, float ratio, bool antialias, RasterImage& out);

} // namespace vgtest
