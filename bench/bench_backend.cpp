// The editor-like frame of bench_vg (500 rounded rectangles filled and
// stroked, 20 with gradients, 200 arcs, 100 strings) drawn through the
// graphics context and its drawing back end into the renderer on the
// stand-in GPU, at 650 x 470 points on a screen of scale 2 (1300 x 940
// pixels), each frame waited for:
//   BM_DirectEngine   the same scene as direct engine calls on the renderer,
//                     straight into the layer (reference)
//   BM_Backend        through the graphics context: into the main
//                     framebuffer, then copied to the layer
// The back end's own share, (BM_Backend - BM_DirectEngine) / BM_Backend, is
// printed after the table.
#include <benchmark/benchmark.h>

#include <cmath>
#include <cstdlib>
#include <cstdio>
#include <map>
#include <string>
#include <vector>

#include <Foundation/Foundation.h>
#include <QuartzCore/QuartzCore.h>
#include <standin/Testing.h>

#include "EditorLikeScene.h"
#include "IControl.h"
#include "MVG.h"
#include "TestGraphics.h"
#include "TestGraphicsVG.h"
#include "VGText.h"

namespace {

using namespace plugin::igraphics;

constexpr int kWidth = 650, kHeight = 470;
constexpr float kScreenScale = 2.f;
constexpr const char* kFontPath = "/usr/share/fonts/truetype/dejavu/DejaVuSans.ttf";

using Scene = benchscene::Scene<IColor>;
using RoundRect = Scene::RoundRect;
using ArcShape = Scene::ArcShape;
using Label = Scene::Label;

// bench_vg's scene, with colours as bytes.
const Scene& TheScene()
{
  static const Scene scene = benchscene::MakeScene<IColor>([](float r, float g, float b, float a) {
    return IColor(static_cast<int>(a * 255), static_cast<int>(r * 255), static_cast<int>(g * 255),
                  static_cast<int>(b * 255));
  });
  return scene;
}

VGcolor ToVG(const IColor& c) { return vgRGBA(c.R, c.G, c.B, c.A); }

// Radians from 3 o'clock to the core's degrees from 12 o'clock.
float Degrees(float a) { return a * 180.f / 3.1415927f + 90.f; }

// A vertical gradient over r as the core's pattern: the inverse of its
// matrix maps (0, 0) to the top and (0, 1) to the bottom.
IPattern Vertical(const RoundRect& r)
{
  IPattern p(kLinearPattern);
  p.mNStops = 2;
  p.mStops[0] = {r.fill, 0.f};
  p.mStops[1] = {r.fill2, 1.f};
  p.mTransform = IMatrix(1, 0, 0, 1.0 / r.h, -r.x, -r.y / r.h);
  return p;
}

void DrawScene(IGraphics& g)
{
  const Scene& s = TheScene();
  IStrokeOptions round;
  round.mCapOption = kCapRound;
  for (const RoundRect& r : s.rects) {
    const IRECT rect(r.x, r.y, r.x + r.w, r.y + r.h);
    g.PathRoundRect(rect, r.r);
    g.PathFill(r.gradient ? Vertical(r) : IPattern(r.fill), IFillOptions{kFillWinding, true}, nullptr);
    g.PathStroke(IPattern(r.stroke), r.strokeWidth, IStrokeOptions(), nullptr);
  }
  for (const ArcShape& a : s.arcs) {
    g.PathArc(a.cx, a.cy, a.r, Degrees(a.a0), Degrees(a.a1));
    g.PathStroke(IPattern(a.color), a.width, round, nullptr);
  }
  for (const Label& l : s.labels)
    g.DrawText(IText(l.size, l.color, "sans", kAlignNear, kVAlignBottom), l.text.c_str(), IRECT(l.x, l.y, l.x, l.y));
}

CAMetalLayer* MakeLayer()
{
  CAMetalLayer* layer = CAMetalLayer::alloc()->init();
  layer->setDrawableSize(CGSizeMake(kWidth * kScreenScale, kHeight * kScreenScale));
  return layer;
}

struct Editor {
  testsupport::TestDelegate dlg{1};
  CAMetalLayer* layer = MakeLayer();
  backendtest::GraphicsVG* g = nullptr;

  explicit Editor(bool scene = true)
  {
    g = new backendtest::GraphicsVG(dlg, kWidth, kHeight);
    g->OnViewInitialized(layer);
    g->SetScreenScale(kScreenScale);
    g->LoadFont("sans", kFontPath);
    g->AttachControl(new backendtest::SceneControl(
      g->GetBounds(), scene ? DrawScene : [](IGraphics&) {}));
  }
  ~Editor()
  {
    g->OnViewDestroyed();
    delete g;
    layer->release();
  }
  bool Ready() const { return g->IsContextReady() && g->GetMainFBO(); }
  void Frame()
  {
    g->BeginFrame();
    g->Draw(g->GetBounds(), g->GetTotalScale());
    g->EndFrame();
    standin::WaitForGPUIdle();
  }
};

// The same scene straight on the engine and renderer.
struct Direct {
  CAMetalLayer* layer = MakeLayer();
  VGcontext* ctx = nullptr;
  int font = -1;
  Direct()
  {
    ctx = mvgCreateContext(layer, VG_ANTIALIAS | VG_TRIPLE_BUFFER);
    if (ctx)
      font = vgCreateFont(ctx, "sans", kFontPath);
  }
  ~Direct()
  {
    if (ctx)
      mvgDeleteContext(ctx);
    layer->release();
  }
  bool Ready() const { return ctx != nullptr; }
  void Frame()
  {
    const Scene& s = TheScene();
    mvgBindFramebuffer(nullptr);
    vgBeginFrame(ctx, kWidth, kHeight, kScreenScale);
    benchscene::DrawShapes(ctx, s, ToVG);
    vgLineCap(ctx, VG_BUTT);
    vgFontFaceId(ctx, font);
    vgTextAlign(ctx, VG_ALIGN_LEFT | VG_ALIGN_BOTTOM);
    for (const Label& l : s.labels) {
      vgFontSize(ctx, l.size);
      vgFillColor(ctx, ToVG(l.color));
      vgText(ctx, l.x, l.y, l.text.c_str(), nullptr);
    }
    vgEndFrame(ctx);
    standin::WaitForGPUIdle();
  }
};

// What a host's run loop gives each timer tick, and the opening and closing
// of an editor.
struct Pool {
  NSAutoreleasePool* pool = NSAutoreleasePool::alloc()->init();
  ~Pool() { pool->drain(); }
};

template <class T> void Run(benchmark::State& state, T& target)
{
  if (!target.Ready()) {
    state.SkipWithError("no renderer context");
    return;
  }
  auto frame = [&target] {
    Pool tick;
    target.Frame();
  };
  for (int i = 0; i < 2; i++)
    frame();
  for (auto _ : state)
    frame();
  state.counters["presented"] = static_cast<double>(standin::PresentCount(target.layer));
}

void BM_DirectEngine(benchmark::State& state)
{
  Pool pool;
  Direct d;
  Run(state, d);
}

void BM_Backend(benchmark::State& state)
{
  Pool pool;
  Editor e;
  Run(state, e);
  // BENCH_BACKEND_PNG=<file> keeps the last frame for a look.
  if (const char* png = std::getenv("BENCH_BACKEND_PNG"))
    if (MTLTexture* t = standin::PresentedTexture(e.layer))
      standin::WriteTexturePNG(t, png);
}

// Nothing drawn: what the main framebuffer's copy to the layer costs.
void BM_BackendEmpty(benchmark::State& state)
{
  Pool pool;
  Editor e(false);
  Run(state, e);
}

BENCHMARK(BM_DirectEngine)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_Backend)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_BackendEmpty)->Unit(benchmark::kMillisecond);

class ShareReporter : public benchmark::ConsoleReporter {
public:
  void ReportRuns(const std::vector<Run>& runs) override
  {
    ConsoleReporter::ReportRuns(runs);
    for (const Run& r : runs)
      if (r.run_type == Run::RT_Iteration)
        mTimes[r.benchmark_name()] = r.GetAdjustedRealTime();
  }
  void Finalize() override
  {
    ConsoleReporter::Finalize();
    const double direct = mTimes["BM_DirectEngine"], backend = mTimes["BM_Backend"];
    if (direct > 0 && backend > 0)
      std::printf("frame at 1300 x 940 through the graphics context: %.2f ms; back end's own share %.1f%% "
                  "(%.2f ms over the direct engine frame, of which %.2f ms an empty frame's copy to the layer)\n",
                  backend, 100.0 * (backend - direct) / backend, backend - direct, mTimes["BM_BackendEmpty"]);
  }

private:
  std::map<std::string, double> mTimes;
};

} // namespace

int main(int argc, char** argv)
{
  benchmark::Initialize(&argc, argv);
  ShareReporter reporter;
  benchmark::RunSpecifiedBenchmarks(&reporter);
  benchmark::Shutdown();
  return 0;
}
