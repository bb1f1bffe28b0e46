// The choice dialogs: their frames and bank lists, what each opening proposes
// whatever was chosen before, and what OK gives.
#include <QComboBox>
#include <QRadioButton>

#include "DialogDriver.h"
#include "dialogs/Dformat.h"
#include "dialogs/Dmergech.h"
#include "dialogs/Dmixer.h"
#include "dialogs/Dsplitch.h"

namespace {

// The list holds `first` and the twelve banks, and takes no typed text.
void ExpectBankList(QComboBox* list, QStringList first) {
  ASSERT_NE(list, nullptr);
  for (int bank = 1; bank <= 12; ++bank) first << QString("Bank %1").arg(bank);
  for (int i = 0; i < list->count(); ++i) EXPECT_EQ(list->itemText(i), first.value(i));
  EXPECT_TRUE(list->count() == first.size() && !list->isEditable());
}

TEST(DlgMixer, ListsNoneAndTheBanksAndEveryOpeningShowsNone) {
  TDlgMixer dialog;
  ExpectFrame(dialog, "Mixer", {284, 312});
  QComboBox* lists[4];
  for (int n = 0; n < 4; ++n) {
    lists[n] = Find<QComboBox>(dialog, QString("ComboBoxSourBank%1").arg(n + 1).toLatin1());
    ExpectBankList(lists[n], {"None"});
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

// Split proposes banks 11 and 12, merge 1 and 2, at every opening; OK gives
// the banks chosen (the list index plus 1), Esc nothing.
template <typename Dialog>
void ExpectChannelBanks(const QString& title, QSize size, const char* list1, const char* list2,
                        KChannelBanks proposed) {
  Dialog dialog;
  ExpectFrame(dialog, title, size);
  QComboBox* first = Find<QComboBox>(dialog, list1);
  QComboBox* second = Find<QComboBox>(dialog, list2);
  ExpectBankList(first, {});
  ExpectBankList(second, {});
  for (int run = 0; run < 2; ++run) {
    WhenOpen(dialog, [&] {
      EXPECT_EQ(std::pair(first->currentIndex() + 1, second->currentIndex() + 1),
                std::pair(proposed.channel1, proposed.channel2));
      EXPECT_EQ(dialog.focusWidget(), first);
      first->setCurrentIndex(4);
      second->setCurrentIndex(0);
      Click(dialog, "BitBtnOK");
    });
    const auto banks = dialog.Ask();
    EXPECT_TRUE(banks && banks->channel1 == 5 && banks->channel2 == 1);
  }
  WhenOpen(dialog, [&] { PressKey(first, Qt::Key_Escape); });
  EXPECT_FALSE(dialog.Ask().has_value());
}

TEST(DlgChannelBanks, SplitAndMergeProposeTheirBanks) {
  ExpectChannelBanks<TDlgSplitChannel>("Split channel", {341, 271}, "ComboBoxCh1DestBank", "ComboBoxCh2DestBank",
                                       {11, 12});
  ExpectChannelBanks<TDlgMergeChannel>("Merge channel", {372, 270}, "ComboBoxCh1SourBank", "ComboBoxCh2SourBank",
                                       {1, 2});
}

// The format dialog opens with the voice's format (other values leave the
// groups as they were, the first opening showing the defaults) and gives what is chosen.
TEST(DlgVoiceFormat, OpensWithTheVoiceFormatAndGivesTheChoice) {
  TDlgVoiceFormat dialog;
  ExpectFrame(dialog, "Modify the format of voice", {253, 241});
  const char* names[] = {"RadioChannel1", "RadioChannel2", "RadioBit8", "RadioBit16"};
  QRadioButton* buttons[4];
  for (int i = 0; i < 4; ++i) ASSERT_NE(buttons[i] = Find<QRadioButton>(dialog, names[i]), nullptr);
  // Channels and bits given; which buttons show checked; the button clicked; the choice.
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

}  // namespace
