// KCommandRunner: how the main window runs a command. It gathers the
// command's input from the dialog, prompt or control its row names, then
// runs the row through RunWindowCommand; as the command map's host it shows
// the progress bracket, beeps and redraws the zoom-in box.
#pragma once

#include <QWidget>
#include <deque>
#include <functional>
#include <optional>
#include <string>

#include "app/Drecord.h"
#include "app/LoopGuard.h"
#include "commands/CommandContext.h"
#include "commands/CommandIds.h"
#include "commands/FileDialogs.h"
#include "dialogs/Dchselb.h"
#include "dialogs/Dchselc.h"
#include "dialogs/Dformat.h"
#include "dialogs/Dimport.h"
#include "dialogs/Dlgmsg.h"
#include "dialogs/Dlgstr1.h"
#include "dialogs/Dmergech.h"
#include "dialogs/Dmixer.h"
#include "dialogs/Dprogess.h"
#include "dialogs/Dsplitch.h"
#include "dialogs/ProgressHooks.h"

// The dialogs of the window, each created once and reused.
struct KDialogs {
  explicit KDialogs(QWidget* parent)
      : Message(parent),
        String1(parent),
        ChannelSelB(parent),
        ChannelSelC(parent),
        Mixer(parent),
        Split(parent),
        Merge(parent),
        Format(parent),
        Progress(parent),
        Record(parent),
        Import(parent) {}
  TDlgMessage Message;
  TDlgString1 String1;
  TDlgChannelSelB ChannelSelB;
  TDlgChannelSelC ChannelSelC;
  TDlgMixer Mixer;
  TDlgSplitChannel Split;
  TDlgMergeChannel Merge;
  TDlgVoiceFormat Format;
  TDlgProgress Progress;
  TDlgRecord Record;
  TDlgImportSound Import;
};

class KCommandRunner final : public KCommandHost {
 public:
  KCommandRunner(QWidget& window, KDialogs& dialogs) : window_(window), dialogs_(dialogs) {}
  void Attach(KCommandContext& context) { context_ = &context; }

  // Gathers the input of the row `id` and runs it; false when a dialog was
  // cancelled, a check refused or the operation failed.
  bool Run(KCommandId id);
  // Runs a row with input the caller gathered (control positions, clicks).
  bool Run(KCommandId id, const KCommandInput& input);
  // "Import sound file ..." for a file already named: the import dialog, then the import.
  bool Import(const std::string& path);

  // True while a command runs, its dialogs and loops included.
  bool Busy() const { return depth_ > 0; }
  // Runs `action` now, or in order once the running command has returned:
  // files handed over or dropped meanwhile, the devices' close on
  // deactivation. Nothing runs under a running operation.
  void WhenIdle(std::function<void()> action);
  // The program is to end (a signal, a close of the window): a play or
  // record loop stops as on Escape, every dialog and event loop running
  // returns, none opened later blocks, and queued work is dropped.
  void RequestQuit();
  bool QuitRequested() const { return quitting_; }

  void RepaintNow() override;
  void ShowProgress() override;
  void HideProgress() override;
  void Beep() override;
  void RedrawZoomIn() override;

  // The open and save dialogs; tests answer them instead.
  std::function<std::optional<std::string>(const KFileDialogSetup&)> ChooseFile;
  // Runs after every command (the window's check marks).
  std::function<void()> AfterCommand;
  // Holds the window's input while a play or record command runs.
  KLoopGuard* Guard = nullptr;

 private:
  // Runs a command as the running one (busy while it runs), then the queued work.
  bool Outermost(const std::function<bool()>& command);
  // The two halves of Run: gather and run, or run what was gathered.
  bool GatherAndRun(KCommandId id, const std::string& path = {});
  bool RunGathered(KCommandId id, const KCommandInput& input);
  // Fills `input` from the dialog or prompt of the row; false when the user
  // cancelled (or a check before the dialog refused).
  bool Gather(KCommandId id, KCommandInput& input);
  bool GatherLength(KCommandId id, KCommandInput& input);
  // The import dialog for the file `input` names; false when it was cancelled.
  bool GatherImport(KCommandInput& input);
  // Runs the queued work once the outermost command has returned.
  void RunQueued();
  std::optional<std::string> AskFile(const KFileDialogSetup& setup);

  QWidget& window_;
  KDialogs& dialogs_;
  KCommandContext* context_ = nullptr;
  int depth_ = 0;
  bool quitting_ = false;
  std::deque<std::function<void()>> queued_;
};
