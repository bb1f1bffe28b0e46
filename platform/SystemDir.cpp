#include "platform/SystemDir.h"

#include <sys/stat.h>

#include <cerrno>
#include <cstdio>
#include <cstdlib>

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

bool EnsureFolder(const std::string& folder) {
  if (folder.empty()) return false;
  for (size_t at = 1; at <= folder.size(); ++at) {
    if (at < folder.size() && folder[at] != '/') continue;
    std::string part = folder.substr(0, at);
    if (mkdir(part.c_str(), 0700) != 0 && errno != EEXIST) return false;
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
