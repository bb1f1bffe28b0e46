// The import of a sound file that no voice loader takes as it is: what the
// file holds, the voice format it is to become and the preparation steps
// (trim, fades, normalise). The format opens as proposed for each file; the
// preparation steps, each off at first, open as they were last accepted.
#pragma once

#include <optional>
#include <string>

#include "dialogs/DialogFrame.h"

class QButtonGroup;
class QCheckBox;
class QComboBox;
class QLabel;
class QLineEdit;

// What the dialog shows of the file.
struct KImportFacts {
  std::string Name;     // the file's name
  std::string Summary;  // its format, length and peak level in words
};

// The voice format and the preparation, as the user left them.
struct KImportChoice {
  int Rate = 16000;  // 2100..44100, a multiple of 25
  int Channels = 1;
  int Bits = 8;
  bool Dither = false;
  bool Trim = false, FadeIn = false, FadeOut = false, Normalize = false;
  double TrimDb = -45, FadeInMs = 10, FadeOutMs = 10, NormalizeDb = -1;
};

class TDlgImportSound final : public KDialogFrame {
 public:
  static constexpr int kLowestRate = 2100, kHighestRate = 44100;

  explicit TDlgImportSound(QWidget* parent = nullptr);

  // Shows `facts` with the format `proposed` (its preparation steps are not
  // read) and the preparation last accepted; the choice on OK, nothing on
  // Cancel. A rate outside the range goes to its nearest end, any rate down
  // to a multiple of 25; a value that is no number keeps the last one.
  std::optional<KImportChoice> Ask(const KImportFacts& facts, const KImportChoice& proposed);

 protected:
  void PrepareShow() override;

 private:
  struct Step {
    QCheckBox* On;
    QLineEdit* Value;
  };
  Step AddStep(QWidget* panel, const char* name, const QString& caption, const QString& unit, int row);
  KImportChoice Chosen() const;

  QLabel* name_;
  QLabel* summary_;
  QComboBox* rate_;
  QButtonGroup* channels_;
  QButtonGroup* bits_;
  QCheckBox* dither_;
  Step trim_, fadeIn_, fadeOut_, normalize_;
  KImportChoice shown_;  // what the next opening shows
};
