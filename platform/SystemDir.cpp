#include "platform/SystemDir.h"

#include <sys/stat.h>

#include <cerrno>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <vector>

namespace platform {
namespace {

std::string Env(const char* name) {
  const char* v = std::getenv(name);
  return v ? std::string(v) : std::string();
}

std::string Home() {
  std::string home = Env("HOME");
  return home.empty() ? std::string("/tmp") : home;
}

}  // namespace

std::string SystemDirectory() {
  std::string dir = Env("MELOTRIX_SYSTEM_DIR");
  if (!dir.empty()) return dir;
  std::string cache = Env("XDG_CACHE_HOME");
  if (cache.empty()) cache = Home() + "/.cache";
  return cache + "/melotrix";
}

std::string SwapFolder() { return SystemDirectory() + "/SYS_DATA"; }

bool EnsureFolder(const std::string& folder, int shared) {
  if (folder.empty()) return false;
  // Where the name of each folder of the path ends.
  std::vector<size_t> ends;
  for (size_t at = 1; at <= folder.size(); ++at)
    if ((at == folder.size() || folder[at] == '/') && folder[at - 1] != '/') ends.push_back(at);
  for (size_t k = 0; k < ends.size(); ++k) {
    const std::string part = folder.substr(0, ends[k]);
    const bool made = mkdir(part.c_str(), 0700) == 0;
    if (!made && errno != EEXIST) return false;
    // Set after mkdir, whose mode the umask would cut.
    if (made && int64_t(ends.size() - k) <= shared && chmod(part.c_str(), 01777) != 0) return false;
  }
  struct stat st {};
  return stat(folder.c_str(), &st) == 0 && S_ISDIR(st.st_mode);
}

std::string DefaultVoiceFileName(int bankNumber) {
  char name[32];
  std::snprintf(name, sizeof name, "/Bank%03d.MXV", bankNumber);
  return Home() + name;
}

}  // namespace platform
