// The progress window that long operations fill while they run: their
// title in a read-only memo and a bar from 0 to 100. It is shown without
// being modal, takes no input and is painted when it changes, because no
// other painting happens while an operation runs.
#pragma once

#include <string>

#include "dialogs/DialogFrame.h"

class QPlainTextEdit;
class QProgressBar;

class TDlgProgress final : public KDialogFrame {
 public:
  explicit TDlgProgress(QWidget* parent = nullptr);

  // Show or hide the window and let the window system deliver its paint
  // events (but no user input), so that it is on screen, or gone, when the
  // call returns.
  void ShowNow();
  void HideNow();
  // Writes the title, sets the bar to 0 and repaints at once.
  void WriteTitle(const std::string& title);
  // Sets the bar to the percentage (kept within 0 to 100), repainting it
  // when it moves.
  void SetBar(int percent);

 protected:
  void PrepareShow() override;
  // The caller hides the window; Esc does not.
  void reject() override {}

 private:
  void Settle(bool exposed);

  QPlainTextEdit* memo_;
  QProgressBar* bar_;
};
