#include "cli/Script.h"

namespace {

bool IsBlank(char c) { return c == ' ' || c == '\t' || c == '\r'; }

std::string Trim(std::string_view text) {
  size_t first = 0, last = text.size();
  while (first < last && IsBlank(text[first])) ++first;
  while (last > first && IsBlank(text[last - 1])) --last;
  return std::string(text.substr(first, last - first));
}

// The number of words a command's name takes ("goto head" takes two).
size_t NameWords(const KCliCommand& command) {
  return std::string_view(command.Name).find(' ') == std::string_view::npos ? 1 : 2;
}

bool NameMatches(const KCliCommand& command, const KWords& words) {
  if (NameWords(command) == 1) return words[0] == command.Name;
  return words.size() >= 2 && words[0] + " " + words[1] == command.Name;
}

// "goto" alone or with an unknown target: the names it could go with.
std::string Choices(const std::string& first) {
  std::string list;
  for (const KCliCommand& command : CliCommands()) {
    std::string_view name(command.Name);
    if (NameWords(command) == 2 && name.substr(0, name.find(' ')) == first)
      list += (list.empty() ? "" : ", ") + std::string(name.substr(name.find(' ') + 1));
  }
  return list;
}

std::string CheckArgs(const KCliCommand& command, const KWords& args) {
  KWords names;
  std::string usage = command.Usage;
  // Names in brackets come last and may be left out.
  size_t required = 0;
  for (size_t at = 0; at < usage.size();) {
    size_t end = usage.find(' ', at);
    if (end == std::string::npos) end = usage.size();
    const bool optional = usage[at] == '[';
    names.push_back(optional ? usage.substr(at + 1, end - at - 2) : usage.substr(at, end - at));
    required += !optional;
    at = end + 1;
  }
  std::string name = command.Name;
  if (args.size() < required || args.size() > names.size()) {
    const std::string count =
        (required < names.size() ? std::to_string(required) + " to " : "") + std::to_string(names.size());
    std::string expected =
        names.empty() ? "no arguments" : count + " argument" + (names.size() > 1 ? "s" : "") + " (" + usage + ")";
    return name + " takes " + expected + ", not " + std::to_string(args.size());
  }
  for (size_t k = 0; k < args.size(); ++k) {
    std::string wrong = CheckArg(command.Args[k], args[k]);
    if (!wrong.empty()) return name + ": " + names[k] + " " + wrong + ", not \"" + args[k] + "\"";
  }
  return "";
}

// Splits one line into commands (at ";" outside quotes) and their words.
std::string SplitLine(std::string_view line, std::vector<std::pair<std::string, KWords>>& commands) {
  KWords words;
  std::string word;
  bool inWord = false, quoted = false;
  size_t start = 0;
  auto endWord = [&] {
    if (inWord) words.push_back(word);
    word.clear();
    inWord = false;
  };
  for (size_t at = 0; at <= line.size(); ++at) {
    char c = at < line.size() ? line[at] : ';';
    if (quoted && at == line.size()) return "a quote is not closed";
    if (c == '"') {
      quoted = !quoted;
      inWord = true;
    } else if (quoted || (!IsBlank(c) && c != ';')) {
      word += c;
      inWord = true;
    } else {
      endWord();
      if (c == ';') {
        if (!words.empty()) commands.emplace_back(Trim(line.substr(start, at - start)), words);
        words.clear();
        start = at + 1;
      }
    }
  }
  return "";
}

}  // namespace

std::string BuildCommand(const KWords& words, int line, const std::string& written, KScriptCommand& out) {
  if (words.empty()) return "no command";
  for (const KCliCommand& command : CliCommands()) {
    if (!NameMatches(command, words)) continue;
    KWords args(words.begin() + long(NameWords(command)), words.end());
    std::string wrong = CheckArgs(command, args);
    if (!wrong.empty()) return wrong;
    out = KScriptCommand{line, written, &command, nullptr, args};
    if (command.Target.Runs()) out.Window = &WindowCommand(command.Target.For(args));
    return "";
  }
  std::string choices = Choices(words[0]);
  if (!choices.empty()) return words[0] + " needs one of: " + choices;
  return "unknown command \"" + words[0] + "\"";
}

std::vector<std::string> ParseScript(std::string_view text, std::vector<KScriptCommand>& commands) {
  std::vector<std::string> errors;
  int number = 0;
  for (size_t at = 0; at <= text.size();) {
    size_t end = text.find('\n', at);
    if (end == std::string_view::npos) end = text.size();
    std::string_view line = text.substr(at, end - at);
    at = end + 1;
    ++number;
    std::string trimmed = Trim(line);
    if (trimmed.empty() || trimmed[0] == '#') continue;
    std::vector<std::pair<std::string, KWords>> split;
    std::string wrong = SplitLine(line, split);
    for (const auto& [written, words] : split) {
      if (!wrong.empty()) break;
      KScriptCommand command;
      std::string problem = BuildCommand(words, number, written, command);
      if (problem.empty())
        commands.push_back(command);
      else
        errors.push_back("line " + std::to_string(number) + ": " + problem);
    }
    if (!wrong.empty()) errors.push_back("line " + std::to_string(number) + ": " + wrong);
  }
  return errors;
}
