// Images: decoded to straight-alpha RGBA and handed to the renderer as textures.
#include <cstdio>
#include <vector>

#include "ImageBytesCheck.h"
#include "StbImage.h"
#include "VGInternal.h"

namespace {

// Larger files are no editor bitmap; the decoder's own limit is the same.
constexpr long kMaxImageFileBytes = 256L << 20;

unsigned char* DecodeRGBA(const unsigned char* data, int ndata, int* w, int* h)
{
  if (!ImageBytesSafeToDecode(data, ndata))
    return nullptr;
  int n = 0;
  return stbi_load_from_memory(data, ndata, w, h, &n, 4);
}

} // namespace

int vgCreateImage(VGcontext* ctx, const char* filename, int imageFlags)
{
  // Straight alpha, and plain RGB from the iPhone PNG variant.
  stbi_set_unpremultiply_on_load(1);
  stbi_convert_iphone_png_to_rgb(1);
  // Read whole, so the bytes are checked before the decoder sees them.
  std::FILE* f = std::fopen(filename, "rb");
  if (!f)
    return 0;
  std::vector<unsigned char> bytes;
  long size = -1;
  if (std::fseek(f, 0, SEEK_END) == 0)
    size = std::ftell(f);
  if (size > 0 && size <= kMaxImageFileBytes && std::fseek(f, 0, SEEK_SET) == 0) {
    bytes.resize(size_t(size));
    if (std::fread(bytes.data(), 1, bytes.size(), f) != bytes.size())
      bytes.clear();
  }
  std::fclose(f);
  if (bytes.empty())
    return 0;
  int w = 0, h = 0;
  unsigned char* img = DecodeRGBA(bytes.data(), int(bytes.size()), &w, &h);
  if (!img)
    return 0;
  const int image = vgCreateImageRGBA(ctx, w, h, imageFlags, img);
  stbi_image_free(img);
  return image;
}

int vgCreateImageMem(VGcontext* ctx, int imageFlags, unsigned char* data, int ndata)
{
  int w = 0, h = 0;
  unsigned char* img = DecodeRGBA(data, ndata, &w, &h);
  if (!img)
    return 0;
  const int image = vgCreateImageRGBA(ctx, w, h, imageFlags, img);
  stbi_image_free(img);
  return image;
}

int vgCreateImageRGBA(VGcontext* ctx, int w, int h, int imageFlags, const unsigned char* data)
{
  return ctx->params.renderCreateTexture(ctx->params.userPtr, VG_TEXTURE_RGBA, w, h, imageFlags, data);
}

void vgUpdateImage(VGcontext* ctx, int image, const unsigned char* data)
{
  int w = 0, h = 0;
  ctx->params.renderGetTextureSize(ctx->params.userPtr, image, &w, &h);
  ctx->params.renderUpdateTexture(ctx->params.userPtr, image, 0, 0, w, h, data);
}

void vgImageSize(VGcontext* ctx, int image, int* w, int* h)
{
  ctx->params.renderGetTextureSize(ctx->params.userPtr, image, w, h);
}

void vgDeleteImage(VGcontext* ctx, int image) { ctx->params.renderDeleteTexture(ctx->params.userPtr, image); }
