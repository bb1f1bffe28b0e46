#include "dialogs/PromptLine.h"

#include <QLabel>
#include <QLineEdit>

#include "dialogs/DialogFrame.h"

namespace {

constexpr int kEditDown = 28;
constexpr int kUnitDown = 34;
constexpr int kUnitLeft = 134;
constexpr int kEditWidth = 123;
constexpr int kEditHeight = 28;

}  // namespace

void KPromptWidgets::Fill(const KPromptLine& line) const {
  KSetLabelText(label, line.label);
  if (unit) KSetLabelText(unit, line.unit);
  // A text longer than the limit is cut to it, as typing could not pass it either.
  edit->setMaxLength(line.limit > 0 ? line.limit : 32767);
  edit->setText(KText(line.text));
}

std::string KPromptWidgets::Text() const { return edit->text().toStdString(); }

void KPromptWidgets::FocusAll() const {
  edit->setFocus(Qt::OtherFocusReason);
  edit->selectAll();
}

KPromptWidgets KAddPromptLine(QWidget* panel, int n, int x, int top) {
  const QString suffix = QString::number(n);
  KPromptWidgets line;
  line.label = KAddLabel(panel, "LabelLine" + suffix, "LabelLine" + suffix, {x, top});
  line.edit = new QLineEdit(panel);
  line.edit->setObjectName("EditLine" + suffix);
  line.edit->setGeometry(x, top + kEditDown, kEditWidth, kEditHeight);
  line.unit = KAddLabel(panel, "LabelUnit" + suffix, "%", {kUnitLeft, top + kUnitDown});
  return line;
}
