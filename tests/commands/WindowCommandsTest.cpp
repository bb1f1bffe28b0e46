// Reading the prompts' texts, the checks of the amplifier and echo texts and
// what they remember, and what the window does around each kind of command.
#include <gtest/gtest.h>

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
  // The amplifier's percentage, or the echo's attenuation and delay.
  static KCommandInput Texts(const std::string& first, const char* delay = nullptr) {
    KCommandInput in;
    (delay ? in.EchoAttenuation : in.AmplifierPercent) = first;
    if (delay) in.EchoDelay = delay;
    return in;
  }
  std::string Remembered(std::initializer_list<KPrompt> prompts) const {
    std::string texts;
    for (KPrompt prompt : prompts) texts += context_.Prompts.Text(prompt) + "|";
    return texts;
  }
  static std::string Text(int id) { return KLoadMessageText(id); }

  RecordingHost host_;
  KCommandContext context_{banks_, host_};
};

TEST(TextReading, CountsRatesAndRealsStopAtTheFirstOtherCharacterAndHoldTheirLimits) {
  const std::pair<const char*, int32_t> counts[] = {{"1F", 31},
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
  for (const auto& [text, count] : counts) EXPECT_EQ(ReadHexCount(text), count) << '"' << text << '"';
  EXPECT_EQ(SecondsToFrames(-0.0001, 16000), -1);
  EXPECT_EQ(SecondsToFrames(1e12, 44100), INT32_MAX);
  EXPECT_EQ(SecondsToFrames(-1e12, 44100), INT32_MIN);
  const std::pair<int32_t, int32_t> rates[] = {{16013, 16000}, {2110, 2100}, {8025, 8025}, {44124, 44100}, {-5, 2100}};
  for (const auto& [position, rate] : rates) EXPECT_EQ(RateFromScrollPosition(position), rate) << position;
  const std::tuple<const char*, double, size_t> reals[] = {
      {"0.5", 0.5, 3}, {"  12.5%", 12.5, 6},   {"-.25", -0.25, 4}, {"+3.", 3, 3},   {"2e3x", 2000, 3},
      {"2e", 2, 1},    {" 1.5e-1 x", 0.15, 7}, {"zz", 0, 0},       {"-", 0, 0},     {".", 0, 0},
      {"inf", 0, 0},   {"nan", 0, 0},          {"0x10", 0, 1},     {"1e-999", 0, 6}};
  for (const auto& [text, value, length] : reals) {
    size_t used = 99;
    EXPECT_DOUBLE_EQ(ScanReal(text, used), value) << text;
    EXPECT_EQ(used, length) << text;
  }
  EXPECT_GT(ReadReal("1e999"), 1e300);
  EXPECT_LT(ReadReal("-1e999"), -1e300);
}

// Lengths read in the location unit, remembered per command and unit as far
// as the 7-character edit line holds them.
TEST_F(Commands, LengthTextsReadInTheLocationUnitAndAreRememberedPerCommandAndUnit) {
  context_.Options.LocationHex = 1;
  EXPECT_EQ(AcceptLengthText(context_, KLengthCommand::AutoMark, "1F"), 31);
  EXPECT_EQ(AcceptLengthText(context_, KLengthCommand::InsertMute, "zz"), 0);
  context_.Options.LocationHex = 0;
  EXPECT_EQ(AcceptLengthText(context_, KLengthCommand::InsertMute, "0.5"), 8000);  // at 16000 Hz
  Current().SampleRate = 8000;
  EXPECT_EQ(AcceptLengthText(context_, KLengthCommand::AutoMark, "0.0123456789"), 98);
  EXPECT_EQ(Remembered({KPrompt::AutoMarkHex, KPrompt::InsertMuteHex, KPrompt::InsertMuteSec, KPrompt::AutoMarkSec}),
            "1F|zz|0.5|0.01234|");
  EXPECT_TRUE(messages_.empty());
}

// The amplifier takes 1 to 999 %, the echo's attenuation 1 to 99 (checked
// first) and its delay 100 to 2000 ms; a text is remembered once it passed.
TEST_F(Commands, AmplifierAndEchoTextsOutOfRangeShowTheirErrorAndAreNotRemembered) {
  const std::tuple<const char*, const char*, int, const char*> cases[] = {
      {"0", nullptr, msg::kAmplifierRange, "100|"},
      {"1000", nullptr, msg::kAmplifierRange, "100|"},
      {"", nullptr, msg::kAmplifierRange, "100|"},
      {"0.99", nullptr, msg::kAmplifierRange, "100|"},
      {"abc", nullptr, msg::kAmplifierRange, "100|"},
      {"-5", nullptr, msg::kAmplifierRange, "100|"},
      {"1", nullptr, 0, "1|"},
      {"999", nullptr, 0, "999|"},
      {"1.5", nullptr, 0, "1.5|"},
      {"50", "99", msg::kEchoDelay, "50|280 |"},
      {"0", "99", msg::kEchoAttenuation, "50|280 |"},
      {"100", "280", msg::kEchoAttenuation, "50|280 |"},
      {"10", "2001", msg::kEchoDelay, "10|280 |"},
      {"99", "2000", 0, "99|2000|"},
      {"1", "100", 0, "1|100|"}};
  for (auto [first, delay, message, remembered] : cases) {
    SCOPED_TRACE(testing::Message() << first << " " << (delay ? delay : ""));
    messages_.clear();
    const bool ok = delay ? CheckEcho(context_, Texts(first, delay)) : CheckAmplifier(context_, Texts(first));
    EXPECT_EQ(ok, message == 0);
    EXPECT_EQ(messages_, message ? Log{Text(message)} : Log{});
    EXPECT_EQ(delay ? Remembered({KPrompt::EchoAttenuation, KPrompt::EchoDelay}) : Remembered({KPrompt::Amplifier}),
              remembered);
  }
}

// The order of repaint, progress window and beep for each kind of row; a
// refusal by the window's own check comes before all of them.
TEST_F(Commands, TheBracketAndTheBeepFollowEachCommandsRow) {
  KCommandInput stereo16;  // as the format dialog gives it
  stereo16.Channels = 2;
  stereo16.Bits = 16;
  const Log bracket{"repaint", "show", "hide"}, beeped{"repaint", "show", "beep", "hide"};
  const std::tuple<const char*, KCommandInput, bool, Log> cases[] = {
      {"MenuUndoClick", {}, false, bracket},  // nothing to undo: no beep
      {"MenuMuteMarkedClick", {}, true, beeped},
      {"MenuUndoClick", {}, true, beeped},
      {"MenuSpiltChannelClick", {}, false, {}},  // Error 016
      {"MenuMathAmpClick", Texts("1000"), false, {}},
      {"MenuEchoClick", Texts("0", "99"), false, {}},
      {"MenuTranslateVoiceFormatClick", {}, false, beeped},  // beeps whatever it reports
      {"MenuTranslateVoiceFormatClick", stereo16, true, beeped},
      {"MenuMarkAllClick", {}, true, {}},
      {"MenuClearBankClick", {}, true, {"beep"}},
      {"MenuClearAllBankClick", {}, true, {"beep"}},
      {"MenuBank3Click", {}, true, {}},
  };
  FillMono8(Current(), {0, 128, 255});
  for (const auto& [handler, input, ok, log] : cases) {
    SCOPED_TRACE(handler);
    host_.log.clear();
    EXPECT_EQ(Run(handler, input), ok);
    EXPECT_EQ(host_.log, log);
  }
  EXPECT_EQ(messages_, (Log{Text(msg::kSplitNotStereo), Text(msg::kAmplifierRange), Text(msg::kEchoAttenuation)}));
  EXPECT_EQ(Voice(1).END, 0);
  EXPECT_EQ(banks_.CurrentVoice, &Voice(3));
  banks_.CurrentVoice = nullptr;  // nothing runs before a bank is selected
  EXPECT_FALSE(Run("MenuClearAllBankClick"));
  EXPECT_TRUE(host_.log.empty());
}

TEST_F(Commands, RecordTooLongForTheStoreIsRefusedBeforeTheVoiceChanges) {
  FillMono8(Current(), {1, 2, 3});
  ASSERT_TRUE(Current().SaveUndo("Undo : Echo"));
  KCommandInput in;  // 20000 s x 44100 Hz x 4 bytes
  in.Channels = 2;
  in.Bits = 16;
  in.Seconds = 20000.0;
  in.ScrollPosition = 44100;
  EXPECT_FALSE(Run("MenuRecordClick", in));
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
