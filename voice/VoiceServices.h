// KVoiceServices: what every voice of a bank set shares below the bank set
// itself: the swap folder its stores live in, the window's progress and
// cursor hooks, and the wave devices. The bank set owns it; tests may build
// one on its own. Bank numbers name the fifteen voices of a set.
#pragma once

#include <memory>
#include <string>
#include <vector>

#include "platform/SafeFileWriter.h"
#include "platform/WaveAudio.h"
#include "store/PcmMMap.h"
#include "voice/UiHooks.h"

// The stores a command replaced or dropped. While a journal names the set's
// swap files they are kept until the next journal no longer names them, so
// that a crash in the middle of a command finds every file the last journal
// names; otherwise they go at once.
class KRetiredStores {
 public:
  void Retire(std::unique_ptr<KPcmMMap> store) {
    if (store && Deferring) held_.push_back(std::move(store));
  }
  void Release() { held_.clear(); }
  void KeepFiles() {
    for (auto& store : held_) store->KeepFile();
  }
  bool Deferring = false;

 private:
  std::vector<std::unique_ptr<KPcmMMap>> held_;
};

struct KVoiceServices {
  std::string SwapFolder;
  KUiHooks& Ui;
  KWaveAudio& Audio;
  KRetiredStores Retired{};
  // Where a save notes the named temporary it falls back to (may be null).
  KTemporaryLog* Temporaries = nullptr;
};

// 0 the copy buffer, 1..12 the banks, 13 and 14 the working voices.
namespace bank {
constexpr int kVoices = 15;
constexpr int kCopyBuffer = 0;
constexpr int kFirst = 1;
constexpr int kLast = 12;
}  // namespace bank
