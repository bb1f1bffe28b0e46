// melotrix-cli: the voice banks and window commands of Melotrix without a
// window, for batch work and scripting.
#include <fstream>
#include <iostream>
#include <iterator>
#include <sstream>
#include <string>

#include "cli/FileTools.h"
#include "cli/Interrupt.h"
#include "cli/Recover.h"
#include "cli/Session.h"
#include "cli/Usage.h"

namespace {

constexpr const char* kHelpTop = R"(Usage:
  melotrix-cli [--trace] [--keep-going] -e "COMMAND; COMMAND; ..."
  melotrix-cli [--trace] [--keep-going] SCRIPT_FILE      (SCRIPT_FILE "-" = standard input)
  melotrix-cli info [--raw CH BITS] FILE...
  melotrix-cli convert [--raw CH BITS] [--alias TEXT] IN OUT
  melotrix-cli recover FOLDER [--save DIR]
  melotrix-cli --help | --version

Scripts: commands are separated by newlines or ";"; blank lines and lines
starting with "#" are ignored; words are separated by blanks, and a word
holding blanks is written in double quotes. The whole script is checked
first: a mistake prints "line N: ..." and exits 2 without running anything.
The run starts as the window does: fifteen empty voices, bank 1 selected,
a fresh swap folder. Each command acts on the current bank's voice exactly
as the window command of the same role. Messages go to stderr, each followed
by an empty line; the run stops after the first command that showed one
(exit 1), or with --keep-going runs everything and exits 1 if any was shown.
--trace prints each command after it ran as "COMMAND -> true|false".
The play and record commands use the ALSA PCM "default", or the one that
$MELOTRIX_PCM names, and return once the sound was heard or the take is
complete. Ctrl+C while one of them runs stops it as Escape does in the
window (a take keeps what was captured) and the script goes on.

Commands:
)";

constexpr const char* kHelpBottom = R"(
state prints one key=value per line: bank, channels, bits, rate, end, mkl,
mkr, flg, zistart, filetype, file, alias, undo (the Undo item's caption) and
undo_depth (the number of undo snapshots, 0..4).

info loads each FILE by its extension (.mxv, .wav, .voc; .pcm and .raw as
mono 8-bit unless --raw is given) and prints "FILE: channels=... bits=...
rate=... end=... alias=...", or the loader's message on stderr (exit 1).
convert loads IN into bank 1 and saves it as OUT, both by extension; --alias
sets the alias before saving. Exit status as for scripts.

recover lists what the run folder FOLDER of a copy that crashed holds (each
voice with its format, length, names and undo labels); with --save it writes
each bank that holds samples to DIR/BankNNN.MXV. FOLDER stays as it is.
)";

int Help() {
  std::cout << kHelpTop;
  for (const KCliCommand& command : CliCommands()) {
    std::string head = std::string(command.Name) + (*command.Usage ? " " : "") + command.Usage;
    std::cout << "  " << head << std::string(head.size() < 30 ? 30 - head.size() : 1, ' ') << command.Help << "\n";
  }
  std::cout << kHelpBottom;
  return 0;
}

bool ReadScript(const std::string& name, std::string& text) {
  std::ifstream file;
  std::istream* in = &std::cin;
  if (name != "-") {
    file.open(name, std::ios::binary);
    if (!file) return false;
    in = &file;
  }
  text.assign(std::istreambuf_iterator<char>(*in), std::istreambuf_iterator<char>());
  return !in->bad();
}

int RunScriptMode(const KWords& args) {
  bool trace = false, keepGoing = false, given = false;
  std::string source;
  size_t at = 0;
  for (; at < args.size(); ++at) {
    if (args[at] == "--trace") {
      trace = true;
    } else if (args[at] == "--keep-going") {
      keepGoing = true;
    } else if (args[at] == "-e" && at + 1 < args.size()) {
      given = true;
      source = args[++at];
      ++at;
      break;
    } else if (args[at] == "-" || args[at].rfind("-", 0) != 0) {
      source = args[at++];
      break;
    } else {
      return UsageError("unknown or incomplete option " + args[at]);
    }
  }
  if (at != args.size()) return UsageError("unexpected " + args[at]);
  if (source.empty() && !given) return UsageError("no script given");
  std::string text = source;
  if (!given && !ReadScript(source, text)) return UsageError("cannot read the script " + source);
  std::vector<KScriptCommand> commands;
  std::vector<std::string> errors = ParseScript(text, commands);
  for (const std::string& error : errors) std::cerr << error << "\n";
  if (!errors.empty()) return 2;
  KCliSession session;
  if (!session.Open()) return 1;
  return session.RunScript(commands, keepGoing, trace);
}

}  // namespace

int main(int argc, char** argv) {
  BlockQuitSignals();
  KWords args(argv + 1, argv + argc);
  if (args.empty()) return UsageError("no script given");
  const std::string& first = args[0];
  if (first == "--help" || first == "-h") return Help();
  if (first == "--version") {
    std::cout << "melotrix-cli " << MELOTRIX_VERSION << "\n";
    return 0;
  }
  KWords rest(args.begin() + 1, args.end());
  if (first == "info") return RunInfo(rest);
  if (first == "convert") return RunConvert(rest);
  if (first == "recover") return RunRecover(rest);
  return RunScriptMode(args);
}
