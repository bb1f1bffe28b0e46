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

// Claims every run folder in `base` whose copy is gone and removes the
// named temporaries its journal lists. Folders of the front end and those
// that hold no work are removed; the window's folders that hold work are
// returned, the newest journal first.
std::vector<KCrashedRun> SweepRunFolders(const std::string& base);
