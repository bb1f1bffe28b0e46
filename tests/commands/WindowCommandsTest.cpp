#include <gtest/gtest.h>

#include <cstdint>
#include <string>
#include <tuple>
#include <utility>
#include <vector>

#include "commands/PromptChecks.h"
#include "commands/TextReading.h"
#include "commands/WindowCommands.h"
#include "resources/StringTable.h"
#include "support/VoiceFixture.h"

namespace {

using Log = std::vector<std::string>;

// Writes down what the window would have done around a command.
class RecordingHost : public KCommandHost {
 public:
  void RepaintNow() override { log.push_back("repaint"); }
  void ShowProgress() override { log.push_back("show"); }
  void HideProgress() override { log.push_back("hide"); }
  void Beep() override { log.push_back("beep"); }
  void RedrawZoomIn() override { log.push_back("redraw-zi"); }
  Log log;
};

class Commands : public VoiceFixture {
 protected:
  bool Run(const char* handler, const KCommandInput& input = {}) {
    const KWindowCommand* command = FindWindowCommand(handler);
    EXPECT_NE(command, nullptr) << handler;
    return command && RunWindowCommand(context_, *command, input);
  }
  static KCommandInput Amplifier(const std::string& percent) {
    KCommandInput in;
    in.AmplifierPercent = percent;
    return in;
  }
  static KCommandInput Echo(const std::string& attenuation, const std::string& delay) {
    KCommandInput in;
    in.EchoAttenuation = attenuation;
    in.EchoDelay = delay;
    return in;
  }
  // Stereo 16-bit at 44100 Hz, as the format and record dialogs give it.
  static KCommandInput Stereo16(double seconds = 0) {
    KCommandInput in;
    in.Channels = 2;
    in.Bits = 16;
    in.Seconds = seconds;
    in.ScrollPosition = 44100;
    return in;
  }
  std::string Remembered(KPrompt prompt) const { return context_.Prompts.Text(prompt); }
  static std::string Text(int id) { return KLoadMessageText(id); }

  RecordingHost host_;
  KCommandContext context_{banks_, host_};
};

TEST(TextReading, CountsAndRatesStopAtTheFirstOtherCharacterAndHoldTheirLimits) {
  const std::pair<const char*, int32_t> cases[] = {{"1F", 31},
                                                   {"100    ", 256},
                                                   {"  -0x1f", -31},
                                                   {"+0X10zz", 16},
                                                   {" 1 2", 1},
                                                   {"zz", 0},
                                                   {"", 0},
                                                   {"0x", 0},
                                                   {"7FFFFFFF", INT32_MAX},
                                                   {"FFFFFFFFFFFFFFFFFFFF", INT32_MAX},
                                                   {"-80000000", INT32_MIN},
                                                   {"-FFFFFFFFFFFF", INT32_MIN}};
  for (const auto& [text, count] : cases) EXPECT_EQ(ReadHexCount(text), count) << '"' << text << '"';
  EXPECT_EQ(SecondsToFrames(-0.0001, 16000), -1);
  EXPECT_EQ(SecondsToFrames(1e12, 44100), INT32_MAX);
  EXPECT_EQ(SecondsToFrames(-1e12, 44100), INT32_MIN);
  const std::pair<int32_t, int32_t> rates[] = {{16013, 16000}, {2110, 2100}, {8025, 8025}, {44124, 44100}, {-5, 2100}};
  for (const auto& [position, rate] : rates) EXPECT_EQ(RateFromScrollPosition(position), rate) << position;
}

TEST(TextReading, RealsTakeTheLongestNumberAtTheStart) {
  const std::tuple<const char*, double, size_t> cases[] = {
      {"0.5", 0.5, 3}, {"  12.5%", 12.5, 6},   {"-.25", -0.25, 4}, {"+3.", 3, 3},   {"2e3x", 2000, 3},
      {"2e", 2, 1},    {" 1.5e-1 x", 0.15, 7}, {"zz", 0, 0},       {"-", 0, 0},     {".", 0, 0},
      {"inf", 0, 0},   {"nan", 0, 0},          {"0x10", 0, 1},     {"1e-999", 0, 6}};
  for (const auto& [text, value, length] : cases) {
    size_t used = 99;
    EXPECT_DOUBLE_EQ(ScanReal(text, used), value) << text;
    EXPECT_EQ(used, length) << text;
  }
  EXPECT_GT(ReadReal("1e999"), 1e300);
  EXPECT_LT(ReadReal("-1e999"), -1e300);
}

TEST_F(Commands, LengthTextsReadInTheLocationUnitAndAreRememberedPerCommandAndUnit) {
  context_.Options.LocationHex = 1;
  EXPECT_EQ(AcceptLengthText(context_, KLengthCommand::AutoMark, "1F"), 31);
  EXPECT_EQ(AcceptLengthText(context_, KLengthCommand::InsertMute, "zz"), 0);
  context_.Options.LocationHex = 0;
  EXPECT_EQ(AcceptLengthText(context_, KLengthCommand::InsertMute, "0.5"), 8000);  // at 16000 Hz
  Current().SampleRate = 8000;
  EXPECT_EQ(AcceptLengthText(context_, KLengthCommand::AutoMark, "0.0123456789"), 98);
  EXPECT_EQ(Remembered(KPrompt::AutoMarkHex) + "|" + Remembered(KPrompt::InsertMuteHex) + "|" +
                Remembered(KPrompt::InsertMuteSec) + "|" + Remembered(KPrompt::AutoMarkSec),
            "1F|zz|0.5|0.01234");  // as much as the 7-character edit line holds
  EXPECT_TRUE(messages_.empty());
}

TEST_F(Commands, AmplifierOutsideOneTo999ShowsError013AndKeepsTheRememberedText) {
  for (const char* text : {"0", "1000", "", "0.99", "abc", "-5"}) {
    EXPECT_FALSE(Run("MenuMathAmpClick", Amplifier(text))) << text;
    EXPECT_EQ(Remembered(KPrompt::Amplifier), "100");
  }
  EXPECT_EQ(messages_, Log(6, Text(msg::kAmplifierRange)));
  for (const char* text : {"1", "999", "1.5"}) {
    EXPECT_TRUE(CheckAmplifier(context_, Amplifier(text))) << text;
    EXPECT_EQ(Remembered(KPrompt::Amplifier), text);
  }
}

TEST_F(Commands, EchoChecksAttenuationThenDelayAndRemembersWhatPassed) {
  EXPECT_FALSE(Run("MenuEchoClick", Echo("50", "99")));
  EXPECT_EQ(Remembered(KPrompt::EchoAttenuation) + "|" + Remembered(KPrompt::EchoDelay), "50|280 ");
  EXPECT_FALSE(Run("MenuEchoClick", Echo("0", "99")));  // the attenuation is checked first
  EXPECT_FALSE(Run("MenuEchoClick", Echo("100", "280")));
  EXPECT_FALSE(Run("MenuEchoClick", Echo("10", "2001")));
  EXPECT_EQ(messages_, (Log{Text(msg::kEchoDelay), Text(msg::kEchoAttenuation), Text(msg::kEchoAttenuation),
                            Text(msg::kEchoDelay)}));
  EXPECT_TRUE(CheckEcho(context_, Echo("99", "2000")));
  EXPECT_TRUE(CheckEcho(context_, Echo("1", "100")));
  EXPECT_EQ(Remembered(KPrompt::EchoAttenuation) + "|" + Remembered(KPrompt::EchoDelay), "1|100");
}

// The order of repaint, progress window and beep for each kind of row; a
// refusal by the window's own check comes before all of them.
TEST_F(Commands, TheBracketAndTheBeepFollowEachCommandsRow) {
  struct Case {
    const char* handler;
    KCommandInput input;
    bool ok;
    Log log;
  };
  const Log bracket{"repaint", "show", "hide"}, beeped{"repaint", "show", "beep", "hide"};
  const Case cases[] = {
      {"MenuUndoClick", {}, false, bracket},  // nothing to undo: no beep
      {"MenuMuteMarkedClick", {}, true, beeped},
      {"MenuUndoClick", {}, true, beeped},
      {"MenuSpiltChannelClick", {}, false, {}},  // Error 016
      {"MenuMathAmpClick", Amplifier("1000"), false, {}},
      {"MenuTranslateVoiceFormatClick", {}, false, beeped},  // beeps whatever it reports
      {"MenuTranslateVoiceFormatClick", Stereo16(), true, beeped},
      {"MenuMarkAllClick", {}, true, {}},
      {"MenuClearBankClick", {}, true, {"beep"}},
      {"MenuClearAllBankClick", {}, true, {"beep"}},
      {"MenuBank3Click", {}, true, {}},
  };
  FillMono8(Current(), {0, 128, 255});
  for (const Case& c : cases) {
    SCOPED_TRACE(c.handler);
    host_.log.clear();
    EXPECT_EQ(Run(c.handler, c.input), c.ok);
    EXPECT_EQ(host_.log, c.log);
  }
  EXPECT_EQ(messages_, (Log{Text(msg::kSplitNotStereo), Text(msg::kAmplifierRange)}));
  EXPECT_EQ(Voice(1).END, 0);
  EXPECT_EQ(banks_.CurrentVoice, &Voice(3));
  banks_.CurrentVoice = nullptr;  // nothing runs before a bank is selected
  EXPECT_FALSE(Run("MenuClearAllBankClick"));
  EXPECT_TRUE(host_.log.empty());
}

TEST_F(Commands, RecordTooLongForTheStoreIsRefusedBeforeTheVoiceChanges) {
  FillMono8(Current(), {1, 2, 3});
  ASSERT_TRUE(Current().SaveUndo("Undo : Echo"));
  EXPECT_FALSE(Run("MenuRecordClick", Stereo16(20000.0)));  // x 44100 Hz x 4 bytes
  EXPECT_EQ(messages_, Log{msg::TooLong("the recording")});
  EXPECT_EQ(Current().END, 3);
  EXPECT_EQ(Current().UndoDepth(), 1);
}

TEST_F(Commands, ViewButtonsCycleWithinTheirRangeAndRedrawTheZoomInBox) {
  const char *res = "BitBtnWaveformResolutionClick", *finer = "MenuWaveResolutionBClick",
             *coarser = "MenuWaveResolutionAClick", *mode = "BitBtnWaveformModeClick";
  std::vector<int32_t> seen;
  for (const char* press : {res, res, res, res, finer, coarser, coarser, coarser, coarser, mode, mode, mode}) {
    Run(press);
    seen.push_back(context_.Options.ZiResolution * 10 + context_.Options.WaveformMode);
  }
  EXPECT_EQ(seen, (std::vector<int32_t>{40, 60, 80, 20, 20, 40, 60, 80, 80, 81, 80, 81}));
  EXPECT_EQ(host_.log, Log(12, "redraw-zi"));
}

}  // namespace
