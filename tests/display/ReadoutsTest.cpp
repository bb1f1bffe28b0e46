#include <gtest/gtest.h>

#include <algorithm>
#include <clocale>
#include <map>
#include <string>
#include <vector>

#include "display/Readouts.h"
#include "resources/StringTable.h"

namespace {

// Records every call in order as "what=text".
class RecordingView : public KVoiceView {
 public:
  void SetReadout(KReadoutField field, std::string_view text) override {
    Log.push_back(std::string(kFields[int(field)]) + "=" + std::string(text));
    Readouts[field] = text;
  }
  void SetStatusPanel(KStatusPanel panel, std::string_view text) override {
    Log.push_back("Panel" + std::to_string(int(panel)) + "=" + std::string(text));
    Panels[panel] = text;
  }
  void SetUndoItem(std::string_view caption, bool enabled) override {
    Log.push_back("Undo=" + std::string(caption) + (enabled ? "|on" : "|off"));
  }
  void SetBankImage(int bank, int imageIndex) override { Banks[bank] = imageIndex; }
  void SetRecordProgress(int percent) override { Log.push_back("Record=" + std::to_string(percent)); }
  void ShowMessage(std::string_view text) override { Messages.emplace_back(text); }

  static constexpr const char* kFields[] = {"END", "MKL", "MKR", "FLG", "MRK", "SR", "Info"};
  std::vector<std::string> Log;
  std::map<KReadoutField, std::string> Readouts;
  std::map<KStatusPanel, std::string> Panels;
  std::map<int, int> Banks;
  std::vector<std::string> Messages;
};

KDisplayOptions Hex() {
  KDisplayOptions options;
  options.LocationHex = 1;
  return options;
}

TEST(PositionText, SecondsCountFromOneBasedPositions) {
  EXPECT_EQ(PositionText(16000, 16000, false), "1.0000 Sec");
  EXPECT_EQ(PositionText(0, 16000, false), "0.0000 Sec");
  EXPECT_EQ(PositionText(8000, 16000, false), "0.5000 Sec");
  EXPECT_EQ(PositionText(4200, 3, false), "2.0000 Sec");  // the rate is held at 2100 first
  EXPECT_EQ(PositionText(22050, 44100, false), "0.5000 Sec");
  EXPECT_EQ(PositionText(2147483647, 44100, false), "48695.7743 Sec");
}

TEST(PositionText, HexIsEightUpperCaseDigits) {
  EXPECT_EQ(PositionText(0x12345, 16000, true), "00012345 Hex");
  EXPECT_EQ(PositionText(0, 16000, true), "00000000 Hex");
  EXPECT_EQ(PositionText(0xABCDEF, 16000, true), "00ABCDEF Hex");
  EXPECT_EQ(PositionText(-1, 16000, true), "FFFFFFFF Hex");
}

TEST(PositionText, NoZeroRateDivision) {
  // A voice whose rate was never shown reads at the lowest rate, not at infinity.
  EXPECT_EQ(PositionText(2100, 0, false), "1.0000 Sec");
}

TEST(PositionText, LocaleDoesNotChangeThePoint) {
  const std::string saved = std::setlocale(LC_ALL, nullptr);
  if (!std::setlocale(LC_ALL, "de_DE.UTF-8")) GTEST_SKIP() << "no de_DE.UTF-8 locale";
  const std::string text = PositionText(16000, 16000, false);
  const std::string length = *LengthText(2, 16, 1000000);
  std::setlocale(LC_ALL, saved.c_str());
  EXPECT_EQ(text, "1.0000 Sec");
  EXPECT_EQ(length, "LEN = 4000000 Bytes");
}

TEST(RateNormalising, MultipleOf25Within2100To44100) {
  EXPECT_EQ(NormaliseRate(22222), 22200);
  EXPECT_EQ(NormaliseRate(1000), 2100);
  EXPECT_EQ(NormaliseRate(48000), 44100);
  EXPECT_EQ(NormaliseRate(2124), 2100);
  EXPECT_EQ(NormaliseRate(11049), 11025);
  EXPECT_EQ(NormaliseRate(-30000), 2100);
}

TEST(ReadoutTexts, FormatStatusAndMarkedLength) {
  EXPECT_EQ(RateText(22200), "22200 Hz");
  EXPECT_EQ(VoiceInfoText(2, 16), "Ch 2 :: Bit 16");
  EXPECT_EQ(FileText("/tmp/a.mxv"), "File = /tmp/a.mxv");
  EXPECT_EQ(FileText(""), "File = ");
  EXPECT_EQ(AliasText(""), "Alias = ");
  EXPECT_EQ(AliasText("Alias Name"), "Alias = Alias Name");
  EXPECT_EQ(MarkedLength(0, 0), 0);
  EXPECT_EQ(MarkedLength(5, 5), 1);
  EXPECT_EQ(MarkedLength(11, 20), 10);
}

TEST(ReadoutTexts, LengthInBytesByFrameSize) {
  EXPECT_EQ(LengthText(2, 16, 1000), "LEN = 4000 Bytes");
  EXPECT_EQ(LengthText(1, 8, 1000), "LEN = 1000 Bytes");
  EXPECT_EQ(LengthText(1, 16, 1000), "LEN = 2000 Bytes");
  EXPECT_EQ(LengthText(2, 8, 1000), "LEN = 2000 Bytes");
  EXPECT_EQ(LengthText(2, 16, 2147483647), "LEN = 8589934588 Bytes");  // no 32-bit overflow
  EXPECT_FALSE(LengthText(3, 16, 1000));
  EXPECT_FALSE(LengthText(1, 24, 1000));
}

TEST(VoiceReadouts, ClearedVoiceInTheWindowsOrder) {
  RecordingView view;
  KReadoutValues cleared;
  cleared.FileName = "C:\\Bank001.MXV";
  cleared.AliasName = "Alias Name";
  EXPECT_EQ(ShowVoiceReadouts(view, cleared, KDisplayOptions{}), 16000);
  const std::vector<std::string> expected = {"END=0.0000 Sec",           "MRK=0.0000 Sec",
                                             "MKL=0.0000 Sec",           "MKR=0.0000 Sec",
                                             "FLG=0.0000 Sec",           "SR=16000 Hz",
                                             "Info=Ch 1 :: Bit 8",       "Undo=Undo|off",
                                             "Panel2=LEN = 0 Bytes",     "Panel0=File = C:\\Bank001.MXV",
                                             "Panel1=Alias = Alias Name"};
  EXPECT_EQ(view.Log, expected);
}

TEST(VoiceReadouts, HexPositionsUndoLabelAndKeptRate) {
  RecordingView view;
  KReadoutValues v;
  v.Channels = 2;
  v.BitsPerSample = 16;
  v.SampleRate = 22222;
  v.END = 0x12345;
  v.MKL = 5;
  v.MKR = 5;
  v.FLG = 0x100;
  v.UndoAvailable = true;
  v.UndoLabel = "Undo : Echo";
  EXPECT_EQ(ShowVoiceReadouts(view, v, Hex()), 22200);
  EXPECT_EQ(view.Readouts[KReadoutField::END], "00012345 Hex");
  EXPECT_EQ(view.Readouts[KReadoutField::MRK], "00000001 Hex");
  EXPECT_EQ(view.Readouts[KReadoutField::MKL], "00000005 Hex");
  EXPECT_EQ(view.Readouts[KReadoutField::FLG], "00000100 Hex");
  EXPECT_EQ(view.Readouts[KReadoutField::SampleRate], "22200 Hz");
  EXPECT_EQ(view.Readouts[KReadoutField::VoiceInfo], "Ch 2 :: Bit 16");
  EXPECT_EQ(view.Panels[KStatusPanel::Length], "LEN = 298260 Bytes");
  EXPECT_EQ(view.Panels[KStatusPanel::File], "File = ");
  EXPECT_NE(std::find(view.Log.begin(), view.Log.end(), "Undo=Undo : Echo|on"), view.Log.end());
}

TEST(VoiceReadouts, SecondsUseTheRateTheFieldShows) {
  RecordingView view;
  KReadoutValues v;
  v.SampleRate = 1000;  // shown as 2100 Hz
  v.END = 4200;
  (void)ShowVoiceReadouts(view, v, KDisplayOptions{});
  EXPECT_EQ(view.Readouts[KReadoutField::END], "2.0000 Sec");
  EXPECT_EQ(view.Readouts[KReadoutField::SampleRate], "2100 Hz");
}

TEST(NarrowReadouts, EachWritesOnlyItsOwnControls) {
  RecordingView view;
  EXPECT_EQ(ShowRateReadout(view, 48000), 44100);
  EXPECT_EQ(view.Log, std::vector<std::string>{"SR=44100 Hz"});

  view.Log.clear();
  ShowMarkReadouts(view, 11, 20, 16000, Hex());
  EXPECT_EQ(view.Log, (std::vector<std::string>{"MKL=0000000B Hex", "MKR=00000014 Hex", "MRK=0000000A Hex"}));

  view.Log.clear();
  ShowFlagReadout(view, 16000, 16000, KDisplayOptions{});
  EXPECT_EQ(view.Log, std::vector<std::string>{"FLG=1.0000 Sec"});

  view.Log.clear();
  KReadoutValues v;
  v.AliasName = "";
  v.END = 10;
  ShowStatusBar(view, v);
  EXPECT_EQ(view.Log, (std::vector<std::string>{"Panel2=LEN = 10 Bytes", "Panel0=File = ", "Panel1=Alias = "}));
}

TEST(NarrowReadouts, UnknownFormatLeavesTheLengthPanel) {
  RecordingView view;
  KReadoutValues v;
  v.Channels = 4;
  ShowStatusBar(view, v);
  EXPECT_EQ(view.Panels.count(KStatusPanel::Length), 0u);
  EXPECT_EQ(view.Panels.size(), 2u);
}

TEST(BankButtons, OnlyTheCurrentBankLooksSelected) {
  RecordingView view;
  ShowBankButtons(view, 3);
  ASSERT_EQ(view.Banks.size(), 12u);
  for (int bank = 1; bank <= 12; ++bank) EXPECT_EQ(view.Banks[bank], bank == 3 ? 1 : 0) << bank;
  ShowBankButtons(view, 12);
  EXPECT_EQ(view.Banks[3], 0);
  EXPECT_EQ(view.Banks[12], 1);
}

TEST(Messages, TextOfTheStringIdInTheDialog) {
  RecordingView view;
  ShowMessageId(view, msg::kWarnCopyFirst);
  ASSERT_EQ(view.Messages.size(), 1u);
  EXPECT_EQ(view.Messages[0].rfind("Warn 001", 0), 0u);
}

}  // namespace
