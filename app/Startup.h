// The window program's run from start-up to shutdown, in the designed
// order: the single-instance rule, the OEM name, the file-type entries, the
// swap folder, the voices and windows, bank 1, the colours; then the message
// loop; then the colours saved, the wave devices closed and every swap file
// removed with the voices.
#pragma once

int RunMelotrix(int argc, char** argv);
