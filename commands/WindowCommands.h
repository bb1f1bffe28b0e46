// The main window's command map as data: one row per window command with
// its handler name, its caption, what it gathers, whether it runs inside the
// progress bracket, when it beeps, the window's own check and the call on the
// current voice. The window and the command-line front end both run rows
// through RunWindowCommand, so every command behaves the same in both.
#pragma once

#include <span>
#include <string_view>

#include "commands/CommandContext.h"
#include "commands/CommandIds.h"

// The dialog, prompt or control a command takes its input from.
enum class KGathers {
  Nothing,
  OpenFile,
  ImportDialog,  // a sound file (named already, or from the open dialog), then the import dialog
  SaveFile,
  LengthPrompt,
  AmplifierPrompt,
  EchoPrompt,
  NormalizePrompt,
  MarkSoundPrompt,
  MixerDialog,
  SplitDialog,
  MergeDialog,
  FormatDialog,
  RecordDialog,
  ScrollBar,
  AliasPrompt,
  ZoomInClick,
  RatePrompt,  // a rate, read as the rate bar reads its position
};

enum class KBeep { Never, OnSuccess, Always };

using KCommandStep = bool (*)(KCommandContext&, const KCommandInput&);

struct KWindowCommand {
  KCommandId Id;
  const char* Handler;
  const char* Caption;
  KGathers Gathers;
  bool Bracket;  // repaint, show the progress window, run, hide it
  KBeep Beep;
  KCommandStep Check;  // the window's own check (may be null); false ends the command
  KCommandStep Run;    // the call on the current voice; its success flag
};

std::span<const KWindowCommand> WindowCommands();
const KWindowCommand& WindowCommand(KCommandId id);
// The row that selects bank 1..12.
KCommandId BankCommandId(int bank);
// By handler name, for the window's widgets named after them; null when none.
const KWindowCommand* FindWindowCommand(std::string_view handler);

// Runs one command on the current voice: check, bracket, operation, beep,
// then the bank set's journal brought up to date.
// Returns the operation's success flag (false when the check refused).
bool RunWindowCommand(KCommandContext& context, const KWindowCommand& command, const KCommandInput& input);
