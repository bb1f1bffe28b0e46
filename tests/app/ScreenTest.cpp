#include <gtest/gtest.h>

#include <QGuiApplication>
#include <QWidget>
#include <vector>

#include "app/Screen.h"

namespace {

TEST(Screen, OnlyAnExactly640PixelDisplayWarns) {
  for (int width : {0, 320, 639, 641, 799, 800, 1024, 3840}) EXPECT_FALSE(NeedsResolutionMessage(width)) << width;
  EXPECT_TRUE(NeedsResolutionMessage(640));
}

TEST(Screen, TheWindowMovesToTheCornerAndKeepsItsSize) {
  for (int width : {640, 1024}) {
    QWidget window;
    window.setGeometry(120, 80, 793, 526);
    std::vector<QString> warnings;
    PlaceMainWindow(window, width, [&](const QString& text) { warnings.push_back(text); });
    EXPECT_EQ(window.pos(), QPoint(0, 0)) << width;
    EXPECT_EQ(window.size(), QSize(793, 526)) << width;
    if (width == 640) {
      ASSERT_EQ(warnings.size(), 1u);
      EXPECT_EQ(warnings[0], "Melotrix need 800 * 600 resolution !!!");
    } else {
      EXPECT_TRUE(warnings.empty());
    }
  }
}

TEST(DeactivationHook, RunsEachTimeTheApplicationLeavesTheActiveState) {
  int closed = 0;
  KDeactivationHook hook([&] { ++closed; });
  hook.StateChanged(Qt::ApplicationActive);
  EXPECT_EQ(closed, 0);
  hook.StateChanged(Qt::ApplicationInactive);
  EXPECT_EQ(closed, 1);
  hook.StateChanged(Qt::ApplicationHidden);
  EXPECT_EQ(closed, 1);
  hook.StateChanged(Qt::ApplicationActive);
  hook.StateChanged(Qt::ApplicationSuspended);
  EXPECT_EQ(closed, 2);
}

TEST(DeactivationHook, FollowsTheApplicationsStateSignal) {
  int closed = 0;
  {
    KDeactivationHook hook([&] { ++closed; });
    emit qGuiApp->applicationStateChanged(Qt::ApplicationActive);
    emit qGuiApp->applicationStateChanged(Qt::ApplicationInactive);
    EXPECT_EQ(closed, 1);
  }
  emit qGuiApp->applicationStateChanged(Qt::ApplicationActive);
  emit qGuiApp->applicationStateChanged(Qt::ApplicationInactive);
  EXPECT_EQ(closed, 1);
}

}  // namespace
