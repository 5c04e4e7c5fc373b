// One editor-like frame (500 rounded rectangles filled and stroked, 20 of
// them with gradients, 200 arcs, and 100 strings once the engine has text)
// through the vector engine into the recording renderer, against the same
// scene rasterised by Cairo into an image surface, at scale 1 and 2. Reports
// time per frame, heap allocations per frame after warm-up, and the ratio
// engine / Cairo after the usual table.
#include <benchmark/benchmark.h>
#include <cairo.h>

#include <cmath>
#include <cstddef>
#include <cstdio>
#include <map>
#include <string>
#include <vector>

#include "EditorLikeScene.h"
#include "VG.h"
#include "VGRecordingRenderer.h"
#if __has_include("VGText.h")
#include "VGText.h"
#endif

// Allocation counting: every malloc, calloc and realloc on a counting thread
// (operator new ends in malloc too). A sanitizer owns malloc itself, so its
// builds count nothing.
#if defined(__has_feature)
#if __has_feature(address_sanitizer) || __has_feature(thread_sanitizer)
#define VORELLE_SANITIZED_MALLOC 1
#endif
#endif
#if defined(__SANITIZE_ADDRESS__) || defined(__SANITIZE_THREAD__)
#define VORELLE_SANITIZED_MALLOC 1
#endif

namespace {
thread_local bool tCounting = false;
thread_local size_t tAllocations = 0;
} // namespace

#ifndef VORELLE_SANITIZED_MALLOC
extern "C" void* __libc_malloc(size_t);
extern "C" void* __libc_calloc(size_t, size_t);
extern "C" void* __libc_realloc(void*, size_t);

namespace {
void Count()
{
  if (tCounting)
    ++tAllocations;
}
} // namespace

extern "C" void* malloc(size_t n)
{
  Count();
  return __libc_malloc(n);
}
extern "C" void* calloc(size_t n, size_t s)
{
  Count();
  return __libc_calloc(n, s);
}
extern "C" void* realloc(void* p, size_t n)
{
  Count();
  return __libc_realloc(p, n);
}
#endif

namespace {

using benchscene::kHeight;
using benchscene::kWidth;

struct RGBA {
  float r, g, b, a;
};
using Scene = benchscene::Scene<RGBA>;
using RoundRect = Scene::RoundRect;
using ArcShape = Scene::ArcShape;
using Label = Scene::Label;

const Scene& TheScene()
{
  static const Scene scene = benchscene::MakeScene<RGBA>([](float r, float g, float b, float a) {
    return RGBA{r, g, b, a};
  });
  return scene;
}

VGcolor ToVG(const RGBA& c) { return vgRGBAf(c.r, c.g, c.b, c.a); }

// The strings join the frame once the engine has text.
#if __has_include("VGText.h")
constexpr bool kHasText = true;
constexpr const char* kFontPath = "/usr/share/fonts/truetype/dejavu/DejaVuSans.ttf";
int LoadFont(VGcontext* ctx) { return vgCreateFont(ctx, "sans", kFontPath); }
void DrawLabels(VGcontext* ctx, int font, const Scene& s)
{
  if (font < 0)
    return;
  vgFontFaceId(ctx, font);
  for (const Label& l : s.labels) {
    vgFontSize(ctx, l.size);
    vgFillColor(ctx, ToVG(l.color));
    vgText(ctx, l.x, l.y, l.text.c_str(), nullptr);
  }
}
#else
constexpr bool kHasText = false;
int LoadFont(VGcontext*) { return -1; }
void DrawLabels(VGcontext*, int, const Scene&) {}
#endif

struct EngineTarget {
  vgtest::VGRecordingRenderer rec;
  VGcontext* ctx = nullptr;
  int font = -1;

  EngineTarget()
  {
    VGparams params = rec.Params(1);
    ctx = vgCreateInternal(&params);
    if (ctx)
      font = LoadFont(ctx);
  }
  ~EngineTarget() { vgDeleteInternal(ctx); }

  void Frame(float scale)
  {
    const Scene& s = TheScene();
    rec.Clear();
    vgBeginFrame(ctx, kWidth, kHeight, scale);
    benchscene::DrawShapes(ctx, s, ToVG);
    DrawLabels(ctx, font, s);
    vgEndFrame(ctx);
  }
};

struct CairoTarget {
  cairo_surface_t* surface = nullptr;
  cairo_t* cr = nullptr;
  float scale;

  explicit CairoTarget(float s) : scale(s)
  {
    surface =
      cairo_image_surface_create(CAIRO_FORMAT_ARGB32, static_cast<int>(kWidth * s), static_cast<int>(kHeight * s));
    cr = cairo_create(surface);
  }
  ~CairoTarget()
  {
    cairo_destroy(cr);
    cairo_surface_destroy(surface);
  }

  void RoundedRect(const RoundRect& r)
  {
    const double rad = std::min<double>(r.r, std::min(r.w, r.h) * 0.5);
    const double pi = M_PI;
    cairo_new_sub_path(cr);
    cairo_arc(cr, r.x + r.w - rad, r.y + rad, rad, -pi / 2, 0);
    cairo_arc(cr, r.x + r.w - rad, r.y + r.h - rad, rad, 0, pi / 2);
    cairo_arc(cr, r.x + rad, r.y + r.h - rad, rad, pi / 2, pi);
    cairo_arc(cr, r.x + rad, r.y + rad, rad, pi, 3 * pi / 2);
    cairo_close_path(cr);
  }

  void Frame()
  {
    const Scene& s = TheScene();
    cairo_save(cr);
    cairo_set_operator(cr, CAIRO_OPERATOR_CLEAR);
    cairo_paint(cr);
    cairo_restore(cr);
    cairo_identity_matrix(cr);
    cairo_scale(cr, scale, scale);
    cairo_set_operator(cr, CAIRO_OPERATOR_OVER);
    for (const RoundRect& r : s.rects) {
      cairo_new_path(cr);
      RoundedRect(r);
      if (r.gradient) {
        cairo_pattern_t* p = cairo_pattern_create_linear(r.x, r.y, r.x, r.y + r.h);
        cairo_pattern_add_color_stop_rgba(p, 0, r.fill.r, r.fill.g, r.fill.b, r.fill.a);
        cairo_pattern_add_color_stop_rgba(p, 1, r.fill2.r, r.fill2.g, r.fill2.b, r.fill2.a);
        cairo_set_source(cr, p);
        cairo_pattern_destroy(p);
      } else {
        cairo_set_source_rgba(cr, r.fill.r, r.fill.g, r.fill.b, r.fill.a);
      }
      cairo_fill_preserve(cr);
      cairo_set_source_rgba(cr, r.stroke.r, r.stroke.g, r.stroke.b, r.stroke.a);
      cairo_set_line_width(cr, r.strokeWidth);
      cairo_stroke(cr);
    }
    cairo_set_line_cap(cr, CAIRO_LINE_CAP_ROUND);
    for (const ArcShape& a : s.arcs) {
      cairo_new_path(cr);
      cairo_arc(cr, a.cx, a.cy, a.r, a.a0, a.a1);
      cairo_set_source_rgba(cr, a.color.r, a.color.g, a.color.b, a.color.a);
      cairo_set_line_width(cr, a.width);
      cairo_stroke(cr);
    }
    cairo_set_line_cap(cr, CAIRO_LINE_CAP_BUTT);
    if (kHasText) {
      cairo_select_font_face(cr, "DejaVu Sans", CAIRO_FONT_SLANT_NORMAL, CAIRO_FONT_WEIGHT_NORMAL);
      for (const Label& l : s.labels) {
        cairo_set_font_size(cr, l.size);
        cairo_set_source_rgba(cr, l.color.r, l.color.g, l.color.b, l.color.a);
        cairo_move_to(cr, l.x, l.y);
        cairo_show_text(cr, l.text.c_str());
      }
    }
    cairo_surface_flush(surface);
  }
};

template <class F> void TimeFrames(benchmark::State& state, F&& frame)
{
  for (int i = 0; i < 3; i++)
    frame(); // warm-up: capacities reached, caches filled
  tAllocations = 0;
  tCounting = true;
  for (auto _ : state)
    frame();
  tCounting = false;
  state.counters["allocs_per_frame"] =
    benchmark::Counter(static_cast<double>(tAllocations) / static_cast<double>(state.iterations()));
}

void BM_EngineFrame(benchmark::State& state)
{
  const float scale = static_cast<float>(state.range(0));
  EngineTarget target;
  if (!target.ctx) {
    state.SkipWithError("the engine context was not made");
    return;
  }
  TimeFrames(state, [&] { target.Frame(scale); });
  state.counters["fills"] = static_cast<double>(target.rec.Count(vgtest::ECall::Fill));
  state.counters["strokes"] = static_cast<double>(target.rec.Count(vgtest::ECall::Stroke));
  state.counters["text_draws"] = static_cast<double>(target.rec.Count(vgtest::ECall::Triangles));
  state.counters["vertices"] = static_cast<double>(target.rec.verts.size());
}

void BM_CairoFrame(benchmark::State& state)
{
  CairoTarget target(static_cast<float>(state.range(0)));
  if (cairo_status(target.cr) != CAIRO_STATUS_SUCCESS) {
    state.SkipWithError("no Cairo surface");
    return;
  }
  TimeFrames(state, [&] { target.Frame(); });
}

BENCHMARK(BM_EngineFrame)->Arg(1)->Arg(2)->Unit(benchmark::kMicrosecond);
BENCHMARK(BM_CairoFrame)->Arg(1)->Arg(2)->Unit(benchmark::kMicrosecond);

class RatioReporter : public benchmark::ConsoleReporter {
public:
  void ReportRuns(const std::vector<Run>& runs) override
  {
    for (const Run& r : runs)
      if (r.run_type == Run::RT_Iteration && r.iterations > 0)
        mSeconds[r.benchmark_name()] = r.real_accumulated_time / static_cast<double>(r.iterations);
    ConsoleReporter::ReportRuns(runs);
  }

  void PrintRatios() const
  {
    std::printf("\nEngine frame time relative to Cairo's raster of the same scene (aim: 0.1 or less)%s:\n",
                kHasText ? "" : "; no text yet");
    for (const char* scale : {"1", "2"}) {
      auto e = mSeconds.find(std::string("BM_EngineFrame/") + scale);
      auto c = mSeconds.find(std::string("BM_CairoFrame/") + scale);
      if (e == mSeconds.end() || c == mSeconds.end() || c->second <= 0)
        continue;
      std::printf("  scale %s: engine %.1f us, Cairo %.1f us, ratio %.3f\n", scale, e->second * 1e6, c->second * 1e6,
                  e->second / c->second);
    }
  }

private:
  std::map<std::string, double> mSeconds;
};

} // namespace

int main(int argc, char** argv)
{
  benchmark::Initialize(&argc, argv);
  if (benchmark::ReportUnrecognizedArguments(argc, argv))
    return 1;
  RatioReporter reporter;
  benchmark::RunSpecifiedBenchmarks(&reporter);
  reporter.PrintRatios();
  benchmark::Shutdown();
  return 0;
}
