// The sweep a start makes for the run folders of crashed copies of its kind:
// a front end's, in a swap folder that holds the folders of 10,000 crashed
// windows (each with its lock file and a journal) and of four crashed front
// ends.
#include <benchmark/benchmark.h>

#include <fstream>

#include "BenchSwap.h"
#include "platform/RunFolder.h"

namespace {

constexpr int kWindows = 10'000, kFrontEnds = 4;

void SweepForFrontEnds(benchmark::State& state) {
  BenchSwap swap;
  std::string error;
  for (int k = 0; k < kWindows + kFrontEnds; ++k) {
    KRunFolder run;
    if (!run.Create(swap.Path(), k < kWindows ? KRunFolder::kWindowPrefix : KRunFolder::kFrontEndPrefix, error)) {
      state.SkipWithError(error.c_str());
      return;
    }
    std::ofstream(run.Path() + "/journal") << "voices\n";
    run.Leave();
  }
  for (auto _ : state) {
    auto orphans = KRunFolder::Orphans(swap.Path(), KRunFolder::kFrontEndPrefix);
    if (orphans.size() != kFrontEnds) state.SkipWithError("the front ends' folders were not all found");
    // Left in place for the next sweep.
    for (auto& folder : orphans) folder->Leave();
  }
}
BENCHMARK(SweepForFrontEnds)->Unit(benchmark::kMillisecond);

}  // namespace
