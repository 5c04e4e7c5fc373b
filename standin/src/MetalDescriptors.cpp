// The indexed sub-objects of the descriptors and their ownership.
#include "MetalInternal.h"

namespace {
template <class T, std::size_t N> void ReleaseAll(T* (&items)[N])
{
  for (T* item : items)
    item->release();
}
template <class T, std::size_t N> T* At(T* const (&items)[N], NSUInteger index, const char* what)
{
  if (index >= N) {
    standin::mtl::ValidationError(std::string(what) + ": index out of range");
    return nullptr;
  }
  return items[index];
}
} // namespace

MTLVertexAttributeDescriptorArray::MTLVertexAttributeDescriptorArray()
{
  for (auto& item : mItems)
    item = new MTLVertexAttributeDescriptor();
}
void MTLVertexAttributeDescriptorArray::dealloc()
{
  ReleaseAll(mItems);
  NSObject::dealloc();
}
MTLVertexAttributeDescriptor* MTLVertexAttributeDescriptorArray::objectAtIndexedSubscript(NSUInteger i) const
{
  return At(mItems, i, "vertex attributes");
}

MTLVertexBufferLayoutDescriptorArray::MTLVertexBufferLayoutDescriptorArray()
{
  for (auto& item : mItems)
    item = new MTLVertexBufferLayoutDescriptor();
}
void MTLVertexBufferLayoutDescriptorArray::dealloc()
{
  ReleaseAll(mItems);
  NSObject::dealloc();
}
MTLVertexBufferLayoutDescriptor* MTLVertexBufferLayoutDescriptorArray::objectAtIndexedSubscript(NSUInteger i) const
{
  return At(mItems, i, "vertex buffer layouts");
}

MTLVertexDescriptor::MTLVertexDescriptor()
: mAttributes(new MTLVertexAttributeDescriptorArray()), mLayouts(new MTLVertexBufferLayoutDescriptorArray())
{
}
void MTLVertexDescriptor::dealloc()
{
  mAttributes->release();
  mLayouts->release();
  NSObject::dealloc();
}
MTLVertexDescriptor* MTLVertexDescriptor::vertexDescriptor()
{
  return static_cast<MTLVertexDescriptor*>(alloc()->init()->autorelease());
}
MTLVertexDescriptor* MTLVertexDescriptor::copy() const
{
  MTLVertexDescriptor* c = alloc()->init();
  for (NSUInteger i = 0; i < kMTLMaxVertexAttributes; ++i) {
    const MTLVertexAttributeDescriptor* from = mAttributes->objectAtIndexedSubscript(i);
    MTLVertexAttributeDescriptor* to = c->mAttributes->objectAtIndexedSubscript(i);
    to->setFormat(from->format());
    to->setOffset(from->offset());
    to->setBufferIndex(from->bufferIndex());
  }
  for (NSUInteger i = 0; i < kMTLMaxBufferSlots; ++i) {
    const MTLVertexBufferLayoutDescriptor* from = mLayouts->objectAtIndexedSubscript(i);
    MTLVertexBufferLayoutDescriptor* to = c->mLayouts->objectAtIndexedSubscript(i);
    to->setStride(from->stride());
    to->setStepFunction(from->stepFunction());
    to->setStepRate(from->stepRate());
  }
  return c;
}

MTLRenderPipelineColorAttachmentDescriptorArray::MTLRenderPipelineColorAttachmentDescriptorArray()
{
  for (auto& item : mItems)
    item = new MTLRenderPipelineColorAttachmentDescriptor();
}
void MTLRenderPipelineColorAttachmentDescriptorArray::dealloc()
{
  ReleaseAll(mItems);
  NSObject::dealloc();
}
MTLRenderPipelineColorAttachmentDescriptor*
MTLRenderPipelineColorAttachmentDescriptorArray::objectAtIndexedSubscript(NSUInteger i) const
{
  return At(mItems, i, "pipeline colour attachments");
}

MTLRenderPipelineDescriptor::MTLRenderPipelineDescriptor()
: mColor(new MTLRenderPipelineColorAttachmentDescriptorArray())
{
}
void MTLRenderPipelineDescriptor::dealloc()
{
  mColor->release();
  if (mVertex)
    mVertex->release();
  if (mFragment)
    mFragment->release();
  if (mVertexDescriptor)
    mVertexDescriptor->release();
  NSObject::dealloc();
}
void MTLRenderPipelineDescriptor::setVertexDescriptor(MTLVertexDescriptor* d)
{
  MTLVertexDescriptor* copy = d ? d->copy() : nullptr;
  if (mVertexDescriptor)
    mVertexDescriptor->release();
  mVertexDescriptor = copy;
}

void MTLRenderPassAttachmentDescriptor::dealloc()
{
  if (mTexture)
    mTexture->release();
  NSObject::dealloc();
}

MTLRenderPassColorAttachmentDescriptorArray::MTLRenderPassColorAttachmentDescriptorArray()
{
  for (auto& item : mItems)
    item = new MTLRenderPassColorAttachmentDescriptor();
}
void MTLRenderPassColorAttachmentDescriptorArray::dealloc()
{
  ReleaseAll(mItems);
  NSObject::dealloc();
}
MTLRenderPassColorAttachmentDescriptor*
MTLRenderPassColorAttachmentDescriptorArray::objectAtIndexedSubscript(NSUInteger i) const
{
  return At(mItems, i, "render pass colour attachments");
}

MTLRenderPassDescriptor::MTLRenderPassDescriptor()
: mColor(new MTLRenderPassColorAttachmentDescriptorArray()), mStencil(new MTLRenderPassStencilAttachmentDescriptor())
{
}
void MTLRenderPassDescriptor::dealloc()
{
  mColor->release();
  mStencil->release();
  NSObject::dealloc();
}
MTLRenderPassDescriptor* MTLRenderPassDescriptor::renderPassDescriptor()
{
  return static_cast<MTLRenderPassDescriptor*>(alloc()->init()->autorelease());
}
