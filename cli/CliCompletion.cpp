// The bash completion of melotrix-cli, read off the synopsis of its manual.
#include <algorithm>
#include <cctype>
#include <set>
#include <sstream>

#include "cli/CliCommands.h"
#include "cli/CliManual.h"

namespace {

// What follows an option word on the command line.
struct KOptionValue {
  std::string Mode;    // "" for a script run
  std::string Option;  // "--format"
  std::string Words;   // the values to offer; empty with Folders false: none
  bool Folders = false;
};

bool IsMode(const std::string& word) { return !word.empty() && std::islower(static_cast<unsigned char>(word[0])); }

// The words of a synopsis form as written, brackets and quotes included.
std::vector<std::string> RawWords(const std::string& form) {
  std::istringstream in(form);
  std::vector<std::string> words;
  for (std::string word; in >> word;) words.push_back(word);
  return words;
}

std::string Bare(std::string word) {
  std::erase_if(word, [](char c) { return c == '[' || c == ']' || c == '"'; });
  return word;
}

// A placeholder's values: "mxv|wav" lists them, CH and BITS have theirs.
std::string Values(std::string placeholder) {
  if (placeholder == "CH") return "1 2";
  if (placeholder == "BITS") return "8 16";
  if (placeholder.find('|') == std::string::npos) return "";
  std::replace(placeholder.begin(), placeholder.end(), '|', ' ');
  return placeholder;
}

std::string Joined(const std::set<std::string>& words) {
  std::string out;
  for (const std::string& word : words) out += (out.empty() ? "" : " ") + word;
  return out;
}

// The first words of the script commands ("goto" of "goto head").
std::string ScriptCommandWords() {
  std::set<std::string> names;
  for (const KCliCommand& command : CliCommands()) names.insert(RawWords(command.Name)[0]);
  return Joined(names);
}

}  // namespace

std::string CliCompletion(const KManual& manual) {
  std::set<std::string> modes;
  std::vector<std::pair<std::string, std::set<std::string>>> options;  // by mode, in the synopsis' order
  std::vector<KOptionValue> values;
  for (const std::string& form : manual.Synopsis) {
    const std::vector<std::string> raw = RawWords(form);
    const std::string mode = IsMode(raw[0]) ? raw[0] : "";
    if (!mode.empty()) modes.insert(mode);
    auto mine = std::find_if(options.begin(), options.end(), [&](const auto& entry) { return entry.first == mode; });
    if (mine == options.end()) mine = options.insert(options.end(), {mode, {}});
    for (size_t k = 0; k < raw.size(); ++k) {
      const std::string option = Bare(raw[k]);
      if (option[0] != '-') continue;
      mine->second.insert(option);
      // "[--stats]": an option alone in its brackets takes no value.
      const std::string next = k + 1 < raw.size() ? Bare(raw[k + 1]) : "";
      if (raw[k].back() == ']' || next.empty() || next[0] == '-' || next == "|") continue;
      const bool known = std::any_of(values.begin(), values.end(),
                                     [&](const KOptionValue& v) { return v.Mode == mode && v.Option == option; });
      if (known) continue;
      KOptionValue value{mode, option, option == "-e" ? ScriptCommandWords() : Values(next), next == "DIR"};
      values.push_back(value);
    }
  }
  const auto alternatives = [](const std::set<std::string>& words) {
    std::string out = Joined(words);
    std::replace(out.begin(), out.end(), ' ', '|');
    return out;
  };
  std::ostringstream out;
  out << "# bash completion for " << manual.Name << ", made from its manual\n"
      << "_melotrix_cli() {\n"
      << "  local cur=${COMP_WORDS[COMP_CWORD]} prev=${COMP_WORDS[COMP_CWORD-1]} mode=\n"
      << "  ((COMP_CWORD > 1)) && case ${COMP_WORDS[1]} in " << alternatives(modes)
      << ") mode=${COMP_WORDS[1]} ;; esac\n"
      << "  case \"$mode $prev\" in\n";
  for (const KOptionValue& value : values) {
    out << "    \"" << value.Mode << " " << value.Option << "\") ";
    if (value.Folders)
      out << "COMPREPLY=($(compgen -d -- \"$cur\")) ;;\n";
    else if (!value.Words.empty())
      out << "COMPREPLY=($(compgen -W \"" << value.Words << "\" -- \"$cur\")) ;;\n";
    else
      out << "COMPREPLY=() ;;\n";
  }
  out << "    *)\n      if [[ $cur == -* ]]; then\n        case $mode in\n";
  for (const auto& [mode, words] : options)
    out << "          " << (mode.empty() ? "''" : mode) << ") COMPREPLY=($(compgen -W \"" << Joined(words)
        << "\" -- \"$cur\")) ;;\n";
  out << "        esac\n"
      << "      elif ((COMP_CWORD == 1)); then\n"
      << "        COMPREPLY=($(compgen -W \"" << Joined(modes) << "\" -- \"$cur\") $(compgen -f -- \"$cur\"))\n"
      << "      elif [[ $mode == recover ]]; then\n"
      << "        COMPREPLY=($(compgen -d -- \"$cur\"))\n"
      << "      else\n"
      << "        COMPREPLY=($(compgen -f -- \"$cur\"))\n"
      << "      fi ;;\n"
      << "  esac\n"
      << "}\n"
      << "complete -o filenames -F _melotrix_cli " << manual.Name << "\n";
  return out.str();
}
