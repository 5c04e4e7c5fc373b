// Texture reads from shaders: nearest or bilinear filtering at texel
// centres, clamp-to-edge or repeat addressing, an explicit level of detail.
#include "MetalInternal.h"

#include <algorithm>
#include <cmath>

using ::metal::float4;
using standin::mtl::TextureImage;

namespace {

// floor() without a library call on processors lacking a rounding
// instruction; texture coordinates here are far inside the int range.
inline int FloorToInt(float v)
{
  const int i = int(v);
  return v < float(i) ? i - 1 : i;
}

int Address(int i, int size, MTLSamplerAddressMode mode)
{
  if (mode == MTLSamplerAddressModeRepeat) {
    i %= size;
    return i < 0 ? i + size : i;
  }
  return std::clamp(i, 0, size - 1);
}

inline float4 Fetch(TextureImage& image, unsigned level, int x, int y)
{
  const uint8_t* t = image.Texel(level, unsigned(x), unsigned(y));
  constexpr float k = 1.0f / 255.0f;
  switch (image.format) {
  case MTLPixelFormatR8Unorm: return {t[0] * k, 0.0f, 0.0f, 1.0f};
  case MTLPixelFormatRGBA8Unorm: return {t[0] * k, t[1] * k, t[2] * k, t[3] * k};
  case MTLPixelFormatBGRA8Unorm: return {t[2] * k, t[1] * k, t[0] * k, t[3] * k};
  default: return standin::mtl::LoadTexel(image.format, t);
  }
}

float4 SampleLevel(TextureImage& image, unsigned level, MTLSamplerMinMagFilter filter, MTLSamplerAddressMode sMode,
                   MTLSamplerAddressMode tMode, float s, float t)
{
  const TextureImage::Level& l = image.levels[level];
  const int w = int(l.width), h = int(l.height);
  const float u = s * float(w), v = t * float(h);
  if (filter == MTLSamplerMinMagFilterNearest)
    return Fetch(image, level, Address(FloorToInt(u), w, sMode), Address(FloorToInt(v), h, tMode));
  const float uc = u - 0.5f, vc = v - 0.5f;
  const int iu = FloorToInt(uc), iv = FloorToInt(vc);
  const float au = uc - float(iu), av = vc - float(iv);
  const int x0 = Address(iu, w, sMode), x1 = Address(iu + 1, w, sMode);
  const int y0 = Address(iv, h, tMode), y1 = Address(iv + 1, h, tMode);
  const float4 top = ::metal::mix(Fetch(image, level, x0, y0), Fetch(image, level, x1, y0), au);
  const float4 bottom = ::metal::mix(Fetch(image, level, x0, y1), Fetch(image, level, x1, y1), au);
  return ::metal::mix(top, bottom, av);
}

} // namespace

namespace standin::metal {

float4 SampleTexture(const void* texture, const void* sampler, float s, float t, float lod)
{
  if (!texture)
    return {};
  TextureImage& image = static_cast<const MTLTexture*>(texture)->image();
  // Coordinates are pinned to a hundred thousand widths (NaN to 0) so that
  // texel indexes stay within int.
  s = std::isnan(s) ? 0.0f : std::clamp(s, -1e5f, 1e5f);
  t = std::isnan(t) ? 0.0f : std::clamp(t, -1e5f, 1e5f);
  const MTLSamplerState* smp = static_cast<const MTLSamplerState*>(sampler);
  const MTLSamplerMinMagFilter mag = smp ? smp->magFilter() : MTLSamplerMinMagFilterNearest;
  const MTLSamplerMinMagFilter min = smp ? smp->minFilter() : MTLSamplerMinMagFilterNearest;
  const MTLSamplerMipFilter mip = smp ? smp->mipFilter() : MTLSamplerMipFilterNotMipmapped;
  const MTLSamplerAddressMode sm = smp ? smp->sAddressMode() : MTLSamplerAddressModeClampToEdge;
  const MTLSamplerAddressMode tm = smp ? smp->tAddressMode() : MTLSamplerAddressModeClampToEdge;
  const MTLSamplerMinMagFilter filter = lod > 0.0f ? min : mag;
  const float top = float(image.levels.size() - 1);
  if (mip == MTLSamplerMipFilterNotMipmapped || top == 0.0f)
    return SampleLevel(image, 0, filter, sm, tm, s, t);
  // A level of detail that is not a number (from coordinates that are not)
  // reads the base level.
  const float l = std::isnan(lod) ? 0.0f : std::clamp(lod, 0.0f, top);
  if (mip == MTLSamplerMipFilterNearest)
    return SampleLevel(image, unsigned(l + 0.5f), filter, sm, tm, s, t);
  const unsigned l0 = unsigned(l), l1 = std::min(l0 + 1, unsigned(top));
  return ::metal::mix(SampleLevel(image, l0, filter, sm, tm, s, t), SampleLevel(image, l1, filter, sm, tm, s, t),
                      l - float(l0));
}

float4 ReadTexture(const void* texture, unsigned x, unsigned y, unsigned lod)
{
  if (!texture)
    return {};
  TextureImage& image = static_cast<const MTLTexture*>(texture)->image();
  if (lod >= image.levels.size() || x >= image.levels[lod].width || y >= image.levels[lod].height)
    return {};
  return standin::mtl::LoadTexel(image.format, image.Texel(lod, x, y));
}

unsigned TextureWidth(const void* texture, unsigned lod)
{
  if (!texture)
    return 0;
  const TextureImage& image = static_cast<const MTLTexture*>(texture)->image();
  return lod < image.levels.size() ? image.levels[lod].width : 0;
}

unsigned TextureHeight(const void* texture, unsigned lod)
{
  if (!texture)
    return 0;
  const TextureImage& image = static_cast<const MTLTexture*>(texture)->image();
  return lod < image.levels.size() ? image.levels[lod].height : 0;
}

} // namespace standin::metal
