// A private swap folder for one run of melotrix-cli inside the system's
// swap folder, so that two runs never see each other's files. It is removed
// with whatever is left in it when the run ends; folders left by runs that
// were killed are removed by the next run.
#pragma once

#include <string>

class KRunFolder {
 public:
  KRunFolder() = default;
  ~KRunFolder();
  KRunFolder(const KRunFolder&) = delete;
  KRunFolder& operator=(const KRunFolder&) = delete;

  // False, with `error` naming the folder and the reason, when it cannot be made.
  bool Create(std::string& error);
  const std::string& Path() const { return path_; }

 private:
  std::string path_;
};
