#include "app/ProgramIcon.h"

#include <QPainter>
#include <QPainterPath>
#include <cmath>
#include <numbers>

namespace {

// A decaying tone across the inner width, centred on `middle`.
QPainterPath Waveform(double left, double right, double middle, double height) {
  QPainterPath path;
  constexpr int kPoints = 200;
  for (int i = 0; i <= kPoints; ++i) {
    const double t = double(i) / kPoints;
    const double y = middle - height * std::exp(-2.5 * t) * std::sin(t * 9 * 2 * std::numbers::pi);
    const QPointF point(left + t * (right - left), y);
    if (i == 0)
      path.moveTo(point);
    else
      path.lineTo(point);
  }
  return path;
}

}  // namespace

QImage DrawProgramIcon(int size) {
  QImage image(size, size, QImage::Format_ARGB32_Premultiplied);
  image.fill(Qt::transparent);
  QPainter painter(&image);
  painter.setRenderHint(QPainter::Antialiasing);
  const double s = size;
  const QRectF tile(s * 0.04, s * 0.04, s * 0.92, s * 0.92);
  painter.setPen(Qt::NoPen);
  painter.setBrush(QColor(0x1c, 0x3a, 0x5e));
  painter.drawRoundedRect(tile, s * 0.16, s * 0.16);

  const double left = s * 0.14, right = s * 0.86, middle = s * 0.5;
  painter.setPen(QPen(QColor(0x5c, 0x7c, 0xa0), s * 0.012));
  painter.drawLine(QPointF(left, middle), QPointF(right, middle));
  // The marked area, as the boxes show it between MKL and MKR.
  painter.setPen(QPen(QColor(0xff, 0x60, 0x60), s * 0.025, Qt::DashLine));
  for (double x : {s * 0.3, s * 0.62}) painter.drawLine(QPointF(x, s * 0.16), QPointF(x, s * 0.84));
  painter.setPen(QPen(QColor(0xf4, 0xd0, 0x3f), s * 0.04, Qt::SolidLine, Qt::RoundCap, Qt::RoundJoin));
  painter.setBrush(Qt::NoBrush);
  painter.drawPath(Waveform(left, right, middle, s * 0.3));
  return image;
}
