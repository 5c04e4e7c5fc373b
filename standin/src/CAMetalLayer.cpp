#include "MetalInternal.h"

#include <QuartzCore/CAMetalLayer.h>
#include <standin/Testing.h>

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
  MTLTextureDescriptor* d = MTLTextureDescriptor::texture2DDescriptorWithPixelFormat(mPixelFormat, w, h, NO);
  d->setUsage(MTLTextureUsageRenderTarget);
  MTLTexture* texture = mDevice->newTextureWithDescriptor(d);
  if (!texture)
    return nullptr;
  return static_cast<CAMetalDrawable*>((new CAMetalDrawable(this, texture))->autorelease());
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
  if (mDevice)
    mDevice->release();
  NSObject::dealloc();
}

namespace standin {
MTLTexture* PresentedTexture(CAMetalLayer* layer) { return layer ? layer->presentedTexture() : nullptr; }
unsigned long PresentCount(CAMetalLayer* layer) { return layer ? layer->presentCount() : 0; }
} // namespace standin
