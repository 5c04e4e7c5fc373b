#include "MetalInternal.h"

#include <algorithm>
#include <cstring>

namespace standin::mtl {

unsigned BytesPerPixel(MTLPixelFormat format)
{
  switch (format) {
  case MTLPixelFormatR8Unorm:
  case MTLPixelFormatStencil8: return 1;
  case MTLPixelFormatRGBA8Unorm:
  case MTLPixelFormatBGRA8Unorm: return 4;
  default: return 0;
  }
}

bool IsColorFormat(MTLPixelFormat format)
{
  return format == MTLPixelFormatR8Unorm || format == MTLPixelFormatRGBA8Unorm || format == MTLPixelFormatBGRA8Unorm;
}

::metal::float4 LoadTexel(MTLPixelFormat format, const uint8_t* t)
{
  constexpr float k = 1.0f / 255.0f;
  switch (format) {
  case MTLPixelFormatR8Unorm: return {t[0] * k, 0.0f, 0.0f, 1.0f};
  case MTLPixelFormatRGBA8Unorm: return {t[0] * k, t[1] * k, t[2] * k, t[3] * k};
  case MTLPixelFormatBGRA8Unorm: return {t[2] * k, t[1] * k, t[0] * k, t[3] * k};
  case MTLPixelFormatStencil8: return {float(t[0]), 0.0f, 0.0f, 1.0f};
  default: return {};
  }
}

void StoreTexel(MTLPixelFormat format, ::metal::float4 c, uint8_t* t, MTLColorWriteMask mask)
{
  switch (format) {
  case MTLPixelFormatR8Unorm:
    if (mask & MTLColorWriteMaskRed)
      t[0] = ToUnorm8(c.x);
    break;
  case MTLPixelFormatRGBA8Unorm:
    if (mask & MTLColorWriteMaskRed)
      t[0] = ToUnorm8(c.x);
    if (mask & MTLColorWriteMaskGreen)
      t[1] = ToUnorm8(c.y);
    if (mask & MTLColorWriteMaskBlue)
      t[2] = ToUnorm8(c.z);
    if (mask & MTLColorWriteMaskAlpha)
      t[3] = ToUnorm8(c.w);
    break;
  case MTLPixelFormatBGRA8Unorm:
    if (mask & MTLColorWriteMaskBlue)
      t[0] = ToUnorm8(c.z);
    if (mask & MTLColorWriteMaskGreen)
      t[1] = ToUnorm8(c.y);
    if (mask & MTLColorWriteMaskRed)
      t[2] = ToUnorm8(c.x);
    if (mask & MTLColorWriteMaskAlpha)
      t[3] = ToUnorm8(c.w);
    break;
  default: break;
  }
}

TextureImage::TextureImage(MTLPixelFormat f, unsigned width, unsigned height, unsigned levelCount)
: format(f), bytesPerPixel(BytesPerPixel(f)), levels(levelCount)
{
  for (Level& l : levels) {
    l.width = width;
    l.height = height;
    l.bytes.assign(std::size_t(width) * height * bytesPerPixel, 0);
    width = std::max(1u, width / 2);
    height = std::max(1u, height / 2);
  }
}

void TextureImage::Fill(::metal::float4 colour)
{
  uint8_t texel[4] = {0, 0, 0, 0};
  StoreTexel(format, colour, texel, MTLColorWriteMaskAll);
  std::vector<uint8_t>& bytes = levels[0].bytes;
  if (bytesPerPixel == 1) {
    std::fill(bytes.begin(), bytes.end(), texel[0]);
    return;
  }
  uint32_t word;
  std::memcpy(&word, texel, 4);
  for (std::size_t i = 0; i < bytes.size(); i += 4)
    std::memcpy(&bytes[i], &word, 4);
}

void TextureImage::FillStencil(uint8_t value) { std::fill(levels[0].bytes.begin(), levels[0].bytes.end(), value); }

void TextureImage::GenerateMipmaps()
{
  // Each texel of a level is the rounded mean of the up-to-2x2 block above
  // it (edges of odd sizes average what exists).
  for (std::size_t n = 1; n < levels.size(); ++n) {
    const Level& src = levels[n - 1];
    Level& dst = levels[n];
    for (unsigned y = 0; y < dst.height; ++y) {
      for (unsigned x = 0; x < dst.width; ++x) {
        const unsigned x0 = std::min(2 * x, src.width - 1), x1 = std::min(2 * x + 1, src.width - 1);
        const unsigned y0 = std::min(2 * y, src.height - 1), y1 = std::min(2 * y + 1, src.height - 1);
        for (unsigned c = 0; c < bytesPerPixel; ++c) {
          auto at = [&](unsigned sx, unsigned sy) {
            return unsigned(src.bytes[(std::size_t(sy) * src.width + sx) * bytesPerPixel + c]);
          };
          const unsigned sum = at(x0, y0) + at(x1, y0) + at(x0, y1) + at(x1, y1);
          dst.bytes[(std::size_t(y) * dst.width + x) * bytesPerPixel + c] = uint8_t((sum + 2) / 4);
        }
      }
    }
  }
}

} // namespace standin::mtl
