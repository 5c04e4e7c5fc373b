// The plug-in's editor as the layout builds it (the pictures and fonts of
// the built bundle) drawn through the drawing back end into the renderer on
// the stand-in GPU, on a screen of scale 2 (1300 x 940 pixels):
//   BM_BackgroundFrame  only the background picture, the whole view (reference)
//   BM_EditorFrame      every control, the whole view
//   BM_PeakFrame        a new peak read-out: the dirty rectangles only
// Counters: cpu_ms is the engine and renderer's own time per frame (the
// calls that build and submit it; the software GPU runs on its own thread,
// as a GPU does), raster_ms the time the GPU then needs to finish it,
// dirty_px the pixels the frame's rectangles cover.
#include <benchmark/benchmark.h>

#include <Foundation/Foundation.h>
#include <QuartzCore/QuartzCore.h>
#include <standin/Host.h>
#include <standin/Testing.h>

#include <chrono>
#include <cstdio>
#include <filesystem>
#include <string>

#include "BundleGraphicsVG.h"
#include "EditorLayout.h"
#include "IBitmapControl.h"
#include "IRECTList.h"
#include "PluginPaths.h"
#include "TestGraphicsVG.h"
#include "Vorelle3.h"
#include "Vorelle3Layout.h"

namespace {

using namespace plugin;
using namespace plugin::igraphics;
using Clock = std::chrono::steady_clock;

constexpr float kScreenScale = 2.f;

using EditorVG = backendtest::BundleGraphicsVG;

InstanceInfo Info()
{
  InstanceInfo info;
  info.mCocoaViewFactoryClassName.Set("Vorelle3_View");
  return info;
}

// What a host's run loop gives the opening and closing of an editor.
struct Pool {
  NSAutoreleasePool* pool = NSAutoreleasePool::alloc()->init();
  ~Pool() { pool->drain(); }
};

struct Editor {
  Vorelle3 plug{Info()};
  CAMetalLayer* layer = nullptr;
  EditorVG* g = nullptr;
  bool backgroundOnly = false;

  explicit Editor(bool background) : backgroundOnly(background)
  {
    layer = CAMetalLayer::alloc()->init();
    layer->setDrawableSize(CGSizeMake(650 * kScreenScale, 470 * kScreenScale));
    plug.SetMakeGraphicsFunc([this](IGEditorDelegate& d) -> IEditorGraphics* {
      auto* vg = new EditorVG(d, 650, 470, 1.f);
      vg->OnViewInitialized(layer);
      vg->SetScreenScale(kScreenScale);
      return vg;
    });
    plug.SetLayoutFunc([this](IGraphics* graphics) {
      if (backgroundOnly)
        graphics->AttachControl(new IBitmapControl(0, 0, graphics->LoadBitmap("background.png", 1), -1));
      else
        LayoutVorelle3EditorOfDelegate(graphics);
    });
    plug.OpenWindow(nullptr);
    g = static_cast<EditorVG*>(plug.GetGraphics());
    plug.SetEditorReady(true);
    plug.LayoutUI(g);
    plug.OnUIOpen();
  }
  ~Editor()
  {
    g->OnViewDestroyed();
    plug.CloseWindow();
    layer->release();
  }

  // One frame of the given rectangles (the whole view when none).
  void Frame(benchmark::State& state, IRECTList* rects, double& cpu, double& raster)
  {
    // The run loop drains a pool around every timer tick; so does each frame here.
    NSAutoreleasePool* pool = NSAutoreleasePool::alloc()->init();
    const auto t0 = Clock::now();
    if (rects)
      g->DrawDirtyRects(*rects);
    else {
      g->BeginFrame();
      g->Draw(g->GetBounds(), g->GetTotalScale());
      g->EndFrame();
    }
    const auto t1 = Clock::now();
    pool->drain();
    standin::WaitForGPUIdle();
    const auto t2 = Clock::now();
    cpu += std::chrono::duration<double, std::milli>(t1 - t0).count();
    raster += std::chrono::duration<double, std::milli>(t2 - t1).count();
    (void)state;
  }
};

void Setup()
{
  static const bool done = [] {
    const std::string home = (std::filesystem::temp_directory_path() / "vorelle_bench_editor").string();
    std::filesystem::create_directories(home);
    standin::SetUserHome(home, true);
    standin::RegisterBundleAtPath(VORELLE3_BUNDLE_DIR);
    standin::SetGPUExecution(standin::GPUExecution::WorkerThread);
    return true;
  }();
  (void)done;
}

void Report(benchmark::State& state, double cpu, double raster, double px)
{
  const double n = double(state.iterations());
  state.counters["cpu_ms"] = n ? cpu / n : 0.0;
  state.counters["raster_ms"] = n ? raster / n : 0.0;
  state.counters["dirty_px"] = px;
}

void WholeFrame(benchmark::State& state, bool background)
{
  Setup();
  Pool pool;
  Editor e(background);
  double cpu = 0, raster = 0, warm = 0;
  for (int i = 0; i < 3; i++)
    e.Frame(state, nullptr, warm, warm);
  for (auto _ : state)
    e.Frame(state, nullptr, cpu, raster);
  Report(state, cpu, raster, 650.0 * 470.0 * kScreenScale * kScreenScale);
}

void BM_BackgroundFrame(benchmark::State& state) { WholeFrame(state, true); }
void BM_EditorFrame(benchmark::State& state) { WholeFrame(state, false); }

void BM_PeakFrame(benchmark::State& state)
{
  Setup();
  Pool pool;
  Editor e(false);
  double cpu = 0, raster = 0, warm = 0, px = 0;
  for (int i = 0; i < 3; i++)
    e.Frame(state, nullptr, warm, warm);
  IEditorTextSink* peak = nullptr;
  const editorlayout::Rect& r = editorlayout::kPeak;
  for (int i = 0; i < e.g->NControls(); ++i)
    if (e.g->GetControl(i)->GetRECT() == IRECT(float(r.l), float(r.t), float(r.r), float(r.b)))
      if (auto* sink = dynamic_cast<IEditorTextSink*>(e.g->GetControl(i)))
        peak = sink;
  int k = 0;
  for (auto _ : state) {
    char text[16];
    std::snprintf(text, sizeof(text), "-%d.%d", 10 + k % 20, k % 10);
    ++k;
    if (peak)
      peak->SetStr(text);
    IRECTList rects;
    e.g->IsDirty(rects);
    e.g->SetAllControlsClean();
    px = 0;
    for (int i = 0; i < rects.Size(); ++i)
      px += double(rects.Get(i).W() * rects.Get(i).H()) * kScreenScale * kScreenScale;
    e.Frame(state, &rects, cpu, raster);
  }
  Report(state, cpu, raster, px);
}

BENCHMARK(BM_BackgroundFrame)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_EditorFrame)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_PeakFrame)->Unit(benchmark::kMillisecond);

} // namespace

BENCHMARK_MAIN();
