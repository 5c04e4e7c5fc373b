#pragma once
// The Metal renderer's entry points: a vector-engine context drawing into a
// CAMetalLayer, render-to-texture framebuffers and a few queries for the
// drawing back end. Main thread only. Platform types are only named here,
// so including this header pulls in no platform header.

#include "VG.h"

class CAMetalLayer;
class MTLCommandQueue;
class MTLDevice;
class MTLTexture;

// Creation flags.
enum {
  VG_ANTIALIAS = 1 << 0,
  VG_STENCIL_STROKES = 1 << 1,
  VG_DEBUG = 1 << 2,
  VG_DOUBLE_BUFFER = 1 << 12,
  VG_TRIPLE_BUFFER = 1 << 13,
};

// Image flags.
enum {
  VG_IMAGE_GENERATE_MIPMAPS = 1 << 0,
  VG_IMAGE_REPEATX = 1 << 1,
  VG_IMAGE_REPEATY = 1 << 2,
  VG_IMAGE_FLIPY = 1 << 3,
  VG_IMAGE_PREMULTIPLIED = 1 << 4,
  VG_IMAGE_NEAREST = 1 << 5,
  VG_IMAGE_NODELETE = 1 << 16,
};

struct MVGframebuffer {
  VGcontext* ctx;
  int image;
};

// Null when the engine or the renderer cannot be set up.
VGcontext* mvgCreateContext(CAMetalLayer* layer, int flags);
void mvgDeleteContext(VGcontext* ctx);

// The framebuffer flushes draw into (process-wide; null: the layer).
void mvgBindFramebuffer(MVGframebuffer* framebuffer);
// A premultiplied RGBA render target; null on failure. Owned by the caller.
MVGframebuffer* mvgCreateFramebuffer(VGcontext* ctx, int w, int h, int imageFlags);
void mvgDeleteFramebuffer(MVGframebuffer* framebuffer);

// The next flush clears its target to c (straight alpha) first.
void mvgClearWithColor(VGcontext* ctx, VGcolor c);
MTLCommandQueue* mvgCommandQueue(VGcontext* ctx);
MTLDevice* mvgDevice(VGcontext* ctx);
// Wraps a texture as an RGBA image; 0 on failure.
int mvgCreateImageFromHandle(VGcontext* ctx, MTLTexture* texture, int imageFlags);
// Both wait for the frame in flight that draws into the image.
MTLTexture* mvgImageHandle(VGcontext* ctx, int image);
// Copies rows of the full texture width (4 bytes a pixel, 1 for alpha
// images); a region outside the texture copies nothing.
void mvgReadPixels(VGcontext* ctx, int image, int x, int y, int w, int h, void* data);
int mvgTarget();
