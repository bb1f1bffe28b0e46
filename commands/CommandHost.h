// What the command map needs of the window around an operation: the
// progress bracket, the success beep and the zoom-in redraw of the view
// options. The base does nothing: a front end without a window uses it as is.
#pragma once

class KCommandHost {
 public:
  virtual ~KCommandHost() = default;
  // Paints whatever is pending in the main window at once.
  virtual void RepaintNow() {}
  // Shows the progress window (not modal) and paints it at once.
  virtual void ShowProgress() {}
  virtual void HideProgress() {}
  virtual void Beep() {}
  // Redraws the zoom-in box after a change of its drawing options.
  virtual void RedrawZoomIn() {}
};
