// Load and save throughput of the four voice file formats: a stereo 16-bit
// voice of 100 MB (25 million frames), VOC a mono 8-bit voice of the most
// bytes one VOC block can describe (16.7 million frames).
#include <benchmark/benchmark.h>

#include <unistd.h>

#include <cstdio>
#include <vector>

#include "BenchSwap.h"
#include "formats/VocFormat.h"
#include "platform/PlainFile.h"
#include "voice/BankSet.h"
#include "voice/HeadlessVoice.h"

namespace {

constexpr int32_t kVoiceBytes = 100 * 1000 * 1000;
enum Format { kMxv, kWav, kVoc, kRaw };
// The formats in benchmark order; raw files are stereo 16-bit like the voice.
constexpr KFileType kTypes[] = {KFileType::Mxv, KFileType::Wav, KFileType::Voc, KFileType::RawStereo16};

// A bank set with a voice in bank 1 of the size the format can hold, filled
// with varied bytes.
class FilesBench {
 public:
  explicit FilesBench(Format format)
      : format_(*FindFileFormat(kTypes[format])),
        set_(swap_.Path(), KHeadlessVoice::Factory(nullptr)),
        path_(swap_.Path() + "/voice.bin") {
    KPcmFiles& v = Voice();
    const int32_t bytes = format == kVoc ? KVocFormat::kMaxDataBytes & ~3 : kVoiceBytes;
    v.Channels = format == kVoc ? 1 : 2;
    v.BitsPerSample = format == kVoc ? 8 : 16;
    v.SampleRate = 44100;
    v.Storage->Resize(bytes);
    KPlainFile samples(v.Storage->GetFileName(), KPlainFile::Mode::ReadWrite);
    std::vector<uint8_t> block(1 << 20);
    for (size_t i = 0; i < block.size(); ++i) block[i] = uint8_t(i * 131 + (i >> 9));
    for (int32_t at = 0; at < bytes; at += int32_t(block.size()))
      samples.WriteAt(at, block.data(), std::min<size_t>(block.size(), size_t(bytes - at)));
    v.END = v.MKR = bytes / v.FrameBytes();
    v.MKL = v.FLG = v.ZiStart = 1;
  }
  KPcmFiles& Voice() { return set_.Bank(1); }
  int64_t Bytes() { return int64_t(Voice().END) * Voice().FrameBytes(); }
  bool Save() { return format_.Save(Voice(), path_); }
  void Remove() { std::remove(path_.c_str()); }
  bool Load() { return format_.Load(Voice(), path_); }
  const char* Name() const { return format_.Kind->Name; }

 private:
  const KFileFormat& format_;
  BenchSwap swap_;
  KBankSet set_;
  std::string path_;
};

void Report(benchmark::State& state, FilesBench& files) {
  state.counters["MB"] = benchmark::Counter(double(files.Bytes()) / 1e6, benchmark::Counter::kIsIterationInvariantRate);
  state.SetLabel(std::string(files.Name()) + " " + std::to_string(files.Bytes() / 1000000) + " MB, " +
                 std::to_string(files.Voice().END / 1000000) + "M frames");
}

// Each save makes a new file: the file of the save before is deleted
// untimed (replacing it would time the file system freeing its blocks), and
// the deletion is committed to the disk untimed too, or the save's flush
// would wait for the journal to free (and discard) the blocks of the file
// before it.
void SaveVoiceFile(benchmark::State& state) {
  FilesBench files(Format(state.range(0)));
  for (auto _ : state) {
    state.PauseTiming();
    files.Remove();
    sync();
    state.ResumeTiming();
    if (!files.Save()) state.SkipWithError("save failed");
  }
  Report(state, files);
}
BENCHMARK(SaveVoiceFile)->DenseRange(kMxv, kRaw)->Unit(benchmark::kMillisecond)->UseRealTime();

void LoadVoiceFile(benchmark::State& state) {
  FilesBench files(Format(state.range(0)));
  if (!files.Save()) state.SkipWithError("save failed");
  for (auto _ : state)
    if (!files.Load()) state.SkipWithError("load failed");
  Report(state, files);
}
BENCHMARK(LoadVoiceFile)->DenseRange(kMxv, kRaw)->Unit(benchmark::kMillisecond)->UseRealTime();

}  // namespace
