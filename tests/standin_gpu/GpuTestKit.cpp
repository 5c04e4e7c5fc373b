#include "GpuTestKit.h"

#include <standin/MetalShaderRegistry.h>

#include <filesystem>

namespace gputest {

Gpu::Gpu()
{
  mPool = NSAutoreleasePool::alloc()->init();
  mDevice = MTLCreateSystemDefaultDevice();
  mQueue = mDevice->newCommandQueue();
  const std::string data = standin::metal::LibraryData(
    {"pixelVertex", "clipVertex", "solidFragment", "texturedFragment", "discardFragment", "positionFragment"});
  dispatch_data_t d = dispatch_data_create(data.data(), data.size(), nullptr, DISPATCH_DATA_DESTRUCTOR_DEFAULT);
  mLibrary = mDevice->newLibraryWithData(d, nullptr);
  dispatch_release(d);
}

Gpu::~Gpu()
{
  standin::WaitForGPUIdle();
  for (NSObject* o : mOwned)
    o->release();
  mLibrary->release();
  mQueue->release();
  mDevice->release();
  mPool->drain();
}

MTLRenderPipelineState* Gpu::Pipeline(const PipelineOptions& o)
{
  MTLRenderPipelineDescriptor* d = MTLRenderPipelineDescriptor::alloc()->init();
  MTLFunction* vs = mLibrary->newFunctionWithName(NSString::stringWithUTF8String(o.vertex.c_str()));
  MTLFunction* fs =
    o.fragment.empty() ? nullptr : mLibrary->newFunctionWithName(NSString::stringWithUTF8String(o.fragment.c_str()));
  d->setVertexFunction(vs);
  d->setFragmentFunction(fs);
  if (vs)
    vs->release();
  if (fs)
    fs->release();
  MTLVertexDescriptor* vd = MTLVertexDescriptor::vertexDescriptor();
  const MTLVertexFormat formats[3] = {MTLVertexFormatFloat4, MTLVertexFormatFloat2, MTLVertexFormatFloat4};
  const NSUInteger offsets[3] = {0, 16, 32};
  for (int i = 0; i < 3; ++i) {
    vd->attributes()->objectAtIndexedSubscript(i)->setFormat(formats[i]);
    vd->attributes()->objectAtIndexedSubscript(i)->setOffset(offsets[i]);
    vd->attributes()->objectAtIndexedSubscript(i)->setBufferIndex(0);
  }
  vd->layouts()->objectAtIndexedSubscript(0)->setStride(sizeof(Vtx));
  d->setVertexDescriptor(vd);
  MTLRenderPipelineColorAttachmentDescriptor* c = d->colorAttachments()->objectAtIndexedSubscript(0);
  c->setPixelFormat(o.color);
  c->setBlendingEnabled(o.blending);
  c->setSourceRGBBlendFactor(o.srcRGB);
  c->setDestinationRGBBlendFactor(o.dstRGB);
  c->setSourceAlphaBlendFactor(o.srcA);
  c->setDestinationAlphaBlendFactor(o.dstA);
  c->setRgbBlendOperation(o.rgbOp);
  c->setAlphaBlendOperation(o.alphaOp);
  c->setWriteMask(o.writeMask);
  if (o.stencil)
    d->setStencilAttachmentPixelFormat(MTLPixelFormatStencil8);
  NSError* error = nullptr;
  MTLRenderPipelineState* state = mDevice->newRenderPipelineStateWithDescriptor(d, &error);
  d->release();
  return state ? Keep(state) : nullptr;
}

MTLDepthStencilState* Gpu::Stencil(const StencilFaceOptions* front, const StencilFaceOptions* back)
{
  MTLDepthStencilDescriptor* d = MTLDepthStencilDescriptor::alloc()->init();
  auto face = [](const StencilFaceOptions* f) -> MTLStencilDescriptor* {
    if (!f)
      return nullptr;
    MTLStencilDescriptor* s = MTLStencilDescriptor::alloc()->init();
    s->setStencilCompareFunction(f->compare);
    s->setStencilFailureOperation(f->fail);
    s->setDepthFailureOperation(f->fail);
    s->setDepthStencilPassOperation(f->pass);
    s->setReadMask(f->readMask);
    return static_cast<MTLStencilDescriptor*>(s->autorelease());
  };
  d->setFrontFaceStencil(face(front));
  d->setBackFaceStencil(face(back));
  MTLDepthStencilState* state = mDevice->newDepthStencilStateWithDescriptor(d);
  d->release();
  return Keep(state);
}

MTLTexture* Gpu::Texture(MTLPixelFormat format, unsigned w, unsigned h, const void* bytes, bool mipmapped)
{
  MTLTextureDescriptor* d = MTLTextureDescriptor::texture2DDescriptorWithPixelFormat(format, w, h, mipmapped);
  d->setUsage(MTLTextureUsageShaderRead | MTLTextureUsageRenderTarget);
  MTLTexture* t = mDevice->newTextureWithDescriptor(d);
  if (t && bytes)
    t->replaceRegion(MTLRegionMake2D(0, 0, w, h), 0, bytes,
                     w * (format == MTLPixelFormatR8Unorm || format == MTLPixelFormatStencil8 ? 1 : 4));
  return t ? Keep(t) : nullptr;
}

MTLSamplerState* Gpu::Sampler(MTLSamplerMinMagFilter filter, MTLSamplerAddressMode mode)
{
  MTLSamplerDescriptor* d = MTLSamplerDescriptor::alloc()->init();
  d->setMinFilter(filter);
  d->setMagFilter(filter);
  d->setSAddressMode(mode);
  d->setTAddressMode(mode);
  MTLSamplerState* s = mDevice->newSamplerStateWithDescriptor(d);
  d->release();
  return Keep(s);
}

MTLBuffer* Gpu::Buffer(const void* bytes, size_t length)
{
  return Keep(mDevice->newBufferWithBytes(bytes, length, MTLResourceCPUCacheModeWriteCombined));
}

void Gpu::Pass(MTLTexture* color, MTLTexture* stencil, MTLLoadAction load, MTLClearColor clear,
               const std::function<void(MTLRenderCommandEncoder*)>& encode)
{
  NSAutoreleasePool* pool = NSAutoreleasePool::alloc()->init();
  MTLRenderPassDescriptor* pass = MTLRenderPassDescriptor::renderPassDescriptor();
  MTLRenderPassColorAttachmentDescriptor* c = pass->colorAttachments()->objectAtIndexedSubscript(0);
  c->setTexture(color);
  c->setLoadAction(load);
  c->setStoreAction(MTLStoreActionStore);
  c->setClearColor(clear);
  if (stencil) {
    pass->stencilAttachment()->setTexture(stencil);
    pass->stencilAttachment()->setLoadAction(MTLLoadActionClear);
    pass->stencilAttachment()->setStoreAction(MTLStoreActionStore);
  }
  MTLCommandBuffer* cb = mQueue->commandBuffer();
  MTLRenderCommandEncoder* e = cb->renderCommandEncoderWithDescriptor(pass);
  encode(e);
  e->endEncoding();
  cb->commit();
  cb->waitUntilCompleted();
  pool->drain();
}

void Gpu::BindVertices(MTLRenderCommandEncoder* e, const std::vector<Vtx>& v, MTLTexture* target)
{
  const float size[2] = {float(target->width()), float(target->height())};
  e->setVertexBuffer(Vertices(v), 0, 0);
  e->setVertexBuffer(Buffer(size, sizeof size), 0, 1);
}

std::array<uint8_t, 4> Pixel(MTLTexture* t, unsigned x, unsigned y)
{
  uint8_t b[4] = {0, 0, 0, 0};
  t->getBytes(b, 4, MTLRegionMake2D(x, y, 1, 1), 0);
  switch (t->pixelFormat()) {
  case MTLPixelFormatBGRA8Unorm: return {b[2], b[1], b[0], b[3]};
  case MTLPixelFormatRGBA8Unorm: return {b[0], b[1], b[2], b[3]};
  default: return {b[0], b[0], b[0], 255};
  }
}

std::string OutputPath(const std::string& name)
{
  const std::filesystem::path dir = std::filesystem::current_path() / "gpu_output";
  std::filesystem::create_directories(dir);
  return (dir / name).string();
}

} // namespace gputest
