#include "platform/SafeFileWriter.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <atomic>
#include <cerrno>
#include <cstdio>
#include <filesystem>
#include <mutex>
#include <set>

namespace {

// The named temporaries that exist right now, for RemoveTemporaries. Once
// that has run (the program is ending) no new one is made: a save still
// running on another thread could otherwise leave one behind.
struct KLiveTemporaries {
  std::mutex Mutex;
  std::set<std::string> Paths;
  bool Ending = false;
};
KLiveTemporaries& Live() {
  static KLiveTemporaries live;
  return live;
}
void Forget(const std::string& temp) {
  std::lock_guard<std::mutex> lock(Live().Mutex);
  Live().Paths.erase(temp);
}

// Not built from the target's name, which may already be as long as a name can be.
std::string TemporaryName() {
  static std::atomic<unsigned> counter{0};
  char name[48];
  std::snprintf(name, sizeof name, ".melotrix-%d-%u.tmp", int(getpid()), counter++);
  return name;
}

// The file a save really replaces: the end of a symbolic link, so that a
// linked voice file is updated instead of the link being overwritten. Empty
// for a link that leads nowhere it can be followed (a loop).
std::string ResolvedTarget(const std::string& target) {
  std::error_code error;
  if (!std::filesystem::is_symlink(target, error)) return target;
  std::filesystem::path resolved = std::filesystem::weakly_canonical(target, error);
  return error ? std::string() : resolved.string();
}

}  // namespace

KSafeFileWriter::KSafeFileWriter(const std::string& target, KTemporaryLog* log, bool unnamed)
    : target_(ResolvedTarget(target)), log_(log) {
  struct stat st {};
  const bool exists = !target_.empty() && stat(target_.c_str(), &st) == 0;
  // Only a regular file is replaced: a folder, a device or a FIFO stays what
  // it is, and so does a file the user may not write (as it would when
  // written in place).
  if (target_.empty() || (exists && (!S_ISREG(st.st_mode) || access(target_.c_str(), W_OK) != 0))) return;
  size_t slash = target_.rfind('/');
  folder_ = slash == std::string::npos ? std::string() : target_.substr(0, slash + 1);
  created_ = (unnamed && OpenUnnamed()) || GiveName(false);
  if (created_) file_->WriteBehind();
  // A replaced file keeps its permissions.
  if (created_ && exists && fchmod(file_->Fd(), st.st_mode & 07777) != 0) Discard();
}

KSafeFileWriter::~KSafeFileWriter() { Discard(); }

// The name is given by linkat through /proc, so both must work.
bool KSafeFileWriter::OpenUnnamed() {
  if (access("/proc/self/fd", X_OK) != 0) return false;
  std::lock_guard<std::mutex> lock(Live().Mutex);
  if (Live().Ending) return false;
  file_ = std::make_unique<KPlainFile>(KPlainFile::CreateUnnamed{}, folder_.empty() ? std::string(".") : folder_);
  return file_->IsOpen();
}

// The log notes the name before the file has it and forgets it when the
// file could not get it, so that a crash at any moment leaves no temporary
// the log does not hold.
bool KSafeFileWriter::GiveName(bool link) {
  for (int attempt = 0; attempt < 100; ++attempt) {
    const std::string name = folder_ + TemporaryName();
    if (log_) log_->Noted(name);
    const int error = Make(name, link);
    if (error == 0) {
      temp_ = name;
      noted_ = log_ != nullptr;
      return true;
    }
    if (log_) log_->Forgotten(name);
    if (error != EEXIST) return false;
  }
  return false;
}

// Made and listed in one step, so that RemoveTemporaries sees every one.
// The unnamed temporary is linked through /proc (OpenUnnamed checked it).
int KSafeFileWriter::Make(const std::string& name, bool link) {
  std::lock_guard<std::mutex> lock(Live().Mutex);
  if (Live().Ending) return ECANCELED;
  if (link) {
    const std::string open = "/proc/self/fd/" + std::to_string(file_->Fd());
    if (linkat(AT_FDCWD, open.c_str(), AT_FDCWD, name.c_str(), AT_SYMLINK_FOLLOW) != 0) return errno;
  } else {
    auto file = std::make_unique<KPlainFile>(KPlainFile::Create{}, name);
    if (!file->IsOpen()) return errno;
    file_ = std::move(file);
  }
  Live().Paths.insert(name);
  return 0;
}

void KSafeFileWriter::Discard() {
  if (!created_) return;
  file_->Close();
  if (!temp_.empty()) {
    ::unlink(temp_.c_str());
    Forget(temp_);
  }
  if (noted_) log_->Forgotten(temp_);
  created_ = noted_ = false;
}

bool KSafeFileWriter::Commit() {
  if (!IsOpen()) return false;
  bool written = fdatasync(file_->Fd()) == 0;
  bool named = written && (!temp_.empty() || GiveName(true));
  bool closed = file_->Close();
  if (!named || !closed || std::rename(temp_.c_str(), target_.c_str()) != 0) return false;
  Forget(temp_);
  if (noted_) log_->Forgotten(temp_);
  created_ = noted_ = false;
  return true;
}

void KSafeFileWriter::RemoveTemporaries() {
  std::lock_guard<std::mutex> lock(Live().Mutex);
  Live().Ending = true;
  for (const std::string& temp : Live().Paths) ::unlink(temp.c_str());
}
