#include "cli/SoundImport.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstring>
#include <iostream>

#include "cli/Session.h"
#include "voice/PcmFiles.h"

namespace {

bool Say(KCliSession& session, const std::string& text) {
  session.Voice().ShowMessageText(text);
  return false;
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
  const KFileType type =
      output.Raw() ? RawFileType(plan.Target.Channels, plan.Target.BitsPerSample) : output.Type;
  if (source)
    return MeasureForLoad(voice, path, *source, plan) && voice.PrepareLoad(path) &&
           LoadConverted(voice, path, source, plan, type, "");
  // The voice's own samples keep the alias its file gave it.
  const std::string alias = voice.AliasName;
  if (voice.END == 0) return LoadConverted(voice, path, nullptr, plan, type, alias);
  KSoundFile samples(voice.Storage->OpenFilePath(), voice.Format(), voice.END);
  return CheckOpened(session, path, samples) && MeasureForLoad(voice, path, samples, plan) &&
         LoadConverted(voice, path, &samples, plan, type, alias);
}

}  // namespace

std::string FileCommand(const std::string& path, const KFileFormat& format, bool load, const KWords& raw,
                        KScriptCommand& out) {
  // The script commands are named after the formats' extensions: load-wav, save-pcm.
  KWords words{std::string(load ? "load-" : "save-") + format.Extension};
  if (load && format.Raw()) words.insert(words.end(), raw.begin(), raw.end());
  words.push_back(path);
  return BuildCommand(words, 0, words[0] + " " + path, out);
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
