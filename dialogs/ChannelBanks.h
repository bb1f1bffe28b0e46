// What the split and merge dialogs share: a fixed two-line memo, a bank
// list for each channel of a stereo voice, and the banks both lists propose
// at every opening.
#pragma once

#include <QRect>
#include <QSize>
#include <QString>
#include <optional>

#include "dialogs/DialogFrame.h"

class QComboBox;

// The bank chosen for each channel, as bank numbers 1 to 12.
struct KChannelBanks {
  int channel1 = 0;
  int channel2 = 0;
};

// How one of the two dialogs looks and what it proposes.
struct KChannelBanksLayout {
  QString dialogName;
  QString title;
  QSize size;
  QRect panel;
  QString memoLine2;
  QString label1;
  QString label2;
  QString list1;
  QString list2;
  QRect ok;
  QRect cancel;
  KChannelBanks proposed;
};

class KChannelBanksDialog : public KDialogFrame {
 public:
  // Shows the dialog modally with the proposed banks and gives the chosen
  // ones on OK (list index + 1), nothing on Cancel.
  std::optional<KChannelBanks> Ask();

 protected:
  KChannelBanksDialog(QWidget* parent, const KChannelBanksLayout& layout);
  void PrepareShow() override;

 private:
  KChannelBanks proposed_;
  QComboBox* list1_;
  QComboBox* list2_;
};
