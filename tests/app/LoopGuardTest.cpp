// The window during a play or record loop: the windows open when it began
// take only Escape (latched, not delivered) and a close of one of them stops
// the loop; a window the loop opens gets its input; paints still run.
#include <gtest/gtest.h>

#include <QApplication>
#include <QKeyEvent>
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

TEST(LoopGuard, HostsTakeOnlyEscapeNewWindowsTakeAll) {
  Counting main, dialog, opened;
  main.show();
  dialog.show();
  KLoopGuard guard(&main);
  guard.Begin();
  opened.show();  // opened by the loop: the message box
  Press(&main, Qt::Key_A);
  Press(&opened, Qt::Key_Escape);
  EXPECT_FALSE(guard.PollEscape());  // an Escape meant for the box does not stop the loop
  EXPECT_EQ(std::make_tuple(main.keys, opened.keys), std::make_tuple(0, 1));
  main.close();  // the main window decides about its own close
  EXPECT_EQ(main.closes, 1);
  dialog.close();  // another host's close stops the loop and is refused
  EXPECT_EQ(dialog.closes, 0);
  EXPECT_TRUE(dialog.isVisible());
  EXPECT_TRUE(guard.PollEscape());
  guard.End();
  guard.Begin();  // a new loop starts without the old Escape
  EXPECT_FALSE(guard.PollEscape());
  Press(&dialog, Qt::Key_Escape);
  EXPECT_TRUE(guard.PollEscape());
  EXPECT_EQ(dialog.keys, 0);
  guard.End();
  guard.Begin();
  guard.RequestStop();
  EXPECT_TRUE(guard.PollEscape());
  guard.End();
  Press(&dialog, Qt::Key_A);
  QApplication::processEvents();
  EXPECT_EQ(dialog.keys, 1);
}

}  // namespace
