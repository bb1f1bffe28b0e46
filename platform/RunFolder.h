// A run folder: the folder of one running copy (the window or the front
// end) inside the swap folder, holding that copy's swap files and journal.
// The copy keeps a lock (flock on the file "lock" inside it) for its whole
// life, so that another copy can tell a live folder from one whose copy is
// gone, whoever started either of them. A folder object that holds the lock
// removes the folder with everything in it when it is destroyed, unless it
// was left.
#pragma once

#include <memory>
#include <string>
#include <vector>

class KRunFolder {
 public:
  static constexpr const char* kWindowPrefix = "win-";
  static constexpr const char* kFrontEndPrefix = "cli-";

  KRunFolder() = default;
  ~KRunFolder();
  KRunFolder(const KRunFolder&) = delete;
  KRunFolder& operator=(const KRunFolder&) = delete;

  // Makes and locks a new folder "PREFIX" + process id + "-XXXXXX", the
  // user's alone, in the swap folder `base`. The swap folder and the system
  // folder above it are made shared (see platform::EnsureFolder) when
  // missing. False, with `error` naming the folder and the reason, when it
  // cannot be made.
  bool Create(const std::string& base, const char* prefix, std::string& error);
  // Locks the existing run folder `path`; false when a live copy holds it
  // (or it is no run folder).
  bool Claim(const std::string& path);
  // Unlocks the folder and leaves it in place.
  void Leave();

  const std::string& Path() const { return path_; }
  bool Held() const { return lock_ >= 0; }
  // The part of the name before the process id ("win-", "cli-").
  std::string Prefix() const;

  // The run folders in `base` whose names begin with `prefix` (any copy's
  // when empty), that this user made and whose copies are gone, each
  // claimed. Folders of an older layout without a lock file count as gone
  // when the process their name holds has ended.
  static std::vector<std::unique_ptr<KRunFolder>> Orphans(const std::string& base, const std::string& prefix = "");

 private:
  bool LockAt(const std::string& path, bool wait);

  std::string path_;
  int lock_ = -1;
};
