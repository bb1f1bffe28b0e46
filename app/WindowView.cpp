#include "app/WindowView.h"

#include <QAbstractButton>
#include <QAction>
#include <QLabel>
#include <QLineEdit>
#include <QVariant>

#include "dialogs/Dlgmsg.h"

namespace {
QString Text(std::string_view text) { return QString::fromUtf8(text.data(), qsizetype(text.size())); }
}  // namespace

void KWindowView::SetReadout(KReadoutField field, std::string_view text) {
  switch (field) {
    case KReadoutField::END:
      controls_.End->setText(Text(text));
      break;
    case KReadoutField::MKL:
      controls_.Mkl->setText(Text(text));
      break;
    case KReadoutField::MKR:
      controls_.Mkr->setText(Text(text));
      break;
    case KReadoutField::FLG:
      controls_.Flg->setText(Text(text));
      break;
    case KReadoutField::MRK:
      controls_.Mrk->setText(Text(text));
      break;
    case KReadoutField::SampleRate:
      controls_.SampleRate->setText(Text(text));
      break;
    case KReadoutField::VoiceInfo:
      controls_.VoiceInfo->setText(Text(text));
      break;
  }
}

void KWindowView::SetStatusPanel(KStatusPanel panel, std::string_view text) {
  controls_.Panels[size_t(panel)]->setText(Text(text));
}

void KWindowView::SetUndoItem(std::string_view caption, bool enabled) {
  controls_.Undo->setText(Text(caption));
  controls_.Undo->setEnabled(enabled);
}

void KWindowView::SetBankImage(int bank, int imageIndex) {
  if (bank < 1 || bank > 12) return;
  QAbstractButton* button = controls_.Banks[size_t(bank - 1)];
  button->setProperty("ImageIndex", imageIndex);
  button->setChecked(imageIndex == 1);
}

void KWindowView::SetRecordProgress(int percent) {
  if (RecordProgress) RecordProgress(percent);
}

void KWindowView::ShowMessage(std::string_view text) { messages_.ShowText(std::string(text)); }
