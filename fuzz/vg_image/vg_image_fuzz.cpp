// Image bytes from outside (the back end hands bitmap files to the engine):
// decoding never reads or writes out of bounds, and a decoded image reaches
// the renderer with exactly width x height x 4 readable bytes.
#include <cstddef>
#include <cstdint>
#include <cstring>
#include <vector>

#include "VG.h"

namespace {

int Create(void*) { return 1; }
int CreateTexture(void*, int type, int w, int h, int, const uint8_t* data)
{
  if (type != VG_TEXTURE_RGBA || !data)
    return 1; // the atlas
  // Touch every byte the texture is said to hold.
  std::vector<uint8_t> copy(static_cast<size_t>(w) * h * 4);
  std::memcpy(copy.data(), data, copy.size());
  return 2;
}
int DeleteTexture(void*, int) { return 1; }
int UpdateTexture(void*, int, int, int, int, int, const uint8_t*) { return 1; }
int GetTextureSize(void*, int, int* w, int* h)
{
  *w = *h = 1;
  return 1;
}
void Viewport(void*, float, float, float) {}
void Nothing(void*) {}

VGcontext* Context()
{
  static VGcontext* ctx = [] {
    VGparams p;
    std::memset(&p, 0, sizeof(p));
    p.renderCreate = Create;
    p.renderCreateTexture = CreateTexture;
    p.renderDeleteTexture = DeleteTexture;
    p.renderUpdateTexture = UpdateTexture;
    p.renderGetTextureSize = GetTextureSize;
    p.renderViewport = Viewport;
    p.renderCancel = Nothing;
    p.renderFlush = Nothing;
    return vgCreateInternal(&p);
  }();
  return ctx;
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
  if (size > (1u << 20))
    return 0;
  std::vector<unsigned char> bytes(data, data + size);
  vgCreateImageMem(Context(), 0, bytes.data(), static_cast<int>(bytes.size()));
  return 0;
}
