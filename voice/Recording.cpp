// Recording: the input device fills mapped views of a new store, two
// buffers at a time; the voice takes the store once capture has begun, so a
// device that fails to start leaves the voice and its undo as they were.
#include <algorithm>

#include "resources/StringTable.h"
#include "voice/PcmBank.h"
#include "voice/WavePair.h"

bool KPcmBank::RecordVoice(int32_t channels, int32_t bits, int32_t frames, int32_t rate) {
  if ((channels != 1 && channels != 2) || frames < 1 || (bits != 8 && bits != 16)) return false;
  if (!RecordFrames(frames, {channels, bits, rate})) return false;
  EmptyUndo();
  OverviewStale = true;
  Refresh();
  return true;
}

bool KPcmIO::RecordFrames(int32_t frames, const KVoiceFormat& format) {
  if (!Streamable(format.Channels, format.BitsPerSample) || frames < 1) return false;
  if (!OpenWaveDevice(0, format.Channels, format.BitsPerSample, format.SampleRate)) {
    ShowMessageId(msg::kWaveInOpen);
    return false;
  }
  std::unique_ptr<KPcmMMap> store = NewStore(int64_t(frames) * format.FrameBytes(), "the recording");
  if (!store) return false;
  KTake take = StreamIn(*store, frames, format);
  if (take.Failed && take.Captured < 1) return false;

  // The END frame of a whole take is not in any buffer: it is made silent here.
  // Shrinking the store cannot run out of room; a failure would only leave
  // the file longer than the voice.
  if (take.Recorded < 1) {
    store->Resize(16);
  } else {
    store->Resize(int32_t(take.Recorded * format.FrameBytes()));
    KPcmCell silence(format.Channels, format.BitsPerSample / 8);
    store->Seek(int32_t(take.Captured * format.FrameBytes()));
    for (int64_t frame = take.Captured; frame < take.Recorded; ++frame) store->WriteNext(silence);
  }
  ReplaceStorage(std::move(store));
  Channels = format.Channels;
  BitsPerSample = format.BitsPerSample;
  SampleRate = format.SampleRate;
  MarkWhole(int32_t(take.Recorded));
  return true;
}

KPcmIO::KTake KPcmIO::StreamIn(KPcmMMap& store, int64_t frames, const KVoiceFormat& format) {
  KCursorScope cursor(Ui(), KCursorRole::Play);
  ShowRecordProgress(0);
  KWavePair pair(Services.Audio, KWaveDirection::Input, store, format);
  // Stops the device and keeps what it captured up to now.
  auto stop = [&pair](bool failed) {
    const int64_t captured = pair.Position();
    pair.Stop();
    return KTake{captured, captured, failed};
  };
  int64_t pos = 1;
  bool started = false;
  for (;;) {
    // The buffers cover frames 1..frames - 1; the END frame is left to the caller.
    KWavePair::KFill fill = pair.Refill(pos, frames, 0);
    if (fill != KWavePair::KFill::Queued) {
      if (int id = pair.FailureMessage(fill)) ShowMessageId(id);
      return stop(true);
    }
    if (!started) {
      if (!pair.Start()) {
        ShowMessageId(msg::kWaveInStart);
        return stop(true);
      }
      started = true;
    }
    ShowRecordProgress(int32_t(std::clamp<int64_t>((pair.Position() + 1) * 100 / frames, 0, 100)));
    if (Ui().StopRequested()) return stop(false);
    if (pair.BothFree()) {
      const int64_t captured = std::min(pair.Position(), frames - 1);
      return KTake{captured + 1, captured, false};
    }
    if (!pair.ReleaseDone()) pair.Wait();
  }
}
