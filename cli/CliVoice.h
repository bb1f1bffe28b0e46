// The final voice class of melotrix-cli: a voice without a window whose
// messages go to the run's message log.
#pragma once

#include <memory>

#include "cli/MessageLog.h"
#include "voice/HeadlessVoice.h"

class KCliVoice final : public KHeadlessVoice {
 public:
  KCliVoice(KBankSet& set, int32_t bankNumber, KMessageLog& log)
      : KHeadlessVoice(set, bankNumber, [&log](const std::string& text) { log.Show(text); }) {}

  static KBankSet::Factory Factory(KMessageLog& log) {
    return [&log](KBankSet& set, int32_t index) -> std::unique_ptr<KPcmFiles> {
      return std::make_unique<KCliVoice>(set, index, log);
    };
  }
};
