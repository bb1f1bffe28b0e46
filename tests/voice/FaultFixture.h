// What the fault tests share: a small disk of its own (a tmpfs, where the
// test may mount one), folder permissions that hold for root too, a progress
// window whose first step runs a fault, and counts of the files a failure
// must not leave behind.
#pragma once

#include <linux/capability.h>
#include <sys/mount.h>
#include <sys/statvfs.h>
#include <sys/syscall.h>
#include <unistd.h>

#include <cerrno>
#include <cstring>
#include <filesystem>
#include <functional>
#include <memory>

#include "VoiceTests.h"

// A tmpfs of `bytes` mounted on `folder` for the life of the object.
class KSmallDisk {
 public:
  KSmallDisk(const std::string& folder, size_t bytes) : folder_(folder) {
    std::filesystem::create_directories(folder);
    const std::string options = "size=" + std::to_string(bytes);
    mounted_ = mount("tmpfs", folder.c_str(), "tmpfs", MS_NOSUID | MS_NODEV, options.c_str()) == 0;
    error_ = errno;
  }
  ~KSmallDisk() {
    if (mounted_) umount2(folder_.c_str(), MNT_DETACH);
  }
  KSmallDisk(const KSmallDisk&) = delete;
  KSmallDisk& operator=(const KSmallDisk&) = delete;

  bool Mounted() const { return mounted_; }
  std::string Why() const {
    return std::string("skipped: a small disk needs a tmpfs mount, which was refused (") + std::strerror(error_) +
           "); as root, as in CI, it runs";
  }
  // Fills the disk with one file until about `room` bytes are left.
  bool LeaveRoom(size_t room) {
    struct statvfs fs {};
    if (statvfs(folder_.c_str(), &fs) != 0) return false;
    const int64_t free = int64_t(fs.f_bavail) * int64_t(fs.f_frsize) - int64_t(room);
    if (free <= 0) return true;
    const std::string filler = folder_ + "/filler";
    FILE* f = std::fopen(filler.c_str(), "wb");
    const bool filled = f && posix_fallocate(fileno(f), 0, free) == 0;
    if (f) std::fclose(f);
    return filled;
  }

 private:
  std::string folder_;
  bool mounted_ = false;
  int error_ = 0;
};

// Root passes every folder permission; for the scope the capabilities that
// let it do so are dropped from the effective set (the permitted set keeps
// them, so they come back at the end).
class KPermissionsApply {
 public:
  KPermissionsApply() {
    if (geteuid() != 0 || syscall(SYS_capget, &header_, old_) != 0) return;
    __user_cap_data_struct lower[2] = {old_[0], old_[1]};
    lower[0].effective &= ~((1u << CAP_DAC_OVERRIDE) | (1u << CAP_DAC_READ_SEARCH));
    dropped_ = syscall(SYS_capset, &header_, lower) == 0;
  }
  ~KPermissionsApply() {
    if (dropped_) syscall(SYS_capset, &header_, old_);
  }
  KPermissionsApply(const KPermissionsApply&) = delete;
  KPermissionsApply& operator=(const KPermissionsApply&) = delete;

  // False for root when the capabilities could not be dropped.
  bool Applies() const { return geteuid() != 0 || dropped_; }

 private:
  __user_cap_header_struct header_{_LINUX_CAPABILITY_VERSION_3, 0};
  __user_cap_data_struct old_[2]{};
  bool dropped_ = false;
};

// A progress window that is always visible; once a fault is armed, the
// first bar step under the progress title `when` runs it (in the middle of
// a copy or an edit).
struct KFaultUi : KUiHooks {
  bool ProgressVisible() const override { return true; }
  void ProgressTitle(const std::string& title) override { current = title; }
  void ProgressBar(int) override {
    if (!fault || current != when) return;
    std::function<void()> now = std::move(fault);
    fault = nullptr;
    now();
  }
  void Arm(const std::string& title, std::function<void()> run) {
    when = title;
    fault = std::move(run);
  }
  std::string current, when;
  std::function<void()> fault;
};

class FaultFixture : public VoiceTests {
 protected:
  // A bank set on `swap` whose progress window runs `ui_.fault`; bank 1 current.
  std::unique_ptr<KBankSet> MakeSet(const std::string& swap) {
    auto set = std::make_unique<KBankSet>(
        swap, KHeadlessVoice::Factory([this](const std::string& text) { messages_.push_back(text); }), &ui_);
    set->SelectBank(1);
    return set;
  }
  static size_t FilesIn(const std::string& folder) {
    std::error_code error;
    size_t n = 0;
    for (std::filesystem::directory_iterator it(folder, error), end; !error && it != end; it.increment(error)) ++n;
    return n;
  }

  KFaultUi ui_;
};
