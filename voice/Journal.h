// The journal of a bank set: a small file "journal" in the run folder that
// holds every voice's record (format, rate, END, markers, ZiStart, file
// name, alias, file type), the swap files of its samples and of each undo
// snapshot with its label, the current bank, and the named temporaries of
// saves in progress. It is replaced whole (written under another name, then
// renamed) after every command that changed it; the stores a command
// retired go only after that, so that the journal on disk never names a
// file that is gone. A run that crashed is put back from it.
#pragma once

#include <array>
#include <cstdint>
#include <string>
#include <vector>

#include "platform/SafeFileWriter.h"
#include "platform/Status.h"
#include "voice/VoiceServices.h"

class KBankSet;

struct KJournalValues {
  int32_t Channels = 1, BitsPerSample = 8, SampleRate = 16000;
  int32_t END = 0, MKR = 0, MKL = 0, FLG = 0, ZiStart = 0;
  bool operator==(const KJournalValues&) const = default;
};

struct KJournalSnapshot {
  int Slot = 3;
  KJournalValues Values;
  std::string Store;  // the swap file's name inside the run folder
  std::string Label;
  bool operator==(const KJournalSnapshot&) const = default;
};

struct KJournalVoice {
  KJournalValues Values;
  int32_t FileType = 5;
  std::string FileName, AliasName, Store;
  std::vector<KJournalSnapshot> Undo;
  bool operator==(const KJournalVoice&) const = default;
};

struct KJournalRecord {
  int32_t CurrentBank = 1;
  std::array<KJournalVoice, bank::kVoices> Voices;
  std::vector<std::string> Temporaries;  // full paths
  bool operator==(const KJournalRecord&) const = default;

  // True when a voice holds samples or an undo snapshot.
  bool HoldsWork() const;
};

// The record of `banks` as it is now.
KJournalRecord JournalOf(KBankSet& banks);
std::string JournalText(const KJournalRecord& record);
// Checks every field: a format the voice knows, names that are swap-file
// names and temporaries that are a save's, nothing left over.
KStatus ParseJournal(const std::string& text, KJournalRecord& record);
KStatus ReadJournal(const std::string& folder, KJournalRecord& record);

// Puts the voices of `record` (whose swap files lie in `folder`) into
// `banks`, each store taking a name of its own in the set's swap folder
// (the files in `folder` stay), and selects the bank that was current. A
// voice whose files are missing or too short for its END stays empty and is
// named in the failure.
KStatus RestoreJournal(KBankSet& banks, const KJournalRecord& record, const std::string& folder);
// Removes the named temporaries of saves the record lists.
void RemoveTemporaries(const KJournalRecord& record);

class KJournal final : public KTemporaryLog {
 public:
  static constexpr const char* kFileName = "journal";

  // Keeps the journal of `banks` in `folder`; their retired stores are held
  // from now on until a journal no longer names them.
  KJournal(KBankSet& banks, std::string folder);
  ~KJournal() override;
  KJournal(const KJournal&) = delete;
  KJournal& operator=(const KJournal&) = delete;

  // Writes the journal when the record changed since the last one, then
  // lets the retired stores go. When it cannot be written the old journal
  // is removed instead (a crash then leaves nothing to restore, never a
  // journal naming files that are gone).
  void Update();

  void Noted(const std::string& path) override;
  void Forgotten(const std::string& path) override;

 private:
  bool Write();

  KBankSet& banks_;
  std::string folder_;
  KJournalRecord last_;
  std::string written_;
};
