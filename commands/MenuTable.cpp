#include "commands/MenuTable.h"

#include <string_view>

namespace {

using A = KWindowAction;
using Id = KCommandId;
using S = KColourSlot;
using G = KCheckGroup;

constexpr KMenuItem Menu(const char* name, const char* caption) { return {0, name, caption}; }
constexpr KMenuItem Sub(int depth, const char* name, const char* caption) { return {depth, name, caption}; }
constexpr KMenuItem Line(int depth = 1) { return {depth, nullptr, "-"}; }
constexpr KMenuItem Item(const char* name, const char* caption, Id command, int depth = 1) {
  return {depth, name, caption, A::Command, command};
}
constexpr KMenuItem Bank(const char* name, const char* caption, Id command, const char* key) {
  return {1, name, caption, A::Command, command, S::ZI_BackGnd, key};
}
constexpr KMenuItem Check(const char* name, const char* caption, Id command, G group, int depth = 1) {
  return {depth, name, caption, A::Command, command, S::ZI_BackGnd, nullptr, group};
}
constexpr KMenuItem Colour(const char* name, const char* caption, S slot) {
  return {3, name, caption, A::Colour, Id::Count, slot};
}

// The nine colour items of one box, in menu order.
#define K_COLOUR_ITEMS(Name, Box)                                                                               \
  Colour("Menu" #Name "ColorWaveformBackground", "Background of waveform box", S::Box##_BackGnd),               \
      Colour("Menu" #Name "ColorWaveformBorder", "Border of waveform box", S::Box##_Border), Line(3),           \
      Colour("Menu" #Name "ColorScaleLine", "Scale grid line", S::Box##_ScaleGrid), Line(3),                    \
      Colour("Menu" #Name "ColorCh1MarkedWaveform", "Marked waveform of channel 1", S::Box##_LMarked),          \
      Colour("Menu" #Name "ColorCh2MarkedWaveform", "Marked waveform of channel 2", S::Box##_RMarked),          \
      Colour("Menu" #Name "ColorCh1UnmarkWaveform", "Unmark waveform of channel 1", S::Box##_LUnmark),          \
      Colour("Menu" #Name "ColorCh2UnmarkWaveform", "Unmark waveform of channel 2", S::Box##_RUnmark), Line(3), \
      Colour("Menu" #Name "ColorMuteLine", "Mute line", S::Box##_MuteLine), Line(3),                            \
      Colour("Menu" #Name "ColorReadoutCursor", "Readout cursor", S::Box##_RCursor)

const KMenuItem kItems[] = {
    Menu("FileMenu", "&File"),
    Item("MenuLoadMXV", "Load MXV file", Id::MenuLoadMXVClick),
    Line(),
    Item("MenuLoadWAV", "Load WAV file", Id::MenuLoadWAVClick),
    Line(),
    Item("MenuLoadVOC", "Load VOC file", Id::MenuLoadVOCClick),
    Line(),
    Item("MenuLoadCh1Bit8PCM", "Load raw PCM file (Ch 1 : Bit 8)", Id::MenuLoadCh1Bit8PCMClick),
    Item("MenuLoadCh1Bit16PCM", "Load raw PCM file (Ch 1 : Bit 16)", Id::MenuLoadCh1Bit16PCMClick),
    Item("MenuLoadCh2Bit8PCM", "Load raw PCM file (Ch 2 : Bit 8)", Id::MenuLoadCh2Bit8PCMClick),
    Item("MenuLoadCh2Bit16PCM", "Load raw PCM file (Ch 2 : Bit 16)", Id::MenuLoadCh2Bit16PCMClick),
    Item("MenuImportSound", "Import sound file ...", Id::MenuImportSoundClick),
    Line(),
    Item("MenuSaveFile", "Save", Id::MenuSaveFileClick),
    Sub(1, "MenuSaveAs", "Save as ..."),
    Item("MenuSaveMXV", "Save as MXV format", Id::MenuSaveMXVClick, 2),
    Item("MenuSaveWAV", "Save as WAV format", Id::MenuSaveWAVClick, 2),
    Item("MenuSaveVOC", "Save as VOC format", Id::MenuSaveVOCClick, 2),
    Item("MenuSavePCM", "Save as raw PCM format", Id::MenuSavePCMClick, 2),
    Line(),
    {1, "MenuExit", "Exit", A::Exit},

    Menu("EditMenu", "&Edit"),
    Item("MenuUndo", "Undo", Id::MenuUndoClick),
    Line(),
    Item("MenuCopy", "Copy marked area", Id::MenuCopyClick),
    Item("MenuPasteByInsert", "Paste by insert mode (from FLG position)", Id::MenuPasteByInsertClick),
    Item("MenuPasteByCover", "Paste by cover mode (from FLG postion)", Id::MenuPasteByCoverClick),
    Item("MenuPasteByMix", "Paste by mix mode (from FLG position)", Id::MenuPasteByMixClick),
    Line(),
    Item("MenuCutMarked", "Cut marked area", Id::MenuCutMarkedClick),
    Item("MenuCutUnmark", "Cut unmark area", Id::MenuCutUnmarkClick),
    Line(),
    Item("MenuMuteMarked", "Fill mute (silence) in marked area", Id::MenuMuteMarkedClick),
    Item("MenuMuteUnmark", "Fill mute (silence) in unmark area", Id::MenuMuteUnmarkClick),
    Line(),
    Item("MenuFadeIn", "Fade in (marked area)", Id::MenuFadeInClick),
    Item("MenuFadeOut", "Fade out (marked area)", Id::MenuFadeOutClick),
    Line(),
    Item("MenuSetEND", "Set voice END at FLG position", Id::MenuSetENDClick),

    Menu("MarkMenu", "&Mark"),
    Item("MenuMarkAll", "Mark all", Id::MenuMarkAllClick),
    Line(),
    Item("MenuResetMKL", "Reset MKL (marked-left)", Id::MenuResetMKLClick),
    Item("MenuResetMKR", "Reset MKR (marked-right)", Id::MenuResetMKRClick),
    Item("MenuResetFLG", "Reset FLG (flag)", Id::MenuResetFLGClick),
    Line(),
    Item("MenuAutoMark", "Auto mark from FLG position", Id::MenuAutoMarkClick),
    Item("MenuMarkSound", "Mark sound", Id::MenuMarkSoundClick),

    Menu("BankMenu", "&Bank"),
    Item("MenuClearBank", "Clear current Bank", Id::MenuClearBankClick),
    Line(),
    Item("MenuClearAllBank", "Clear all Bank", Id::MenuClearAllBankClick),
    Line(),
    Bank("MenuBank1", "Bank 1", Id::MenuBank1Click, "F1"),
    Bank("MenuBank2", "Bank 2", Id::MenuBank2Click, "F2"),
    Bank("MenuBank3", "Bank 3", Id::MenuBank3Click, "F3"),
    Bank("MenuBank4", "Bank 4", Id::MenuBank4Click, "F4"),
    Bank("MenuBank5", "Bank 5", Id::MenuBank5Click, "F5"),
    Bank("MenuBank6", "Bank 6", Id::MenuBank6Click, "F6"),
    Bank("MenuBank7", "Bank 7", Id::MenuBank7Click, "F7"),
    Bank("MenuBank8", "Bank 8", Id::MenuBank8Click, "F8"),
    Bank("MenuBank9", "Bank 9", Id::MenuBank9Click, "F9"),
    Bank("MenuBank10", "Bank 10", Id::MenuBank10Click, "F10"),
    Bank("MenuBank11", "Bank 11", Id::MenuBank11Click, "F11"),
    Bank("MenuBank12", "Bank 12", Id::MenuBank12Click, "F12"),

    Menu("PlayMenu", "&Play"),
    Item("MenuPlayAll", "Play entire area", Id::MenuPlayAllClick),
    Item("MenuPlayMarked", "Play marked area", Id::MenuPlayMarkedClick),
    Item("MenuPlayFLG", "Play from FLG position", Id::MenuPlayFLGClick),

    Menu("RecordMenu", "&Record"),
    Item("MenuRecord", "Record from Line-In or MIC", Id::MenuRecordClick),

    Menu("ToolMenu", "&Tool"),
    Item("MenuInsertMute", "Insert mute (start from FLG position)", Id::MenuInsertMuteClick),
    Line(),
    Item("MenuMathAmp", "Mathematical amplifier (only marked area)", Id::MenuMathAmpClick),
    Item("MenuNormalize", "Normalize (only marked area)", Id::MenuNormalizeClick),
    Line(),
    Item("MenuMixer", "Mixer (entire area)", Id::MenuMixerClick),
    Item("MenuEcho", "Echo (entire area)", Id::MenuEchoClick),
    Line(),
    Item("MenuSpiltChannel", "Split channel", Id::MenuSpiltChannelClick),
    Item("MenuMergeChannel", "Merge channel", Id::MenuMergeChannelClick),
    Line(),
    Item("MenuTranslateVoiceFormat", "Translate the format of voice", Id::MenuTranslateVoiceFormatClick),
    Item("MenuTranslateVoiceSR", "Translate the Sample-Rate of voice", Id::MenuTranslateVoiceSRClick),

    Menu("OptionMenu", "&Option"),
    Sub(1, "MenuOptionColor", "Color"),
    Sub(2, "MenuOptionZiColor", "Zoom-In Waveform box"),
    K_COLOUR_ITEMS(Zi, ZI),
    Sub(2, "MenuOptionZoColor", "Zoom-Out Waveform box"),
    K_COLOUR_ITEMS(Zo, ZO),
    Line(2),
    {2, "MenuResetAllColor", "Reset all color", A::ResetColours},
    Sub(1, "MenuOptionScaleText", "Scale text"),
    Check("MenuHexScaleText", "Show by HEX. format", Id::MenuHexScaleTextClick, G::ScaleText, 2),
    Check("MenuDecScaleText", "Show by DEC. format", Id::MenuDecScaleTextClick, G::ScaleText, 2),
    Sub(1, "MenuOptionLocationIndicator", "Location indicator"),
    Check("MenuHexLocationIndicator", "Show by HEX. format", Id::MenuHexLocationIndicatorClick, G::LocationIndicator,
          2),
    Check("MenuSecLocationIndicator", "Show by SEC. format", Id::MenuSecLocationIndicatorClick, G::LocationIndicator,
          2),

    Menu("ViewMenu", "&View"),
    Item("MenuGotoHEAD", "Goto HEAD", Id::MenuGotoHEADClick),
    Item("MenuGotoEND", "Goto END", Id::MenuGotoENDClick),
    Item("MenuGotoFLG", "Goto FLG", Id::MenuGotoFLGClick),
    Item("MenuGotoMKL", "Goto MKL", Id::MenuGotoMKLClick),
    Item("MenuGotoMKR", "Goto MKR", Id::MenuGotoMKRClick),
    Line(),
    Check("MenuCurveWaveform", "Show waveform by curve style", Id::MenuCurveWaveformClick, G::DrawingMode),
    Check("MenuRectangleWaveform", "Show waveform by rectangle style", Id::MenuRectangleWaveformClick, G::DrawingMode),
    Line(),
    Item("MenuWaveResolutionB", "Waveform-Resolution ++", Id::MenuWaveResolutionBClick),
    Item("MenuWaveResolutionA", "Waveform-Resolution --", Id::MenuWaveResolutionAClick),
};

#undef K_COLOUR_ITEMS

}  // namespace

std::span<const KMenuItem> MenuItems() { return kItems; }

bool MenuItemChecked(const KMenuItem& item, const KDisplayOptions& options) {
  switch (item.Group) {
    case G::ScaleText:
      return (item.Command == Id::MenuHexScaleTextClick) == (options.ZiScaleHex != 0);
    case G::LocationIndicator:
      return (item.Command == Id::MenuHexLocationIndicatorClick) == (options.LocationHex != 0);
    case G::DrawingMode:
      return (item.Command == Id::MenuRectangleWaveformClick) == (options.WaveformMode != 0);
    case G::None:
      break;
  }
  return false;
}
