#include "commands/FileDialogs.h"

#include "voice/PcmFiles.h"

namespace {

struct Row {
  KCommandId Command;
  bool Save;
  const char* Title;
  const char* Format;  // "MXV": the filter, first name and default extension follow from it
};

constexpr Row kRows[] = {
    {KCommandId::MenuLoadMXVClick, false, "Load MXV", "MXV"},
    {KCommandId::MenuLoadWAVClick, false, "Load WAV", "WAV"},
    {KCommandId::MenuLoadVOCClick, false, "Load VOC", "VOC"},
    {KCommandId::MenuLoadCh1Bit8PCMClick, false, "Load Mono 8 bit raw PCM", "PCM"},
    {KCommandId::MenuLoadCh1Bit16PCMClick, false, "Load Mono 16 bit raw PCM", "PCM"},
    {KCommandId::MenuLoadCh2Bit8PCMClick, false, "Load Stereo 8 bit raw PCM", "PCM"},
    {KCommandId::MenuLoadCh2Bit16PCMClick, false, "Load Stereo 16 bit raw PCM", "PCM"},
    {KCommandId::MenuImportSoundClick, false, "Import sound file", ""},
    {KCommandId::MenuSaveMXVClick, true, "Save MXV", "MXV"},
    {KCommandId::MenuSaveWAVClick, true, "Save WAV", "WAV"},
    {KCommandId::MenuSaveVOCClick, true, "Save VOC", "VOC"},
    {KCommandId::MenuSavePCMClick, true, "Save PCM", "PCM"},
};

constexpr const char* kSoundFilter =
    "Sound file (*.wav *.flac *.ogg *.aiff *.aif *.au *.caf *.w64 *.voc *.mxv)| *.wav; *.WAV; *.flac; *.FLAC; *.ogg; "
    "*.OGG; *.aiff; *.AIFF; *.aif; *.AIF; *.au; *.caf; *.w64; *.voc; *.VOC; *.mxv; *.MXV | All file (*.*)| *.*";

std::string Lower(std::string text) {
  for (char& c : text) c = char(c | 0x20);
  return text;
}

// The extension a save proposes: the loaded file's own when it names `format`
// in another case ("a.mxv" stays "a.mxv"), so that the save replaces that
// file rather than making a second one beside it; else "." + format.
std::string SaveExtension(const std::string& fileName, const std::string& format) {
  const size_t dot = fileName.rfind('.');
  const size_t slash = fileName.rfind('/');
  const bool own = dot != std::string::npos && (slash == std::string::npos || dot > slash) &&
                   Lower(fileName.substr(dot + 1)) == Lower(format);
  return own ? fileName.substr(dot) : "." + format;
}

}  // namespace

std::optional<KFileDialogSetup> FileDialogFor(KCommandId command, const KPcmFiles& voice) {
  for (const Row& row : kRows) {
    if (row.Command != command) continue;
    const std::string format = row.Format;
    KFileDialogSetup setup;
    setup.Save = row.Save;
    setup.Title = row.Title;
    setup.Filter = format + " file (*." + format + ")| *." + format + "; *." + Lower(format) + " | All file (*.*)| *.*";
    // Any sound file libsndfile reads: the common kinds first, then all.
    if (format.empty()) setup.Filter = kSoundFilter;
    setup.FileName = row.Save         ? voice.MakeSaveFileName(SaveExtension(voice.FileName, format))
                     : format.empty() ? ""
                                      : "*." + format;
    setup.DefaultSuffix = row.Save ? format : "";
    return setup;
  }
  return std::nullopt;
}
