// The message dialog, the progress window and the voice's progress and
// cursor hooks over it, and where a window is centred.
#include <QCursor>
#include <QGuiApplication>
#include <QPlainTextEdit>
#include <QProgressBar>
#include <QScreen>
#include <QScrollBar>
#include <QTextBlock>
#include <QWindow>

#include "DialogDriver.h"
#include "dialogs/Dlgmsg.h"
#include "dialogs/Dprogess.h"
#include "dialogs/ProgressHooks.h"
#include "dialogs/ScreenCenter.h"

namespace {

// The text is shown as given (no markup), one line per line break, with OK
// focused; Enter in the memo presses OK and adds no line; long texts scroll.
TEST(DlgMessage, ShowsTheTextAsGivenAndClosesOnOkOrEnter) {
  TDlgMessage dialog;
  auto* memo = Find<QPlainTextEdit>(dialog, "MemoMsg");
  ASSERT_NE(memo, nullptr);
  EXPECT_TRUE(memo->isReadOnly());
  std::string longText;
  for (int i = 0; i < 30; ++i) longText += "line " + std::to_string(i) + "\n";
  const std::tuple<std::string, int, bool> cases[] = {
      {"Error 005\n\nThe file : /tmp/a.wav\nis not a PCM file", 4, false},
      {"Warn 001\n<b>not bold</b> & 100% \"quoted\"", 2, true},
      {longText, 31, false}};
  for (const auto& [text, lines, enter] : cases) {
    int scroll = -1;
    WhenOpen(dialog, [&, enter = enter] {
      EXPECT_EQ(memo->toPlainText(), QString::fromStdString(text));
      EXPECT_EQ(memo->document()->blockCount(), lines);
      EXPECT_EQ(dialog.focusWidget(), Find<QWidget>(dialog, "BitBtnOK"));
      scroll = memo->verticalScrollBar()->maximum();
      enter ? PressKey(memo, Qt::Key_Return) : Click(dialog, "BitBtnOK");
    });
    dialog.ShowText(text);
    EXPECT_EQ(scroll > 0, lines > 10) << text;
    EXPECT_EQ(memo->toPlainText(), QString::fromStdString(text));
    EXPECT_EQ(dialog.result(), QDialog::Accepted);
  }
  EXPECT_EQ(memo->document()->findBlockByNumber(2).text(), "line 2");
}

// Shown without being modal and on screen; only the caller hides it. Every
// show empties the memo and zeroes the bar, a title zeroes the bar, and the
// bar stays within 0..100.
TEST(DlgProgress, ShownModelessAndEveryShowOrTitleStartsAfresh) {
  TDlgProgress progress;
  auto* memo = Find<QPlainTextEdit>(progress, "Memo");
  auto* bar = Find<QProgressBar>(progress, "ProgressBar");
  ASSERT_TRUE(memo && bar);
  EXPECT_TRUE(memo->isReadOnly());
  EXPECT_EQ(std::pair(bar->minimum(), bar->maximum()), std::pair(0, 100));
  for (int run = 0; run < 2; ++run) {
    progress.ShowNow();
    EXPECT_TRUE(progress.isVisible() && !progress.isModal());
    ASSERT_NE(progress.windowHandle(), nullptr);
    EXPECT_TRUE(progress.windowHandle()->isExposed());
    EXPECT_EQ(QApplication::activeModalWidget(), nullptr);
    EXPECT_EQ(memo->toPlainText(), "");
    EXPECT_EQ(bar->value(), 0);
    PressKey(&progress, Qt::Key_Escape);
    EXPECT_TRUE(progress.isVisible());
    for (auto [percent, shown] : {std::pair{42, 42}, {150, 100}, {-3, 0}, {70, 70}}) {
      progress.SetBar(percent);
      EXPECT_EQ(bar->value(), shown) << percent;
    }
    progress.WriteTitle("Copy marked area");
    EXPECT_EQ(memo->toPlainText(), "Copy marked area");
    EXPECT_EQ(bar->value(), 0);
    progress.SetBar(70);
    progress.HideNow();
    EXPECT_FALSE(progress.isVisible());
  }
}

// The voice's progress shows only while the window is shown; the bar moves
// at every 4096 frames. Cursors nest and the previous one comes back.
TEST(QtUiHooks, ProgressFollowsTheWindowAndCursorsNest) {
  TDlgProgress progress;
  KQtUiHooks hooks(progress);
  auto* memo = Find<QPlainTextEdit>(progress, "Memo");
  auto* bar = Find<QProgressBar>(progress, "ProgressBar");
  for (bool shown : {false, true}) {
    if (shown) progress.ShowNow();
    EXPECT_EQ(hooks.ProgressVisible(), shown);
    KProgress run(hooks, "Mute marked area", 8192);
    run.Step(4096);
    run.Step(6000);  // not a multiple of 4096: the bar stays
    EXPECT_EQ(memo->toPlainText(), shown ? "Mute marked area" : "");
    EXPECT_EQ(bar->value(), shown ? 50 : 0);
  }
  hooks.ProgressBar(99);
  EXPECT_EQ(bar->value(), 99);
  hooks.ProgressTitle("Fade in");
  EXPECT_EQ(bar->value(), 0);
  progress.HideNow();
  EXPECT_FALSE(hooks.ProgressVisible());
  ASSERT_EQ(QApplication::overrideCursor(), nullptr);
  {
    const std::pair<KCursorRole, Qt::CursorShape> roles[] = {{KCursorRole::Busy, Qt::WaitCursor},
                                                             {KCursorRole::Load, Qt::BusyCursor},
                                                             {KCursorRole::Save, Qt::BusyCursor},
                                                             {KCursorRole::Play, Qt::BusyCursor}};
    std::vector<std::unique_ptr<KCursorScope>> scopes;
    for (auto [role, shape] : roles) {
      scopes.push_back(std::make_unique<KCursorScope>(hooks, role));
      EXPECT_EQ(QApplication::overrideCursor()->shape(), shape);
    }
    for (int i = 3; i > 0; scopes.pop_back(), --i) EXPECT_EQ(QApplication::overrideCursor()->shape(), roles[i].second);
    EXPECT_EQ(QApplication::overrideCursor()->shape(), Qt::WaitCursor);
  }
  EXPECT_EQ(QApplication::overrideCursor(), nullptr);
}

// The spare pixel goes right and down; a window larger than the area starts
// at its edge; the primary screen's available area.
TEST(ScreenCenter, CentresOnTheArea) {
  const std::tuple<KScreenArea, int, int, int, int> cases[] = {{{0, 0, 800, 600}, 312, 193, 244, 203},
                                                               {{0, 0, 1024, 768}, 297, 161, 363, 303},
                                                               {{64, 30, 1216, 994}, 436, 193, 454, 430},
                                                               {{10, 20, 300, 100}, 469, 341, 10, 20},
                                                               {{0, 0, 300, 600}, 469, 341, 0, 129}};
  for (auto [area, width, height, x, y] : cases) {
    const KScreenPoint p = KCentreOnArea(area, width, height);
    EXPECT_EQ(std::pair(p.x, p.y), std::pair(x, y)) << width << "x" << height;
  }
  const QRect area = QGuiApplication::primaryScreen()->availableGeometry();
  int x = -1, y = -1;
  KGetScreenCenterXY(x, y, 253, 241);
  EXPECT_EQ(std::pair(x, y), std::pair(area.x() + (area.width() - 253) / 2, area.y() + (area.height() - 241) / 2));
}

}  // namespace
