#pragma once
// The renderer object behind a Metal vector-engine context: set-up and
// pipelines (MVGContext.cpp), call recording (MVGRecording.cpp), frames
// (MVGFrame.cpp) and textures (MVGTextures.cpp). Main thread only, except
// the completion handler of a frame in flight.

#include <Metal/Metal.h>
#include <QuartzCore/QuartzCore.h>
#include <dispatch/dispatch.h>

#include <vector>

#include "MVG.h"
#include "MVGBuffers.h"
#include "MVGFragUniforms.h"
#include "MVGTexture.h"

// The largest texture, framebuffer or viewport side the renderer makes or draws.
inline constexpr int kMaxTextureSize = 16384;

struct MVGviewPortSize {
  uint32_t width, height;
};

class MVGcontext_vVorelle3_au : public NSObject {
public:
  static MVGcontext_vVorelle3_au* alloc() { return new MVGcontext_vVorelle3_au(); }
  const char* className() const override { return "MVGcontext_vVorelle3_au"; }

  // Set-up and tear-down.
  BOOL renderCreate();
  void renderDelete();
  void updateRenderPipelineStatesForBlend(const MVGblend* blend, MTLPixelFormat pixelFormat);
  void checkError(NSError* error, const char* message);

  // Textures.
  int renderCreateTexture(int type, int width, int height, int imageFlags, const uint8_t* data);
  BOOL renderDeleteTexture(int image);
  BOOL renderUpdateTexture(int image, int x, int y, int width, int height, const uint8_t* data);
  BOOL renderGetTextureSize(int image, int* width, int* height);
  MVGtexture_vVorelle3_au* allocTexture();
  MVGtexture_vVorelle3_au* findTexture(int id) const;
  // Blocks until no frame in flight draws into the image.
  void waitForImage(int image);

  // Frames.
  void renderViewport(float width, float height, float devicePixelRatio);
  void renderCancel();
  void renderFlush();

  // Recording.
  void renderFill(const VGpaint* paint, VGcompositeOperationState op, const VGscissor* scissor, float fringe,
                  const float* bounds, const VGpath* paths, int npaths);
  void renderStroke(const VGpaint* paint, VGcompositeOperationState op, const VGscissor* scissor, float fringe,
                    float strokeWidth, const VGpath* paths, int npaths);
  void renderTriangles(const VGpaint* paint, VGcompositeOperationState op, const VGscissor* scissor,
                       const VGvertex* verts, int nverts, float fringe);
  MVGcall* allocCall();
  int allocVerts(int n);
  int allocIndexes(int n);
  int allocFragUniforms(int n);
  MVGfragUniforms* fragUniformAtIndex(int offset) const;
  BOOL convertPaintForFrag(MVGfragUniforms* frag, const VGpaint* paint, const VGscissor* scissor, float width,
                           float fringe, float strokeThr) const;

  // Properties.
  BOOL clearBufferOnFlush = NO;
  int fragSize = MVG_FRAG_SIZE;
  int indexSize = 4;
  int flags = 0;
  int textureId = 0;
  int maxBuffers = 0;
  MTLCommandQueue* commandQueue = nullptr;
  CAMetalLayer* metalLayer = nullptr;
  MTLRenderCommandEncoder* renderEncoder = nullptr;
  MVGviewPortSize viewPortSize = {0, 0};
  std::vector<MVGtexture_vVorelle3_au*> textures; // retained
  MVGbuffers_vVorelle3_au* buffers = nullptr;     // the set being recorded; null when none is held
  std::vector<MVGbuffers_vVorelle3_au*> cbuffers; // retained
  dispatch_semaphore_t semaphore = nullptr;
  MVGblend* blendFunc = nullptr;
  MTLDepthStencilState* defaultStencilState = nullptr;
  MTLDepthStencilState* fillShapeStencilState = nullptr;
  MTLDepthStencilState* fillAntiAliasStencilState = nullptr;
  MTLDepthStencilState* fillStencilState = nullptr;
  MTLDepthStencilState* strokeShapeStencilState = nullptr;
  MTLDepthStencilState* strokeAntiAliasStencilState = nullptr;
  MTLDepthStencilState* strokeClearStencilState = nullptr;
  MTLFunction* fragmentFunction = nullptr;
  MTLFunction* vertexFunction = nullptr;
  MTLPixelFormat piplelinePixelFormat = MTLPixelFormatInvalid;
  MTLRenderPipelineState* pipelineState = nullptr;
  MTLRenderPipelineState* stencilOnlyPipelineState = nullptr;
  MTLSamplerState* pseudoSampler = nullptr;
  MTLTexture* pseudoTexture = nullptr;
  MTLVertexDescriptor* vertexDescriptor = nullptr;
  MTLClearColor clearColor = {0, 0, 0, 0};

  // How often the pipeline states were built (a test hook).
  int pipelineBuilds = 0;

private:
  MVGcontext_vVorelle3_au() = default;
  void makeStencilStates(MTLDevice* device);
  void updateStencilTextureToSize(MVGbuffers_vVorelle3_au* set, NSUInteger width, NSUInteger height);
  MTLRenderCommandEncoder* renderCommandEncoderWithColorTexture(MTLCommandBuffer* commandBuffer, MTLTexture* target);
  void setUniforms(int uniformOffset, int image);
  void fill(const MVGcall& call);
  void convexFill(const MVGcall& call);
  void stroke(const MVGcall& call);
  void triangles(const MVGcall& call);
  // Puts a set back to free; the caller holds its lock.
  static void releaseSet(MVGbuffers_vVorelle3_au* set);
};

// Vector-engine image flags and composite factors mapped to Metal; false when
// any factor is not one of the engine's flags (the caller uses source-over).
bool mvgBlendCompositeOperation(VGcompositeOperationState op, MVGblend* blend);
// Inverse of an affine transform in double precision; identity when
// |determinant| < 1e-6.
void mvgTransformInverse(double* inv, const float* t);

// The process-wide current framebuffer.
MVGframebuffer* mvgCurrentFramebuffer();
// The renderer behind an engine context.
MVGcontext_vVorelle3_au* mvgRenderer(VGcontext* ctx);
// The embedded shader library (magic "MTLB", then its length after the bytes).
const unsigned char* mvgShaderLibraryBytes(uint32_t* length);
