// The commands of melotrix-cli scripts as data: name, arguments, the window
// command each one runs, and how its words fill that command's input.
#pragma once

#include <span>
#include <string>
#include <vector>

#include "commands/CommandContext.h"
#include "commands/CommandIds.h"

class KCliSession;
using KWords = std::vector<std::string>;

// The kinds of argument words, checked before anything runs.
enum class KArg { None, Bank, Source, Channels, Bits, Integer, Real, Word };

// The window command a front-end command runs: a fixed one, or one picked
// by the argument words once they passed their checks (bank N, a raw format).
struct KCliTarget {
  KCommandId Id = KCommandId::Count;  // Count with no Pick: the front end's own command
  KCommandId (*Pick)(const KWords& args) = nullptr;
  bool Runs() const;
  KCommandId For(const KWords& args) const;
};

struct KCliCommand {
  const char* Name;   // one word, or two ("goto head")
  const char* Usage;  // the argument names, one per argument; "[NAME]" may be left out at the end
  KArg Args[4];
  KCliTarget Target;
  void (*Fill)(const KWords& args, KCommandInput& input);
  bool (*Own)(KCliSession& session, const KWords& args);
  const char* Help;
  // Ctrl+C stops it as Escape does in the window, and the script goes on.
  bool Stoppable = false;
};

std::span<const KCliCommand> CliCommands();

// The number of arguments a command takes.
int ArgCount(const KCliCommand& command);

// Empty when `word` is a good argument of that kind, else what is wrong.
std::string CheckArg(KArg kind, const std::string& word);

// The words' integer value (they passed CheckArg).
int32_t IntArg(const std::string& word);
