// The message dialog through which every operation reports a failure: the
// text in a read-only memo, one line per line break, and an OK button.
#pragma once

#include <string>

#include "dialogs/DialogFrame.h"

class QPlainTextEdit;

class TDlgMessage final : public KDialogFrame {
 public:
  explicit TDlgMessage(QWidget* parent = nullptr);

  // Puts the text into the memo, sounds the default beep and waits for OK.
  void ShowText(const std::string& text);

 protected:
  void PrepareShow() override;

 private:
  QPlainTextEdit* memo_;
  QPushButton* ok_;
};
