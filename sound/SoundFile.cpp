#include "sound/SoundFile.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <climits>
#include <cmath>
#include <cstring>

namespace {

constexpr double kLoudest = 1e10;  // 200 dB above full scale

}  // namespace

KSoundShape VoiceShape(const KVoiceFormat& format, int64_t frames) {
  return {format.Channels,
          format.SampleRate,
          format.BitsPerSample,
          false,
          frames,
          std::to_string(format.BitsPerSample) + "-bit",
          true};
}

int64_t BlockFrames(int32_t channels) {
  constexpr int64_t kBlockSamples = 32768;
  return std::max<int64_t>(1, kBlockSamples / std::max(channels, 1));
}

KSoundFile::KSoundFile(const std::string& path) { Open(path); }

KSoundFile::KSoundFile(const std::string& path, const KVoiceFormat& format, int64_t frames) {
  info_.samplerate = format.SampleRate;
  info_.channels = format.Channels;
  info_.format = SF_FORMAT_RAW | SF_ENDIAN_LITTLE | (format.BitsPerSample == 8 ? SF_FORMAT_PCM_U8 : SF_FORMAT_PCM_16);
  Open(path);
  shape_.Frames = std::min(shape_.Frames, frames);
}

void KSoundFile::Open(const std::string& path) {
  // The size comes from the descriptor libsndfile reads, so that it is the
  // size of the very file that announces its length.
  const int fd = open(path.c_str(), O_RDONLY | O_CLOEXEC);
  struct stat status {};
  if (fd < 0 || fstat(fd, &status) != 0) {
    error_ = std::strerror(errno);
    if (fd >= 0) close(fd);
    return;
  }
  // libsndfile closes the descriptor with the file, and when it fails to open it.
  file_ = sf_open_fd(fd, SFM_READ, &info_, SF_TRUE);
  Opened(status.st_size);
}

void KSoundFile::Opened(int64_t bytes) {
  if (!file_) {
    error_ = sf_strerror(nullptr);
    unrecognised_ = sf_error(nullptr) == SF_ERR_UNRECOGNISED_FORMAT;
    if (error_.empty()) error_ = "cannot be opened";
    return;
  }
  const int subtype = info_.format & SF_FORMAT_SUBMASK;
  shape_ = {info_.channels,
            info_.samplerate,
            Bits(),
            subtype == SF_FORMAT_FLOAT || subtype == SF_FORMAT_DOUBLE,
            std::max<int64_t>(info_.frames, 0),
            ""};
  shape_.Depth = std::to_string(shape_.Bits) + "-bit" + (shape_.Floating ? " float" : "");
  SF_FORMAT_INFO name{subtype, nullptr, nullptr};
  if (shape_.Bits == 0 && sf_command(nullptr, SFC_GET_FORMAT_INFO, &name, sizeof name) == 0) shape_.Depth = name.name;
  CheckLength(bytes);
}

// Samples of a known width hold exactly their bytes' worth of frames;
// compressed ones at most kMostFramesPerByte a byte. A count beyond that
// is decoded and counted: short of the count, the file is cut short
// (closed, Problem says after how many frames); reaching it, the file is
// read again from the start.
void KSoundFile::CheckLength(int64_t bytes) {
  const bool plain = shape_.Bits > 0 && (info_.format & SF_FORMAT_TYPEMASK) != SF_FORMAT_FLAC;
  int64_t most = INT64_MAX;
  if (plain) most = bytes / (shape_.Bits / 8 * shape_.Channels);
  if (!plain && bytes <= INT64_MAX / kMostFramesPerByte) most = bytes * kMostFramesPerByte;
  if (shape_.Frames <= most) return;
  const int64_t block = BlockFrames(shape_.Channels);
  std::vector<float> frames(size_t(block * shape_.Channels));
  int64_t got;
  while ((got = Read(frames.data(), block)) > 0) {
  }
  if (got == 0) {
    // It does hold them all: it is read again from the start.
    if (Rewind()) return;
    error_ = sf_strerror(file_);
  }
  sf_close(file_);
  file_ = nullptr;
}

bool KSoundFile::Rewind() {
  if (sf_seek(file_, 0, SEEK_SET) != 0) return false;
  read_ = 0;
  return true;
}

KSoundFile::~KSoundFile() {
  if (file_) sf_close(file_);
}

int32_t KSoundFile::Bits() const {
  switch (info_.format & SF_FORMAT_SUBMASK) {
    case SF_FORMAT_PCM_S8:
    case SF_FORMAT_PCM_U8:
      return 8;
    case SF_FORMAT_PCM_16:
      return 16;
    case SF_FORMAT_PCM_24:
      return 24;
    case SF_FORMAT_PCM_32:
    case SF_FORMAT_FLOAT:
      return 32;
    case SF_FORMAT_DOUBLE:
      return 64;
    default:
      return 0;
  }
}

std::string KSoundFile::Problem(const std::string& name) const {
  if (cutShort_) return name + " is cut short after " + std::to_string(read_) + " frames";
  return name + (unrecognised_ ? ": is not a sound file (" : ": cannot be read as sound (") + error_ + ")";
}

std::string KSoundFile::Description() const {
  SF_FORMAT_INFO major{info_.format & SF_FORMAT_TYPEMASK, nullptr, nullptr};
  SF_FORMAT_INFO subtype{info_.format & SF_FORMAT_SUBMASK, nullptr, nullptr};
  sf_command(nullptr, SFC_GET_FORMAT_INFO, &major, sizeof major);
  sf_command(nullptr, SFC_GET_FORMAT_INFO, &subtype, sizeof subtype);
  return std::string(major.name ? major.name : "?") + ", " + (subtype.name ? subtype.name : "?");
}

template <class T>
int64_t KSoundFile::ReadFrames(T* frame, int64_t frames, sf_count_t (*read)(SNDFILE*, T*, sf_count_t)) {
  frames = std::min(frames, shape_.Frames - read_);
  if (frames <= 0) return 0;
  const sf_count_t got = read(file_, frame, frames);
  if (got <= 0) {
    cutShort_ = true;
    return -1;
  }
  read_ += got;
  // A floating-point file may hold values that are no level: NaN reads as
  // silence, a magnitude beyond kLoudest (an infinity too) as kLoudest, so
  // that levels, sums and squares stay numbers.
  if (shape_.Floating)
    for (T* x = frame; x < frame + got * shape_.Channels; ++x)
      if (!(std::fabs(*x) <= T(kLoudest))) *x = std::isnan(*x) ? T(0) : std::copysign(T(kLoudest), *x);
  return got;
}

int64_t KSoundFile::Read(float* frame, int64_t frames) { return ReadFrames(frame, frames, sf_readf_float); }
int64_t KSoundFile::Read(double* frame, int64_t frames) { return ReadFrames(frame, frames, sf_readf_double); }

bool MeasureSound(KSoundFile& sound, std::vector<KChannelStats>& stats) {
  const KSoundShape& shape = sound.Shape();
  const int32_t channels = shape.Channels;
  // The largest value of an integer encoding is one step below 1; floating
  // point and compressed samples are at full scale from 1 on.
  const double top = shape.Floating || shape.Bits == 0 ? 1.0 : 1.0 - std::ldexp(1.0, 1 - shape.Bits);
  const int64_t block = BlockFrames(channels);
  std::vector<double> frame(size_t(block * channels));
  std::vector<double> squares(static_cast<size_t>(channels)), sums(static_cast<size_t>(channels));
  stats.assign(size_t(channels), {});
  int64_t total = 0;
  for (int64_t got; (got = sound.Read(frame.data(), block)) != 0; total += got) {
    if (got < 0) return false;
    for (int64_t i = 0; i < got * channels; ++i) {
      const double x = frame[size_t(i)];
      KChannelStats& s = stats[size_t(i % channels)];
      s.Peak = std::max(s.Peak, std::fabs(x));
      s.FullScale += x >= top || x <= -1.0;
      squares[size_t(i % channels)] += x * x;
      sums[size_t(i % channels)] += x;
    }
  }
  for (size_t c = 0; total > 0 && c < stats.size(); ++c) {
    stats[c].Rms = std::sqrt(squares[c] / double(total));
    stats[c].DcOffset = sums[c] / double(total);
  }
  return true;
}
