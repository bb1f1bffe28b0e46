// KVoiceServices: what every voice of a bank set shares below the bank set
// itself: the swap folder its stores live in, the window's progress and
// cursor hooks, and the wave devices. The bank set owns it; tests may build
// one on its own. Bank numbers name the fifteen voices of a set.
#pragma once

#include <string>

#include "platform/WaveAudio.h"
#include "voice/UiHooks.h"

struct KVoiceServices {
  std::string SwapFolder;
  KUiHooks& Ui;
  KWaveAudio& Audio;
};

// 0 the copy buffer, 1..12 the banks, 13 and 14 the working voices.
namespace bank {
constexpr int kVoices = 15;
constexpr int kCopyBuffer = 0;
constexpr int kFirst = 1;
constexpr int kLast = 12;
}  // namespace bank
