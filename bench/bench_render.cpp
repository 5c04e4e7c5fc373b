// Cost of one Render call of 512 stereo frames through the bundle's exported
// doors (the method table and the Component Manager entry), measured as a
// real-time factor: seconds of audio rendered per second of wall time at
// 44.1 kHz (the reference is real time itself).
#include <benchmark/benchmark.h>

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <vector>

#include "AUBundle.h"
#include "AUHostUnit.h"

namespace {

constexpr UInt32 kFrames = 512;
constexpr double kRate = 44100.0;

host::AUBundle& Bundle()
{
  static host::AUBundle* bundle = [] {
    auto* b = new host::AUBundle;
    if (!b->Load(host::DefaultBundlePath()))
      std::fprintf(stderr, "bench_render: %s\n", b->Error().c_str());
    return b;
  }();
  return *bundle;
}

void RenderThrough(benchmark::State& state, host::EDoor door, bool bypass)
{
  host::AUHostUnit unit(Bundle());
  if (unit.Open(door) != noErr || unit.SetFormat(2, kRate) != noErr || unit.SetMaxFrames(kFrames) != noErr) {
    state.SkipWithError("the unit did not open");
    return;
  }
  // The input is computed once, so the host's share of each call is a copy.
  std::vector<float> input(2 * kFrames);
  for (UInt32 i = 0; i < 2 * kFrames; ++i)
    input[i] = static_cast<float>(0.25 * std::sin(0.013 * i));
  unit.ConnectInput([&input](double, UInt32 n, float* const* ch, int nch) {
    for (int c = 0; c < nch && c < 2; ++c)
      std::copy_n(input.data() + c * kFrames, std::min(n, kFrames), ch[c]);
  });
  const UInt32 on = bypass ? 1 : 0;
  AudioUnitSetProperty(unit.Unit(), kAudioUnitProperty_BypassEffect, kAudioUnitScope_Global, 0, &on, sizeof(on));
  AudioUnitInitialize(unit.Unit());
  std::vector<float> l(kFrames), r(kFrames);
  float* out[2] = {l.data(), r.data()};
  double time = 0.0;
  for (auto _ : state) {
    unit.Render(time, kFrames, out, 2);
    benchmark::DoNotOptimize(l.data());
    time += kFrames;
  }
  state.counters["realtime_x"] = benchmark::Counter(kFrames / kRate, benchmark::Counter::kIsIterationInvariantRate);
  AudioUnitUninitialize(unit.Unit());
}

void BM_RenderFactoryDoor(benchmark::State& state) { RenderThrough(state, host::EDoor::kFactory, false); }
void BM_RenderEntryDoor(benchmark::State& state) { RenderThrough(state, host::EDoor::kComponentEntry, false); }
void BM_RenderBypassed(benchmark::State& state) { RenderThrough(state, host::EDoor::kFactory, true); }

BENCHMARK(BM_RenderFactoryDoor)->Unit(benchmark::kMicrosecond);
BENCHMARK(BM_RenderEntryDoor)->Unit(benchmark::kMicrosecond);
BENCHMARK(BM_RenderBypassed)->Unit(benchmark::kMicrosecond);

} // namespace

BENCHMARK_MAIN();
