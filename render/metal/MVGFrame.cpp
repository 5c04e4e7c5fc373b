// Frames: taking a buffer set, cancelling, and encoding the recorded calls
// into one command buffer for the drawable or the bound framebuffer.
#include <algorithm>

#include "FloatToInt.h"
#include "MVGContext.h"

void MVGcontext_vVorelle3_au::renderViewport(float width, float height, float devicePixelRatio)
{
  // A size that is not a number, negative, or larger than any render target
  // gives an empty viewport, and an empty one is never drawn (renderFlush).
  viewPortSize = {plugin::FloatToInt<uint32_t>(width * devicePixelRatio),
                  plugin::FloatToInt<uint32_t>(height * devicePixelRatio)};
  if (viewPortSize.width > uint32_t(kMaxTextureSize) || viewPortSize.height > uint32_t(kMaxTextureSize))
    viewPortSize = {0, 0};
  // A frame begun without ending the last one keeps its set: no second unit.
  if (buffers)
    return;
  dispatch_semaphore_wait(semaphore, DISPATCH_TIME_FOREVER);
  for (MVGbuffers_vVorelle3_au* set : cbuffers) {
    std::lock_guard<std::mutex> hold(set->lock);
    if (set->isBusy)
      continue;
    set->isBusy = true;
    buffers = set;
    break;
  }
  if (!buffers->viewSizeBuffer)
    buffers->viewSizeBuffer = metalLayer->device()->newBufferWithLength(8, MTLResourceCPUCacheModeWriteCombined);
  float* size = static_cast<float*>(buffers->viewSizeBuffer->contents());
  size[0] = width;
  size[1] = height;
}

void MVGcontext_vVorelle3_au::releaseSet(MVGbuffers_vVorelle3_au* set)
{
  set->image = 0;
  set->isBusy = false;
  set->nindexes = set->nverts = set->ncalls = set->nuniforms = 0;
}

void MVGcontext_vVorelle3_au::renderCancel()
{
  // Only a held set gives its unit back; a second cancel must not overcount.
  MVGbuffers_vVorelle3_au* set = buffers;
  if (!set)
    return;
  buffers = nullptr;
  {
    std::lock_guard<std::mutex> hold(set->lock);
    releaseSet(set);
  }
  dispatch_semaphore_signal(semaphore);
}

void MVGcontext_vVorelle3_au::updateStencilTextureToSize(MVGbuffers_vVorelle3_au* set, NSUInteger width,
                                                         NSUInteger height)
{
  if (set->stencilTexture && (set->stencilTexture->width() < width || set->stencilTexture->height() < height)) {
    set->stencilTexture->release();
    set->stencilTexture = nullptr;
  }
  if (set->stencilTexture)
    return;
  MTLTextureDescriptor* d =
    MTLTextureDescriptor::texture2DDescriptorWithPixelFormat(MTLPixelFormatStencil8, width, height, NO);
  d->setUsage(MTLTextureUsageRenderTarget);
  d->setStorageMode(MTLStorageModePrivate);
  set->stencilTexture = metalLayer->device()->newTextureWithDescriptor(d);
}

MTLRenderCommandEncoder* MVGcontext_vVorelle3_au::renderCommandEncoderWithColorTexture(MTLCommandBuffer* commandBuffer,
                                                                                       MTLTexture* target)
{
  MTLRenderPassDescriptor* pass = MTLRenderPassDescriptor::renderPassDescriptor();
  MTLRenderPassColorAttachmentDescriptor* color = pass->colorAttachments()->objectAtIndexedSubscript(0);
  color->setTexture(target);
  color->setLoadAction(clearBufferOnFlush ? MTLLoadActionClear : MTLLoadActionLoad);
  color->setClearColor(clearColor);
  color->setStoreAction(MTLStoreActionStore);
  clearBufferOnFlush = NO;
  MTLRenderPassStencilAttachmentDescriptor* stencil = pass->stencilAttachment();
  stencil->setTexture(buffers->stencilTexture);
  stencil->setClearStencil(0);
  stencil->setLoadAction(MTLLoadActionClear);
  stencil->setStoreAction(MTLStoreActionDontCare);

  MTLRenderCommandEncoder* e = commandBuffer->renderCommandEncoderWithDescriptor(pass);
  if (!e)
    return nullptr;
  e->setCullMode(MTLCullModeBack);
  e->setFrontFacingWinding(MTLWindingCounterClockwise);
  e->setStencilReferenceValue(0);
  e->setViewport({0, 0, double(viewPortSize.width), double(viewPortSize.height), 0, 1});
  e->setVertexBuffer(buffers->vertBuffer, 0, 0);
  e->setVertexBuffer(buffers->viewSizeBuffer, 0, 1);
  e->setFragmentBuffer(buffers->uniformBuffer, 0, 0);
  return e;
}

void MVGcontext_vVorelle3_au::renderFlush()
{
  MVGbuffers_vVorelle3_au* set = buffers;
  if (!set)
    return;
  if (viewPortSize.width == 0 || viewPortSize.height == 0) {
    renderCancel();
    return;
  }

  MVGframebuffer* fb = mvgCurrentFramebuffer();
  MTLTexture* target = nullptr;
  CAMetalDrawable* drawable = nullptr;
  NSUInteger width = viewPortSize.width, height = viewPortSize.height;
  int image = 0;
  if (fb && mvgRenderer(fb->ctx) == this) {
    const MVGtexture_vVorelle3_au* t = findTexture(fb->image);
    target = t ? t->tex : nullptr;
    image = fb->image;
    if (target)
      width = target->width(), height = target->height();
  } else {
    drawable = metalLayer->nextDrawable();
    target = drawable ? drawable->texture() : nullptr;
    // The stencil attachment must match the colour target, whatever the viewport.
    if (target)
      width = target->width(), height = target->height();
  }
  // No drawable, or a framebuffer without a usable texture: nothing can be
  // drawn, and the set must go back or the next frames run out of sets.
  if (!target || width == 0 || height == 0) {
    renderCancel();
    return;
  }
  // Nothing recorded: an empty set has no buffers to bind.
  const bool anything = set->ncalls > 0 && set->vertBuffer && set->uniformBuffer;

  MTLCommandBuffer* commandBuffer = commandQueue->commandBuffer();
  {
    std::lock_guard<std::mutex> hold(set->lock);
    commandBuffer->retain();
    set->commandBuffer = commandBuffer;
    set->image = image;
  }
  commandBuffer->enqueue();
  // The handler keeps the set and the semaphore alive itself, so a context
  // deleted while the frame is in flight leaves it nothing freed to touch.
  dispatch_semaphore_t sem = semaphore;
  dispatch_retain(sem);
  set->retain();
  commandBuffer->addCompletedHandler([set, sem](MTLCommandBuffer*) {
    {
      std::lock_guard<std::mutex> hold(set->lock);
      if (set->commandBuffer)
        set->commandBuffer->release();
      set->commandBuffer = nullptr;
      releaseSet(set);
    }
    dispatch_semaphore_signal(sem);
    dispatch_release(sem);
    set->release();
  });

  updateStencilTextureToSize(set, width, height);
  renderEncoder = renderCommandEncoderWithColorTexture(commandBuffer, target);
  if (renderEncoder) {
    if (anything) {
      const MTLPixelFormat format = target->pixelFormat();
      for (int i = 0; i < set->ncalls; ++i) {
        const MVGcall& call = set->calls[i];
        updateRenderPipelineStatesForBlend(&call.blendFunc, format);
        // A pipeline that failed to build loses its calls, nothing else.
        if (!pipelineState || !stencilOnlyPipelineState)
          continue;
        switch (call.type) {
        case MVG_CALL_FILL: fill(call); break;
        case MVG_CALL_CONVEXFILL: convexFill(call); break;
        case MVG_CALL_STROKE: stroke(call); break;
        case MVG_CALL_TRIANGLES: triangles(call); break;
        default: break;
        }
      }
    }
    renderEncoder->endEncoding();
  }
  renderEncoder = nullptr;
  if (drawable && !metalLayer->presentsWithTransaction())
    commandBuffer->presentDrawable(drawable);
  if (fb) {
    MTLBlitCommandEncoder* blit = commandBuffer->blitCommandEncoder();
    blit->synchronizeResource(target);
    blit->endEncoding();
  }
  // From here the completion handler owns the set.
  buffers = nullptr;
  commandBuffer->commit();
  if (drawable && metalLayer->presentsWithTransaction()) {
    commandBuffer->waitUntilScheduled();
    drawable->present();
  }
}

void MVGcontext_vVorelle3_au::setUniforms(int uniformOffset, int image)
{
  renderEncoder->setFragmentBufferOffset(NSUInteger(uniformOffset), 0);
  const MVGtexture_vVorelle3_au* t = image ? findTexture(image) : nullptr;
  if (t && t->tex) {
    renderEncoder->setFragmentTexture(t->tex, 0);
    // Images made from a handle have no sampler of their own.
    renderEncoder->setFragmentSamplerState(t->sampler ? t->sampler : pseudoSampler, 0);
  } else {
    renderEncoder->setFragmentTexture(pseudoTexture, 0);
    renderEncoder->setFragmentSamplerState(pseudoSampler, 0);
  }
}

void MVGcontext_vVorelle3_au::fill(const MVGcall& call)
{
  MVGbuffers_vVorelle3_au* set = buffers;
  MTLRenderCommandEncoder* e = renderEncoder;
  e->setCullMode(MTLCullModeNone);
  e->setDepthStencilState(fillShapeStencilState);
  e->setRenderPipelineState(stencilOnlyPipelineState);
  if (call.indexCount > 0)
    e->drawIndexedPrimitives(MTLPrimitiveTypeTriangle, NSUInteger(call.indexCount), MTLIndexTypeUInt32,
                             set->indexBuffer, NSUInteger(call.indexOffset) * NSUInteger(indexSize));
  e->setCullMode(MTLCullModeBack);
  e->setRenderPipelineState(pipelineState);
  setUniforms(call.uniformOffset, call.image);
  if ((flags & VG_ANTIALIAS) && call.strokeCount >= 1) {
    e->setDepthStencilState(fillAntiAliasStencilState);
    e->drawPrimitives(MTLPrimitiveTypeTriangleStrip, NSUInteger(call.strokeOffset), NSUInteger(call.strokeCount));
  }
  e->setDepthStencilState(fillStencilState);
  e->drawPrimitives(MTLPrimitiveTypeTriangleStrip, NSUInteger(call.triangleOffset), NSUInteger(call.triangleCount));
  e->setDepthStencilState(defaultStencilState);
}

void MVGcontext_vVorelle3_au::convexFill(const MVGcall& call)
{
  MTLRenderCommandEncoder* e = renderEncoder;
  setUniforms(call.uniformOffset, call.image);
  e->setRenderPipelineState(pipelineState);
  if (call.indexCount > 0)
    e->drawIndexedPrimitives(MTLPrimitiveTypeTriangle, NSUInteger(call.indexCount), MTLIndexTypeUInt32,
                             buffers->indexBuffer, NSUInteger(call.indexOffset) * NSUInteger(indexSize));
  if (call.strokeCount >= 1)
    e->drawPrimitives(MTLPrimitiveTypeTriangleStrip, NSUInteger(call.strokeOffset), NSUInteger(call.strokeCount));
}

void MVGcontext_vVorelle3_au::stroke(const MVGcall& call)
{
  if (call.strokeCount < 1)
    return;
  MTLRenderCommandEncoder* e = renderEncoder;
  const NSUInteger offset = NSUInteger(call.strokeOffset), count = NSUInteger(call.strokeCount);
  if (!(flags & VG_STENCIL_STROKES)) {
    setUniforms(call.uniformOffset, call.image);
    e->setRenderPipelineState(pipelineState);
    e->drawPrimitives(MTLPrimitiveTypeTriangleStrip, offset, count);
    return;
  }
  setUniforms(call.uniformOffset + fragSize, call.image);
  e->setDepthStencilState(strokeShapeStencilState);
  e->setRenderPipelineState(pipelineState);
  e->drawPrimitives(MTLPrimitiveTypeTriangleStrip, offset, count);
  setUniforms(call.uniformOffset, call.image);
  e->setDepthStencilState(strokeAntiAliasStencilState);
  e->drawPrimitives(MTLPrimitiveTypeTriangleStrip, offset, count);
  e->setDepthStencilState(strokeClearStencilState);
  e->setRenderPipelineState(stencilOnlyPipelineState);
  e->drawPrimitives(MTLPrimitiveTypeTriangleStrip, offset, count);
  e->setDepthStencilState(defaultStencilState);
}

void MVGcontext_vVorelle3_au::triangles(const MVGcall& call)
{
  setUniforms(call.uniformOffset, call.image);
  renderEncoder->setRenderPipelineState(pipelineState);
  renderEncoder->drawPrimitives(MTLPrimitiveTypeTriangle, NSUInteger(call.triangleOffset),
                                NSUInteger(call.triangleCount));
}
