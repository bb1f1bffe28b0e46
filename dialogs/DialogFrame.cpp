#include "dialogs/DialogFrame.h"

#include <QApplication>
#include <QButtonGroup>
#include <QComboBox>
#include <QFontDatabase>
#include <QFrame>
#include <QGroupBox>
#include <QLabel>
#include <QPixmap>
#include <QPushButton>
#include <QRadioButton>
#include <QShowEvent>
#include <QStyle>

#include "dialogs/ScreenCenter.h"
#include "display/paint/Artwork.h"

namespace {

constexpr int kLogoSize = 32;
constexpr int kBanks = 12;
const QColor kTeal(0, 128, 128);

QFont DialogFont() {
  QFont font = QFontDatabase::systemFont(QFontDatabase::GeneralFont);
  font.setStyleHint(QFont::SansSerif);
  font.setPixelSize(11);
  return font;
}

QLabel* ProductName(QWidget* parent) {
  QLabel* name = KAddLabel(parent, "LabelMelotrix", "Melotrix", {38, 8});
  QFont font("Arial");
  font.setStyleHint(QFont::SansSerif);
  font.setPixelSize(24);
  font.setBold(true);
  font.setItalic(true);
  name->setFont(font);
  QPalette palette = name->palette();
  palette.setColor(QPalette::WindowText, kTeal);
  name->setPalette(palette);
  name->adjustSize();
  return name;
}

QPushButton* AddButton(QWidget* parent, const QString& name, const QString& text, QStyle::StandardPixmap glyph,
                       const QRect& place) {
  auto* button = new QPushButton(parent->style()->standardIcon(glyph), text, parent);
  button->setObjectName(name);
  button->setGeometry(place);
  return button;
}

}  // namespace

KDialogFrame::KDialogFrame(QWidget* parent, const QString& name, const QString& title, int width, int height)
    : QDialog(parent, Qt::Dialog | Qt::CustomizeWindowHint | Qt::WindowTitleHint) {
  setObjectName(name);
  setWindowTitle(title);
  setFont(DialogFont());
  setFixedSize(width, height);
  setSizeGripEnabled(false);
  auto* logo = new QLabel(this);
  logo->setObjectName("ImageLogo");
  logo->setTextFormat(Qt::PlainText);
  logo->setPixmap(GlyphIcon(KGlyph::Logo).pixmap(QSize(kLogoSize, kLogoSize), devicePixelRatio()));
  logo->setGeometry(4, 4, kLogoSize, kLogoSize);
  ProductName(this);
}

void KDialogFrame::showEvent(QShowEvent* event) {
  QDialog::showEvent(event);
  if (event->spontaneous()) return;
  int x = 0;
  int y = 0;
  KGetScreenCenterXY(x, y, width(), height());
  // The client area, not the frame: the window manager's frame is known only
  // from the second opening on, and a move of the frame would land 20 pixels
  // lower from then.
  setGeometry(x, y, width(), height());
  PrepareShow();
}

void KDialogFrame::SetTitle(const std::string& title) { setWindowTitle(KText(title)); }

bool KDialogFrame::Run() {
  bool below = false;
  for (const QWidget* window : QApplication::topLevelWidgets())
    below |= window != this && window->isVisible() && window->windowFlags().testFlag(Qt::WindowStaysOnTopHint);
  const bool added = below && !windowFlags().testFlag(Qt::WindowStaysOnTopHint);
  if (added) setWindowFlag(Qt::WindowStaysOnTopHint, true);
  const bool accepted = exec() == QDialog::Accepted;
  if (added) setWindowFlag(Qt::WindowStaysOnTopHint, false);
  return accepted;
}

QPushButton* KDialogFrame::AddOkButton(const QRect& place) {
  QPushButton* ok = AddButton(this, "BitBtnOK", "OK", QStyle::SP_DialogOkButton, place);
  ok->setDefault(true);
  connect(ok, &QPushButton::clicked, this, &QDialog::accept);
  return ok;
}

QPushButton* KDialogFrame::AddCancelButton(const QRect& place) {
  QPushButton* cancel = AddButton(this, "BitBtnCancel", "Cancel", QStyle::SP_DialogCancelButton, place);
  connect(cancel, &QPushButton::clicked, this, &QDialog::reject);
  return cancel;
}

QString KText(const std::string& text) { return QString::fromStdString(text); }

QFrame* KAddPanel(QWidget* parent, const QString& name, const QRect& place, bool lowered) {
  auto* panel = new QFrame(parent);
  panel->setObjectName(name);
  panel->setFrameStyle(QFrame::Panel | (lowered ? QFrame::Sunken : QFrame::Raised));
  panel->setGeometry(place);
  return panel;
}

QFrame* KAddLine(QWidget* parent, const QString& name, QPoint at, int width) {
  auto* line = new QFrame(parent);
  line->setObjectName(name);
  line->setFrameStyle(QFrame::HLine | QFrame::Sunken);
  line->setGeometry(at.x(), at.y(), width, 2);
  return line;
}

QLabel* KAddLabel(QWidget* parent, const QString& name, const QString& text, QPoint at, int pixelSize) {
  auto* label = new QLabel(text, parent);
  label->setObjectName(name);
  label->setTextFormat(Qt::PlainText);
  if (pixelSize > 0) KSetPixelSize(label, pixelSize);
  label->move(at);
  label->adjustSize();
  return label;
}

void KSetLabelText(QLabel* label, const std::string& text) {
  label->setText(KText(text));
  label->adjustSize();
}

QComboBox* KAddBankList(QWidget* parent, const QString& name, QPoint at, int width, bool withNone) {
  auto* list = new QComboBox(parent);
  list->setObjectName(name);
  list->setEditable(false);
  if (withNone) list->addItem("None");
  for (int bank = 1; bank <= kBanks; ++bank) list->addItem(QString("Bank %1").arg(bank));
  list->setMaxVisibleItems(list->count());
  list->setGeometry(at.x(), at.y(), width, list->sizeHint().height());
  return list;
}

void KSetPixelSize(QWidget* widget, int pixelSize) {
  QFont font = widget->font();
  font.setPixelSize(pixelSize);
  widget->setFont(font);
}

QButtonGroup* KAddChoicePair(QWidget* parent, const QString& name, const QString& title, const QRect& place,
                             const QString (&items)[2], const QString (&names)[2], const int (&values)[2],
                             bool across) {
  auto* box = new QGroupBox(title, parent);
  box->setObjectName(name);
  box->setGeometry(place);
  auto* group = new QButtonGroup(box);
  for (int i = 0; i < 2; ++i) {
    auto* button = new QRadioButton(items[i], box);
    button->setObjectName(names[i]);
    if (across)
      button->setGeometry(10 + 62 * i, 20, 60, 22);
    else
      button->setGeometry(12, 24 + 28 * i, place.width() - 20, 22);
    group->addButton(button, values[i]);
  }
  group->buttons().first()->setChecked(true);
  return group;
}

void KChoose(QButtonGroup* group, int value) {
  if (QAbstractButton* button = group->button(value)) button->setChecked(true);
}
