// The message dialog, the progress window and the voice's progress and
// cursor hooks over it, and where a window is centred.
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
#include "dialogs/ScreenCenter.h"

namespace {

// The text is shown as given (no markup), one line per line break, with OK
// focused; Enter in the memo presses OK and adds no line; long texts scroll.
TEST(DlgMessage, ShowsTheTextAsGivenAndClosesOnOkOrEnter) {
  TDlgMessage dialog;
  ExpectFrame(dialog, "Melotrix Message", {312, 193});
  auto* memo = Find<QPlainTextEdit>(dialog, "MemoMsg");
  ASSERT_TRUE(memo && memo->isReadOnly());
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

// Shown without being modal, on screen and centred; only the caller hides
// it. Every show empties the memo and zeroes the bar, a title zeroes the bar,
// and the bar stays within 0..100. The voice's progress shows only while the
// window is shown, the bar moving at every 4096 frames. Cursors nest.
TEST(DlgProgress, ShownModelessStartsAfreshAndFollowsTheVoice) {
  TDlgProgress progress;
  ExpectFrame(progress, "Progess", {297, 160});
  KQtUiHooks hooks(progress);
  auto* memo = Find<QPlainTextEdit>(progress, "Memo");
  auto* bar = Find<QProgressBar>(progress, "ProgressBar");
  ASSERT_TRUE(memo && bar);
  for (int run = 0; run < 2; ++run) {
    progress.ShowNow();
    EXPECT_TRUE(progress.isVisible() && !progress.isModal() && QApplication::activeModalWidget() == nullptr);
    EXPECT_TRUE(progress.windowHandle() && progress.windowHandle()->isExposed() && hooks.ProgressVisible());
    EXPECT_EQ(progress.pos(), ScreenCentre(progress.size()));
    EXPECT_EQ(std::pair(memo->toPlainText(), bar->value()), std::pair(QString(), 0));
    PressKey(&progress, Qt::Key_Escape);
    EXPECT_TRUE(progress.isVisible());
    for (auto [percent, shown] : {std::pair{42, 42}, {150, 100}, {-3, 0}, {70, 70}}) {
      progress.SetBar(percent);
      EXPECT_EQ(bar->value(), shown) << percent;
    }
    KProgress voice(hooks, "Mute marked area", 8192);  // a title zeroes the bar
    EXPECT_EQ(std::pair(memo->toPlainText(), bar->value()), std::pair(QString("Mute marked area"), 0));
    voice.Step(4096);
    voice.Step(6000);  // not a multiple of 4096: the bar stays
    EXPECT_EQ(bar->value(), 50);
    progress.move(3, 5);
    progress.HideNow();
    EXPECT_FALSE(progress.isVisible() || hooks.ProgressVisible());
  }
  KProgress hidden(hooks, "Fade in", 8192);
  hidden.Step(4096);
  EXPECT_EQ(std::pair(memo->toPlainText(), bar->value()), std::pair(QString("Mute marked area"), 50));
  ASSERT_EQ(QApplication::overrideCursor(), nullptr);
  {
    KCursorScope busy(hooks, KCursorRole::Busy);
    for (KCursorRole role : {KCursorRole::Load, KCursorRole::Save, KCursorRole::Play}) {
      KCursorScope inner(hooks, role);
      EXPECT_EQ(QApplication::overrideCursor()->shape(), Qt::BusyCursor);
    }
    EXPECT_EQ(QApplication::overrideCursor()->shape(), Qt::WaitCursor);
  }
  EXPECT_EQ(QApplication::overrideCursor(), nullptr);
}

// The spare pixel goes right and down; a window larger than the area starts
// at its edge; the primary screen's available area.
TEST(ScreenCenter, CentresOnTheArea) {
  const int cases[][8] = {{0, 0, 800, 600, 312, 193, 244, 203},
                          {0, 0, 1024, 768, 297, 161, 363, 303},
                          {64, 30, 1216, 994, 436, 193, 454, 430},
                          {10, 20, 300, 100, 469, 341, 10, 20},
                          {0, 0, 300, 600, 469, 341, 0, 129}};
  for (auto [left, top, width, height, w, h, x, y] : cases) {
    const KScreenPoint p = KCentreOnArea({left, top, width, height}, w, h);
    EXPECT_EQ(QPoint(p.x, p.y), QPoint(x, y)) << w << "x" << h;
  }
  int x = -1, y = -1;
  KGetScreenCenterXY(x, y, 253, 241);
  EXPECT_EQ(QPoint(x, y), ScreenCentre({253, 241}));
}

}  // namespace
