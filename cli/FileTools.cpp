#include "cli/FileTools.h"

#include <cctype>
#include <iostream>

#include "cli/Session.h"
#include "cli/Usage.h"
#include "voice/FileFormats.h"

namespace {

// The format of a file by its extension; ".raw" is raw PCM as well.
const KFileFormat* FormatOf(const std::string& path) {
  size_t slash = path.rfind('/');
  size_t dot = path.rfind('.');
  if (dot == std::string::npos || (slash != std::string::npos && dot < slash)) return nullptr;
  std::string extension = path.substr(dot + 1);
  for (char& c : extension) c = char(std::tolower(static_cast<unsigned char>(c)));
  return FileFormatByExtension(extension == "raw" ? "pcm" : extension);
}

// Options shared by both modes, then the file words.
struct FileOptions {
  KWords raw{"1", "8"};
  bool alias = false;
  std::string aliasText;
  KWords files;
};

// Empty on success, else what is wrong.
std::string ParseOptions(const KWords& args, bool allowAlias, FileOptions& options) {
  size_t at = 0;
  for (; at < args.size() && args[at].rfind("--", 0) == 0; ++at) {
    if (args[at] == "--") {
      ++at;
      break;
    }
    if (args[at] == "--raw" && at + 2 < args.size()) {
      std::string wrong = CheckArg(KArg::Channels, args[at + 1]) + CheckArg(KArg::Bits, args[at + 2]);
      if (!wrong.empty()) return "--raw takes CH (1 or 2) and BITS (8 or 16)";
      options.raw = {args[at + 1], args[at + 2]};
      at += 2;
    } else if (args[at] == "--alias" && allowAlias && at + 1 < args.size()) {
      options.alias = true;
      options.aliasText = args[++at];
    } else {
      return "unknown or incomplete option " + args[at];
    }
  }
  options.files.assign(args.begin() + long(at), args.end());
  return "";
}

// Makes the command that loads or saves `path` by its extension. Empty on
// success, else what is wrong (an unknown extension).
std::string FileCommand(const std::string& path, bool load, const FileOptions& options, KScriptCommand& out) {
  const KFileFormat* format = FormatOf(path);
  if (!format) return path + ": unknown file type (use .mxv, .wav, .voc, .pcm or .raw)";
  // The script commands are named after the formats' extensions: load-wav, save-pcm.
  KWords words{std::string(load ? "load-" : "save-") + format->Extension};
  if (load && format->Raw()) words.insert(words.end(), options.raw.begin(), options.raw.end());
  words.push_back(path);
  return BuildCommand(words, 0, words[0] + " " + path, out);
}

}  // namespace

int RunInfo(const KWords& args) {
  FileOptions options;
  std::string wrong = ParseOptions(args, false, options);
  if (!wrong.empty()) return UsageError("info: " + wrong);
  if (options.files.empty()) return UsageError("info needs at least one FILE");
  KCliSession session;
  if (!session.Open()) return 1;
  bool failed = false;
  for (const std::string& file : options.files) {
    KScriptCommand load;
    std::string unknown = FileCommand(file, true, options, load);
    if (!unknown.empty()) {
      std::cerr << unknown << "\n\n";
      failed = true;
      continue;
    }
    session.Voice().ClearBank();
    int before = session.Messages();
    if (!session.Run(load) || session.Messages() != before) {
      failed = true;
      continue;
    }
    KPcmFiles& v = session.Voice();
    std::cout << file << ": channels=" << v.Channels << " bits=" << v.BitsPerSample << " rate=" << v.SampleRate
              << " end=" << v.END << " alias=" << v.AliasName << std::endl;
  }
  return failed ? 1 : 0;
}

int RunConvert(const KWords& args) {
  FileOptions options;
  std::string wrong = ParseOptions(args, true, options);
  if (!wrong.empty()) return UsageError("convert: " + wrong);
  if (options.files.size() != 2) return UsageError("convert needs IN and OUT");
  std::vector<KScriptCommand> commands(3);
  wrong = FileCommand(options.files[0], true, options, commands[0]);
  if (wrong.empty()) wrong = FileCommand(options.files[1], false, options, commands[2]);
  if (wrong.empty() && options.alias) wrong = BuildCommand({"alias", options.aliasText}, 0, "alias", commands[1]);
  if (!wrong.empty()) return UsageError("convert: " + wrong);
  if (!options.alias) commands.erase(commands.begin() + 1);
  KCliSession session;
  if (!session.Open()) return 1;
  return session.RunScript(commands, false, false);
}
