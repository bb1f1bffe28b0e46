// The editing operations on a voice of 10 million frames (mono 16-bit,
// 16000 Hz). Edits that take a snapshot are undone outside the timing, so
// every iteration starts from the same voice; the time includes the
// snapshot, as the user waits for it too.
#include <benchmark/benchmark.h>

#include <algorithm>
#include <functional>

#include "BenchSwap.h"
#include "voice/BankSet.h"
#include "voice/HeadlessVoice.h"

namespace {

constexpr int32_t kFrames = 10'000'000;

// A bank set whose banks 1..5 hold 10 million frames of a sawtooth.
class BenchBanks {
 public:
  BenchBanks() : set_(swap_.Path(), KHeadlessVoice::Factory(nullptr)) {
    for (int bank = 1; bank <= 5; ++bank) Fill(set_.Bank(bank), bank);
    set_.SelectBank(1);
  }
  KPcmFiles& Current() { return *set_.CurrentVoice; }
  KBankSet& Set() { return set_; }

 private:
  static void Fill(KPcmFiles& v, int seed) {
    v.Channels = 1;
    v.BitsPerSample = 16;
    v.Storage->Resize(kFrames * 2);
    auto* samples = reinterpret_cast<int16_t*>(v.Storage->MapView(0, kFrames * 2));
    for (int32_t i = 0; i < kFrames; ++i) samples[i] = int16_t((i * seed * 7) % 16000 - 8000);
    v.Storage->UnmapView(samples);
    v.END = v.MKR = kFrames;
    v.MKL = v.FLG = v.ZiStart = 1;
  }
  BenchSwap swap_;
  KBankSet set_;
};

void Report(benchmark::State& state) {
  state.counters["frames/s"] = benchmark::Counter(double(kFrames), benchmark::Counter::kIsIterationInvariantRate);
}

// Runs `edit` once per iteration and undoes it untimed.
void RunUndone(benchmark::State& state, const std::function<bool(KPcmFiles&)>& edit) {
  BenchBanks banks;
  KPcmFiles& v = banks.Current();
  for (auto _ : state) {
    if (!edit(v)) state.SkipWithError("the edit failed");
    state.PauseTiming();
    v.LoadUndo();
    state.ResumeTiming();
  }
  Report(state);
}

void PasteByInsert(benchmark::State& state) {
  RunUndone(state, [](KPcmFiles& v) {
    v.FLG = kFrames / 2;
    KPcmFiles& buffer = v.Peer(bank::kCopyBuffer);
    if (buffer.END == 0) {
      v.MKL = 1;
      v.MKR = 4096;
      v.CopyMarked();
    }
    return v.PasteByInsert();
  });
}
BENCHMARK(PasteByInsert)->Unit(benchmark::kMillisecond);

void FadeIn(benchmark::State& state) {
  RunUndone(state, [](KPcmFiles& v) {
    v.MarkAll();
    return v.FadeIn();
  });
}
BENCHMARK(FadeIn)->Unit(benchmark::kMillisecond);

void Amplifier(benchmark::State& state) {
  RunUndone(state, [](KPcmFiles& v) {
    v.MarkAll();
    return v.MathAmplifier(150);
  });
}
BENCHMARK(Amplifier)->Unit(benchmark::kMillisecond);

// 60 % gives four echoes: five readers per output frame.
void Echo(benchmark::State& state) {
  RunUndone(state, [](KPcmFiles& v) { return v.Echo(280, 60); });
}
BENCHMARK(Echo)->Unit(benchmark::kMillisecond);

void MixerOfFourBanks(benchmark::State& state) {
  BenchBanks banks;
  for (auto _ : state) banks.Current().MixBanks({2, 3, 4, 5});
  Report(state);
}
BENCHMARK(MixerOfFourBanks)->Unit(benchmark::kMillisecond);

// Mono and stereo in turn, so every iteration converts 10 million frames.
void TranslateFormat(benchmark::State& state) {
  BenchBanks banks;
  KPcmFiles& v = banks.Current();
  for (auto _ : state) v.TranslateFormat(3 - v.Channels, 16);
  Report(state);
}
BENCHMARK(TranslateFormat)->Unit(benchmark::kMillisecond);

}  // namespace
