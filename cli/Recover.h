// The "recover" mode of melotrix-cli: what the run folder of a copy that
// crashed holds, and its banks saved as MXV files, for a user without a
// window.
#pragma once

#include "cli/CliCommands.h"

// Returns the exit status; `args` are the words after "recover".
int RunRecover(const KWords& args);
