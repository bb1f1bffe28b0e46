#include "app/Title.h"

#include <QMessageBox>

QString MainWindowTitle(const QString& agentName) { return agentName + " " + "Melotrix 7" + "E" + " (R7)"; }

void ShowStartupError(QWidget* parent, const QString& text) {
  QMessageBox box(QMessageBox::Critical, kMessageTitle, text, QMessageBox::Ok, parent);
  box.setTextFormat(Qt::PlainText);
  box.exec();
}
