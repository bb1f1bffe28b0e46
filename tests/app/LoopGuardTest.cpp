// The window during a play or record loop: Escape latched and not
// delivered, other input and close requests swallowed, deferred work run at
// the end, paints still delivered.
#include <gtest/gtest.h>

#include <QApplication>
#include <QKeyEvent>
#include <QLineEdit>
#include <QWidget>

#include "app/LoopGuard.h"

namespace {

class Counting : public QWidget {
 public:
  int keys = 0, closes = 0;

 protected:
  void keyPressEvent(QKeyEvent*) override { ++keys; }
  void closeEvent(QCloseEvent* event) override {
    ++closes;
    event->accept();
  }
};

void Press(QWidget* widget, int key) {
  QApplication::postEvent(widget, new QKeyEvent(QEvent::KeyPress, key, Qt::NoModifier));
  QApplication::postEvent(widget, new QKeyEvent(QEvent::KeyRelease, key, Qt::NoModifier));
}

TEST(LoopGuard, LatchesEscapeAndSwallowsOtherInput) {
  Counting widget;
  widget.show();
  KLoopGuard guard;
  int ran = 0;
  guard.WhenIdle([&ran] { ++ran; });
  EXPECT_EQ(ran, 1);  // no loop: at once
  guard.Begin();
  guard.WhenIdle([&ran] { ++ran; });
  Press(&widget, Qt::Key_A);
  EXPECT_FALSE(guard.PollEscape());
  EXPECT_EQ(widget.keys, 0);
  widget.close();
  EXPECT_EQ(widget.closes, 0);
  EXPECT_TRUE(widget.isVisible());
  Press(&widget, Qt::Key_Escape);
  EXPECT_TRUE(guard.PollEscape());
  EXPECT_EQ(widget.keys, 0);  // not delivered
  EXPECT_EQ(ran, 1);
  guard.End();
  EXPECT_EQ(ran, 2);
  Press(&widget, Qt::Key_A);
  QApplication::processEvents();
  EXPECT_EQ(widget.keys, 1);
  // A new loop starts without the old Escape.
  guard.Begin();
  EXPECT_FALSE(guard.PollEscape());
  guard.End();
}

}  // namespace
