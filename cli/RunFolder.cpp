#include "cli/RunFolder.h"

#include <cerrno>
#include <cstdlib>
#include <cstring>
#include <filesystem>

#include "platform/SystemDir.h"

KRunFolder::~KRunFolder() {
  if (path_.empty()) return;
  std::error_code ignored;
  std::filesystem::remove_all(path_, ignored);
}

bool KRunFolder::Create(std::string& error) {
  std::string base = platform::SwapFolder();
  std::string pattern = base + "/cli-XXXXXX";
  if (!platform::EnsureFolder(base) || !mkdtemp(pattern.data())) {
    error = "cannot create a swap folder in " + base + ": " + std::strerror(errno);
    return false;
  }
  path_ = pattern;
  return true;
}
