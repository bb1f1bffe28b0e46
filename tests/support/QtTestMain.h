// The main of a test program that drives Qt widgets: a QApplication on the
// offscreen platform, so the tests run without a display.
#pragma once

#include <gtest/gtest.h>

#include <QApplication>

inline int RunQtTests(int argc, char** argv) {
  testing::InitGoogleTest(&argc, argv);
  qputenv("QT_QPA_PLATFORM", "offscreen");
  QApplication app(argc, argv);
  return RUN_ALL_TESTS();
}
