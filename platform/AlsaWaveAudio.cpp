#include "platform/AlsaWaveAudio.h"

#include <alsa/asoundlib.h>
#include <poll.h>

#include <algorithm>
#include <cerrno>
#include <chrono>
#include <cstdlib>
#include <thread>

namespace {

// Ring latency asked of ALSA: short enough for a prompt reset, long enough
// that a polling loop that is late now and then does not underrun.
constexpr unsigned kLatencyMicroseconds = 200000;
// Transfers per service call, so that a PCM that keeps failing cannot hold the caller.
constexpr int kRounds = 8;

void Silent(const char*, int, const char*, int, const char*, ...) {}

void Sleep(int ms) { std::this_thread::sleep_for(std::chrono::milliseconds(ms)); }

bool IsCapture(KWaveDirection direction) { return direction == KWaveDirection::Input; }

}  // namespace

KAlsaWaveAudio::KAlsaWaveAudio() { snd_lib_error_set_handler(&Silent); }

KAlsaWaveAudio::~KAlsaWaveAudio() {
  for (Pcm& pcm : pcms_) {
    if (!pcm.Handle) continue;
    snd_pcm_drop(pcm.Handle);
    snd_pcm_close(pcm.Handle);
  }
}

std::string KAlsaWaveAudio::PcmName() {
  const char* name = std::getenv("MELOTRIX_PCM");
  return name && *name ? name : "default";
}

bool KAlsaWaveAudio::AlsaFail(const char* call, long error) {
  return Fail(std::string(call) + ": " + snd_strerror(int(error)));
}

bool KAlsaWaveAudio::OpenDevice(KWaveDirection direction, const KWaveFormat& format) {
  std::string name = PcmName();
  snd_pcm_t* handle = nullptr;
  int r = snd_pcm_open(&handle, name.c_str(), IsCapture(direction) ? SND_PCM_STREAM_CAPTURE : SND_PCM_STREAM_PLAYBACK,
                       SND_PCM_NONBLOCK);
  if (r < 0) return AlsaFail(("snd_pcm_open " + name).c_str(), r);
  r = snd_pcm_set_params(handle, format.Bits == 8 ? SND_PCM_FORMAT_U8 : SND_PCM_FORMAT_S16_LE,
                         SND_PCM_ACCESS_RW_INTERLEAVED, unsigned(format.Channels), unsigned(format.Rate), 1,
                         kLatencyMicroseconds);
  if (r < 0) {
    snd_pcm_close(handle);
    return AlsaFail("snd_pcm_set_params", r);
  }
  pcms_[size_t(direction)] = {handle, 0};
  return true;
}

void KAlsaWaveAudio::CloseDevice(KWaveDirection direction) {
  Pcm& pcm = pcms_[size_t(direction)];
  if (!pcm.Handle) return;
  snd_pcm_drop(pcm.Handle);
  snd_pcm_close(pcm.Handle);
  pcm = {};
}

bool KAlsaWaveAudio::ResetDevice(KWaveDirection direction) {
  Pcm& pcm = pcms_[size_t(direction)];
  pcm.Heard = 0;
  if (!pcm.Handle) return Fail("no device open");
  snd_pcm_drop(pcm.Handle);
  int r = snd_pcm_prepare(pcm.Handle);
  return r < 0 ? AlsaFail("snd_pcm_prepare", r) : true;
}

bool KAlsaWaveAudio::StartDevice(KWaveDirection direction) {
  if (!IsCapture(direction)) return true;
  int r = snd_pcm_start(pcms_[size_t(direction)].Handle);
  return r < 0 ? AlsaFail("snd_pcm_start", r) : true;
}

bool KAlsaWaveAudio::Recover(Pcm& pcm, long error, bool capture) {
  int r = snd_pcm_recover(pcm.Handle, int(error), 1);
  if (r < 0) return AlsaFail("snd_pcm_recover", r);
  if (capture && (r = snd_pcm_start(pcm.Handle)) < 0) return AlsaFail("snd_pcm_start", r);
  return true;
}

void KAlsaWaveAudio::Service(KWaveDirection direction) {
  Pcm& pcm = pcms_[size_t(direction)];
  Device& device = At(direction);
  bool capture = IsCapture(direction);
  if (!pcm.Handle || (capture && !device.Started)) return;
  KWaveQueue& queue = device.Buffers;
  for (int round = 0; round < kRounds; ++round) {
    KWaveQueue::Span span = queue.Next();
    if (span.Frames == 0) break;
    // Asking for more frames than are available returns none on some PCMs.
    snd_pcm_sframes_t ready = snd_pcm_avail(pcm.Handle);
    if (ready < 0) {
      if (!Recover(pcm, ready, capture)) return;
      continue;
    }
    if (ready == 0) break;
    auto frames = snd_pcm_uframes_t(std::min<int64_t>(ready, span.Frames));
    snd_pcm_sframes_t n =
        capture ? snd_pcm_readi(pcm.Handle, span.Data, frames) : snd_pcm_writei(pcm.Handle, span.Data, frames);
    if (n == -EAGAIN) break;
    if (n < 0) {
      if (!Recover(pcm, n, capture)) return;
      continue;
    }
    queue.Moved(n);
  }
  // Playback starts by itself once ALSA's ring is full; a shorter tail is started here.
  if (!capture && snd_pcm_state(pcm.Handle) == SND_PCM_STATE_PREPARED && queue.Next().Frames == 0 &&
      queue.MovedFrames() > pcm.Heard)
    snd_pcm_start(pcm.Handle);
}

int64_t KAlsaWaveAudio::Finished(KWaveDirection direction) {
  Pcm& pcm = pcms_[size_t(direction)];
  int64_t moved = At(direction).Buffers.MovedFrames();
  if (IsCapture(direction) || !pcm.Handle) return moved;
  snd_pcm_sframes_t delay = 0;
  int r = snd_pcm_delay(pcm.Handle, &delay);
  // Some PCMs (the PulseAudio plugin) answer an underrun with the XRUN state
  // and the last delay they knew instead of -EPIPE.
  if (r == -EPIPE || snd_pcm_state(pcm.Handle) == SND_PCM_STATE_XRUN) {
    // An underrun: the ring ran dry, so everything written has been heard.
    Recover(pcm, -EPIPE, false);
    delay = 0;
  } else if (r < 0) {
    if (r == -ESTRPIPE) Recover(pcm, r, false);
    return pcm.Heard;
  }
  pcm.Heard = HeardFrames(moved, delay, pcm.Heard);
  return pcm.Heard;
}

void KAlsaWaveAudio::Block(KWaveDirection direction, int ms) {
  Pcm& pcm = pcms_[size_t(direction)];
  Device& device = At(direction);
  KWaveQueue& queue = device.Buffers;
  bool feeding = queue.Next().Frames > 0 && (!IsCapture(direction) || device.Started);
  if (pcm.Handle && feeding) return PollFor(pcm, ms);
  if (!IsCapture(direction) && queue.Count() > 0) {
    // All written: sleep until the oldest buffer is due to have been heard.
    int64_t left = queue.OldestEnd() - Finished(direction);
    int64_t due = (left * 1000 + device.Format.Rate - 1) / device.Format.Rate;
    ms = int(std::clamp<int64_t>(due, 1, ms));
  }
  Sleep(ms);
}

void KAlsaWaveAudio::PollFor(Pcm& pcm, int ms) {
  std::array<pollfd, 8> fds{};
  int count = snd_pcm_poll_descriptors_count(pcm.Handle);
  if (count <= 0 || count > int(fds.size())) return Sleep(ms);
  count = snd_pcm_poll_descriptors(pcm.Handle, fds.data(), unsigned(count));
  if (count <= 0) return Sleep(ms);
  if (poll(fds.data(), nfds_t(count), ms) <= 0) return;
  unsigned short revents = 0;
  snd_pcm_poll_descriptors_revents(pcm.Handle, fds.data(), unsigned(count), &revents);
  // Some plugins wake the poll without being ready; a short nap keeps that from spinning.
  if (!(revents & (POLLIN | POLLOUT | POLLERR))) Sleep(1);
}
