#include "dialogs/Dmergech.h"

TDlgMergeChannel::TDlgMergeChannel(QWidget* parent)
    : KChannelBanksDialog(parent, {"TDlgMergeChannel",
                                   "Merge channel",
                                   {372, 270},
                                   {4, 42, 363, 177},
                                   "You can select the Bank for merge process",
                                   "Channel 1 copy from ",
                                   "Channel 2 copy from",
                                   "ComboBoxCh1SourBank",
                                   "ComboBoxCh2SourBank",
                                   {4, 228, 136, 33},
                                   {230, 228, 136, 33},
                                   {1, 2}}) {}
