// TFormMain: the main window. It owns the run's display state, the dialogs
// and the fifteen voices, lays out the bank strip, the command column and
// the waveform column as designed, and runs every command through the
// command map, as the command-line front end does.
#pragma once

#include <QIcon>
#include <QMainWindow>
#include <array>
#include <functional>
#include <map>
#include <memory>
#include <optional>
#include <string>

#include "app/CommandRunner.h"
#include "app/LoopGuard.h"
#include "app/PaintBox.h"
#include "app/WindowView.h"
#include "commands/CommandContext.h"
#include "commands/MenuTable.h"
#include "display/Display.h"
#include "display/PcmGui.h"
#include "display/paint/Artwork.h"
#include "platform/WaveAudio.h"

class QLabel;
class QScrollBar;

class TFormMain final : public QMainWindow {
 public:
  static constexpr int kClientWidth = 793, kClientHeight = 526;

  TFormMain(const std::string& swapFolder, KWaveAudio& audio, QWidget* parent = nullptr);
  ~TFormMain() override;

  KBankSet& Banks() { return *banks_; }
  KDisplay& Display() { return display_; }
  KCommandContext& Context() { return *context_; }
  KCommandRunner& Runner() { return *runner_; }
  KLoopGuard& Guard() { return guard_; }
  KPcmGui& Current() { return static_cast<KPcmGui&>(*banks_->CurrentVoice); }
  // The menu item or button of that object name.
  QAction* Action(const std::string& name) const;

  // The colour dialog, preset to the slot's colour; tests answer it instead.
  // None when it was cancelled.
  std::function<std::optional<KColour>(KColour)> ChooseColour;

  // Loads a file into the current bank by its extension (MXV, WAV, VOC), as
  // the matching Load command does; a sound file that no voice loader takes
  // as it is goes to the import dialog. `path` holds the file system's bytes.
  bool LoadFile(const std::string& path);
  // A file named on the command line, handed over by a second copy or
  // dropped on the window: loaded once no command runs, in the order given.
  void OpenFile(const std::string& path);

  // Runs what a menu item runs.
  void RunMenuItem(const KMenuItem& item);
  // Check marks after the display options.
  void SyncChecks();
  // The bank buttons' pictures after the banks' contents: a voice or none
  // (after every command, and after banks were restored).
  void ShowBankContents();

 protected:
  void closeEvent(QCloseEvent* event) override;
  void dragEnterEvent(QDragEnterEvent* event) override;
  void dropEvent(QDropEvent* event) override;
  bool eventFilter(QObject* watched, QEvent* event) override;

 private:
  QWidget* BuildBankStrip(QWidget* parent);
  QWidget* BuildCommandColumn(QWidget* parent);
  QWidget* BuildWaveformColumn(QWidget* parent);
  void BuildStatusBar();
  void BuildMenuBar();
  void ConnectBoxes();

  KDialogs dialogs_;
  KLoopGuard guard_;
  KQtUiHooks hooks_;
  KDisplay display_;
  std::unique_ptr<KBankSet> banks_;
  std::unique_ptr<KCommandRunner> runner_;
  std::unique_ptr<KCommandContext> context_;
  KWindowControls controls_;
  std::unique_ptr<KWindowView> view_;
  KPaintBox* zoomIn_ = nullptr;
  KPaintBox* overview_ = nullptr;
  QScrollBar* rateBar_ = nullptr;
  QWidget* voiceInfo_ = nullptr;
  std::map<std::string, QAction*> actions_;
  // The bank button's icon of an empty bank and of one holding a voice.
  const std::array<QIcon, 2> bankIcons_{BankIcon(false), BankIcon(true)};
  int shifterPosition_ = 0;
};
