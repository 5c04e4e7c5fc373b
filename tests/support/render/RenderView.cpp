// The back end's view on the renderer: a Metal layer on the stand-in GPU,
// read back from what it last presented.

#include <Metal/Metal.h>
#include <QuartzCore/QuartzCore.h>
#include <standin/Testing.h>

#include "BackendFixture.h"
#include "MVG.h"

namespace backendtest {

namespace {

// The last presented frame read back once, not per pixel.
struct Readback {
  void* view = nullptr;
  unsigned long count = 0;
  int w = 0;
  std::vector<uint8_t> rgba;
};

Readback& Last()
{
  static Readback r;
  return r;
}

} // namespace

void* MakeView(int w, int h)
{
  CAMetalLayer* layer = CAMetalLayer::alloc()->init();
  layer->setDrawableSize(CGSizeMake(w, h));
  return layer;
}

void ReleaseView(void* view)
{
  if (Last().view == view)
    Last() = Readback();
  if (view)
    static_cast<CAMetalLayer*>(view)->release();
}

void EndViews()
{
  Last() = Readback();
  mvgBindFramebuffer(nullptr);
  standin::Reset();
}

std::vector<int> ShownPixel(GraphicsVG&, void* view, int x, int y)
{
  auto* layer = static_cast<CAMetalLayer*>(view);
  standin::WaitForGPUIdle();
  Readback& r = Last();
  const unsigned long count = standin::PresentCount(layer);
  if (r.view != view || r.count != count) {
    MTLTexture* t = standin::PresentedTexture(layer);
    r =
      Readback{view, count, t ? static_cast<int>(t->width()) : 0, t ? standin::TextureRGBA(t) : std::vector<uint8_t>()};
  }
  const std::size_t i = (static_cast<std::size_t>(y) * r.w + x) * 4;
  if (r.rgba.size() < i + 4)
    return {-1, -1, -1, -1};
  // Stored premultiplied.
  const int a = r.rgba[i + 3];
  std::vector<int> out(4);
  for (int k = 0; k < 3; k++)
    out[k] = a ? std::min(255, (r.rgba[i + k] * 255 + a / 2) / a) : 0;
  out[3] = a;
  return out;
}

} // namespace backendtest
