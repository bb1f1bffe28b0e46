// The prompts: their frames, what a caller sets shows, the edit line opens
// focused with its whole text selected at every opening, typing replaces it
// up to the limit, OK (or Enter) gives the edit texts, Cancel and Esc nothing.
#include <QLineEdit>

#include "DialogDriver.h"
#include "dialogs/Dchselb.h"
#include "dialogs/Dchselc.h"
#include "dialogs/Dlgstr1.h"

namespace {

// Checks the labels and edit lines shown (name, then text) and that the
// first edit line has the focus with its whole text selected, then runs
// `change`, types `typed` into the first line and presses `key` there.
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

TEST(DlgChannelSelB, OpensPreparedAndGivesTheText) {
  TDlgChannelSelB dialog;
  ExpectFrame(dialog, "Dialog channel select (B)", {469, 261});
  const char* label = "Please enter the length for inserting mute";
  Answer(dialog, "Insert mute", {{"EditLine1", "1      "}, {"LabelLine1", label}, {"LabelUnit1", "Sec."}}, "0.25");
  EXPECT_EQ(dialog.Ask("Insert mute", {label, "Sec.", 7, "1      "}), "0.25");
  WhenOpen(dialog, [&] { Click(dialog, "BitBtnCancel"); });
  EXPECT_FALSE(dialog.Ask("Insert mute", {"label", "Hex.", 7, "100    "}).has_value());
}

TEST(DlgChannelSelC, OpensPreparedAndGivesBothTexts) {
  TDlgChannelSelC dialog;
  ExpectFrame(dialog, "Dialog channel select C", {469, 341});
  auto* edit2 = Find<QLineEdit>(dialog, "EditLine2");
  const char *label1 = "Attenuation rate of voice magnitude (1 - 99)", *label2 = "Reflect delay time (100 - 2000)";
  const std::vector<std::pair<const char*, QString>> shown = {{"EditLine1", "30"},    {"EditLine2", "280 "},
                                                              {"LabelLine1", label1}, {"LabelLine2", label2},
                                                              {"LabelUnit1", "%"},    {"LabelUnit2", "mS"}};
  Answer(dialog, "Echo", shown, "50", Qt::Key_Return, [edit2] { edit2->setText("99"); });
  const auto texts = dialog.Ask("Echo", {label1, "%", 2, "30"}, {label2, "mS", 4, "280 "});
  EXPECT_EQ(texts, (std::array<std::string, 2>{"50", "99"}));
  WhenOpen(dialog, [&] { PressKey(edit2, Qt::Key_Escape); });
  EXPECT_FALSE(dialog.Ask("Echo", {"a", "%", 2, "50"}, {"b", "mS", 4, "280 "}).has_value());
}

}  // namespace
