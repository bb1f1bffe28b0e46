// Feeds arbitrary bytes to every voice file loader and checks that the voice
// record stays sound: a refused file leaves the voice as it was, a loaded
// one has its frames inside its store and its markers inside the voice.
#include <unistd.h>

#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <memory>
#include <string>

#include "voice/BankSet.h"
#include "voice/HeadlessVoice.h"

namespace {

struct Scratch {
  Scratch() {
    std::string pattern = (std::filesystem::temp_directory_path() / "melotrix-fuzz-XXXXXX").string();
    if (!mkdtemp(pattern.data())) std::abort();
    folder = pattern;
    std::filesystem::create_directory(folder + "/SYS_DATA");
    banks = std::make_unique<KBankSet>(folder + "/SYS_DATA", KHeadlessVoice::Factory(nullptr));
    banks->SelectBank(1);
  }
  ~Scratch() {
    banks.reset();
    std::error_code ignored;
    std::filesystem::remove_all(folder, ignored);
  }
  std::string folder;
  std::unique_ptr<KBankSet> banks;
};

void Require(bool condition) {
  if (!condition) std::abort();
}

void CheckRecord(const KPcmFiles& v) {
  Require(int64_t(v.END) * v.FrameBytes() <= v.Storage->Size());
  Require(v.Storage->Size() > 0);  // a file of length 0 cannot be mapped
  if (v.END == 0) {
    Require(v.MKL == 0 && v.MKR == 0 && v.FLG == 0 && v.ZiStart == 0);
  } else {
    Require(1 <= v.MKL && v.MKL <= v.MKR && v.MKR <= v.END && 1 <= v.FLG && v.FLG <= v.END);
    Require((v.Channels == 1 || v.Channels == 2) && (v.BitsPerSample == 8 || v.BitsPerSample == 16));
  }
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  static Scratch scratch;
  const std::string path = scratch.folder + "/input";
  FILE* f = std::fopen(path.c_str(), "wb");
  if (!f) return 0;
  std::fwrite(data, 1, size, f);
  std::fclose(f);
  KPcmFiles& v = scratch.banks->Bank(1);
  for (const KFileFormat& format : FileFormats()) {
    v.ClearBank();
    bool loaded = format.Load(v, path);
    if (!loaded) Require(v.END == 0 && v.Storage->Size() == 16);
    CheckRecord(v);
  }
  return 0;
}
