// Drives a dialog from a test: finds its controls by name, types and presses keys, answers a modal dialog once it is
// open, checks what all dialogs share.
#pragma once

#include <gtest/gtest.h>

#include <QApplication>
#include <QDialog>
#include <QGuiApplication>
#include <QKeyEvent>
#include <QLabel>
#include <QPushButton>
#include <QScreen>
#include <QTimer>
#include <functional>

template <typename T>
T* Find(const QWidget& dialog, const char* name) {
  T* child = dialog.findChild<T*>(name);
  EXPECT_NE(child, nullptr) << "no control named " << name;
  return child;
}

inline void PressKey(QWidget* widget, int key, const QString& text = {}) {
  QKeyEvent press(QEvent::KeyPress, key, Qt::NoModifier, text);
  QApplication::sendEvent(widget, &press);
  QKeyEvent release(QEvent::KeyRelease, key, Qt::NoModifier, text);
  QApplication::sendEvent(widget, &release);
}

inline void Type(QWidget* widget, const QString& text) {
  for (QChar c : text) PressKey(widget, c.unicode(), QString(c));
}

inline void Click(const QWidget& dialog, const char* button) {
  if (auto* b = Find<QPushButton>(dialog, button)) b->click();
}

// Where a window of `size` is centred on the primary screen's available area.
inline QPoint ScreenCentre(QSize size) {
  const QRect area = QGuiApplication::primaryScreen()->availableGeometry();
  return {area.x() + (area.width() - size.width()) / 2, area.y() + (area.height() - size.height()) / 2};
}

// Runs `answer` once the modal dialog is open and centred on the screen; the dialog is then moved away, so that its
// next opening must centre it again. The answer ends the dialog itself; should it not, the dialog is rejected.
inline void WhenOpen(QDialog& dialog, std::function<void()> answer) {
  QTimer::singleShot(0, &dialog, [&dialog, answer] {
    if (!dialog.isVisible()) {
      ADD_FAILURE() << "the dialog is not open";
      return;
    }
    EXPECT_EQ(dialog.geometry().topLeft(), ScreenCentre(dialog.size()));  // the client area, whatever the frame
    dialog.move(3, 5);
    answer();
    if (dialog.isVisible()) {
      ADD_FAILURE() << "the answer left the dialog open";
      dialog.reject();
    }
  });
}

// A fixed size, a frame without title-bar buttons, the logo and the product name, plain-text labels only, and every
// other control within its parent.
inline void ExpectFrame(const QDialog& dialog, const QString& title, QSize size) {
  EXPECT_TRUE(dialog.windowTitle() == title && dialog.minimumSize() == size && dialog.maximumSize() == size);
  const Qt::WindowFlags flags = dialog.windowFlags();
  EXPECT_TRUE(flags.testFlags(Qt::CustomizeWindowHint | Qt::WindowTitleHint));
  EXPECT_FALSE(flags & (Qt::WindowCloseButtonHint | Qt::WindowMinMaxButtonsHint | Qt::WindowSystemMenuHint));
  const auto* logo = Find<QLabel>(dialog, "ImageLogo");
  const auto* name = Find<QLabel>(dialog, "LabelMelotrix");
  EXPECT_TRUE(logo && logo->pixmap().deviceIndependentSize().toSize() == QSize(32, 32));
  EXPECT_TRUE(name && name->text() == "Melotrix");
  for (const QWidget* control : dialog.findChildren<QWidget*>()) {
    const auto* label = qobject_cast<const QLabel*>(control);
    EXPECT_TRUE(!label || label->textFormat() == Qt::PlainText) << control->objectName().toStdString();
    // A drop-down list's own parts (its popup) are its business.
    const bool listPart = control->parentWidget()->inherits("QComboBoxPrivateContainer");
    EXPECT_TRUE(label || listPart || control->isWindow() ||
                control->parentWidget()->rect().contains(control->geometry()))
        << control->objectName().toStdString();
  }
}
