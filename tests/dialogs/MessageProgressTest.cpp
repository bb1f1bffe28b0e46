// The message dialog's text and its close, the progress window, and the
// voice's progress and cursor hooks over it.
#include <QCursor>
#include <QPlainTextEdit>
#include <QProgressBar>
#include <QScrollBar>
#include <QTextBlock>
#include <QWindow>

#include "DialogDriver.h"
#include "dialogs/Dlgmsg.h"
#include "dialogs/Dprogess.h"
#include "dialogs/ProgressHooks.h"

namespace {

// Shows the text and gives what the memo held while the dialog was open.
QString Shown(TDlgMessage& dialog, const std::string& text, std::function<void()> close) {
  QString shown;
  WhenOpen(dialog, [&] {
    shown = Find<QPlainTextEdit>(dialog, "MemoMsg")->toPlainText();
    close();
  });
  dialog.ShowText(text);
  return shown;
}

TEST(DlgMessage, OneLinePerLineBreak) {
  TDlgMessage dialog;
  auto* memo = Find<QPlainTextEdit>(dialog, "MemoMsg");
  ASSERT_NE(memo, nullptr);
  EXPECT_TRUE(memo->isReadOnly());
  int lines = 0;
  WhenOpen(dialog, [&] {
    lines = memo->document()->blockCount();
    EXPECT_EQ(dialog.focusWidget(), Find<QWidget>(dialog, "BitBtnOK"));
    Click(dialog, "BitBtnOK");
  });
  dialog.ShowText("Error 005\n\nThe file : /tmp/a.wav\nis not a PCM file");
  EXPECT_EQ(lines, 4);
  EXPECT_EQ(memo->document()->findBlockByNumber(2).text(), "The file : /tmp/a.wav");
}

TEST(DlgMessage, TextShownAsGiven) {
  TDlgMessage dialog;
  const std::string text = "Warn 001\n<b>not bold</b> & 100% \"quoted\"";
  EXPECT_EQ(Shown(dialog, text, [&] { Click(dialog, "BitBtnOK"); }), QString::fromStdString(text));
  EXPECT_EQ(Shown(dialog, "second", [&] { Click(dialog, "BitBtnOK"); }), "second");
}

TEST(DlgMessage, EnterInTheMemoPressesOkAndAddsNoLine) {
  TDlgMessage dialog;
  auto* memo = Find<QPlainTextEdit>(dialog, "MemoMsg");
  EXPECT_EQ(Shown(dialog, "one line", [&] { PressKey(memo, Qt::Key_Return); }), "one line");
  EXPECT_EQ(memo->toPlainText(), "one line");
  EXPECT_EQ(dialog.result(), QDialog::Accepted);
}

TEST(DlgMessage, LongTextScrolls) {
  TDlgMessage dialog;
  auto* memo = Find<QPlainTextEdit>(dialog, "MemoMsg");
  int shortRange = -1;
  int longRange = -1;
  WhenOpen(dialog, [&] {
    shortRange = memo->verticalScrollBar()->maximum();
    Click(dialog, "BitBtnOK");
  });
  dialog.ShowText("Error 001\nshort");
  std::string text;
  for (int i = 0; i < 30; ++i) text += "line " + std::to_string(i) + "\n";
  WhenOpen(dialog, [&] {
    longRange = memo->verticalScrollBar()->maximum();
    Click(dialog, "BitBtnOK");
  });
  dialog.ShowText(text);
  EXPECT_EQ(shortRange, 0);
  EXPECT_GT(longRange, 0);
}

struct ProgressParts {
  QPlainTextEdit* memo;
  QProgressBar* bar;
};

ProgressParts Parts(const TDlgProgress& progress) {
  return {Find<QPlainTextEdit>(progress, "Memo"), Find<QProgressBar>(progress, "ProgressBar")};
}

TEST(DlgProgress, ShownWithoutBeingModalAndOnScreen) {
  TDlgProgress progress;
  const ProgressParts p = Parts(progress);
  EXPECT_EQ(p.bar->minimum(), 0);
  EXPECT_EQ(p.bar->maximum(), 100);
  EXPECT_TRUE(p.memo->isReadOnly());
  progress.ShowNow();
  EXPECT_TRUE(progress.isVisible());
  EXPECT_FALSE(progress.isModal());
  ASSERT_NE(progress.windowHandle(), nullptr);
  EXPECT_TRUE(progress.windowHandle()->isExposed());
  EXPECT_EQ(QApplication::activeModalWidget(), nullptr);
  PressKey(&progress, Qt::Key_Escape);  // only the caller hides it
  EXPECT_TRUE(progress.isVisible());
  progress.HideNow();
  EXPECT_FALSE(progress.isVisible());
}

TEST(DlgProgress, EveryShowEmptiesTheMemoAndZeroesTheBar) {
  TDlgProgress progress;
  const ProgressParts p = Parts(progress);
  progress.ShowNow();
  progress.WriteTitle("Copy marked area");
  progress.SetBar(70);
  progress.HideNow();
  EXPECT_EQ(p.memo->toPlainText(), "Copy marked area");
  progress.ShowNow();
  EXPECT_EQ(p.memo->toPlainText(), "");
  EXPECT_EQ(p.bar->value(), 0);
  progress.HideNow();
}

TEST(DlgProgress, TitleZeroesTheBarAndTheBarStaysInRange) {
  TDlgProgress progress;
  const ProgressParts p = Parts(progress);
  progress.ShowNow();
  progress.SetBar(42);
  EXPECT_EQ(p.bar->value(), 42);
  progress.WriteTitle("Echo");
  EXPECT_EQ(p.memo->toPlainText(), "Echo");
  EXPECT_EQ(p.bar->value(), 0);
  progress.SetBar(150);
  EXPECT_EQ(p.bar->value(), 100);
  progress.SetBar(-3);
  EXPECT_EQ(p.bar->value(), 0);
  progress.HideNow();
}

TEST(QtUiHooks, ProgressFollowsTheWindow) {
  TDlgProgress progress;
  KQtUiHooks hooks(progress);
  const ProgressParts p = Parts(progress);
  EXPECT_FALSE(hooks.ProgressVisible());
  {
    KProgress run(hooks, "Mute marked area", 8192);  // hidden: the window is left alone
    run.Step(4096);
  }
  EXPECT_EQ(p.memo->toPlainText(), "");
  EXPECT_EQ(p.bar->value(), 0);
  progress.ShowNow();
  EXPECT_TRUE(hooks.ProgressVisible());
  KProgress run(hooks, "Mute marked area", 8192);
  EXPECT_EQ(p.memo->toPlainText(), "Mute marked area");
  run.Step(4096);
  EXPECT_EQ(p.bar->value(), 50);
  run.Step(6000);  // not a multiple of 4096
  EXPECT_EQ(p.bar->value(), 50);
  hooks.ProgressBar(99);
  EXPECT_EQ(p.bar->value(), 99);
  hooks.ProgressTitle("Fade in");
  EXPECT_EQ(p.bar->value(), 0);
  progress.HideNow();
  EXPECT_FALSE(hooks.ProgressVisible());
}

TEST(QtUiHooks, CursorRoles) {
  EXPECT_EQ(KCursorShape(KCursorRole::Busy), Qt::WaitCursor);
  EXPECT_EQ(KCursorShape(KCursorRole::Load), Qt::BusyCursor);
  EXPECT_EQ(KCursorShape(KCursorRole::Save), Qt::BusyCursor);
  EXPECT_EQ(KCursorShape(KCursorRole::Play), Qt::BusyCursor);
}

TEST(QtUiHooks, CursorsNestAndThePreviousOneComesBack) {
  TDlgProgress progress;
  KQtUiHooks hooks(progress);
  ASSERT_EQ(QApplication::overrideCursor(), nullptr);
  {
    KCursorScope busy(hooks, KCursorRole::Busy);
    ASSERT_NE(QApplication::overrideCursor(), nullptr);
    EXPECT_EQ(QApplication::overrideCursor()->shape(), Qt::WaitCursor);
    {
      KCursorScope save(hooks, KCursorRole::Save);
      EXPECT_EQ(QApplication::overrideCursor()->shape(), Qt::BusyCursor);
    }
    EXPECT_EQ(QApplication::overrideCursor()->shape(), Qt::WaitCursor);
  }
  EXPECT_EQ(QApplication::overrideCursor(), nullptr);
}

}  // namespace
