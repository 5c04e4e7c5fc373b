// The plug-in's convolution load against real time: a wet engine with a
// 32768-tap stereo impulse and a dry engine carrying a unit impulse of the
// same length, both divided with 65536 as the largest FFT, fed 512-frame
// stereo blocks as at 48 kHz. Reports the CPU share of real time and the
// worst block against the block period, then prints a summary.
#include <benchmark/benchmark.h>

#include <algorithm>
#include <chrono>
#include <cmath>
#include <cstdio>
#include <map>
#include <random>
#include <string>
#include <vector>

#include "CDividedConvolutionEngine.h"

namespace {

constexpr int kRate = 48000;
constexpr int kBlock = 512;
constexpr int kImpulseLength = 32768;
constexpr int kMaxFFT = 65536;
constexpr double kBlockPeriod = double(kBlock) / kRate;
constexpr int kBlocksPerRun = 60 * kRate / kBlock; // one minute of audio

struct Figures {
  double cpuShare = 0.0;
  double worstBlock = 0.0;
  double p999Block = 0.0; // a preempted block shows in the worst, not here
};
std::map<std::string, Figures> gFigures;

void FillNoise(std::vector<double>& v, std::mt19937& rng, double decay)
{
  std::uniform_real_distribution<double> dist(-1.0, 1.0);
  for (size_t i = 0; i < v.size(); ++i)
    v[i] = dist(rng) * std::exp(-decay * double(i) / double(v.size()));
}

enum class Path { kWet, kDry, kBoth };

// One engine as the plug-in builds it: stereo correction filter, or the
// unit impulse of the dry path (at 0, or delayed to the middle as in
// linear-phase mode).
void LoadEngine(CDividedConvolutionEngine& engine, bool wet, int dryDelay)
{
  CImpulseBuffer impulse;
  impulse.SetNumChannels(2);
  impulse.SetLength(kImpulseLength);
  std::mt19937 rng(99);
  for (int c = 0; c < 2; ++c) {
    std::vector<double> h(kImpulseLength, 0.0);
    if (wet)
      FillNoise(h, rng, 6.0);
    else
      h[size_t(dryDelay)] = 1.0;
    std::copy(h.begin(), h.end(), impulse.GetChannel(c));
  }
  engine.SetImpulse(&impulse, kMaxFFT, kBlock, 0, 0, 0, false);
  // Prime as the plug-in does after a latency change.
  engine.Reset();
  engine.Add(nullptr, kImpulseLength, 2);
  engine.Avail(kImpulseLength, false);
  engine.Advance(kImpulseLength);
}

void RunBlock(CDividedConvolutionEngine& engine, double** in)
{
  engine.Add(in, kBlock, 2);
  const int got = std::min(engine.Avail(kBlock, false), kBlock);
  benchmark::DoNotOptimize(engine.Get());
  engine.Advance(got);
}

void BM_PluginConvolution(benchmark::State& state)
{
  const Path path = Path(state.range(0));
  const int dryDelay = int(state.range(1));
  CDividedConvolutionEngine wet, dry;
  LoadEngine(wet, true, 0);
  LoadEngine(dry, false, dryDelay);
  std::mt19937 rng(7);
  std::vector<double> left(kBlock), right(kBlock);
  double* in[2] = {left.data(), right.data()};

  double worst = 0.0, total = 0.0;
  long blocks = 0;
  std::vector<double> times;
  for (auto _ : state) {
    double runTime = 0.0;
    for (int b = 0; b < kBlocksPerRun; ++b) {
      FillNoise(left, rng, 0.0);
      FillNoise(right, rng, 0.0);
      const auto start = std::chrono::steady_clock::now();
      if (path != Path::kDry)
        RunBlock(wet, in);
      if (path != Path::kWet)
        RunBlock(dry, in);
      const double t = std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
      worst = std::max(worst, t);
      runTime += t;
      times.push_back(t);
    }
    total += runTime;
    blocks += kBlocksPerRun;
    state.SetIterationTime(runTime);
  }
  const double share = total / (double(blocks) * kBlockPeriod);
  std::sort(times.begin(), times.end());
  const double p999 = times.empty() ? 0.0 : times[size_t(0.999 * double(times.size() - 1))];
  state.counters["cpu_share_%"] = 100.0 * share;
  state.counters["worst_block_%_of_period"] = 100.0 * worst / kBlockPeriod;
  state.counters["p99.9_block_%_of_period"] = 100.0 * p999 / kBlockPeriod;
  const char* names[] = {"wet", "dry", "wet + dry"};
  const std::string name = std::string(names[int(path)]) + (dryDelay ? ", dry delayed to the middle" : "");
  gFigures[name] = {share, worst / kBlockPeriod, p999 / kBlockPeriod};
}

// Arguments: path (0 wet, 1 dry, 2 both), dry delay in samples.
BENCHMARK(BM_PluginConvolution)
  ->Args({0, 0})
  ->Args({1, 0})
  ->Args({2, 0})
  ->Args({2, (kImpulseLength - 1) / 2})
  ->UseManualTime()
  ->Unit(benchmark::kMillisecond);

} // namespace

int main(int argc, char** argv)
{
  benchmark::Initialize(&argc, argv);
  if (benchmark::ReportUnrecognizedArguments(argc, argv))
    return 1;
  benchmark::RunSpecifiedBenchmarks();
  benchmark::Shutdown();
  std::printf("\nPlug-in convolution, %d-frame blocks at %d Hz (period %.3f ms):\n", kBlock, kRate,
              1000.0 * kBlockPeriod);
  for (const auto& [name, f] : gFigures)
    std::printf("  %-38s CPU %.3f %% of one core; block time vs period: worst %.2f %%, 99.9th percentile %.2f %%\n",
                name.c_str(), 100.0 * f.cpuShare, 100.0 * f.worstBlock, 100.0 * f.p999Block);
  return 0;
}
