// KPcmFiles: the four voice file formats (MXV, WAV, VOC, raw PCM) and the
// load and save rules shared by them, as operations of the voice object.
#pragma once

#include <cstdint>
#include <functional>
#include <string>
#include <vector>

#include "formats/VoiceLayout.h"
#include "platform/BlockCopy.h"
#include "voice/FileFormats.h"
#include "voice/PcmEdit1.h"

class KBankSet;

class KPcmFiles : public KPcmEdit {
 public:
  KPcmFiles(KBankSet& set, int32_t bankNumber);

  bool ClearBank() override;
  // Whether the voice differs from the file it was loaded from or last
  // saved to: its samples, format, rate or END changed since then (an edit,
  // a take, a paste, a clear). A voice never loaded starts unchanged.
  bool Changed() const { return State() != unchanged_; }
  // Unsaved work: changed, with samples or an undo snapshot to lose.
  bool Unsaved() const { return Changed() && (END > 0 || UndoDepth() > 0); }
  // Sets what Changed() answers (a restored voice takes its journal's).
  void MarkChanged(bool changed);
  // Records this bank as the set's current bank number.
  bool SelectBank() override;
  KPcmFiles& Peer(int32_t index) override;

  bool LoadMxvFile(const std::string& path);
  bool SaveMxvFile(const std::string& path);
  bool ReloadMxvFile();
  bool LoadWavFile(const std::string& path);
  bool SaveWavFile(const std::string& path);
  bool ReloadWavFile();
  bool LoadVocFile(const std::string& path);
  bool SaveVocFile(const std::string& path);
  bool ReloadVocFile();
  bool LoadRawPcmFile(const std::string& path, int32_t channels, int32_t bits);
  bool SaveRawPcmFile(const std::string& path);

  // Writes the samples of a load into the new store's file; a failure's
  // message is shown as it is (one with the code KBlockCopy::kReadFailed
  // before anything is said about the store), none for KBlockCopy::kStopped.
  using SampleFill = std::function<KStatus(KPlainFile& samples, KProgress& progress)>;
  // The second half of every load, for any reader of sound files: `fill`
  // writes layout.DataBytes bytes of `layout`'s format into a new store,
  // which the voice then takes, named `path` and bound to `fileType` with
  // the alias and format of `layout` (the rate rounded down to 25), all
  // marked. False, with the voice unchanged, when a step failed. The caller
  // runs PrepareLoad first.
  bool LoadSamples(const std::string& path, const char* title, KFileType fileType, const KVoiceLayout& layout,
                   const SampleFill& fill);

  // Save and reload in the format of FileType, from and to FileName.
  bool SaveToOwnFile();
  bool ReloadFromOwnFile();
  bool ReloadCopiesOfFile();
  // The own file name, or it with its extension replaced by `extension`.
  std::string MakeSaveFileName(const std::string& extension = std::string()) const;

  KBankSet& Set;
  KFileType FileType = KFileType::Mxv;
  // Seconds that seed the key table of an MXV save (the time of day; tests
  // set their own).
  std::function<int64_t()> SecondsClock;

 private:
  // What a load or save binds the voice to: the swap file of its samples
  // (an edit always leaves them in another) and the format.
  struct KFileState {
    std::string Store;
    int32_t Channels = 0, BitsPerSample = 0, SampleRate = 0, END = 0;
    bool operator==(const KFileState&) const = default;
  };
  KFileState State() const { return {Storage->BaseName(), Channels, BitsPerSample, SampleRate, END}; }

  using Checker = std::function<KStatus(const KPlainFile&, const std::string&, KVoiceLayout&)>;

  // Checks the whole file with `check` before the voice is touched, copies
  // the samples into a new store and only then gives the voice the store
  // and the file's format.
  bool LoadVoice(const std::string& path, const KFileKind& kind, KFileType fileType, const Checker& check);
  // Writes `header` and `dataBytes` sample bytes (through `transform`) in
  // place of `target`, then binds the voice to it.
  bool SaveVoice(const std::string& target, const KFileKind& kind, KFileType fileType,
                 const std::vector<uint8_t>& header, int32_t dataBytes, const KBlockCopy::Transform& transform);
  // The number of sample bytes a save writes: END frames, down to a multiple of 4.
  int32_t SaveBytes() const;
  KFileState unchanged_;  // the voice as it was last loaded or saved

  // Shows `text` and reports failure.
  bool Refuse(const std::string& text) {
    ShowMessageText(text);
    return false;
  }
};
