// KPcmIO: the first layer of the voice object. Format, markers, the sample
// store and the wave devices (through the set's shared services), plus the
// virtual hooks through which the lower layers reach the user (the display
// layer overrides them).
#pragma once

#include <cstdint>
#include <memory>
#include <string>

#include "formats/VoiceLayout.h"
#include "store/PcmCell.h"
#include "store/PcmMMap.h"
#include "voice/VoiceServices.h"

class KPcmIO {
 public:
  explicit KPcmIO(KVoiceServices& services);
  virtual ~KPcmIO();
  KPcmIO(const KPcmIO&) = delete;
  KPcmIO& operator=(const KPcmIO&) = delete;

  // Hooks in slot order; the base does nothing and reports success.
  virtual bool ShowPlayPosition(int32_t position);
  virtual bool ShowRecordProgress(int32_t percent);
  virtual bool ShowNotice(const std::string& text);
  virtual bool ShowMessageText(const std::string& text);
  virtual bool ShowMessageId(int id);
  virtual bool Refresh();

  // Plays frames from..to - 1 and waits until they were heard. True when
  // they were, or there was nothing to play; false when the range is not
  // the voice's, the device failed (message shown) or the user stopped it.
  // A remainder of 16 frames or fewer is not played.
  bool PlayRange(int32_t from, int32_t to);
  // Direction 0 input, 1 output; the format must be 1..2 channels, 8 or 16
  // bits and 3999..44100 Hz.
  bool OpenWaveDevice(int direction, int32_t channels, int32_t bits, int32_t rate);
  // Records `frames` frames in `format` into a new store, which the voice
  // then takes with that format, all marked: frames - 1 captured frames and a
  // silent END frame, or the frames captured before the user stopped it or
  // the device failed (none: an empty voice). False, with the voice as it
  // was, when the device or the store could not be had or the device failed
  // before it captured a frame.
  bool RecordFrames(int32_t frames, const KVoiceFormat& format);

  KVoiceFormat Format() const { return {Channels, BitsPerSample, SampleRate}; }
  int32_t FrameBytes() const { return Channels * (BitsPerSample / 8); }
  KPcmCell MakeCell() const { return KPcmCell(Channels, BitsPerSample / 8); }

  // A new store of `bytes` in the swap folder for `operation`, or null after
  // showing why it could not be made: a size past 32 bits or a swap folder
  // without room (the caller then changes nothing).
  std::unique_ptr<KPcmMMap> NewStore(int64_t bytes, const char* operation);
  // Shows the swap-folder message for a store that failed; returns false.
  bool StoreFailed(const KPcmMMap& store);
  // False, after a message naming `operation`, when a result of `bytes`
  // would not fit the 32-bit sizes of the store and the record.
  bool FitsStore(int64_t bytes, const char* operation);

  KVoiceServices& Services;
  KUiHooks& Ui() { return Services.Ui; }

  // Gives the voice `store` as its samples; the old store is retired.
  void ReplaceStorage(std::unique_ptr<KPcmMMap> store) {
    Services.Retired.Retire(std::move(Storage));
    Storage = std::move(store);
  }

  std::unique_ptr<KPcmMMap> Storage;
  int32_t Channels = 1;
  int32_t BitsPerSample = 8;
  int32_t SampleRate = 16000;
  int32_t END = 0;
  int32_t MKR = 0;
  int32_t MKL = 0;
  int32_t FLG = 0;
  int32_t ZiStart = 0;

 protected:
  // The voice's format for a play or record: 1..2 channels of 8 or 16 bits.
  static bool Streamable(int32_t channels, int32_t bits) {
    return (channels == 1 || channels == 2) && (bits == 8 || bits == 16);
  }
  // Markers of a voice that was just rebuilt with `end` frames: the whole
  // voice marked, FLG and ZiStart at the start (all 0 when empty).
  void MarkWhole(int32_t end);

 private:
  // What a recording loop leaves: the frames the voice gets, those of them
  // the device filled, and whether a device step failed.
  struct KTake {
    int64_t Recorded = 0;
    int64_t Captured = 0;
    bool Failed = false;
  };
  // The play loop over frames from..to - 1 on the open output device.
  bool StreamOut(int64_t from, int64_t to);
  // The record loop into `store` (frames 1..frames - 1) on the open input device.
  KTake StreamIn(KPcmMMap& store, int64_t frames, const KVoiceFormat& format);
};
