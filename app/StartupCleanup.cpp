#include "app/StartupCleanup.h"

#include <filesystem>

namespace {

bool IsUpperHex(char c) { return (c >= '0' && c <= '9') || (c >= 'A' && c <= 'F'); }

}  // namespace

bool IsSwapFileName(std::string_view name) {
  constexpr std::string_view kPrefix = "SY$";
  constexpr size_t kLength = 3 + 8 + 1, kDot = kLength - 4;
  if (name.size() != kLength || name.substr(0, kPrefix.size()) != kPrefix || name[kDot] != '.') return false;
  for (size_t at = kPrefix.size(); at < kLength; ++at)
    if (at != kDot && !IsUpperHex(name[at])) return false;
  return true;
}

int RemoveLeftoverSwapFiles(const std::string& folder) {
  namespace fs = std::filesystem;
  std::error_code error;
  int removed = 0;
  for (fs::directory_iterator it(folder, error), end; !error && it != end; it.increment(error)) {
    // symlink_status: a link or a folder with a swap file's name is not one of ours.
    std::error_code ignored;
    if (!fs::is_regular_file(it->symlink_status(ignored))) continue;
    if (!IsSwapFileName(it->path().filename().string())) continue;
    if (fs::remove(it->path(), ignored)) ++removed;
  }
  return removed;
}
