#include "sound/SoundLoad.h"

#include <algorithm>
#include <cctype>
#include <cmath>
#include <cstdio>
#include <vector>

#include "formats/VocFormat.h"
#include "formats/WavFormat.h"
#include "platform/BlockCopy.h"
#include "resources/StringTable.h"

namespace {

bool Say(KPcmFiles& voice, const std::string& text) {
  voice.ShowMessageText(text);
  return false;
}

}  // namespace

const KFileFormat* FormatOf(const std::string& path) {
  size_t slash = path.rfind('/');
  size_t dot = path.rfind('.');
  if (dot == std::string::npos || (slash != std::string::npos && dot < slash)) return nullptr;
  std::string extension = path.substr(dot + 1);
  for (char& c : extension) c = char(std::tolower(static_cast<unsigned char>(c)));
  return FileFormatByExtension(extension == "raw" ? "pcm" : extension);
}

const KFileFormat* OwnLoader(const std::string& path) {
  const KFileFormat* format = FormatOf(path);
  if (!format || (format->Type != KFileType::Wav && format->Type != KFileType::Voc)) return format;
  KPlainFile file(path, KPlainFile::Mode::Read);
  KVoiceLayout layout;
  const bool wav = format->Type == KFileType::Wav;
  return (wav ? KWavFormat::Check(file, path, layout) : KVocFormat::Check(file, path, layout)) ? format : nullptr;
}

std::string DescribeSound(KSoundFile& sound) {
  const KSoundShape& shape = sound.Shape();
  char text[160];
  std::snprintf(text, sizeof text, "%d Hz %s %d channel%s, %.3f s", shape.Rate, shape.Depth.c_str(), shape.Channels,
                shape.Channels == 1 ? "" : "s", shape.Rate > 0 ? double(shape.Frames) / shape.Rate : 0.0);
  std::vector<KChannelStats> stats;
  if (!MeasureSound(sound, stats)) return std::string(text) + ", cut short";
  double peak = 0;
  for (const KChannelStats& channel : stats) peak = std::max(peak, channel.Peak);
  char level[48] = ", silent";
  if (peak > 0) std::snprintf(level, sizeof level, ", peak %.1f dBFS", 20 * std::log10(peak));
  return std::string(text) + level;
}

bool MeasureForLoad(KPcmFiles& voice, const std::string& path, KSoundFile& source, KConversion& plan) {
  const KStatus measured = MeasureConversion(source, plan);
  if (measured) return true;
  return Say(voice, measured.Code == KBlockCopy::kReadFailed ? source.Problem(path) : path + ": " + measured.Message);
}

bool LoadConverted(KPcmFiles& voice, const std::string& path, KSoundFile* source, const KConversion& plan,
                   KFileType type, const std::string& alias) {
  const int64_t bytes = plan.Bytes();
  if (!voice.FitsStore(bytes, "the load")) return false;
  KVoiceLayout layout;
  layout.Channels = plan.Target.Channels;
  layout.BitsPerSample = plan.Target.BitsPerSample;
  layout.SampleRate = plan.Target.SampleRate;
  layout.DataBytes = int32_t(bytes);
  layout.Alias = alias;
  return voice.LoadSamples(path, "Convert sound file", type, layout, [&](KPlainFile& samples, KProgress& progress) {
    if (!source) return KStatus::Success();
    const KStatus converted = ConvertSound(*source, plan, samples, progress);
    if (converted) return converted;
    // A decoder that stopped early is the file's fault, said before anything about the store.
    if (converted.Code == KBlockCopy::kReadFailed) return KStatus::Failure(source->Problem(path), converted.Code);
    if (converted.Code == KBlockCopy::kStopped) return converted;
    return KStatus::Failure(msg::SwapFolder(voice.Services.SwapFolder, converted.Message));
  });
}

bool ImportSound(KPcmFiles& voice, const std::string& path, const KConvertRequest& request) {
  KSoundFile source(path);
  if (!source.IsOpen()) return Say(voice, source.Problem(path));
  KConversion plan = PlanConversion(source.Shape(), request);
  if (!plan.Refused.empty()) return Say(voice, path + ": " + plan.Refused);
  const KFileFormat* format = FormatOf(path);
  const bool voiceFormat = format && !format->Raw();
  const size_t slash = path.rfind('/'), dot = path.rfind('.');
  const bool extension = dot != std::string::npos && (slash == std::string::npos || dot > slash);
  const std::string name = voiceFormat ? path : path.substr(0, extension ? dot : path.size()) + ".mxv";
  return MeasureForLoad(voice, path, source, plan) && voice.PrepareLoad(name) &&
         LoadConverted(voice, name, &source, plan, voiceFormat ? format->Type : KFileType::Mxv, "");
}
