#include "TestImageCodec.h"

#include <cstdio>
#include <string>

#if defined(__GNUC__)
#pragma GCC diagnostic push
#pragma GCC diagnostic ignored "-Wunused-function"
#pragma GCC diagnostic ignored "-Wmissing-field-initializers"
#pragma GCC diagnostic ignored "-Wsign-compare"
#pragma GCC diagnostic ignored "-Wunused-parameter"
#if !defined(__clang__)
#pragma GCC diagnostic ignored "-Wmisleading-indentation"
#endif
#endif
// Private copies: a suite may also link the engine's own decoder.
#define STB_IMAGE_STATIC
#define STB_IMAGE_IMPLEMENTATION
#define STBI_ONLY_PNG
#define STBI_ONLY_JPEG
#include <stb/stb_image.h>
#define STB_IMAGE_WRITE_STATIC
#define STB_IMAGE_WRITE_IMPLEMENTATION
#include <stb/stb_image_write.h>
#if defined(__GNUC__)
#pragma GCC diagnostic pop
#endif

namespace testsupport {

namespace {
bool Take(unsigned char* pixels, int w, int h, RGBAImage& out)
{
  if (!pixels)
    return false;
  out.w = w;
  out.h = h;
  out.px.assign(pixels, pixels + static_cast<std::size_t>(w) * h * 4);
  stbi_image_free(pixels);
  return true;
}
} // namespace

bool DecodeImageFile(const char* path, RGBAImage& out)
{
  int w = 0, h = 0, channels = 0;
  unsigned char* pixels = stbi_load(path, &w, &h, &channels, 4);
  return Take(pixels, w, h, out);
}

bool DecodeImageBytes(const void* data, int size, RGBAImage& out)
{
  if (!data || size <= 0)
    return false;
  int w = 0, h = 0, channels = 0;
  unsigned char* pixels = stbi_load_from_memory(static_cast<const stbi_uc*>(data), size, &w, &h, &channels, 4);
  return Take(pixels, w, h, out);
}

bool WritePNG(const std::string& path, const RGBAImage& image)
{
  if (image.w <= 0 || image.h <= 0)
    return false;
  const std::string tmp = path + ".part";
  if (!stbi_write_png(tmp.c_str(), image.w, image.h, 4, image.px.data(), image.w * 4))
    return false;
  return std::rename(tmp.c_str(), path.c_str()) == 0;
}

} // namespace testsupport
