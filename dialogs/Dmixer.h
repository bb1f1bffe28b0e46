// The mixer's choice of up to four source banks.
#pragma once

#include <array>
#include <optional>

#include "dialogs/DialogFrame.h"

class TDlgMixer final : public KDialogFrame {
 public:
  static constexpr int kSources = 4;

  explicit TDlgMixer(QWidget* parent = nullptr);

  // Shows the dialog modally with all four lists at "None" and gives the
  // four choices on OK (0 for "None", N for bank N), nothing on Cancel.
  std::optional<std::array<int, kSources>> Ask();

 protected:
  void PrepareShow() override;

 private:
  std::array<QComboBox*, kSources> lists_{};
};
