#pragma once
// Placeholder for the font stash: only what the engine context needs to make
// and free its stash. The glyph atlas and font stash replace this file.

#include <cstdint>

enum { FST_ZERO_TOPLEFT = 1 };

struct FSTparams {
  int width, height;
  uint8_t flags;
  void* userPtr;
  int (*renderCreate)(void* uptr, int width, int height);
  int (*renderResize)(void* uptr, int width, int height);
  void (*renderUpdate)(void* uptr, int* rect, const uint8_t* data);
  void (*renderDraw)(void* uptr, const float* verts, const float* tcoords, const unsigned int* colors, int nverts);
  void (*renderDelete)(void* uptr);
};

struct FSTcontext;

FSTcontext* fstCreateInternal(FSTparams* params);
void fstDeleteInternal(FSTcontext* stash);
