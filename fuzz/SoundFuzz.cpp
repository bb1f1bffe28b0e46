// Feeds arbitrary bytes to the sound layer's reading of sound files through
// libsndfile and to their conversion into voice samples. A file that opens
// must announce no more frames than its bytes can hold and measure to levels
// that are numbers; a file that stops early must say it is cut short. A
// conversion (options picked by the last byte) must write exactly the
// voice's bytes, or fail having written no more than them. Conversions
// larger than kMostBytes are planned but not run, so no input writes a big
// file.
#include <unistd.h>

#include <cmath>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <string>
#include <vector>

#include "platform/BlockCopy.h"
#include "sound/SoundConvert.h"
#include "sound/SoundFile.h"

namespace {

constexpr int64_t kMostBytes = 1 << 20;

void Require(bool condition) {
  if (!condition) std::abort();
}

struct KNoProgress : KCopyProgress {
  void CopyPercent(int) override {}
};

bool CutShort(const KSoundFile& sound, const std::string& name) {
  return sound.Problem(name).rfind(name + " is cut short after ", 0) == 0;
}

class KSoundScratch {
 public:
  KSoundScratch() {
    std::string pattern = (std::filesystem::temp_directory_path() / "melotrix-fuzz-XXXXXX").string();
    Require(mkdtemp(pattern.data()) != nullptr);
    folder_ = pattern;
  }
  ~KSoundScratch() {
    std::error_code ignored;
    std::filesystem::remove_all(folder_, ignored);
  }

  void Run(const uint8_t* data, size_t size) {
    const std::string input = folder_ + "/input";
    FILE* f = std::fopen(input.c_str(), "wb");
    Require(f != nullptr);
    Require(size == 0 || std::fwrite(data, 1, size, f) == size);
    Require(std::fclose(f) == 0);
    if (Measure(input, int64_t(size))) Convert(input, size ? data[size - 1] : 0);
  }

 private:
  // Opens and measures the input; true when it opened.
  static bool Measure(const std::string& input, int64_t size) {
    KSoundFile sound(input);
    if (!sound.IsOpen()) {
      Require(sound.Problem(input).size() > input.size());
      return false;
    }
    const KSoundShape& shape = sound.Shape();
    Require(shape.Channels >= 1 && shape.Frames >= 0 && shape.Frames <= size * KSoundFile::kMostFramesPerByte);
    std::vector<KChannelStats> stats;
    if (!MeasureSound(sound, stats)) {
      Require(CutShort(sound, input));
      return true;
    }
    Require(stats.size() == size_t(shape.Channels));
    for (const KChannelStats& s : stats)
      Require(std::isfinite(s.Peak) && std::isfinite(s.Rms) && std::isfinite(s.DcOffset) && s.Rms >= 0 &&
              s.FullScale >= 0 && s.FullScale <= shape.Frames);
    return true;
  }

  void Convert(const std::string& input, uint8_t pick) {
    KSoundFile sound(input);
    Require(sound.IsOpen());
    constexpr int32_t kRates[] = {0, 8000, 22050, 44100}, kBits[] = {0, 8, 16};
    KConvertRequest request;
    request.Rate = kRates[pick & 3];
    request.Channels = (pick >> 2) % 3;
    request.Bits = kBits[(pick >> 4) % 3];
    request.Dither = (pick & 0x40) != 0;
    // The top bit adds every preparation step, measured in passes of their own.
    if (pick & 0x80) {
      request.TrimDb = -40;
      request.NormalizeDb = -1;
      request.FadeInMs = request.FadeOutMs = 10;
    }
    KConversion plan = PlanConversion(sound.Shape(), request);
    const bool refused = !plan.Refused.empty();
    Require(refused == (plan.Resample && sound.Shape().Rate < kLowestSourceRate));
    if (plan.Bytes() > kMostBytes) return;
    if (!refused && (pick & 0x80)) {
      const KStatus measured = MeasureConversion(sound, plan);
      Require(measured || measured.Code != KBlockCopy::kReadFailed || CutShort(sound, input));
      if (!measured) return;
      Require(plan.Kept <= sound.Shape().Frames && std::isfinite(plan.Gain));
    }
    const std::string output = folder_ + "/output";
    std::filesystem::remove(output);
    KPlainFile out(KPlainFile::Create{}, output);
    Require(out.IsOpen());
    KNoProgress progress;
    const KStatus converted = ConvertSound(sound, plan, out, progress);
    const int64_t written = int64_t(std::filesystem::file_size(output));
    Require(converted ? written == plan.Bytes() : written <= plan.Bytes());
    Require(converted || refused || (converted.Code == KBlockCopy::kReadFailed && CutShort(sound, input)));
  }

  std::string folder_;
};

}  // namespace

// libsndfile leaves libvorbis's stream description behind when it gives up
// on some broken Ogg files (a plain C reader shows the same); the leak
// checker of the sanitizer builds is told so.
extern "C" const char* __lsan_default_suppressions() { return "leak:vorbis_info_init\n"; }

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  static KSoundScratch scratch;
  scratch.Run(data, size);
  return 0;
}
