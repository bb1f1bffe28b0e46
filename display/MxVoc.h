// KMxVoc: the final voice class of the window program. Selecting its bank
// also makes it the current voice.
#pragma once

#include <memory>

#include "display/PcmGui.h"
#include "voice/BankSet.h"

class KMxVoc final : public KPcmGui {
 public:
  using KPcmGui::KPcmGui;

  // The display layer draws this voice first; only then is it current.
  bool SelectBank() override {
    if (!KPcmGui::SelectBank()) return false;
    Set.CurrentVoice = this;
    return true;
  }

  // A factory for KBankSet whose voices all draw into `display`.
  static KBankSet::Factory Factory(KDisplay& display) {
    return [&display](KBankSet& set, int32_t index) -> std::unique_ptr<KPcmFiles> {
      return std::make_unique<KMxVoc>(set, index, display);
    };
  }
};
