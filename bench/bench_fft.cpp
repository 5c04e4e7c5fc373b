// Transform time of the split-radix FFT (the routine set this processor gets,
// and the portable one) and both real FFTs (radix-2, and split-radix at half
// size as the analyser runs it) against FFTW on the same data in the same
// process (the split-radix real FFT also in turns with FFTW's), and the
// analyser's speed as a fraction of real time. Prints the ratios after the
// usual table.
#include "CMFFT.h"
#include "FFT.h"
#include "SRFFT.h"
#include "SRFFTRunners.h"
#include "SRRealFFT.h"

#include <benchmark/benchmark.h>
#include <fftw3.h>

#include <algorithm>
#include <chrono>
#include <cmath>
#include <cstdio>
#include <map>
#include <random>
#include <string>
#include <vector>

namespace {

std::vector<double> Noise(size_t count, unsigned seed)
{
  std::mt19937 rng(seed);
  std::uniform_real_distribution<double> dist(-1.0, 1.0);
  std::vector<double> v(count);
  for (auto& x : v)
    x = dist(rng);
  return v;
}

// Each iteration restores the input untimed and times one transform alone
// (manual timing: the cost of pausing the clock would swamp small sizes).
template <typename Transform>
void TimeEach(benchmark::State& state, double* buffer, const std::vector<double>& input, Transform transform)
{
  for (auto _ : state) {
    std::copy(input.begin(), input.end(), buffer);
    const auto start = std::chrono::steady_clock::now();
    transform();
    const auto stop = std::chrono::steady_clock::now();
    benchmark::DoNotOptimize(buffer);
    benchmark::ClobberMemory();
    state.SetIterationTime(std::chrono::duration<double>(stop - start).count());
  }
}

void BM_SRFFT(benchmark::State& state)
{
  const int n = static_cast<int>(state.range(0));
  SRFFTInit();
  const std::vector<double> input = Noise(2 * n, 1);
  std::vector<double> data(input.size());
  TimeEach(state, data.data(), input, [&] { SRFFT(data.data(), n, 0); });
}

// The portable routine set, which processors without AVX2 and FMA run (and
// every arm64 build): on this processor too, for comparison.
void BM_SRFFTPortable(benchmark::State& state)
{
  const int n = static_cast<int>(state.range(0));
  const double* const* tables = SRFFTTwiddleTables();
  const std::vector<double> input = Noise(2 * n, 1);
  std::vector<double> data(input.size());
  TimeEach(state, data.data(), input, [&] { SRFFTRunBaseline(data.data(), n, 0, tables); });
}

void BM_FFTWComplex(benchmark::State& state)
{
  const int n = static_cast<int>(state.range(0));
  fftw_complex* buf = fftw_alloc_complex(n);
  fftw_plan plan = fftw_plan_dft_1d(n, buf, buf, FFTW_FORWARD, FFTW_MEASURE);
  TimeEach(state, &buf[0][0], Noise(2 * n, 1), [&] { fftw_execute(plan); });
  fftw_destroy_plan(plan);
  fftw_free(buf);
}

void BM_RealFFT(benchmark::State& state)
{
  const int n = static_cast<int>(state.range(0));
  const std::vector<double> input = Noise(n + 2, 2);
  std::vector<double> data(input.size());
  TimeEach(state, data.data(), input, [&] { RealFFT(data.data(), n, 1); });
}

void BM_SRRealFFT(benchmark::State& state)
{
  const int n = static_cast<int>(state.range(0));
  SRFFTInit();
  const std::vector<double> input = Noise(n, 2);
  std::vector<double> data(n), out(n + 2);
  TimeEach(state, data.data(), input, [&] { SRRealFFT(data.data(), out.data(), n); });
}

void BM_FFTWReal(benchmark::State& state)
{
  const int n = static_cast<int>(state.range(0));
  double* in = fftw_alloc_real(n + 2);
  fftw_plan plan = fftw_plan_dft_r2c_1d(n, in, reinterpret_cast<fftw_complex*>(in), FFTW_MEASURE);
  TimeEach(state, in, Noise(n + 2, 2), [&] { fftw_execute(plan); });
  fftw_destroy_plan(plan);
  fftw_free(in);
}

// The split-radix real FFT and FFTW's r2c taking turns on the same data, so
// that whatever else the machine does falls on both alike: "ratio" is the
// median time of the first over the median time of the second.
void BM_SRRealFFTOverFFTW(benchmark::State& state)
{
  const int n = static_cast<int>(state.range(0));
  SRFFTInit();
  const std::vector<double> input = Noise(n + 2, 2);
  std::vector<double> data(n), out(n + 2);
  double* in = fftw_alloc_real(n + 2);
  fftw_plan plan = fftw_plan_dft_r2c_1d(n, in, reinterpret_cast<fftw_complex*>(in), FFTW_MEASURE);
  std::vector<double> ours, theirs;
  const auto time = [](auto transform) {
    const auto start = std::chrono::steady_clock::now();
    transform();
    return std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
  };
  for (auto _ : state) {
    std::copy(input.begin(), input.begin() + n, data.begin());
    ours.push_back(time([&] { SRRealFFT(data.data(), out.data(), n); }));
    std::copy(input.begin(), input.end(), in);
    theirs.push_back(time([&] { fftw_execute(plan); }));
    benchmark::DoNotOptimize(out.data());
    benchmark::DoNotOptimize(in);
    state.SetIterationTime(ours.back());
  }
  const auto median = [](std::vector<double>& v) {
    std::nth_element(v.begin(), v.begin() + v.size() / 2, v.end());
    return v[v.size() / 2];
  };
  state.counters["ratio"] = median(ours) / median(theirs);
  fftw_destroy_plan(plan);
  fftw_free(in);
}

// Three minutes of stereo at 48 kHz through the capture path, in 512-frame
// blocks, with the plug-in's analyser settings.
void BM_AnalyserThreeMinutesStereo48k(benchmark::State& state)
{
  constexpr int kRate = 48000, kBlock = 512, kSeconds = 180;
  const std::vector<double> left = Noise(kBlock, 3), right = Noise(kBlock, 4);
  double* inputs[2] = {const_cast<double*>(left.data()), const_cast<double*>(right.data())};
  for (auto _ : state) {
    CMFFT analyser;
    analyser.SetNumChannels(2);
    analyser.SetBlockSize(kBlock);
    analyser.SetSampleRate(kRate);
    analyser.SetParam(0, 16384);
    analyser.SetParam(1, 3);
    analyser.SetParam(2, 0);
    for (long done = 0; done < static_cast<long>(kRate) * kSeconds; done += kBlock)
      analyser.ProcessCapture(inputs, nullptr, kBlock);
    benchmark::DoNotOptimize(analyser.GetData(6));
  }
  state.counters["audio_seconds"] = kSeconds;
}

BENCHMARK(BM_SRFFT)->Arg(1024)->Arg(4096)->Arg(32768)->Arg(65536)->UseManualTime()->Unit(benchmark::kMicrosecond);
BENCHMARK(BM_SRFFTPortable)->Arg(1024)->Arg(4096)->Arg(32768)->Arg(65536)->UseManualTime()->Unit(benchmark::kMicrosecond);
BENCHMARK(BM_FFTWComplex)->Arg(1024)->Arg(4096)->Arg(32768)->Arg(65536)->UseManualTime()->Unit(benchmark::kMicrosecond);
BENCHMARK(BM_RealFFT)->Arg(1024)->Arg(4096)->Arg(32768)->Arg(65536)->UseManualTime()->Unit(benchmark::kMicrosecond);
BENCHMARK(BM_SRRealFFT)->Arg(1024)->Arg(4096)->Arg(32768)->Arg(65536)->UseManualTime()->Unit(benchmark::kMicrosecond);
BENCHMARK(BM_FFTWReal)->Arg(1024)->Arg(4096)->Arg(32768)->Arg(65536)->UseManualTime()->Unit(benchmark::kMicrosecond);
BENCHMARK(BM_SRRealFFTOverFFTW)->Arg(32768)->Arg(65536)->UseManualTime()->Unit(benchmark::kMicrosecond);
BENCHMARK(BM_AnalyserThreeMinutesStereo48k)->Unit(benchmark::kMillisecond)->Iterations(1);

// Keeps each run's time per iteration so the ratios can be printed at the end.
class RatioReporter : public benchmark::ConsoleReporter {
public:
  void ReportRuns(const std::vector<Run>& runs) override
  {
    for (const Run& r : runs)
      if (r.run_type == Run::RT_Iteration && r.iterations > 0)
        mSeconds[BaseName(r.benchmark_name())] = r.real_accumulated_time / static_cast<double>(r.iterations);
    ConsoleReporter::ReportRuns(runs);
  }

  void PrintRatios() const
  {
    std::printf("\nTime relative to FFTW (same data, same process; lower is faster):\n");
    for (const char* n : {"1024", "4096", "32768", "65536"}) {
      PrintRatio("SRFFT   / FFTW complex", "BM_SRFFT/", "BM_FFTWComplex/", n);
      PrintRatio("SRFFT portable / FFTW complex", "BM_SRFFTPortable/", "BM_FFTWComplex/", n);
      PrintRatio("RealFFT / FFTW r2c    ", "BM_RealFFT/", "BM_FFTWReal/", n);
      PrintRatio("SRRealFFT / FFTW r2c  ", "BM_SRRealFFT/", "BM_FFTWReal/", n);
    }
    const auto it = mSeconds.find("BM_AnalyserThreeMinutesStereo48k");
    if (it != mSeconds.end())
      std::printf("Analyser: %.4f of real time (%.1f s for 180 s of stereo 48 kHz)\n", it->second / 180.0, it->second);
  }

private:
  // "BM_SRFFT/1024/manual_time" -> "BM_SRFFT/1024"
  static std::string BaseName(std::string name)
  {
    for (const char* suffix : {"/manual_time", "/iterations:1"}) {
      const auto at = name.find(suffix);
      if (at != std::string::npos)
        name.erase(at);
    }
    return name;
  }

  void PrintRatio(const char* label, const std::string& a, const std::string& b, const std::string& n) const
  {
    const auto ia = mSeconds.find(a + n), ib = mSeconds.find(b + n);
    if (ia != mSeconds.end() && ib != mSeconds.end() && ib->second > 0.0)
      std::printf("  %s at %6s points: %.2f x\n", label, n.c_str(), ia->second / ib->second);
  }

  std::map<std::string, double> mSeconds;
};

} // namespace

int main(int argc, char** argv)
{
  benchmark::Initialize(&argc, argv);
  RatioReporter reporter;
  benchmark::RunSpecifiedBenchmarks(&reporter);
  reporter.PrintRatios();
  benchmark::Shutdown();
  return 0;
}
