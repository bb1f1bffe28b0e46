// The real main window under the offscreen platform: the menu bar against
// the menu table, commands run from menu items and buttons with their
// dialogs answered by the test, bank switching, undo, files, the readouts
// and the messages the user reads.
#include <gtest/gtest.h>

#include <QAction>
#include <QLabel>
#include <QLineEdit>
#include <QMenu>
#include <QMenuBar>
#include <QMouseEvent>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QScrollBar>
#include <QToolButton>
#include <fstream>

#include "app/MainWindow.h"
#include "app/Settings.h"
#include "dialogs/DialogDriver.h"
#include "support/TempDir.h"

namespace {

// Runs `answer` once `dialog` has opened, however many other dialogs open
// and close before it; the answer must close it.
void WhenShown(QDialog& dialog, std::function<void()> answer) {
  auto* timer = new QTimer(&dialog);
  timer->setInterval(5);
  QObject::connect(timer, &QTimer::timeout, &dialog, [timer, &dialog, answer] {
    if (!dialog.isVisible()) return;
    timer->stop();
    timer->deleteLater();
    answer();
  });
  timer->start();
}

class Window : public ::testing::Test {
 protected:
  Window() {
    window_.Banks().SelectBank(1);
    window_.Runner().ChooseFile = [this](const KFileDialogSetup& setup) {
      asked_.push_back(setup.Title);
      return answer_;
    };
  }
  QDialog& Dialog(const char* name) { return *window_.findChild<QDialog*>(name); }
  void Trigger(const char* name) {
    QAction* action = window_.Action(name);
    ASSERT_NE(action, nullptr) << name;
    action->trigger();
  }
  // Answers the prompt `dialog` with `texts` in its edit lines and OK.
  void Answer(const char* dialog, std::vector<QString> texts) {
    QDialog& d = Dialog(dialog);
    WhenShown(d, [&d, texts] {
      for (size_t k = 0; k < texts.size(); ++k) {
        const QString name = std::string(d.objectName().toStdString()) == "TDlgString1"
                                 ? QString("EditString")
                                 : QString("EditLine%1").arg(k + 1);
        auto* edit = d.findChild<QLineEdit*>(name);
        ASSERT_NE(edit, nullptr) << name.toStdString();
        edit->setText(texts[k]);
      }
      Click(d, "BitBtnOK");
    });
  }
  // Collects the message dialog's text and closes it.
  void CatchMessage() {
    QDialog& d = Dialog("TDlgMessage");
    WhenShown(d, [this, &d] {
      messages_.push_back(d.findChild<QPlainTextEdit*>("MemoMsg")->toPlainText().toStdString());
      Click(d, "BitBtnOK");
    });
  }
  void GiveVoice(int bank, int frames) {
    KPcmFiles& v = window_.Banks().Bank(bank);
    v.Channels = 1;
    v.BitsPerSample = 16;
    v.Storage->Resize(frames * 2);
    auto* samples = reinterpret_cast<int16_t*>(v.Storage->MapView(0, frames * 2));
    for (int k = 0; k < frames; ++k) samples[k] = int16_t(k * 37 % 20000 - 10000);
    v.Storage->UnmapView(samples);
    v.END = v.MKR = frames;
    v.MKL = v.FLG = v.ZiStart = 1;
    v.OverviewStale = true;
  }
  // The text of a control of the window itself (a dialog may have one of the same name).
  QString Text(const char* name) {
    QWidget* client = window_.centralWidget();
    if (auto* edit = client->findChild<QLineEdit*>(name)) return edit->text();
    return client->findChild<QAbstractButton*>(name)->text();
  }

  TempDir dir_;
  KNoWaveAudio audio_;
  TFormMain window_{dir_.Path(), audio_};
  std::optional<std::string> answer_;
  std::vector<std::string> asked_;
  std::vector<std::string> messages_;
};

TEST_F(Window, TheMenuBarFollowsTheTable) {
  QList<QAction*> bar = window_.menuBar()->actions();
  std::vector<std::string> menus;
  for (QAction* a : bar) menus.push_back(a->text().toStdString());
  EXPECT_EQ(menus, (std::vector<std::string>{"&File", "&Edit", "&Mark", "&Bank", "&Play", "&Record", "&Tool", "&Option",
                                             "&View"}));
  // The File menu item by item, separators included.
  std::vector<std::string> file;
  for (QAction* a : bar[0]->menu()->actions()) file.push_back(a->isSeparator() ? "-" : a->text().toStdString());
  EXPECT_EQ(file, (std::vector<std::string>{"Load MXV file", "-", "Load WAV file", "-", "Load VOC file", "-",
                                            "Load raw PCM file (Ch 1 : Bit 8)", "Load raw PCM file (Ch 1 : Bit 16)",
                                            "Load raw PCM file (Ch 2 : Bit 8)", "Load raw PCM file (Ch 2 : Bit 16)",
                                            "-", "Save", "Save as ...", "-", "Exit"}));
  EXPECT_EQ(window_.Action("MenuBank12")->shortcut(), QKeySequence("F12"));
  EXPECT_FALSE(window_.Action("MenuTranslateVoiceSR")->isEnabled());
  EXPECT_TRUE(window_.Action("MenuHexScaleText")->isChecked());
  EXPECT_TRUE(window_.Action("MenuSecLocationIndicator")->isChecked());
  EXPECT_TRUE(window_.Action("MenuCurveWaveform")->isChecked());
  EXPECT_FALSE(window_.Action("MenuUndo")->isEnabled());
  // The Mode button runs the rectangle command, and the check marks follow.
  window_.findChild<QPushButton*>("BitBtnWaveformMode")->click();
  EXPECT_TRUE(window_.Action("MenuRectangleWaveform")->isChecked());
  EXPECT_FALSE(window_.Action("MenuCurveWaveform")->isChecked());
}

// Every push button and bank button has its picture; a bank's picture tells
// whether it holds a voice, and follows the commands that fill or empty it.
TEST_F(Window, ButtonsHaveTheirPicturesAndBanksShowTheirContents) {
  for (QPushButton* button : window_.centralWidget()->findChildren<QPushButton*>())
    EXPECT_FALSE(button->icon().isNull()) << button->objectName().toStdString();
  auto bankImage = [this](int bank) {
    const auto* button = window_.findChild<QToolButton*>(QString("ToolBtnBank%1").arg(bank));
    EXPECT_FALSE(button->icon().isNull()) << bank;
    return button->icon().pixmap(button->iconSize(), 1.0).toImage();
  };
  for (int bank = 1; bank <= 12; ++bank) EXPECT_EQ(bankImage(bank), bankImage(12)) << bank;
  GiveVoice(3, 500);
  Trigger("MenuBank2");
  EXPECT_NE(bankImage(3), bankImage(4));
  Trigger("MenuBank3");
  Trigger("MenuClearBank");
  EXPECT_EQ(bankImage(3), bankImage(4));
}

TEST_F(Window, AnEditItsUndoCaptionAndUndoThroughTheMenu) {
  GiveVoice(1, 20000);
  window_.Banks().SelectBank(1);
  Answer("TDlgChannelSelB", {"150"});
  Trigger("MenuMathAmp");
  EXPECT_EQ(window_.Action("MenuUndo")->text(), "Undo : Mathematical Amplifier");
  EXPECT_TRUE(window_.Action("MenuUndo")->isEnabled());
  EXPECT_EQ(window_.Context().Prompts.Text(KPrompt::Amplifier), "150");
  Trigger("MenuUndo");
  EXPECT_EQ(window_.Action("MenuUndo")->text(), "Undo");
  EXPECT_FALSE(window_.Action("MenuUndo")->isEnabled());
  // A refused percentage shows Error 013 and keeps the remembered text.
  Answer("TDlgChannelSelB", {"0"});
  CatchMessage();
  Trigger("MenuMathAmp");
  ASSERT_EQ(messages_.size(), 1u);
  EXPECT_EQ(messages_[0].substr(0, 9), "Error 013");
  EXPECT_EQ(window_.Context().Prompts.Text(KPrompt::Amplifier), "150");
}

TEST_F(Window, BankSwitchingKeepsEachBankAsItWas) {
  GiveVoice(3, 5000);
  window_.findChild<QToolButton*>("ToolBtnBank3")->click();
  EXPECT_EQ(&window_.Current(), &window_.Banks().Bank(3));
  EXPECT_EQ(window_.findChild<QToolButton*>("ToolBtnBank3")->property("ImageIndex").toInt(), 1);
  EXPECT_EQ(window_.findChild<QToolButton*>("ToolBtnBank1")->property("ImageIndex").toInt(), 0);
  window_.Current().SetMklAt(100);
  window_.Current().SetMkrAt(900);
  window_.Current().ZiStart = 77;
  const QString end = Text("BitBtnEND");
  Trigger("MenuBank5");
  EXPECT_EQ(Text("BitBtnEND"), "0.0000 Sec");
  Trigger("MenuBank3");
  KPcmFiles& v = window_.Banks().Bank(3);
  EXPECT_EQ(std::make_tuple(v.MKL, v.MKR, v.ZiStart, v.END), std::make_tuple(100, 900, 77, 5000));
  EXPECT_EQ(Text("BitBtnEND"), end);
  EXPECT_EQ(Text("EditVoiceInfo"), "Ch 1 :: Bit 16");
}

TEST_F(Window, LoadAndSaveThroughTheFileCommands) {
  GiveVoice(1, 1000);
  window_.Banks().SelectBank(1);
  const std::string wav = dir_ / "out.wav";
  answer_ = wav;
  Trigger("MenuSaveWAV");
  EXPECT_EQ(asked_.back(), "Save WAV");
  std::ifstream saved(wav, std::ios::binary | std::ios::ate);
  EXPECT_EQ(int(saved.tellg()), 44 + 2000);
  Trigger("MenuBank2");
  answer_ = std::nullopt;  // a cancelled dialog does nothing
  Trigger("MenuLoadWAV");
  EXPECT_EQ(window_.Current().END, 0);
  answer_ = wav;
  CatchMessage();  // the file is held by bank 1
  Trigger("MenuLoadWAV");
  ASSERT_EQ(messages_.size(), 1u);
  EXPECT_EQ(messages_[0].substr(0, 9), "Error 002");
  Trigger("MenuBank1");
  Trigger("MenuClearBank");
  Trigger("MenuBank2");
  Trigger("MenuLoadWAV");
  EXPECT_EQ(window_.Current().END, 1000);
  EXPECT_EQ(Text("EditSR"), "16000 Hz");
  EXPECT_EQ(window_.findChild<QLabel*>("StatusBarPanel0")->text().toStdString(), "File = " + wav);
}

// The rate bar rewrites the rate; the alias panel opens its prompt; a colour
// item changes its slot and a restart keeps it.
TEST_F(Window, ControlsAliasAndColours) {
  GiveVoice(1, 1000);
  window_.Banks().SelectBank(1);
  window_.centralWidget()->findChild<QScrollBar*>("ScrollBarSR")->setValue(16013);
  EXPECT_EQ(window_.Current().SampleRate, 16000);
  window_.centralWidget()->findChild<QScrollBar*>("ScrollBarSR")->setValue(8030);
  EXPECT_EQ(Text("EditSR"), "8025 Hz");
  Answer("TDlgString1", {"New alias"});
  window_.Runner().Run(KCommandId::StatusBarMouseDown);
  EXPECT_EQ(window_.Current().AliasName, "New alias");
  EXPECT_EQ(window_.findChild<QLabel*>("StatusBarPanel1")->text(), "Alias = New alias");
  window_.ChooseColour = [](KColour) { return KColour(0x123456); };
  Trigger("MenuZoColorMuteLine");
  EXPECT_EQ(window_.Display().Colours.Get(KColourSlot::ZO_MuteLine), 0x123456u);
  const QString ini = QString::fromStdString(dir_ / "Melotrix.INI");
  ASSERT_TRUE(SaveColours(window_.Display().Colours, ini).Ok);
  KDisplay restarted(0xC0C0C0);
  LoadColours(restarted.Colours, ini);
  EXPECT_EQ(restarted.Colours.Get(KColourSlot::ZO_MuteLine), 0x123456u);
  Trigger("MenuResetAllColor");
  EXPECT_NE(window_.Display().Colours.Get(KColourSlot::ZO_MuteLine), 0x123456u);
}

// A file named on the command line, handed over or dropped loads into the
// current bank by its extension, as its Load command would.
// Names are the file system's bytes, UTF-8 or not.
TEST_F(Window, FilesLoadByTheirExtension) {
  GiveVoice(1, 300);
  window_.Banks().SelectBank(1);
  answer_ = dir_ / "lat\xe9n.WAV";
  Trigger("MenuSaveWAV");
  Trigger("MenuClearBank");
  EXPECT_TRUE(window_.LoadFile(dir_ / "lat\xe9n.WAV"));
  EXPECT_EQ(window_.Current().END, 300);
  EXPECT_EQ(window_.Current().FileName, dir_ / "lat\xe9n.WAV");
  EXPECT_FALSE(window_.LoadFile(dir_ / "v.pcm"));  // raw files need their format: not by name
  EXPECT_FALSE(window_.LoadFile(dir_ / "noextension"));
}

// A play on a device that does not open shows Error 006 in a box that
// takes its keys; afterwards the window takes input again.
TEST_F(Window, TheBoxOfAPlayOrTakeThatCannotOpenTheDeviceTakesItsKeys) {
  GiveVoice(1, 1000);
  window_.Banks().SelectBank(1);
  QDialog& box = Dialog("TDlgMessage");
  QDialog& record = Dialog("DlgRecord");
  for (const char* command : {"MenuPlayAll", "MenuRecord"}) {
    WhenShown(box, [&box, this] {
      messages_.push_back(box.findChild<QPlainTextEdit*>("MemoMsg")->toPlainText().toStdString());
      PressKey(box.focusWidget(), Qt::Key_Return);
      if (box.isVisible()) box.reject();  // the key was swallowed: fail, but do not hang
    });
    if (command == std::string("MenuRecord")) WhenOpen(record, [&record] { Click(record, "BitBtnRecord"); });
    Trigger(command);
    EXPECT_EQ(box.result(), QDialog::Accepted) << command;
  }
  ASSERT_EQ(messages_.size(), 2u);
  EXPECT_EQ(messages_[0].substr(0, 9), "Error 006");
  EXPECT_EQ(messages_[1].substr(0, 9), "Error 009");
  QWidget* bank2 = window_.findChild<QToolButton*>("ToolBtnBank2");
  const QPointF at = bank2->rect().center();
  for (QEvent::Type type : {QEvent::MouseButtonPress, QEvent::MouseButtonRelease}) {
    QMouseEvent click(type, at, bank2->mapToGlobal(at), Qt::LeftButton,
                      type == QEvent::MouseButtonPress ? Qt::LeftButton : Qt::NoButton, Qt::NoModifier);
    QApplication::sendEvent(bank2, &click);
  }
  EXPECT_EQ(window_.Banks().CurrentBankNumber, 2);
}

TEST_F(Window, SplitOnAMonoVoiceRefusesBeforeItsDialog) {
  GiveVoice(1, 100);
  window_.Banks().SelectBank(1);
  CatchMessage();
  Trigger("MenuSpiltChannel");
  ASSERT_EQ(messages_.size(), 1u);
  EXPECT_EQ(messages_[0].substr(0, 9), "Error 016");
  EXPECT_FALSE(Dialog("TDlgSplitChannel").isVisible());
}

}  // namespace
