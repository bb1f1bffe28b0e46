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

QString Text(const QWidget& dialog, const char* name) {
  const auto* label = Find<QLabel>(dialog, name);
  return label ? label->text() : QString();
}

// The list holds `first` and the twelve banks and takes only its items: a
// typed text selects an item by its start or leaves the choice as it is.
void ExpectBankList(QComboBox* list, QStringList first) {
  ASSERT_NE(list, nullptr);
  for (int bank = 1; bank <= 12; ++bank) first << QString("Bank %1").arg(bank);
  QStringList items;
  for (int i = 0; i < list->count(); ++i) items << list->itemText(i);
  EXPECT_EQ(items, first);
  EXPECT_FALSE(list->isEditable());
  list->setCurrentIndex(0);
  Type(list, "xyz");
  EXPECT_EQ(list->currentIndex(), 0);
  EXPECT_EQ(list->count(), first.size());
}

TEST(DlgMixer, ListsNoneAndTheBanksAndEveryOpeningShowsNone) {
  TDlgMixer dialog;
  QComboBox* lists[4];
  for (int n = 1; n <= 4; ++n) {
    lists[n - 1] = Find<QComboBox>(dialog, QString("ComboBoxSourBank%1").arg(n).toLatin1());
    ExpectBankList(lists[n - 1], {"None"});
    EXPECT_EQ(lists[n - 1]->geometry().left(), 134);
    EXPECT_EQ(lists[n - 1]->width(), 107);
    EXPECT_EQ(Text(dialog, QString("LabelSourBank%1").arg(n).toLatin1()), QString("Source bank %1").arg(n));
  }
  EXPECT_EQ(Text(dialog, "LabelSelectSource"), "Please select the source bank for mixer");
  for (int run = 0; run < 2; ++run) {
    WhenOpen(dialog, [&] {
      for (QComboBox* list : lists) EXPECT_EQ(list->currentIndex(), 0);
      lists[0]->setCurrentIndex(3);
      lists[2]->setCurrentIndex(12);
      Click(dialog, "BitBtnOK");
    });
    EXPECT_EQ(dialog.Ask(), (std::array<int, 4>{3, 0, 12, 0}));
  }
  WhenOpen(dialog, [&] { Click(dialog, "BitBtnCancel"); });
  EXPECT_FALSE(dialog.Ask().has_value());
}

// Split and merge: the lists, the texts, and the proposal at every opening.
template <typename Dialog>
void ExpectChannelBanks(const char* list1, const char* list2, const QStringList& texts, KChannelBanks proposed) {
  Dialog dialog;
  QComboBox* first = Find<QComboBox>(dialog, list1);
  QComboBox* second = Find<QComboBox>(dialog, list2);
  ExpectBankList(first, {});
  ExpectBankList(second, {});
  EXPECT_EQ(Find<QPlainTextEdit>(dialog, "MemoBox")->toPlainText(), texts[0]);
  EXPECT_EQ(Text(dialog, "LabelCh1"), texts[1]);
  EXPECT_EQ(Text(dialog, "LabelCh2"), texts[2]);
  for (int run = 0; run < 2; ++run) {
    WhenOpen(dialog, [&] {
      EXPECT_EQ(first->currentIndex() + 1, proposed.channel1);
      EXPECT_EQ(second->currentIndex() + 1, proposed.channel2);
      first->setCurrentIndex(4);
      second->setCurrentIndex(0);
      Click(dialog, "BitBtnOK");
    });
    const auto banks = dialog.Ask();
    ASSERT_TRUE(banks.has_value());
    EXPECT_EQ(std::pair(banks->channel1, banks->channel2), std::pair(5, 1));  // the list index plus 1
  }
  WhenOpen(dialog, [&] { PressKey(first, Qt::Key_Escape); });
  EXPECT_FALSE(dialog.Ask().has_value());
}

TEST(DlgSplitChannel, ProposesBanks11And12) {
  ExpectChannelBanks<TDlgSplitChannel>("ComboBoxCh1DestBank", "ComboBoxCh2DestBank",
                                       {"The current voice has 2 channels\nYou can select the Bank for split into",
                                        "Split channel 1 into ", "Split channel 2 into"},
                                       {11, 12});
}

TEST(DlgMergeChannel, ProposesBanks1And2) {
  ExpectChannelBanks<TDlgMergeChannel>("ComboBoxCh1SourBank", "ComboBoxCh2SourBank",
                                       {"The current voice has 2 channels\nYou can select the Bank for merge process",
                                        "Channel 1 copy from ", "Channel 2 copy from"},
                                       {1, 2});
}

// The format dialog opens with the voice's format (other values leave the
// groups as they were) and gives what is chosen.
TEST(DlgVoiceFormat, OpensWithTheVoiceFormatAndGivesTheChoice) {
  TDlgVoiceFormat dialog;
  EXPECT_EQ(Find<QGroupBox>(dialog, "RadioGroupChannel")->title(), " Channels ");
  EXPECT_EQ(Find<QGroupBox>(dialog, "RadioGroupBitPerSample")->title(), "  Bit Per Sample  ");
  EXPECT_EQ(Text(dialog, "LabelSelectFormat"), "Please select the format that you want");
  const char* names[] = {"RadioChannel1", "RadioChannel2", "RadioBit8", "RadioBit16"};
  const QString texts[] = {"1 channel", "2 channels", "8 bit", "16 bit"};
  QRadioButton* buttons[4];
  for (int i = 0; i < 4; ++i) {
    buttons[i] = Find<QRadioButton>(dialog, names[i]);
    ASSERT_NE(buttons[i], nullptr);
    EXPECT_EQ(buttons[i]->text(), texts[i]);
    EXPECT_EQ(buttons[i]->isChecked(), i % 2 == 0);
  }
  // channels and bits given; which buttons show checked; the button clicked; the choice.
  const std::tuple<int, int, const char*, int, int, int> cases[] = {{2, 16, "0101", -1, 2, 16},
                                                                    {1, 16, "1001", -1, 1, 16},
                                                                    {3, 12, "1001", 1, 2, 16},
                                                                    {0, 8, "0110", 2, 2, 8},
                                                                    {1, 8, "1010", 3, 1, 16}};
  for (auto [channels, bits, shown, click, gotChannels, gotBits] : cases) {
    SCOPED_TRACE(testing::Message() << channels << " " << bits);
    WhenOpen(dialog, [&] {
      for (int i = 0; i < 4; ++i) EXPECT_EQ(buttons[i]->isChecked(), shown[i] == '1') << names[i];
      if (click >= 0) buttons[click]->click();
      Click(dialog, "BitBtnOK");
    });
    const auto chosen = dialog.Ask(channels, bits);
    ASSERT_TRUE(chosen.has_value());
    EXPECT_EQ(std::pair(chosen->channels, chosen->bitsPerSample), std::pair(gotChannels, gotBits));
  }
  WhenOpen(dialog, [&] { Click(dialog, "BitBtnCancel"); });
  EXPECT_FALSE(dialog.Ask(1, 8).has_value());
}

}  // namespace
