#include "cli/CliCommands.h"

#include <charconv>

#include "cli/Session.h"
#include "commands/TextReading.h"

namespace {

using W = KWords;
using I = KCommandInput;
constexpr KArg kBank = KArg::Bank, kSource = KArg::Source, kCh = KArg::Channels, kBits = KArg::Bits;
constexpr KArg kInt = KArg::Integer, kReal = KArg::Real, kWord = KArg::Word;

void Path(const W& a, I& in) { in.Path = a.back(); }
void Text(const W& a, I& in) { in.Text1 = a[0]; }
void Frames(const W& a, I& in) { in.Frames = IntArg(a[0]); }
void Position(const W& a, I& in) { in.SamplePosition = IntArg(a[0]); }
void Banks(const W& a, I& in) {
  for (size_t k = 0; k < a.size(); ++k) in.Banks[k] = IntArg(a[k]);
}
void Format(const W& a, I& in) {
  in.Channels = IntArg(a[0]);
  in.Bits = IntArg(a[1]);
}

constexpr KCliCommand kCommands[] = {
    {"bank", "N", {kBank}, "MenuBank{1}Click", nullptr, nullptr, "select bank N (1..12)"},
    {"load-mxv", "P", {kWord}, "MenuLoadMXVClick", Path, nullptr, "load an MXV file"},
    {"load-wav", "P", {kWord}, "MenuLoadWAVClick", Path, nullptr, "load a WAV file"},
    {"load-voc", "P", {kWord}, "MenuLoadVOCClick", Path, nullptr, "load a VOC file"},
    {"load-pcm", "CH BITS P", {kCh, kBits, kWord}, "MenuLoadCh{1}Bit{2}PCMClick", Path, nullptr,
     "load a raw PCM file of CH channels (1, 2) and BITS bits (8, 16)"},
    {"save", "", {}, "MenuSaveFileClick", nullptr, nullptr, "save to the voice's own file in its own format"},
    {"save-mxv", "P", {kWord}, "MenuSaveMXVClick", Path, nullptr, "save as an MXV file"},
    {"save-wav", "P", {kWord}, "MenuSaveWAVClick", Path, nullptr, "save as a WAV file"},
    {"save-voc", "P", {kWord}, "MenuSaveVOCClick", Path, nullptr, "save as a VOC file"},
    {"save-pcm", "P", {kWord}, "MenuSavePCMClick", Path, nullptr, "save as a raw PCM file"},
    {"undo", "", {}, "MenuUndoClick", nullptr, nullptr, "undo the newest edit"},
    {"copy", "", {}, "MenuCopyClick", nullptr, nullptr, "copy the marked area into the copy buffer"},
    {"paste-insert", "", {}, "MenuPasteByInsertClick", nullptr, nullptr, "paste by insert mode at FLG"},
    {"paste-cover", "", {}, "MenuPasteByCoverClick", nullptr, nullptr, "paste by cover mode at FLG"},
    {"paste-mix", "", {}, "MenuPasteByMixClick", nullptr, nullptr, "paste by mix mode at FLG"},
    {"cut-marked", "", {}, "MenuCutMarkedClick", nullptr, nullptr, "cut the marked area"},
    {"cut-unmark", "", {}, "MenuCutUnmarkClick", nullptr, nullptr, "cut everything outside the marked area"},
    {"mute-marked", "", {}, "MenuMuteMarkedClick", nullptr, nullptr, "fill the marked area with silence"},
    {"mute-unmark", "", {}, "MenuMuteUnmarkClick", nullptr, nullptr, "fill the unmarked area with silence"},
    {"fade-in", "", {}, "MenuFadeInClick", nullptr, nullptr, "fade the marked area in"},
    {"fade-out", "", {}, "MenuFadeOutClick", nullptr, nullptr, "fade the marked area out"},
    {"set-end", "", {}, "MenuSetENDClick", nullptr, nullptr, "set the voice's END at FLG"},
    {"insert-mute", "FRAMES", {kInt}, "MenuInsertMuteClick", Frames, nullptr, "insert FRAMES silent frames after FLG"},
    {"amp", "PERCENT", {kReal}, "MenuMathAmpClick", Text, nullptr, "amplify the marked area by PERCENT (1..999)"},
    {"echo", "DELAY_MS ATTEN_PERCENT", {kReal, kReal}, "MenuEchoClick",
     [](const W& a, I& in) {
       in.Text1 = a[1];
       in.Text2 = a[0];
     },
     nullptr, "echo with a reflect delay (100..2000 ms) and an attenuation (1..99 %)"},
    {"mix", "S1 S2 S3 S4", {kSource, kSource, kSource, kSource}, "MenuMixerClick", Banks, nullptr,
     "mix up to four banks into the current one (0 for none)"},
    {"split", "B1 B2", {kBank, kBank}, "MenuSpiltChannelClick", Banks, nullptr,
     "split a stereo voice into banks B1 and B2"},
    {"merge", "B1 B2", {kBank, kBank}, "MenuMergeChannelClick", Banks, nullptr,
     "merge mono banks B1 and B2 into a stereo voice"},
    {"translate", "CH BITS", {kCh, kBits}, "MenuTranslateVoiceFormatClick", Format, nullptr,
     "translate the voice to CH channels and BITS bits"},
    {"mark-all", "", {}, "MenuMarkAllClick", nullptr, nullptr, "mark the whole voice"},
    {"reset-mkl", "", {}, "MenuResetMKLClick", nullptr, nullptr, "set MKL to 1"},
    {"reset-mkr", "", {}, "MenuResetMKRClick", nullptr, nullptr, "set MKR to END"},
    {"reset-flg", "", {}, "MenuResetFLGClick", nullptr, nullptr, "set FLG to 1"},
    {"auto-mark", "FRAMES", {kInt}, "MenuAutoMarkClick", Frames, nullptr, "mark FRAMES frames from FLG"},
    {"set-mkl", "P", {kInt}, "PaintBoxZIMouseDownLeft", Position, nullptr, "set MKL at sample position P"},
    {"set-mkr", "P", {kInt}, "PaintBoxZIMouseDownRight", Position, nullptr, "set MKR at sample position P"},
    {"set-flg", "P", {kInt}, "PaintBoxZIMouseDownMiddle", Position, nullptr, "set FLG at sample position P"},
    {"goto head", "", {}, "MenuGotoHEADClick", nullptr, nullptr, "show the voice from its first frame"},
    {"goto end", "", {}, "MenuGotoENDClick", nullptr, nullptr, "show the voice around END"},
    {"goto flg", "", {}, "MenuGotoFLGClick", nullptr, nullptr, "show the voice around FLG"},
    {"goto mkl", "", {}, "MenuGotoMKLClick", nullptr, nullptr, "show the voice around MKL"},
    {"goto mkr", "", {}, "MenuGotoMKRClick", nullptr, nullptr, "show the voice around MKR"},
    {"rate", "HZ", {kInt}, "ScrollBarSRChange",
     [](const W& a, I& in) { in.ScrollPosition = IntArg(a[0]); }, nullptr,
     "set the sample rate (rounded down to 25, held in 2100..44100)"},
    {"alias", "TEXT", {kWord}, "StatusBarMouseDown", Text, nullptr, "set the alias (cut to 19 characters)"},
    {"clear-bank", "", {}, "MenuClearBankClick", nullptr, nullptr, "clear the current bank"},
    {"clear-all", "", {}, "MenuClearAllBankClick", nullptr, nullptr, "clear banks 1 to 12"},
    {"play-all", "", {}, "MenuPlayAllClick", nullptr, nullptr, "play the whole voice"},
    {"play-marked", "", {}, "MenuPlayMarkedClick", nullptr, nullptr, "play the marked area"},
    {"play-flg", "", {}, "MenuPlayFLGClick", nullptr, nullptr, "play from FLG to END"},
    {"record", "CH BITS SECONDS RATE", {kCh, kBits, kReal, kInt}, "MenuRecordClick",
     [](const W& a, I& in) {
       Format(a, in);
       in.Seconds = ReadReal(a[2]);
       in.ScrollPosition = IntArg(a[3]);
     },
     nullptr, "record SECONDS seconds at RATE Hz"},
    {"state", "", {}, nullptr, nullptr, [](KCliSession& s, const W&) { return s.PrintState(); },
     "print the current voice's record"},
    {"dump", "P", {kWord}, nullptr, nullptr, [](KCliSession& s, const W& a) { return s.Dump(a[0]); },
     "write the voice's frames 1..END as raw sample bytes to P"},
};

bool ParseInt(const std::string& word, int32_t& value) {
  const char* end = word.data() + word.size();
  auto [at, error] = std::from_chars(word.data(), end, value);
  return !word.empty() && error == std::errc() && at == end;
}

}  // namespace

std::span<const KCliCommand> CliCommands() { return kCommands; }

int ArgCount(const KCliCommand& command) {
  int count = 0;
  while (count < 4 && command.Args[count] != KArg::None) ++count;
  return count;
}

int32_t IntArg(const std::string& word) {
  int32_t value = 0;
  ParseInt(word, value);
  return value;
}

std::string CheckArg(KArg kind, const std::string& word) {
  int32_t value = 0;
  bool integer = ParseInt(word, value);
  size_t used = 0;
  switch (kind) {
    case KArg::Bank:
      return integer && value >= 1 && value <= 12 ? "" : "must be a bank from 1 to 12";
    case KArg::Source:
      return integer && value >= 0 && value <= 12 ? "" : "must be 0 (none) or a bank from 1 to 12";
    case KArg::Channels:
      return word == "1" || word == "2" ? "" : "must be 1 or 2";
    case KArg::Bits:
      return word == "8" || word == "16" ? "" : "must be 8 or 16";
    case KArg::Integer:
      return integer ? "" : "must be a whole number from -2147483648 to 2147483647";
    case KArg::Real:
      ScanReal(word, used);
      return used > 0 && used == word.size() && word[0] != ' ' && word[0] != '\t' ? "" : "must be a number";
    case KArg::Word:
    case KArg::None:
      break;
  }
  return "";
}
