// KPcmMMap: one sample buffer kept in a swap file and reached through
// memory-mapped windows of at most 64 KB, with a sequential frame cursor and
// up to four raw views for the wave devices and the display.
#pragma once

#include <cstdint>
#include <memory>
#include <string>
#include <string_view>

#include "platform/CopyProgress.h"
#include "platform/Status.h"
#include "store/PcmCell.h"

class KPcmMMap {
 public:
  static constexpr int32_t kWindow = 65536;
  static constexpr int kMaxViews = 4;

  // A new swap file with a name unique among the files in `folder`.
  explicit KPcmMMap(const std::string& folder);
  // Opens `path` (or creates it empty); several stores may share one file.
  struct AtPath {};
  KPcmMMap(AtPath, const std::string& path);
  // A second store on the file `other` has open, even when its name was
  // removed or now names another file.
  struct SameFileAs {};
  KPcmMMap(SameFileAs, const KPcmMMap& other);
  ~KPcmMMap();
  KPcmMMap(const KPcmMMap&) = delete;
  KPcmMMap& operator=(const KPcmMMap&) = delete;

  // False when the file could not be created or opened: reads give silence
  // and writes fail. Status() tells why.
  bool Usable() const { return fd_ >= 0; }
  // Why the last step that failed did so (Ok while none has).
  const KStatus& Status() const { return status_; }
  int32_t Size() const { return size_; }
  // The file stays when the store goes: a run kept for a later restore.
  void KeepFile() { keep_ = true; }
  // False when another program cut the file shorter than Size(): the file
  // gets its length back (the lost bytes read as zeros) and Status() names it.
  bool Intact();

  // Sets the file's length; the disk space is reserved before it is mapped so
  // that a full disk fails here instead of on first touch. On failure the
  // store keeps its old length.
  bool Resize(int32_t bytes);
  // Sets the length without reserving the disk space, for a store that is
  // written whole through WriteBytes or a file copy at once: those report a
  // full disk themselves, and reserved blocks would have to be given back
  // when the file is deleted, where the file system may wait for its
  // journal.
  bool SetSize(int32_t bytes);

  bool Seek(int32_t p);

  // Decodes the frame at the cursor into `cell`; advances unless peeking.
  bool ReadNext(KPcmCell& cell, bool peek = false) {
    if (active_ && cur_ + cell.FrameBytes <= end_) {
      bool ok = cell.Decode(cur_);
      if (ok && !peek) Advance(cell.FrameBytes);
      return ok;
    }
    return ReadSlow(cell, peek);
  }
  // Encodes the cell's frame at the cursor; advances unless `poke`.
  bool WriteNext(const KPcmCell& cell, bool poke = false) {
    if (active_ && cur_ + cell.FrameBytes <= end_) {
      bool ok = cell.Encode(cur_);
      if (ok && !poke) Advance(cell.FrameBytes);
      return ok;
    }
    return WriteSlow(cell, poke);
  }
  bool CursorActive() const { return active_; }
  int32_t CursorPosition() const { return pos_; }

  // The bytes from the cursor to the end of its window, for walks that take
  // whole runs of frames at a time: where they lie (null while the cursor is
  // inactive) and how many there are.
  const uint8_t* WindowRun(int32_t& bytes) const {
    bytes = active_ ? int32_t(end_ - cur_) : 0;
    return active_ ? cur_ : nullptr;
  }
  // Moves the cursor on by `bytes` (at most to the window's end), as reading
  // that many bytes frame by frame would.
  void Skip(int32_t bytes) {
    if (active_) Advance(bytes);
  }
  // Writes `n` bytes at byte offset `at` (all within the store) through the
  // file; the mapped windows and views see them at once. A walk writes its
  // frames back a window at a time this way: a first write to a mapped page
  // costs a page fault per page, a write of a whole block costs one call.
  bool WriteBytes(int32_t at, const void* p, int32_t n);

  uint8_t* MapView(int32_t offset, int32_t length);
  bool UnmapView(const void* address);

  // Makes this store an exact copy of `source`, the copy counted (and the
  // bar set) in steps of 4096 bytes; the kernel copies the file itself
  // where it can.
  bool CopyFrom(KPcmMMap& source, KCopyProgress* progress = nullptr);

  std::string GetFileName() const { return name_; }
  // The name without its folder.
  std::string BaseName() const { return name_.substr(name_.rfind('/') + 1); }
  // True for the names stores give their files: "SY$" and eight upper-case
  // hexadecimal digits with a "." before the last three.
  static bool IsSwapFileName(std::string_view name);
  // A store in `folder` with the bytes of the file `path`: a second name of
  // that file where the file system allows it (the first name stays), else
  // a copy. Null when neither could be made.
  static std::unique_ptr<KPcmMMap> Adopt(const std::string& path, const std::string& folder);
  // A path that opens the file this store has open, even when its name was
  // removed or reused (/proc/self/fd/N; the name where there is no /proc).
  std::string OpenFilePath() const;

 private:
  void Open(const std::string& path, bool exclusive);
  bool SetLength(int32_t bytes, bool reserve);
  void Advance(int32_t n) {
    cur_ += n;
    pos_ += n;
    if (cur_ >= end_) Seek(pos_);
  }
  bool ReadSlow(KPcmCell& cell, bool peek);
  bool WriteSlow(const KPcmCell& cell, bool poke);
  void CloseCursor();
  void CloseViews();
  bool Fail(const char* what, int err);

  std::string name_;
  KStatus status_;
  int fd_ = -1;
  bool keep_ = false;
  int32_t size_ = 0;

  bool active_ = false;
  int32_t pos_ = 0;
  uint8_t* base_ = nullptr;  // mapped cursor window
  size_t baseLen_ = 0;
  uint8_t* cur_ = nullptr;
  uint8_t* end_ = nullptr;

  struct View {
    void* base = nullptr;
    size_t length = 0;
    uint8_t* user = nullptr;
  };
  View views_[kMaxViews];
};
