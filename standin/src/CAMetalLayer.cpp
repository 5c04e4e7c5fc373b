#include "MetalInternal.h"

#include <QuartzCore/CAMetalLayer.h>
#include <standin/Testing.h>

#include <algorithm>

namespace {
std::mutex gPresentMutex; // presents come from the GPU thread in worker mode
}

CAMetalDrawable::CAMetalDrawable(CAMetalLayer* layer, MTLTexture* texture) : mLayer(layer), mTexture(texture)
{
  mLayer->retain();
}

void CAMetalDrawable::dealloc()
{
  mTexture->release();
  mLayer->release();
  NSObject::dealloc();
}

void CAMetalDrawable::present() { mLayer->Present(mTexture); }

void CAMetalLayer::setPixelFormat(MTLPixelFormat format)
{
  if (format != MTLPixelFormatBGRA8Unorm && format != MTLPixelFormatRGBA8Unorm) {
    standin::mtl::ValidationError("CAMetalLayer setPixelFormat: format not supported");
    return;
  }
  mPixelFormat = format;
}

CAMetalDrawable* CAMetalLayer::nextDrawable()
{
  const NSUInteger w = plugin::FloatToInt<NSUInteger>(mDrawableSize.width),
                   h = plugin::FloatToInt<NSUInteger>(mDrawableSize.height);
  if (!mDevice || w == 0 || h == 0)
    return nullptr;
  MTLTexture* texture = ReusableDrawableTexture(w, h);
  if (!texture) {
    MTLTextureDescriptor* d = MTLTextureDescriptor::texture2DDescriptorWithPixelFormat(mPixelFormat, w, h, NO);
    d->setUsage(MTLTextureUsageRenderTarget);
    texture = mDevice->newTextureWithDescriptor(d);
    if (!texture)
      return nullptr;
    // A full pool of busy textures gives up its oldest, which lives on
    // with whoever still holds it.
    texture->retain();
    if (mPoolSize < kMaxDrawables)
      mPool[mPoolSize++] = texture;
    else {
      mPool[0]->release();
      std::copy(mPool + 1, mPool + kMaxDrawables, mPool);
      mPool[kMaxDrawables - 1] = texture;
    }
  }
  return static_cast<CAMetalDrawable*>((new CAMetalDrawable(this, texture))->autorelease());
}

// Like the platform's, the layer cycles through a few textures instead of
// making one per frame; their contents are not kept for the next frame.
MTLTexture* CAMetalLayer::ReusableDrawableTexture(NSUInteger w, NSUInteger h)
{
  int kept = 0;
  MTLTexture* found = nullptr;
  for (int i = 0; i < mPoolSize; ++i) {
    MTLTexture* t = mPool[i];
    if (t->width() != w || t->height() != h || t->pixelFormat() != mPixelFormat) {
      t->release();
      continue;
    }
    mPool[kept++] = t;
    // Held by the pool alone: no drawable, command buffer or screen uses it.
    // The count is read with acquire: the GPU thread's last use comes first.
    if (!found && t->retainCount() == 1)
      found = t;
  }
  mPoolSize = kept;
  if (found)
    found->retain();
  return found;
}

void CAMetalLayer::Present(MTLTexture* texture)
{
  std::lock_guard<std::mutex> lock(gPresentMutex);
  standin::mtl::Assign(mPresented, texture);
  ++mPresentCount;
}

MTLTexture* CAMetalLayer::presentedTexture() const
{
  std::lock_guard<std::mutex> lock(gPresentMutex);
  return mPresented;
}

unsigned long CAMetalLayer::presentCount() const
{
  std::lock_guard<std::mutex> lock(gPresentMutex);
  return mPresentCount;
}

void CAMetalLayer::dealloc()
{
  if (mPresented)
    mPresented->release();
  for (int i = 0; i < mPoolSize; ++i)
    mPool[i]->release();
  if (mDevice)
    mDevice->release();
  NSObject::dealloc();
}

namespace standin {
MTLTexture* PresentedTexture(CAMetalLayer* layer) { return layer ? layer->presentedTexture() : nullptr; }
unsigned long PresentCount(CAMetalLayer* layer) { return layer ? layer->presentCount() : 0; }
} // namespace standin
