// KAlsaWaveAudio: the wave devices over ALSA. Each direction opens the PCM
// named by $MELOTRIX_PCM (else "default") non-blocking; frames go straight
// between the queued buffers and ALSA's ring whenever the caller polls, and
// an output buffer counts as done only once its last frame has been heard.
#pragma once

#include <array>
#include <cstdint>
#include <string>

#include "platform/CachedWaveAudio.h"

typedef struct _snd_pcm snd_pcm_t;

class KAlsaWaveAudio final : public KCachedWaveAudio {
 public:
  // Silences ALSA's own error printing for the whole process.
  KAlsaWaveAudio();
  // Closes what is still open, without the close-all debug line.
  ~KAlsaWaveAudio() override;
  KAlsaWaveAudio(const KAlsaWaveAudio&) = delete;
  KAlsaWaveAudio& operator=(const KAlsaWaveAudio&) = delete;

  static std::string PcmName();

 protected:
  bool OpenDevice(KWaveDirection direction, const KWaveFormat& format) override;
  void CloseDevice(KWaveDirection direction) override;
  bool ResetDevice(KWaveDirection direction) override;
  bool StartDevice(KWaveDirection direction) override;
  void Service(KWaveDirection direction) override;
  int64_t Finished(KWaveDirection direction) override;
  void Block(KWaveDirection direction, int ms) override;

 private:
  struct Pcm {
    snd_pcm_t* Handle = nullptr;
    int64_t Heard = 0;
  };

  // Brings the PCM back after an underrun, overrun or suspend; false when it stays broken.
  bool Recover(Pcm& pcm, long error, bool capture);
  // Waits on the PCM's poll descriptors for at most `ms`.
  void PollFor(Pcm& pcm, int ms);
  bool AlsaFail(const char* call, long error);

  std::array<Pcm, 2> pcms_;
};
