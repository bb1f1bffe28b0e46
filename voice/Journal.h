// The journal of a bank set: a small file "journal" in the run folder that
// holds every voice's record (format, rate, END, markers, ZiStart, file
// name, alias, file type, whether it differs from its file), the swap files
// of its samples and of each undo snapshot with its label, the current bank,
// the named temporaries of saves in progress, and whether the run was closed
// on purpose with unsaved banks. It is replaced whole (written under another
// name, then renamed) after every command that changed it; the stores a
// command retired go only after that, so that the journal on disk never
// names a file that is gone. A run that crashed, or was closed with unsaved
// banks, is put back from it.
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
  bool Changed = false;  // differs from the file it was loaded from or saved to
  bool operator==(const KJournalVoice&) const = default;

  bool HoldsWork() const { return Values.END > 0 || !Undo.empty(); }
};

struct KJournalRecord {
  int32_t CurrentBank = 1;
  std::array<KJournalVoice, bank::kVoices> Voices;
  std::vector<std::string> Temporaries;  // full paths
  bool Closed = false;                   // the window was closed on purpose, with unsaved banks
  bool operator==(const KJournalRecord&) const = default;

  // True when a voice holds samples or an undo snapshot.
  bool HoldsWork() const;
};

// The record of `banks` as it is now.
KJournalRecord JournalOf(KBankSet& banks);
std::string JournalText(const KJournalRecord& record);
// Checks every field: a format the voice knows, a rate a voice holds (a
// positive multiple of 25), markers within the voice, a bank that exists,
// names that are swap-file names and temporaries that are a save's, nothing
// left over.
KStatus ParseJournal(const std::string& text, KJournalRecord& record);
// `missing` (may be null) tells a folder without a journal from one whose
// journal cannot be read or is damaged.
KStatus ReadJournal(const std::string& folder, KJournalRecord& record, bool* missing = nullptr);
// Replaces the journal in `folder` by `record` (under another name, then renamed).
KStatus WriteJournal(const std::string& folder, const std::string& text);

// Puts the voices of `record` into `banks` (an empty one takes only its
// record; one that holds work also its swap files, which lie in `folder`,
// each store taking a name of its own in the set's swap folder while the
// files in `folder` stay), and selects the bank that was current. Each voice comes back whole or not at all: one whose
// swap file or one of whose snapshots' files is missing, no regular file, cut short or cannot be taken over leaves its
// bank as it was, is added to `failed` (may be null) and named in the failure with the reason.
KStatus RestoreJournal(KBankSet& banks, const KJournalRecord& record, const std::string& folder,
                       std::vector<int>* failed = nullptr);
// "bank 3", "copy buffer", "working voice 13".
std::string VoiceName(int index);
// `record` with only the voices `kept`: the rest emptied.
KJournalRecord KeepOnly(const KJournalRecord& record, const std::vector<int>& kept);
// Removes the named temporaries of saves the record lists.
void RemoveTemporaries(const KJournalRecord& record);

class KJournal final : public KTemporaryLog {
 public:
  static constexpr const char* kFileName = "journal";

  // Keeps the journal of `banks` in `folder`; their retired stores are held
  // from now on until a journal no longer names them.
  KJournal(KBankSet& banks, std::string folder);
  // Removes the journal before the stores it names go (unless Close() kept
  // it), so that a run killed while it ends leaves nothing to restore.
  ~KJournal() override;
  KJournal(const KJournal&) = delete;
  KJournal& operator=(const KJournal&) = delete;

  // Writes the journal when the record changed since the last one written,
  // then lets the retired stores go. When it cannot be written (a full
  // disk) the last good journal stays and so do the stores it names; the
  // user is told once that recovery is paused, and again when it works.
  void Update();
  // The window is closing with unsaved banks: the journal says so and stays
  // when the journal goes away. False when it could not be written (the
  // last good journal then stays all the same).
  bool Close();

  void Noted(const std::string& path) override;
  void Forgotten(const std::string& path) override;

 private:
  // The record of the banks as they are, with the temporaries noted.
  KJournalRecord Now() const;
  bool Write(const KJournalRecord& record);
  void WriteTemporaries();

  KBankSet& banks_;
  std::string folder_;
  KJournalRecord written_;  // the record on disk
  std::vector<std::string> temporaries_;
  bool wrote_ = false, paused_ = false, kept_ = false;
};
