// What the voice object needs of the window beyond its own virtual hooks:
// the progress window, the four cursor roles and the stop request of the
// play and record loops. The window implements it; headless front ends use
// the base, which shows nothing and never stops a loop.
#pragma once

#include <cstdint>
#include <string>

#include "platform/CopyProgress.h"

enum class KCursorRole { Busy, Load, Save, Play };

class KUiHooks {
 public:
  virtual ~KUiHooks() = default;
  virtual bool ProgressVisible() const { return false; }
  // Writes the title, sets the bar to 0 and repaints at once.
  virtual void ProgressTitle(const std::string& /*title*/) {}
  virtual void ProgressBar(int /*percent*/) {}
  virtual void PushCursor(KCursorRole /*role*/) {}
  virtual void PopCursor() {}
  // Polled on every pass of the play and record loops: true once the user
  // asked them to stop (Escape in the window, Ctrl+C in melotrix-cli).
  virtual bool StopRequested() { return false; }
  // Crash recovery stopped or works again (a full swap disk): told once
  // each time, as information rather than a failure of the command.
  virtual void RecoveryNotice(const std::string& /*text*/) {}
};

// The progress convention of a frame loop: title and bar 0 at the start,
// then the bar at every multiple of 4096 frames, only while the window is
// visible. Step() is cheap enough for the innermost loop.
class KProgress final : public KCopyProgress {
 public:
  KProgress(KUiHooks& ui, const std::string& title, int64_t total)
      : ui_(ui), visible_(ui.ProgressVisible()), total_(total > 0 ? total : 1) {
    if (visible_) ui_.ProgressTitle(title);
  }
  void Step(int64_t done) {
    if (visible_ && (done & 4095) == 0) ui_.ProgressBar(int(done * 100 / total_));
  }
  void CopyPercent(int percent) override {
    if (visible_) ui_.ProgressBar(percent);
  }
  bool StopRequested() override { return ui_.StopRequested(); }

 private:
  KUiHooks& ui_;
  bool visible_;
  int64_t total_;
};

// Shows a cursor role for the life of the scope and puts the previous back.
class KCursorScope {
 public:
  KCursorScope(KUiHooks& ui, KCursorRole role) : ui_(ui) { ui_.PushCursor(role); }
  ~KCursorScope() { ui_.PopCursor(); }
  KCursorScope(const KCursorScope&) = delete;
  KCursorScope& operator=(const KCursorScope&) = delete;

 private:
  KUiHooks& ui_;
};
