#include "platform/RunFolder.h"

#include <fcntl.h>
#include <signal.h>
#include <sys/file.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <climits>
#include <cstdlib>
#include <cstring>
#include <filesystem>

#include "platform/SystemDir.h"

namespace {

namespace fs = std::filesystem;

constexpr const char* kLockName = "/lock";
// The swap folder and the system folder above it, which every user's copies
// share when they share a system folder.
constexpr int kSharedFolders = 2;

bool HasPrefix(const std::string& name, const char* prefix) { return name.rfind(prefix, 0) == 0; }

// The process id in a run folder's name, 0 when there is none.
pid_t NamedProcess(const std::string& name) {
  const size_t dash = name.find('-');
  if (dash == std::string::npos) return 0;
  char* end = nullptr;
  long pid = std::strtol(name.c_str() + dash + 1, &end, 10);
  return pid > 0 && pid <= INT32_MAX && *end == '-' ? pid_t(pid) : 0;
}

bool ProcessGone(pid_t pid) { return pid > 0 && kill(pid, 0) != 0 && errno == ESRCH; }

}  // namespace

KRunFolder::~KRunFolder() {
  if (!Held()) return;
  std::error_code ignored;
  fs::remove_all(path_, ignored);
  Leave();
}

void KRunFolder::Leave() {
  if (lock_ >= 0) ::close(lock_);
  lock_ = -1;
}

// Locks `path`/lock (made when `wait`, which also waits for the lock) and
// checks that the file locked is still the one of that name: a copy cleaning
// up removes a folder while it holds the lock, and whoever waited for it
// then holds the lock of a file that is gone.
bool KRunFolder::LockAt(const std::string& path, bool wait) {
  const std::string name = path + kLockName;
  int fd = ::open(name.c_str(), O_RDWR | O_CLOEXEC | O_NOFOLLOW | (wait ? O_CREAT : 0), 0600);
  if (fd < 0) return false;
  struct stat held {
  }, named{};
  if (flock(fd, LOCK_EX | (wait ? 0 : LOCK_NB)) != 0 || fstat(fd, &held) != 0 || lstat(name.c_str(), &named) != 0 ||
      held.st_ino != named.st_ino || held.st_dev != named.st_dev) {
    ::close(fd);
    return false;
  }
  Leave();
  path_ = path;
  lock_ = fd;
  return true;
}

bool KRunFolder::Create(const std::string& base, const char* prefix, std::string& error) {
  for (int attempt = 0; attempt < 100; ++attempt) {
    std::string pattern = base + "/" + prefix + std::to_string(getpid()) + "-XXXXXX";
    if (!platform::EnsureFolder(base, kSharedFolders) || !mkdtemp(pattern.data())) break;
    if (LockAt(pattern, true)) return true;
  }
  error = "cannot create a swap folder in " + base + ": " + std::strerror(errno);
  return false;
}

bool KRunFolder::Claim(const std::string& path) { return LockAt(path, false); }

std::string KRunFolder::Prefix() const {
  const std::string name = fs::path(path_).filename().string();
  const size_t dash = name.find('-');
  return dash == std::string::npos ? std::string() : name.substr(0, dash + 1);
}

std::vector<std::unique_ptr<KRunFolder>> KRunFolder::Orphans(const std::string& base, const std::string& prefix) {
  std::vector<std::unique_ptr<KRunFolder>> orphans;
  std::error_code error;
  for (fs::directory_iterator it(base, error), end; !error && it != end; it.increment(error)) {
    // By the name first, with no call to the system: a start that looks for
    // one kind of copy passes the folders of the other kind at no cost.
    const std::string name = it->path().filename().string();
    if ((!HasPrefix(name, kWindowPrefix) && !HasPrefix(name, kFrontEndPrefix)) || !HasPrefix(name, prefix.c_str()) ||
        NamedProcess(name) == 0)
      continue;
    // In a swap folder that users share, another user's folders are theirs.
    const std::string path = it->path().string();
    struct stat st {};
    if (lstat(path.c_str(), &st) != 0 || !S_ISDIR(st.st_mode) || st.st_uid != geteuid()) continue;
    std::error_code ignored;
    if (!fs::exists(fs::symlink_status(path + kLockName, ignored))) {
      // Made before locks were, or its copy ended before it could lock it.
      if (ProcessGone(NamedProcess(name))) fs::remove_all(path, ignored);
      continue;
    }
    auto folder = std::make_unique<KRunFolder>();
    if (folder->Claim(path)) orphans.push_back(std::move(folder));
  }
  return orphans;
}
