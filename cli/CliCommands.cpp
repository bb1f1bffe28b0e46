#include "cli/CliCommands.h"

#include <charconv>

#include "cli/Session.h"
#include "commands/TextReading.h"
#include "commands/WindowCommands.h"

namespace {

using W = KWords;
using I = KCommandInput;
constexpr KArg kBank = KArg::Bank, kSource = KArg::Source, kCh = KArg::Channels, kBits = KArg::Bits;
constexpr KArg kInt = KArg::Integer, kReal = KArg::Real, kWord = KArg::Word;

void Path(const W& a, I& in) { in.Path = a.back(); }
void Amplifier(const W& a, I& in) { in.AmplifierPercent = a[0]; }
void Alias(const W& a, I& in) { in.Alias = a[0]; }
void Frames(const W& a, I& in) { in.Frames = IntArg(a[0]); }
void Position(const W& a, I& in) { in.SamplePosition = IntArg(a[0]); }
void Banks(const W& a, I& in) {
  for (size_t k = 0; k < a.size(); ++k) in.Banks[k] = IntArg(a[k]);
}
void Format(const W& a, I& in) {
  in.Channels = IntArg(a[0]);
  in.Bits = IntArg(a[1]);
}

// Bank N and the raw load of a format are one window command each.
KCommandId BankCommand(const W& a) { return BankCommandId(IntArg(a[0])); }
KCommandId RawLoadCommand(const W& a) {
  const bool stereo = IntArg(a[0]) == 2, wide = IntArg(a[1]) == 16;
  return stereo ? (wide ? KCommandId::MenuLoadCh2Bit16PCMClick : KCommandId::MenuLoadCh2Bit8PCMClick)
                : (wide ? KCommandId::MenuLoadCh1Bit16PCMClick : KCommandId::MenuLoadCh1Bit8PCMClick);
}

constexpr KCliCommand kCommands[] = {
    {"bank", "N", {kBank}, {.Pick = BankCommand}, nullptr, nullptr, "select bank N (1..12)"},
    {"load-mxv", "P", {kWord}, {KCommandId::MenuLoadMXVClick}, Path, nullptr, "load an MXV file"},
    {"load-wav", "P", {kWord}, {KCommandId::MenuLoadWAVClick}, Path, nullptr, "load a WAV file"},
    {"load-voc", "P", {kWord}, {KCommandId::MenuLoadVOCClick}, Path, nullptr, "load a VOC file"},
    {"load-pcm",
     "CH BITS P",
     {kCh, kBits, kWord},
     {.Pick = RawLoadCommand},
     Path,
     nullptr,
     "load a raw PCM file of CH channels (1, 2) and BITS bits (8, 16)"},
    {"save",
     "",
     {},
     {KCommandId::MenuSaveFileClick},
     nullptr,
     nullptr,
     "save to the voice's own file in its own format"},
    {"save-mxv", "P", {kWord}, {KCommandId::MenuSaveMXVClick}, Path, nullptr, "save as an MXV file"},
    {"save-wav", "P", {kWord}, {KCommandId::MenuSaveWAVClick}, Path, nullptr, "save as a WAV file"},
    {"save-voc", "P", {kWord}, {KCommandId::MenuSaveVOCClick}, Path, nullptr, "save as a VOC file"},
    {"save-pcm", "P", {kWord}, {KCommandId::MenuSavePCMClick}, Path, nullptr, "save as a raw PCM file"},
    {"undo", "", {}, {KCommandId::MenuUndoClick}, nullptr, nullptr, "undo the newest edit"},
    {"copy", "", {}, {KCommandId::MenuCopyClick}, nullptr, nullptr, "copy the marked area into the copy buffer"},
    {"paste-insert", "", {}, {KCommandId::MenuPasteByInsertClick}, nullptr, nullptr, "paste by insert mode at FLG"},
    {"paste-cover", "", {}, {KCommandId::MenuPasteByCoverClick}, nullptr, nullptr, "paste by cover mode at FLG"},
    {"paste-mix", "", {}, {KCommandId::MenuPasteByMixClick}, nullptr, nullptr, "paste by mix mode at FLG"},
    {"cut-marked", "", {}, {KCommandId::MenuCutMarkedClick}, nullptr, nullptr, "cut the marked area"},
    {"cut-unmark",
     "",
     {},
     {KCommandId::MenuCutUnmarkClick},
     nullptr,
     nullptr,
     "cut everything outside the marked area"},
    {"mute-marked", "", {}, {KCommandId::MenuMuteMarkedClick}, nullptr, nullptr, "fill the marked area with silence"},
    {"mute-unmark", "", {}, {KCommandId::MenuMuteUnmarkClick}, nullptr, nullptr, "fill the unmarked area with silence"},
    {"fade-in", "", {}, {KCommandId::MenuFadeInClick}, nullptr, nullptr, "fade the marked area in"},
    {"fade-out", "", {}, {KCommandId::MenuFadeOutClick}, nullptr, nullptr, "fade the marked area out"},
    {"set-end", "", {}, {KCommandId::MenuSetENDClick}, nullptr, nullptr, "set the voice's END at FLG"},
    {"insert-mute",
     "FRAMES",
     {kInt},
     {KCommandId::MenuInsertMuteClick},
     Frames,
     nullptr,
     "insert FRAMES silent frames after FLG"},
    {"amp",
     "PERCENT",
     {kReal},
     {KCommandId::MenuMathAmpClick},
     Amplifier,
     nullptr,
     "amplify the marked area by PERCENT (1..999)"},
    {"normalize",
     "DBFS",
     {kReal},
     {KCommandId::MenuNormalizeClick},
     [](const W& a, I& in) { in.NormalizeLevel = a[0]; },
     nullptr,
     "scale the marked area so that its peak is at DBFS (0 or less)"},
    {"echo",
     "DELAY_MS ATTEN_PERCENT",
     {kReal, kReal},
     {KCommandId::MenuEchoClick},
     [](const W& a, I& in) {
       in.EchoDelay = a[0];
       in.EchoAttenuation = a[1];
     },
     nullptr,
     "echo with a reflect delay (100..2000 ms) and an attenuation (1..99 %)"},
    {"mix",
     "S1 S2 S3 S4",
     {kSource, kSource, kSource, kSource},
     {KCommandId::MenuMixerClick},
     Banks,
     nullptr,
     "mix up to four banks into the current one (0 for none)"},
    {"split",
     "B1 B2",
     {kBank, kBank},
     {KCommandId::MenuSpiltChannelClick},
     Banks,
     nullptr,
     "split a stereo voice into banks B1 and B2"},
    {"merge",
     "B1 B2",
     {kBank, kBank},
     {KCommandId::MenuMergeChannelClick},
     Banks,
     nullptr,
     "merge mono banks B1 and B2 into a stereo voice"},
    {"translate",
     "CH BITS",
     {kCh, kBits},
     {KCommandId::MenuTranslateVoiceFormatClick},
     Format,
     nullptr,
     "translate the voice to CH channels and BITS bits"},
    {"mark-all", "", {}, {KCommandId::MenuMarkAllClick}, nullptr, nullptr, "mark the whole voice"},
    {"reset-mkl", "", {}, {KCommandId::MenuResetMKLClick}, nullptr, nullptr, "set MKL to 1"},
    {"reset-mkr", "", {}, {KCommandId::MenuResetMKRClick}, nullptr, nullptr, "set MKR to END"},
    {"reset-flg", "", {}, {KCommandId::MenuResetFLGClick}, nullptr, nullptr, "set FLG to 1"},
    {"auto-mark", "FRAMES", {kInt}, {KCommandId::MenuAutoMarkClick}, Frames, nullptr, "mark FRAMES frames from FLG"},
    {"mark-sound",
     "DBFS [MARGIN_MS]",
     {kReal, kReal},
     {KCommandId::MenuMarkSoundClick},
     [](const W& a, I& in) {
       in.SoundThreshold = a[0];
       in.SoundMargin = a.size() > 1 ? a[1] : "10";
     },
     nullptr,
     "mark from the first to the last frame above DBFS, widened by MARGIN_MS (10) within the voice"},
    {"set-mkl", "P", {kInt}, {KCommandId::PaintBoxZIMouseDownLeft}, Position, nullptr, "set MKL at sample position P"},
    {"set-mkr", "P", {kInt}, {KCommandId::PaintBoxZIMouseDownRight}, Position, nullptr, "set MKR at sample position P"},
    {"set-flg",
     "P",
     {kInt},
     {KCommandId::PaintBoxZIMouseDownMiddle},
     Position,
     nullptr,
     "set FLG at sample position P"},
    {"goto head", "", {}, {KCommandId::MenuGotoHEADClick}, nullptr, nullptr, "show the voice from its first frame"},
    {"goto end", "", {}, {KCommandId::MenuGotoENDClick}, nullptr, nullptr, "show the voice around END"},
    {"goto flg", "", {}, {KCommandId::MenuGotoFLGClick}, nullptr, nullptr, "show the voice around FLG"},
    {"goto mkl", "", {}, {KCommandId::MenuGotoMKLClick}, nullptr, nullptr, "show the voice around MKL"},
    {"goto mkr", "", {}, {KCommandId::MenuGotoMKRClick}, nullptr, nullptr, "show the voice around MKR"},
    {"rate",
     "HZ",
     {kInt},
     {KCommandId::ScrollBarSRChange},
     [](const W& a, I& in) { in.ScrollPosition = IntArg(a[0]); },
     nullptr,
     "set the sample rate (rounded down to 25, held in 2100..44100)"},
    {"resample",
     "HZ",
     {kInt},
     {KCommandId::MenuTranslateVoiceSRClick},
     [](const W& a, I& in) { in.ScrollPosition = IntArg(a[0]); },
     nullptr,
     "resample the voice to HZ (rounded down to 25, held in 2100..44100)",
     true},
    {"alias",
     "TEXT",
     {kWord},
     {KCommandId::StatusBarMouseDown},
     Alias,
     nullptr,
     "set the alias (cut to 19 characters)"},
    {"clear-bank", "", {}, {KCommandId::MenuClearBankClick}, nullptr, nullptr, "clear the current bank"},
    {"clear-all", "", {}, {KCommandId::MenuClearAllBankClick}, nullptr, nullptr, "clear banks 1 to 12"},
    {"play-all", "", {}, {KCommandId::MenuPlayAllClick}, nullptr, nullptr, "play the whole voice", true},
    {"play-marked", "", {}, {KCommandId::MenuPlayMarkedClick}, nullptr, nullptr, "play the marked area", true},
    {"play-flg", "", {}, {KCommandId::MenuPlayFLGClick}, nullptr, nullptr, "play from FLG to END", true},
    {"record",
     "CH BITS SECONDS RATE",
     {kCh, kBits, kReal, kInt},
     {KCommandId::MenuRecordClick},
     [](const W& a, I& in) {
       Format(a, in);
       in.Seconds = ReadReal(a[2]);
       in.ScrollPosition = IntArg(a[3]);
     },
     nullptr,
     "record SECONDS seconds at RATE Hz",
     true},
    {"state",
     "",
     {},
     {},
     nullptr,
     [](KCliSession& s, const W&) { return s.PrintState(); },
     "print the current voice's record"},
    {"dump",
     "P",
     {kWord},
     {},
     nullptr,
     [](KCliSession& s, const W& a) { return s.Dump(a[0]); },
     "write the voice's frames 1..END as raw sample bytes to P"},
};

bool ParseInt(const std::string& word, int32_t& value) {
  const char* end = word.data() + word.size();
  auto [at, error] = std::from_chars(word.data(), end, value);
  return !word.empty() && error == std::errc() && at == end;
}

}  // namespace

std::span<const KCliCommand> CliCommands() { return kCommands; }

bool KCliTarget::Runs() const { return Pick || Id != KCommandId::Count; }
KCommandId KCliTarget::For(const KWords& args) const { return Pick ? Pick(args) : Id; }

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
