// The banks whose voices become channel 1 and channel 2 of a merged voice.
#pragma once

#include "dialogs/ChannelBanks.h"

class TDlgMergeChannel final : public KChannelBanksDialog {
 public:
  explicit TDlgMergeChannel(QWidget* parent = nullptr);
};
