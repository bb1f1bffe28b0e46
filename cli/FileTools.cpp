#include "cli/FileTools.h"

#include <sys/stat.h>

#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <iostream>
#include <set>

#include "cli/Session.h"
#include "cli/SoundImport.h"
#include "cli/Usage.h"
#include "voice/PcmFiles.h"

namespace {

struct FileOptions {
  KImportOptions Import;
  bool Alias = false;
  std::string AliasText;
  bool Stats = false;
  std::string To;                       // many files: the output folder
  const KFileFormat* Format = nullptr;  // and the output format
  KWords Files;
};

// The value of an option word `at + 1` that must pass `check`; empty on success.
std::string Take(const KWords& args, size_t& at, KArg kind, int32_t& value) {
  if (!CheckArg(kind, args[at + 1]).empty())
    return args[at] + " " + args[at + 1] + ": the value " + CheckArg(kind, args[at + 1]);
  value = IntArg(args[++at]);
  return "";
}

// The number of an option word `at + 1` within `lowest`..`highest`; empty
// on success, else what it takes.
std::string TakeNumber(const KWords& args, size_t& at, double lowest, double highest, const char* unit, double& value) {
  char* end = nullptr;
  const std::string& word = args[at + 1];
  value = std::strtod(word.c_str(), &end);
  if (word.empty() || *end != '\0' || !(value >= lowest && value <= highest)) {
    char range[64];
    std::snprintf(range, sizeof range, " takes %s from %g to %g", unit, lowest, highest);
    return args[at] + range;
  }
  ++at;
  return "";
}

// The options of one mode, anywhere among the file words ("--" ends them).
// Empty on success, else what is wrong.
std::string ParseOptions(const KWords& args, bool convert, FileOptions& options) {
  KConvertRequest& request = options.Import.Request;
  bool ended = false;
  for (size_t at = 0; at < args.size(); ++at) {
    const std::string& word = args[at];
    const size_t left = args.size() - at - 1;
    std::string wrong;
    if (ended || word.rfind("--", 0) != 0 || word.size() == 2) {
      if (!ended && word == "--")
        ended = true;
      else
        options.Files.push_back(word);
    } else if (word == "--raw" && left >= 2) {
      wrong = CheckArg(KArg::Channels, args[at + 1]) + CheckArg(KArg::Bits, args[at + 2]);
      if (!wrong.empty()) return "--raw takes CH (1 or 2) and BITS (8 or 16)";
      options.Import.Raw = {args[at + 1], args[at + 2]};
      at += 2;
    } else if (word == "--stats" && !convert) {
      options.Stats = true;
    } else if (!convert || (left == 0 && word != "--dither")) {
      return "unknown or incomplete option " + word;
    } else if (word == "--alias") {
      options.Alias = true;
      options.AliasText = args[++at];
    } else if (word == "--rate") {
      wrong = Take(args, at, KArg::Integer, request.Rate);
      if (wrong.empty() && (request.Rate < 2100 || request.Rate > 44100)) wrong = "--rate takes HZ from 2100 to 44100";
      request.Rate = request.Rate / 25 * 25;
    } else if (word == "--channels") {
      wrong = Take(args, at, KArg::Channels, request.Channels);
    } else if (word == "--bits") {
      wrong = Take(args, at, KArg::Bits, request.Bits);
    } else if (word == "--dither") {
      request.Dither = true;
    } else if (word == "--trim" || word == "--normalize") {
      double level = 0;
      wrong = TakeNumber(args, at, -120, 0, "DBFS", level);
      (word == "--trim" ? request.TrimDb : request.NormalizeDb) = level;
    } else if (word == "--fade-in" || word == "--fade-out") {
      wrong = TakeNumber(args, at, 0, 60000, "MS", word == "--fade-in" ? request.FadeInMs : request.FadeOutMs);
    } else if (word == "--to") {
      options.To = args[++at];
    } else if (word == "--format") {
      options.Format = FileFormatByExtension(args[++at]);
      if (!options.Format) wrong = "--format takes mxv, wav, voc or pcm";
    } else {
      return "unknown or incomplete option " + word;
    }
    if (!wrong.empty()) return wrong;
  }
  return "";
}

// A level in dB against full scale; a channel of nothing but zeros is "silent".
std::string Decibels(double level) {
  if (level <= 0) return "silent";
  char text[32];
  std::snprintf(text, sizeof text, "%.2f", 20 * std::log10(level));
  return text;
}

// One line per channel: its peak and RMS level, samples at full scale and DC offset.
bool PrintStats(KCliSession& session, const std::string& file, KSoundFile& sound) {
  std::vector<KChannelStats> stats;
  if (!MeasureSound(sound, stats)) {
    session.Voice().ShowMessageText(sound.Problem(file));
    return false;
  }
  for (size_t c = 0; c < stats.size(); ++c) {
    char dc[32];
    // Rounded first, so that a tiny negative offset does not print as -0.000000.
    std::snprintf(dc, sizeof dc, "%+.6f", std::round(stats[c].DcOffset * 1e6) / 1e6 + 0.0);
    std::cout << file << ": channel=" << c + 1 << " peak_dbfs=" << Decibels(stats[c].Peak)
              << " rms_dbfs=" << Decibels(stats[c].Rms) << " full_scale=" << stats[c].FullScale << " dc_offset=" << dc
              << std::endl;
  }
  return true;
}

// Prints what `file` holds; false after a message.
bool Describe(KCliSession& session, const std::string& file, const FileOptions& options) {
  if (!CheckReadable(session, file)) return false;
  if (const KFileFormat* own = OwnLoader(file)) {
    if (!RunOwnLoader(session, file, *own, options.Import.Raw)) return false;
    KPcmFiles& v = session.Voice();
    std::cout << file << ": channels=" << v.Channels << " bits=" << v.BitsPerSample << " rate=" << v.SampleRate
              << " end=" << v.END << " alias=" << v.AliasName << std::endl;
    if (!options.Stats) return true;
    KSoundFile samples(v.Storage->OpenFilePath(), v.Format(), v.END);
    return CheckOpened(session, file, samples) && PrintStats(session, file, samples);
  }
  KSoundFile sound(file);
  if (!CheckOpened(session, file, sound)) return false;
  const KSoundShape& shape = sound.Shape();
  std::cout << file << ": channels=" << shape.Channels << " bits=" << shape.Bits << " rate=" << shape.Rate
            << " end=" << shape.Frames << " alias= format=\"" << sound.Description() << "\"" << std::endl;
  return !options.Stats || PrintStats(session, file, sound);
}

// Loads `in` into bank 1, sets the alias when asked and saves it as `out`
// in `format`; false when a message was shown.
bool ConvertOne(KCliSession& session, const std::string& in, const std::string& out, const KFileFormat& format,
                const FileOptions& options) {
  const int before = session.Messages();
  session.Voice().ClearBank();
  if (!ImportFile(session, in, options.Import, format)) return false;
  std::vector<KScriptCommand> commands(2);
  std::string wrong = FileCommand(out, format, false, {}, commands[1]);
  if (options.Alias) wrong += BuildCommand({"alias", options.AliasText}, 0, "alias", commands[0]);
  if (!options.Alias) commands.erase(commands.begin());
  for (const KScriptCommand& command : commands)
    if (!wrong.empty() || !session.Run(command) || session.Messages() != before) return false;
  return true;
}

// The held messages of a file as one line.
std::string OneLine(const std::vector<std::string>& texts) {
  std::string line;
  for (const std::string& text : texts)
    for (char c : text)
      if (c != '\n' && c != ' ')
        line += c;
      else if (!line.empty() && line.back() != ' ')
        line += ' ';
  while (!line.empty() && line.back() == ' ') line.pop_back();
  return line;
}

namespace fs = std::filesystem;

// The output of `in` among many files.
fs::path BatchOutput(const FileOptions& options, const std::string& in) {
  return fs::path(options.To) / fs::path(in).filename().replace_extension(options.Format->Extension);
}

// Which file a path names: its device and inode where it exists, else the
// path made absolute and normal.
struct FileId {
  bool Exists = false;
  dev_t Device = 0;
  ino_t Inode = 0;
  fs::path Path;
  bool operator==(const FileId& other) const {
    return Exists == other.Exists && (Exists ? Device == other.Device && Inode == other.Inode : Path == other.Path);
  }
};

FileId IdOf(const fs::path& path) {
  FileId id;
  struct stat status {};
  id.Exists = stat(path.c_str(), &status) == 0;
  id.Device = status.st_dev;
  id.Inode = status.st_ino;
  std::error_code error;
  if (!id.Exists) id.Path = fs::weakly_canonical(path, error);
  if (!id.Exists && error) id.Path = fs::absolute(path, error).lexically_normal();
  return id;
}

// False, after a line on stderr for each, when an output would be written
// over one of the inputs; then nothing may be converted.
bool OutputsSpareInputs(const FileOptions& options) {
  std::vector<FileId> inputs;
  for (const std::string& in : options.Files) inputs.push_back(IdOf(in));
  bool spared = true;
  for (const std::string& in : options.Files) {
    const fs::path out = BatchOutput(options, in);
    const FileId id = IdOf(out);
    for (size_t k = 0; k < inputs.size(); ++k) {
      if (!(id == inputs[k])) continue;
      std::cerr << in << ": its output " << out.string() << " would write over the input " << options.Files[k]
                << std::endl;
      spared = false;
    }
  }
  if (!spared) std::cerr << "convert: nothing was converted" << std::endl;
  return spared;
}

// IN... --to DIR --format F: one output per input, each file reported on
// one line, the rest converted after a failure.
int ConvertMany(KCliSession& session, const FileOptions& options) {
  std::error_code error;
  fs::create_directories(options.To, error);
  bool failed = false;
  std::set<fs::path> written;
  for (const std::string& in : options.Files) {
    const fs::path out = BatchOutput(options, in);
    session.Log().Hold();
    session.Ui().ProgressFor(in);
    bool ok = written.insert(out.lexically_normal()).second;
    if (!ok) session.Voice().ShowMessageText(in + ": " + out.string() + " is the output of an earlier file");
    ok = ok && ConvertOne(session, in, out.string(), *options.Format, options);
    session.Ui().ProgressFor("");
    const std::string messages = OneLine(session.Log().Release());
    if (ok) std::cout << in << " -> " << out.string() << std::endl;
    // Every message names the file.
    if (!ok) std::cerr << (messages.empty() ? in + ": failed" : messages) << std::endl;
    failed = failed || !ok;
  }
  return failed ? 1 : 0;
}

}  // namespace

int RunInfo(const KWords& args) {
  FileOptions options;
  std::string wrong = ParseOptions(args, false, options);
  if (!wrong.empty()) return UsageError("info: " + wrong);
  if (options.Files.empty()) return UsageError("info needs at least one FILE");
  KCliSession session;
  if (!session.Open()) return 1;
  bool failed = false;
  for (const std::string& file : options.Files) {
    session.Voice().ClearBank();
    failed = !Describe(session, file, options) || failed;
  }
  return failed ? 1 : 0;
}

int RunConvert(const KWords& args) {
  FileOptions options;
  std::string wrong = ParseOptions(args, true, options);
  if (!wrong.empty()) return UsageError("convert: " + wrong);
  const bool many = !options.To.empty() || options.Format;
  if (many && (options.To.empty() || !options.Format || options.Files.empty()))
    return UsageError("convert needs IN... --to DIR --format mxv|wav|voc|pcm");
  if (!many && options.Files.size() != 2) return UsageError("convert needs IN and OUT");
  const KFileFormat* format = many ? options.Format : FormatOf(options.Files[1]);
  if (!format)
    return UsageError("convert: " + options.Files[1] + ": unknown file type (use .mxv, .wav, .voc, .pcm or .raw)");
  // Nothing is written, not even the run folder, when an output is an input.
  if (many && !OutputsSpareInputs(options)) return 1;
  KCliSession session;
  if (!session.Open()) return 1;
  if (many) return ConvertMany(session, options);
  session.Ui().ProgressFor(options.Files[0]);
  const bool ok = ConvertOne(session, options.Files[0], options.Files[1], *format, options);
  session.Ui().ProgressFor("");
  return ok ? 0 : 1;
}
