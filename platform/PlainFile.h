// KPlainFile: one open file of the voice file formats, read and written at
// explicit offsets with every transfer checked. Reading opens never block
// (a FIFO is refused, not waited for).
#pragma once

#include <cstddef>
#include <cstdint>
#include <string>

class KPlainFile {
 public:
  // Opens an existing regular file for reading, or for reading and writing.
  enum class Mode { Read, ReadWrite };
  KPlainFile(const std::string& path, Mode mode);
  // Creates a new file that must not exist yet (O_EXCL), mode 0666 less the umask.
  struct Create {};
  KPlainFile(Create, const std::string& path);
  // Creates a file without a name in `folder` (O_TMPFILE); not open where
  // the file system cannot.
  struct CreateUnnamed {};
  KPlainFile(CreateUnnamed, const std::string& folder);
  ~KPlainFile();
  KPlainFile(const KPlainFile&) = delete;
  KPlainFile& operator=(const KPlainFile&) = delete;

  bool IsOpen() const { return fd_ >= 0; }
  int Fd() const { return fd_; }
  // The length when the file was opened.
  int64_t Size() const { return size_; }

  // Exactly `n` bytes at `at`, or false (end of file, error).
  bool ReadAt(int64_t at, void* p, size_t n) const;
  bool WriteAt(int64_t at, const void* p, size_t n);
  // For a file that is flushed to the disk once written (a safe save): the
  // disk starts on what has been written every few megabytes, while the
  // rest is still being written, so that the flush at the end waits for
  // little more than the last of it.
  void WriteBehind() { writeBehind_ = true; }
  // Closes the file; false when the close reported an error.
  bool Close();

  static constexpr int64_t kWriteBehindBytes = 2 << 20;

 private:
  void StartWriteback(int64_t end);

  int fd_ = -1;
  int64_t size_ = 0;
  bool writeBehind_ = false;
  int64_t started_ = 0;  // writeback was started for the bytes before this offset
};
