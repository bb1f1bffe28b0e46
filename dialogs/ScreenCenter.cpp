#include "dialogs/ScreenCenter.h"

#include <QGuiApplication>
#include <QScreen>
#include <algorithm>

namespace {

int CentreOnSpan(int start, int span, int size) { return start + std::max(0, (span - size) / 2); }

}  // namespace

KScreenPoint KCentreOnArea(const KScreenArea& area, int width, int height) {
  return {CentreOnSpan(area.left, area.width, width), CentreOnSpan(area.top, area.height, height)};
}

void KGetScreenCenterXY(int& x, int& y, int width, int height) {
  KScreenArea area;
  if (const QScreen* screen = QGuiApplication::primaryScreen()) {
    const QRect available = screen->availableGeometry();
    area = {available.left(), available.top(), available.width(), available.height()};
  }
  const KScreenPoint point = KCentreOnArea(area, width, height);
  x = point.x;
  y = point.y;
}
