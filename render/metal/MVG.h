#pragma once
// Entry points of the renderer on the GPU that the drawing back end calls:
// the context on the view's layer, render-to-texture framebuffers (layers
// and the main offscreen target), the clear colour and pixel read-back.
// Main thread only.

#include "VG.h"

// Creation flags.
enum {
  VG_ANTIALIAS = 1 << 0,
  VG_STENCIL_STROKES = 1 << 1,
  VG_DEBUG = 1 << 2,
  VG_DOUBLE_BUFFER = 1 << 12,
  VG_TRIPLE_BUFFER = 1 << 13,
};

// Offscreen target: the RGBA texture `image` of context `ctx`; owned by the
// caller of mvgCreateFramebuffer.
struct MVGframebuffer {
  VGcontext* ctx;
  int image;
};

// layer: the view's Metal layer. Null when the context cannot be made.
VGcontext* mvgCreateContext(void* layer, int flags);
void mvgDeleteContext(VGcontext* ctx);

// Null returns drawing to the layer's drawable. Process-wide.
void mvgBindFramebuffer(MVGframebuffer* fb);
// Null on failure; the texture is premultiplied RGBA whatever the flags.
MVGframebuffer* mvgCreateFramebuffer(VGcontext* ctx, int w, int h, int imageFlags);
// Null: nothing.
void mvgDeleteFramebuffer(MVGframebuffer* fb);
// The next flush clears its target to c first.
void mvgClearWithColor(VGcontext* ctx, VGcolor c);
// Waits for the frame drawing into image, then copies the region; data
// holds h rows of the image's full width x 4 bytes.
void mvgReadPixels(VGcontext* ctx, int image, int x, int y, int w, int h, void* data);
