// Play and record loops of the real window on the simulated device: the
// window takes only Escape meanwhile, the play pointer follows the device,
// files handed over or dropped load after the loop in order, and a request
// to end the program (a signal, a close of the window) stops the loop and
// ends every event loop, so that nothing can hold the program.
#include <gtest/gtest.h>
#include <signal.h>
#include <unistd.h>

#include <QDropEvent>
#include <QEventLoop>
#include <QKeyEvent>
#include <QLineEdit>
#include <QMimeData>
#include <QScrollBar>
#include <QUrl>
#include <set>

#include "app/MainWindow.h"
#include "app/Signals.h"
#include "dialogs/DialogDriver.h"
#include "platform/SimulatedWaveAudio.h"
#include "support/QtTestMain.h"
#include "support/TempDir.h"

namespace {

class Loop : public ::testing::Test {
 protected:
  Loop() {
    window_.Banks().SelectBank(1);
    Give(1, 200000);
  }
  ~Loop() override { ForgetQuitRequest(); }
  // A mono 8-bit voice at 8000 Hz in `bank`.
  KPcmFiles& Give(int bank, int frames) {
    KPcmFiles& v = window_.Banks().Bank(bank);
    v.SampleRate = 8000;
    EXPECT_TRUE(v.Storage->Resize(frames));
    v.END = v.MKR = frames;
    v.MKL = v.FLG = v.ZiStart = 1;
    v.OverviewStale = true;
    return v;
  }
  void Post(int key) { QApplication::postEvent(&window_, new QKeyEvent(QEvent::KeyPress, key, Qt::NoModifier)); }

  TempDir dir_;
  KSimulatedWaveAudio audio_;
  TFormMain window_{dir_.Path(), audio_};
};

TEST_F(Loop, InputWaitsAndFilesLoadAfterThePlayInOrder) {
  ASSERT_TRUE(Give(2, 300).SaveWavFile(dir_ / "handed.wav"));
  ASSERT_TRUE(Give(3, 500).SaveWavFile(dir_ / "dropped \xe9.wav"));
  for (int bank : {2, 3}) window_.Banks().Bank(bank).ClearBank();
  QMimeData dropped;
  dropped.setUrls({QUrl::fromEncoded("file://" + QByteArray::fromStdString(dir_.Path()) + "/dropped%20%E9.wav")});
  std::vector<int32_t> columns, ends;
  audio_.WhenWaiting = [&](KWaveDirection direction) {
    audio_.Advance(direction, 1000);
    columns.push_back(window_.Current().Overview.PointerX);
    ends.push_back(window_.Current().END);
    if (columns.size() == 3) {
      window_.OpenFile(dir_ / "handed.wav");
      QDragEnterEvent enter(QPoint(400, 300), Qt::CopyAction, &dropped, Qt::LeftButton, Qt::NoModifier);
      QApplication::sendEvent(&window_, &enter);
      QDropEvent drop(QPointF(400, 300), Qt::CopyAction, &dropped, Qt::LeftButton, Qt::NoModifier);
      QApplication::sendEvent(&window_, &drop);
      Post(Qt::Key_F5);
    }
    if (columns.size() == 8) Post(Qt::Key_Escape);
  };
  window_.Action("MenuPlayAll")->trigger();
  EXPECT_EQ(columns.size(), 8u);  // stopped by Escape
  EXPECT_EQ(std::set<int32_t>(ends.begin(), ends.end()), std::set<int32_t>{200000});
  EXPECT_GE(std::set<int32_t>(columns.begin(), columns.end()).size(), 6u);  // the pointer moved
  EXPECT_EQ(window_.Banks().CurrentBankNumber, 1);                          // F5 waited
  EXPECT_EQ(window_.Current().FileName, dir_ / "dropped \xe9.wav");         // handed, then dropped
  EXPECT_EQ(window_.Current().END, 500);
}

// SIGTERM during a play or a take, and a close of the window during a play:
// the loop stops, the command returns, later dialogs return at once.
enum class KRequest { SignalDuringPlay, SignalDuringTake, CloseDuringPlay };

class QuitDuringLoop : public Loop, public ::testing::WithParamInterface<KRequest> {};

TEST_P(QuitDuringLoop, StopsTheLoopAndEndsEveryEventLoop) {
  KQuitSignals quitSignals;
  QObject::connect(&quitSignals, &KQuitSignals::Received, &window_, [this] { window_.Runner().RequestQuit(); });
  int waits = 0;
  audio_.WhenWaiting = [&](KWaveDirection direction) {
    audio_.Advance(direction, 1000);
    if (++waits != 3) return;
    if (GetParam() == KRequest::CloseDuringPlay)
      window_.close();
    else
      kill(getpid(), SIGTERM);
  };
  QDialog& record = *window_.findChild<QDialog*>("DlgRecord");
  const bool take = GetParam() == KRequest::SignalDuringTake;
  if (take) {
    WhenOpen(record, [&record] {
      Find<QLineEdit>(record, "EditRecLen")->setText("25");
      Click(record, "BitBtnRecord");
    });
  }
  window_.Action(take ? "MenuRecord" : "MenuPlayAll")->trigger();
  EXPECT_LT(waits, 10);
  EXPECT_TRUE(window_.Runner().QuitRequested());
  QEventLoop later;
  EXPECT_EQ(later.exec(), -1);  // a dialog opened from now on would not block
}

std::string RequestName(const ::testing::TestParamInfo<KRequest>& info) {
  const char* names[] = {"SignalDuringPlay", "SignalDuringTake", "CloseDuringPlay"};
  return names[int(info.param)];
}

INSTANTIATE_TEST_SUITE_P(Requests, QuitDuringLoop,
                         ::testing::Values(KRequest::SignalDuringPlay, KRequest::SignalDuringTake,
                                           KRequest::CloseDuringPlay),
                         RequestName);

}  // namespace
