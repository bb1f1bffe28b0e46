// The prompts: what a caller sets shows, the edit line opens focused with
// its whole text selected, OK gives the edit texts, Cancel and Esc nothing.
#include <QLabel>
#include <QLineEdit>

#include "DialogDriver.h"
#include "dialogs/Dchselb.h"
#include "dialogs/Dchselc.h"
#include "dialogs/Dlgstr1.h"

namespace {

QString Text(const QDialog& dialog, const char* name) {
  const auto* label = Find<QLabel>(dialog, name);
  return label ? label->text() : QString();
}

// The edit line has the focus with its whole text selected.
void ExpectFocusedAllSelected(const QDialog& dialog, QLineEdit* edit) {
  EXPECT_EQ(dialog.focusWidget(), edit);
  EXPECT_EQ(edit->selectedText(), edit->text());
  EXPECT_FALSE(edit->text().isEmpty());
}

TEST(DlgString1, DesignTexts) {
  TDlgString1 dialog;
  EXPECT_EQ(Text(dialog, "LabelText"), "Function");
  EXPECT_EQ(Find<QLabel>(dialog, "LabelText")->font().pixelSize(), 16);
  EXPECT_EQ(Find<QLineEdit>(dialog, "EditString")->font().pixelSize(), 16);
}

TEST(DlgString1, OpensPreparedAndTypingReplacesTheText) {
  TDlgString1 dialog;
  auto* edit = Find<QLineEdit>(dialog, "EditString");
  WhenOpen(dialog, [&] {
    EXPECT_EQ(dialog.windowTitle(), "Auto-Mark");
    EXPECT_EQ(Text(dialog, "LabelText"), "Please enter the length for Auto-Mark (Unit is Hex.)");
    EXPECT_EQ(edit->maxLength(), 7);
    EXPECT_EQ(edit->text(), "100    ");
    ExpectFocusedAllSelected(dialog, edit);
    Type(edit, "2A");
    Click(dialog, "BitBtnOK");
  });
  const auto text = dialog.Ask("Auto-Mark", "Please enter the length for Auto-Mark (Unit is Hex.)", 7, "100    ");
  ASSERT_TRUE(text.has_value());
  EXPECT_EQ(*text, "2A");
}

TEST(DlgString1, TypingStopsAtTheLimit) {
  TDlgString1 dialog;
  auto* edit = Find<QLineEdit>(dialog, "EditString");
  WhenOpen(dialog, [&] {
    Type(edit, "abcdefghij");
    PressKey(edit, Qt::Key_Return);  // Enter presses the default button, OK
  });
  EXPECT_EQ(dialog.Ask("Melotrix ", "Please enter a new alias name for current voice", 4, ""), "abcd");
}

TEST(DlgString1, CancelAndEscGiveNothing) {
  TDlgString1 dialog;
  WhenOpen(dialog, [&] { Click(dialog, "BitBtnCancel"); });
  EXPECT_FALSE(dialog.Ask("Auto-Mark", "label", 7, "1      ").has_value());
  WhenOpen(dialog, [&] { PressKey(Find<QLineEdit>(dialog, "EditString"), Qt::Key_Escape); });
  EXPECT_FALSE(dialog.Ask("Auto-Mark", "label", 7, "1      ").has_value());
}

TEST(DlgString1, EveryOpeningSelectsTheWholeTextAgain) {
  TDlgString1 dialog;
  auto* edit = Find<QLineEdit>(dialog, "EditString");
  WhenOpen(dialog, [&] {
    edit->setCursorPosition(1);  // leaves no selection behind
    Click(dialog, "BitBtnOK");
  });
  dialog.Ask("Melotrix ", "alias", 19, "Voice one");
  WhenOpen(dialog, [&] {
    ExpectFocusedAllSelected(dialog, edit);
    Click(dialog, "BitBtnOK");
  });
  EXPECT_EQ(dialog.Ask("Melotrix ", "alias", 19, "Voice one"), "Voice one");
}

TEST(DlgChannelSelB, DesignTexts) {
  TDlgChannelSelB dialog;
  EXPECT_EQ(Text(dialog, "LabelLine1"), "LabelLine1");
  EXPECT_EQ(Text(dialog, "LabelUnit1"), "%");
  EXPECT_EQ(Find<QLabel>(dialog, "LabelLine1")->pos(), QPoint(4, 10));
  EXPECT_EQ(Find<QLabel>(dialog, "LabelUnit1")->pos(), QPoint(134, 44));
}

TEST(DlgChannelSelB, OpensPreparedAndGivesTheText) {
  TDlgChannelSelB dialog;
  auto* edit = Find<QLineEdit>(dialog, "EditLine1");
  WhenOpen(dialog, [&] {
    EXPECT_EQ(dialog.windowTitle(), "Insert mute");
    EXPECT_EQ(Text(dialog, "LabelLine1"), "Please enter the length for inserting mute");
    EXPECT_EQ(Text(dialog, "LabelUnit1"), "Sec.");
    EXPECT_EQ(edit->maxLength(), 7);
    EXPECT_EQ(edit->text(), "1      ");
    ExpectFocusedAllSelected(dialog, edit);
    Type(edit, "0.25");
    Click(dialog, "BitBtnOK");
  });
  EXPECT_EQ(dialog.Ask("Insert mute", {"Please enter the length for inserting mute", "Sec.", 7, "1      "}), "0.25");
  WhenOpen(dialog, [&] { Click(dialog, "BitBtnCancel"); });
  EXPECT_FALSE(dialog.Ask("Insert mute", {"label", "Hex.", 7, "100    "}).has_value());
}

TEST(DlgChannelSelC, DesignTexts) {
  TDlgChannelSelC dialog;
  EXPECT_EQ(Text(dialog, "LabelUnit1"), "%");
  EXPECT_EQ(Text(dialog, "LabelUnit2"), "%");
  EXPECT_EQ(Find<QLabel>(dialog, "LabelLine1")->pos(), QPoint(6, 10));
  EXPECT_EQ(Find<QLabel>(dialog, "LabelLine2")->pos(), QPoint(6, 90));
  EXPECT_EQ(Find<QLabel>(dialog, "LabelUnit2")->pos(), QPoint(134, 124));
}

TEST(DlgChannelSelC, OpensPreparedAndGivesBothTexts) {
  TDlgChannelSelC dialog;
  auto* edit1 = Find<QLineEdit>(dialog, "EditLine1");
  auto* edit2 = Find<QLineEdit>(dialog, "EditLine2");
  WhenOpen(dialog, [&] {
    EXPECT_EQ(dialog.windowTitle(), "Echo");
    EXPECT_EQ(Text(dialog, "LabelLine1"), "Attenuation rate of voice magnitude (1 - 99)");
    EXPECT_EQ(Text(dialog, "LabelLine2"), "Reflect delay time (100 - 2000)");
    EXPECT_EQ(Text(dialog, "LabelUnit2"), "mS");
    EXPECT_EQ(edit1->maxLength(), 2);
    EXPECT_EQ(edit2->maxLength(), 4);
    EXPECT_EQ(edit2->text(), "280 ");
    ExpectFocusedAllSelected(dialog, edit1);
    Type(edit1, "50");
    edit2->setText("99");
    Click(dialog, "BitBtnOK");
  });
  const auto texts = dialog.Ask("Echo", {"Attenuation rate of voice magnitude (1 - 99)", "%", 2, "30"},
                                {"Reflect delay time (100 - 2000)", "mS", 4, "280 "});
  ASSERT_TRUE(texts.has_value());
  EXPECT_EQ((*texts)[0], "50");
  EXPECT_EQ((*texts)[1], "99");
  WhenOpen(dialog, [&] { PressKey(edit2, Qt::Key_Escape); });
  EXPECT_FALSE(dialog.Ask("Echo", {"a", "%", 2, "50"}, {"b", "mS", 4, "280 "}).has_value());
}

}  // namespace
