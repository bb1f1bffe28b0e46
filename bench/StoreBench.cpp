// Sequential frame walking through the store and whole-file copies, on a
// voice of 10 million frames.
#include <benchmark/benchmark.h>

#include "BenchSwap.h"
#include "store/PcmMMap.h"

namespace {

constexpr int32_t kFrames = 10'000'000;

void CellCopy(benchmark::State& state) {
  const int32_t channels = int32_t(state.range(0));
  const int32_t width = int32_t(state.range(1));
  BenchSwap swap;
  KPcmMMap source(swap.Path()), target(swap.Path());
  const int32_t bytes = kFrames * channels * width;
  source.Resize(bytes);
  target.Resize(bytes);
  KPcmCell cell(channels, width);
  for (auto _ : state) {
    source.Seek(0);
    target.Seek(0);
    for (int32_t f = 0; f < kFrames; ++f) {
      source.ReadNext(cell);
      target.WriteNext(cell);
    }
    benchmark::DoNotOptimize(cell.Value1);
  }
  state.counters["frames/s"] = benchmark::Counter(double(kFrames), benchmark::Counter::kIsIterationInvariantRate);
  state.SetLabel(std::to_string(channels) + "ch " + std::to_string(width * 8) + "bit");
}
BENCHMARK(CellCopy)->Args({1, 1})->Args({1, 2})->Args({2, 1})->Args({2, 2})->Unit(benchmark::kMillisecond);

void CopyFrom(benchmark::State& state) {
  BenchSwap swap;
  KPcmMMap source(swap.Path()), target(swap.Path());
  const int32_t bytes = kFrames * 2;
  source.Resize(bytes);
  for (auto _ : state) target.CopyFrom(source);
  state.SetBytesProcessed(int64_t(state.iterations()) * bytes);
}
BENCHMARK(CopyFrom)->Unit(benchmark::kMillisecond);

}  // namespace
