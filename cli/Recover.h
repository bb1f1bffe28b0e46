// The "recover" mode of melotrix-cli: what the run folder of a copy that
// crashed holds, and its banks saved as MXV or WAV files, for a user without
// a window. It never follows a link out of the folder, never replaces a file
// unasked, and leaves the folder for the window.
#pragma once

#include "cli/CliCommands.h"

// Returns the exit status; `args` are the words after "recover".
int RunRecover(const KWords& args);
