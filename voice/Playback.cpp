// Playback: the frames of a range go to the output device straight from
// mapped views of the voice's store, two buffers at a time, while the
// overview's play pointer follows the device's position.
#include "resources/StringTable.h"
#include "voice/PcmIO.h"
#include "voice/WavePair.h"

namespace {

// A remainder this short is not worth a buffer of its own.
constexpr int64_t kUnplayedTail = 16;

}  // namespace

bool KPcmIO::PlayRange(int32_t from, int32_t to) {
  if (END == 0) return true;
  if (from == 0 || to == 0) return false;
  if (from == to) return true;
  // Frames from..to - 1 must lie in the voice.
  if (from > to || from < 1 || int64_t(to) > int64_t(END) + 1) return false;
  if (!Streamable(Channels, BitsPerSample)) return false;
  if (!OpenWaveDevice(1, Channels, BitsPerSample, SampleRate)) {
    ShowMessageId(msg::kWaveOutOpen);
    return false;
  }
  bool played = StreamOut(from, to);
  ShowPlayPosition(ZiStart);
  return played;
}

bool KPcmIO::StreamOut(int64_t from, int64_t to) {
  KCursorScope cursor(Ui(), KCursorRole::Play);
  KWavePair pair(Services.Audio, KWaveDirection::Output, *Storage, Format());
  const int64_t start = from;
  for (;;) {
    KWavePair::KFill fill = pair.Refill(from, to, kUnplayedTail);
    if (fill != KWavePair::KFill::Queued) {
      if (int id = pair.FailureMessage(fill)) ShowMessageId(id);
      pair.Stop();
      return false;
    }
    ShowPlayPosition(int32_t(start + pair.Position()));
    if (Ui().StopRequested()) {
      pair.Stop();
      return false;
    }
    if (pair.BothFree()) return true;
    if (!pair.ReleaseDone()) pair.Wait();
  }
}
