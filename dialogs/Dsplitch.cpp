#include "dialogs/Dsplitch.h"

TDlgSplitChannel::TDlgSplitChannel(QWidget* parent)
    : KChannelBanksDialog(parent, {"TDlgSplitChannel",
                                   "Split channel",
                                   {341, 271},
                                   {4, 42, 329, 177},
                                   "You can select the Bank for split into",
                                   "Split channel 1 into ",
                                   "Split channel 2 into",
                                   "ComboBoxCh1DestBank",
                                   "ComboBoxCh2DestBank",
                                   {4, 228, 136, 33},
                                   {196, 226, 136, 33},
                                   {11, 12}}) {}
