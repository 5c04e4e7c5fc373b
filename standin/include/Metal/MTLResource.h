// GPU memory: buffers (CPU-visible bytes) and 2-D textures with optional
// mipmaps. Contents are read by the GPU when a command buffer executes, so
// the CPU must leave them alone until it completes, as on the platform.
#pragma once

#include <Metal/MTLTypes.h>

class MTLDevice;
namespace standin::mtl {
struct TextureImage;
}

class NS_EXPORT MTLResource : public NSObject {
public:
  MTLDevice* device() const { return mDevice; }
  const char* className() const override { return "MTLResource"; }

protected:
  explicit MTLResource(MTLDevice* device) : mDevice(device) {}
  MTLDevice* mDevice; // not retained: devices live for the process
};

class NS_EXPORT MTLBuffer : public MTLResource {
public:
  // nil for a private buffer, as the CPU cannot see it.
  void* contents() const { return mPrivate ? nullptr : mBytes; }
  NSUInteger length() const { return mLength; }
  const char* className() const override { return "MTLBuffer"; }

  // Stand-in: the bytes whatever the storage mode (the GPU's view).
  void* gpuBytes() const { return mBytes; }

protected:
  friend class MTLDevice;
  MTLBuffer(MTLDevice* device, NSUInteger length, MTLResourceOptions options);
  void dealloc() override;

private:
  void* mBytes = nullptr;
  NSUInteger mLength = 0;
  bool mPrivate = false;
};

class NS_EXPORT MTLTextureDescriptor : public NSObject {
public:
  static MTLTextureDescriptor* alloc() { return new MTLTextureDescriptor(); }
  static MTLTextureDescriptor* new_() { return alloc(); }
  MTLTextureDescriptor* init() override { return this; }
  // Autoreleased; mipmapped gives the full chain down to 1 x 1.
  static MTLTextureDescriptor* texture2DDescriptorWithPixelFormat(MTLPixelFormat format, NSUInteger width,
                                                                  NSUInteger height, BOOL mipmapped);

  MTLTextureType textureType() const { return mTextureType; }
  void setTextureType(MTLTextureType type) { mTextureType = type; }
  MTLPixelFormat pixelFormat() const { return mPixelFormat; }
  void setPixelFormat(MTLPixelFormat format) { mPixelFormat = format; }
  NSUInteger width() const { return mWidth; }
  void setWidth(NSUInteger width) { mWidth = width; }
  NSUInteger height() const { return mHeight; }
  void setHeight(NSUInteger height) { mHeight = height; }
  NSUInteger mipmapLevelCount() const { return mMipmapLevelCount; }
  void setMipmapLevelCount(NSUInteger count) { mMipmapLevelCount = count; }
  MTLTextureUsage usage() const { return mUsage; }
  void setUsage(MTLTextureUsage usage) { mUsage = usage; }
  MTLStorageMode storageMode() const { return mStorageMode; }
  void setStorageMode(MTLStorageMode mode) { mStorageMode = mode; }
  const char* className() const override { return "MTLTextureDescriptor"; }

protected:
  MTLTextureDescriptor() = default;

private:
  MTLTextureType mTextureType = MTLTextureType2D;
  MTLPixelFormat mPixelFormat = MTLPixelFormatRGBA8Unorm;
  NSUInteger mWidth = 1, mHeight = 1, mMipmapLevelCount = 1;
  MTLTextureUsage mUsage = MTLTextureUsageShaderRead;
  MTLStorageMode mStorageMode = MTLStorageModeManaged;
};

class NS_EXPORT MTLTexture : public MTLResource {
public:
  MTLTextureType textureType() const { return MTLTextureType2D; }
  MTLPixelFormat pixelFormat() const;
  NSUInteger width() const;
  NSUInteger height() const;
  NSUInteger mipmapLevelCount() const;
  MTLTextureUsage usage() const { return mUsage; }
  MTLStorageMode storageMode() const { return mStorageMode; }

  // Rows of bytesPerRow bytes in the format's own byte order (BGRA stays
  // BGRA). A region outside the level, or a private texture, is refused
  // and recorded as a validation error.
  void replaceRegion(MTLRegion region, NSUInteger mipmapLevel, const void* bytes, NSUInteger bytesPerRow);
  void getBytes(void* bytes, NSUInteger bytesPerRow, MTLRegion region, NSUInteger mipmapLevel);
  const char* className() const override { return "MTLTexture"; }

  // Stand-in: the pixels, for the rasteriser and the tests.
  standin::mtl::TextureImage& image() const { return *mImage; }

protected:
  friend class MTLDevice;
  friend class CAMetalLayer;
  MTLTexture(MTLDevice* device, const MTLTextureDescriptor* descriptor);
  void dealloc() override;

private:
  standin::mtl::TextureImage* mImage;
  MTLTextureUsage mUsage;
  MTLStorageMode mStorageMode;
};
