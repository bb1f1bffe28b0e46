// Play and record loops: the input guard, the real window on the simulated
// device, and the real window through real ALSA.
#include <alsa/asoundlib.h>

#include <QDropEvent>
#include <QEventLoop>
#include <QKeyEvent>
#include <QMimeData>
#include <QScrollBar>
#include <QTest>
#include <set>

#include "AppFixture.h"
#include "app/Signals.h"
#include "platform/AlsaWaveAudio.h"
#include "platform/SimulatedWaveAudio.h"
#include "support/QtTestMain.h"

namespace {

void Press(QWidget* widget, int key, const QString& text = {}) {
  QApplication::postEvent(widget, new QKeyEvent(QEvent::KeyPress, key, Qt::NoModifier, text));
}

// The windows open at the start take only Escape (latched), and a close of one
// but the main window stops the loop; a window the loop opens gets its input.
TEST(LoopGuard, HostsTakeOnlyEscapeNewWindowsTakeAll) {
  QLineEdit main, dialog, opened;
  main.show();
  dialog.show();
  KLoopGuard guard(&main);
  guard.Begin();
  opened.show();  // opened by the loop: the message box
  Press(&main, Qt::Key_A, "a");
  Press(&opened, Qt::Key_B, "b");
  Press(&opened, Qt::Key_Escape);
  EXPECT_FALSE(guard.PollEscape());  // an Escape meant for the box does not stop the loop
  EXPECT_EQ(main.text() + opened.text(), "b");
  EXPECT_TRUE(main.close());     // the main window decides about its own close
  EXPECT_FALSE(dialog.close());  // another host's close is refused and stops the loop
  EXPECT_TRUE(guard.PollEscape());
  guard.End();
  guard.Begin();  // a new loop starts without the old Escape
  EXPECT_FALSE(guard.PollEscape());
  Press(&dialog, Qt::Key_Escape);
  EXPECT_TRUE(guard.PollEscape());
  guard.End();
  Press(&dialog, Qt::Key_C, "c");
  QApplication::processEvents();
  EXPECT_EQ(dialog.text(), "c");
}

using Loop = KWindowFixture<KSimulatedWaveAudio>;

TEST_F(Loop, InputWaitsAndFilesLoadAfterThePlayInOrder) {
  Give(window_, 1, 200000).SampleRate = 8000;
  ASSERT_TRUE(Give(window_, 2, 300).SaveWavFile(dir_ / "handed.wav"));
  ASSERT_TRUE(Give(window_, 3, 500).SaveWavFile(dir_ / "dropped \xe9.wav"));
  for (int bank : {2, 3}) window_.Banks().Bank(bank).ClearBank();
  QMimeData dropped;
  dropped.setUrls({QUrl::fromEncoded("file://" + QByteArray::fromStdString(dir_.Path()) + "/dropped%20%E9.wav")});
  std::vector<int32_t> columns;
  audio_.WhenWaiting = [&](KWaveDirection direction) {
    audio_.Advance(direction, 1000);
    columns.push_back(window_.Current().Overview.PointerX);
    if (columns.size() == 3) {
      window_.OpenFile(dir_ / "handed.wav");
      QDragEnterEvent enter(QPoint(400, 300), Qt::CopyAction, &dropped, Qt::LeftButton, Qt::NoModifier);
      QApplication::sendEvent(&window_, &enter);
      QDropEvent drop(QPointF(400, 300), Qt::CopyAction, &dropped, Qt::LeftButton, Qt::NoModifier);
      QApplication::sendEvent(&window_, &drop);
      QTest::keyClick(&window_, Qt::Key_F5);  // through the shortcut map, as typed
    }
    if (columns.size() == 8) Press(&window_, Qt::Key_Escape);
  };
  window_.show();  // active, so that its menu shortcuts are live
  window_.activateWindow();
  ASSERT_TRUE(QTest::qWaitForWindowActive(&window_));
  window_.Action("MenuPlayAll")->trigger();
  // Stopped by Escape while the pointer moved; F5 did nothing; the handed file loaded, then the dropped one.
  EXPECT_EQ(columns.size(), 8u);
  EXPECT_GE(std::set<int32_t>(columns.begin(), columns.end()).size(), 6u);
  EXPECT_EQ(window_.Banks().CurrentBankNumber, 1);
  EXPECT_EQ(std::make_pair(window_.Current().FileName, window_.Current().END),
            std::make_pair(dir_ / "dropped \xe9.wav", 500));
}

// SIGTERM during a play or a take, and a close of the window during a play:
// the loop stops, the command returns, later event loops return at once.
TEST(QuitDuringLoop, StopsTheLoopAndEndsEveryEventLoop) {
  for (const std::string request : {"signal during play", "signal during take", "close during play"}) {
    SCOPED_TRACE(request);
    TempDir dir;
    KSimulatedWaveAudio audio;
    TFormMain window(dir.Path(), audio);
    window.Banks().SelectBank(1);
    Give(window, 1, 200000).SampleRate = 8000;
    KQuitSignals quitSignals;
    QObject::connect(&quitSignals, &KQuitSignals::Received, &window, [&window] { window.Runner().RequestQuit(); });
    int waits = 0;
    audio.WhenWaiting = [&](KWaveDirection direction) {
      audio.Advance(direction, 1000);
      if (++waits != 3) return;
      if (request == "close during play")
        window.close();
      else
        kill(getpid(), SIGTERM);
    };
    QDialog& record = *window.findChild<QDialog*>("DlgRecord");
    if (request == "signal during take") WhenShown(record, [&record] { Click(record, "BitBtnRecord"); });
    window.Action(request == "signal during take" ? "MenuRecord" : "MenuPlayAll")->trigger();
    EXPECT_LT(waits, 10);
    ASSERT_TRUE(window.Runner().QuitRequested());
    QEventLoop later;
    EXPECT_EQ(later.exec(), -1);  // a dialog opened from now on would not block
    ForgetQuitRequest();
  }
}

// The default PCM is ALSA's file plugin (an asoundrc in the config home):
// the bytes the window plays land in out.raw, and a take comes from in.raw.
TEST(WindowAlsa, PlayAndRecordThroughTheFilePlugin) {
  KDesktop desktop;
  KEnvironmentValue pcm("MELOTRIX_PCM", "default");
  std::filesystem::create_directories(desktop / "config/alsa");
  std::ofstream(desktop / "config/alsa/asoundrc")
      << "pcm.!default { type asym\n  playback.pcm { type file file \"" << desktop / "out.raw"
      << "\" format raw slave.pcm null }\n"
      << "  capture.pcm { type file file \"/dev/null\" infile \"" << desktop / "in.raw"
      << "\" format raw slave.pcm null }\n}\n";
  std::string input(40000, '\0');
  for (size_t k = 0; k < input.size(); ++k) input[k] = char(k * 7 + k / 300);
  std::ofstream(desktop / "in.raw", std::ios::binary) << input;
  snd_config_update_free_global();
  {
    KAlsaWaveAudio audio;
    TFormMain window(desktop / "system", audio);
    window.Banks().SelectBank(1);
    // One second of mono 8-bit (the voice's format) at 8000 Hz through the record dialog.
    QDialog& dialog = *window.findChild<QDialog*>("DlgRecord");
    WhenShown(dialog, [&dialog] {
      auto* length = dialog.findChild<QLineEdit*>("EditRecLen");
      length->setText("abc");  // no number: put back to "10.0", and nothing records
      Click(dialog, "BitBtnRecord");
      EXPECT_EQ(std::make_pair(dialog.isVisible(), length->text()), std::make_pair(true, QString("10.0")));
      length->setText("1.0");
      dialog.findChild<QScrollBar*>("ScrollBarSR")->setValue(8000);
      Click(dialog, "BitBtnRecord");
    });
    window.Action("MenuRecord")->trigger();
    KPcmFiles& v = window.Current();
    ASSERT_EQ(v.END, 8000);
    // END - 1 captured frames from the input, and a silent END frame.
    EXPECT_EQ(Contents(v.Storage->OpenFilePath()).substr(0, 8000), input.substr(0, 7999) + '\x80');
    // The marked area 101..5100 plays frames 101..5099.
    v.SetMklAt(101);
    v.SetMkrAt(5100);
    Click(window, "BitBtnPlayMarked");
    MxCloseAllWaveDeviceHandle(audio);
    EXPECT_EQ(Contents(desktop / "out.raw"), input.substr(100, 4999));
  }
  snd_config_update_free_global();
}

}  // namespace
