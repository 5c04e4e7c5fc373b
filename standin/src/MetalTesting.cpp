// Reading textures back for tests: RGBA bytes and PNG files.
#include "MetalInternal.h"

#include <standin/Testing.h>

#include <cstdio>

#define STB_IMAGE_WRITE_IMPLEMENTATION
#define STB_IMAGE_WRITE_STATIC
#pragma GCC diagnostic push
#pragma GCC diagnostic ignored "-Wmissing-field-initializers"
#include <stb/stb_image_write.h>
#pragma GCC diagnostic pop

namespace standin {

std::vector<uint8_t> TextureRGBA(MTLTexture* texture)
{
  std::vector<uint8_t> rgba;
  if (!texture)
    return rgba;
  mtl::TextureImage& image = texture->image();
  const unsigned w = image.levels[0].width, h = image.levels[0].height;
  rgba.resize(std::size_t(w) * h * 4);
  for (unsigned y = 0; y < h; ++y)
    for (unsigned x = 0; x < w; ++x) {
      uint8_t* out = &rgba[(std::size_t(y) * w + x) * 4];
      const uint8_t* t = image.Texel(0, x, y);
      switch (image.format) {
      case MTLPixelFormatBGRA8Unorm: out[0] = t[2], out[1] = t[1], out[2] = t[0], out[3] = t[3]; break;
      case MTLPixelFormatRGBA8Unorm: out[0] = t[0], out[1] = t[1], out[2] = t[2], out[3] = t[3]; break;
      default: out[0] = out[1] = out[2] = t[0], out[3] = 255; break;
      }
    }
  return rgba;
}

std::vector<uint8_t> TexturePNG(MTLTexture* texture)
{
  std::vector<uint8_t> png;
  if (!texture)
    return png;
  const std::vector<uint8_t> rgba = TextureRGBA(texture);
  const int w = int(texture->width()), h = int(texture->height());
  auto append = [](void* context, void* data, int size) {
    auto* out = static_cast<std::vector<uint8_t>*>(context);
    out->insert(out->end(), static_cast<uint8_t*>(data), static_cast<uint8_t*>(data) + size);
  };
  if (!stbi_write_png_to_func(append, &png, w, h, 4, rgba.data(), w * 4))
    png.clear();
  return png;
}

bool WriteTexturePNG(MTLTexture* texture, const std::string& path)
{
  const std::vector<uint8_t> png = TexturePNG(texture);
  if (png.empty())
    return false;
  const std::string temporary = path + ".part";
  std::FILE* file = std::fopen(temporary.c_str(), "wb");
  if (!file)
    return false;
  // A short write or a failed close (a full disk) keeps the old file.
  const bool written = std::fwrite(png.data(), 1, png.size(), file) == png.size();
  if (std::fclose(file) != 0 || !written || std::rename(temporary.c_str(), path.c_str()) != 0) {
    std::remove(temporary.c_str());
    return false;
  }
  return true;
}

} // namespace standin
