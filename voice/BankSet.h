// KBankSet: the program-wide values of one Melotrix run: the fifteen voices
// (0 copy buffer, 1..12 banks, 13 and 14 working voices), the current bank,
// and the services its voices share (swap folder, the window's progress and
// cursor hooks, the wave devices). Tests build as many independent sets as they like.
#pragma once

#include <array>
#include <functional>
#include <memory>
#include <string>

#include "voice/PcmFiles.h"
#include "voice/VoiceServices.h"

class KJournal;

class KBankSet {
 public:
  static constexpr int kVoices = bank::kVoices;
  static constexpr int kCopyBuffer = bank::kCopyBuffer;
  static constexpr int kFirstBank = bank::kFirst;
  static constexpr int kLastBank = bank::kLast;

  // Makes the final voice object of one index (KMxVoc in the window, a
  // headless class elsewhere).
  using Factory = std::function<std::unique_ptr<KPcmFiles>(KBankSet&, int32_t)>;

  // `ui` and `audio` may be null: then nothing is shown and no device opens.
  KBankSet(std::string swapFolder, Factory make, KUiHooks* ui = nullptr, KWaveAudio* audio = nullptr);
  ~KBankSet();
  KBankSet(const KBankSet&) = delete;
  KBankSet& operator=(const KBankSet&) = delete;

  KPcmFiles& Bank(int index) { return *Banks[size_t(index)]; }
  KPcmFiles& CopyBuffer() { return Bank(kCopyBuffer); }

  // Bank N / F1..F12.
  void SelectBank(int bank);
  // "Clear current Bank" and "Clear all Bank" (banks 1..12 only).
  bool ClearCurrentBank();
  void ClearAllBanks();

  KVoiceServices& Services() { return services_; }

  // Keeps a journal of the set in the run folder `folder` from now on and
  // writes the first one.
  void KeepJournal(const std::string& folder);
  // Brings the journal up to date (nothing without one): at the end of
  // every command.
  void JournalChanges();
  // True when a bank holds unsaved work.
  bool HoldsUnsavedWork();
  // The window is closing: with unsaved work in a bank and a journal, the
  // journal says the run was closed and every swap file stays for the next
  // start (true: the caller keeps the run folder). Otherwise nothing is kept.
  bool KeepUnsavedWork();

  std::array<std::unique_ptr<KPcmFiles>, kVoices> Banks;
  int CurrentBankNumber = 0;
  KPcmFiles* CurrentVoice = nullptr;

 private:
  KUiHooks defaultUi_;
  KNoWaveAudio noAudio_;
  KVoiceServices services_;
  std::unique_ptr<KJournal> journal_;
};
