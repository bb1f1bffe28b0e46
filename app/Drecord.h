// TDlgRecord: the record dialog. It gathers channels, width, rate and the
// record time, then runs the recording through the callback the window gives
// it (the command map's Record row) and closes with OK.
#pragma once

#include <functional>
#include <optional>
#include <string>

#include "commands/CommandContext.h"
#include "dialogs/DialogFrame.h"

class QButtonGroup;
class QLineEdit;
class QProgressBar;
class QPushButton;
class QScrollBar;

class TDlgRecord final : public KDialogFrame {
 public:
  explicit TDlgRecord(QWidget* parent = nullptr);

  // Opens modally for a voice of that format and rate. `record` runs while
  // the dialog is still open (its bar shows the progress).
  void Ask(int channels, int bits, int rate, std::function<void(const KCommandInput&)> record);
  // The record bar, 0..100.
  void SetProgress(int percent);

  // The seconds a record-time text stands for: the whole text a finite
  // number, read with "." under every locale; none otherwise.
  static std::optional<double> RecordSeconds(const std::string& text);

 protected:
  void PrepareShow() override;

 private:
  void StartRecord();

  QButtonGroup* channels_;
  QButtonGroup* bits_;
  QLineEdit* rateText_;
  QScrollBar* rate_;
  QLineEdit* length_;
  QProgressBar* bar_;
  QPushButton* record_;
  QPushButton* cancel_;
  int voiceChannels_ = 1, voiceBits_ = 8, voiceRate_ = 16000;
  std::function<void(const KCommandInput&)> run_;
};
