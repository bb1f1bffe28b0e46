// The readout texts, the controls they go to, and what pointer presses mean.
#include <gtest/gtest.h>

#include <clocale>

#include "BoxFixture.h"
#include "display/PointerClicks.h"
#include "display/Readouts.h"
#include "resources/StringTable.h"

namespace {

using Strings = std::vector<std::string>;
using Position = std::optional<int32_t>;
using B = KPointerButton;

TEST(ReadoutTexts, PositionsRatesLengthsAndLabels) {
  // Seconds at the rate the field shows (held within 2100..44100, never 0); hex as eight digits.
  const std::tuple<int32_t, int32_t, bool, const char*> positions[] = {{16000, 16000, false, "1.0000 Sec"},
                                                                       {0, 16000, false, "0.0000 Sec"},
                                                                       {8000, 16000, false, "0.5000 Sec"},
                                                                       {4200, 3, false, "2.0000 Sec"},
                                                                       {2100, 0, false, "1.0000 Sec"},
                                                                       {22050, 44100, false, "0.5000 Sec"},
                                                                       {2147483647, 44100, false, "48695.7743 Sec"},
                                                                       {0x12345, 16000, true, "00012345 Hex"},
                                                                       {0, 16000, true, "00000000 Hex"},
                                                                       {0xABCDEF, 16000, true, "00ABCDEF Hex"},
                                                                       {-1, 16000, true, "FFFFFFFF Hex"}};
  for (const auto& [position, rate, hex, text] : positions) EXPECT_EQ(PositionText(position, rate, hex), text);
  for (const auto& [rate, shown] :
       {std::pair{22222, 22200}, {1000, 2100}, {48000, 44100}, {2124, 2100}, {11049, 11025}, {-30000, 2100}})
    EXPECT_EQ(NormaliseRate(rate), shown) << rate;  // multiples of 25
  const std::tuple<int32_t, int32_t, int32_t, std::optional<std::string>> lengths[] = {
      {2, 16, 1000, "LEN = 4000 Bytes"},
      {1, 8, 1000, "LEN = 1000 Bytes"},
      {1, 16, 1000, "LEN = 2000 Bytes"},
      {2, 8, 1000, "LEN = 2000 Bytes"},
      {3, 16, 1000, std::nullopt},
      {1, 24, 1000, std::nullopt},
      {2, 16, 2147483647, "LEN = 8589934588 Bytes"}};  // no 32-bit overflow
  for (const auto& [channels, bits, end, text] : lengths) EXPECT_EQ(LengthText(channels, bits, end), text) << end;
  EXPECT_EQ(Strings({RateText(22200), VoiceInfoText(2, 16), FileText("/tmp/a.mxv"), AliasText("")}),
            Strings({"22200 Hz", "Ch 2 :: Bit 16", "File = /tmp/a.mxv", "Alias = "}));
  EXPECT_EQ(std::vector({MarkedLength(0, 0), MarkedLength(5, 5), MarkedLength(11, 20)}), std::vector({0, 1, 10}));
  const std::string saved = std::setlocale(LC_ALL, nullptr);
  if (std::setlocale(LC_ALL, "de_DE.UTF-8")) {  // a locale with a decimal comma changes nothing
    const std::string text = PositionText(16000, 16000, false) + ", " + *LengthText(2, 16, 1000000);
    std::setlocale(LC_ALL, saved.c_str());
    EXPECT_EQ(text, "1.0000 Sec, LEN = 4000000 Bytes");
  }
}

TEST(VoiceReadouts, EveryControlInTheWindowsOrder) {
  KReadoutValues cleared, hex;
  std::tie(cleared.FileName, cleared.AliasName) = std::tuple("C:\\Bank001.MXV", "Alias Name");
  std::tie(hex.Channels, hex.BitsPerSample, hex.SampleRate, hex.END, hex.MKL, hex.MKR, hex.FLG) =
      std::tuple(2, 16, 22222, 0x12345, 5, 5, 0x100);
  std::tie(hex.UndoAvailable, hex.UndoLabel) = std::tuple(true, "Undo : Echo");
  KDisplayOptions hexOptions;
  hexOptions.LocationHex = 1;
  RecordingView view;
  EXPECT_EQ(ShowVoiceReadouts(view, cleared, KDisplayOptions{}), 16000);
  EXPECT_EQ(ShowVoiceReadouts(view, hex, hexOptions), 22200);
  EXPECT_EQ(view.Log, Strings({"END=0.0000 Sec",
                               "MRK=0.0000 Sec",
                               "MKL=0.0000 Sec",
                               "MKR=0.0000 Sec",
                               "FLG=0.0000 Sec",
                               "SR=16000 Hz",
                               "Info=Ch 1 :: Bit 8",
                               "Undo=Undo|off",
                               "Panel2=LEN = 0 Bytes",
                               "Panel0=File = C:\\Bank001.MXV",
                               "Panel1=Alias = Alias Name",
                               "END=00012345 Hex",
                               "MRK=00000001 Hex",
                               "MKL=00000005 Hex",
                               "MKR=00000005 Hex",
                               "FLG=00000100 Hex",
                               "SR=22200 Hz",
                               "Info=Ch 2 :: Bit 16",
                               "Undo=Undo : Echo|on",
                               "Panel2=LEN = 298260 Bytes",
                               "Panel0=File = ",
                               "Panel1=Alias = "}));
  // Seconds use the rate the field shows; the narrow readouts write only their own controls.
  view.Log.clear();
  std::tie(hex.SampleRate, hex.END, hex.Channels) = std::tuple(1000, 4200, 1);
  (void)ShowVoiceReadouts(view, hex, KDisplayOptions{});
  EXPECT_EQ(std::tuple(view.Log[0], view.Log[5]), std::tuple("END=2.0000 Sec", "SR=2100 Hz"));
  view.Log.clear();
  EXPECT_EQ(ShowRateReadout(view, 48000), 44100);
  ShowMarkReadouts(view, 11, 20, 16000, hexOptions);
  ShowFlagReadout(view, 16000, 16000, KDisplayOptions{});
  hex.Channels = 4;  // an unknown format leaves the length panel as it is
  ShowStatusBar(view, hex);
  EXPECT_EQ(view.Log, Strings({"SR=44100 Hz", "MKL=0000000B Hex", "MKR=00000014 Hex", "MRK=0000000A Hex",
                               "FLG=1.0000 Sec", "Panel0=File = ", "Panel1=Alias = "}));
  for (int current : {3, 12}) {
    ShowBankButtons(view, current);
    ASSERT_EQ(view.Banks.size(), 12u);
    for (int bank = 1; bank <= 12; ++bank) EXPECT_EQ(view.Banks[bank], bank == current ? 1 : 0) << bank;
  }
  ShowMessageId(view, msg::kWarnCopyFirst);
  ASSERT_EQ(view.Messages.size(), 1u);
  EXPECT_EQ(view.Messages[0].rfind("Warn 001", 0), 0u);
}

TEST(PointerClicks, ZoomInOverviewAndAliasPanel) {
  // x, y, right edge, pixels per frame, start: the frame, shifted one pixel left; none outside the interior.
  const std::tuple<int, int, int, int, int32_t, Position> zoomIn[] = {
      {64, 100, 608, 2, 100, 100},        {65, 100, 608, 2, 100, 101},         {66, 100, 608, 2, 100, 101},
      {67, 100, 608, 2, 100, 102},        {70, 100, 608, 8, 100, 100},         {71, 100, 608, 8, 100, 101},
      {607, 272, 608, 2, 100, 372},       {607, 17, 608, 2, 1, 273},           {63, 100, 608, 2, 1, std::nullopt},
      {100, 16, 608, 2, 1, std::nullopt}, {100, 273, 608, 2, 1, std::nullopt}, {608, 100, 608, 2, 1, std::nullopt},
      {500, 100, 500, 2, 1, std::nullopt}};
  for (const auto& [x, y, right, resolution, start, want] : zoomIn)
    EXPECT_EQ(ZoomInPosition(x, y, right, resolution, start), want) << x << "," << y << " at " << resolution;
  // Starts on multiples of END div 543, at least 1; only the left button in the interior of a voice.
  const std::tuple<B, int, int, bool, int32_t, Position> overview[] = {
      {B::Left, 607, 100, false, 10000, 18 * 543},
      {B::Left, 65, 100, false, 10000, 18},
      {B::Left, 64, 100, false, 10000, 1},
      {B::Left, 100, 100, false, 10000, 18 * 36},
      {B::Left, 607, 100, false, 542, 1},
      {B::Left, 607, 100, false, 1086, 1086},
      {B::Left, 100, 150, true, 10000, 18 * 36},
      {B::Left, 100, 150, false, 10000, std::nullopt},
      {B::Left, 608, 100, false, 10000, std::nullopt},
      {B::Left, 100, 100, false, 0, std::nullopt},
      {B::Right, 100, 100, false, 10000, std::nullopt},
      {B::Middle, 100, 100, false, 10000, std::nullopt}};
  for (const auto& [button, x, y, stereo, end, want] : overview)
    EXPECT_EQ(OverviewStart(button, x, y, stereo, end), want) << x << "," << y << " END " << end;
  for (const auto& [x, inside] : {std::pair{10, false}, {370, false}, {371, true}, {629, true}, {630, false}})
    EXPECT_EQ(InAliasPanel(x), inside) << x;
}

}  // namespace
