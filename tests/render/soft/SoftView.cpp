// The back end's view on the software stand-in: the context's drawable.

#include "BackendFixture.h"
#include "SoftMVG.h"

namespace backendtest {

void* MakeView(int, int) { return nullptr; }
void ReleaseView(void*) {}
void EndViews() {}

std::vector<int> ShownPixel(GraphicsVG& g, void*, int x, int y)
{
  const softmvg::Context* c = softmvg::ContextOf(static_cast<VGcontext*>(g.GetDrawContext()));
  if (!c || x < 0 || y < 0 || x >= c->drawableW || y >= c->drawableH)
    return {-1, -1, -1, -1};
  uint8_t out[4];
  softmvg::Unpremultiply(&c->drawable[(static_cast<std::size_t>(y) * c->drawableW + x) * 4], out);
  return {out[0], out[1], out[2], out[3]};
}

} // namespace backendtest
