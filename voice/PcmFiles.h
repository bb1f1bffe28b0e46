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
  // before anything is said about the store).
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
  // Shows `text` and reports failure.
  bool Refuse(const std::string& text) {
    ShowMessageText(text);
    return false;
  }
};
