// Running a recorded render pass: load actions, then the commands in order,
// in horizontal bands on several threads when the target is large.
#include "Rasterizer.h"

#include <standin/Testing.h>

#include <sched.h>

#include <atomic>
#include <thread>

namespace standin::mtl {

namespace {
// As many bands as the cores this process may run on (up to four): more
// threads than cores only repeat each band's vertex work.
unsigned DefaultBandThreads()
{
  cpu_set_t allowed;
  unsigned cores = 0;
  if (sched_getaffinity(0, sizeof allowed, &allowed) == 0)
    cores = unsigned(CPU_COUNT(&allowed));
  if (cores == 0)
    cores = std::thread::hardware_concurrency();
  return std::min(4u, std::max(1u, cores));
}
std::atomic<unsigned> gBandThreads{DefaultBandThreads()};
constexpr std::size_t kBandMinimumPixels = 256 * 256; // smaller passes stay on one thread
} // namespace

void RenderPassRecord::Execute()
{
  TextureImage* color = this->color.texture ? &this->color.texture->image() : nullptr;
  TextureImage* stencilImage = this->stencil.texture ? &this->stencil.texture->image() : nullptr;
  if (color && this->color.load == MTLLoadActionClear) {
    const MTLClearColor c = this->color.clearColor;
    color->Fill(::metal::float4(float(c.red), float(c.green), float(c.blue), float(c.alpha)));
  }
  if (stencilImage && this->stencil.load == MTLLoadActionClear)
    stencilImage->FillStencil(uint8_t(this->stencil.clearStencil));

  const TextureImage::Level& base = color ? color->levels[0] : stencilImage->levels[0];
  const unsigned threads = std::size_t(base.width) * base.height >= kBandMinimumPixels
                             ? std::min(gBandThreads.load(), std::max(1u, base.height / 64))
                             : 1;
  if (threads <= 1) {
    Replay(color, stencilImage, 0, int(base.height));
    return;
  }
  const int height = int(base.height);
  auto band = [&](unsigned i) { return height * int(i) / int(threads); };
  std::vector<std::thread> bands;
  for (unsigned i = 1; i < threads; ++i)
    bands.emplace_back(
      [this, color, stencilImage, from = band(i), to = band(i + 1)] { Replay(color, stencilImage, from, to); });
  Replay(color, stencilImage, 0, band(1));
  for (std::thread& t : bands)
    t.join();
}

void RenderPassRecord::Replay(TextureImage* color, TextureImage* stencilImage, int rowBegin, int rowEnd)
{
  Rasterizer rasterizer(color, stencilImage, rowBegin, rowEnd);
  DrawState state;
  const TextureImage::Level& base = color ? color->levels[0] : stencilImage->levels[0];
  state.viewport = {0, 0, double(base.width), double(base.height), 0, 1};
  for (const RenderCommand& c : commands) {
    switch (c.kind) {
    case RenderCommand::kPipeline: state.pipeline = static_cast<MTLRenderPipelineState*>(c.object); break;
    case RenderCommand::kDepthStencil: state.depthStencil = static_cast<MTLDepthStencilState*>(c.object); break;
    case RenderCommand::kCull: state.cull = c.a; break;
    case RenderCommand::kWinding: state.winding = c.a; break;
    case RenderCommand::kStencilRef: state.stencilRef = uint32_t(c.a); break;
    case RenderCommand::kViewport: state.viewport = c.viewport; break;
    case RenderCommand::kVertexBuffer:
      state.vertexBuffers[c.index] = static_cast<MTLBuffer*>(c.object);
      state.vertexOffsets[c.index] = c.a;
      break;
    case RenderCommand::kVertexOffset: state.vertexOffsets[c.index] = c.a; break;
    case RenderCommand::kFragmentBuffer:
      state.fragmentBuffers[c.index] = static_cast<MTLBuffer*>(c.object);
      state.fragmentOffsets[c.index] = c.a;
      break;
    case RenderCommand::kFragmentOffset: state.fragmentOffsets[c.index] = c.a; break;
    case RenderCommand::kFragmentTexture: state.textures[c.index] = static_cast<MTLTexture*>(c.object); break;
    case RenderCommand::kFragmentSampler: state.samplers[c.index] = static_cast<MTLSamplerState*>(c.object); break;
    case RenderCommand::kDraw: {
      DrawCall call{MTLPrimitiveType(c.index), c.b, c.a};
      rasterizer.Draw(state, call);
      break;
    }
    case RenderCommand::kDrawIndexed: {
      auto* buffer = static_cast<MTLBuffer*>(c.object);
      DrawCall call{MTLPrimitiveType(c.index), c.a};
      call.indices = static_cast<const uint8_t*>(buffer->gpuBytes()) + c.c;
      call.indices16 = c.b == MTLIndexTypeUInt16;
      rasterizer.Draw(state, call);
      break;
    }
    }
  }
}

} // namespace standin::mtl

namespace standin {
void SetGPUBandThreads(unsigned threads) { mtl::gBandThreads = threads ? threads : mtl::DefaultBandThreads(); }
} // namespace standin
