// The wave-audio devices as the voice object sees them: opened per PCM
// format, one cached device per direction. KNoWaveAudio, a machine without a
// sound card where every open fails, is the only implementation so far.
#pragma once

enum class KWaveDirection { Input = 0, Output = 1 };

class KWaveAudio {
 public:
  virtual ~KWaveAudio() = default;
  // True when a device of that direction accepts the format.
  virtual bool Open(KWaveDirection direction, int channels, int bits, int rate) = 0;
  // Closes both cached devices; true when one was open.
  virtual bool CloseAll() = 0;
};

class KNoWaveAudio final : public KWaveAudio {
 public:
  bool Open(KWaveDirection, int, int, int) override { return false; }
  bool CloseAll() override { return false; }
};
