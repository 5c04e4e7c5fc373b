// What the plug-in costs its host: ProcessBlock in the Processing state at
// 48 kHz with 512-frame blocks as a share of real time (the block period is
// the reference), the average and worst Capture blocks the same way (and at
// 44.1 kHz with 64-frame blocks, where one analysing block must fit a short
// period), and how long a filter rebuild keeps the audio thread
// waiting on the plug-in's mutex, against one block period.
#include <benchmark/benchmark.h>
#include <standin/Testing.h>

#include <algorithm>
#include <atomic>
#include <chrono>
#include <cmath>
#include <cstdio>
#include <ctime>
#include <filesystem>
#include <mutex>
#include <random>
#include <string>
#include <thread>
#include <vector>

#include "ReferenceCurves.h"
#include "Vorelle3.h"

namespace {

constexpr double kRate = 48000.0;
constexpr int kBlock = 512;
constexpr double kBlockSeconds = kBlock / kRate;
constexpr int kAnalyserHop = 16384; // samples between the analyser's frames

class BenchPlug : public Vorelle3 {
public:
  BenchPlug() : Vorelle3(Info()) {}
  static plugin::InstanceInfo Info()
  {
    plugin::InstanceInfo info;
    info.mCocoaViewFactoryClassName.Set("Vorelle3_View");
    return info;
  }
  // A fingerprint shaped like reference 0, matched against reference 1.
  void Prepare(int adMode)
  {
    SetSampleRate(kRate);
    SetBlockSize(kBlock);
    OnReset();
    std::vector<double> shape(Curves().Fingerprint().count);
    for (size_t i = 0; i < shape.size(); ++i)
      shape[i] = ReferenceCurveMagnitude(0, int(i));
    Curves().TakeFingerprint(shape.data(), shape.size());
    mReferenceMode = 1;
    mADMode = adMode;
    mActivityState = kProcessing;
    ComputeCurves();
  }
  void PrepareCapture(double rate, int block)
  {
    SetSampleRate(rate);
    SetBlockSize(block);
    OnReset();
    mActivityState = kCapture;
  }
  std::recursive_mutex& Mutex() { return mMutex; }
};

void UsePrivateHome()
{
  static const bool done = [] {
    const auto home = std::filesystem::temp_directory_path() / "bench_process_home";
    std::filesystem::create_directories(home);
    standin::SetUserHome(home.string(), true);
    return true;
  }();
  (void)done;
}

std::vector<double> Noise(size_t n, unsigned seed)
{
  std::mt19937 rng(seed);
  std::uniform_real_distribution<double> u(-0.1, 0.1);
  std::vector<double> x(n);
  for (double& v : x)
    v = u(rng);
  return x;
}

// Time per 512-frame block; "rt_percent" is that time as a share of the
// block period, in percent of one core.
void BM_ProcessBlock(benchmark::State& state)
{
  UsePrivateHome();
  BenchPlug plug;
  plug.Prepare(int(state.range(0)));
  const std::vector<double> l = Noise(kBlock, 1), r = Noise(kBlock, 2);
  std::vector<double> outL(kBlock), outR(kBlock);
  double* in[2] = {const_cast<double*>(l.data()), const_cast<double*>(r.data())};
  double* out[2] = {outL.data(), outR.data()};
  for (int i = 0; i < 200; ++i)
    plug.ProcessBlock(in, out, kBlock); // past the fade
  double busy = 0.0;
  for (auto _ : state) {
    const auto start = std::chrono::steady_clock::now();
    plug.ProcessBlock(in, out, kBlock);
    busy += std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
    benchmark::DoNotOptimize(outL.data());
  }
  state.counters["rt_percent"] = 100.0 * busy / (double(state.iterations()) * kBlockSeconds);
  state.SetLabel(state.range(0) ? "Digital" : "Analoge");
}
BENCHMARK(BM_ProcessBlock)->Arg(0)->Arg(1)->Unit(benchmark::kMicrosecond);

// Processor time of the calling thread, in seconds.
double ThreadSeconds()
{
  timespec t{};
  clock_gettime(CLOCK_THREAD_CPUTIME_ID, &t);
  return double(t.tv_sec) + 1e-9 * double(t.tv_nsec);
}

// Three minutes of Capture at the rate and block size given: every
// (kAnalyserHop / block)th block analyses a frame, so the 99.9th percentile and the
// worst block are those, and the median of the slowest blocks that analyse
// is the typical analysing block, which the machine's interruptions hardly
// move. Counters in percent of the block period, each the least over five
// runs: by the wall clock, and by the thread's own processor time ("cpu_"),
// which leaves out the moments another thread had the core.
void BM_CaptureBlocks(benchmark::State& state)
{
  UsePrivateHome();
  const double rate = double(state.range(0));
  const int block = int(state.range(1));
  const double period = block / rate;
  const int blocks = int(180 * rate) / block;
  const int analysing = std::max(blocks * block / kAnalyserHop, 1);
  const size_t frames = size_t(block);
  BenchPlug plug;
  plug.PrepareCapture(rate, block);
  const std::vector<double> l = Noise(frames, 1), r = Noise(frames, 2);
  std::vector<double> outL(frames), outR(frames);
  double* in[2] = {const_cast<double*>(l.data()), const_cast<double*>(r.data())};
  double* out[2] = {outL.data(), outR.data()};
  std::vector<double> wall(static_cast<size_t>(blocks)), cpu(static_cast<size_t>(blocks));
  struct Figures {
    double average = 1e9, analysing = 1e9, p999 = 1e9, worst = 1e9;
    void Take(std::vector<double>& took, int analysingBlocks)
    {
      double sum = 0.0;
      for (double t : took)
        sum += t;
      std::sort(took.begin(), took.end());
      const size_t n = took.size();
      average = std::min(average, sum / double(n));
      analysing = std::min(analysing, took[n - size_t(analysingBlocks) / 2]);
      p999 = std::min(p999, took[size_t(0.999 * double(n - 1))]);
      worst = std::min(worst, took.back());
    }
  } byWall, byCpu;
  for (auto _ : state) {
    for (int b = 0; b < blocks; ++b) {
      const double cpu0 = ThreadSeconds();
      const auto start = std::chrono::steady_clock::now();
      plug.ProcessBlock(in, out, block);
      wall[size_t(b)] = std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
      cpu[size_t(b)] = ThreadSeconds() - cpu0;
    }
    benchmark::DoNotOptimize(outL.data());
    byWall.Take(wall, analysing);
    byCpu.Take(cpu, analysing);
  }
  const auto percent = [period](double seconds) { return 100.0 * seconds / period; };
  for (const auto& [prefix, f] : {std::pair{"", byWall}, std::pair{"cpu_", byCpu}}) {
    const std::string p = prefix;
    state.counters[p + "avg_percent"] = percent(f.average);
    state.counters[p + "analysing_percent"] = percent(f.analysing);
    state.counters[p + "p999_percent"] = percent(f.p999);
    state.counters[p + "worst_percent"] = percent(f.worst);
  }
  state.SetLabel(std::to_string(int(rate)) + " Hz, " + std::to_string(block) + " frames");
}
BENCHMARK(BM_CaptureBlocks)->Args({48000, 512})->Args({44100, 64})->Unit(benchmark::kMillisecond)->Iterations(5);

// A render thread plays blocks at real-time pace while the main thread
// rebuilds the filter: "wait_ms" is the longest any block waited beyond its
// usual cost (the time the rebuild held the mutex), "rebuild_ms" the whole
// rebuild, both reported against the block period "block_ms".
void BM_ComputeCurvesLockHold(benchmark::State& state)
{
  UsePrivateHome();
  BenchPlug plug;
  plug.Prepare(int(state.range(0)));
  const std::vector<double> l = Noise(kBlock, 3), r = Noise(kBlock, 4);
  std::vector<double> outL(kBlock), outR(kBlock);
  double* in[2] = {const_cast<double*>(l.data()), const_cast<double*>(r.data())};
  double* out[2] = {outL.data(), outR.data()};

  std::atomic<bool> running{true};
  std::atomic<double> worst{0.0}, typical{1e9};
  std::thread audio([&] {
    while (running.load()) {
      const auto start = std::chrono::steady_clock::now();
      plug.ProcessBlock(in, out, kBlock);
      const double took = std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
      worst.store(std::max(worst.load(), took));
      typical.store(std::min(typical.load(), took));
      std::this_thread::sleep_for(std::chrono::duration<double>(std::max(kBlockSeconds - took, 0.0) / 4));
    }
  });
  double rebuild = 0.0;
  for (auto _ : state) {
    const auto start = std::chrono::steady_clock::now();
    plug.ComputeCurves();
    rebuild = std::max(rebuild, std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count());
  }
  running.store(false);
  audio.join();
  state.counters["wait_ms"] = 1e3 * (worst.load() - typical.load());
  state.counters["rebuild_ms"] = 1e3 * rebuild;
  state.counters["block_ms"] = 1e3 * kBlockSeconds;
  state.SetLabel(state.range(0) ? "Digital" : "Analoge");
}
BENCHMARK(BM_ComputeCurvesLockHold)->Arg(0)->Arg(1)->Unit(benchmark::kMillisecond)->Iterations(10)->UseRealTime();

// The mutex itself watched: a second thread spins on try_lock while the main
// thread rebuilds. The processor time it spends between two successful tries
// is how long the mutex was held meanwhile; counting its own processor time
// leaves out the moments it was not running at all. "hold_ms" is the longest
// such stretch in the median rebuild, "hold_worst_ms" in the worst one.
void BM_ComputeCurvesMutexHold(benchmark::State& state)
{
  UsePrivateHome();
  BenchPlug plug;
  plug.Prepare(int(state.range(0)));
  std::atomic<bool> running{true};
  std::atomic<double> longest{0.0};
  std::thread watcher([&] {
    double free = ThreadSeconds();
    while (running.load()) {
      if (!plug.Mutex().try_lock())
        continue;
      const double held = ThreadSeconds() - free;
      plug.Mutex().unlock();
      if (held > longest.load())
        longest.store(held);
      free = ThreadSeconds();
    }
  });
  std::vector<double> holds;
  for (auto _ : state) {
    longest.store(0.0);
    plug.ComputeCurves();
    holds.push_back(longest.load());
  }
  running.store(false);
  watcher.join();
  std::sort(holds.begin(), holds.end());
  state.counters["hold_ms"] = holds.empty() ? 0.0 : 1e3 * holds[holds.size() / 2];
  state.counters["hold_worst_ms"] = holds.empty() ? 0.0 : 1e3 * holds.back();
  state.counters["block_ms"] = 1e3 * kBlockSeconds;
  state.SetLabel(state.range(0) ? "Digital" : "Analoge");
}
BENCHMARK(BM_ComputeCurvesMutexHold)->Arg(0)->Arg(1)->Unit(benchmark::kMillisecond)->Iterations(10)->UseRealTime();

} // namespace

BENCHMARK_MAIN();
