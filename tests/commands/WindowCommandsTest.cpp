#include <gtest/gtest.h>

#include <set>
#include <string>

#include "CommandFixture.h"
#include "resources/StringTable.h"

namespace {

class Commands : public CommandFixture {
 protected:
  // A voice of three frames with one undo snapshot.
  void VoiceWithSnapshot() {
    FillMono8(Current(), {1, 2, 3});
    ASSERT_TRUE(Current().SaveUndo("Undo : Echo"));
  }
  static KCommandInput StereoRecord(double seconds, int32_t scrollPosition) {
    KCommandInput input;
    input.Channels = 2;
    input.Bits = 16;
    input.Seconds = seconds;
    input.ScrollPosition = scrollPosition;
    return input;
  }
};

TEST(CommandTable, HandlersAreUniqueAndEveryRowRunsSomething) {
  std::set<std::string> handlers;
  for (const KWindowCommand& command : WindowCommands()) {
    SCOPED_TRACE(command.Handler);
    EXPECT_TRUE(handlers.insert(command.Handler).second);
    EXPECT_NE(command.Run, nullptr);
    EXPECT_NE(std::string(command.Caption), "");
    EXPECT_EQ(FindWindowCommand(command.Handler), &command);
  }
  EXPECT_EQ(FindWindowCommand("MenuExitClick"), nullptr);
  for (int bank = 1; bank <= 12; ++bank)
    EXPECT_EQ(handlers.count("MenuBank" + std::to_string(bank) + "Click"), 1u) << bank;
}

TEST_F(Commands, UndoRunsInTheBracketAndBeepsOnlyWhenItRestored) {
  EXPECT_FALSE(Run("MenuUndoClick"));
  EXPECT_EQ(host_.Log, (Log{"repaint", "show", "hide"}));
  VoiceWithSnapshot();
  FillMono8(Current(), {9});
  host_.Log.clear();
  EXPECT_TRUE(Run("MenuUndoClick"));
  EXPECT_EQ(host_.Log, (Log{"repaint", "show", "beep", "hide"}));
  EXPECT_EQ(Bytes(Current()), (std::vector<uint8_t>{1, 2, 3}));
}

TEST_F(Commands, TranslateBeepsWhateverTheTranslationReports) {
  KCommandInput same;  // mono 8-bit, as the voice is
  EXPECT_FALSE(Run("MenuTranslateVoiceFormatClick", same));
  KCommandInput wide;
  wide.Channels = 2;
  wide.Bits = 16;
  FillMono8(Current(), {0, 128, 255});
  EXPECT_TRUE(Run("MenuTranslateVoiceFormatClick", wide));
  EXPECT_EQ(host_.Log, (Log{"repaint", "show", "beep", "hide", "repaint", "show", "beep", "hide"}));
  EXPECT_EQ(Samples16(Current()), (std::vector<int16_t>{-32768, -32768, 0, 0, 32512, 32512}));
}

TEST_F(Commands, ClearAllBankClearsTheTwelveBanksWithOneBeep) {
  for (int bank : {0, 1, 7, 12, 13}) FillMono8(Voice(bank), {5, 6});
  EXPECT_TRUE(Run("MenuClearAllBankClick"));
  EXPECT_EQ(host_.Log, (Log{"beep"}));
  for (int bank : {1, 7, 12}) EXPECT_EQ(Voice(bank).END, 0) << bank;
  EXPECT_EQ(Voice(0).END, 2);
  EXPECT_EQ(Voice(13).END, 2);
  FillMono8(Voice(1), {5});
  EXPECT_TRUE(Run("MenuClearBankClick"));
  EXPECT_EQ(Voice(1).END, 0);
  EXPECT_EQ(host_.Log, (Log{"beep", "beep"}));
}

TEST_F(Commands, BankCommandsSelectTheirBank) {
  EXPECT_TRUE(Run("MenuBank3Click"));
  EXPECT_EQ(banks_.CurrentBankNumber, 3);
  EXPECT_EQ(banks_.CurrentVoice, &Voice(3));
  EXPECT_TRUE(Run("MenuBank12Click"));
  EXPECT_EQ(banks_.CurrentVoice, &Voice(12));
  EXPECT_TRUE(host_.Log.empty());
}

TEST_F(Commands, PlayWithoutADeviceShowsError006ButNotOnAnEmptyVoice) {
  for (const char* play : {"MenuPlayAllClick", "MenuPlayMarkedClick", "MenuPlayFLGClick"})
    EXPECT_TRUE(Run(play)) << play;
  EXPECT_TRUE(messages_.empty());
  FillMono8(Current(), std::vector<uint8_t>(100, 7));
  EXPECT_FALSE(Run("MenuPlayAllClick"));
  ASSERT_EQ(messages_.size(), 1u);
  EXPECT_EQ(messages_[0], KLoadMessageText(msg::kWaveOutOpen));
  EXPECT_TRUE(host_.Log.empty());
}

TEST_F(Commands, RecordUsesTheDialogsRateAndLengthAndShowsError009WithoutADevice) {
  VoiceWithSnapshot();
  EXPECT_FALSE(Run("MenuRecordClick", StereoRecord(10.0, 22060)));
  ASSERT_EQ(messages_.size(), 1u);
  EXPECT_EQ(messages_[0], KLoadMessageText(msg::kWaveInOpen));
  EXPECT_EQ(Current().END, 0);
  EXPECT_EQ(Current().Channels, 2);
  EXPECT_EQ(Current().BitsPerSample, 16);
  EXPECT_EQ(Current().SampleRate, 22050);
  EXPECT_EQ(Current().UndoDepth(), 0);
  EXPECT_TRUE(host_.Log.empty());
}

TEST_F(Commands, RecordTooLongForTheStoreIsRefusedBeforeTheVoiceChanges) {
  VoiceWithSnapshot();
  EXPECT_FALSE(Run("MenuRecordClick", StereoRecord(20000.0, 44100)));  // 20000 s x 44100 Hz x 4 bytes
  ASSERT_EQ(messages_.size(), 1u);
  EXPECT_EQ(messages_[0], KFormatMessage(msg::kTooLong, "the recording"));
  EXPECT_EQ(Current().END, 3);
  EXPECT_EQ(Current().UndoDepth(), 1);
}

TEST_F(Commands, RateScrollBarSetsOnlyTheCurrentVoicesRate) {
  KCommandInput bar;
  bar.ScrollPosition = 16013;
  EXPECT_TRUE(Run("ScrollBarSRChange", bar));
  EXPECT_EQ(Current().SampleRate, 16000);
  bar.ScrollPosition = 8000;
  EXPECT_TRUE(Run("ScrollBarSRChange", bar));
  Voice(2).SampleRate = 22050;
  Run("MenuBank2Click");
  bar.ScrollPosition = 8025;  // one small step from where the bar stood
  EXPECT_TRUE(Run("ScrollBarSRChange", bar));
  EXPECT_EQ(Voice(2).SampleRate, 8025);
  EXPECT_EQ(Voice(1).SampleRate, 8000);
  bar.ScrollPosition = 50000;
  EXPECT_TRUE(Run("ScrollBarSRChange", bar));
  EXPECT_EQ(Voice(2).SampleRate, 44100);
}

TEST_F(Commands, AliasIsCutToNineteenCharacters) {
  EXPECT_TRUE(Run("StatusBarMouseDown", Texts("A name that is far too long")));
  EXPECT_EQ(Current().AliasName, "A name that is far ");
  EXPECT_TRUE(Run("StatusBarMouseDown", Texts("")));
  EXPECT_EQ(Current().AliasName, "");
}

TEST_F(Commands, ViewOptionsSwitchAndRedrawTheZoomInBox) {
  const KDisplayOptions& options = context_.Options;
  EXPECT_EQ(options.ZiScaleHex, 1);
  EXPECT_EQ(options.LocationHex, 0);
  std::vector<int32_t> seen;
  for (int press = 0; press < 4; ++press) {
    Run("BitBtnWaveformResolutionClick");
    seen.push_back(options.ZiResolution);
  }
  EXPECT_EQ(seen, (std::vector<int32_t>{4, 6, 8, 2}));
  Run("MenuWaveResolutionBClick");
  EXPECT_EQ(options.ZiResolution, 2);
  for (int press = 0; press < 4; ++press) Run("MenuWaveResolutionAClick");
  EXPECT_EQ(options.ZiResolution, 8);
  Run("BitBtnWaveformModeClick");
  EXPECT_EQ(options.WaveformMode, 1);
  Run("BitBtnWaveformModeClick");
  Run("MenuRectangleWaveformClick");
  EXPECT_EQ(options.WaveformMode, 1);
  EXPECT_EQ(host_.Log, Log(12, "redraw-zi"));
  Run("MenuDecScaleTextClick");
  Run("MenuHexLocationIndicatorClick");
  EXPECT_EQ(options.ZiScaleHex, 0);
  EXPECT_EQ(options.ZoScaleHex, 0);
  EXPECT_EQ(options.LocationHex, 1);
}

TEST_F(Commands, NothingRunsBeforeABankIsSelected) {
  banks_.CurrentVoice = nullptr;
  EXPECT_FALSE(Run("ScrollBarSRChange"));
  EXPECT_FALSE(Run("MenuClearAllBankClick"));
  EXPECT_TRUE(host_.Log.empty());
}

}  // namespace
