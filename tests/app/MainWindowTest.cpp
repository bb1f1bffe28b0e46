// The real main window under the offscreen platform, its dialogs answered
// by the test; and the record dialog's time.
#include <QAction>
#include <QCheckBox>
#include <QComboBox>
#include <QLabel>
#include <QMenu>
#include <QMenuBar>
#include <QPlainTextEdit>
#include <QRadioButton>
#include <QScrollBar>
#include <QToolButton>
#include <clocale>
#include <cmath>

#include "AppFixture.h"
#include "app/Drecord.h"
#include "app/PaintBox.h"

namespace {

class Window : public KWindowFixture<KNoWaveAudio> {
 protected:
  QDialog& Dialog(const char* name) { return *window_.findChild<QDialog*>(name); }
  // Keeps the start of the message box's text ("Error 013") once it shows, and presses Return.
  void CatchMessage() {
    QDialog& box = Dialog("TDlgMessage");
    WhenShown(box, [this, &box] {
      messages_.push_back(box.findChild<QPlainTextEdit*>("MemoMsg")->toPlainText().left(9).toStdString());
      QKeyEvent press(QEvent::KeyPress, Qt::Key_Return, Qt::NoModifier);
      QApplication::sendEvent(box.focusWidget(), &press);
      if (box.isVisible()) box.reject();  // the key was swallowed: fail, but do not hang
    });
  }
  // Puts `text` into the first edit line of the prompt `dialog` and presses OK.
  void Answer(const char* dialog, const QString& text) {
    QDialog& d = Dialog(dialog);
    WhenShown(d, [&d, text] {
      d.findChild<QLineEdit*>(d.objectName() == "TDlgString1" ? "EditString" : "EditLine1")->setText(text);
      Click(d, "BitBtnOK");
    });
  }
  std::vector<std::string> messages_;
};

// A menu item as the menu bar shows it; a separator is its depth alone. Undo
// starts disabled: there is nothing to undo yet.
QString Row(int depth, const QString& name, const QString& caption, const QString& keys, bool checkable, bool enabled) {
  return QString("%1 %2 %3 %4 %5%6").arg(depth).arg(name, caption, keys).arg(int(checkable)).arg(int(enabled));
}

void Rows(const QList<QAction*>& actions, int depth, QStringList& rows) {
  for (QAction* a : actions) {
    rows << (a->isSeparator()
                 ? QString::number(depth)
                 : Row(depth, a->objectName(), a->text(), a->shortcut().toString(), a->isCheckable(), a->isEnabled()));
    if (a->menu()) Rows(a->menu()->actions(), depth + 1, rows);
  }
}

TEST_F(Window, TheMenuBarAndTheButtonsFollowTheTable) {
  // A fixed size with minimise and close but no maximise.
  EXPECT_EQ(window_.minimumSize(), window_.maximumSize());
  EXPECT_EQ(window_.windowFlags() & (Qt::WindowMinMaxButtonsHint | Qt::WindowCloseButtonHint),
            Qt::WindowMinimizeButtonHint | Qt::WindowCloseButtonHint);
  QStringList built, table;
  Rows(window_.menuBar()->actions(), 0, built);
  for (const KMenuItem& item : MenuItems()) {
    table << (item.Separator() ? QString::number(item.Depth)
                               : Row(item.Depth, item.Name, item.Caption, item.Shortcut ? item.Shortcut : "",
                                     item.Group != KCheckGroup::None,
                                     item.Action != KWindowAction::Disabled && item.Name != std::string("MenuUndo")));
  }
  EXPECT_EQ(built.join('\n').toStdString(), table.join('\n').toStdString());
  for (QPushButton* button : window_.centralWidget()->findChildren<QPushButton*>())
    EXPECT_FALSE(button->icon().isNull()) << button->objectName().toStdString();
  // The Mode button runs the rectangle command, and the check marks follow.
  EXPECT_TRUE(window_.Action("MenuCurveWaveform")->isChecked());
  Click(*window_.centralWidget(), "BitBtnWaveformMode");
  EXPECT_TRUE(window_.Action("MenuRectangleWaveform")->isChecked());
  EXPECT_FALSE(window_.Action("MenuCurveWaveform")->isChecked());
}

// Dialogs, prompts and controls gather the input, refusals and failures show
// their message, undo follows, a colour item repaints the box of its colour.
TEST_F(Window, CommandsGatherTheirInputAndShowTheirOutcome) {
  Give(window_, 1, 20000);
  Answer("TDlgChannelSelB", "150");
  window_.Action("MenuMathAmp")->trigger();
  EXPECT_EQ(window_.Action("MenuUndo")->text(), "Undo : Mathematical Amplifier");
  window_.Action("MenuUndo")->trigger();
  EXPECT_FALSE(window_.Action("MenuUndo")->isEnabled());
  Answer("TDlgChannelSelB", "0");  // refused: the text last accepted stays
  CatchMessage();
  window_.Action("MenuMathAmp")->trigger();
  EXPECT_EQ(window_.Context().Prompts.Text(KPrompt::Amplifier), "150");
  CatchMessage();  // split refuses a mono voice before its dialog opens
  window_.Action("MenuSpiltChannel")->trigger();
  // A play or a take on a device that does not open shows its error in a box that takes its keys.
  for (const char* command : {"MenuPlayAll", "MenuRecord"}) {
    CatchMessage();
    QDialog& record = Dialog("DlgRecord");
    if (command == std::string("MenuRecord")) WhenShown(record, [&record] { Click(record, "BitBtnRecord"); });
    window_.Action(command)->trigger();
    EXPECT_EQ(Dialog("TDlgMessage").result(), QDialog::Accepted) << command;
  }
  EXPECT_EQ(messages_, (std::vector<std::string>{"Error 013", "Error 016", "Error 006", "Error 009"}));
  // Normalise and mark-sound take their prompts' texts; on this silent voice each says why nothing changed.
  for (auto [item, dialog, text] :
       {std::tuple{"MenuNormalize", "TDlgChannelSelB", "-3"}, {"MenuMarkSound", "TDlgChannelSelC", "-50"}}) {
    Answer(dialog, text);
    CatchMessage();
    window_.Action(item)->trigger();
  }
  const KPromptTexts& prompts = window_.Context().Prompts;
  EXPECT_EQ(std::vector<std::string>(messages_.begin() + 4, messages_.end()),
            (std::vector<std::string>{"Normalize", "Mark soun"}));
  EXPECT_EQ(
      prompts.Text(KPrompt::Normalize) + prompts.Text(KPrompt::SoundThreshold) + prompts.Text(KPrompt::SoundMargin),
      "-3-5010");
  auto* rate = window_.centralWidget()->findChild<QScrollBar*>("ScrollBarSR");
  rate->setValue(16013);
  EXPECT_EQ(window_.Current().SampleRate, 16000);
  EXPECT_EQ(window_.centralWidget()->findChild<QLineEdit*>("EditSR")->text(), "16000 Hz");
  Answer("TDlgString1", "New alias");
  window_.Runner().Run(KCommandId::StatusBarMouseDown);
  EXPECT_EQ(window_.Current().AliasName, "New alias");
  EXPECT_EQ(window_.findChild<QLabel*>("StatusBarPanel1")->text(), "Alias = New alias");
  window_.ChooseColour = [](KColour) { return KColour(0x123456); };
  for (auto [item, box] :
       {std::pair{"MenuZiColorWaveformBackground", "PaintBoxZI"}, {"MenuZoColorWaveformBorder", "PaintBoxZO"}}) {
    window_.Action(item)->trigger();
    const KImageCanvas& image = window_.findChild<KPaintBox*>(box)->Surface().Image();
    int shown = 0;
    for (int k = 0; k < image.Width() * image.Height(); ++k)
      shown += image.PixelAt(k % image.Width(), k / image.Width()) == 0x123456;
    EXPECT_GT(shown, 0) << item;
  }
}

// Each bank keeps its voice and state, and its button shows whether it holds
// one; files save and load through the file commands, and by their extension.
TEST_F(Window, BanksKeepTheirVoicesAndFilesLoadAndSave) {
  auto bankImage = [this](int bank) {
    const auto* button = window_.findChild<QToolButton*>(QString("ToolBtnBank%1").arg(bank));
    return button->icon().pixmap(button->iconSize(), 1.0).toImage();
  };
  const QImage empty = bankImage(12);
  Give(window_, 3, 5000);
  window_.findChild<QToolButton*>("ToolBtnBank3")->click();
  EXPECT_EQ(std::make_pair(bankImage(1) == empty, bankImage(3) == empty), std::make_pair(true, false));
  window_.Current().SetMklAt(100);
  window_.Current().SetMkrAt(900);
  window_.Current().ZiStart = 77;
  window_.Action("MenuBank5")->trigger();
  window_.Action("MenuBank3")->trigger();
  const KPcmFiles& v = window_.Current();
  EXPECT_EQ(std::make_tuple(v.MKL, v.MKR, v.ZiStart, v.END), std::make_tuple(100, 900, 77, 5000));
  EXPECT_EQ(window_.centralWidget()->findChild<QLineEdit*>("EditVoiceInfo")->text(), "Ch 1 :: Bit 16");
  const std::string wav = dir_ / "lat\xe9n.WAV";
  std::optional<std::string> chosen = wav;
  window_.Runner().ChooseFile = [&](const KFileDialogSetup&) { return chosen; };
  window_.Action("MenuSaveWAV")->trigger();
  EXPECT_EQ(Contents(wav).size(), 44u + 10000);
  window_.Action("MenuBank2")->trigger();
  chosen = std::nullopt;  // a cancelled dialog loads nothing
  window_.Action("MenuLoadWAV")->trigger();
  EXPECT_EQ(window_.Current().END, 0);
  chosen = wav;  // held by bank 3
  CatchMessage();
  window_.Action("MenuLoadWAV")->trigger();
  EXPECT_EQ(messages_, std::vector<std::string>{"Error 002"});
  window_.Action("MenuBank3")->trigger();
  window_.Action("MenuClearBank")->trigger();
  EXPECT_EQ(bankImage(3), empty);
  window_.Action("MenuBank2")->trigger();
  EXPECT_TRUE(window_.LoadFile(wav));
  EXPECT_EQ(window_.Current().END, 5000);
  EXPECT_EQ(window_.Current().FileName, wav);
  // Raw files need their format, so they do not load by name; a file of no voice format goes to the import, which
  // says why it cannot be read.
  EXPECT_FALSE(window_.LoadFile(dir_ / "v.pcm"));
  CatchMessage();
  EXPECT_FALSE(window_.LoadFile(dir_ / "noextension"));
  EXPECT_EQ(messages_.size(), 2u);
}

// Sound files that no voice loader takes open in the import dialog and become the voice format chosen there; a file
// of no voice format is named for a Save as MXV beside it; Cancel loads nothing.
TEST_F(Window, SoundFilesImportThroughTheirDialog) {
  const struct {
    const char* Name;
    const char* Sox;
    bool Cancel;
  } rows[] = {{"a.wav", "-r 48000 -b 24 -c 2", false},
              {"b.wav", "-r 44100 -e floating-point -b 32 -c 1", false},
              {"c.flac", "-r 22050 -b 16 -c 2", false},
              {"d.aiff", "-r 8000 -b 16 -c 6", false},
              {"e.wav", "-r 48000 -b 24 -c 2", true}};
  for (const auto& row : rows) {
    SCOPED_TRACE(row.Name);
    const std::string path = dir_ / row.Name;
    ASSERT_EQ(std::system(("sox -q -n " + std::string(row.Sox) + " " + path + " synth 0.5 sine 440 vol 0.25").c_str()),
              0);
    QDialog& dialog = Dialog("TDlgImportSound");
    WhenShown(dialog, [&dialog, &row] {
      dialog.findChild<QComboBox*>("ComboBoxRate")->setCurrentText("16000");
      for (const char* name : {"RadioGroupChannel1", "RadioGroupBits8"}) dialog.findChild<QRadioButton*>(name)->click();
      dialog.findChild<QCheckBox*>("CheckBoxNormalize")->setChecked(true);
      Click(dialog, row.Cancel ? "BitBtnCancel" : "BitBtnOK");
    });
    window_.Runner().Run(KCommandId::MenuClearBankClick, {});
    EXPECT_EQ(window_.LoadFile(path), !row.Cancel);
    const KPcmFiles& v = window_.Current();
    if (row.Cancel) {
      EXPECT_EQ(v.END, 0);
      continue;
    }
    EXPECT_EQ(std::tuple(v.Channels, v.BitsPerSample, v.SampleRate, v.END), std::tuple(1, 8, 16000, 8000));
    const std::string name = path.substr(0, path.rfind('.')) + (path.ends_with(".wav") ? ".wav" : ".mxv");
    EXPECT_EQ(std::pair(v.FileName, v.FileType),
              std::pair(name, name.ends_with(".wav") ? KFileType::Wav : KFileType::Mxv));
    int peak = 0;
    for (uint8_t sample : Contents(v.Storage->OpenFilePath()).substr(0, 8000))
      peak = std::max(peak, std::abs(sample - 128));
    EXPECT_NEAR(20 * std::log10(peak / 128.0), -1.0, 0.1);
  }
}

// Tab reaches every control of the record dialog, the rate bar too, and Start Record has its glyph as OK and
// Cancel have theirs.
TEST(RecordDialog, TabReachesEveryControl) {
  TDlgRecord dialog;
  for (QWidget* control : dialog.findChildren<QWidget*>()) {
    const bool focusable = control->inherits("QPushButton") || control->inherits("QLineEdit") ||
                           control->inherits("QScrollBar") || control->inherits("QRadioButton");
    EXPECT_TRUE(!focusable || (control->focusPolicy() & Qt::TabFocus)) << control->objectName().toStdString();
  }
  EXPECT_FALSE(dialog.findChild<QPushButton*>("BitBtnRecord")->icon().isNull());
}

TEST(RecordDialog, RecordTimeIsAWholeFiniteNumberUnderEveryLocale) {
  const bool german = std::setlocale(LC_ALL, "de_DE.UTF-8") != nullptr;
  for (auto [text, seconds] : {std::pair{"10.0", 10.0}, {" 2.5 ", 2.5}, {"-1", -1.0}})
    EXPECT_EQ(TDlgRecord::RecordSeconds(text), seconds) << text;
  for (const char* text : {"abc", "1.5x", "", "1e999"})
    EXPECT_EQ(TDlgRecord::RecordSeconds(text), std::nullopt) << text;
  std::setlocale(LC_ALL, "C");
  if (!german) GTEST_SKIP() << "no German locale on this machine";
}

}  // namespace
