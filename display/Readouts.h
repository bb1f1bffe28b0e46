// The texts of the readouts, the status bar, the Undo item and the bank
// buttons, and the functions that write them to a KVoiceView. Everything is
// formatted without the locale: a decimal point is always a point.
#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

#include "display/DisplayOptions.h"
#include "display/VoiceView.h"

// The numbers of one voice that its readouts show.
struct KReadoutValues {
  int32_t Channels = 1;
  int32_t BitsPerSample = 8;
  int32_t SampleRate = 16000;
  int32_t END = 0, MKL = 0, MKR = 0, FLG = 0;
  std::string_view FileName;
  std::string_view AliasName;
  // The undo store's answer: whether a step exists, and its label.
  bool UndoAvailable = false;
  std::string_view UndoLabel = "Undo";
};

// The rate a voice is shown and kept at: rounded down to a multiple of 25,
// then held within 2100..44100.
int32_t NormaliseRate(int32_t rate);
// 0 when nothing is marked (MKL = MKR = 0), otherwise MKR - MKL + 1.
int32_t MarkedLength(int32_t mkl, int32_t mkr);

// "%0.8X Hex" of the position as an unsigned 32-bit count, or "%0.4f Sec"
// of position / rate, the rate taken as the voice shows it (never zero).
std::string PositionText(int32_t position, int32_t rate, bool locationHex);
std::string RateText(int32_t rate);                         // "%d Hz"
std::string VoiceInfoText(int32_t channels, int32_t bits);  // "Ch %d :: Bit %d"
std::string FileText(std::string_view fileName);            // "File = %s"
std::string AliasText(std::string_view aliasName);          // "Alias = %s"
// "LEN = %d Bytes" of END times the frame size; none for a format other
// than mono or stereo, 8 or 16 bits.
std::optional<std::string> LengthText(int32_t channels, int32_t bits, int32_t end);

// Every readout of a voice, in the window's order: END, marked length, MKL,
// MKR, FLG, rate, channels and bits, Undo item, length, file, alias.
// Returns the normalised rate, which the caller stores back in the voice.
[[nodiscard]] int32_t ShowVoiceReadouts(KVoiceView& view, const KReadoutValues& values, const KDisplayOptions& options);

// The narrower updates.
// The rate field alone; returns the normalised rate to be kept.
[[nodiscard]] int32_t ShowRateReadout(KVoiceView& view, int32_t rate);
// MKL, MKR and the marked length, after a left or right zoom-in click.
void ShowMarkReadouts(KVoiceView& view, int32_t mkl, int32_t mkr, int32_t rate, const KDisplayOptions& options);
// FLG alone, after a middle zoom-in click.
void ShowFlagReadout(KVoiceView& view, int32_t flg, int32_t rate, const KDisplayOptions& options);
// The three status bar panels (length, file, alias), after an alias edit.
void ShowStatusBar(KVoiceView& view, const KReadoutValues& values);
void ShowUndoItem(KVoiceView& view, bool available, std::string_view label);
// Image 1 for the button of `currentBank`, 0 for the other eleven.
void ShowBankButtons(KVoiceView& view, int currentBank);

// The message of string id `id` (at most 255 characters) in the message dialog.
void ShowMessageId(KVoiceView& view, int id);
