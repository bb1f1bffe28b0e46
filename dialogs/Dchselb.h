// The prompt with one number and its unit (Insert mute, the amplifier).
#pragma once

#include <optional>
#include <string>

#include "dialogs/DialogFrame.h"
#include "dialogs/PromptLine.h"

class TDlgChannelSelB final : public KDialogFrame {
 public:
  explicit TDlgChannelSelB(QWidget* parent = nullptr);

  // Sets the title and the line, shows the dialog modally and gives the
  // edit text on OK, nothing on Cancel.
  std::optional<std::string> Ask(const std::string& title, const KPromptLine& line);

 protected:
  void PrepareShow() override;

 private:
  KPromptWidgets line1_;
};
