// The choice dialogs: their lists and groups, what each opening proposes
// whatever was chosen before, and what OK gives.
#include <QComboBox>
#include <QGroupBox>
#include <QLabel>
#include <QPlainTextEdit>
#include <QRadioButton>

#include "DialogDriver.h"
#include "dialogs/Dformat.h"
#include "dialogs/Dmergech.h"
#include "dialogs/Dmixer.h"
#include "dialogs/Dsplitch.h"

namespace {

QStringList Items(const QComboBox* list) {
  QStringList items;
  for (int i = 0; i < list->count(); ++i) items << list->itemText(i);
  return items;
}

QStringList Banks() {
  QStringList banks;
  for (int bank = 1; bank <= 12; ++bank) banks << QString("Bank %1").arg(bank);
  return banks;
}

// The list takes only its items: it has no text field to type into, and a
// typed text selects an item by its start or leaves the choice as it is.
void ExpectOnlyItems(QComboBox* list) {
  EXPECT_FALSE(list->isEditable());
  EXPECT_EQ(list->lineEdit(), nullptr);
  const QStringList before = Items(list);
  list->setCurrentIndex(0);
  Type(list, "xyz");
  EXPECT_EQ(list->currentIndex(), 0);
  EXPECT_EQ(Items(list), before);
}

QComboBox* MixerList(const QDialog& dialog, int n) {
  return Find<QComboBox>(dialog, QString("ComboBoxSourBank%1").arg(n).toLatin1());
}

TEST(DlgMixer, ListsNoneAndTheTwelveBanks) {
  TDlgMixer dialog;
  for (int n = 1; n <= 4; ++n) {
    QComboBox* list = MixerList(dialog, n);
    ASSERT_NE(list, nullptr);
    EXPECT_EQ(Items(list), QStringList{"None"} + Banks());
    EXPECT_EQ(list->width(), 107);
    EXPECT_EQ(list->x(), 134);
    ExpectOnlyItems(list);
    EXPECT_EQ(Find<QLabel>(dialog, QString("LabelSourBank%1").arg(n).toLatin1())->text(),
              QString("Source bank %1").arg(n));
  }
  EXPECT_EQ(Find<QLabel>(dialog, "LabelSelectSource")->text(), "Please select the source bank for mixer");
}

TEST(DlgMixer, EveryOpeningShowsNoneInAllFour) {
  TDlgMixer dialog;
  for (int run = 0; run < 2; ++run) {
    WhenOpen(dialog, [&] {
      for (int n = 1; n <= 4; ++n) EXPECT_EQ(MixerList(dialog, n)->currentIndex(), 0) << "list " << n;
      MixerList(dialog, 1)->setCurrentIndex(3);
      MixerList(dialog, 3)->setCurrentIndex(12);
      Click(dialog, "BitBtnOK");
    });
    const auto sources = dialog.Ask();
    ASSERT_TRUE(sources.has_value());
    EXPECT_EQ(*sources, (std::array<int, 4>{3, 0, 12, 0}));
  }
  WhenOpen(dialog, [&] { Click(dialog, "BitBtnCancel"); });
  EXPECT_FALSE(dialog.Ask().has_value());
}

// Split and merge: the lists, the fixed memo, and the proposal at every opening.
template <typename Dialog>
void ExpectChannelBanks(const char* list1, const char* list2, const QString& memo, KChannelBanks proposed) {
  Dialog dialog;
  QComboBox* first = Find<QComboBox>(dialog, list1);
  QComboBox* second = Find<QComboBox>(dialog, list2);
  ASSERT_TRUE(first && second);
  EXPECT_EQ(Items(first), Banks());
  EXPECT_EQ(Items(second), Banks());
  ExpectOnlyItems(first);
  ExpectOnlyItems(second);
  EXPECT_EQ(Find<QPlainTextEdit>(dialog, "MemoBox")->toPlainText(), memo);
  for (int run = 0; run < 2; ++run) {
    WhenOpen(dialog, [&] {
      EXPECT_EQ(first->currentText(), QString("Bank %1").arg(proposed.channel1));
      EXPECT_EQ(second->currentText(), QString("Bank %1").arg(proposed.channel2));
      first->setCurrentIndex(4);
      second->setCurrentIndex(0);
      Click(dialog, "BitBtnOK");
    });
    const auto banks = dialog.Ask();
    ASSERT_TRUE(banks.has_value());
    EXPECT_EQ(banks->channel1, 5);  // the list index plus 1
    EXPECT_EQ(banks->channel2, 1);
  }
  WhenOpen(dialog, [&] { PressKey(first, Qt::Key_Escape); });
  EXPECT_FALSE(dialog.Ask().has_value());
}

TEST(DlgSplitChannel, ProposesBanks11And12) {
  ExpectChannelBanks<TDlgSplitChannel>("ComboBoxCh1DestBank", "ComboBoxCh2DestBank",
                                       "The current voice has 2 channels\nYou can select the Bank for split into",
                                       {11, 12});
  TDlgSplitChannel dialog;
  EXPECT_EQ(Find<QLabel>(dialog, "LabelCh1")->text(), "Split channel 1 into ");
  EXPECT_EQ(Find<QLabel>(dialog, "LabelCh2")->text(), "Split channel 2 into");
}

TEST(DlgMergeChannel, ProposesBanks1And2) {
  ExpectChannelBanks<TDlgMergeChannel>("ComboBoxCh1SourBank", "ComboBoxCh2SourBank",
                                       "The current voice has 2 channels\nYou can select the Bank for merge process",
                                       {1, 2});
  TDlgMergeChannel dialog;
  EXPECT_EQ(Find<QLabel>(dialog, "LabelCh1")->text(), "Channel 1 copy from ");
  EXPECT_EQ(Find<QLabel>(dialog, "LabelCh2")->text(), "Channel 2 copy from");
}

struct FormatButtons {
  QRadioButton* channels[2];
  QRadioButton* bits[2];
};

FormatButtons Buttons(const QDialog& dialog) {
  return {{Find<QRadioButton>(dialog, "RadioChannel1"), Find<QRadioButton>(dialog, "RadioChannel2")},
          {Find<QRadioButton>(dialog, "RadioBit8"), Find<QRadioButton>(dialog, "RadioBit16")}};
}

// Answers the format dialog after checking which items it opened with.
std::optional<KVoiceFormatChoice> AskFormat(TDlgVoiceFormat& dialog, int channels, int bits, int shownChannel,
                                            int shownBits) {
  WhenOpen(dialog, [&] {
    const FormatButtons b = Buttons(dialog);
    EXPECT_TRUE(b.channels[shownChannel]->isChecked());
    EXPECT_FALSE(b.channels[1 - shownChannel]->isChecked());
    EXPECT_TRUE(b.bits[shownBits]->isChecked());
    EXPECT_FALSE(b.bits[1 - shownBits]->isChecked());
    Click(dialog, "BitBtnOK");
  });
  return dialog.Ask(channels, bits);
}

TEST(DlgVoiceFormat, GroupsAndTheirItems) {
  TDlgVoiceFormat dialog;
  EXPECT_EQ(Find<QGroupBox>(dialog, "RadioGroupChannel")->title(), " Channels ");
  EXPECT_EQ(Find<QGroupBox>(dialog, "RadioGroupBitPerSample")->title(), "  Bit Per Sample  ");
  const FormatButtons b = Buttons(dialog);
  EXPECT_EQ(b.channels[0]->text(), "1 channel");
  EXPECT_EQ(b.channels[1]->text(), "2 channels");
  EXPECT_EQ(b.bits[0]->text(), "8 bit");
  EXPECT_EQ(b.bits[1]->text(), "16 bit");
  EXPECT_TRUE(b.channels[0]->isChecked());
  EXPECT_TRUE(b.bits[0]->isChecked());
  EXPECT_EQ(Find<QLabel>(dialog, "LabelSelectFormat")->text(), "Please select the format that you want");
}

TEST(DlgVoiceFormat, OpensWithTheVoiceFormat) {
  TDlgVoiceFormat dialog;
  auto chosen = AskFormat(dialog, 2, 16, 1, 1);
  ASSERT_TRUE(chosen.has_value());
  EXPECT_EQ(chosen->channels, 2);
  EXPECT_EQ(chosen->bitsPerSample, 16);
  chosen = AskFormat(dialog, 1, 16, 0, 1);
  ASSERT_TRUE(chosen.has_value());
  EXPECT_EQ(chosen->channels, 1);
  EXPECT_EQ(chosen->bitsPerSample, 16);
}

TEST(DlgVoiceFormat, GivesTheChosenFormat) {
  TDlgVoiceFormat dialog;
  WhenOpen(dialog, [&] {
    const FormatButtons b = Buttons(dialog);
    b.channels[1]->click();
    b.bits[1]->click();
    Click(dialog, "BitBtnOK");
  });
  const auto chosen = dialog.Ask(1, 8);
  ASSERT_TRUE(chosen.has_value());
  EXPECT_EQ(chosen->channels, 2);
  EXPECT_EQ(chosen->bitsPerSample, 16);
  WhenOpen(dialog, [&] { Click(dialog, "BitBtnCancel"); });
  EXPECT_FALSE(dialog.Ask(1, 8).has_value());
}

TEST(DlgVoiceFormat, OtherValuesLeaveTheGroupsAsTheyWere) {
  TDlgVoiceFormat dialog;
  AskFormat(dialog, 2, 16, 1, 1);
  const auto chosen = AskFormat(dialog, 3, 12, 1, 1);
  ASSERT_TRUE(chosen.has_value());
  EXPECT_EQ(chosen->channels, 2);
  EXPECT_EQ(chosen->bitsPerSample, 16);
  AskFormat(dialog, 0, 8, 1, 0);
}

}  // namespace
