// KPaintBox: one waveform box of the main window. A paint request asks the
// current voice for a full redraw from its stored state into the box's
// image, then shows the image; presses go to the owner.
#pragma once

#include <QWidget>
#include <functional>

#include "display/paint/ImageSurface.h"

class KPaintBox : public QWidget {
 public:
  KPaintBox(const char* name, int width, int height, KColour panel, QWidget* parent);

  KImageSurface& Surface() { return surface_; }
  // The full redraw a paint request runs (the current voice's box).
  std::function<void()> Redraw;
  // A mouse press at a pixel of the box.
  std::function<void(Qt::MouseButton, int x, int y)> Pressed;

 protected:
  void paintEvent(QPaintEvent* event) override;
  void mousePressEvent(QMouseEvent* event) override;

 private:
  KImageSurface surface_;
  bool painting_ = false;
};
