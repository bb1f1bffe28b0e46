#include <gtest/gtest.h>

#include <QGuiApplication>
#include <QScreen>

#include "dialogs/ScreenCenter.h"

namespace {

TEST(ScreenCenter, CentresOnTheArea) {
  const KScreenPoint p = KCentreOnArea({0, 0, 800, 600}, 312, 193);
  EXPECT_EQ(p.x, 244);
  EXPECT_EQ(p.y, 203);
}

TEST(ScreenCenter, OddRemainderGoesRightAndDown) {
  // 1024 - 297 = 727 and 768 - 161 = 607: the spare pixel goes right and down.
  const KScreenPoint p = KCentreOnArea({0, 0, 1024, 768}, 297, 161);
  EXPECT_EQ(p.x, 363);
  EXPECT_EQ(p.y, 303);
}

TEST(ScreenCenter, AreaOffsetByPanelsOfTheDesktop) {
  const KScreenPoint p = KCentreOnArea({64, 30, 1216, 994}, 436, 193);
  EXPECT_EQ(p.x, 64 + 390);
  EXPECT_EQ(p.y, 30 + 400);
}

TEST(ScreenCenter, WindowLargerThanTheAreaStartsAtItsEdge) {
  const KScreenPoint p = KCentreOnArea({10, 20, 300, 100}, 469, 341);
  EXPECT_EQ(p.x, 10);
  EXPECT_EQ(p.y, 20);
  const KScreenPoint q = KCentreOnArea({0, 0, 300, 600}, 469, 341);
  EXPECT_EQ(q.x, 0);
  EXPECT_EQ(q.y, 129);
}

TEST(ScreenCenter, PrimaryScreenAvailableArea) {
  const QRect area = QGuiApplication::primaryScreen()->availableGeometry();
  int x = -1;
  int y = -1;
  KGetScreenCenterXY(x, y, 253, 241);
  EXPECT_EQ(x, area.x() + (area.width() - 253) / 2);
  EXPECT_EQ(y, area.y() + (area.height() - 241) / 2);
}

}  // namespace
