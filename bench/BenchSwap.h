// A private swap folder for one benchmark, removed afterwards.
#pragma once

#include <cstdlib>
#include <filesystem>
#include <string>

class BenchSwap {
 public:
  BenchSwap() {
    std::string pattern = (std::filesystem::temp_directory_path() / "melotrix-bench-XXXXXX").string();
    path_ = mkdtemp(pattern.data()) ? pattern : std::string(".");
  }
  ~BenchSwap() {
    std::error_code ignored;
    std::filesystem::remove_all(path_, ignored);
  }
  const std::string& Path() const { return path_; }

 private:
  std::string path_;
};
