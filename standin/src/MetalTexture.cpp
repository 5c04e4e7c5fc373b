#include "MetalInternal.h"

#include <Foundation/NSAutoreleasePool.h>

#include <algorithm>
#include <cstring>

using standin::mtl::TextureImage;
using standin::mtl::ValidationError;

MTLTextureDescriptor* MTLTextureDescriptor::texture2DDescriptorWithPixelFormat(MTLPixelFormat format, NSUInteger width,
                                                                               NSUInteger height, BOOL mipmapped)
{
  MTLTextureDescriptor* d = alloc()->init();
  d->setPixelFormat(format);
  d->setWidth(width);
  d->setHeight(height);
  NSUInteger levels = 1;
  if (mipmapped)
    for (NSUInteger size = std::max(width, height); size > 1; size /= 2)
      ++levels;
  d->setMipmapLevelCount(levels);
  return static_cast<MTLTextureDescriptor*>(d->autorelease());
}

MTLTexture::MTLTexture(MTLDevice* device, const MTLTextureDescriptor* d)
: MTLResource(device), mImage(new TextureImage(d->pixelFormat(), unsigned(d->width()), unsigned(d->height()),
                                               unsigned(d->mipmapLevelCount()))),
  mUsage(d->usage()), mStorageMode(d->storageMode())
{
}

void MTLTexture::dealloc()
{
  delete mImage;
  NSObject::dealloc();
}

MTLPixelFormat MTLTexture::pixelFormat() const { return mImage->format; }
NSUInteger MTLTexture::width() const { return mImage->levels[0].width; }
NSUInteger MTLTexture::height() const { return mImage->levels[0].height; }
NSUInteger MTLTexture::mipmapLevelCount() const { return mImage->levels.size(); }

namespace {
// True when the region lies inside the level and the row length holds it.
bool RegionFits(const TextureImage& image, MTLRegion r, NSUInteger level, NSUInteger bytesPerRow, const char* what)
{
  if (level >= image.levels.size()) {
    ValidationError(std::string(what) + ": mipmap level out of range");
    return false;
  }
  const TextureImage::Level& l = image.levels[level];
  if (r.origin.z != 0 || r.size.depth != 1 || r.origin.x > l.width || r.size.width > l.width - r.origin.x ||
      r.origin.y > l.height || r.size.height > l.height - r.origin.y) {
    ValidationError(std::string(what) + ": region outside the texture");
    return false;
  }
  if (bytesPerRow < r.size.width * image.bytesPerPixel) {
    ValidationError(std::string(what) + ": bytesPerRow shorter than the region's row");
    return false;
  }
  return true;
}
} // namespace

void MTLTexture::replaceRegion(MTLRegion region, NSUInteger level, const void* bytes, NSUInteger bytesPerRow)
{
  if (mStorageMode == MTLStorageModePrivate) {
    ValidationError("replaceRegion: the texture's storage is private");
    return;
  }
  if (!bytes || !RegionFits(*mImage, region, level, bytesPerRow, "replaceRegion"))
    return;
  const std::size_t row = region.size.width * mImage->bytesPerPixel;
  for (NSUInteger y = 0; y < region.size.height; ++y)
    std::memcpy(mImage->Texel(unsigned(level), unsigned(region.origin.x), unsigned(region.origin.y + y)),
                static_cast<const uint8_t*>(bytes) + y * bytesPerRow, row);
}

void MTLTexture::getBytes(void* bytes, NSUInteger bytesPerRow, MTLRegion region, NSUInteger level)
{
  if (mStorageMode == MTLStorageModePrivate) {
    ValidationError("getBytes: the texture's storage is private");
    return;
  }
  if (!bytes || !RegionFits(*mImage, region, level, bytesPerRow, "getBytes"))
    return;
  const std::size_t row = region.size.width * mImage->bytesPerPixel;
  for (NSUInteger y = 0; y < region.size.height; ++y)
    std::memcpy(static_cast<uint8_t*>(bytes) + y * bytesPerRow,
                mImage->Texel(unsigned(level), unsigned(region.origin.x), unsigned(region.origin.y + y)), row);
}
