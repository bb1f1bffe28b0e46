// A final voice class without a window, for the command-line front end and
// the tests: messages go to a sink the owner chooses, the display hooks do
// nothing, and selecting a bank makes it the current voice.
#pragma once

#include <functional>
#include <string>

#include "resources/StringTable.h"
#include "voice/BankSet.h"

class KHeadlessVoice : public KPcmFiles {
 public:
  using MessageSink = std::function<void(const std::string&)>;

  KHeadlessVoice(KBankSet& set, int32_t bankNumber, MessageSink sink)
      : KPcmFiles(set, bankNumber), sink_(std::move(sink)) {}

  bool ShowNotice(const std::string& text) override { return ShowMessageText(text); }
  bool ShowMessageText(const std::string& text) override {
    if (sink_) sink_(text);
    return true;
  }
  bool ShowMessageId(int id) override { return ShowMessageText(KLoadMessageText(id)); }
  bool SelectBank() override {
    KPcmFiles::SelectBank();
    Set.CurrentVoice = this;
    return true;
  }

  // A factory for KBankSet whose voices all report to `sink`.
  static KBankSet::Factory Factory(MessageSink sink) {
    return [sink](KBankSet& set, int32_t index) -> std::unique_ptr<KPcmFiles> {
      return std::make_unique<KHeadlessVoice>(set, index, sink);
    };
  }

 private:
  MessageSink sink_;
};
