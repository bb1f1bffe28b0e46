// KSafeFileWriter: writes a file so that a failure never harms the file it
// replaces. Everything goes into a new temporary file in the target's
// folder; Commit() checks the flush and the close and only then renames it
// over the target. A writer that is not committed removes its temporary.
#pragma once

#include <cstddef>
#include <cstdint>
#include <memory>
#include <string>

#include "platform/PlainFile.h"

class KSafeFileWriter {
 public:
  explicit KSafeFileWriter(const std::string& target);
  ~KSafeFileWriter();
  KSafeFileWriter(const KSafeFileWriter&) = delete;
  KSafeFileWriter& operator=(const KSafeFileWriter&) = delete;

  // False when no temporary file could be made.
  bool IsOpen() const { return file_ && file_->IsOpen(); }
  KPlainFile& File() { return *file_; }
  // Flushes and closes the temporary and renames it over the target.
  bool Commit();
  // Removes the temporaries of every writer not yet committed or discarded,
  // and makes later writers fail to open: for a process that is being ended
  // by a signal.
  static void RemoveTemporaries();

 private:
  void Discard();

  std::string target_;
  std::string temp_;
  bool created_ = false;
  std::unique_ptr<KPlainFile> file_;
};
