// melotrix-cli scripts: commands separated by newlines or ";", words by
// blanks, double quotes around words with blanks, "#" lines ignored. A
// script is checked whole before anything runs.
#pragma once

#include <string>
#include <string_view>
#include <vector>

#include "cli/CliCommands.h"
#include "commands/WindowCommands.h"

struct KScriptCommand {
  int Line = 0;
  std::string Written;  // the command as written
  const KCliCommand* Command = nullptr;
  const KWindowCommand* Window = nullptr;  // null for the front end's own commands
  KWords Args;
};

// Makes one command from its words (the name first). Empty on success,
// else what is wrong.
std::string BuildCommand(const KWords& words, int line, const std::string& written, KScriptCommand& out);

// Checks a whole script. Each problem becomes "line N: <what is wrong>".
std::vector<std::string> ParseScript(std::string_view text, std::vector<KScriptCommand>& commands);
