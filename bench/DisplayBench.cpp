// The display: the overview reduction on voices of 12 million frames in each
// sample format, and a full redraw of both boxes into their images.
#include <benchmark/benchmark.h>

#include <QGuiApplication>
#include <memory>

#include "BenchSwap.h"
#include "display/Envelope.h"
#include "display/MxVoc.h"
#include "display/paint/ImageSurface.h"
#include "store/PcmMMap.h"

namespace {

constexpr int32_t kFrames = 12'000'000;
constexpr int kFormats[4][2] = {{1, 8}, {1, 16}, {2, 8}, {2, 16}};

// A store of kFrames frames of varied bytes in the given format.
void FillStore(KPcmMMap& store, int32_t frameBytes) {
  const int32_t bytes = kFrames * frameBytes;
  store.Resize(bytes);
  uint8_t* view = store.MapView(0, bytes);
  for (int32_t i = 0; i < bytes; ++i) view[i] = uint8_t(i * 131 + (i >> 9));
  store.UnmapView(view);
}

void Reduction(benchmark::State& state) {
  const int channels = kFormats[state.range(0)][0], bits = kFormats[state.range(0)][1];
  BenchSwap swap;
  KPcmMMap store(swap.Path());
  FillStore(store, channels * bits / 8);
  KZoEnvelope envelope;
  for (auto _ : state) {
    if (!ReduceEnvelope(store, channels, bits, kFrames, envelope)) state.SkipWithError("reduction failed");
    benchmark::DoNotOptimize(envelope);
  }
  state.counters["frames/s"] = benchmark::Counter(double(kFrames), benchmark::Counter::kIsIterationInvariantRate);
  state.SetLabel("Ch " + std::to_string(channels) + " :: Bit " + std::to_string(bits));
}
BENCHMARK(Reduction)->DenseRange(0, 3)->Unit(benchmark::kMillisecond)->UseRealTime();

// Both boxes of a stereo 16-bit voice, redrawn from the stored state.
void RedrawBothBoxes(benchmark::State& state) {
  static int argc = 1;
  static char name[] = "melotrix_bench";
  static char* argv[] = {name, nullptr};
  qputenv("QT_QPA_PLATFORM", "offscreen");
  static QGuiApplication app(argc, argv);
  BenchSwap swap;
  KDisplay display(0xC8D0D4);
  KImageSurface zoomIn(KDisplay::kBoxWidth, KDisplay::kZoomInHeight, 0xC8D0D4);
  KImageSurface overview(KDisplay::kBoxWidth, KDisplay::kOverviewHeight, 0xC8D0D4);
  display.ZoomIn = &zoomIn;
  display.Overview = &overview;
  KBankSet set(swap.Path(), KMxVoc::Factory(display));
  KPcmFiles& v = set.Bank(1);
  v.Channels = 2;
  v.BitsPerSample = 16;
  FillStore(*v.Storage, 4);
  v.END = v.MKR = kFrames;
  v.MKL = v.FLG = v.ZiStart = 1;
  set.SelectBank(1);
  auto& gui = static_cast<KPcmGui&>(v);
  for (auto _ : state) {
    gui.PaintZoomIn();
    gui.PaintOverview();
  }
}
BENCHMARK(RedrawBothBoxes)->Unit(benchmark::kMicrosecond)->UseRealTime();

}  // namespace
