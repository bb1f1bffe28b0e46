// KCopyProgress: receives the bar of a long copy, in percent. The voice
// passes its progress window; the copies below it know nothing of windows.
#pragma once

class KCopyProgress {
 public:
  virtual ~KCopyProgress() = default;
  virtual void CopyPercent(int percent) = 0;
  // True once the user asked a copy that may be stopped to stop (Escape).
  virtual bool StopRequested() { return false; }
};
