#include "sound/SoundConvert.h"

#include <algorithm>
#include <cerrno>
#include <climits>
#include <cmath>
#include <cstring>
#include <optional>
#include <vector>

#include "platform/BlockCopy.h"
#include "sound/Quantizer.h"
#include "sound/Resampler.h"

namespace {

// Mixes `frames` frames of `from` channels into `to` channels: one channel
// is the mean of all; two from one repeat it; two from more take the first
// two as the sides and every further channel into both at half weight,
// scaled so that a full-scale signal in every channel stays full scale.
void Mix(const float* in, int32_t from, float* out, int32_t to, int64_t frames) {
  const float others = 0.5f, sides = 1.0f / (1.0f + others * float(from - 2));
  for (int64_t f = 0; f < frames; ++f, in += from, out += to) {
    float all = 0;
    for (int32_t c = 0; c < from; ++c) all += in[c];
    if (to == 1) {
      out[0] = all / float(from);
    } else if (from == 1) {
      out[0] = out[1] = in[0];
    } else {
      const float shared = others * (all - in[0] - in[1]);
      out[0] = (in[0] + shared) * sides;
      out[1] = (in[1] + shared) * sides;
    }
  }
}

// The frames resampled, rounded and written, up to the voice's length.
class KSink {
 public:
  KSink(const KConversion& plan, KPlainFile& out, size_t capacity)
      : plan_(plan),
        out_(out),
        quantizer_(plan.Target.BitsPerSample, plan.Dither),
        bytes_(capacity * size_t(plan.Target.FrameBytes())) {}

  bool Put(const float* frames, int64_t count) {
    count = std::min(count, plan_.Frames - written_);
    if (count <= 0) return true;
    const size_t n = size_t(count) * size_t(plan_.Target.FrameBytes());
    quantizer_.Run(frames, size_t(count * plan_.Target.Channels), bytes_.data());
    if (!out_.WriteAt(written_ * plan_.Target.FrameBytes(), bytes_.data(), n)) return false;
    written_ += count;
    return true;
  }
  // Silence up to the voice's length, `block` frames at a time.
  bool Finish(int64_t block) {
    const std::vector<float> zeros(size_t(block * plan_.Target.Channels), 0.0f);
    while (written_ < plan_.Frames)
      if (!Put(zeros.data(), std::min(block, plan_.Frames - written_))) return false;
    return true;
  }

 private:
  const KConversion& plan_;
  KPlainFile& out_;
  KQuantizer quantizer_;
  std::vector<uint8_t> bytes_;
  int64_t written_ = 0;
};

// Drops the mixed frames outside the kept range of a plan and applies its
// fades and gain to the rest, block after block.
class KShaper {
 public:
  KShaper(const KConversion& plan, int32_t channels) : plan_(plan), channels_(channels) {}

  // Shapes the next `count` frames at `frames`, moves `frames` to the first
  // one kept and returns how many are kept.
  int64_t Run(float*& frames, int64_t count) {
    const int64_t start = std::clamp<int64_t>(plan_.First - seen_, 0, count);
    const int64_t end = std::clamp<int64_t>(plan_.First + plan_.Kept - seen_, 0, count);
    const int64_t index = seen_ + start - plan_.First;
    seen_ += count;
    frames += start * channels_;
    for (int64_t f = 0; f < end - start; ++f) {
      const float gain = float(plan_.Gain * Fade(index + f));
      if (gain != 1.0f)
        for (int32_t c = 0; c < channels_; ++c) frames[f * channels_ + c] *= gain;
    }
    return end - start;
  }
  // Every kept frame has passed.
  bool Done() const { return seen_ >= plan_.First + plan_.Kept; }

 private:
  // The linear fades at kept frame `k`: 0 at the first and the last frame.
  double Fade(int64_t k) const {
    double gain = 1;
    if (k < plan_.FadeIn) gain = double(k) / double(plan_.FadeIn);
    const int64_t left = plan_.Kept - 1 - k;
    if (left < plan_.FadeOut) gain *= double(left) / double(plan_.FadeOut);
    return gain;
  }

  const KConversion& plan_;
  int32_t channels_;
  int64_t seen_ = 0;
};

// Reads the rest of `source` block after block, mixed to `to` channels, and
// hands each to `use(frames, count)` until it returns false.
template <class Use>
KStatus ReadMixed(KSoundFile& source, int32_t to, Use&& use) {
  const int32_t from = source.Shape().Channels;
  const int64_t block = BlockFrames(from);
  std::vector<float> frame(size_t(block * from)), mixed(from != to ? size_t(block * to) : 0);
  for (int64_t got; (got = source.Read(frame.data(), block)) != 0;) {
    if (got < 0) return KStatus::Failure("", KBlockCopy::kReadFailed);
    float* mix = frame.data();
    if (from != to) Mix(frame.data(), from, mixed.data(), to, got);
    if (from != to) mix = mixed.data();
    if (!use(mix, got)) break;
  }
  return KStatus::Success();
}

KStatus Rewound(KSoundFile& source) {
  return source.Rewind() ? KStatus::Success() : KStatus::Failure("cannot be read a second time (no seeking)");
}

// The frames the voice gets for `kept` source frames of `rate`.
void SetKept(KConversion& plan, int32_t rate, int64_t kept) {
  plan.Kept = kept;
  plan.Frames = kept;
  if (plan.Resample) {
    // In floating point first: a length that the target's bytes cannot hold is refused later.
    const double frames = double(kept) * plan.Target.SampleRate / rate;
    plan.Frames = frames < 0x1p62 ? std::llround(frames) : INT64_MAX;
  }
}

KStatus WriteFailed() { return KStatus::Failure(std::strerror(errno), KBlockCopy::kWriteFailed); }

}  // namespace

int64_t KConversion::Bytes() const {
  int64_t bytes = 0;
  return __builtin_mul_overflow(Frames, int64_t(Target.FrameBytes()), &bytes) ? INT64_MAX : bytes;
}

KConversion PlanConversion(const KSoundShape& source, const KConvertRequest& request) {
  KConversion plan;
  const int32_t rate = source.Voice ? source.Rate : source.Rate / 25 * 25;
  const bool voiceRate = source.Voice || (source.Rate >= 2100 && source.Rate <= 44100);
  const bool voiceDepth = !source.Floating && (source.Bits == 8 || source.Bits == 16);
  plan.Target.SampleRate = request.Rate ? request.Rate : voiceRate ? rate : 44100;
  plan.Target.Channels = request.Channels ? request.Channels : std::min(source.Channels, 2);
  plan.Target.BitsPerSample = request.Bits ? request.Bits : voiceDepth ? source.Bits : 16;
  plan.Resample = plan.Target.SampleRate != rate;
  if (plan.Resample && source.Rate < kLowestSourceRate)
    plan.Refused = "a rate of " + std::to_string(source.Rate) + " Hz cannot be converted (the lowest is " +
                   std::to_string(kLowestSourceRate) + " Hz)";
  else
    SetKept(plan, source.Rate, source.Frames);
  plan.FadeIn = std::llround(request.FadeInMs * source.Rate / 1000);
  plan.FadeOut = std::llround(request.FadeOutMs * source.Rate / 1000);
  plan.TrimDb = request.TrimDb;
  plan.NormalizeDb = request.NormalizeDb;
  const bool prepares = plan.TrimDb || plan.NormalizeDb || plan.FadeIn > 0 || plan.FadeOut > 0;
  const bool reduces = !voiceDepth || source.Bits > plan.Target.BitsPerSample;
  const bool mixes = source.Channels > plan.Target.Channels;
  plan.Dither = request.Dither && (plan.Resample || reduces || mixes || prepares);
  plan.Changes = plan.Resample || reduces || mixes || prepares || source.Bits != plan.Target.BitsPerSample ||
                 source.Channels != plan.Target.Channels;
  return plan;
}

KStatus MeasureConversion(KSoundFile& source, KConversion& plan) {
  if (!plan.Refused.empty()) return KStatus::Failure(plan.Refused);
  const int32_t from = source.Shape().Channels, to = plan.Target.Channels;
  if (plan.TrimDb) {
    const float level = float(std::pow(10.0, *plan.TrimDb / 20));
    int64_t seen = 0, first = -1, last = -1;
    const KStatus read = ReadMixed(source, from, [&](const float* x, int64_t got) {
      for (int64_t i = 0; i < got * from; ++i)
        if (std::fabs(x[i]) > level) {
          if (first < 0) first = seen + i / from;
          last = seen + i / from;
        }
      seen += got;
      return true;
    });
    if (!read) return read;
    plan.First = std::max<int64_t>(first, 0);
    SetKept(plan, source.Shape().Rate, first < 0 ? 0 : last - first + 1);
    if (KStatus back = Rewound(source); !back) return back;
  }
  if (plan.NormalizeDb) {
    KShaper shaper(plan, to);
    double peak = 0;
    const KStatus read = ReadMixed(source, to, [&](float* x, int64_t got) {
      const int64_t kept = shaper.Run(x, got);
      for (int64_t i = 0; i < kept * to; ++i) peak = std::max(peak, double(std::fabs(x[i])));
      return !shaper.Done();
    });
    if (!read) return read;
    if (peak > 0) plan.Gain = std::pow(10.0, *plan.NormalizeDb / 20) / peak;
    return Rewound(source);
  }
  return KStatus::Success();
}

std::string DescribeConversion(const KSoundShape& source, const KConversion& plan) {
  auto channels = [](int32_t n) {
    return n == 1 ? std::string("mono") : n == 2 ? std::string("stereo") : std::to_string(n) + " channels";
  };
  return std::to_string(source.Rate) + " Hz " + source.Depth + " " + channels(source.Channels) + " -> " +
         std::to_string(plan.Target.SampleRate) + " Hz " + std::to_string(plan.Target.BitsPerSample) + "-bit " +
         channels(plan.Target.Channels) + (plan.TrimDb ? ", trimmed" : "") +
         (plan.FadeIn > 0 || plan.FadeOut > 0 ? ", faded" : "") + (plan.NormalizeDb ? ", normalized" : "") +
         (plan.Dither ? ", dithered" : "");
}

KStatus ConvertSound(KSoundFile& source, const KConversion& plan, KPlainFile& out, KCopyProgress& progress) {
  if (!plan.Refused.empty()) return KStatus::Failure(plan.Refused);
  const KSoundShape& shape = source.Shape();
  const int32_t from = shape.Channels, to = plan.Target.Channels;
  // Every buffer holds a fixed number of samples.
  const int64_t capacity = BlockFrames(to);
  KSink sink(plan, out, size_t(std::max(BlockFrames(from), capacity)));
  std::optional<KResampler> resampler;
  if (plan.Resample) {
    resampler.emplace(shape.Rate, plan.Target.SampleRate, to, capacity);
    if (!resampler->Usable()) return KStatus::Failure("the resampler: " + resampler->Error());
  }
  const auto put = [&sink](const float* frames, int64_t count) { return sink.Put(frames, count); };

  KShaper shaper(plan, to);
  KStatus written;
  int64_t done = 0;
  bool stopped = false;
  KStatus status = ReadMixed(source, to, [&](float* mix, int64_t got) {
    done += got;
    const int64_t kept = shaper.Run(mix, got);
    if (!(resampler ? resampler->Run(mix, size_t(kept), put) : sink.Put(mix, kept))) written = WriteFailed();
    progress.CopyPercent(int(double(done) * 100 / double(std::max<int64_t>(shape.Frames, 1))));
    stopped = progress.StopRequested();
    return written && !shaper.Done() && !stopped;
  });
  if (status && !written) status = written;
  if (status && stopped) status = KStatus::Failure("stopped", KBlockCopy::kStopped);
  if (status && resampler && !resampler->Run(nullptr, 0, put)) status = WriteFailed();
  if (status && !sink.Finish(capacity)) status = WriteFailed();
  return status;
}
