#include "sound/VoiceResample.h"

#include <soxr.h>

#include <algorithm>
#include <cmath>
#include <vector>

#include "sound/Quantizer.h"
#include "sound/SoundFile.h"

namespace {

// A position at the new rate, `ratio` times the old: rounded, within
// 1..`end` (0 stays 0, an empty voice has none).
int32_t Scaled(int32_t position, double ratio, int32_t end) {
  if (position <= 0) return 0;
  return int32_t(std::clamp<int64_t>(std::llround(position * ratio), std::min(1, end), end));
}

// Feeds the voice's frames from `source` through `resampler` into `out` as
// voice bytes, `frames` of them (silence when the resampler gives fewer).
// False when the user stopped it or the source could not be read.
class KVoiceResampler {
 public:
  KVoiceResampler(KPcmBank& voice, soxr_t resampler, int64_t frames, double ratio)
      : voice_(voice),
        resampler_(resampler),
        channels_(voice.Channels),
        frameBytes_(voice.FrameBytes()),
        frames_(frames),
        quantizer_(voice.BitsPerSample, false),
        in_(size_t(BlockFrames(channels_) * channels_)),
        out_(size_t(BlockFrames(channels_) * channels_)),
        // The resampler is fed at most the frames that make half its output
        // block, so that what it keeps back between calls stays small.
        feed_(size_t(
            std::clamp<double>(double(BlockFrames(channels_)) / (2 * ratio), 1, double(BlockFrames(channels_))))) {}

  bool Run(KSoundFile& source, KFrameWriter& writer) {
    const int64_t block = BlockFrames(channels_);
    for (int64_t got; (got = source.Read(in_.data(), block)) != 0;) {
      if (got < 0 || voice_.Ui().StopRequested()) return false;
      Feed(in_.data(), size_t(got), writer);
    }
    Feed(nullptr, 0, writer);
    std::fill(out_.begin(), out_.end(), 0.0f);
    while (written_ < frames_) Put(out_.data(), std::min(block, frames_ - written_), writer);
    return true;
  }

 private:
  // `in` null drains the resampler's last frames.
  void Feed(const float* in, size_t count, KFrameWriter& writer) {
    const size_t room = out_.size() / size_t(channels_);
    for (;;) {
      size_t used = 0, made = 0;
      soxr_process(resampler_, in, std::min(count, feed_), in ? &used : nullptr, out_.data(), room, &made);
      Put(out_.data(), int64_t(made), writer);
      if (!in) {
        if (made == 0) return;
        continue;
      }
      in += used * size_t(channels_);
      count -= used;
      if (count == 0) return;
    }
  }
  void Put(const float* x, int64_t count, KFrameWriter& writer) {
    for (count = std::min(count, frames_ - written_); count > 0;) {
      int64_t n = count;
      uint8_t* to = writer.Room(frameBytes_, n);
      quantizer_.Run(x, size_t(n * channels_), to);
      writer.Commit(frameBytes_, n);
      x += n * channels_;
      count -= n;
      written_ += n;
    }
  }

  KPcmBank& voice_;
  soxr_t resampler_;
  int32_t channels_, frameBytes_;
  int64_t frames_, written_ = 0;
  KQuantizer quantizer_;
  std::vector<float> in_, out_;
  size_t feed_;
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
  const soxr_io_spec_t io = soxr_io_spec(SOXR_FLOAT32_I, SOXR_FLOAT32_I);
  const soxr_quality_spec_t quality = soxr_quality_spec(SOXR_VHQ, 0);
  soxr_t resampler = soxr_create(voice.SampleRate, rate, unsigned(voice.Channels), nullptr, &io, &quality, nullptr);
  if (!source.IsOpen() || !resampler) {
    if (resampler) soxr_delete(resampler);
    return false;
  }
  KVoiceResampler run(voice, resampler, end, ratio);
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
  soxr_delete(resampler);
  return done;
}
