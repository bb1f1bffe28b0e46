// KWindowView: the main window's readouts as the display layer sees them:
// the position buttons, the rate and format fields, the status-bar panels,
// the Undo item, the bank buttons, the record bar and the message dialog.
#pragma once

#include <array>
#include <functional>

#include "display/VoiceView.h"

class QAbstractButton;
class QAction;
class QLabel;
class QLineEdit;
class TDlgMessage;

struct KWindowControls {
  QAbstractButton* End = nullptr;
  QAbstractButton* Mkl = nullptr;
  QAbstractButton* Mkr = nullptr;
  QAbstractButton* Flg = nullptr;
  QAbstractButton* Mrk = nullptr;
  QLineEdit* SampleRate = nullptr;
  QLineEdit* VoiceInfo = nullptr;
  std::array<QLabel*, 3> Panels{};
  QAction* Undo = nullptr;
  std::array<QAbstractButton*, 12> Banks{};
};

class KWindowView final : public KVoiceView {
 public:
  KWindowView(const KWindowControls& controls, TDlgMessage& messages) : controls_(controls), messages_(messages) {}

  void SetReadout(KReadoutField field, std::string_view text) override;
  void SetStatusPanel(KStatusPanel panel, std::string_view text) override;
  void SetUndoItem(std::string_view caption, bool enabled) override;
  void SetBankImage(int bank, int imageIndex) override;
  void SetRecordProgress(int percent) override;
  void ShowMessage(std::string_view text) override;

  // Where the record bar is while the record dialog is open.
  std::function<void(int)> RecordProgress;

 private:
  KWindowControls controls_;
  TDlgMessage& messages_;
};
