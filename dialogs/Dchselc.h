// The prompt with two numbers and their units (Echo).
#pragma once

#include <array>
#include <optional>
#include <string>

#include "dialogs/DialogFrame.h"
#include "dialogs/PromptLine.h"

class TDlgChannelSelC final : public KDialogFrame {
 public:
  explicit TDlgChannelSelC(QWidget* parent = nullptr);

  // Sets the title and both lines, shows the dialog modally and gives the
  // two edit texts on OK, nothing on Cancel.
  std::optional<std::array<std::string, 2>> Ask(const std::string& title, const KPromptLine& line1,
                                                const KPromptLine& line2);

 protected:
  void PrepareShow() override;

 private:
  KPromptWidgets line1_;
  KPromptWidgets line2_;
};
