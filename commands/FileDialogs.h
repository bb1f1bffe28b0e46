// What the File menu's open and save dialogs show for each command: title,
// filter, the file name shown first and, for saving, the default extension.
#pragma once

#include <optional>
#include <string>

#include "commands/CommandIds.h"

class KPcmFiles;

struct KFileDialogSetup {
  bool Save = false;          // the save dialog (overwrite prompt) or the open dialog (file must exist)
  std::string Title;          // "Load MXV"
  std::string Filter;         // "MXV file (*.MXV)| *.MXV; *.mxv | All file (*.*)| *.*"
  std::string FileName;       // "*.MXV", or the proposed name of a save
  std::string DefaultSuffix;  // "MXV" for a save, empty for a load
};

// The dialog of a load or save-as command on `voice`; none for other commands.
std::optional<KFileDialogSetup> FileDialogFor(KCommandId command, const KPcmFiles& voice);
