// The road of a sound file into a voice: its frames as floats, mixed to the
// voice's channels, resampled by libsoxr at its very-high-quality setting
// when the rate changes, rounded (optionally with TPDF dither) to 8 or 16
// bits and written as voice bytes.
#pragma once

#include <cstdint>
#include <string>

#include "cli/SoundFile.h"
#include "formats/VoiceLayout.h"
#include "platform/CopyProgress.h"
#include "platform/PlainFile.h"
#include "platform/Status.h"

// What the user asked for; 0 leaves a value to the source.
struct KConvertRequest {
  int32_t Rate = 0;  // 2100..44100, a multiple of 25
  int32_t Channels = 0;
  int32_t Bits = 0;
  bool Dither = false;
};

struct KConversion {
  KVoiceFormat Target;
  int64_t Frames = 0;     // the frames the voice gets
  bool Resample = false;  // the source's rate, rounded down to 25, is not the target's
  bool Dither = false;    // asked for, and the samples do not fall on the target's steps anyway
  bool Changes = false;   // anything but the rate's rounding changes
};

// The target of `source` under `request`: each value as asked, else the
// source's own where a voice can hold it, else 44100 Hz, two channels at
// most and 16 bits.
KConversion PlanConversion(const KSoundShape& source, const KConvertRequest& request);

// "48000 Hz 24-bit 6 channels -> 44100 Hz 16-bit 2 channels".
std::string DescribeConversion(const KSoundShape& source, const KConversion& plan);

// Converts the rest of `source` by `plan` into `out` from offset 0: exactly
// plan.Frames frames (a resampler's last frames short of it are silence).
// A failed read has the code KBlockCopy::kReadFailed and libsndfile's reason.
KStatus ConvertSound(KSoundFile& source, const KConversion& plan, KPlainFile& out, KCopyProgress& progress);
