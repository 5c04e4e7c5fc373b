#include "MVGContext.h"

#include <Foundation/Foundation.h>

#include <cstdio>
#include <cstdlib>

namespace {

MVGcontext_vVorelle3_au* R(void* uptr) { return static_cast<MVGcontext_vVorelle3_au*>(uptr); }

// Standard error, never standard output: a host may be writing audio there.
void ReportError(const char* after, const char* what)
{
  std::fprintf(stderr, "Error occurs after %s: %s\n", after, what);
}

int mvg_renderCreate(void* uptr) { return R(uptr)->renderCreate() ? 1 : 0; }
int mvg_renderCreateTexture(void* uptr, int type, int w, int h, int imageFlags, const uint8_t* data)
{
  return R(uptr)->renderCreateTexture(type, w, h, imageFlags, data);
}
int mvg_renderDeleteTexture(void* uptr, int image) { return R(uptr)->renderDeleteTexture(image); }
int mvg_renderUpdateTexture(void* uptr, int image, int x, int y, int w, int h, const uint8_t* data)
{
  return R(uptr)->renderUpdateTexture(image, x, y, w, h, data);
}
int mvg_renderGetTextureSize(void* uptr, int image, int* w, int* h)
{
  return R(uptr)->renderGetTextureSize(image, w, h);
}
void mvg_renderViewport(void* uptr, float width, float height, float devicePixelRatio)
{
  R(uptr)->renderViewport(width, height, devicePixelRatio);
}
void mvg_renderCancel(void* uptr) { R(uptr)->renderCancel(); }
void mvg_renderFlush(void* uptr) { R(uptr)->renderFlush(); }
void mvg_renderFill(void* uptr, VGpaint* paint, VGcompositeOperationState op, VGscissor* scissor, float fringe,
                    const float* bounds, const VGpath* paths, int npaths)
{
  R(uptr)->renderFill(paint, op, scissor, fringe, bounds, paths, npaths);
}
void mvg_renderStroke(void* uptr, VGpaint* paint, VGcompositeOperationState op, VGscissor* scissor, float fringe,
                      float strokeWidth, const VGpath* paths, int npaths)
{
  R(uptr)->renderStroke(paint, op, scissor, fringe, strokeWidth, paths, npaths);
}
void mvg_renderTriangles(void* uptr, VGpaint* paint, VGcompositeOperationState op, VGscissor* scissor,
                         const VGvertex* verts, int nverts, float fringe)
{
  R(uptr)->renderTriangles(paint, op, scissor, verts, nverts, fringe);
}
void mvg_renderDelete(void* uptr)
{
  R(uptr)->renderDelete();
  R(uptr)->release();
}

template <class T> void ReleaseSlot(T*& slot)
{
  if (slot)
    slot->release();
  slot = nullptr;
}

MTLStencilDescriptor* Face(MTLCompareFunction compare, MTLStencilOperation fail, MTLStencilOperation depthFail,
                           MTLStencilOperation pass)
{
  auto* d = static_cast<MTLStencilDescriptor*>(MTLStencilDescriptor::alloc()->init()->autorelease());
  d->setStencilCompareFunction(compare);
  d->setStencilFailureOperation(fail);
  d->setDepthFailureOperation(depthFail);
  d->setDepthStencilPassOperation(pass);
  return d;
}

MTLDepthStencilState* StencilState(MTLDevice* device, MTLStencilDescriptor* front, MTLStencilDescriptor* back)
{
  auto* d = MTLDepthStencilDescriptor::alloc()->init();
  d->setDepthCompareFunction(MTLCompareFunctionAlways);
  d->setDepthWriteEnabled(NO);
  d->setFrontFaceStencil(front);
  d->setBackFaceStencil(back);
  MTLDepthStencilState* state = device->newDepthStencilStateWithDescriptor(d);
  d->release();
  return state;
}

} // namespace

// Defined with the shader registrations; calling it keeps them linked.
void mvgLinkShaders();

VGcontext* mvgCreateContext(CAMetalLayer* layer, int flags)
{
  if (!layer)
    return nullptr;
  mvgLinkShaders();
  MVGcontext_vVorelle3_au* r = MVGcontext_vVorelle3_au::alloc();
  r->flags = flags;
  r->fragSize = MVG_FRAG_SIZE;
  r->indexSize = 4;
  layer->retain();
  r->metalLayer = layer;

  VGparams params{};
  params.userPtr = r;
  params.edgeAntiAlias = flags & VG_ANTIALIAS ? 1 : 0;
  params.renderCreate = mvg_renderCreate;
  params.renderCreateTexture = mvg_renderCreateTexture;
  params.renderDeleteTexture = mvg_renderDeleteTexture;
  params.renderUpdateTexture = mvg_renderUpdateTexture;
  params.renderGetTextureSize = mvg_renderGetTextureSize;
  params.renderViewport = mvg_renderViewport;
  params.renderCancel = mvg_renderCancel;
  params.renderFlush = mvg_renderFlush;
  params.renderFill = mvg_renderFill;
  params.renderStroke = mvg_renderStroke;
  params.renderTriangles = mvg_renderTriangles;
  params.renderDelete = mvg_renderDelete;
  // On failure the engine has already called renderDelete, which released r.
  return vgCreateInternal(&params);
}

void mvgDeleteContext(VGcontext* ctx)
{
  if (ctx)
    vgDeleteInternal(ctx);
}

MVGcontext_vVorelle3_au* mvgRenderer(VGcontext* ctx)
{
  return ctx ? static_cast<MVGcontext_vVorelle3_au*>(vgInternalParams(ctx)->userPtr) : nullptr;
}

BOOL MVGcontext_vVorelle3_au::renderCreate()
{
  MTLDevice* device = metalLayer->device();
  if (!device) {
    device = MTLCreateSystemDefaultDevice();
    metalLayer->setDevice(device);
    device->release();
  }
  metalLayer->setOpaque(NO);

  uint32_t length = 0;
  const unsigned char* bytes = mvgShaderLibraryBytes(&length);
  // Used in place: the bytes live as long as the program.
  dispatch_data_t data = dispatch_data_create(bytes, length, nullptr, [] {});
  NSError* error = nullptr;
  MTLLibrary* library = device->newLibraryWithData(data, &error);
  dispatch_release(data);
  checkError(error, "init library");
  if (!library)
    return 0;
  vertexFunction = library->newFunctionWithName(NSSTR("vertexShader"));
  fragmentFunction =
    library->newFunctionWithName(flags & VG_ANTIALIAS ? NSSTR("fragmentShaderAA") : NSSTR("fragmentShader"));
  library->release();

  commandQueue = device->newCommandQueue();

  maxBuffers = flags & VG_TRIPLE_BUFFER ? 3 : flags & VG_DOUBLE_BUFFER ? 2 : 1;
  for (int i = 0; i < maxBuffers; ++i)
    cbuffers.push_back(MVGbuffers_vVorelle3_au::alloc());

  clearBufferOnFlush = NO;
  semaphore = dispatch_semaphore_create(maxBuffers);

  vertexDescriptor = MTLVertexDescriptor::alloc()->init();
  for (NSUInteger i = 0; i < 2; ++i) {
    MTLVertexAttributeDescriptor* a = vertexDescriptor->attributes()->objectAtIndexedSubscript(i);
    a->setFormat(MTLVertexFormatFloat2);
    a->setBufferIndex(0);
    a->setOffset(i * 8);
  }
  vertexDescriptor->layouts()->objectAtIndexedSubscript(0)->setStride(sizeof(VGvertex));
  vertexDescriptor->layouts()->objectAtIndexedSubscript(0)->setStepFunction(MTLVertexStepFunctionPerVertex);

  textureId = 0;
  textures.clear();

  MTLSamplerDescriptor* sd = MTLSamplerDescriptor::alloc()->init();
  pseudoSampler = device->newSamplerStateWithDescriptor(sd);
  sd->release();

  blendFunc = static_cast<MVGblend*>(std::malloc(sizeof(MVGblend)));
  if (!blendFunc)
    return 0;
  *blendFunc = {MTLBlendFactorOne, MTLBlendFactorOneMinusSourceAlpha, MTLBlendFactorOne,
                MTLBlendFactorOneMinusSourceAlpha};

  makeStencilStates(device);
  return 1;
}

void MVGcontext_vVorelle3_au::makeStencilStates(MTLDevice* device)
{
  using K = MTLStencilOperation;
  const K keep = MTLStencilOperationKeep, zero = MTLStencilOperationZero;
  defaultStencilState = StencilState(device, nullptr, nullptr);
  fillShapeStencilState =
    StencilState(device, Face(MTLCompareFunctionAlways, keep, keep, MTLStencilOperationIncrementWrap),
                 Face(MTLCompareFunctionAlways, keep, keep, MTLStencilOperationDecrementWrap));
  fillAntiAliasStencilState = StencilState(device, Face(MTLCompareFunctionEqual, keep, keep, zero), nullptr);
  fillStencilState = StencilState(device, Face(MTLCompareFunctionNotEqual, zero, zero, zero), nullptr);
  strokeShapeStencilState =
    StencilState(device, Face(MTLCompareFunctionEqual, keep, keep, MTLStencilOperationIncrementClamp), nullptr);
  strokeAntiAliasStencilState = StencilState(device, Face(MTLCompareFunctionEqual, keep, keep, keep), nullptr);
  strokeClearStencilState = StencilState(device, Face(MTLCompareFunctionAlways, zero, zero, zero), nullptr);
}

void MVGcontext_vVorelle3_au::updateRenderPipelineStatesForBlend(const MVGblend* blend, MTLPixelFormat pixelFormat)
{
  if (pipelineState && stencilOnlyPipelineState && piplelinePixelFormat == pixelFormat &&
      blendFunc->srcRGB == blend->srcRGB && blendFunc->dstRGB == blend->dstRGB &&
      blendFunc->srcAlpha == blend->srcAlpha && blendFunc->dstAlpha == blend->dstAlpha)
    return;
  ++pipelineBuilds;
  MTLDevice* device = metalLayer->device();
  MTLRenderPipelineDescriptor* d = MTLRenderPipelineDescriptor::alloc()->init();
  MTLRenderPipelineColorAttachmentDescriptor* c = d->colorAttachments()->objectAtIndexedSubscript(0);
  c->setPixelFormat(pixelFormat);
  c->setBlendingEnabled(YES);
  c->setSourceRGBBlendFactor(blend->srcRGB);
  c->setSourceAlphaBlendFactor(blend->srcAlpha);
  c->setDestinationRGBBlendFactor(blend->dstRGB);
  c->setDestinationAlphaBlendFactor(blend->dstAlpha);
  *blendFunc = *blend;
  d->setStencilAttachmentPixelFormat(MTLPixelFormatStencil8);
  d->setFragmentFunction(fragmentFunction);
  d->setVertexFunction(vertexFunction);
  d->setVertexDescriptor(vertexDescriptor);

  NSError* error = nullptr;
  ReleaseSlot(pipelineState);
  pipelineState = device->newRenderPipelineStateWithDescriptor(d, &error);
  checkError(error, "init pipeline state");

  d->setFragmentFunction(nullptr);
  c->setWriteMask(MTLColorWriteMaskNone);
  error = nullptr;
  ReleaseSlot(stencilOnlyPipelineState);
  stencilOnlyPipelineState = device->newRenderPipelineStateWithDescriptor(d, &error);
  checkError(error, "init pipeline stencil only state");
  d->release();
  piplelinePixelFormat = pixelFormat;
}

void MVGcontext_vVorelle3_au::checkError(NSError* error, const char* message)
{
  if (!error || !(flags & VG_DEBUG))
    return;
  NSString* text = error->localizedDescription();
  ReportError(message, text ? text->UTF8String() : "");
}

void MVGcontext_vVorelle3_au::renderDelete()
{
  // Frames still in flight hold the sets' buffers: let them finish first.
  for (MVGbuffers_vVorelle3_au* set : cbuffers) {
    MTLCommandBuffer* cb = nullptr;
    {
      std::lock_guard<std::mutex> hold(set->lock);
      if ((cb = set->commandBuffer))
        cb->retain();
    }
    if (cb) {
      cb->waitUntilCompleted();
      cb->release();
    }
    set->release();
  }
  cbuffers.clear();
  buffers = nullptr;
  for (MVGtexture_vVorelle3_au* t : textures) {
    if (!(t->flags & VG_IMAGE_NODELETE)) {
      ReleaseSlot(t->tex);
      ReleaseSlot(t->sampler);
    }
    t->release();
  }
  textures.clear();
  std::free(blendFunc);
  blendFunc = nullptr;
  ReleaseSlot(commandQueue);
  ReleaseSlot(renderEncoder);
  if (semaphore)
    dispatch_release(semaphore);
  semaphore = nullptr;
  for (MTLDepthStencilState** s :
       {&defaultStencilState, &fillShapeStencilState, &fillAntiAliasStencilState, &fillStencilState,
        &strokeShapeStencilState, &strokeAntiAliasStencilState, &strokeClearStencilState})
    ReleaseSlot(*s);
  ReleaseSlot(fragmentFunction);
  ReleaseSlot(vertexFunction);
  ReleaseSlot(pipelineState);
  ReleaseSlot(stencilOnlyPipelineState);
  ReleaseSlot(pseudoSampler);
  ReleaseSlot(pseudoTexture);
  ReleaseSlot(vertexDescriptor);
  if (metalLayer) {
    metalLayer->setDevice(nullptr);
    metalLayer->release();
    metalLayer = nullptr;
  }
}

void MVGbuffers_vVorelle3_au::dealloc()
{
  for (MTLResource* r : {static_cast<MTLResource*>(viewSizeBuffer), static_cast<MTLResource*>(stencilTexture),
                         static_cast<MTLResource*>(indexBuffer), static_cast<MTLResource*>(vertBuffer),
                         static_cast<MTLResource*>(uniformBuffer)})
    if (r)
      r->release();
  if (commandBuffer)
    commandBuffer->release();
  std::free(calls);
  NSObject::dealloc();
}
