// The menu table and the File dialogs, reading the prompts' texts and what they remember, and what the window does
// around each kind of command.
#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <set>

#include "commands/FileDialogs.h"
#include "commands/MenuTable.h"
#include "commands/PromptChecks.h"
#include "commands/TextReading.h"
#include "commands/WindowCommands.h"
#include "resources/StringTable.h"
#include "support/VoiceFixture.h"

// Designated initializers name only the fields of a command's input it reads.
#pragma GCC diagnostic ignored "-Wmissing-field-initializers"

namespace {

using Log = std::vector<std::string>;

// Writes down what the window would have done around a command.
class Commands : public VoiceFixture, public KCommandHost {
 protected:
  void RepaintNow() override { log_.push_back("repaint"); }
  void ShowProgress() override { log_.push_back("show"); }
  void HideProgress() override { log_.push_back("hide"); }
  void Beep() override { log_.push_back("beep"); }
  void RedrawZoomIn() override { log_.push_back("redraw-zi"); }

  bool Run(const char* handler, const KCommandInput& input = {}) {
    const KWindowCommand* command = FindWindowCommand(handler);
    EXPECT_NE(command, nullptr) << handler;
    return command && RunWindowCommand(context_, *command, input);
  }
  std::string Remembered(const std::vector<KPrompt>& prompts) const {
    std::string texts;
    for (KPrompt prompt : prompts) texts += context_.Prompts.Text(prompt) + "|";
    return texts;
  }

  Log log_;
  KCommandContext context_{banks_, *this};
};

// The menus in order with their separators, each command item's row named after it and captioned as it, the colour
// items, the bank keys, the check marks (the scale text's follow the zoom-in box) and the File dialogs.
TEST_F(Commands, MenuItemsKeysChecksAndFileDialogs) {
  std::vector<std::string> menus, keys, checked;
  std::set<KColourSlot> slots;
  int commands = 0, colours = 0;
  const KDisplayOptions changed{.ZiScaleHex = 0, .LocationHex = 1, .WaveformMode = 1};
  for (const KMenuItem& item : MenuItems()) {
    if (item.Depth == 0) menus.push_back(std::string(item.Caption) + " 0");
    if (item.Depth == 1 && item.Separator()) menus.back().back() += 1;
    if (item.Shortcut) keys.push_back(std::string(item.Name) + "=" + item.Shortcut);
    if (item.Action == KWindowAction::Colour) slots.insert(item.Slot), ++colours;
    // Checked by default: "+"; once the options changed: "*".
    if (item.Group != KCheckGroup::None)
      checked.push_back(item.Name + std::string(MenuItemChecked(item, {}) ? "+" : "") +
                        (MenuItemChecked(item, changed) ? "*" : ""));
    if (item.Action != KWindowAction::Command) continue;
    ++commands;
    const KWindowCommand& row = WindowCommand(item.Command);
    EXPECT_EQ(std::string(item.Name) + "Click", row.Handler);
    EXPECT_STREQ(item.Caption, row.Caption) << item.Name;
  }
  EXPECT_EQ(menus, (std::vector<std::string>{"&File 5", "&Edit 5", "&Mark 2", "&Bank 2", "&Play 0", "&Record 0",
                                             "&Tool 4", "&Option 0", "&View 2"}));
  EXPECT_EQ(commands, 71);
  // Normalise follows the amplifier, mark-sound auto-mark.
  std::vector<std::string> names;
  for (const KMenuItem& item : MenuItems()) names.push_back(item.Name ? item.Name : "-");
  for (auto [before, after] : {std::pair{"MenuMathAmp", "MenuNormalize"}, {"MenuAutoMark", "MenuMarkSound"}})
    EXPECT_EQ(*(std::find(names.begin(), names.end(), before) + 1), after);
  EXPECT_EQ(colours + slots.size(), 18u + 18);  // every slot once, but the scale texts
  ASSERT_EQ(keys.size(), 12u);
  EXPECT_EQ(keys.front() + " " + keys.back(), "MenuBank1=F1 MenuBank12=F12");
  EXPECT_EQ(checked,
            (std::vector<std::string>{"MenuHexScaleText+", "MenuDecScaleText*", "MenuHexLocationIndicator*",
                                      "MenuSecLocationIndicator+", "MenuCurveWaveform+", "MenuRectangleWaveform*"}));
  Voice(1).FileName = "/v/a.mxv";
  const std::tuple<KCommandId, bool, const char*, const char*, const char*, const char*> dialogs[] = {
      {KCommandId::MenuLoadCh2Bit16PCMClick, false, "Load Stereo 16 bit raw PCM",
       "PCM file (*.PCM)| *.PCM; *.pcm | All file (*.*)| *.*", "*.PCM", ""},
      {KCommandId::MenuSaveWAVClick, true, "Save WAV", "WAV file (*.WAV)| *.WAV; *.wav | All file (*.*)| *.*",
       "/v/a.WAV", "WAV"},
      {KCommandId::MenuSaveMXVClick, true, "Save MXV", "MXV file (*.MXV)| *.MXV; *.mxv | All file (*.*)| *.*",
       "/v/a.mxv", "MXV"}};
  for (auto [command, save, title, filter, name, suffix] : dialogs) {
    const auto setup = FileDialogFor(command, Voice(1));
    ASSERT_TRUE(setup) << title;
    EXPECT_EQ(std::tuple(setup->Save, setup->Title, setup->Filter, setup->FileName, setup->DefaultSuffix),
              std::tuple(save, std::string(title), std::string(filter), std::string(name), std::string(suffix)));
  }
  EXPECT_FALSE(FileDialogFor(KCommandId::MenuSaveFileClick, Voice(1)) ||
               FileDialogFor(KCommandId::MenuCopyClick, Voice(1)));
}

// Counts, rates and numbers stop at the first other character and hold their limits; lengths read in the location unit.
// The amplifier takes 1 to 999 %, the echo's attenuation 1 to 99 (checked first) and its delay 100 to 2000 ms; a text
// is remembered, per command and unit, once it passed, as far as its edit line holds it.
TEST_F(Commands, PromptTextsAreReadCheckedAndRemembered) {
  // clang-format off
  const std::pair<const char*, int32_t> counts[] = {
      {"1F", 31}, {"100    ", 256}, {"  -0x1f", -31}, {"+0X10zz", 16}, {" 1 2", 1}, {"zz", 0}, {"", 0}, {"0x", 0},
      {"7FFFFFFF", INT32_MAX}, {"FFFFFFFFFFFFFFFFFFFF", INT32_MAX}, {"-80000000", INT32_MIN}, {"-FFFFFFFFFFFF", INT32_MIN}};
  // clang-format on
  for (const auto& [text, count] : counts) EXPECT_EQ(ReadHexCount(text), count) << '"' << text << '"';
  EXPECT_EQ(std::tuple(SecondsToFrames(-0.0001, 16000), SecondsToFrames(1e12, 44100), SecondsToFrames(-1e12, 8000)),
            std::tuple(-1, INT32_MAX, INT32_MIN));
  const std::pair<int32_t, int32_t> rates[] = {{16013, 16000}, {2110, 2100}, {8025, 8025}, {44124, 44100}, {-5, 2100}};
  for (const auto& [position, rate] : rates) EXPECT_EQ(RateFromScrollPosition(position), rate) << position;
  size_t used = 0;  // a number stops before the other characters; one beyond the doubles is infinite
  EXPECT_EQ(std::tuple(ScanReal(" -1.5e-1x", used), used, ReadReal("inf"), ReadReal("2e999")),
            std::tuple(-0.15, 8u, 0.0, HUGE_VAL));
  context_.Options.LocationHex = 1;
  EXPECT_EQ(AcceptLengthText(context_, KLengthCommand::AutoMark, "1F"), 31);
  EXPECT_EQ(AcceptLengthText(context_, KLengthCommand::InsertMute, "zz"), 0);
  context_.Options.LocationHex = 0;
  EXPECT_EQ(AcceptLengthText(context_, KLengthCommand::InsertMute, "0.5"), 8000);  // at 16000 Hz
  Current().SampleRate = 8000;
  EXPECT_EQ(AcceptLengthText(context_, KLengthCommand::AutoMark, "0.0123456789"), 98);
  EXPECT_EQ(Remembered({KPrompt::AutoMarkHex, KPrompt::InsertMuteHex, KPrompt::InsertMuteSec, KPrompt::AutoMarkSec}),
            "1F|zz|0.5|0.01234|");
  // Normalise's level is a number of at most 0 dBFS; mark-sound's threshold too (checked first), its margin a number of
  // at least 0 ms.
  EXPECT_EQ(Remembered({KPrompt::Normalize, KPrompt::SoundThreshold, KPrompt::SoundMargin}), "-1.0|-45|10|");
  using namespace msg;
  using P = KPrompt;
  enum Check { Amp, Echo, Level, Sound };  // and the prompts of each
  const std::vector<P> prompts[] = {
      {P::Amplifier}, {P::EchoAttenuation, P::EchoDelay}, {P::Normalize}, {P::SoundThreshold, P::SoundMargin}};
  // clang-format off
  const std::tuple<Check, const char*, const char*, int, const char*> cases[] = {
      {Amp, "0", "", kAmplifierRange, "100|"}, {Amp, "1000", "", kAmplifierRange, "100|"},
      {Amp, "", "", kAmplifierRange, "100|"}, {Amp, "0.99", "", kAmplifierRange, "100|"},
      {Amp, "abc", "", kAmplifierRange, "100|"}, {Amp, "-5", "", kAmplifierRange, "100|"}, {Amp, "1", "", 0, "1|"},
      {Amp, "999", "", 0, "999|"}, {Amp, "1.5", "", 0, "1.5|"}, {Echo, "50", "99", kEchoDelay, "50|280 |"},
      {Echo, "0", "99", kEchoAttenuation, "50|280 |"}, {Echo, "100", "280", kEchoAttenuation, "50|280 |"},
      {Echo, "10", "2001", kEchoDelay, "10|280 |"}, {Echo, "99", "2000", 0, "99|2000|"}, {Echo, "1", "100", 0, "1|100|"},
      {Level, "-0.5", "", 0, "-0.5|"}, {Level, "0.1", "", kNormalizeLevel, "-0.5|"},
      {Level, "abc", "", kNormalizeLevel, "-0.5|"}, {Level, "-2e999", "", 0, "-2e999|"}, {Level, "0", "", 0, "0|"},
      {Sound, "", "5", kSoundThreshold, "-45|10|"}, {Sound, "3", "5", kSoundThreshold, "-45|10|"},
      {Sound, "-30", "-1", kSoundMargin, "-30|10|"}, {Sound, "-40", "ms", kSoundMargin, "-40|10|"},
      {Sound, "-0", "2.5", 0, "-0|2.5|"}};
  // clang-format on
  for (auto [check, first, second, message, remembered] : cases) {
    SCOPED_TRACE(testing::Message() << check << " " << first << " " << second);
    messages_.clear();
    const bool ok = check == Amp     ? CheckAmplifier(context_, {.AmplifierPercent = first})
                    : check == Echo  ? CheckEcho(context_, {.EchoAttenuation = first, .EchoDelay = second})
                    : check == Level ? CheckNormalize(context_, {.NormalizeLevel = first})
                                     : CheckMarkSound(context_, {.SoundThreshold = first, .SoundMargin = second});
    EXPECT_EQ(ok, message == 0);
    EXPECT_EQ(messages_, message ? Log{KLoadMessageText(message)} : Log{});
    EXPECT_EQ(Remembered(prompts[check]), remembered);
  }
}

// The order of repaint, progress window and beep for each kind of row; a refusal by the window's own check, or of a
// recording too long for the store, comes before all of them; the view buttons cycle within their range.
TEST_F(Commands, TheBracketAndTheBeepFollowEachCommandsRow) {
  // As the format and record dialogs give them; 20000 s x 44100 Hz x 4 bytes.
  const KCommandInput stereo16{.Channels = 2, .Bits = 16},
      tooLong{.Channels = 2, .Bits = 16, .Seconds = 20000.0, .ScrollPosition = 44100};
  const Log bracket{"repaint", "show", "hide"}, beeped{"repaint", "show", "beep", "hide"};
  const std::tuple<const char*, KCommandInput, bool, Log> cases[] = {
      {"MenuRecordClick", tooLong, false, {}},
      {"MenuUndoClick", {}, false, bracket},  // nothing to undo, the recording left none: no beep
      {"MenuMuteMarkedClick", {}, true, beeped},
      {"MenuUndoClick", {}, true, beeped},
      {"MenuSpiltChannelClick", {}, false, {}},  // Error 016
      {"MenuMathAmpClick", {.AmplifierPercent = "1000"}, false, {}},
      {"MenuEchoClick", {.EchoAttenuation = "0", .EchoDelay = "99"}, false, {}},
      {"MenuTranslateVoiceFormatClick", {}, false, beeped},  // beeps whatever it reports
      {"MenuTranslateVoiceFormatClick", stereo16, true, beeped},
      {"MenuTranslateVoiceSRClick", {.ScrollPosition = 16010}, false, bracket},  // its own rate
      {"MenuTranslateVoiceSRClick", {.ScrollPosition = 8010}, true, beeped},
      {"MenuClearBankClick", {}, true, {"beep"}},
      {"MenuClearAllBankClick", {}, true, {"beep"}},
      {"MenuBank3Click", {}, true, {}},
  };
  FillMono8(Current(), {0, 128, 255});
  for (const auto& [handler, input, ok, log] : cases) {
    log_.clear();
    EXPECT_EQ(Run(handler, input), ok) << handler;
    EXPECT_EQ(log_, log) << handler;
  }
  EXPECT_EQ(messages_, (Log{msg::TooLong("the recording"), KLoadMessageText(msg::kSplitNotStereo),
                            KLoadMessageText(msg::kAmplifierRange), KLoadMessageText(msg::kEchoAttenuation)}));
  EXPECT_EQ(banks_.CurrentVoice, &Voice(3));
  log_.clear();
  const char *res = "BitBtnWaveformResolutionClick", *finer = "MenuWaveResolutionBClick",
             *coarser = "MenuWaveResolutionAClick", *mode = "BitBtnWaveformModeClick";
  std::vector<int32_t> seen;
  for (const char* press : {res, res, res, res, finer, coarser, coarser, coarser, coarser, mode, mode, mode}) {
    Run(press);
    seen.push_back(context_.Options.ZiResolution * 10 + context_.Options.WaveformMode);
  }
  EXPECT_EQ(seen, (std::vector<int32_t>{40, 60, 80, 20, 20, 40, 60, 80, 80, 81, 80, 81}));
  EXPECT_EQ(log_, Log(12, "redraw-zi"));
  banks_.CurrentVoice = nullptr;  // nothing runs before a bank is selected
  EXPECT_FALSE(Run("MenuClearAllBankClick"));
  EXPECT_EQ(log_.size(), 12u);
}

}  // namespace
