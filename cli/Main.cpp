// melotrix-cli: the voice banks and window commands of Melotrix without a
// window, for batch work and scripting.
#include <fstream>
#include <iostream>
#include <iterator>
#include <new>
#include <sstream>
#include <string>

#include "cli/CliManual.h"
#include "cli/FileTools.h"
#include "cli/Interrupt.h"
#include "cli/Recover.h"
#include "cli/Session.h"
#include "cli/Usage.h"
#include "platform/StandardOutput.h"

namespace {

int Help() {
  std::cout << ManualText(CliManual());
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
  const int status = session.RunScript(commands, keepGoing, trace);
  AwaitQuitSignal();
  return status;
}

int Run(int argc, char** argv) {
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

}  // namespace

int main(int argc, char** argv) {
  BlockQuitSignals();
  // Every buffer is bounded, but should memory run out all the same, the
  // stack unwinds here, so that the session removes its run folder.
  try {
    return FinishStandardOutput("melotrix-cli", Run(argc, argv));
  } catch (const std::bad_alloc&) {
    std::cerr << "melotrix-cli: out of memory" << std::endl;
    return 1;
  }
}
