// KPcmFiles: the four voice file formats (MXV, WAV, VOC, raw PCM) and the
// load and save rules shared by them, as operations of the voice object.
#pragma once

#include <cstdint>
#include <string>

#include "voice/PcmEdit1.h"

class KPcmFiles : public KPcmEdit {
 public:
  // FileType codes: raw PCM 1..4 (mono 8, mono 16, stereo 8, stereo 16),
  // MXV 5 (also a new or cleared voice), WAV 6, VOC 7.
  enum : int32_t { kRawMono8 = 1, kRawMono16 = 2, kRawStereo8 = 3, kRawStereo16 = 4,
                   kMxv = 5, kWav = 6, kVoc = 7 };

  KPcmFiles(KBankSet& set, int32_t bankNumber);

  bool ClearBank() override;

  bool LoadMxvFile(const std::string& path);
  bool SaveMxvFile(const std::string& path = std::string());
  bool ReloadMxvFile();
  bool LoadWavFile(const std::string& path);
  bool SaveWavFile(const std::string& path = std::string());
  bool ReloadWavFile();
  bool LoadVocFile(const std::string& path);
  bool SaveVocFile(const std::string& path = std::string());
  bool ReloadVocFile();
  bool LoadRawPcmFile(const std::string& path, int32_t channels, int32_t bits);
  bool SaveRawPcmFile(const std::string& path = std::string());

  bool SaveToOwnFile();
  bool ReloadFromOwnFile();
  bool ReloadCopiesOfFile();
  // The own file name, or it with its extension replaced by `extension`.
  std::string MakeSaveFileName(const std::string& extension = std::string()) const;

  int32_t FileType = kMxv;
};
