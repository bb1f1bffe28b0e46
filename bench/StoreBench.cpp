// Sequential frame walks through the store and whole-file copies, on voices
// of 10 million frames in each of the four sample formats.
#include <benchmark/benchmark.h>

#include <cmath>
#include <memory>

#include "BenchSwap.h"
#include "store/PcmMMap.h"
#include "voice/EditFrames.h"

namespace {

constexpr int32_t kFrames = 10'000'000;

// A store of kFrames frames of the benchmark's format (its arguments:
// channels and bytes per sample) holding a voice: a tone sweeping up on the
// first channel and a steady one on the second, at 80 % of full scale (so
// that scaling by 1.5 clips the peaks).
struct FormatStore {
  explicit FormatStore(benchmark::State& state, const BenchSwap& swap)
      : cell(int32_t(state.range(0)), int32_t(state.range(1))), store(swap.Path()) {
    const int32_t bytes = kFrames * cell.FrameBytes;
    store.Resize(bytes);
    uint8_t* view = store.MapView(0, bytes);
    for (int32_t f = 0; f < kFrames; ++f) {
      cell.Value1 = 0.8 * 32767 * std::sin(f * (0.01 + f * 1e-9));
      cell.Value2 = 0.8 * 32767 * std::sin(f * 0.0627);
      KPcmCell word(2, 2);
      word.Value1 = cell.Value1, word.Value2 = cell.Value2;
      word.Store();
      cell.ConvertFrom(word);
      cell.Encode(view + int64_t(f) * cell.FrameBytes);
    }
    store.UnmapView(view);
    state.SetLabel(std::to_string(cell.Channels) + "ch " + std::to_string(cell.BytesPerSample * 8) + "bit");
  }
  KPcmCell cell;
  KPcmMMap store;
};

void Report(benchmark::State& state) {
  state.counters["frames/s"] = benchmark::Counter(double(kFrames), benchmark::Counter::kIsIterationInvariantRate);
}

// ReadNext and WriteNext of every frame between two stores.
void CellCopy(benchmark::State& state) {
  BenchSwap swap;
  FormatStore source(state, swap);
  KPcmMMap target(swap.Path());
  target.Resize(source.store.Size());
  KPcmCell cell = source.cell;
  for (auto _ : state) {
    source.store.Seek(0);
    target.Seek(0);
    for (int32_t f = 0; f < kFrames; ++f) {
      source.store.ReadNext(cell);
      target.WriteNext(cell);
    }
    benchmark::DoNotOptimize(cell.Value1);
  }
  Report(state);
}
BENCHMARK(CellCopy)->Args({1, 1})->Args({1, 2})->Args({2, 1})->Args({2, 2})->Unit(benchmark::kMillisecond);

// The frame walk of an in-place edit (the amplifier's): each frame read,
// scaled by 1.5, stored with clipping and written back, the cells' arithmetic
// worked a run of samples at a time.
void FrameWalk(benchmark::State& state) {
  BenchSwap swap;
  FormatStore voice(state, swap);
  KUiHooks ui;
  KProgress progress(ui, "", kFrames);
  const KPcmCell& cell = voice.cell;
  auto scale = [](KPcmCell& c, int32_t) { c.Scale(1.5); };
  auto scaleRun = [&cell](const uint8_t* in, uint8_t* out, int32_t frames, int32_t) {
    KSampleRun::ScaleRaw(in, out, int64_t(frames) * cell.Channels, cell.BytesPerSample, 1.5);
  };
  for (auto _ : state) {
    int64_t done = 0;
    RewriteFrames(voice.store, cell, 1, kFrames, progress, done, scale, scaleRun);
  }
  Report(state);
}
BENCHMARK(FrameWalk)->Args({1, 1})->Args({1, 2})->Args({2, 1})->Args({2, 2})->Unit(benchmark::kMillisecond);

// The same walk frame by frame through a KPcmCell (as the fades walk).
void FrameWalkCells(benchmark::State& state) {
  BenchSwap swap;
  FormatStore voice(state, swap);
  KUiHooks ui;
  KProgress progress(ui, "", kFrames);
  for (auto _ : state) {
    int64_t done = 0;
    RewriteFrames(voice.store, voice.cell, 1, kFrames, progress, done, [](KPcmCell& c, int32_t) { c.Scale(1.5); });
  }
  Report(state);
}
BENCHMARK(FrameWalkCells)->Args({1, 1})->Args({1, 2})->Args({2, 1})->Args({2, 2})->Unit(benchmark::kMillisecond);

// An undo snapshot: a new store made a copy of a voice of 10 million stereo
// 16-bit frames; making and deleting the store are not timed.
void CopyFrom(benchmark::State& state) {
  BenchSwap swap;
  KPcmMMap source(swap.Path());
  const int32_t bytes = kFrames * 4;
  source.Resize(bytes);
  uint8_t* view = source.MapView(0, bytes);
  for (int32_t i = 0; i < bytes; ++i) view[i] = uint8_t(i * 131);
  source.UnmapView(view);
  for (auto _ : state) {
    state.PauseTiming();
    auto target = std::make_unique<KPcmMMap>(swap.Path());
    state.ResumeTiming();
    if (!target->CopyFrom(source)) state.SkipWithError("copy failed");
    state.PauseTiming();
    target.reset();
    state.ResumeTiming();
  }
  state.SetBytesProcessed(int64_t(state.iterations()) * bytes);
}
BENCHMARK(CopyFrom)->Unit(benchmark::kMillisecond)->UseRealTime();

}  // namespace
