#pragma once
// A software stand-in for the GPU renderer's entry points, for tests and
// benchmarks of the drawing back end: the engine's calls are recorded (the
// recording renderer) and, at each flush, drawn into the bound framebuffer's
// texture or into the view's drawable, with the blend factors of the
// composite state, image paints and text. One sample per pixel centre;
// textures sampled bilinearly; render targets hold premultiplied bytes.

#include <cstdint>
#include <vector>

#include "VGRecordingRenderer.h"
#include "MVG.h"

namespace softmvg {

struct Context : vgtest::VGRecordingRenderer
{
  // What the view shows: premultiplied RGBA bytes of the last frame drawn
  // with no framebuffer bound.
  std::vector<uint8_t> drawable;
  int drawableW = 0, drawableH = 0;
  float viewW = 0, viewH = 0, ratio = 1;
  bool clearOnFlush = false;
  float clear[4] = {};
  std::size_t firstPending = 0;
  // false: forget each frame's calls once drawn (benchmarks).
  bool keepCalls = true;
  // false: record only, draw nothing.
  bool raster = true;
  int flushes = 0;
  bool antialias = true;
  // Scratch planes of the target's size.
  std::vector<float> cov, uvs;
  std::vector<int> stencil;
};

// The stand-in context behind an engine context made by mvgCreateContext.
Context* ContextOf(VGcontext* vg);
// Framebuffers alive, made and deleted since the last ResetCounts.
int LiveFramebuffers();
int FramebuffersDeleted();
void ResetCounts();
MVGframebuffer* BoundFramebuffer();

// Straight-alpha RGBA of a premultiplied pixel.
void Unpremultiply(const uint8_t* in, uint8_t* out);

} // namespace softmvg
