// What the window tests share: a fresh user's folders, waits, the real window.
#pragma once

#include <gtest/gtest.h>
#include <signal.h>
#include <spawn.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include <QApplication>
#include <QDialog>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QLineEdit>
#include <QPushButton>
#include <QTimer>
#include <chrono>
#include <filesystem>
#include <fstream>
#include <memory>
#include <optional>
#include <thread>

#include "app/MainWindow.h"
#include "support/TempDir.h"
#include "support/Waiting.h"

extern char** environ;

// Sets an environment variable for one scope and puts the old value back.
class KEnvironmentValue {
 public:
  KEnvironmentValue(const char* name, const std::string& value) : name_(name) {
    if (qEnvironmentVariableIsSet(name)) old_ = qgetenv(name);
    qputenv(name, QByteArray::fromStdString(value));
  }
  ~KEnvironmentValue() { old_ ? qputenv(name_, *old_) : qunsetenv(name_); }

 private:
  const char* name_;
  std::optional<QByteArray> old_;
};

// One user's fresh folders: this process's environment points at them while
// the object lives, so the programs it starts (without a sound device) use them too.
class KDesktop {
 public:
  KDesktop() {
    const char* const names[] = {"HOME",          "XDG_CONFIG_HOME", "XDG_CACHE_HOME",     "XDG_DATA_HOME",
                                 "XDG_DATA_DIRS", "XDG_RUNTIME_DIR", "MELOTRIX_SYSTEM_DIR"};
    const char* const folders[] = {"home", "config", "cache", "data", "share", "runtime", "system"};
    for (size_t k = 0; k < std::size(names); ++k) {
      std::filesystem::create_directories(dir_ / folders[k]);
      values_.push_back(std::make_unique<KEnvironmentValue>(names[k], dir_ / folders[k]));
    }
    chmod((dir_ / "runtime").c_str(), 0700);
    values_.push_back(std::make_unique<KEnvironmentValue>("MELOTRIX_PCM", "nosuchpcm"));
  }
  // A program a failed assertion left running is killed.
  ~KDesktop() {
    while (!running_.empty()) ExitStatus(running_.front(), 0);
  }
  std::string operator/(const std::string& name) const { return dir_ / name; }
  QString Path(const std::string& name) const { return QString::fromStdString(dir_ / name); }

  pid_t Start(std::vector<std::string> argv) {
    std::vector<char*> args;
    for (std::string& a : argv) args.push_back(a.data());
    args.push_back(nullptr);
    pid_t pid = -1;
    if (posix_spawn(&pid, args[0], nullptr, nullptr, args.data(), environ) != 0) return -1;
    running_.push_back(pid);
    return pid;
  }
  // The exit status of `pid`, or 256 + the signal that ended it (SIGKILL after the deadline).
  int ExitStatus(pid_t pid, int seconds = 60) {
    std::erase(running_, pid);
    const int status = ReapChild(pid, seconds);
    return WIFEXITED(status) ? WEXITSTATUS(status) : 256 + WTERMSIG(status);
  }

 private:
  TempDir dir_;
  std::vector<std::unique_ptr<KEnvironmentValue>> values_;
  std::vector<pid_t> running_;
};

// Runs `answer`, which must close it, once the modal `dialog` has opened.
inline void WhenShown(QDialog& dialog, std::function<void()> answer) {
  auto* timer = new QTimer(&dialog);
  timer->setInterval(5);
  QObject::connect(timer, &QTimer::timeout, &dialog, [timer, &dialog, answer] {
    if (!dialog.isVisible()) return;
    timer->stop();
    timer->deleteLater();
    answer();
  });
  timer->start();
}

inline void Click(QWidget& parent, const char* button) { parent.findChild<QPushButton*>(button)->click(); }

// Silent mono 16-bit frames in `bank` of `window`, all marked.
inline KPcmFiles& Give(TFormMain& window, int bank, int frames) {
  KPcmFiles& v = window.Banks().Bank(bank);
  v.Channels = 1;
  v.BitsPerSample = 16;
  EXPECT_TRUE(v.Storage->Resize(frames * 2));
  v.END = v.MKR = frames;
  v.MKL = v.FLG = v.ZiStart = 1;
  v.OverviewStale = true;
  return v;
}

// The real main window on `Audio`, swapping into a private folder, bank 1 current.
template <typename Audio>
class KWindowFixture : public ::testing::Test {
 protected:
  KWindowFixture() { window_.Banks().SelectBank(1); }

  TempDir dir_;
  Audio audio_;
  TFormMain window_{dir_.Path(), audio_};
};
