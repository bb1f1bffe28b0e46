#include "voice/BankSet.h"

#include <utility>

#include "platform/MappedFaults.h"
#include "voice/Journal.h"

KBankSet::KBankSet(std::string swapFolder, Factory make, KUiHooks* ui, KWaveAudio* audio)
    : services_{std::move(swapFolder), ui ? *ui : defaultUi_, audio ? *audio : noAudio_} {
  // A swap file another program cuts short must not kill the program.
  platform::CatchMappedFileFaults();
  for (int index = 0; index < kVoices; ++index) Banks[size_t(index)] = make(*this, index);
}

KBankSet::~KBankSet() {
  journal_.reset();
  CurrentVoice = nullptr;
  for (auto& voice : Banks) voice.reset();
}

void KBankSet::SelectBank(int bank) {
  if (bank < kFirstBank || bank > kLastBank) return;
  Bank(bank).SelectBank();
}

bool KBankSet::ClearCurrentBank() { return CurrentVoice && CurrentVoice->ClearBank(); }

void KBankSet::ClearAllBanks() {
  for (int bank = kFirstBank; bank <= kLastBank; ++bank) Bank(bank).ClearBank();
}

void KBankSet::KeepJournal(const std::string& folder) {
  journal_ = std::make_unique<KJournal>(*this, folder);
  journal_->Update();
}

void KBankSet::JournalChanges() {
  if (journal_) journal_->Update();
}

bool KBankSet::HoldsUnsavedWork() {
  for (int bank = kFirstBank; bank <= kLastBank; ++bank)
    if (Bank(bank).Unsaved()) return true;
  return false;
}

bool KBankSet::KeepUnsavedWork() {
  if (!journal_ || !HoldsUnsavedWork()) return false;
  // Unwritten, the last good journal stays: the next start offers it as after a crash.
  journal_->Close();
  for (auto& voice : Banks) voice->KeepFiles();
  services_.Retired.KeepFiles();
  return true;
}
