// What the loader fuzz targets share: a private swap folder with one bank
// set, and the check of one input through one row of the format table. A
// refused file must leave the voice as it was and show a message; a loaded
// one must give a sound record, save in its own format and load back to
// the same frames.
#pragma once

#include <unistd.h>

#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <memory>
#include <string>
#include <tuple>
#include <vector>

#include "voice/BankSet.h"
#include "voice/HeadlessVoice.h"

namespace fuzz {

inline void Require(bool condition) {
  if (!condition) std::abort();
}

class KLoaderScratch {
 public:
  KLoaderScratch() {
    std::string pattern = (std::filesystem::temp_directory_path() / "melotrix-fuzz-XXXXXX").string();
    Require(mkdtemp(pattern.data()) != nullptr);
    folder_ = pattern;
    std::filesystem::create_directory(folder_ + "/SYS_DATA");
    banks_ = std::make_unique<KBankSet>(folder_ + "/SYS_DATA",
                                        KHeadlessVoice::Factory([this](const std::string&) { ++messages_; }));
    banks_->SelectBank(1);
  }
  ~KLoaderScratch() {
    banks_.reset();
    std::error_code ignored;
    std::filesystem::remove_all(folder_, ignored);
  }

  // Writes the input file and runs it through `format`.
  void Run(const uint8_t* data, size_t size, const KFileFormat& format);

 private:
  // Eight frames of mono 8-bit with the markers inside, as a user's voice.
  static void GiveVoice(KPcmFiles& v) {
    v.ClearBank();
    Require(v.Storage->Resize(8));
    uint8_t* view = v.Storage->MapView(0, 8);
    Require(view != nullptr);
    for (int i = 0; i < 8; ++i) view[i] = uint8_t(i * 31);
    v.Storage->UnmapView(view);
    v.END = 8;
    v.MKL = 2;
    v.MKR = 7;
    v.FLG = 3;
    v.ZiStart = 1;
  }

  static std::vector<uint8_t> Bytes(KPcmFiles& v, int64_t n) {
    if (n <= 0) return {};
    Require(n <= v.Storage->Size());
    uint8_t* view = v.Storage->MapView(0, int32_t(n));
    Require(view != nullptr);
    std::vector<uint8_t> bytes(view, view + n);
    v.Storage->UnmapView(view);
    return bytes;
  }

  static auto State(KPcmFiles& v) {
    return std::make_tuple(Bytes(v, int64_t(v.END) * v.FrameBytes()), v.Channels, v.BitsPerSample, v.SampleRate, v.END,
                           v.MKL, v.MKR, v.FLG, v.ZiStart, v.FileName, v.AliasName, v.FileType);
  }

  static void CheckRecord(const KPcmFiles& v) {
    Require(int64_t(v.END) * v.FrameBytes() <= v.Storage->Size());
    Require(v.Storage->Size() > 0);  // a file of length 0 cannot be mapped
    Require((v.Channels == 1 || v.Channels == 2) && (v.BitsPerSample == 8 || v.BitsPerSample == 16));
    Require(v.AliasName.size() <= KPcmBank::kAliasMax);
    if (v.END == 0) {
      Require(v.MKL == 0 && v.MKR == 0 && v.FLG == 0 && v.ZiStart == 0);
    } else {
      Require(1 <= v.MKL && v.MKL <= v.MKR && v.MKR <= v.END && 1 <= v.FLG && v.FLG <= v.END);
    }
  }

  // Saves the loaded voice in its own format and loads it back: the same
  // format, rate and alias (WAV, VOC and raw keep none, so it stays empty),
  // and the frames a save writes (whole groups of four bytes). A raw file
  // of no bytes is not loaded back: an empty file is refused.
  void RoundTrip(KPcmFiles& v, const KFileFormat& format) {
    const int64_t saved = int64_t(v.END) * v.FrameBytes() & ~int64_t(3);
    const auto expected = std::make_tuple(Bytes(v, saved), v.Channels, v.BitsPerSample, v.SampleRate, v.AliasName);
    const std::string output = folder_ + "/output." + format.Extension;
    Require(format.Save(v, output));
    if (format.Raw() && saved == 0) return;  // an empty raw file is refused by design
    Require(format.Load(v, output));
    CheckRecord(v);
    Require(int64_t(v.END) * v.FrameBytes() == saved);
    Require(std::make_tuple(Bytes(v, saved), v.Channels, v.BitsPerSample, v.SampleRate, v.AliasName) == expected);
  }

  std::string folder_;
  int messages_ = 0;
  std::unique_ptr<KBankSet> banks_;
};

inline void KLoaderScratch::Run(const uint8_t* data, size_t size, const KFileFormat& format) {
  const std::string input = folder_ + "/input";
  FILE* f = std::fopen(input.c_str(), "wb");
  Require(f != nullptr);
  Require(size == 0 || std::fwrite(data, 1, size, f) == size);
  Require(std::fclose(f) == 0);
  KPcmFiles& v = banks_->Bank(1);
  GiveVoice(v);
  const auto before = State(v);
  const int shown = messages_;
  if (!format.Load(v, input)) {
    Require(State(v) == before && messages_ == shown + 1);
    CheckRecord(v);
    return;
  }
  Require(messages_ == shown && v.FileName == input && v.FileType == format.Type);
  CheckRecord(v);
  RoundTrip(v, format);
}

// Runs the input through every row of the format table with `type`, or
// through every raw row when `raw` is set.
inline void FuzzLoaders(const uint8_t* data, size_t size, bool raw, KFileType type) {
  static KLoaderScratch scratch;
  for (const KFileFormat& format : FileFormats())
    if (raw ? format.Raw() : format.Type == type) scratch.Run(data, size, format);
}

}  // namespace fuzz
