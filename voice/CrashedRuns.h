// The run folders that copies which are gone left in the swap folder: a
// crash, a kill or a power failure ended them before they could remove
// their folders.
#pragma once

#include <memory>
#include <string>
#include <vector>

#include "platform/RunFolder.h"
#include "voice/Journal.h"

struct KCrashedRun {
  std::unique_ptr<KRunFolder> Folder;  // claimed: removed when dropped unless left
  KJournalRecord Record;
};

// Claims every run folder in `base` whose name begins with `prefix` (any
// copy's when empty) and whose copy is gone, and removes the named
// temporaries its journal lists. Folders of the front end, those that hold
// no work and those without a journal (a run that ended removes its journal
// first) are removed; a folder whose journal is damaged is left as it is,
// since what it holds cannot be told. The window's folders that hold work
// are returned, the newest journal first.
std::vector<KCrashedRun> SweepRunFolders(const std::string& base, const std::string& prefix = "");
