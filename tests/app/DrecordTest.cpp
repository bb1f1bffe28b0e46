// The record dialog: its preparation for the current voice, the record-time
// rules, and the input it passes to the recording.
#include <gtest/gtest.h>

#include <QLineEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QScrollBar>
#include <clocale>

#include "app/Drecord.h"
#include "dialogs/DialogDriver.h"

namespace {

TEST(RecordDialog, RecordTimeIsAWholeFiniteNumberUnderEveryLocale) {
  const bool german = std::setlocale(LC_ALL, "de_DE.UTF-8") != nullptr;
  EXPECT_EQ(TDlgRecord::RecordSeconds("10.0"), 10.0);
  EXPECT_EQ(TDlgRecord::RecordSeconds(" 2.5 "), 2.5);
  EXPECT_EQ(TDlgRecord::RecordSeconds("-1"), -1.0);
  EXPECT_EQ(TDlgRecord::RecordSeconds("abc"), std::nullopt);
  EXPECT_EQ(TDlgRecord::RecordSeconds("1.5x"), std::nullopt);
  EXPECT_EQ(TDlgRecord::RecordSeconds(""), std::nullopt);
  EXPECT_EQ(TDlgRecord::RecordSeconds("1e999"), std::nullopt);
  std::setlocale(LC_ALL, "C");
  if (!german) GTEST_SKIP() << "no German locale on this machine";
}

TEST(RecordDialog, PreparesForTheVoiceAndPassesWhatWasChosen) {
  TDlgRecord dialog;
  std::vector<KCommandInput> runs;
  WhenOpen(dialog, [&dialog] {
    EXPECT_TRUE(Find<QRadioButton>(dialog, "RadioGroupChannel1")->isChecked());
    EXPECT_TRUE(Find<QRadioButton>(dialog, "RadioGroupBitPerSample1")->isChecked());
    EXPECT_EQ(Find<QLineEdit>(dialog, "EditSR")->text(), "22050");
    EXPECT_EQ(Find<QPushButton>(dialog, "BitBtnRecord")->text(), "Start Record");
    auto* length = Find<QLineEdit>(dialog, "EditRecLen");
    EXPECT_TRUE(length->hasFocus() || length->selectedText() == "10.0");
    // A length that is no number is put back to "10.0" and nothing records.
    length->setText("abc");
    Find<QPushButton>(dialog, "BitBtnRecord")->click();
    EXPECT_TRUE(dialog.isVisible());
    EXPECT_EQ(length->text(), "10.0");
    Find<QScrollBar>(dialog, "ScrollBarSR")->setValue(16013);
    EXPECT_EQ(Find<QLineEdit>(dialog, "EditSR")->text(), "16000");
    length->setText("2.5");
    Find<QPushButton>(dialog, "BitBtnRecord")->click();
  });
  dialog.Ask(2, 16, 22050, [&runs, &dialog](const KCommandInput& input) {
    EXPECT_EQ(dialog.findChild<QPushButton*>("BitBtnRecord")->text(), "Press ESC to cancel");
    runs.push_back(input);
  });
  ASSERT_EQ(runs.size(), 1u);
  EXPECT_EQ(std::make_tuple(runs[0].Channels, runs[0].Bits, runs[0].ScrollPosition, runs[0].Seconds),
            std::make_tuple(2, 16, 16013, 2.5));
}

}  // namespace
