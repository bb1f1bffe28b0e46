// KSoundFile: a sound file read through libsndfile as floating-point frames
// (every depth, rate and encoding it knows: WAV of any kind, AIFF, FLAC, Ogg
// Vorbis, ...), or a voice's own sample bytes read the same way. Also the
// level statistics of such a file, computed in one pass.
#pragma once

#include <sndfile.h>

#include <cstdint>
#include <string>
#include <vector>

#include "formats/VoiceLayout.h"

// What the conversion and the statistics need to know of a sound.
struct KSoundShape {
  int32_t Channels = 1;
  int32_t Rate = 0;
  // The bits of an integer encoding (8, 16, 24, 32), 32 or 64 for floating
  // point, 0 for an encoding without a sample width (Vorbis).
  int32_t Bits = 0;
  bool Floating = false;
  int64_t Frames = 0;
  std::string Depth;  // in words: "24-bit", "32-bit float", "Vorbis"
};

// The shape of a voice's own samples.
KSoundShape VoiceShape(const KVoiceFormat& format, int64_t frames);

class KSoundFile {
 public:
  // Opens `path` as a sound file; Error() says why it is none.
  explicit KSoundFile(const std::string& path);
  // Opens the first `frames` frames of raw voice bytes (8-bit unsigned,
  // 16-bit signed little-endian) of `format`.
  KSoundFile(const std::string& path, const KVoiceFormat& format, int64_t frames);
  ~KSoundFile();
  KSoundFile(const KSoundFile&) = delete;
  KSoundFile& operator=(const KSoundFile&) = delete;

  bool IsOpen() const { return file_ != nullptr; }
  // libsndfile's reason, and whether it is that the file is no sound file it knows.
  const std::string& Error() const { return error_; }
  bool Unrecognised() const { return unrecognised_; }

  const KSoundShape& Shape() const { return shape_; }
  // libsndfile's names of the container and the encoding.
  std::string Description() const;

  // Reads up to `frames` frames into `frame` (Channels() values each);
  // the number read, 0 at the end, -1 on a read error (Error() says why).
  int64_t Read(float* frame, int64_t frames);
  int64_t Read(double* frame, int64_t frames);

 private:
  template <class T>
  int64_t ReadFrames(T* frame, int64_t frames, sf_count_t (*read)(SNDFILE*, T*, sf_count_t));
  void Opened(const std::string& path);
  int32_t Bits() const;

  SNDFILE* file_ = nullptr;
  SF_INFO info_{};
  KSoundShape shape_;
  int64_t read_ = 0;
  std::string error_;
  bool unrecognised_ = false;
};

// The levels of one channel, each as a fraction of full scale.
struct KChannelStats {
  double Peak = 0;        // the largest magnitude
  double Rms = 0;         // the root of the mean square
  double DcOffset = 0;    // the mean
  int64_t FullScale = 0;  // samples at the largest or smallest value the encoding holds
};

// The statistics of every channel of `sound` from where it stands to its
// end; false, with `error` set, when a read failed.
bool MeasureSound(KSoundFile& sound, std::vector<KChannelStats>& stats, std::string& error);
