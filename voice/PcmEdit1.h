// KPcmEdit: the editing operations on the voice they are called on (the
// window passes CurrentVoice): copy and paste, cut, mute, fades, END, insert
// mute, amplifier, echo, mixer, split, merge and the marker commands.
#pragma once

#include <array>
#include <cstdint>

#include "voice/PcmBank.h"

class KPcmEdit : public KPcmBank {
 public:
  using KPcmBank::KPcmBank;

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

  bool MixBanks(const std::array<int32_t, 4>& sources);
  bool SplitChannels(int32_t bank1, int32_t bank2);
  bool MergeChannels(int32_t bank1, int32_t bank2);

  // Mark menu and Goto commands: only when END >= 1, then Refresh.
  void MarkAll();
  void ResetMKL();
  void ResetMKR();
  void ResetFLG();
  bool AutoMark(int32_t count);
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
};
