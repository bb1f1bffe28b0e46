// One run of melotrix-cli: a run folder of its own with the journal, the fifteen voices in the
// state the window starts in (bank 1 selected), the wave devices over ALSA,
// the command context with a host that shows nothing, and the runner of
// checked scripts.
#pragma once

#include <memory>
#include <string>
#include <vector>

#include "cli/Interrupt.h"
#include "cli/MessageLog.h"
#include "cli/Script.h"
#include "platform/AlsaWaveAudio.h"
#include "platform/RunFolder.h"

class KCliSession {
 public:
  // False, after a message on stderr naming the swap folder, when it
  // cannot be created.
  bool Open();

  // Runs one command; returns its success flag.
  bool Run(const KScriptCommand& command);
  // Runs the commands in order and returns the exit status: stops after the
  // first command that showed a message (status 1) unless `keepGoing`;
  // with `trace` each command is echoed with its flag on stdout.
  int RunScript(const std::vector<KScriptCommand>& commands, bool keepGoing, bool trace);

  // The front end's own commands.
  bool PrintState();
  bool Dump(const std::string& path);

  KPcmFiles& Voice() { return context_->Voice(); }
  KBankSet& Banks() { return *banks_; }
  int Messages() const { return log_.Count(); }
  KMessageLog& Log() { return log_; }
  KCliUi& Ui() { return ui_; }

 private:
  KRunFolder folder_;
  KMessageLog log_;
  KAlsaWaveAudio audio_;
  KCliUi ui_;
  std::unique_ptr<KBankSet> banks_;
  KCommandHost host_;
  std::unique_ptr<KCommandContext> context_;
};
