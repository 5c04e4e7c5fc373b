// Appending a million small pieces to the system's text string and byte
// chunk, each against the standard library doing the same in this process
// (counter "vs_std": our time over the reference's, lower is better).
#include <benchmark/benchmark.h>

#include <chrono>
#include <cstdint>
#include <string>
#include <vector>

#include "IByteChunk.h"
#include "UT_String.h"

namespace {

constexpr int kPieces = 1000000;
const char* const kWords[] = {"a", "bc", "def", "ghij", "k", "lm", "nop", "qrst"};

template <class F> double Seconds(F&& work)
{
  const auto start = std::chrono::steady_clock::now();
  work();
  return std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
}

// Times `ours` as the benchmark and `reference` aside, once per iteration each.
template <class Ours, class Reference> void Compare(benchmark::State& state, Ours ours, Reference reference)
{
  double oursSeconds = 0, referenceSeconds = 0;
  for (auto _ : state) {
    oursSeconds += Seconds(ours);
    state.PauseTiming();
    referenceSeconds += Seconds(reference);
    state.ResumeTiming();
  }
  state.counters["vs_std"] = oursSeconds / referenceSeconds;
  state.SetItemsProcessed(state.iterations() * kPieces);
}

void AppendToString(benchmark::State& state)
{
  Compare(
    state,
    [] {
      plugin::UT_String s;
      for (int i = 0; i < kPieces; ++i)
        s.Append(kWords[i & 7]);
      benchmark::DoNotOptimize(s.Get());
    },
    [] {
      std::string s;
      for (int i = 0; i < kPieces; ++i)
        s += kWords[i & 7];
      benchmark::DoNotOptimize(s.data());
    });
}

void AppendFormattedToString(benchmark::State& state)
{
  Compare(
    state,
    [] {
      plugin::UT_String s;
      for (int i = 0; i < kPieces; ++i)
        s.AppendFormatted(16, "%d,", i & 1023);
      benchmark::DoNotOptimize(s.Get());
    },
    [] {
      std::string s;
      for (int i = 0; i < kPieces; ++i)
        s += std::to_string(i & 1023) + ",";
      benchmark::DoNotOptimize(s.data());
    });
}

void PutIntoChunk(benchmark::State& state)
{
  Compare(
    state,
    [] {
      plugin::IByteChunk chunk;
      for (int32_t i = 0; i < kPieces; ++i)
        chunk.Put(&i);
      benchmark::DoNotOptimize(chunk.GetData());
    },
    [] {
      std::vector<uint8_t> bytes;
      for (int32_t i = 0; i < kPieces; ++i) {
        const auto* p = reinterpret_cast<const uint8_t*>(&i);
        bytes.insert(bytes.end(), p, p + sizeof i);
      }
      benchmark::DoNotOptimize(bytes.data());
    });
}

} // namespace

BENCHMARK(AppendToString)->Unit(benchmark::kMillisecond);
BENCHMARK(AppendFormattedToString)->Unit(benchmark::kMillisecond);
BENCHMARK(PutIntoChunk)->Unit(benchmark::kMillisecond);
BENCHMARK_MAIN();
