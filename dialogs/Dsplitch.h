// The banks that receive channel 1 and channel 2 of a split stereo voice.
#pragma once

#include "dialogs/ChannelBanks.h"

class TDlgSplitChannel final : public KChannelBanksDialog {
 public:
  explicit TDlgSplitChannel(QWidget* parent = nullptr);
};
