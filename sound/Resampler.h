// libsoxr at its very-high-quality setting over interleaved float frames,
// for both roads that change a rate: the conversion of a sound file and the
// sample-rate translation of a voice.
#pragma once

#include <soxr.h>

#include <algorithm>
#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>

class KResampler {
 public:
  // `block`: the most frames one output holds. The resampler is fed at most
  // the input frames that make half of it, so that what it keeps back
  // between calls stays small whatever the rate ratio.
  KResampler(double from, double to, int32_t channels, int64_t block)
      : channels_(channels),
        out_(size_t(block * channels)),
        feed_(size_t(std::clamp<double>(double(block) * from / (2 * to), 1, double(block)))) {
    const soxr_io_spec_t io = soxr_io_spec(SOXR_FLOAT32_I, SOXR_FLOAT32_I);
    const soxr_quality_spec_t quality = soxr_quality_spec(SOXR_VHQ, 0);
    soxr_error_t error = nullptr;
    soxr_ = soxr_create(from, to, unsigned(channels), &error, &io, &quality, nullptr);
    if (!soxr_) error_ = error ? error : "cannot be made";
  }
  ~KResampler() {
    if (soxr_) soxr_delete(soxr_);
  }
  KResampler(const KResampler&) = delete;
  KResampler& operator=(const KResampler&) = delete;

  bool Usable() const { return soxr_ != nullptr; }
  const std::string& Error() const { return error_; }

  // Runs `count` frames at `in` through; `in` null drains the last ones.
  // `put(frames, count)` takes each block made and returns false to stop;
  // false when it did.
  template <class Put>
  bool Run(const float* in, size_t count, Put&& put) {
    const size_t room = out_.size() / size_t(channels_);
    for (;;) {
      size_t used = 0, made = 0;
      soxr_process(soxr_, in, std::min(count, feed_), in ? &used : nullptr, out_.data(), room, &made);
      if (!put(out_.data(), int64_t(made))) return false;
      if (!in) {
        if (made == 0) return true;
        continue;
      }
      in += used * size_t(channels_);
      count -= used;
      if (count == 0) return true;
    }
  }

 private:
  soxr_t soxr_ = nullptr;
  int32_t channels_;
  std::vector<float> out_;
  size_t feed_;
  std::string error_;
};
