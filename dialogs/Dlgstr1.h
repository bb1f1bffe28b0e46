// The one-line prompt: a label and an edit line whose text the caller reads
// after OK (the Auto-Mark length, the alias name).
#pragma once

#include <optional>
#include <string>

#include "dialogs/DialogFrame.h"
#include "dialogs/PromptLine.h"

class TDlgString1 final : public KDialogFrame {
 public:
  explicit TDlgString1(QWidget* parent = nullptr);

  // Sets the title, the label, the input limit and the opening text, shows
  // the dialog modally and gives the edit text on OK, nothing on Cancel.
  std::optional<std::string> Ask(const std::string& title, const std::string& label, int limit,
                                 const std::string& text);

 protected:
  void PrepareShow() override;

 private:
  KPromptWidgets line_;
};
