// A layer whose contents are GPU textures: nextDrawable hands out a fresh
// texture of drawableSize in the layer's pixel format (cleared to zero),
// and presenting it makes it the frame the layer shows until the next.
#pragma once

#include <CoreGraphics/CGGeometry.h>
#include <Metal/MTLDevice.h>
#include <Metal/MTLDrawable.h>
#include <QuartzCore/CALayer.h>

class CAMetalLayer;

class NS_EXPORT CAMetalDrawable : public MTLDrawable {
public:
  MTLTexture* texture() const { return mTexture; }
  CAMetalLayer* layer() const { return mLayer; }
  void present() override;
  const char* className() const override { return "CAMetalDrawable"; }

protected:
  friend class CAMetalLayer;
  CAMetalDrawable(CAMetalLayer* layer, MTLTexture* texture);
  void dealloc() override;

private:
  CAMetalLayer* mLayer; // retained
  MTLTexture* mTexture; // retained
};

class NS_EXPORT CAMetalLayer : public CALayer {
public:
  static CAMetalLayer* alloc() { return new CAMetalLayer(); }
  static CAMetalLayer* layer() { return static_cast<CAMetalLayer*>(alloc()->init()->autorelease()); }
  CAMetalLayer* init() override { return this; }

  MTLDevice* device() const { return mDevice; }
  void setDevice(MTLDevice* device) { standin::mtl::Assign(mDevice, device); }
  MTLPixelFormat pixelFormat() const { return mPixelFormat; }
  // BGRA8Unorm and RGBA8Unorm here; anything else is refused.
  void setPixelFormat(MTLPixelFormat format);
  CGSize drawableSize() const { return mDrawableSize; }
  void setDrawableSize(CGSize size) { mDrawableSize = size; }
  BOOL presentsWithTransaction() const { return mPresentsWithTransaction; }
  void setPresentsWithTransaction(BOOL on) { mPresentsWithTransaction = on; }

  // Autoreleased; nil without a device or with an empty drawable size.
  CAMetalDrawable* nextDrawable();
  const char* className() const override { return "CAMetalLayer"; }

  // Stand-in: the texture last presented (nil before any), and the count.
  MTLTexture* presentedTexture() const;
  unsigned long presentCount() const;

protected:
  friend class CAMetalDrawable;
  CAMetalLayer() = default;
  void dealloc() override;

private:
  void Present(MTLTexture* texture);
  MTLTexture* ReusableDrawableTexture(NSUInteger w, NSUInteger h);
  static constexpr int kMaxDrawables = 3;
  MTLTexture* mPool[kMaxDrawables] = {}; // retained
  int mPoolSize = 0;
  MTLDevice* mDevice = nullptr;
  MTLPixelFormat mPixelFormat = MTLPixelFormatBGRA8Unorm;
  CGSize mDrawableSize = {0, 0};
  BOOL mPresentsWithTransaction = NO;
  MTLTexture* mPresented = nullptr; // retained, guarded: presents may come from the GPU thread
  unsigned long mPresentCount = 0;
};
