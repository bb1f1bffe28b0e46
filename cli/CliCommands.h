// The commands of melotrix-cli scripts as data: name, arguments, the window
// command each one runs, and how its words fill that command's input.
#pragma once

#include <span>
#include <string>
#include <vector>

#include "commands/CommandContext.h"

class KCliSession;
using KWords = std::vector<std::string>;

// The kinds of argument words, checked before anything runs.
enum class KArg { None, Bank, Source, Channels, Bits, Integer, Real, Word };

struct KCliCommand {
  const char* Name;       // one word, or two ("goto head")
  const char* Usage;      // the argument names, one per argument
  KArg Args[4];
  // The window command it runs; "{1}" and "{2}" stand for the first and
  // second argument word. Null for the front end's own commands.
  const char* Handler;
  void (*Fill)(const KWords& args, KCommandInput& input);
  bool (*Own)(KCliSession& session, const KWords& args);
  const char* Help;
};

std::span<const KCliCommand> CliCommands();

// The number of arguments a command takes.
int ArgCount(const KCliCommand& command);

// Empty when `word` is a good argument of that kind, else what is wrong.
std::string CheckArg(KArg kind, const std::string& word);

// The words' integer value (they passed CheckArg).
int32_t IntArg(const std::string& word);
