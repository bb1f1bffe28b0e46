#include "dialogs/Dimport.h"

#include <QButtonGroup>
#include <QCheckBox>
#include <QComboBox>
#include <QIntValidator>
#include <QLabel>
#include <QLineEdit>
#include <algorithm>

namespace {

// The rates chips commonly play, offered first.
constexpr int kChipRates[] = {8000, 11025, 16000, 22050};

// The number in `edit`, or `old` when it holds none.
double NumberIn(const QLineEdit* edit, double old) {
  bool ok = false;
  const double value = edit->text().trimmed().toDouble(&ok);
  return ok ? value : old;
}

}  // namespace

TDlgImportSound::TDlgImportSound(QWidget* parent)
    : KDialogFrame(parent, "TDlgImportSound", "Import sound file", 360, 352) {
  QFrame* file = KAddPanel(this, "PanelFile", {4, 50, 352, 48});
  name_ = KAddLabel(file, "LabelFileName", "", {8, 6});
  summary_ = KAddLabel(file, "LabelFacts", "", {8, 26});

  QFrame* format = KAddPanel(this, "PanelFormat", {4, 102, 352, 96}, false);
  KAddLabel(format, "LabelRate", "Sample rate", {8, 10});
  rate_ = new QComboBox(format);
  rate_->setObjectName("ComboBoxRate");
  rate_->setEditable(true);
  rate_->setGeometry(90, 6, 90, 22);
  rate_->setValidator(new QIntValidator(1, 999999, rate_));
  // Enter accepts the dialog with the rate typed: no item is added or completed.
  rate_->setInsertPolicy(QComboBox::NoInsert);
  rate_->setCompleter(nullptr);
  KAddLabel(format, "LabelHz", "Hz", {186, 10});
  channels_ = KAddChoicePair(format, "RadioGroupChannel", " Channels ", {8, 34, 136, 52}, {"1", "2"},
                             {"RadioGroupChannel1", "RadioGroupChannel2"}, {1, 2}, true);
  bits_ = KAddChoicePair(format, "RadioGroupBits", " Bits ", {150, 34, 136, 52}, {"8", "16"},
                         {"RadioGroupBits8", "RadioGroupBits16"}, {8, 16}, true);
  dither_ = new QCheckBox("Dither", format);
  dither_->setObjectName("CheckBoxDither");
  dither_->setGeometry(292, 54, 58, 22);

  QFrame* steps = KAddPanel(this, "PanelPreparation", {4, 202, 352, 104}, false);
  trim_ = AddStep(steps, "Trim", "Trim the silence below", "dBFS", 0);
  fadeIn_ = AddStep(steps, "FadeIn", "Fade in over", "ms", 1);
  fadeOut_ = AddStep(steps, "FadeOut", "Fade out over", "ms", 2);
  normalize_ = AddStep(steps, "Normalize", "Normalize the peak to", "dBFS", 3);

  AddOkButton({40, 312, 77, 33});
  AddCancelButton({240, 312, 77, 33});
}

TDlgImportSound::Step TDlgImportSound::AddStep(QWidget* panel, const char* name, const QString& caption,
                                               const QString& unit, int row) {
  const int y = 6 + 24 * row;
  auto* on = new QCheckBox(caption, panel);
  on->setObjectName(QString("CheckBox") + name);
  on->setGeometry(8, y, 180, 22);
  auto* value = new QLineEdit(panel);
  value->setObjectName(QString("Edit") + name);
  value->setGeometry(192, y, 64, 22);
  value->setMaxLength(8);
  KAddLabel(panel, QString("Label") + name, unit, {262, y + 4});
  return {on, value};
}

std::optional<KImportChoice> TDlgImportSound::Ask(const KImportFacts& facts, const KImportChoice& proposed) {
  KSetLabelText(name_, facts.Name);
  KSetLabelText(summary_, facts.Summary);
  const KImportChoice last = shown_;
  shown_ = proposed;
  shown_.Trim = last.Trim, shown_.FadeIn = last.FadeIn, shown_.FadeOut = last.FadeOut;
  shown_.Normalize = last.Normalize, shown_.TrimDb = last.TrimDb, shown_.FadeInMs = last.FadeInMs;
  shown_.FadeOutMs = last.FadeOutMs, shown_.NormalizeDb = last.NormalizeDb;
  if (!Run()) {
    shown_ = last;
    return std::nullopt;
  }
  shown_ = Chosen();
  return shown_;
}

KImportChoice TDlgImportSound::Chosen() const {
  KImportChoice choice = shown_;
  const int rate = int(NumberIn(rate_->lineEdit(), shown_.Rate));
  choice.Rate = std::clamp(rate, kLowestRate, kHighestRate) / 25 * 25;
  choice.Channels = channels_->checkedId();
  choice.Bits = bits_->checkedId();
  choice.Dither = dither_->isChecked();
  choice.Trim = trim_.On->isChecked();
  choice.FadeIn = fadeIn_.On->isChecked();
  choice.FadeOut = fadeOut_.On->isChecked();
  choice.Normalize = normalize_.On->isChecked();
  choice.TrimDb = NumberIn(trim_.Value, shown_.TrimDb);
  choice.FadeInMs = std::max(0.0, NumberIn(fadeIn_.Value, shown_.FadeInMs));
  choice.FadeOutMs = std::max(0.0, NumberIn(fadeOut_.Value, shown_.FadeOutMs));
  choice.NormalizeDb = std::min(0.0, NumberIn(normalize_.Value, shown_.NormalizeDb));
  return choice;
}

void TDlgImportSound::PrepareShow() {
  rate_->clear();
  for (int rate : kChipRates) rate_->addItem(QString::number(rate));
  if (std::find(std::begin(kChipRates), std::end(kChipRates), shown_.Rate) == std::end(kChipRates))
    rate_->addItem(QString::number(shown_.Rate));
  rate_->setCurrentText(QString::number(shown_.Rate));
  KChoose(channels_, shown_.Channels);
  KChoose(bits_, shown_.Bits);
  dither_->setChecked(shown_.Dither);
  const std::pair<const Step*, std::pair<bool, double>> steps[] = {
      {&trim_, {shown_.Trim, shown_.TrimDb}},
      {&fadeIn_, {shown_.FadeIn, shown_.FadeInMs}},
      {&fadeOut_, {shown_.FadeOut, shown_.FadeOutMs}},
      {&normalize_, {shown_.Normalize, shown_.NormalizeDb}}};
  for (const auto& [step, state] : steps) {
    step->On->setChecked(state.first);
    step->Value->setText(QString::number(state.second));
  }
  rate_->setFocus(Qt::OtherFocusReason);
  rate_->lineEdit()->selectAll();
}
