// KSoundFile: a sound file read through libsndfile as floating-point frames
// (every depth, rate and encoding it knows: WAV of any kind, AIFF, FLAC, Ogg
// Vorbis, ...), or a voice's own sample bytes read the same way. Also the
// level statistics of such a file, computed in one pass.
//
// A file costs what it holds: a frame count that the file's bytes cannot
// hold (a partial download announces its whole length, or none) is never
// believed, and a decoder that stops before the count it announced is an
// error, never silence.
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
  // A voice's own samples, whose rate is kept as it is unless one is asked
  // for (the window saves a voice at its rate, whatever it is).
  bool Voice = false;
};

// The shape of a voice's own samples.
KSoundShape VoiceShape(const KVoiceFormat& format, int64_t frames);

class KSoundFile {
 public:
  // The most frames a byte of a compressed encoding decodes to: a FLAC frame
  // of 65535 constant samples takes about ten bytes, an Ogg Vorbis packet of
  // at most 4096 new frames two with its lacing.
  static constexpr int64_t kMostFramesPerByte = 8192;

  // Opens `path` as a sound file; Problem() says why it is none. A count of
  // frames beyond what the file's bytes can hold is checked by decoding.
  explicit KSoundFile(const std::string& path);
  // Opens the first `frames` frames of raw voice bytes (8-bit unsigned,
  // 16-bit signed little-endian) of `format`.
  KSoundFile(const std::string& path, const KVoiceFormat& format, int64_t frames);
  ~KSoundFile();
  KSoundFile(const KSoundFile&) = delete;
  KSoundFile& operator=(const KSoundFile&) = delete;

  bool IsOpen() const { return file_ != nullptr; }
  // Why the file named `name` did not open or stopped early, as the user
  // reads it: "NAME: is not a sound file (...)", "NAME: cannot be read as
  // sound (...)" or "NAME is cut short after N frames".
  std::string Problem(const std::string& name) const;

  const KSoundShape& Shape() const { return shape_; }
  // libsndfile's names of the container and the encoding.
  std::string Description() const;

  // Goes back to the first frame; false when the file cannot seek.
  bool Rewind();

  // Reads up to `frames` frames into `frame` (Shape().Channels values each);
  // the number read, 0 at the end, -1 when the decoder stopped before it.
  int64_t Read(float* frame, int64_t frames);
  int64_t Read(double* frame, int64_t frames);

 private:
  template <class T>
  int64_t ReadFrames(T* frame, int64_t frames, sf_count_t (*read)(SNDFILE*, T*, sf_count_t));
  void Open(const std::string& path);
  void Opened(int64_t bytes);
  void CheckLength(int64_t bytes);
  int32_t Bits() const;

  SNDFILE* file_ = nullptr;
  SF_INFO info_{};
  KSoundShape shape_;
  int64_t read_ = 0;
  bool cutShort_ = false;
  std::string error_;
  bool unrecognised_ = false;
};

// Frames per pass of a sound of `channels` channels, so that one pass holds
// a fixed number of samples however many channels there are.
int64_t BlockFrames(int32_t channels);

// The levels of one channel, each as a fraction of full scale.
struct KChannelStats {
  double Peak = 0;        // the largest magnitude
  double Rms = 0;         // the root of the mean square
  double DcOffset = 0;    // the mean
  int64_t FullScale = 0;  // samples at the largest or smallest value the encoding holds
};

// The statistics of every channel of `sound` from where it stands to its
// end; false when the decoder stopped early (sound.Problem says so).
bool MeasureSound(KSoundFile& sound, std::vector<KChannelStats>& stats);
