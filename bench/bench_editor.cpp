// The plug-in's editor as the layout builds it (the pictures and fonts of
// the built bundle) drawn through the drawing back end into the renderer on
// the stand-in GPU, on a screen of scale 2 (1300 x 940 pixels):
//   BM_BackgroundFrame  only the background picture, the whole view (reference)
//   BM_EditorFrame      every control, the whole view
//   BM_PeakFrame        a new peak read-out: the dirty rectangles only
// Counters: cpu_ms is the engine and renderer's own time per frame (the
// calls that build and submit it; the software GPU runs on its own thread,
// as a GPU does), counted in the thread's processor time so that a frame the
// machine preempts is not charged for the wait, as the median frame, and
// cpu_p99_ms the 99th percentile; raster_ms the median time the GPU then
// needs to finish it; dirty_px the pixels the frame's rectangles cover.
#include <benchmark/benchmark.h>

#include <Foundation/Foundation.h>
#include <QuartzCore/QuartzCore.h>
#include <standin/Host.h>
#include <standin/Testing.h>

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <ctime>
#include <filesystem>
#include <string>
#include <vector>

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

// Processor time of the calling thread, in milliseconds.
double ThreadMilliseconds()
{
  timespec t{};
  clock_gettime(CLOCK_THREAD_CPUTIME_ID, &t);
  return 1e3 * double(t.tv_sec) + 1e-6 * double(t.tv_nsec);
}

// Per-frame times, in milliseconds.
struct FrameTimes {
  std::vector<double> cpu, raster;
};

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
  void Frame(IRECTList* rects, FrameTimes* times)
  {
    // The run loop drains a pool around every timer tick; so does each frame here.
    NSAutoreleasePool* pool = NSAutoreleasePool::alloc()->init();
    const double cpu0 = ThreadMilliseconds();
    if (rects)
      g->DrawDirtyRects(*rects);
    else {
      g->BeginFrame();
      g->Draw(g->GetBounds(), g->GetTotalScale());
      g->EndFrame();
    }
    const double cpu1 = ThreadMilliseconds();
    const auto t1 = Clock::now();
    pool->drain();
    standin::WaitForGPUIdle();
    const auto t2 = Clock::now();
    if (times) {
      times->cpu.push_back(cpu1 - cpu0);
      times->raster.push_back(std::chrono::duration<double, std::milli>(t2 - t1).count());
    }
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

// The value below which the fraction q of the times lie.
double Percentile(std::vector<double> times, double q)
{
  if (times.empty())
    return 0.0;
  std::sort(times.begin(), times.end());
  return times[size_t(q * double(times.size() - 1) + 0.5)];
}

void Report(benchmark::State& state, const FrameTimes& times, double px)
{
  state.counters["cpu_ms"] = Percentile(times.cpu, 0.5);
  state.counters["cpu_p99_ms"] = Percentile(times.cpu, 0.99);
  state.counters["raster_ms"] = Percentile(times.raster, 0.5);
  state.counters["frames"] = double(times.cpu.size()); // what the percentiles stand on
  state.counters["dirty_px"] = px;
}

void WholeFrame(benchmark::State& state, bool background)
{
  Setup();
  Pool pool;
  Editor e(background);
  FrameTimes times;
  for (int i = 0; i < 3; i++)
    e.Frame(nullptr, nullptr);
  for (auto _ : state)
    e.Frame(nullptr, &times);
  Report(state, times, 650.0 * 470.0 * kScreenScale * kScreenScale);
}

void BM_BackgroundFrame(benchmark::State& state) { WholeFrame(state, true); }
void BM_EditorFrame(benchmark::State& state) { WholeFrame(state, false); }

void BM_PeakFrame(benchmark::State& state)
{
  Setup();
  Pool pool;
  Editor e(false);
  FrameTimes times;
  double px = 0;
  for (int i = 0; i < 3; i++)
    e.Frame(nullptr, nullptr);
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
    e.Frame(&rects, &times);
  }
  Report(state, times, px);
}

BENCHMARK(BM_BackgroundFrame)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_EditorFrame)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_PeakFrame)->Unit(benchmark::kMillisecond);

} // namespace

BENCHMARK_MAIN();
