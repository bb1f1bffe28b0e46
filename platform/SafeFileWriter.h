// KSafeFileWriter: writes a file so that a failure never harms the file it
// replaces, and a crash leaves nothing behind. Everything goes into a new
// temporary file in the target's folder, made without a name (O_TMPFILE)
// where the file system allows it; Commit() checks the flush and the close,
// names the temporary and only then renames it over the target. A writer
// that is not committed removes its temporary. The log it is given notes
// every name a temporary gets before the file gets it, and forgets it once
// the name is gone, so that whoever cleans up after a crash finds every
// temporary the crash left in the log.
#pragma once

#include <cstddef>
#include <cstdint>
#include <memory>
#include <string>

#include "platform/PlainFile.h"

class KTemporaryLog {
 public:
  virtual ~KTemporaryLog() = default;
  virtual void Noted(const std::string& path) = 0;
  virtual void Forgotten(const std::string& path) = 0;
};

class KSafeFileWriter {
 public:
  // `log` may be null; `unnamed` false makes a named temporary at once.
  explicit KSafeFileWriter(const std::string& target, KTemporaryLog* log = nullptr, bool unnamed = true);
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
  bool OpenUnnamed();
  // Gives the temporary a name: a new file of that name, or (`link`) a
  // link to the open unnamed temporary.
  bool GiveName(bool link);
  // Makes the file `name` as GiveName says; 0, or the errno of the failure.
  int Make(const std::string& name, bool link);
  void Discard();

  std::string target_;
  std::string folder_;
  std::string temp_;  // empty while the temporary has no name
  bool created_ = false;
  bool noted_ = false;  // the log holds temp_
  KTemporaryLog* log_ = nullptr;
  std::unique_ptr<KPlainFile> file_;
};
