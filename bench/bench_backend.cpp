// The editor-like frame of bench_vg (500 rounded rectangles filled and
// stroked, 20 with gradients, 200 arcs, 100 strings) drawn through the
// graphics context and its drawing back end, at 650 x 470 points on a screen
// of scale 2 (1300 x 940 pixels):
//   BM_DirectEngine      the same scene as direct engine calls (reference)
//   BM_Backend           through the graphics context, engine record only
//   BM_BackendPixels     through the graphics context into the software
//                        renderer stand-in, pixels and all
// The back end's own share is (BM_Backend - BM_DirectEngine) / BM_Backend,
// printed after the table, together with its share of the pixel frame.
#include <benchmark/benchmark.h>

#include <cmath>
#include <cstdio>
#include <map>
#include <random>
#include <string>
#include <vector>

#include "IControl.h"
#include "SoftGraphicsVG.h"
#include "TestGraphics.h"
#include "VGText.h"

namespace {

using namespace plugin::igraphics;

constexpr int kWidth = 650, kHeight = 470;
constexpr float kScreenScale = 2.f;
constexpr const char* kFontPath = "/usr/share/fonts/truetype/dejavu/DejaVuSans.ttf";

struct RoundRect { float x, y, w, h, r, strokeWidth; IColor fill, fill2, stroke; bool gradient; };
struct ArcShape { float cx, cy, r, a0, a1, width; IColor color; };
struct Label { float x, y, size; IColor color; std::string text; };

struct Scene {
  std::vector<RoundRect> rects;
  std::vector<ArcShape> arcs;
  std::vector<Label> labels;
};

// bench_vg's scene, same seed and draws, with colours as bytes.
const Scene& TheScene()
{
  static const Scene scene = [] {
    Scene s;
    std::mt19937 rng(7);
    std::uniform_real_distribution<float> u(0, 1);
    auto colour = [&] {
      const float r = u(rng), g = u(rng), b = u(rng), a = 0.6f + 0.4f * u(rng);
      return IColor(static_cast<int>(a * 255), static_cast<int>(r * 255), static_cast<int>(g * 255),
                    static_cast<int>(b * 255));
    };
    for (int i = 0; i < 500; i++) {
      RoundRect r;
      r.w = 20 + 70 * u(rng);
      r.h = 10 + 30 * u(rng);
      r.x = u(rng) * (kWidth - r.w);
      r.y = u(rng) * (kHeight - r.h);
      r.r = 2 + 6 * u(rng);
      r.strokeWidth = 1 + u(rng);
      r.fill = colour();
      r.fill2 = colour();
      r.stroke = colour();
      r.gradient = i % 25 == 0;
      s.rects.push_back(r);
    }
    for (int i = 0; i < 200; i++) {
      ArcShape a;
      a.r = 5 + 25 * u(rng);
      a.cx = a.r + u(rng) * (kWidth - 2 * a.r);
      a.cy = a.r + u(rng) * (kHeight - 2 * a.r);
      a.a0 = 0.75f * 3.1415927f;
      a.a1 = a.a0 + 1.5f * 3.1415927f * u(rng);
      a.width = 2 + 2 * u(rng);
      a.color = colour();
      s.arcs.push_back(a);
    }
    for (int i = 0; i < 100; i++) {
      Label l;
      l.x = u(rng) * (kWidth - 100);
      l.y = 14 + u(rng) * (kHeight - 20);
      l.size = 11 + 5 * u(rng);
      l.color = colour();
      l.text = "Gain " + std::to_string(i) + ".0 dB";
      s.labels.push_back(l);
    }
    return s;
  }();
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

struct Editor {
  testsupport::TestDelegate dlg{1};
  softmvg::GraphicsVG* g = nullptr;

  explicit Editor(bool pixels)
  {
    g = new softmvg::GraphicsVG(dlg, kWidth, kHeight);
    g->OnViewInitialized(nullptr);
    g->SetScreenScale(kScreenScale);
    g->LoadFont("sans", kFontPath);
    g->Soft().keepCalls = false;
    g->Soft().raster = pixels;
    g->AttachControl(new softmvg::SceneControl(g->GetBounds(), DrawScene));
  }
  ~Editor()
  {
    g->OnViewDestroyed();
    delete g;
  }
  void Frame()
  {
    g->BeginFrame();
    g->Draw(g->GetBounds(), g->GetTotalScale());
    g->EndFrame();
  }
};

// The same scene straight on the engine over the same stand-in.
struct Direct {
  VGcontext* ctx = nullptr;
  int font = -1;
  Direct()
  {
    ctx = mvgCreateContext(nullptr, VG_ANTIALIAS | VG_TRIPLE_BUFFER);
    font = vgCreateFont(ctx, "sans", kFontPath);
    softmvg::ContextOf(ctx)->keepCalls = false;
    softmvg::ContextOf(ctx)->raster = false;
  }
  ~Direct() { mvgDeleteContext(ctx); }
  void Frame()
  {
    const Scene& s = TheScene();
    vgBeginFrame(ctx, kWidth, kHeight, kScreenScale);
    for (const RoundRect& r : s.rects) {
      vgBeginPath(ctx);
      vgRoundedRect(ctx, r.x, r.y, r.w, r.h, r.r);
      if (r.gradient)
        vgFillPaint(ctx, vgLinearGradient(ctx, r.x, r.y, r.x, r.y + r.h, ToVG(r.fill), ToVG(r.fill2)));
      else
        vgFillColor(ctx, ToVG(r.fill));
      vgFill(ctx);
      vgStrokeColor(ctx, ToVG(r.stroke));
      vgStrokeWidth(ctx, r.strokeWidth);
      vgStroke(ctx);
    }
    vgLineCap(ctx, VG_ROUND);
    for (const ArcShape& a : s.arcs) {
      vgBeginPath(ctx);
      vgArc(ctx, a.cx, a.cy, a.r, a.a0, a.a1, VG_CW);
      vgStrokeColor(ctx, ToVG(a.color));
      vgStrokeWidth(ctx, a.width);
      vgStroke(ctx);
    }
    vgLineCap(ctx, VG_BUTT);
    vgFontFaceId(ctx, font);
    vgTextAlign(ctx, VG_ALIGN_LEFT | VG_ALIGN_BOTTOM);
    for (const Label& l : s.labels) {
      vgFontSize(ctx, l.size);
      vgFillColor(ctx, ToVG(l.color));
      vgText(ctx, l.x, l.y, l.text.c_str(), nullptr);
    }
    vgEndFrame(ctx);
  }
};

template <class T>
void Run(benchmark::State& state, T& target)
{
  for (int i = 0; i < 2; i++) target.Frame();
  for (auto _ : state) target.Frame();
}

void BM_DirectEngine(benchmark::State& state)
{
  Direct d;
  Run(state, d);
}

void BM_Backend(benchmark::State& state)
{
  Editor e(false);
  Run(state, e);
}

void BM_BackendPixels(benchmark::State& state)
{
  Editor e(true);
  Run(state, e);
  // Share of the view's pixels the frame covered, to see that it drew.
  const softmvg::Context& c = e.g->Soft();
  std::size_t ink = 0;
  for (std::size_t i = 3; i < c.drawable.size(); i += 4) ink += c.drawable[i] != 0;
  state.counters["covered"] = c.drawable.empty() ? 0.0 : 4.0 * static_cast<double>(ink) / static_cast<double>(c.drawable.size());
}

BENCHMARK(BM_DirectEngine)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_Backend)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_BackendPixels)->Unit(benchmark::kMillisecond);

class ShareReporter : public benchmark::ConsoleReporter {
public:
  void ReportRuns(const std::vector<Run>& runs) override
  {
    ConsoleReporter::ReportRuns(runs);
    for (const Run& r : runs)
      if (r.run_type == Run::RT_Iteration) mTimes[r.benchmark_name()] = r.GetAdjustedRealTime();
  }
  void Finalize() override
  {
    ConsoleReporter::Finalize();
    const double direct = mTimes["BM_DirectEngine"], backend = mTimes["BM_Backend"], pixels = mTimes["BM_BackendPixels"];
    if (direct > 0 && backend > 0)
      std::printf("back end's own share of the recorded frame: %.1f%% (%.3f of %.3f ms)\n",
                  100.0 * (backend - direct) / backend, backend - direct, backend);
    if (pixels > 0 && backend > 0)
      std::printf("back end's own share of the frame with pixels: %.1f%% (frame %.3f ms at 1300 x 940)\n",
                  100.0 * (backend - direct) / pixels, pixels);
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
