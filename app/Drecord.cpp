#include "app/Drecord.h"

#include <QButtonGroup>
#include <QGroupBox>
#include <QLineEdit>
#include <QProgressBar>
#include <QPushButton>
#include <QRadioButton>
#include <QScrollBar>
#include <algorithm>
#include <cmath>

#include "commands/TextReading.h"
#include "display/paint/Artwork.h"

namespace {

// A radio group of two items, ids 0 and 1.
QButtonGroup* Radios(QWidget* parent, const char* name, const char* title, const char* first, const char* second,
                     QRect at) {
  auto* box = new QGroupBox(title, parent);
  box->setObjectName(name);
  box->setGeometry(at);
  auto* group = new QButtonGroup(box);
  const char* items[] = {first, second};
  for (int k = 0; k < 2; ++k) {
    auto* radio = new QRadioButton(items[k], box);
    radio->setObjectName(QString(name) + QString::number(k));
    radio->setGeometry(12, 20 + 22 * k, at.width() - 20, 20);
    group->addButton(radio, k);
  }
  return group;
}

}  // namespace

TDlgRecord::TDlgRecord(QWidget* parent) : KDialogFrame(parent, "DlgRecord", "Record", 330, 330) {
  setWindowFlag(Qt::WindowStaysOnTopHint);
  channels_ = Radios(this, "RadioGroupChannel", " Channels ", "1 channel", "2 channels", QRect(12, 60, 146, 72));
  bits_ = Radios(this, "RadioGroupBitPerSample", "  Bit Per Sample  ", "8 bit", "16 bit", QRect(172, 60, 146, 72));
  auto* rateBox = new QGroupBox("Sample Rate", this);
  rateBox->setObjectName("GroupBoxSampleRate");
  rateBox->setGeometry(12, 140, 306, 64);
  rateText_ = new QLineEdit("16000", rateBox);
  rateText_->setObjectName("EditSR");
  rateText_->setReadOnly(true);
  rateText_->setGeometry(12, 24, 80, 24);
  KAddLabel(rateBox, "LabelHz", "Hz", QPoint(98, 28));
  rate_ = new QScrollBar(Qt::Horizontal, rateBox);
  rate_->setObjectName("ScrollBarSR");
  rate_->setGeometry(126, 26, 168, 18);
  // The page step is the large change; Qt's range ends at the maximum itself.
  rate_->setRange(2100, 44100);
  rate_->setSingleStep(25);
  rate_->setPageStep(100);
  rate_->setValue(16000);
  // Reached with Tab like every other control; the arrow keys then move it.
  rate_->setFocusPolicy(Qt::StrongFocus);
  connect(rate_, &QScrollBar::valueChanged, this,
          [this](int position) { rateText_->setText(QString::number(RateFromScrollPosition(position))); });
  KAddLabel(this, "LabelRecTime", "Record time", QPoint(12, 216));
  length_ = new QLineEdit("10.0", this);
  length_->setObjectName("EditRecLen");
  length_->setGeometry(100, 212, 100, 24);
  KAddLabel(this, "LabelRecUnit", "Sec", QPoint(206, 216));
  bar_ = new QProgressBar(this);
  bar_->setObjectName("ProgressBarRecPercent");
  bar_->setRange(0, 100);
  bar_->setGeometry(12, 246, 306, 18);
  record_ = new QPushButton("Start Record", this);
  record_->setObjectName("BitBtnRecord");
  record_->setGeometry(12, 280, 180, 34);
  record_->setIcon(GlyphIcon(KGlyph::Record));
  record_->setIconSize(GlyphSize(KGlyph::Record));
  connect(record_, &QPushButton::clicked, this, [this] { StartRecord(); });
  cancel_ = AddCancelButton(QRect(208, 280, 110, 34));
}

std::optional<double> TDlgRecord::RecordSeconds(const std::string& text) {
  size_t used = 0;
  const double seconds = ScanReal(text, used);
  if (used == 0 || !std::isfinite(seconds)) return std::nullopt;
  for (size_t k = used; k < text.size(); ++k)
    if (text[k] != ' ' && text[k] != '\t') return std::nullopt;
  return seconds;
}

void TDlgRecord::Ask(int channels, int bits, int rate, std::function<void(const KCommandInput&)> record) {
  voiceChannels_ = channels;
  voiceBits_ = bits;
  voiceRate_ = rate;
  run_ = std::move(record);
  Run();
  run_ = nullptr;
}

void TDlgRecord::SetProgress(int percent) { bar_->setValue(std::clamp(percent, 0, 100)); }

void TDlgRecord::PrepareShow() {
  rate_->setValue(voiceRate_);
  channels_->button(voiceChannels_ == 2 ? 1 : 0)->setChecked(true);
  bits_->button(voiceBits_ == 16 ? 1 : 0)->setChecked(true);
  bar_->setValue(0);
  cancel_->setEnabled(true);
  record_->setText("Start Record");
  length_->setFocus();
  length_->selectAll();
}

void TDlgRecord::StartRecord() {
  const std::optional<double> seconds = RecordSeconds(length_->text().toStdString());
  if (!seconds) {
    length_->setText("10.0");
    length_->setFocus();
    length_->selectAll();
    return;
  }
  KCommandInput input;
  input.Channels = channels_->checkedId() == 1 ? 2 : 1;
  input.Bits = bits_->checkedId() == 1 ? 16 : 8;
  input.ScrollPosition = rate_->value();
  input.Seconds = *seconds;
  cancel_->setEnabled(false);
  record_->setText("Press ESC to cancel");
  if (run_) run_(input);
  accept();
}
