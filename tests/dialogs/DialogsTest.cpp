// Each dialog driven as a user does: its frame, what it shows and focuses at every opening, and what it gives; the
// voice's hooks; where a window goes.
#include <QCheckBox>
#include <QComboBox>
#include <QCursor>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QProgressBar>
#include <QRadioButton>
#include <QScrollBar>
#include <QTextBlock>
#include <QWindow>

#include "DialogDriver.h"
#include "dialogs/Dchselb.h"
#include "dialogs/Dchselc.h"
#include "dialogs/Dformat.h"
#include "dialogs/Dimport.h"
#include "dialogs/Dlgmsg.h"
#include "dialogs/Dlgstr1.h"
#include "dialogs/Dmergech.h"
#include "dialogs/Dmixer.h"
#include "dialogs/Dprogess.h"
#include "dialogs/Dsplitch.h"
#include "dialogs/ProgressHooks.h"
#include "dialogs/ScreenCenter.h"

namespace {

TEST(DlgMixer, ListsNoneAndTheBanksAndEveryOpeningShowsNone) {
  TDlgMixer dialog;
  ExpectFrame(dialog, "Mixer", {284, 312});
  QComboBox* lists[4];
  for (int n = 0; n < 4; ++n) {
    lists[n] = Find<QComboBox>(dialog, QString("ComboBoxSourBank%1").arg(n + 1).toLatin1());
    ASSERT_TRUE(lists[n] && lists[n]->count() == 13 && lists[n]->itemText(0) == "None" && !lists[n]->isEditable());
  }
  for (int run = 0; run < 2; ++run) {
    WhenOpen(dialog, [&] {
      for (QComboBox* list : lists) EXPECT_EQ(list->currentIndex(), 0);
      EXPECT_EQ(dialog.focusWidget(), lists[0]);
      lists[0]->setCurrentIndex(3);
      lists[2]->setCurrentIndex(12);
      Click(dialog, "BitBtnOK");
    });
    EXPECT_EQ(dialog.Ask(), (std::array<int, 4>{3, 0, 12, 0}));
  }
  WhenOpen(dialog, [&] { Click(dialog, "BitBtnCancel"); });
  EXPECT_FALSE(dialog.Ask().has_value());
}

// Split proposes banks 11 and 12, merge 1 and 2, at every opening; OK gives the banks chosen (the list index plus 1),
// Esc nothing.
TEST(DlgChannelBanks, SplitAndMergeProposeTheirBanks) {
  TDlgSplitChannel split;
  TDlgMergeChannel merge;
  const std::tuple<KChannelBanksDialog*, QString, QSize, const char*, const char*, KChannelBanks> cases[] = {
      {&split, "Split channel", {341, 271}, "ComboBoxCh1DestBank", "ComboBoxCh2DestBank", {11, 12}},
      {&merge, "Merge channel", {372, 270}, "ComboBoxCh1SourBank", "ComboBoxCh2SourBank", {1, 2}}};
  for (auto [dialog, title, size, list1, list2, proposed] : cases) {
    ExpectFrame(*dialog, title, size);
    QComboBox* first = Find<QComboBox>(*dialog, list1);
    QComboBox* second = Find<QComboBox>(*dialog, list2);
    ASSERT_TRUE(first && second && first->count() == 12 && second->itemText(11) == "Bank 12" && !first->isEditable());
    for (int run = 0; run < 2; ++run) {
      WhenOpen(*dialog, [&, proposed = proposed, dialog = dialog] {
        EXPECT_EQ(std::pair(first->currentIndex() + 1, second->currentIndex() + 1),
                  std::pair(proposed.channel1, proposed.channel2));
        EXPECT_EQ(dialog->focusWidget(), first);
        first->setCurrentIndex(4);
        second->setCurrentIndex(0);
        Click(*dialog, "BitBtnOK");
      });
      const auto banks = dialog->Ask();
      EXPECT_TRUE(banks && banks->channel1 == 5 && banks->channel2 == 1);
    }
    WhenOpen(*dialog, [&] { PressKey(first, Qt::Key_Escape); });
    EXPECT_FALSE(dialog->Ask().has_value());
  }
}

// The format dialog opens with the voice's format (other values leave the groups as they were, the first opening
// showing the defaults) and gives what is chosen.
TEST(DlgVoiceFormat, OpensWithTheVoiceFormatAndGivesTheChoice) {
  TDlgVoiceFormat dialog;
  ExpectFrame(dialog, "Modify the format of voice", {253, 241});
  const char* names[] = {"RadioChannel1", "RadioChannel2", "RadioBit8", "RadioBit16"};
  QRadioButton* buttons[4];
  for (int i = 0; i < 4; ++i) ASSERT_NE(buttons[i] = Find<QRadioButton>(dialog, names[i]), nullptr);
  // Channels and bits given; the buttons checked; the button clicked; the choice.
  const std::tuple<int, int, const char*, int, int, int> cases[] = {
      {0, 12, "1010", -1, 1, 8}, {2, 16, "0101", -1, 2, 16}, {1, 16, "1001", -1, 1, 16},
      {3, 12, "1001", 1, 2, 16}, {0, 8, "0110", 2, 2, 8},    {1, 8, "1010", 3, 1, 16}};
  for (auto [channels, bits, shown, click, gotChannels, gotBits] : cases) {
    WhenOpen(dialog, [&] {
      for (int i = 0; i < 4; ++i) EXPECT_EQ(buttons[i]->isChecked(), shown[i] == '1') << names[i] << " " << bits;
      EXPECT_EQ(dialog.focusWidget(), buttons[shown[0] == '1' ? 0 : 1]);
      if (click >= 0) buttons[click]->click();
      Click(dialog, "BitBtnOK");
    });
    const auto chosen = dialog.Ask(channels, bits);
    EXPECT_TRUE(chosen && chosen->channels == gotChannels && chosen->bitsPerSample == gotBits) << channels << bits;
  }
  WhenOpen(dialog, [&] { Click(dialog, "BitBtnCancel"); });
  EXPECT_FALSE(dialog.Ask(1, 8).has_value());
}

// Each opening shows the proposed format with the rate typed over and the preparation as last accepted (a Cancel keeps
// the one before); a typed rate goes into 2100..44100 and down to 25, and Enter in it accepts.
TEST(DlgImportSound, ProposesTheFormatAndRemembersThePreparation) {
  TDlgImportSound dialog;
  auto* rate = Find<QComboBox>(dialog, "ComboBoxRate");
  auto* trim = Find<QCheckBox>(dialog, "CheckBoxTrim");
  auto* level = Find<QLineEdit>(dialog, "EditTrim");
  ASSERT_TRUE(rate && trim && level);
  // Proposed rate, typed rate, trim ticked and its level typed, OK: the rate and trim level got.
  const std::tuple<int, const char*, bool, const char*, bool, int, double> cases[] = {
      {48000, "22060", true, "-50", true, 22050, -50},  {11025, "99999", false, "x", true, 44100, -50},
      {16000, "8011", false, "-40", false, 0, 0},       {16000, "100", false, "", true, 2100, -50}};
  bool ticked = false;
  for (auto [proposed, typed, tick, typedLevel, ok, gotRate, gotLevel] : cases) {
    WhenOpen(dialog, [&] {
      ExpectFrame(dialog, "Import sound file", {360, 352});
      EXPECT_EQ(rate->currentText(), QString::number(proposed));
      EXPECT_EQ(dialog.focusWidget(), rate);
      EXPECT_EQ(trim->isChecked(), ticked);
      if (tick) trim->setChecked(true);
      if (*typedLevel) level->setText(typedLevel);
      Type(rate->lineEdit(), typed);
      if (ok) PressKey(rate->lineEdit(), Qt::Key_Return);
      else Click(dialog, "BitBtnCancel");
    });
    KImportChoice offer;
    offer.Rate = proposed;
    const auto chosen = dialog.Ask({"take.wav", "48000 Hz 24-bit 2 channels"}, offer);
    ASSERT_EQ(chosen.has_value(), ok) << typed;
    if (!ok) continue;
    ticked = chosen->Trim;
    EXPECT_EQ(std::tuple(chosen->Rate, chosen->Trim, chosen->TrimDb), std::tuple(gotRate, true, gotLevel)) << typed;
  }
}

// Checks the labels and edit lines shown (name, then text) and that the first edit line has the focus with its whole
// text selected, then runs `change`, types `typed` into the first line and presses `key` there.
void Answer(
    QDialog& dialog, const QString& title, const std::vector<std::pair<const char*, QString>>& shown,
    const QString& typed, int key = Qt::Key_Return, std::function<void()> change = [] {}) {
  WhenOpen(dialog, [&dialog, title, shown, typed, key, change] {
    EXPECT_EQ(dialog.windowTitle(), title);
    QLineEdit* first = nullptr;
    for (const auto& [name, text] : shown) {
      auto* edit = dialog.findChild<QLineEdit*>(name);
      if (edit && !first) first = edit;
      EXPECT_EQ(edit ? edit->text() : Find<QLabel>(dialog, name)->text(), text) << name;
    }
    ASSERT_NE(first, nullptr);
    EXPECT_EQ(dialog.focusWidget(), first);
    EXPECT_EQ(first->selectedText(), first->text());
    change();
    Type(first, typed);
    PressKey(first, key);
  });
}

TEST(DlgString1, OpensPreparedAndGivesTheTypedText) {
  TDlgString1 dialog;
  ExpectFrame(dialog, "Melotrix ", {436, 193});
  auto* edit = Find<QLineEdit>(dialog, "EditString");
  const char* label = "Please enter the length for Auto-Mark (Unit is Hex.)";
  Answer(dialog, "Auto-Mark", {{"LabelText", label}, {"EditString", "100    "}}, "2A");
  EXPECT_EQ(dialog.Ask("Auto-Mark", label, 7, "100    "), "2A");
  Answer(dialog, "Melotrix ", {{"EditString", "ab"}}, "abcdefghij");  // typing stops at the limit
  EXPECT_EQ(dialog.Ask("Melotrix ", "alias", 4, "ab"), "abcd");
  WhenOpen(dialog, [&] {
    edit->setCursorPosition(1);  // leaves no selection behind for the next opening
    Click(dialog, "BitBtnCancel");
  });
  EXPECT_FALSE(dialog.Ask("Melotrix ", "alias", 19, "Voice one").has_value());
  Answer(dialog, "Melotrix ", {{"EditString", "Voice one"}}, "", Qt::Key_Escape);
  EXPECT_FALSE(dialog.Ask("Melotrix ", "alias", 19, "Voice one").has_value());
}

TEST(DlgChannelSel, OneOrTwoLinesOpenPreparedAndGiveTheirTexts) {
  TDlgChannelSelB one;
  ExpectFrame(one, "Dialog channel select (B)", {469, 261});
  const char* label = "Please enter the length for inserting mute";
  Answer(one, "Insert mute", {{"EditLine1", "1      "}, {"LabelLine1", label}, {"LabelUnit1", "Sec."}}, "0.25");
  EXPECT_EQ(one.Ask("Insert mute", {label, "Sec.", 7, "1      "}), "0.25");
  TDlgChannelSelC two;
  ExpectFrame(two, "Dialog channel select C", {469, 341});
  auto* edit2 = Find<QLineEdit>(two, "EditLine2");
  const char *label1 = "Attenuation rate of voice magnitude (1 - 99)", *label2 = "Reflect delay time (100 - 2000)";
  const std::vector<std::pair<const char*, QString>> shown = {{"EditLine1", "30"},    {"EditLine2", "280 "},
                                                              {"LabelLine1", label1}, {"LabelLine2", label2},
                                                              {"LabelUnit1", "%"},    {"LabelUnit2", "mS"}};
  Answer(two, "Echo", shown, "50", Qt::Key_Return, [edit2] { edit2->setText("99"); });
  const auto texts = two.Ask("Echo", {label1, "%", 2, "30"}, {label2, "mS", 4, "280 "});
  EXPECT_EQ(texts, (std::array<std::string, 2>{"50", "99"}));
  WhenOpen(two, [&] { PressKey(edit2, Qt::Key_Escape); });
  EXPECT_FALSE(two.Ask("Echo", {"a", "%", 2, "50"}, {"b", "mS", 4, "280 "}).has_value());
  WhenOpen(one, [&] { Click(one, "BitBtnCancel"); });
  EXPECT_FALSE(one.Ask("Insert mute", {"label", "Hex.", 7, "100    "}).has_value());
}

// The text is shown as given (no markup), one line per line break, with OK focused; Enter in the memo presses OK and
// adds no line; long texts scroll.
TEST(DlgMessage, ShowsTheTextAsGivenAndClosesOnOkOrEnter) {
  TDlgMessage dialog;
  ExpectFrame(dialog, "Melotrix Message", {312, 193});
  auto* memo = Find<QPlainTextEdit>(dialog, "MemoMsg");
  ASSERT_TRUE(memo && memo->isReadOnly());
  std::string longText;
  for (int i = 0; i < 30; ++i) longText += "line " + std::to_string(i) + "\n";
  for (const std::string& text : {std::string("Warn 001\n\n<b>not bold</b> & 100% \"quoted\""), longText}) {
    WhenOpen(dialog, [&] {
      const bool scrolls = memo->verticalScrollBar()->maximum() > 0, lines = memo->document()->blockCount() > 3;
      EXPECT_TRUE(memo->toPlainText() == QString::fromStdString(text) && scrolls == lines);
      EXPECT_EQ(dialog.focusWidget(), Find<QWidget>(dialog, "BitBtnOK"));
      lines ? Click(dialog, "BitBtnOK") : PressKey(memo, Qt::Key_Return);
    });
    dialog.ShowText(text);
    EXPECT_TRUE(dialog.result() == QDialog::Accepted && memo->toPlainText() == QString::fromStdString(text));
  }
  EXPECT_EQ(std::pair(memo->document()->blockCount(), memo->document()->findBlockByNumber(2).text()),
            std::pair(31, QString("line 2")));
  // Above a window of ours that stays on top (the record dialog in a take), and only then.
  QWidget onTop(nullptr, Qt::WindowStaysOnTopHint);
  for (bool shown : {true, false}) {
    onTop.setVisible(shown);
    WhenOpen(dialog, [&] {
      EXPECT_EQ(dialog.windowFlags().testFlag(Qt::WindowStaysOnTopHint), shown);
      PressKey(memo, Qt::Key_Return);
    });
    dialog.ShowText("Error 009");
    EXPECT_EQ(dialog.result(), QDialog::Accepted);
  }
}

// Shown without being modal, on screen and centred; only the caller hides it. Every show empties the memo and zeroes
// the bar, a title zeroes the bar, and the bar stays within 0..100. The voice's progress shows only while the window is
// shown, the bar moving at every 4096 frames. Cursors nest.
TEST(DlgProgress, ShownModelessStartsAfreshAndFollowsTheVoice) {
  TDlgProgress progress;
  ExpectFrame(progress, "Progess", {297, 160});
  KQtUiHooks hooks(progress);
  auto* memo = Find<QPlainTextEdit>(progress, "Memo");
  auto* bar = Find<QProgressBar>(progress, "ProgressBar");
  ASSERT_TRUE(memo && bar);
  for (int run = 0; run < 2; ++run) {
    progress.ShowNow();
    EXPECT_TRUE(!progress.isModal() && QApplication::activeModalWidget() == nullptr && hooks.ProgressVisible());
    EXPECT_TRUE(progress.windowHandle() && progress.windowHandle()->isExposed());
    EXPECT_EQ(progress.geometry().topLeft(), ScreenCentre(progress.size()));
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

// The spare pixel goes right and down; a window larger than the area starts at its edge; the primary screen's available
// area.
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
