// KPcmEdit: the editing operations on the voice they are called on (the
// window passes CurrentVoice): copy and paste, cut, mute, fades, END, insert
// mute, amplifier, normalise, echo, mixer, split, merge and the marker
// commands, mark-sound among them.
#pragma once

#include <array>
#include <cstdint>
#include <memory>

#include "voice/PcmBank.h"

class KFrameReader;
class KFrameWriter;

class KPcmEdit : public KPcmBank {
 public:
  using KPcmBank::KPcmBank;

  KPcmEdit& Peer(int32_t index) override = 0;

  // Copy buffer (bank 0) and the three paste modes at FLG.
  bool CopyMarked();
  bool PasteByCover();
  bool PasteByInsert();
  bool PasteByMix();

  bool CutMarked();
  bool CutUnmark();
  bool MuteMarked();
  bool MuteUnmark();
  bool FadeIn();
  bool FadeOut();
  bool SetEndAtFlg();
  bool InsertMute(int32_t frames);

  bool MathAmplifier(double percent);
  bool Echo(double delayMs, double attenuationPercent);
  // Scales the marked area so that its peak lands at `peakDbfs` (at most 0)
  // without clipping. A silent area is left alone, with a message: false.
  bool Normalize(double peakDbfs);

  bool MixBanks(const std::array<int32_t, 4>& sources);
  bool SplitChannels(int32_t bank1, int32_t bank2);
  bool MergeChannels(int32_t bank1, int32_t bank2);

  // Mark menu and Goto commands: only when END >= 1, then Refresh.
  void MarkAll();
  void ResetMKL();
  void ResetMKR();
  void ResetFLG();
  bool AutoMark(int32_t count);
  // Marks from the first to the last frame louder than `thresholdDbfs`,
  // widened by `marginMs` on each side within the voice. When no frame is
  // louder the markers stay, with a message: false.
  bool MarkSound(double thresholdDbfs, double marginMs);
  void GotoHead();
  void GotoEnd();
  void GotoFlg();
  void GotoMkl();
  void GotoMkr();
  // A zoom-in click that lands on sample position p (clamped to 1..END;
  // MKL and MKR exchanged when they cross).
  void SetMklAt(int32_t p);
  void SetMkrAt(int32_t p);
  void SetFlgAt(int32_t p);

 protected:
  // A reader of `voice` in the format of `target`, or null after the message
  // when the voice's file cannot be opened once more.
  std::unique_ptr<KFrameReader> OpenReader(const KPcmIO& voice, const KPcmCell& target);
  // The record of a voice just rebuilt in another format: `end` frames, all marked.
  void SetResultFormat(int32_t channels, int32_t bits, int32_t rate, int32_t end) {
    Channels = channels;
    BitsPerSample = bits;
    SampleRate = rate;
    MarkWhole(end);
  }
  // The voice of bank `n` (0..14), or null for any other number.
  KPcmEdit* BankAt(int32_t n);

 private:
  enum class PasteMode { Cover, Insert, Mix };
  bool Paste(PasteMode mode);
  bool CutArea(bool marked);
  bool MuteArea(bool marked);
  bool Fade(bool in);
  // Scales frames MKL..MKR in place by `factor` under an undo snapshot.
  bool ScaleMarked(double factor, const char* label, const char* title);
  // Walks frames from..to of this voice under the busy cursor and a bar:
  // visit(values, frames, first) gets runs of whole frames' samples as the
  // cells decode them, the first of them frame `first`; runs that read as
  // silence may be passed over. False after the message when the voice's
  // file could not be read.
  template <class Visit>
  bool ScanLevels(const char* title, int64_t from, int64_t to, Visit visit);
  // Moves ZiStart to `position` - 32 (at least 1) on a voice that has frames.
  void GotoNear(int32_t position);
  // Runs `change` and Refresh when the voice has frames.
  template <class Change>
  void MarkCommand(Change change);
};
