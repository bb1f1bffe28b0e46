// KVoiceView: the controls of the main window that show the current voice's
// numbers, as the display layer writes them. The window implements it; tests
// record what arrives. Texts are complete and final: the view only shows them.
#pragma once

#include <string_view>

// The read-only readouts of the window's left column.
enum class KReadoutField {
  END,         // BitBtnEND: the voice length
  MKL,         // BitBtnMKL
  MKR,         // BitBtnMKR
  FLG,         // BitBtnFLG
  MRK,         // BitBtnMRK: the marked length
  SampleRate,  // EditSR
  VoiceInfo,   // EditVoiceInfo: channels and bits
};

// The three panels of the status bar, with their widths in pixels.
enum class KStatusPanel { File = 0, Alias = 1, Length = 2 };
constexpr int kFilePanelWidth = 370;
constexpr int kAliasPanelWidth = 260;
constexpr int kLengthPanelWidth = 50;

constexpr int kBankButtons = 12;

class KVoiceView {
 public:
  virtual ~KVoiceView() = default;
  virtual void SetReadout(KReadoutField field, std::string_view text) = 0;
  virtual void SetStatusPanel(KStatusPanel panel, std::string_view text) = 0;
  // The Undo menu item.
  virtual void SetUndoItem(std::string_view caption, bool enabled) = 0;
  // Bank button 1..12: image 1 is the selected look, 0 the normal one.
  virtual void SetBankImage(int bank, int imageIndex) = 0;
  // The recording dialog's progress bar, 0..100.
  virtual void SetRecordProgress(int percent) = 0;
  // The message dialog: shows the text with the default beep and waits for OK.
  virtual void ShowMessage(std::string_view text) = 0;
};
