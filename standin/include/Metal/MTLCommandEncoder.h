// Encoders record commands into their command buffer; the GPU replays them
// when the buffer executes, each draw with the state set before it.
#pragma once

#include <Metal/MTLDepthStencil.h>
#include <Metal/MTLRenderPass.h>
#include <Metal/MTLRenderPipeline.h>
#include <Metal/MTLSampler.h>

class MTLCommandBuffer;
namespace standin::mtl {
struct RenderPassRecord;
struct BlitPassRecord;
}

class NS_EXPORT MTLCommandEncoder : public NSObject {
public:
  virtual void endEncoding();
  const char* className() const override { return "MTLCommandEncoder"; }

protected:
  friend class MTLCommandBuffer;
  explicit MTLCommandEncoder(MTLCommandBuffer* buffer);
  void dealloc() override;
  // False (and a validation error) once the encoder has ended.
  bool Recording(const char* what) const;

private:
  MTLCommandBuffer* mBuffer; // retained
  bool mEnded = false;
};

class NS_EXPORT MTLRenderCommandEncoder : public MTLCommandEncoder {
public:
  void setRenderPipelineState(MTLRenderPipelineState* state);
  void setDepthStencilState(MTLDepthStencilState* state);
  void setCullMode(MTLCullMode mode);
  void setFrontFacingWinding(MTLWinding winding);
  void setStencilReferenceValue(uint32_t value);
  void setViewport(MTLViewport viewport);
  void setVertexBuffer(MTLBuffer* buffer, NSUInteger offset, NSUInteger index);
  void setVertexBufferOffset(NSUInteger offset, NSUInteger index);
  void setFragmentBuffer(MTLBuffer* buffer, NSUInteger offset, NSUInteger index);
  void setFragmentBufferOffset(NSUInteger offset, NSUInteger index);
  void setFragmentTexture(MTLTexture* texture, NSUInteger index);
  void setFragmentSamplerState(MTLSamplerState* sampler, NSUInteger index);
  void drawPrimitives(MTLPrimitiveType type, NSUInteger vertexStart, NSUInteger vertexCount);
  void drawIndexedPrimitives(MTLPrimitiveType type, NSUInteger indexCount, MTLIndexType indexType,
                             MTLBuffer* indexBuffer, NSUInteger indexBufferOffset);
  const char* className() const override { return "MTLRenderCommandEncoder"; }

protected:
  friend class MTLCommandBuffer;
  MTLRenderCommandEncoder(MTLCommandBuffer* buffer, standin::mtl::RenderPassRecord* pass)
  : MTLCommandEncoder(buffer), mPass(pass)
  {
  }

private:
  standin::mtl::RenderPassRecord* mPass; // owned by the command buffer
};

class NS_EXPORT MTLBlitCommandEncoder : public MTLCommandEncoder {
public:
  void copyFromBuffer(MTLBuffer* sourceBuffer, NSUInteger sourceOffset, NSUInteger sourceBytesPerRow,
                      NSUInteger sourceBytesPerImage, MTLSize sourceSize, MTLTexture* destinationTexture,
                      NSUInteger destinationSlice, NSUInteger destinationLevel, MTLOrigin destinationOrigin);
  // Each level below the base becomes the 2 x 2 box average of the one above.
  void generateMipmapsForTexture(MTLTexture* texture);
  // Managed memory is one copy here: nothing to do but keep the order.
  void synchronizeResource(MTLResource* resource);
  const char* className() const override { return "MTLBlitCommandEncoder"; }

protected:
  friend class MTLCommandBuffer;
  MTLBlitCommandEncoder(MTLCommandBuffer* buffer, standin::mtl::BlitPassRecord* pass)
  : MTLCommandEncoder(buffer), mPass(pass)
  {
  }

private:
  standin::mtl::BlitPassRecord* mPass;
};
