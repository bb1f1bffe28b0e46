#include "sound/VoiceResample.h"

#include <algorithm>
#include <cmath>
#include <vector>

#include "sound/Quantizer.h"
#include "sound/Resampler.h"
#include "sound/SoundFile.h"

namespace {

// A position at the new rate, `ratio` times the old: rounded, within
// 1..`end` (0 stays 0, an empty voice has none).
int32_t Scaled(int32_t position, double ratio, int32_t end) {
  if (position <= 0) return 0;
  return int32_t(std::clamp<int64_t>(std::llround(position * ratio), std::min(1, end), end));
}

// Feeds the voice's frames from `source` through the resampler into `out`
// as voice bytes, `frames` of them (silence when the resampler gives fewer).
// False when the user stopped it or the source could not be read.
class KVoiceResampler {
 public:
  KVoiceResampler(KPcmBank& voice, int32_t rate, int64_t frames)
      : voice_(voice),
        channels_(voice.Channels),
        frameBytes_(voice.FrameBytes()),
        frames_(frames),
        quantizer_(voice.BitsPerSample, false),
        in_(size_t(BlockFrames(channels_) * channels_)),
        resampler_(voice.SampleRate, rate, channels_, BlockFrames(channels_)) {}

  bool Usable() const { return resampler_.Usable(); }

  bool Run(KSoundFile& source, KFrameWriter& writer) {
    const int64_t block = BlockFrames(channels_);
    const auto put = [&](const float* x, int64_t count) { return Put(x, count, writer); };
    for (int64_t got; (got = source.Read(in_.data(), block)) != 0;) {
      if (got < 0 || voice_.Ui().StopRequested()) return false;
      resampler_.Run(in_.data(), size_t(got), put);
    }
    resampler_.Run(nullptr, 0, put);
    std::fill(in_.begin(), in_.end(), 0.0f);
    while (written_ < frames_) Put(in_.data(), std::min(block, frames_ - written_), writer);
    return true;
  }

 private:
  bool Put(const float* x, int64_t count, KFrameWriter& writer) {
    for (count = std::min(count, frames_ - written_); count > 0;) {
      int64_t n = count;
      uint8_t* to = writer.Room(frameBytes_, n);
      quantizer_.Run(x, size_t(n * channels_), to);
      writer.Commit(frameBytes_, n);
      x += n * channels_;
      count -= n;
      written_ += n;
    }
    return true;
  }

  KPcmBank& voice_;
  int32_t channels_, frameBytes_;
  int64_t frames_, written_ = 0;
  KQuantizer quantizer_;
  std::vector<float> in_;
  KResampler resampler_;
};

}  // namespace

bool ResampleVoice(KPcmBank& voice, int32_t rate) {
  if (rate == voice.SampleRate) return false;
  if (voice.END == 0) {
    voice.SampleRate = rate;
    voice.Refresh();
    return true;
  }
  const double ratio = double(rate) / voice.SampleRate;
  const int32_t end = int32_t(std::max<int64_t>(1, std::llround(voice.END * ratio)));
  KSoundFile source(voice.Storage->OpenFilePath(), voice.Format(), voice.END);
  KVoiceResampler run(voice, rate, end);
  if (!source.IsOpen() || !run.Usable()) return false;
  const bool done = voice.ReplaceSamples(
      end, "the sample-rate translation", "Undo : Translate the Sample-Rate", "Translate the Sample-Rate",
      [&](KFrameWriter& out) { return run.Run(source, out); },
      [&] {
        voice.MKL = Scaled(voice.MKL, ratio, end);
        voice.MKR = Scaled(voice.MKR, ratio, end);
        voice.FLG = Scaled(voice.FLG, ratio, end);
        voice.ZiStart = Scaled(voice.ZiStart, ratio, end);
        voice.END = end;
        voice.SampleRate = rate;
        voice.OverviewStale = true;
      });
  return done;
}
