#include "cli/SoundFile.h"

#include <algorithm>
#include <cmath>

KSoundShape VoiceShape(const KVoiceFormat& format, int64_t frames) {
  return {format.Channels,
          format.SampleRate,
          format.BitsPerSample,
          false,
          frames,
          std::to_string(format.BitsPerSample) + "-bit"};
}

KSoundFile::KSoundFile(const std::string& path) {
  file_ = sf_open(path.c_str(), SFM_READ, &info_);
  Opened(path);
}

KSoundFile::KSoundFile(const std::string& path, const KVoiceFormat& format, int64_t frames) {
  info_.samplerate = format.SampleRate;
  info_.channels = format.Channels;
  info_.format = SF_FORMAT_RAW | SF_ENDIAN_LITTLE | (format.BitsPerSample == 8 ? SF_FORMAT_PCM_U8 : SF_FORMAT_PCM_16);
  file_ = sf_open(path.c_str(), SFM_READ, &info_);
  Opened(path);
  shape_.Frames = std::min(shape_.Frames, frames);
}

void KSoundFile::Opened(const std::string& path) {
  if (file_) {
    const int subtype = info_.format & SF_FORMAT_SUBMASK;
    shape_ = {info_.channels, info_.samplerate,
              Bits(),         subtype == SF_FORMAT_FLOAT || subtype == SF_FORMAT_DOUBLE,
              info_.frames,   ""};
    shape_.Depth = std::to_string(shape_.Bits) + "-bit" + (shape_.Floating ? " float" : "");
    SF_FORMAT_INFO name{subtype, nullptr, nullptr};
    if (shape_.Bits == 0 && sf_command(nullptr, SFC_GET_FORMAT_INFO, &name, sizeof name) == 0) shape_.Depth = name.name;
    return;
  }
  error_ = sf_strerror(nullptr);
  unrecognised_ = sf_error(nullptr) == SF_ERR_UNRECOGNISED_FORMAT;
  if (error_.empty()) error_ = "cannot open " + path;
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
  if (got <= 0 && sf_error(file_) != SF_ERR_NO_ERROR) {
    error_ = sf_strerror(file_);
    return -1;
  }
  read_ += got;
  return got;
}

int64_t KSoundFile::Read(float* frame, int64_t frames) { return ReadFrames(frame, frames, sf_readf_float); }
int64_t KSoundFile::Read(double* frame, int64_t frames) { return ReadFrames(frame, frames, sf_readf_double); }

bool MeasureSound(KSoundFile& sound, std::vector<KChannelStats>& stats, std::string& error) {
  const KSoundShape& shape = sound.Shape();
  const int32_t channels = shape.Channels;
  // The largest value of an integer encoding is one step below 1; floating
  // point and compressed samples are at full scale from 1 on.
  const double top = shape.Floating || shape.Bits == 0 ? 1.0 : 1.0 - std::ldexp(1.0, 1 - shape.Bits);
  constexpr int64_t kBlock = 4096;
  std::vector<double> frame(size_t(kBlock * channels));
  std::vector<double> squares(static_cast<size_t>(channels)), sums(static_cast<size_t>(channels));
  stats.assign(size_t(channels), {});
  int64_t total = 0;
  for (int64_t got; (got = sound.Read(frame.data(), kBlock)) != 0; total += got) {
    if (got < 0) {
      error = sound.Error();
      return false;
    }
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
