// Feeds arbitrary text to the script parser of melotrix-cli: every command it
// accepts must have passed its argument checks, and every problem must be
// reported with its line. Words split at NUL bytes go to BuildCommand too.
#include <cstdint>
#include <cstdlib>
#include <string>
#include <string_view>
#include <vector>

#include "cli/Script.h"

namespace {

void Require(bool condition) {
  if (!condition) std::abort();
}

void CheckCommand(const KScriptCommand& c, int lines) {
  Require(c.Command != nullptr && c.Line >= 1 && c.Line <= lines);
  Require(int(c.Args.size()) == ArgCount(*c.Command));
  for (size_t k = 0; k < c.Args.size(); ++k) Require(CheckArg(c.Command->Args[k], c.Args[k]).empty());
  Require((c.Window != nullptr) == c.Command->Target.Runs());
  Require(c.Written.find('\n') == std::string::npos);
  KCommandInput input;
  if (c.Command->Fill) c.Command->Fill(c.Args, input);
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  const std::string_view text(reinterpret_cast<const char*>(data), size);
  int lines = 1;
  for (char c : text) lines += c == '\n';
  std::vector<KScriptCommand> commands;
  const std::vector<std::string> errors = ParseScript(text, commands);
  for (const KScriptCommand& command : commands) CheckCommand(command, lines);
  for (const std::string& error : errors)
    Require(error.rfind("line ", 0) == 0 && error.find(": ") != std::string::npos);

  KWords words;
  for (size_t at = 0; at <= text.size();) {
    size_t end = text.find('\0', at);
    if (end == std::string_view::npos) end = text.size();
    words.emplace_back(text.substr(at, end - at));
    at = end + 1;
  }
  if (size == 0) words.clear();  // no word at all
  KScriptCommand built;
  if (BuildCommand(words, 1, "words", built).empty()) CheckCommand(built, 1);
  return 0;
}
