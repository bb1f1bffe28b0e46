// The voice's progress and cursor hooks on the desktop: the progress window
// and the application's override cursor.
#pragma once

#include <Qt>
#include <functional>

#include "voice/UiHooks.h"

class TDlgProgress;

// The cursor shape of a role: a wait cursor for edits, a busy arrow for
// loading, saving and playing.
Qt::CursorShape KCursorShape(KCursorRole role);

class KQtUiHooks final : public KUiHooks {
 public:
  explicit KQtUiHooks(TDlgProgress& progress) : progress_(progress) {}

  bool ProgressVisible() const override;
  void ProgressTitle(const std::string& title) override;
  void ProgressBar(int percent) override;
  void PushCursor(KCursorRole role) override;
  void PopCursor() override;
  // The play and record loops ask on every pass; the window answers.
  bool StopRequested() override { return StopPoll && StopPoll(); }
  void RecoveryNotice(const std::string& text) override {
    if (Notice) Notice(text);
  }

  std::function<bool()> StopPoll;
  std::function<void(const std::string&)> Notice;

 private:
  TDlgProgress& progress_;
};
