// Points XDG_CONFIG_HOME, XDG_DATA_HOME and XDG_RUNTIME_DIR at fresh folders
// for one test and puts the old values back afterwards.
#pragma once

#include <sys/stat.h>

#include <QByteArray>
#include <QString>
#include <string>

#include "support/TempDir.h"

class KEnvironmentValue {
 public:
  KEnvironmentValue(const char* name, const std::string& value)
      : name_(name), had_(qEnvironmentVariableIsSet(name)), old_(qgetenv(name)) {
    qputenv(name, QByteArray::fromStdString(value));
  }
  ~KEnvironmentValue() {
    if (had_)
      qputenv(name_, old_);
    else
      qunsetenv(name_);
  }
  KEnvironmentValue(const KEnvironmentValue&) = delete;
  KEnvironmentValue& operator=(const KEnvironmentValue&) = delete;

 private:
  const char* name_;
  bool had_;
  QByteArray old_;
};

class KXdgFolders {
 public:
  KXdgFolders() { chmod(runtime_.Path().c_str(), 0700); }

  QString Config() const { return QString::fromStdString(config_.Path()); }
  QString Data() const { return QString::fromStdString(data_.Path()); }
  QString Runtime() const { return QString::fromStdString(runtime_.Path()); }

 private:
  TempDir config_, data_, runtime_;
  KEnvironmentValue configHome_{"XDG_CONFIG_HOME", config_.Path()};
  KEnvironmentValue dataHome_{"XDG_DATA_HOME", data_.Path()};
  KEnvironmentValue runtimeDir_{"XDG_RUNTIME_DIR", runtime_.Path()};
};
