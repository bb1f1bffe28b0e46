#include "commands/WindowCommands.h"

#include <algorithm>
#include <cstdint>
#include <iterator>

#include "commands/PromptChecks.h"
#include "commands/TextReading.h"
#include "sound/SoundLoad.h"
#include "sound/VoiceResample.h"

namespace {

using C = KCommandContext;
using I = KCommandInput;
using G = KGathers;
constexpr KBeep kNever = KBeep::Never;
constexpr KBeep kOnSuccess = KBeep::OnSuccess;
constexpr KBeep kAlways = KBeep::Always;

template <int Channels, int Bits>
bool LoadRaw(C& c, const I& in) {
  return c.Voice().LoadRawPcmFile(in.Path, Channels, Bits);
}

template <int Bank>
bool SelectBank(C& c, const I&) {
  c.Banks.SelectBank(Bank);
  return true;
}

bool Record(C& c, const I& in) {
  KPcmFiles& voice = c.Voice();
  int32_t rate = RateFromScrollPosition(in.ScrollPosition);
  int32_t frames = SecondsToFrames(in.Seconds, rate);
  if (!voice.FitsStore(int64_t(frames) * in.Channels * (in.Bits / 8), "the recording")) return false;
  return voice.RecordVoice(in.Channels, in.Bits, frames, rate);
}

// Waveform mode and resolution: only the zoom-in box changes.
bool SetZoomIn(C& c, int32_t KDisplayOptions::*option, int32_t value) {
  c.Options.*option = value;
  c.Host.RedrawZoomIn();
  return true;
}

// The id and the handler name of a row, written once.
#define K_COMMAND(name) KCommandId::name, #name

constexpr KWindowCommand kCommands[] = {
    // File menu
    {K_COMMAND(MenuLoadMXVClick), "Load MXV file", G::OpenFile, true, kNever, nullptr,
     [](C& c, const I& in) { return c.Voice().LoadMxvFile(in.Path); }},
    {K_COMMAND(MenuLoadWAVClick), "Load WAV file", G::OpenFile, true, kNever, nullptr,
     [](C& c, const I& in) { return c.Voice().LoadWavFile(in.Path); }},
    {K_COMMAND(MenuLoadVOCClick), "Load VOC file", G::OpenFile, true, kNever, nullptr,
     [](C& c, const I& in) { return c.Voice().LoadVocFile(in.Path); }},
    {K_COMMAND(MenuLoadCh1Bit8PCMClick), "Load raw PCM file (Ch 1 : Bit 8)", G::OpenFile, true, kNever, nullptr, LoadRaw<1, 8>},
    {K_COMMAND(MenuLoadCh1Bit16PCMClick), "Load raw PCM file (Ch 1 : Bit 16)", G::OpenFile, true, kNever, nullptr, LoadRaw<1, 16>},
    {K_COMMAND(MenuLoadCh2Bit8PCMClick), "Load raw PCM file (Ch 2 : Bit 8)", G::OpenFile, true, kNever, nullptr, LoadRaw<2, 8>},
    {K_COMMAND(MenuLoadCh2Bit16PCMClick), "Load raw PCM file (Ch 2 : Bit 16)", G::OpenFile, true, kNever, nullptr, LoadRaw<2, 16>},
    {K_COMMAND(MenuImportSoundClick), "Import sound file ...", G::ImportDialog, true, kNever, nullptr,
     [](C& c, const I& in) { return ImportSound(c.Voice(), in.Path, in.Import); }},
    {K_COMMAND(MenuSaveFileClick), "Save", G::Nothing, true, kNever, nullptr,
     [](C& c, const I&) { return c.Voice().SaveToOwnFile(); }},
    {K_COMMAND(MenuSaveMXVClick), "Save as MXV format", G::SaveFile, true, kNever, nullptr,
     [](C& c, const I& in) { return c.Voice().SaveMxvFile(in.Path); }},
    {K_COMMAND(MenuSaveWAVClick), "Save as WAV format", G::SaveFile, true, kNever, nullptr,
     [](C& c, const I& in) { return c.Voice().SaveWavFile(in.Path); }},
    {K_COMMAND(MenuSaveVOCClick), "Save as VOC format", G::SaveFile, true, kNever, nullptr,
     [](C& c, const I& in) { return c.Voice().SaveVocFile(in.Path); }},
    {K_COMMAND(MenuSavePCMClick), "Save as raw PCM format", G::SaveFile, true, kNever, nullptr,
     [](C& c, const I& in) { return c.Voice().SaveRawPcmFile(in.Path); }},
    // Edit menu
    {K_COMMAND(MenuUndoClick), "Undo", G::Nothing, true, kOnSuccess, nullptr,
     [](C& c, const I&) { return c.Voice().LoadUndo() && c.Voice().Refresh(); }},
    {K_COMMAND(MenuCopyClick), "Copy marked area", G::Nothing, true, kOnSuccess, nullptr,
     [](C& c, const I&) { return c.Voice().CopyMarked(); }},
    {K_COMMAND(MenuPasteByInsertClick), "Paste by insert mode (from FLG position)", G::Nothing, true, kOnSuccess, nullptr,
     [](C& c, const I&) { return c.Voice().PasteByInsert(); }},
    {K_COMMAND(MenuPasteByCoverClick), "Paste by cover mode (from FLG postion)", G::Nothing, true, kOnSuccess, nullptr,
     [](C& c, const I&) { return c.Voice().PasteByCover(); }},
    {K_COMMAND(MenuPasteByMixClick), "Paste by mix mode (from FLG position)", G::Nothing, true, kOnSuccess, nullptr,
     [](C& c, const I&) { return c.Voice().PasteByMix(); }},
    {K_COMMAND(MenuCutMarkedClick), "Cut marked area", G::Nothing, true, kOnSuccess, nullptr,
     [](C& c, const I&) { return c.Voice().CutMarked(); }},
    {K_COMMAND(MenuCutUnmarkClick), "Cut unmark area", G::Nothing, true, kOnSuccess, nullptr,
     [](C& c, const I&) { return c.Voice().CutUnmark(); }},
    {K_COMMAND(MenuMuteMarkedClick), "Fill mute (silence) in marked area", G::Nothing, true, kOnSuccess, nullptr,
     [](C& c, const I&) { return c.Voice().MuteMarked(); }},
    {K_COMMAND(MenuMuteUnmarkClick), "Fill mute (silence) in unmark area", G::Nothing, true, kOnSuccess, nullptr,
     [](C& c, const I&) { return c.Voice().MuteUnmark(); }},
    {K_COMMAND(MenuFadeInClick), "Fade in (marked area)", G::Nothing, true, kOnSuccess, nullptr,
     [](C& c, const I&) { return c.Voice().FadeIn(); }},
    {K_COMMAND(MenuFadeOutClick), "Fade out (marked area)", G::Nothing, true, kOnSuccess, nullptr,
     [](C& c, const I&) { return c.Voice().FadeOut(); }},
    {K_COMMAND(MenuSetENDClick), "Set voice END at FLG position", G::Nothing, true, kOnSuccess, nullptr,
     [](C& c, const I&) { return c.Voice().SetEndAtFlg(); }},
    // Mark menu
    {K_COMMAND(MenuMarkAllClick), "Mark all", G::Nothing, false, kNever, nullptr,
     [](C& c, const I&) { return c.Voice().MarkAll(), true; }},
    {K_COMMAND(MenuResetMKLClick), "Reset MKL (marked-left)", G::Nothing, false, kNever, nullptr,
     [](C& c, const I&) { return c.Voice().ResetMKL(), true; }},
    {K_COMMAND(MenuResetMKRClick), "Reset MKR (marked-right)", G::Nothing, false, kNever, nullptr,
     [](C& c, const I&) { return c.Voice().ResetMKR(), true; }},
    {K_COMMAND(MenuResetFLGClick), "Reset FLG (flag)", G::Nothing, false, kNever, nullptr,
     [](C& c, const I&) { return c.Voice().ResetFLG(), true; }},
    {K_COMMAND(MenuAutoMarkClick), "Auto mark from FLG position", G::LengthPrompt, false, kOnSuccess, nullptr,
     [](C& c, const I& in) { return c.Voice().AutoMark(in.Frames); }},
    {K_COMMAND(MenuMarkSoundClick), "Mark sound", G::MarkSoundPrompt, true, kOnSuccess, CheckMarkSound,
     [](C& c, const I& in) { return c.Voice().MarkSound(ReadReal(in.SoundThreshold), ReadReal(in.SoundMargin)); }},
    // Bank menu
    {K_COMMAND(MenuClearBankClick), "Clear current Bank", G::Nothing, false, kOnSuccess, nullptr,
     [](C& c, const I&) { return c.Banks.ClearCurrentBank(); }},
    {K_COMMAND(MenuClearAllBankClick), "Clear all Bank", G::Nothing, false, kAlways, nullptr,
     [](C& c, const I&) { return c.Banks.ClearAllBanks(), true; }},
    {K_COMMAND(MenuBank1Click), "Bank 1", G::Nothing, false, kNever, nullptr, SelectBank<1>},
    {K_COMMAND(MenuBank2Click), "Bank 2", G::Nothing, false, kNever, nullptr, SelectBank<2>},
    {K_COMMAND(MenuBank3Click), "Bank 3", G::Nothing, false, kNever, nullptr, SelectBank<3>},
    {K_COMMAND(MenuBank4Click), "Bank 4", G::Nothing, false, kNever, nullptr, SelectBank<4>},
    {K_COMMAND(MenuBank5Click), "Bank 5", G::Nothing, false, kNever, nullptr, SelectBank<5>},
    {K_COMMAND(MenuBank6Click), "Bank 6", G::Nothing, false, kNever, nullptr, SelectBank<6>},
    {K_COMMAND(MenuBank7Click), "Bank 7", G::Nothing, false, kNever, nullptr, SelectBank<7>},
    {K_COMMAND(MenuBank8Click), "Bank 8", G::Nothing, false, kNever, nullptr, SelectBank<8>},
    {K_COMMAND(MenuBank9Click), "Bank 9", G::Nothing, false, kNever, nullptr, SelectBank<9>},
    {K_COMMAND(MenuBank10Click), "Bank 10", G::Nothing, false, kNever, nullptr, SelectBank<10>},
    {K_COMMAND(MenuBank11Click), "Bank 11", G::Nothing, false, kNever, nullptr, SelectBank<11>},
    {K_COMMAND(MenuBank12Click), "Bank 12", G::Nothing, false, kNever, nullptr, SelectBank<12>},
    // Play and Record menus
    {K_COMMAND(MenuPlayAllClick), "Play entire area", G::Nothing, false, kNever, nullptr,
     [](C& c, const I&) { return c.Voice().PlayRange(1, c.Voice().END); }},
    {K_COMMAND(MenuPlayMarkedClick), "Play marked area", G::Nothing, false, kNever, nullptr,
     [](C& c, const I&) { return c.Voice().PlayRange(c.Voice().MKL, c.Voice().MKR); }},
    {K_COMMAND(MenuPlayFLGClick), "Play from FLG position", G::Nothing, false, kNever, nullptr,
     [](C& c, const I&) { return c.Voice().PlayRange(c.Voice().FLG, c.Voice().END); }},
    {K_COMMAND(MenuRecordClick), "Record from Line-In or MIC", G::RecordDialog, false, kNever, nullptr, Record},
    // Tool menu
    {K_COMMAND(MenuInsertMuteClick), "Insert mute (start from FLG position)", G::LengthPrompt, true, kOnSuccess, nullptr,
     [](C& c, const I& in) { return c.Voice().InsertMute(in.Frames); }},
    {K_COMMAND(MenuMathAmpClick), "Mathematical amplifier (only marked area)", G::AmplifierPrompt, true, kOnSuccess,
     CheckAmplifier, [](C& c, const I& in) { return c.Voice().MathAmplifier(ReadReal(in.AmplifierPercent)); }},
    {K_COMMAND(MenuNormalizeClick), "Normalize (only marked area)", G::NormalizePrompt, true, kOnSuccess, CheckNormalize,
     [](C& c, const I& in) { return c.Voice().Normalize(ReadReal(in.NormalizeLevel)); }},
    {K_COMMAND(MenuMixerClick), "Mixer (entire area)", G::MixerDialog, true, kOnSuccess, nullptr,
     [](C& c, const I& in) { return c.Voice().MixBanks(in.Banks); }},
    {K_COMMAND(MenuEchoClick), "Echo (entire area)", G::EchoPrompt, true, kOnSuccess, CheckEcho,
     [](C& c, const I& in) { return c.Voice().Echo(ReadReal(in.EchoDelay), ReadReal(in.EchoAttenuation)); }},
    {K_COMMAND(MenuSpiltChannelClick), "Split channel", G::SplitDialog, true, kOnSuccess, CheckSplit,
     [](C& c, const I& in) { return c.Voice().SplitChannels(in.Banks[0], in.Banks[1]); }},
    {K_COMMAND(MenuMergeChannelClick), "Merge channel", G::MergeDialog, true, kOnSuccess, nullptr,
     [](C& c, const I& in) { return c.Voice().MergeChannels(in.Banks[0], in.Banks[1]); }},
    {K_COMMAND(MenuTranslateVoiceFormatClick), "Translate the format of voice", G::FormatDialog, true, kAlways, nullptr,
     [](C& c, const I& in) { return c.Voice().TranslateFormat(in.Channels, in.Bits); }},
    {K_COMMAND(MenuTranslateVoiceSRClick), "Translate the Sample-Rate of voice", G::RatePrompt, true, kOnSuccess, nullptr,
     [](C& c, const I& in) { return ResampleVoice(c.Voice(), RateFromScrollPosition(in.ScrollPosition)); }},
    // Option menu
    {K_COMMAND(MenuHexScaleTextClick), "Show by HEX. format", G::Nothing, false, kNever, nullptr,
     [](C& c, const I&) {
       c.Options.ZiScaleHex = c.Options.ZoScaleHex = 1;
       return c.Voice().Refresh();
     }},
    {K_COMMAND(MenuDecScaleTextClick), "Show by DEC. format", G::Nothing, false, kNever, nullptr,
     [](C& c, const I&) {
       c.Options.ZiScaleHex = c.Options.ZoScaleHex = 0;
       return c.Voice().Refresh();
     }},
    {K_COMMAND(MenuHexLocationIndicatorClick), "Show by HEX. format", G::Nothing, false, kNever, nullptr,
     [](C& c, const I&) {
       c.Options.LocationHex = 1;
       return c.Voice().Refresh();
     }},
    {K_COMMAND(MenuSecLocationIndicatorClick), "Show by SEC. format", G::Nothing, false, kNever, nullptr,
     [](C& c, const I&) {
       c.Options.LocationHex = 0;
       return c.Voice().Refresh();
     }},
    // View menu, readout buttons and the buttons beside them
    {K_COMMAND(MenuGotoHEADClick), "Goto HEAD", G::Nothing, false, kNever, nullptr,
     [](C& c, const I&) { return c.Voice().GotoHead(), true; }},
    {K_COMMAND(MenuGotoENDClick), "Goto END", G::Nothing, false, kNever, nullptr,
     [](C& c, const I&) { return c.Voice().GotoEnd(), true; }},
    {K_COMMAND(MenuGotoFLGClick), "Goto FLG", G::Nothing, false, kNever, nullptr,
     [](C& c, const I&) { return c.Voice().GotoFlg(), true; }},
    {K_COMMAND(MenuGotoMKLClick), "Goto MKL", G::Nothing, false, kNever, nullptr,
     [](C& c, const I&) { return c.Voice().GotoMkl(), true; }},
    {K_COMMAND(MenuGotoMKRClick), "Goto MKR", G::Nothing, false, kNever, nullptr,
     [](C& c, const I&) { return c.Voice().GotoMkr(), true; }},
    {K_COMMAND(MenuCurveWaveformClick), "Show waveform by curve style", G::Nothing, false, kNever, nullptr,
     [](C& c, const I&) { return SetZoomIn(c, &KDisplayOptions::WaveformMode, 0); }},
    {K_COMMAND(MenuRectangleWaveformClick), "Show waveform by rectangle style", G::Nothing, false, kNever, nullptr,
     [](C& c, const I&) { return SetZoomIn(c, &KDisplayOptions::WaveformMode, 1); }},
    {K_COMMAND(BitBtnWaveformModeClick), "Mode", G::Nothing, false, kNever, nullptr,
     [](C& c, const I&) { return SetZoomIn(c, &KDisplayOptions::WaveformMode, 1 - c.Options.WaveformMode); }},
    {K_COMMAND(MenuWaveResolutionBClick), "Waveform-Resolution ++", G::Nothing, false, kNever, nullptr,
     [](C& c, const I&) { return SetZoomIn(c, &KDisplayOptions::ZiResolution, std::max(c.Options.ZiResolution - 2, 2)); }},
    {K_COMMAND(MenuWaveResolutionAClick), "Waveform-Resolution --", G::Nothing, false, kNever, nullptr,
     [](C& c, const I&) { return SetZoomIn(c, &KDisplayOptions::ZiResolution, std::min(c.Options.ZiResolution + 2, 8)); }},
    {K_COMMAND(BitBtnWaveformResolutionClick), "Res", G::Nothing, false, kNever, nullptr,
     [](C& c, const I&) {
       int32_t next = c.Options.ZiResolution + 2;
       return SetZoomIn(c, &KDisplayOptions::ZiResolution, next > 8 ? 2 : next);
     }},
    // Controls: the rate scroll bar, the alias panel and the zoom-in box.
    // The window rewrites the rate readout and the status bar afterwards.
    {K_COMMAND(ScrollBarSRChange), "Sample Rate adjuster", G::ScrollBar, false, kNever, nullptr,
     [](C& c, const I& in) { return c.Voice().SampleRate = RateFromScrollPosition(in.ScrollPosition), true; }},
    {K_COMMAND(StatusBarMouseDown), "Alias = ", G::AliasPrompt, false, kNever, nullptr,
     [](C& c, const I& in) { return c.Voice().SetAlias(in.Alias), true; }},
    {K_COMMAND(PaintBoxZIMouseDownLeft), "Set MKL at the pointer", G::ZoomInClick, false, kNever, nullptr,
     [](C& c, const I& in) { return c.Voice().SetMklAt(in.SamplePosition), true; }},
    {K_COMMAND(PaintBoxZIMouseDownRight), "Set MKR at the pointer", G::ZoomInClick, false, kNever, nullptr,
     [](C& c, const I& in) { return c.Voice().SetMkrAt(in.SamplePosition), true; }},
    {K_COMMAND(PaintBoxZIMouseDownMiddle), "Set FLG at the pointer", G::ZoomInClick, false, kNever, nullptr,
     [](C& c, const I& in) { return c.Voice().SetFlgAt(in.SamplePosition), true; }},
};

#undef K_COMMAND

// Row k holds the command of id k, so that ids index the table.
constexpr bool RowsInIdOrder() {
  for (size_t k = 0; k < std::size(kCommands); ++k)
    if (kCommands[k].Id != KCommandId(k)) return false;
  return std::size(kCommands) == size_t(KCommandId::Count);
}
static_assert(RowsInIdOrder(), "the command map's rows must follow KCommandId");

}  // namespace

std::span<const KWindowCommand> WindowCommands() { return kCommands; }

const KWindowCommand& WindowCommand(KCommandId id) { return kCommands[size_t(id)]; }

KCommandId BankCommandId(int bank) {
  constexpr KCommandId kBanks[] = {
      KCommandId::MenuBank1Click,  KCommandId::MenuBank2Click,  KCommandId::MenuBank3Click,
      KCommandId::MenuBank4Click,  KCommandId::MenuBank5Click,  KCommandId::MenuBank6Click,
      KCommandId::MenuBank7Click,  KCommandId::MenuBank8Click,  KCommandId::MenuBank9Click,
      KCommandId::MenuBank10Click, KCommandId::MenuBank11Click, KCommandId::MenuBank12Click};
  return kBanks[bank - 1];
}

const KWindowCommand* FindWindowCommand(std::string_view handler) {
  for (const KWindowCommand& command : kCommands)
    if (handler == command.Handler) return &command;
  return nullptr;
}

bool RunWindowCommand(KCommandContext& context, const KWindowCommand& command, const KCommandInput& input) {
  if (!context.Banks.CurrentVoice) return false;
  if (command.Check && !command.Check(context, input)) return false;
  if (command.Bracket) {
    context.Host.RepaintNow();
    context.Host.ShowProgress();
  }
  bool ok = command.Run(context, input);
  if (command.Beep == KBeep::Always || (command.Beep == KBeep::OnSuccess && ok)) context.Host.Beep();
  if (command.Bracket) context.Host.HideProgress();
  context.Banks.JournalChanges();
  return ok;
}
