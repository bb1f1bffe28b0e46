#include "display/Readouts.h"

#include <charconv>
#include <cstdio>

#include "resources/StringTable.h"

namespace {

constexpr size_t kMessageMax = 255;

std::string Decimal(int64_t value) {
  char digits[24];
  auto end = std::to_chars(digits, digits + sizeof digits, value).ptr;
  return std::string(digits, end);
}

// Fixed notation with four decimals; to_chars never consults the locale.
std::string Fixed4(double value) {
  char digits[64];
  auto result = std::to_chars(digits, digits + sizeof digits, value, std::chars_format::fixed, 4);
  return std::string(digits, result.ptr);
}

std::string Hex8(uint32_t value) {
  char digits[12];
  std::snprintf(digits, sizeof digits, "%08X", value);  // integers are not localised
  return digits;
}

// Bytes per frame of the formats the panel knows; 0 for any other.
int64_t FrameBytes(int32_t channels, int32_t bits) {
  if ((channels != 1 && channels != 2) || (bits != 8 && bits != 16)) return 0;
  return channels * (bits / 8);
}

void ShowPosition(KVoiceView& view, KReadoutField field, int32_t position, int32_t rate,
                  const KDisplayOptions& options) {
  view.SetReadout(field, PositionText(position, rate, options.LocationHex != 0));
}

}  // namespace

int32_t NormaliseRate(int32_t rate) {
  rate = 25 * (rate / 25);
  if (rate > 44100) rate = 44100;
  if (rate < 2100) rate = 2100;
  return rate;
}

int32_t MarkedLength(int32_t mkl, int32_t mkr) {
  if (mkl == 0 && mkr == 0) return 0;
  return mkr - mkl + 1;
}

std::string PositionText(int32_t position, int32_t rate, bool locationHex) {
  if (locationHex) return Hex8(uint32_t(position)) + " Hex";
  return Fixed4(double(position) / double(NormaliseRate(rate))) + " Sec";
}

std::string RateText(int32_t rate) { return Decimal(rate) + " Hz"; }

std::string VoiceInfoText(int32_t channels, int32_t bits) {
  return "Ch " + Decimal(channels) + " :: Bit " + Decimal(bits);
}

std::string FileText(std::string_view fileName) { return "File = " + std::string(fileName); }

std::string AliasText(std::string_view aliasName) { return "Alias = " + std::string(aliasName); }

std::optional<std::string> LengthText(int32_t channels, int32_t bits, int32_t end) {
  const int64_t frameBytes = FrameBytes(channels, bits);
  if (frameBytes == 0) return std::nullopt;
  // In 64 bits: a long stereo 16-bit voice holds more bytes than an int32.
  return "LEN = " + Decimal(int64_t(end) * frameBytes) + " Bytes";
}

int32_t ShowVoiceReadouts(KVoiceView& view, const KReadoutValues& values, const KDisplayOptions& options) {
  // The positions are read at the rate the field shows, so seconds and Hz agree.
  const int32_t rate = NormaliseRate(values.SampleRate);
  ShowPosition(view, KReadoutField::END, values.END, rate, options);
  ShowPosition(view, KReadoutField::MRK, MarkedLength(values.MKL, values.MKR), rate, options);
  ShowPosition(view, KReadoutField::MKL, values.MKL, rate, options);
  ShowPosition(view, KReadoutField::MKR, values.MKR, rate, options);
  ShowPosition(view, KReadoutField::FLG, values.FLG, rate, options);
  (void)ShowRateReadout(view, rate);
  view.SetReadout(KReadoutField::VoiceInfo, VoiceInfoText(values.Channels, values.BitsPerSample));
  ShowUndoItem(view, values.UndoAvailable, values.UndoLabel);
  ShowStatusBar(view, values);
  return rate;
}

int32_t ShowRateReadout(KVoiceView& view, int32_t rate) {
  rate = NormaliseRate(rate);
  view.SetReadout(KReadoutField::SampleRate, RateText(rate));
  return rate;
}

void ShowMarkReadouts(KVoiceView& view, int32_t mkl, int32_t mkr, int32_t rate, const KDisplayOptions& options) {
  ShowPosition(view, KReadoutField::MKL, mkl, rate, options);
  ShowPosition(view, KReadoutField::MKR, mkr, rate, options);
  ShowPosition(view, KReadoutField::MRK, MarkedLength(mkl, mkr), rate, options);
}

void ShowFlagReadout(KVoiceView& view, int32_t flg, int32_t rate, const KDisplayOptions& options) {
  ShowPosition(view, KReadoutField::FLG, flg, rate, options);
}

void ShowStatusBar(KVoiceView& view, const KReadoutValues& values) {
  if (auto length = LengthText(values.Channels, values.BitsPerSample, values.END))
    view.SetStatusPanel(KStatusPanel::Length, *length);
  view.SetStatusPanel(KStatusPanel::File, FileText(values.FileName));
  view.SetStatusPanel(KStatusPanel::Alias, AliasText(values.AliasName));
}

void ShowUndoItem(KVoiceView& view, bool available, std::string_view label) { view.SetUndoItem(label, available); }

void ShowBankButtons(KVoiceView& view, int currentBank) {
  for (int bank = 1; bank <= kBankButtons; ++bank) view.SetBankImage(bank, bank == currentBank ? 1 : 0);
}

void ShowMessageId(KVoiceView& view, int id) {
  std::string_view text = KLoadMessageText(id);
  view.ShowMessage(text.substr(0, kMessageMax));
}
