#pragma once
// One frame's worth of GPU-visible memory: calls, vertices, fan indexes and
// uniform records, plus the command buffer while the frame is in flight.

#include <Metal/Metal.h>

#include <mutex>

#include "VG.h"

// Metal blend factors: source RGB, destination RGB, source alpha, destination alpha.
struct MVGblend {
  MTLBlendFactor srcRGB;
  MTLBlendFactor dstRGB;
  MTLBlendFactor srcAlpha;
  MTLBlendFactor dstAlpha;
};

enum { MVG_CALL_FILL = 1, MVG_CALL_CONVEXFILL = 2, MVG_CALL_STROKE = 3, MVG_CALL_TRIANGLES = 4 };

struct MVGcall {
  int type;
  int image;
  int pathOffset;
  int pathCount;
  int triangleOffset;
  int triangleCount;
  int indexOffset;
  int indexCount;
  int strokeOffset;
  int strokeCount;
  int uniformOffset; // bytes into the uniform buffer
  MVGblend blendFunc;
};

class MVGbuffers_vVorelle3_au : public NSObject {
public:
  static MVGbuffers_vVorelle3_au* alloc() { return new MVGbuffers_vVorelle3_au(); }
  const char* className() const override { return "MVGbuffers_vVorelle3_au"; }

  // Written by the completion handler on the GPU's thread: the hand-over
  // fields (commandBuffer, isBusy, image, counts) change under `lock`, so a
  // reader on the main thread never sees a command buffer being released.
  std::mutex lock;
  MTLCommandBuffer* commandBuffer = nullptr;
  bool isBusy = false;
  int image = 0;
  MTLBuffer* viewSizeBuffer = nullptr;
  MTLTexture* stencilTexture = nullptr;
  MVGcall* calls = nullptr;
  int ccalls = 0, ncalls = 0;
  MTLBuffer* indexBuffer = nullptr;
  uint32_t* indexes = nullptr;
  int cindexes = 0, nindexes = 0;
  MTLBuffer* vertBuffer = nullptr;
  VGvertex* verts = nullptr;
  int cverts = 0, nverts = 0;
  MTLBuffer* uniformBuffer = nullptr;
  unsigned char* uniforms = nullptr;
  int cuniforms = 0, nuniforms = 0;

protected:
  MVGbuffers_vVorelle3_au() = default;
  void dealloc() override;
};
