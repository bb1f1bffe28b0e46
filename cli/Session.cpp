#include "cli/Session.h"

#include <algorithm>
#include <fstream>
#include <iostream>
#include <optional>

#include "cli/CliVoice.h"
#include "cli/Interrupt.h"
#include "platform/SystemDir.h"
#include "resources/StringTable.h"
#include "voice/CrashedRuns.h"

bool KCliSession::Open() {
  std::string error;
  const std::string base = platform::SwapFolder();
  if (!folder_.Create(base, KRunFolder::kFrontEndPrefix, error)) {
    std::cerr << "melotrix-cli: " << error << std::endl;
    return false;
  }
  // The window's crashed runs wait for the window, which offers them back.
  SweepRunFolders(base, KRunFolder::kFrontEndPrefix);
  WatchQuitSignals(folder_.Path());
  banks_ = std::make_unique<KBankSet>(folder_.Path(), KCliVoice::Factory(log_), &ui_, &audio_);
  banks_->SelectBank(1);
  banks_->KeepJournal(folder_.Path());
  context_ = std::make_unique<KCommandContext>(*banks_, host_);
  return true;
}

bool KCliSession::Run(const KScriptCommand& command) {
  if (command.Command->Own) return command.Command->Own(*this, command.Args);
  std::optional<KInterruptScope> interrupt;
  if (command.Command->Stoppable) interrupt.emplace();
  KCommandInput input;
  if (command.Command->Fill) command.Command->Fill(command.Args, input);
  return RunWindowCommand(*context_, *command.Window, input);
}

int KCliSession::RunScript(const std::vector<KScriptCommand>& commands, bool keepGoing, bool trace) {
  bool shown = false;
  for (const KScriptCommand& command : commands) {
    int before = log_.Count();
    bool ok = Run(command);
    if (trace) std::cout << command.Written << " -> " << (ok ? "true" : "false") << std::endl;
    if (log_.Count() == before) continue;
    shown = true;
    if (!keepGoing) break;
  }
  return shown ? 1 : 0;
}

bool KCliSession::PrintState() {
  KPcmFiles& v = Voice();
  std::string undo;
  v.UndoLabel(undo);
  std::cout << "bank=" << banks_->CurrentBankNumber << "\nchannels=" << v.Channels << "\nbits=" << v.BitsPerSample
            << "\nrate=" << v.SampleRate << "\nend=" << v.END << "\nmkl=" << v.MKL << "\nmkr=" << v.MKR
            << "\nflg=" << v.FLG << "\nzistart=" << v.ZiStart << "\nfiletype=" << int(v.FileType)
            << "\nfile=" << v.FileName << "\nalias=" << v.AliasName << "\nundo=" << undo
            << "\nundo_depth=" << v.UndoDepth() << std::endl;
  return true;
}

bool KCliSession::Dump(const std::string& path) {
  KPcmFiles& v = Voice();
  std::ofstream out(path, std::ios::binary | std::ios::trunc);
  const int64_t total = int64_t(v.END) * v.FrameBytes();
  for (int64_t at = 0; out && at < total; at += KPcmMMap::kWindow) {
    int32_t length = int32_t(std::min<int64_t>(KPcmMMap::kWindow, total - at));
    const uint8_t* view = v.Storage->MapView(int32_t(at), length);
    if (!view) {
      out.setstate(std::ios::failbit);
      break;
    }
    out.write(reinterpret_cast<const char*>(view), length);
    v.Storage->UnmapView(view);
  }
  out.close();
  if (out) return true;
  v.ShowMessageText(msg::CannotCreate(path));
  return false;
}
