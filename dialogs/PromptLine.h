// One edit line of a prompt dialog: a label above an edit line with a unit
// label beside it. The caller fills it before each opening and reads the
// edit text after OK; the line only limits the number of characters.
#pragma once

#include <QString>
#include <string>

class QLabel;
class QLineEdit;
class QWidget;

// What a caller puts into one edit line.
struct KPromptLine {
  std::string label;
  std::string unit;
  int limit = 0;  // input limit in characters
  std::string text;
};

struct KPromptWidgets {
  QLabel* label = nullptr;
  QLineEdit* edit = nullptr;
  QLabel* unit = nullptr;

  void Fill(const KPromptLine& line) const;
  std::string Text() const;
  // Focus on the edit line with its whole text selected, so typing replaces it.
  void FocusAll() const;
};

// Line `n` (1 or 2) of a panel: `LabelLine`n at x, top; `EditLine`n at x,
// top + 28, 123 x 28; `LabelUnit`n (initially "%") at 134, top + 34.
KPromptWidgets KAddPromptLine(QWidget* panel, int n, int x, int top);
