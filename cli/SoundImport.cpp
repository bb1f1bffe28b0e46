#include "cli/SoundImport.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cctype>
#include <cerrno>
#include <cstring>
#include <iostream>

#include "cli/Session.h"
#include "formats/VocFormat.h"
#include "formats/WavFormat.h"
#include "platform/BlockCopy.h"
#include "voice/PcmFiles.h"

namespace {

bool Say(KCliSession& session, const std::string& text) {
  session.Voice().ShowMessageText(text);
  return false;
}

// Gives the voice `source`'s frames converted by `plan` (no source: none) as
// a load of `path` would, bound to the type of `output`.
bool LoadConverted(KCliSession& session, const std::string& path, KSoundFile* source, const KConversion& plan,
                   const KFileFormat& output, const std::string& alias) {
  KPcmFiles& voice = session.Voice();
  const int64_t bytes = plan.Bytes();
  if (!voice.FitsStore(bytes, "the load")) return false;
  KVoiceLayout layout;
  layout.Channels = plan.Target.Channels;
  layout.BitsPerSample = plan.Target.BitsPerSample;
  layout.SampleRate = plan.Target.SampleRate;
  layout.DataBytes = int32_t(bytes);
  layout.Alias = alias;
  const KFileType type = output.Raw() ? RawFileType(layout.Channels, layout.BitsPerSample) : output.Type;
  return voice.LoadSamples(path, "Convert sound file", type, layout, [&](KPlainFile& samples, KProgress& progress) {
    if (!source) return KStatus::Success();
    const KStatus converted = ConvertSound(*source, plan, samples, progress);
    if (converted) return converted;
    // A decoder that stopped early is the file's fault, said before anything about the store.
    if (converted.Code == KBlockCopy::kReadFailed) return KStatus::Failure(source->Problem(path), converted.Code);
    return KStatus::Failure(msg::SwapFolder(voice.Services.SwapFolder, converted.Message));
  });
}

// Measures what the preparation steps of `plan` need from `source`; false
// after a message.
bool Measure(KCliSession& session, const std::string& path, KSoundFile& source, KConversion& plan) {
  const KStatus measured = MeasureConversion(source, plan);
  if (measured) return true;
  return Say(session, measured.Code == KBlockCopy::kReadFailed ? source.Problem(path) : path + ": " + measured.Message);
}

// The conversion of `source` (null: the voice's own samples, just loaded).
bool Convert(KCliSession& session, const std::string& path, KSoundFile* source, const KImportOptions& options,
             const KFileFormat& output) {
  KPcmFiles& voice = session.Voice();
  const KSoundShape shape = source ? source->Shape() : VoiceShape(voice.Format(), voice.END);
  KConversion plan = PlanConversion(shape, options.Request);
  if (!plan.Refused.empty()) return Say(session, path + ": " + plan.Refused);
  if (!source && !plan.Changes) return true;
  if (plan.Changes) std::cerr << path << ": " << DescribeConversion(shape, plan) << std::endl;
  if (source)
    return Measure(session, path, *source, plan) && voice.PrepareLoad(path) &&
           LoadConverted(session, path, source, plan, output, "");
  // The voice's own samples keep the alias its file gave it.
  const std::string alias = voice.AliasName;
  if (voice.END == 0) return LoadConverted(session, path, nullptr, plan, output, alias);
  KSoundFile samples(voice.Storage->OpenFilePath(), voice.Format(), voice.END);
  return CheckOpened(session, path, samples) && Measure(session, path, samples, plan) &&
         LoadConverted(session, path, &samples, plan, output, alias);
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

std::string FileCommand(const std::string& path, const KFileFormat& format, bool load, const KWords& raw,
                        KScriptCommand& out) {
  // The script commands are named after the formats' extensions: load-wav, save-pcm.
  KWords words{std::string(load ? "load-" : "save-") + format.Extension};
  if (load && format.Raw()) words.insert(words.end(), raw.begin(), raw.end());
  words.push_back(path);
  return BuildCommand(words, 0, words[0] + " " + path, out);
}

const KFileFormat* OwnLoader(const std::string& path) {
  const KFileFormat* format = FormatOf(path);
  if (!format || (format->Type != KFileType::Wav && format->Type != KFileType::Voc)) return format;
  KPlainFile file(path, KPlainFile::Mode::Read);
  KVoiceLayout layout;
  const bool wav = format->Type == KFileType::Wav;
  return (wav ? KWavFormat::Check(file, path, layout) : KVocFormat::Check(file, path, layout)) ? format : nullptr;
}

bool RunOwnLoader(KCliSession& session, const std::string& path, const KFileFormat& format, const KWords& raw) {
  KScriptCommand load;
  const int before = session.Messages();
  return FileCommand(path, format, true, raw, load).empty() && session.Run(load) && session.Messages() == before;
}

bool CheckReadable(KCliSession& session, const std::string& path) {
  const int fd = open(path.c_str(), O_RDONLY | O_NONBLOCK | O_CLOEXEC);
  if (fd < 0) return Say(session, path + ": cannot be read: " + std::strerror(errno));
  struct stat status {};
  const bool regular = fstat(fd, &status) == 0 && S_ISREG(status.st_mode);
  close(fd);
  return regular || Say(session, path + (S_ISDIR(status.st_mode) ? ": is a folder" : ": is not a regular file"));
}

bool CheckOpened(KCliSession& session, const std::string& path, const KSoundFile& sound) {
  return sound.IsOpen() || Say(session, sound.Problem(path));
}

bool ImportFile(KCliSession& session, const std::string& path, const KImportOptions& options,
                const KFileFormat& output) {
  if (!CheckReadable(session, path)) return false;
  if (const KFileFormat* own = OwnLoader(path))
    return RunOwnLoader(session, path, *own, options.Raw) && Convert(session, path, nullptr, options, output);
  KSoundFile sound(path);
  return CheckOpened(session, path, sound) && Convert(session, path, &sound, options, output);
}
