// What every dialog of the program shares: a fixed frame with a title and no
// title-bar buttons, the product logo and name at the top, the dialog font,
// and the move to the centre of the screen each time it opens. The building
// blocks below place controls at fixed positions, each named for the tests.
#pragma once

#include <QDialog>
#include <QFrame>
#include <QPoint>
#include <QRect>
#include <QString>
#include <string>

class QButtonGroup;
class QComboBox;
class QLabel;
class QPushButton;
class QShowEvent;

class KDialogFrame : public QDialog {
 public:
  // `name` is the dialog's object name; width and height its client size.
  KDialogFrame(QWidget* parent, const QString& name, const QString& title, int width, int height);

 protected:
  // Resets and focus for each opening, after the dialog has been centred.
  virtual void PrepareShow() {}
  void showEvent(QShowEvent* event) override;
  // Runs the dialog modally: true when it was left with OK. While a window
  // of ours stays on top (the record dialog during a take) the dialog stays
  // on top too, so that it can be read and answered above it.
  bool Run();
  void SetTitle(const std::string& title);
  // The OK button is the default one, which Enter triggers; Esc rejects.
  QPushButton* AddOkButton(const QRect& place);
  QPushButton* AddCancelButton(const QRect& place);
};

QString KText(const std::string& text);
// A lowered (or raised) panel.
QFrame* KAddPanel(QWidget* parent, const QString& name, const QRect& place, bool lowered = true);
// A horizontal etched line of the given width.
QFrame* KAddLine(QWidget* parent, const QString& name, QPoint at, int width);
// A plain-text label sized to its text; pixelSize 0 keeps the dialog font.
QLabel* KAddLabel(QWidget* parent, const QString& name, const QString& text, QPoint at, int pixelSize = 0);
void KSetLabelText(QLabel* label, const std::string& text);
// A drop-down list that takes only its items: "None" (when asked for) and
// "Bank 1" to "Bank 12". Its height is the list's natural one.
QComboBox* KAddBankList(QWidget* parent, const QString& name, QPoint at, int width, bool withNone);
// A titled group of two exclusive choices, the first chosen; each button's
// id is its value. The buttons stand one below the other, or side by side
// when `across`.
QButtonGroup* KAddChoicePair(QWidget* parent, const QString& name, const QString& title, const QRect& place,
                             const QString (&items)[2], const QString (&names)[2], const int (&values)[2],
                             bool across = false);
// Chooses the button of that value; any other value leaves the group as it is.
void KChoose(QButtonGroup* group, int value);
// Sets a widget's font to the dialog font at the given pixel size.
void KSetPixelSize(QWidget* widget, int pixelSize);
