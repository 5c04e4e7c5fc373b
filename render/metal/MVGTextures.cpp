// Texture records behind the engine's image ids.
#include <atomic>
#include <cstdlib>

#include "MVGContext.h"

namespace {

int BytesPerPixel(const MVGtexture_vVorelle3_au* t) { return t->type == VG_TEXTURE_ALPHA ? 1 : 4; }

bool RegionInside(const MTLTexture* tex, int x, int y, int w, int h)
{
  return x >= 0 && y >= 0 && w > 0 && h > 0 && NSUInteger(x) + NSUInteger(w) <= tex->width() &&
         NSUInteger(y) + NSUInteger(h) <= tex->height();
}

} // namespace

MVGtexture_vVorelle3_au* MVGcontext_vVorelle3_au::allocTexture()
{
  MVGtexture_vVorelle3_au* record = nullptr;
  for (MVGtexture_vVorelle3_au* t : textures)
    if (t->id == 0) {
      record = t;
      break;
    }
  if (!record) {
    record = MVGtexture_vVorelle3_au::alloc();
    textures.push_back(record);
  }
  record->id = ++textureId;
  return record;
}

MVGtexture_vVorelle3_au* MVGcontext_vVorelle3_au::findTexture(int id) const
{
  if (id == 0)
    return nullptr;
  for (MVGtexture_vVorelle3_au* t : textures)
    if (t->id == id)
      return t;
  return nullptr;
}

int MVGcontext_vVorelle3_au::renderCreateTexture(int type, int width, int height, int imageFlags, const uint8_t* data)
{
  if (width <= 0 || height <= 0 || width > kMaxTextureSize || height > kMaxTextureSize)
    return 0;
  MTLDevice* device = metalLayer->device();
  const bool mipmaps = imageFlags & VG_IMAGE_GENERATE_MIPMAPS;
  MTLTextureDescriptor* d = MTLTextureDescriptor::texture2DDescriptorWithPixelFormat(
    type == VG_TEXTURE_ALPHA ? MTLPixelFormatR8Unorm : MTLPixelFormatRGBA8Unorm, NSUInteger(width), NSUInteger(height),
    mipmaps ? YES : NO);
  d->setUsage(MTLTextureUsageShaderRead | MTLTextureUsageShaderWrite | MTLTextureUsageRenderTarget);
  MTLTexture* tex = device->newTextureWithDescriptor(d);
  if (!tex)
    return 0;

  if (data) {
    const NSUInteger rowBytes = NSUInteger(width) * (type == VG_TEXTURE_ALPHA ? 1 : 4);
    const MTLRegion whole = MTLRegionMake2D(0, 0, NSUInteger(width), NSUInteger(height));
    if (d->storageMode() != MTLStorageModePrivate) {
      tex->replaceRegion(whole, 0, data, rowBytes);
    } else {
      MTLBuffer* staging =
        device->newBufferWithBytes(data, rowBytes * NSUInteger(height), MTLResourceStorageModeShared);
      MTLCommandBuffer* cb = commandQueue->commandBuffer();
      MTLBlitCommandEncoder* blit = cb->blitCommandEncoder();
      blit->copyFromBuffer(staging, 0, rowBytes, rowBytes * NSUInteger(height), whole.size, tex, 0, 0,
                           MTLOriginMake(0, 0, 0));
      blit->endEncoding();
      cb->commit();
      cb->waitUntilCompleted();
      staging->release();
    }
    if (mipmaps) {
      MTLCommandBuffer* cb = commandQueue->commandBuffer();
      MTLBlitCommandEncoder* blit = cb->blitCommandEncoder();
      blit->generateMipmapsForTexture(tex);
      blit->endEncoding();
      cb->commit();
      cb->waitUntilCompleted();
    }
  }

  MTLSamplerDescriptor* sd = MTLSamplerDescriptor::alloc()->init();
  const bool nearest = imageFlags & VG_IMAGE_NEAREST;
  sd->setMinFilter(nearest ? MTLSamplerMinMagFilterNearest : MTLSamplerMinMagFilterLinear);
  sd->setMagFilter(nearest ? MTLSamplerMinMagFilterNearest : MTLSamplerMinMagFilterLinear);
  if (mipmaps)
    sd->setMipFilter(nearest ? MTLSamplerMipFilterNearest : MTLSamplerMipFilterLinear);
  sd->setSAddressMode(imageFlags & VG_IMAGE_REPEATX ? MTLSamplerAddressModeRepeat : MTLSamplerAddressModeClampToEdge);
  sd->setTAddressMode(imageFlags & VG_IMAGE_REPEATY ? MTLSamplerAddressModeRepeat : MTLSamplerAddressModeClampToEdge);
  MTLSamplerState* sampler = device->newSamplerStateWithDescriptor(sd);
  sd->release();

  MVGtexture_vVorelle3_au* record = allocTexture();
  record->type = type;
  record->flags = imageFlags;
  record->tex = tex;
  record->sampler = sampler;
  return record->id;
}

BOOL MVGcontext_vVorelle3_au::renderDeleteTexture(int image)
{
  MVGtexture_vVorelle3_au* t = findTexture(image);
  if (!t)
    return NO;
  if (t->tex && !(t->flags & VG_IMAGE_NODELETE)) {
    t->tex->release();
    if (t->sampler)
      t->sampler->release();
  }
  t->tex = nullptr;
  t->sampler = nullptr;
  t->id = 0;
  t->flags = 0;
  return YES;
}

BOOL MVGcontext_vVorelle3_au::renderUpdateTexture(int image, int x, int y, int width, int height, const uint8_t* data)
{
  MVGtexture_vVorelle3_au* t = findTexture(image);
  if (!t)
    return NO;
  if (!t->tex || !data || !RegionInside(t->tex, x, y, width, height))
    return NO;
  const NSUInteger bpp = NSUInteger(BytesPerPixel(t));
  const NSUInteger rowBytes = t->tex->width() * bpp;
  const uint8_t* src = data + NSUInteger(y) * rowBytes + NSUInteger(x) * bpp;
  t->tex->replaceRegion(MTLRegionMake2D(NSUInteger(x), NSUInteger(y), NSUInteger(width), NSUInteger(height)), 0, src,
                        rowBytes);
  return YES;
}

BOOL MVGcontext_vVorelle3_au::renderGetTextureSize(int image, int* width, int* height)
{
  const MVGtexture_vVorelle3_au* t = findTexture(image);
  if (!t || !t->tex)
    return NO;
  *width = int(t->tex->width());
  *height = int(t->tex->height());
  return YES;
}

void MVGcontext_vVorelle3_au::waitForImage(int image)
{
  for (MVGbuffers_vVorelle3_au* set : cbuffers) {
    MTLCommandBuffer* cb = nullptr;
    {
      std::lock_guard<std::mutex> hold(set->lock);
      if (set->isBusy && set->image == image && set->commandBuffer)
        cb = set->commandBuffer;
      if (cb)
        cb->retain(); // the completion handler may release the set's reference meanwhile
    }
    if (cb) {
      cb->waitUntilCompleted();
      cb->release();
      return;
    }
  }
}

// ---- Entry functions -----------------------------------------------------

namespace {
// Shared by every renderer of the process, as the back end expects.
std::atomic<MVGframebuffer*> gCurrentFramebuffer{nullptr};
} // namespace

MVGframebuffer* mvgCurrentFramebuffer() { return gCurrentFramebuffer.load(); }
void mvgBindFramebuffer(MVGframebuffer* framebuffer) { gCurrentFramebuffer.store(framebuffer); }

MVGframebuffer* mvgCreateFramebuffer(VGcontext* ctx, int w, int h, int imageFlags)
{
  MVGcontext_vVorelle3_au* r = mvgRenderer(ctx);
  if (!r)
    return nullptr;
  auto* fb = static_cast<MVGframebuffer*>(std::malloc(sizeof(MVGframebuffer)));
  if (!fb)
    return nullptr;
  fb->ctx = ctx;
  fb->image = r->renderCreateTexture(VG_TEXTURE_RGBA, w, h, imageFlags | VG_IMAGE_PREMULTIPLIED, nullptr);
  return fb;
}

void mvgDeleteFramebuffer(MVGframebuffer* framebuffer)
{
  if (!framebuffer)
    return;
  if (framebuffer->image > 0)
    mvgRenderer(framebuffer->ctx)->renderDeleteTexture(framebuffer->image);
  // A deleted framebuffer must not stay current.
  MVGframebuffer* expected = framebuffer;
  gCurrentFramebuffer.compare_exchange_strong(expected, nullptr);
  std::free(framebuffer);
}

void mvgClearWithColor(VGcontext* ctx, VGcolor c)
{
  MVGcontext_vVorelle3_au* r = mvgRenderer(ctx);
  r->clearColor = {double(c.r) * c.a, double(c.g) * c.a, double(c.b) * c.a, double(c.a)};
  r->clearBufferOnFlush = YES;
}

MTLCommandQueue* mvgCommandQueue(VGcontext* ctx) { return mvgRenderer(ctx)->commandQueue; }
MTLDevice* mvgDevice(VGcontext* ctx) { return mvgRenderer(ctx)->metalLayer->device(); }

int mvgCreateImageFromHandle(VGcontext* ctx, MTLTexture* texture, int imageFlags)
{
  MVGcontext_vVorelle3_au* r = mvgRenderer(ctx);
  if (!r || !texture)
    return 0;
  MVGtexture_vVorelle3_au* record = r->allocTexture();
  record->type = VG_TEXTURE_RGBA;
  record->flags = imageFlags;
  // Without NODELETE the record owns a reference, released on delete.
  if (!(imageFlags & VG_IMAGE_NODELETE))
    texture->retain();
  record->tex = texture;
  record->sampler = nullptr;
  return record->id;
}

MTLTexture* mvgImageHandle(VGcontext* ctx, int image)
{
  MVGcontext_vVorelle3_au* r = mvgRenderer(ctx);
  MVGtexture_vVorelle3_au* t = r->findTexture(image);
  if (!t)
    return nullptr;
  r->waitForImage(image);
  return t->tex;
}

void mvgReadPixels(VGcontext* ctx, int image, int x, int y, int w, int h, void* data)
{
  MVGcontext_vVorelle3_au* r = mvgRenderer(ctx);
  MVGtexture_vVorelle3_au* t = r->findTexture(image);
  if (!t || !t->tex || !data || !RegionInside(t->tex, x, y, w, h))
    return;
  r->waitForImage(image);
  const NSUInteger rowBytes = t->tex->width() * NSUInteger(BytesPerPixel(t));
  t->tex->getBytes(data, rowBytes, MTLRegionMake2D(NSUInteger(x), NSUInteger(y), NSUInteger(w), NSUInteger(h)), 0);
}

int mvgTarget() { return 1; }
