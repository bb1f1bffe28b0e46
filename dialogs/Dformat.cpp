#include "dialogs/Dformat.h"

#include <QAbstractButton>
#include <QButtonGroup>

TDlgVoiceFormat::TDlgVoiceFormat(QWidget* parent)
    : KDialogFrame(parent, "TDlgVoiceFormat", "Modify the format of voice", 253, 241) {
  QFrame* panel = KAddPanel(this, "PanelFormat", {4, 50, 245, 137}, false);
  KAddLabel(panel, "LabelSelectFormat", "Please select the format that you want", {8, 8});
  channels_ = KAddChoicePair(panel, "RadioGroupChannel", " Channels ", {8, 30, 111, 96}, {"1 channel", "2 channels"},
                             {"RadioChannel1", "RadioChannel2"}, {1, 2});
  bits_ = KAddChoicePair(panel, "RadioGroupBitPerSample", "  Bit Per Sample  ", {126, 30, 111, 96}, {"8 bit", "16 bit"},
                         {"RadioBit8", "RadioBit16"}, {8, 16});
  AddOkButton({12, 200, 77, 33});
  AddCancelButton({160, 200, 77, 33});
}

std::optional<KVoiceFormatChoice> TDlgVoiceFormat::Ask(int channels, int bitsPerSample) {
  current_ = {channels, bitsPerSample};
  if (!Run()) return std::nullopt;
  return KVoiceFormatChoice{channels_->checkedId(), bits_->checkedId()};
}

void TDlgVoiceFormat::PrepareShow() {
  KChoose(channels_, current_.channels);
  KChoose(bits_, current_.bitsPerSample);
  channels_->checkedButton()->setFocus(Qt::OtherFocusReason);
}
