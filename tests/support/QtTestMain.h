// The main of a test program that drives Qt widgets: a QApplication on the offscreen platform, so the tests run without
// a display.
#pragma once

#include <gtest/gtest.h>

#include <QApplication>
#include <QTimer>

// A request to end the program (QCoreApplication::exit outside a loop) makes every later event loop return at once; one
// pass of exec clears it, so the next test's dialogs run again.
inline void ForgetQuitRequest() {
  QTimer::singleShot(0, [] { QCoreApplication::exit(0); });
  QCoreApplication::exec();
}

inline int RunQtTests(int argc, char** argv) {
  testing::InitGoogleTest(&argc, argv);
  qputenv("QT_QPA_PLATFORM", "offscreen");
  QApplication app(argc, argv);
  return RUN_ALL_TESTS();
}
