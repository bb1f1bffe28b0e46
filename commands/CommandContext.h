// Everything a window command works with: the bank set (and through it the
// current voice), the window as host, the display options and the prompts'
// remembered texts. The window keeps one for the run; tests make them afresh.
#pragma once

#include <array>
#include <cstdint>
#include <string>

#include "commands/CommandHost.h"
#include "commands/PromptTexts.h"
#include "display/DisplayOptions.h"
#include "sound/SoundConvert.h"
#include "voice/BankSet.h"

// What a command gathered from its dialog, prompt or control before it runs.
// Each command reads only the fields it needs.
struct KCommandInput {
  std::string Path;                // open and save dialogs
  std::string AmplifierPercent;    // the amplifier prompt
  std::string EchoAttenuation;     // the echo prompt's first line (percent)
  std::string EchoDelay;           // and its second line (milliseconds)
  std::string NormalizeLevel;      // the normalise prompt (dBFS)
  std::string SoundThreshold;      // the mark-sound prompt's first line (dBFS)
  std::string SoundMargin;         // and its second line (milliseconds)
  std::string Alias;               // the alias prompt
  int32_t Frames = 0;              // a length in sample frames (auto-mark, insert mute)
  std::array<int32_t, 4> Banks{};  // mixer sources; split and merge use the first two
  int32_t Channels = 1, Bits = 8;  // raw PCM load, format and record dialogs
  double Seconds = 0.0;            // record time
  int32_t ScrollPosition = 16000;  // a rate scroll bar's position
  int32_t SamplePosition = 0;      // where a zoom-in click lands
  KConvertRequest Import;          // the import dialog: the voice format and the preparation
};

class KCommandContext {
 public:
  // Display options of its own (the command-line front end), or the run's
  // shared ones (the window, whose display layer reads them).
  KCommandContext(KBankSet& banks, KCommandHost& host) : KCommandContext(banks, host, ownOptions_) {}
  KCommandContext(KBankSet& banks, KCommandHost& host, KDisplayOptions& options)
      : Banks(banks), Host(host), Options(options) {}
  KCommandContext(const KCommandContext&) = delete;
  KCommandContext& operator=(const KCommandContext&) = delete;

  KPcmFiles& Voice() { return *Banks.CurrentVoice; }

  KBankSet& Banks;
  KCommandHost& Host;
  KDisplayOptions& Options;
  KPromptTexts Prompts;

 private:
  KDisplayOptions ownOptions_;
};
