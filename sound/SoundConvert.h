// The road of a sound file into a voice: its frames as floats, mixed to the
// voice's channels, trimmed, faded and normalised when asked, resampled by libsoxr at its very-high-quality setting
// when the rate changes, rounded (optionally with TPDF dither) to 8 or 16
// bits and written as voice bytes.
#pragma once

#include <cstdint>
#include <optional>
#include <string>

#include "formats/VoiceLayout.h"
#include "platform/CopyProgress.h"
#include "platform/PlainFile.h"
#include "platform/Status.h"
#include "sound/SoundFile.h"

// The lowest rate the resampler takes: below it, one source frame would
// become more frames than a pass holds.
constexpr int32_t kLowestSourceRate = 1000;

// What the user asked for; 0 leaves a value to the source.
struct KConvertRequest {
  int32_t Rate = 0;  // 2100..44100, a multiple of 25
  int32_t Channels = 0;
  int32_t Bits = 0;
  bool Dither = false;
  // The preparation before the rate changes, each step off when unset: the
  // frames before the first and after the last whose level in any channel
  // exceeds TrimDb dropped, linear fades at the start and the end, and a
  // gain that brings the peak after the mix-down to NormalizeDb.
  std::optional<double> TrimDb;
  double FadeInMs = 0, FadeOutMs = 0;
  std::optional<double> NormalizeDb;
};

struct KConversion {
  KVoiceFormat Target;
  int64_t Frames = 0;     // the frames the voice gets
  bool Resample = false;  // the source's rate, rounded down to 25, is not the target's
  bool Dither = false;    // asked for, and the samples do not fall on the target's steps anyway
  bool Changes = false;   // anything but the rate's rounding changes
  std::string Refused;    // why it cannot be converted; empty when it can
  // The source frames kept from First on, their fades in source frames and
  // their gain; MeasureConversion sets the kept range and the gain.
  int64_t First = 0, Kept = 0, FadeIn = 0, FadeOut = 0;
  double Gain = 1;
  std::optional<double> TrimDb, NormalizeDb;

  // The bytes of the voice's samples; INT64_MAX when that overflows.
  int64_t Bytes() const;
};

// The target of `source` under `request`: each value as asked, else the
// source's own where a voice can hold it (a voice's own rate always), else
// 44100 Hz, two channels at most and 16 bits. A rate that must change but is below
// kLowestSourceRate is refused.
KConversion PlanConversion(const KSoundShape& source, const KConvertRequest& request);

// Reads the rest of `source` once for each measure the preparation of `plan`
// needs (the edges above its trim level, then the peak of the trimmed, mixed
// and faded frames), sets the kept range, length and gain, and goes back to
// the first frame. Fails as ConvertSound does when the decoder stops early.
KStatus MeasureConversion(KSoundFile& source, KConversion& plan);

// "48000 Hz 24-bit 6 channels -> 44100 Hz 16-bit 2 channels", then the
// steps of the preparation and the dither, each ", trimmed" and the like.
std::string DescribeConversion(const KSoundShape& source, const KConversion& plan);

// Converts the rest of `source` by `plan` into `out` from offset 0: exactly
// plan.Frames frames (a resampler's last frames short of it are silence),
// in passes of a fixed size whatever the rate ratio. A decoder that stopped
// early fails with the code KBlockCopy::kReadFailed (source.Problem says
// why), one that `progress` asked to stop with KBlockCopy::kStopped; a plan
// that was refused fails with its reason.
KStatus ConvertSound(KSoundFile& source, const KConversion& plan, KPlainFile& out, KCopyProgress& progress);
