#include "cli/RunFolder.h"

#include <signal.h>
#include <unistd.h>

#include <cerrno>
#include <cstdlib>
#include <cstring>
#include <filesystem>

#include "platform/SystemDir.h"

namespace {

constexpr const char* kPrefix = "cli-";

// A run that was killed could not remove its folder (named after its
// process id); whoever starts next removes the folders of runs that are gone.
void RemoveLeftovers(const std::string& base) {
  std::error_code error;
  for (const auto& entry : std::filesystem::directory_iterator(base, error)) {
    std::string name = entry.path().filename().string();
    if (name.rfind(kPrefix, 0) != 0) continue;
    char* end = nullptr;
    long pid = std::strtol(name.c_str() + std::strlen(kPrefix), &end, 10);
    if (pid <= 0 || *end != '-' || pid > INT32_MAX) continue;
    if (kill(pid_t(pid), 0) != 0 && errno == ESRCH) std::filesystem::remove_all(entry.path(), error);
  }
}

}  // namespace

KRunFolder::~KRunFolder() {
  if (path_.empty()) return;
  std::error_code ignored;
  std::filesystem::remove_all(path_, ignored);
}

bool KRunFolder::Create(std::string& error) {
  std::string base = platform::SwapFolder();
  std::string pattern = base + "/" + kPrefix + std::to_string(getpid()) + "-XXXXXX";
  if (!platform::EnsureFolder(base) || !mkdtemp(pattern.data())) {
    error = "cannot create a swap folder in " + base + ": " + std::strerror(errno);
    return false;
  }
  path_ = pattern;
  RemoveLeftovers(base);
  return true;
}
