#include "dialogs/Dformat.h"

#include <QButtonGroup>
#include <QGroupBox>
#include <QRadioButton>

namespace {

// A titled group of two exclusive choices, the first chosen; each button's id is its value.
QButtonGroup* ChoiceGroup(QWidget* panel, const QString& name, const QString& title, const QRect& place,
                          const QString (&items)[2], const QString (&names)[2], const int (&values)[2]) {
  auto* box = new QGroupBox(title, panel);
  box->setObjectName(name);
  box->setGeometry(place);
  auto* group = new QButtonGroup(box);
  for (int i = 0; i < 2; ++i) {
    auto* button = new QRadioButton(items[i], box);
    button->setObjectName(names[i]);
    button->setGeometry(12, 24 + 28 * i, place.width() - 20, 22);
    group->addButton(button, values[i]);
  }
  group->buttons().first()->setChecked(true);
  return group;
}

// Chooses the button of that value; any other value leaves the group as it is.
void Choose(QButtonGroup* group, int value) {
  if (QAbstractButton* button = group->button(value)) button->setChecked(true);
}

}  // namespace

TDlgVoiceFormat::TDlgVoiceFormat(QWidget* parent)
    : KDialogFrame(parent, "TDlgVoiceFormat", "Modify the format of voice", 253, 241) {
  QFrame* panel = KAddPanel(this, "PanelFormat", {4, 50, 245, 137}, false);
  KAddLabel(panel, "LabelSelectFormat", "Please select the format that you want", {8, 8});
  channels_ = ChoiceGroup(panel, "RadioGroupChannel", " Channels ", {8, 30, 111, 96}, {"1 channel", "2 channels"},
                          {"RadioChannel1", "RadioChannel2"}, {1, 2});
  bits_ = ChoiceGroup(panel, "RadioGroupBitPerSample", "  Bit Per Sample  ", {126, 30, 111, 96}, {"8 bit", "16 bit"},
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
  Choose(channels_, current_.channels);
  Choose(bits_, current_.bitsPerSample);
  channels_->checkedButton()->setFocus(Qt::OtherFocusReason);
}
