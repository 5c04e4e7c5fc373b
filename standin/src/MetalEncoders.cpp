// Recording render and blit commands, and running blit passes.
#include "MetalInternal.h"

#include <algorithm>
#include <cstring>

using standin::mtl::BlitCommand;
using standin::mtl::RenderCommand;
using standin::mtl::ValidationError;

MTLCommandEncoder::MTLCommandEncoder(MTLCommandBuffer* buffer) : mBuffer(buffer) { mBuffer->retain(); }

void MTLCommandEncoder::dealloc()
{
  if (!mEnded)
    ValidationError(std::string(className()) + ": released without endEncoding");
  mBuffer->release();
  NSObject::dealloc();
}

bool MTLCommandEncoder::Recording(const char* what) const
{
  if (mEnded)
    ValidationError(std::string(what) + ": the encoder has ended");
  return !mEnded;
}

void MTLCommandEncoder::endEncoding()
{
  if (!Recording("endEncoding"))
    return;
  mEnded = true;
  mBuffer->EncoderEnded(this);
}

// ---- Render commands ------------------------------------------------------------

namespace standin::mtl {

RenderPassRecord::~RenderPassRecord()
{
  for (RenderCommand& c : commands)
    if (c.object)
      c.object->release();
  if (color.texture)
    color.texture->release();
  if (stencil.texture)
    stencil.texture->release();
}

void RenderPassRecord::Add(RenderCommand command)
{
  if (command.object)
    command.object->retain();
  commands.push_back(command);
}

BlitPassRecord::~BlitPassRecord()
{
  for (BlitCommand& c : commands) {
    if (c.buffer)
      c.buffer->release();
    if (c.texture)
      c.texture->release();
  }
}

void BlitPassRecord::Execute()
{
  for (BlitCommand& c : commands) {
    TextureImage& image = c.texture->image();
    switch (c.kind) {
    case BlitCommand::kCopyBufferToTexture: {
      const std::size_t row = c.size.width * image.bytesPerPixel;
      const uint8_t* src = static_cast<const uint8_t*>(c.buffer->gpuBytes()) + c.offset;
      for (NSUInteger y = 0; y < c.size.height; ++y)
        std::memcpy(image.Texel(unsigned(c.level), unsigned(c.origin.x), unsigned(c.origin.y + y)),
                    src + y * c.bytesPerRow, row);
      break;
    }
    case BlitCommand::kGenerateMipmaps: image.GenerateMipmaps(); break;
    case BlitCommand::kSynchronize: break;
    }
  }
}

} // namespace standin::mtl

namespace {
bool SlotOK(NSUInteger index, NSUInteger limit, const char* what)
{
  if (index < limit)
    return true;
  ValidationError(std::string(what) + ": index out of range");
  return false;
}
} // namespace

void MTLRenderCommandEncoder::setRenderPipelineState(MTLRenderPipelineState* state)
{
  if (Recording("setRenderPipelineState"))
    mPass->Add({RenderCommand::kPipeline, 0, state});
}
void MTLRenderCommandEncoder::setDepthStencilState(MTLDepthStencilState* state)
{
  if (Recording("setDepthStencilState"))
    mPass->Add({RenderCommand::kDepthStencil, 0, state});
}
void MTLRenderCommandEncoder::setCullMode(MTLCullMode mode)
{
  if (Recording("setCullMode"))
    mPass->Add({RenderCommand::kCull, 0, nullptr, mode});
}
void MTLRenderCommandEncoder::setFrontFacingWinding(MTLWinding winding)
{
  if (Recording("setFrontFacingWinding"))
    mPass->Add({RenderCommand::kWinding, 0, nullptr, winding});
}
void MTLRenderCommandEncoder::setStencilReferenceValue(uint32_t value)
{
  if (Recording("setStencilReferenceValue"))
    mPass->Add({RenderCommand::kStencilRef, 0, nullptr, value});
}
void MTLRenderCommandEncoder::setViewport(MTLViewport viewport)
{
  if (!Recording("setViewport"))
    return;
  RenderCommand c{RenderCommand::kViewport};
  c.viewport = viewport;
  mPass->Add(c);
}
void MTLRenderCommandEncoder::setVertexBuffer(MTLBuffer* buffer, NSUInteger offset, NSUInteger index)
{
  if (Recording("setVertexBuffer") && SlotOK(index, kMTLMaxBufferSlots, "setVertexBuffer"))
    mPass->Add({RenderCommand::kVertexBuffer, unsigned(index), buffer, offset});
}
void MTLRenderCommandEncoder::setVertexBufferOffset(NSUInteger offset, NSUInteger index)
{
  if (Recording("setVertexBufferOffset") && SlotOK(index, kMTLMaxBufferSlots, "setVertexBufferOffset"))
    mPass->Add({RenderCommand::kVertexOffset, unsigned(index), nullptr, offset});
}
void MTLRenderCommandEncoder::setFragmentBuffer(MTLBuffer* buffer, NSUInteger offset, NSUInteger index)
{
  if (Recording("setFragmentBuffer") && SlotOK(index, kMTLMaxBufferSlots, "setFragmentBuffer"))
    mPass->Add({RenderCommand::kFragmentBuffer, unsigned(index), buffer, offset});
}
void MTLRenderCommandEncoder::setFragmentBufferOffset(NSUInteger offset, NSUInteger index)
{
  if (Recording("setFragmentBufferOffset") && SlotOK(index, kMTLMaxBufferSlots, "setFragmentBufferOffset"))
    mPass->Add({RenderCommand::kFragmentOffset, unsigned(index), nullptr, offset});
}
void MTLRenderCommandEncoder::setFragmentTexture(MTLTexture* texture, NSUInteger index)
{
  if (Recording("setFragmentTexture") && SlotOK(index, kMTLMaxBufferSlots, "setFragmentTexture"))
    mPass->Add({RenderCommand::kFragmentTexture, unsigned(index), texture});
}
void MTLRenderCommandEncoder::setFragmentSamplerState(MTLSamplerState* sampler, NSUInteger index)
{
  if (Recording("setFragmentSamplerState") && SlotOK(index, 16, "setFragmentSamplerState"))
    mPass->Add({RenderCommand::kFragmentSampler, unsigned(index), sampler});
}
void MTLRenderCommandEncoder::drawPrimitives(MTLPrimitiveType type, NSUInteger vertexStart, NSUInteger vertexCount)
{
  if (Recording("drawPrimitives"))
    mPass->Add({RenderCommand::kDraw, unsigned(type), nullptr, vertexStart, vertexCount});
}
void MTLRenderCommandEncoder::drawIndexedPrimitives(MTLPrimitiveType type, NSUInteger indexCount,
                                                    MTLIndexType indexType, MTLBuffer* indexBuffer,
                                                    NSUInteger indexBufferOffset)
{
  if (!Recording("drawIndexedPrimitives"))
    return;
  if (!indexBuffer) {
    ValidationError("drawIndexedPrimitives: no index buffer");
    return;
  }
  const NSUInteger size = indexType == MTLIndexTypeUInt16 ? 2 : 4;
  if (indexBufferOffset % size != 0 || indexBufferOffset > indexBuffer->length() ||
      indexCount > (indexBuffer->length() - indexBufferOffset) / size) {
    ValidationError("drawIndexedPrimitives: indexes outside the index buffer");
    return;
  }
  mPass->Add({RenderCommand::kDrawIndexed, unsigned(type), indexBuffer, indexCount, indexType, indexBufferOffset});
}

// ---- Blit commands -------------------------------------------------------------

void MTLBlitCommandEncoder::copyFromBuffer(MTLBuffer* sourceBuffer, NSUInteger sourceOffset,
                                           NSUInteger sourceBytesPerRow, NSUInteger, MTLSize sourceSize,
                                           MTLTexture* texture, NSUInteger slice, NSUInteger level, MTLOrigin origin)
{
  if (!Recording("copyFromBuffer"))
    return;
  if (!sourceBuffer || !texture || slice != 0 || level >= texture->mipmapLevelCount()) {
    ValidationError("copyFromBuffer: bad buffer, texture, slice or level");
    return;
  }
  const auto& l = texture->image().levels[level];
  const NSUInteger row = sourceSize.width * texture->image().bytesPerPixel;
  const bool inside = sourceSize.depth == 1 && origin.z == 0 && origin.x <= l.width &&
                      sourceSize.width <= l.width - origin.x && origin.y <= l.height &&
                      sourceSize.height <= l.height - origin.y;
  const bool fits = sourceBytesPerRow >= row && sourceOffset <= sourceBuffer->length() &&
                    (sourceSize.height == 0 ||
                     (sourceSize.height - 1) * sourceBytesPerRow + row <= sourceBuffer->length() - sourceOffset);
  if (!inside || !fits) {
    ValidationError("copyFromBuffer: region outside the texture or the buffer");
    return;
  }
  BlitCommand c{BlitCommand::kCopyBufferToTexture};
  c.buffer = static_cast<MTLBuffer*>(sourceBuffer->retain());
  c.texture = static_cast<MTLTexture*>(texture->retain());
  c.offset = sourceOffset;
  c.bytesPerRow = sourceBytesPerRow;
  c.level = level;
  c.size = sourceSize;
  c.origin = origin;
  mPass->commands.push_back(c);
}

void MTLBlitCommandEncoder::generateMipmapsForTexture(MTLTexture* texture)
{
  if (!Recording("generateMipmapsForTexture") || !texture)
    return;
  BlitCommand c{BlitCommand::kGenerateMipmaps};
  c.texture = static_cast<MTLTexture*>(texture->retain());
  mPass->commands.push_back(c);
}

void MTLBlitCommandEncoder::synchronizeResource(MTLResource*) { Recording("synchronizeResource"); }
