// Where Melotrix keeps its swap files, and the default voice file names.
#pragma once

#include <string>

namespace platform {

// $MELOTRIX_SYSTEM_DIR, else $XDG_CACHE_HOME/melotrix, else ~/.cache/melotrix.
std::string SystemDirectory();
// The SYS_DATA folder of the system directory.
std::string SwapFolder();
// Creates the folder and its parents when missing; false when it cannot.
bool EnsureFolder(const std::string& folder);
// $HOME/Bank%03d.MXV
std::string DefaultVoiceFileName(int bankNumber);

}  // namespace platform
