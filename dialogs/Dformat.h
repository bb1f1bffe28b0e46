// The choice of the voice format to translate to: channels and bits.
#pragma once

#include <optional>

#include "dialogs/DialogFrame.h"

class QButtonGroup;

struct KVoiceFormatChoice {
  int channels = 1;       // 1 or 2
  int bitsPerSample = 8;  // 8 or 16
};

class TDlgVoiceFormat final : public KDialogFrame {
 public:
  explicit TDlgVoiceFormat(QWidget* parent = nullptr);

  // Shows the dialog modally with the current voice's format chosen (a
  // value other than 1 or 2 channels, 8 or 16 bits leaves that group as it
  // was) and gives the chosen format on OK, nothing on Cancel.
  std::optional<KVoiceFormatChoice> Ask(int channels, int bitsPerSample);

 protected:
  void PrepareShow() override;

 private:
  QButtonGroup* channels_;
  QButtonGroup* bits_;
  KVoiceFormatChoice current_{0, 0};  // what Ask was given; 0 chooses nothing
};
