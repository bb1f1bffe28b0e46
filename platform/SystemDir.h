// Where Melotrix keeps its swap files, and the default voice file names.
#pragma once

#include <string>

namespace platform {

// $MELOTRIX_SYSTEM_DIR, else $XDG_CACHE_HOME/melotrix, else ~/.cache/melotrix.
std::string SystemDirectory();
// The SYS_DATA folder of the system directory.
std::string SwapFolder();
// Creates the folder and its parents when missing; false when it cannot.
// Of the folders it makes, those among the last `shared` of the path are
// sticky and writable by everyone (mode 1777, as the system's temporary
// folder is), so that every user's copies can work in them; the others are
// the user's alone (0700). Folders that exist are left as they are.
bool EnsureFolder(const std::string& folder, int shared = 0);
// $HOME/Bank%03d.MXV
std::string DefaultVoiceFileName(int bankNumber);

}  // namespace platform
