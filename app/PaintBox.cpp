#include "app/PaintBox.h"

#include <QMouseEvent>
#include <QPainter>

KPaintBox::KPaintBox(const char* name, int width, int height, KColour panel, QWidget* parent)
    : QWidget(parent), surface_(width, height, panel) {
  setObjectName(name);
  setFixedSize(width, height);
  setAttribute(Qt::WA_OpaquePaintEvent);
  // A drawing made outside a paint request is shown at the next one.
  surface_.OnChange = [this] {
    if (!painting_) update();
  };
}

void KPaintBox::paintEvent(QPaintEvent*) {
  painting_ = true;
  if (Redraw) Redraw();
  painting_ = false;
  // The image has the box's designed pixels; on a high-density screen each
  // one becomes a block of device pixels, without smoothing.
  QPainter painter(this);
  painter.setRenderHint(QPainter::SmoothPixmapTransform, false);
  painter.drawImage(rect(), surface_.Image().Image());
}

void KPaintBox::mousePressEvent(QMouseEvent* event) {
  const QPoint at = event->position().toPoint();
  if (Pressed) Pressed(event->button(), at.x(), at.y());
}
