// The "info" and "convert" modes of melotrix-cli: files loaded and saved by
// their extension through the same commands a script would use.
#pragma once

#include "cli/CliCommands.h"

// Both return the exit status; `args` are the words after the mode's name.
int RunInfo(const KWords& args);
int RunConvert(const KWords& args);
