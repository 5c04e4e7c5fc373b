// Images: decoded to straight-alpha RGBA and handed to the renderer as textures.
#include <cstdio>

#include "StbImage.h"
#include "VGInternal.h"

int vgCreateImage(VGcontext* ctx, const char* filename, int imageFlags)
{
  // Straight alpha, and plain RGB from the iPhone PNG variant.
  stbi_set_unpremultiply_on_load(1);
  stbi_convert_iphone_png_to_rgb(1);
  std::FILE* f = std::fopen(filename, "rb");
  if (!f) return 0;
  int w = 0, h = 0, n = 0;
  unsigned char* img = stbi_load_from_file(f, &w, &h, &n, 4);
  std::fclose(f);
  if (!img) return 0;
  const int image = vgCreateImageRGBA(ctx, w, h, imageFlags, img);
  stbi_image_free(img);
  return image;
}

int vgCreateImageMem(VGcontext* ctx, int imageFlags, unsigned char* data, int ndata)
{
  int w = 0, h = 0, n = 0;
  unsigned char* img = stbi_load_from_memory(data, ndata, &w, &h, &n, 4);
  if (!img) return 0;
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
