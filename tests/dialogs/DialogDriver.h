// Drives a dialog from a test: finds its controls by object name, types and
// presses keys, and answers a modal dialog once it is open.
#pragma once

#include <gtest/gtest.h>

#include <QApplication>
#include <QDialog>
#include <QKeyEvent>
#include <QPushButton>
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

// Runs `answer` once the modal dialog is open. The answer ends the dialog
// itself; should it not, the dialog is rejected so that the test goes on.
inline void WhenOpen(QDialog& dialog, std::function<void()> answer) {
  QTimer::singleShot(0, &dialog, [&dialog, answer] {
    if (!dialog.isVisible()) {
      ADD_FAILURE() << "the dialog is not open";
      return;
    }
    answer();
    if (dialog.isVisible()) {
      ADD_FAILURE() << "the answer left the dialog open";
      dialog.reject();
    }
  });
}
