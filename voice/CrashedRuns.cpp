#include "voice/CrashedRuns.h"

#include <sys/stat.h>

#include <algorithm>

namespace {

int64_t JournalTime(const KRunFolder& folder) {
  struct stat st {};
  const std::string path = folder.Path() + "/" + KJournal::kFileName;
  return stat(path.c_str(), &st) == 0 ? int64_t(st.st_mtim.tv_sec) * 1000000000 + st.st_mtim.tv_nsec : 0;
}

}  // namespace

std::vector<KCrashedRun> SweepRunFolders(const std::string& base, const std::string& prefix) {
  std::vector<KCrashedRun> kept;
  for (std::unique_ptr<KRunFolder>& folder : KRunFolder::Orphans(base, prefix)) {
    KJournalRecord record;
    bool missing = false;
    const bool read = bool(ReadJournal(folder->Path(), record, &missing));
    if (!read && !missing) folder->Leave();
    if (read) RemoveTemporaries(record);
    if (read && record.HoldsWork() && folder->Prefix() == KRunFolder::kWindowPrefix)
      kept.push_back({std::move(folder), std::move(record)});
  }
  std::stable_sort(kept.begin(), kept.end(), [](const KCrashedRun& a, const KCrashedRun& b) {
    return JournalTime(*a.Folder) > JournalTime(*b.Folder);
  });
  return kept;
}
