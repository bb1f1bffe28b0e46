#include "app/FileNames.h"

#include <dirent.h>
#include <sys/stat.h>
#include <unistd.h>

#include <QFile>
#include <cerrno>
#include <vector>

std::string ArgumentFileName(const char* argument) {
  std::string name = argument;
  if (name.empty() || name.front() == '/') return name;
  std::vector<char> folder(4096);
  while (!getcwd(folder.data(), folder.size())) {
    if (errno != ERANGE) return name;
    folder.resize(folder.size() * 2);
  }
  return std::string(folder.data()) + "/" + name;
}

std::string UrlFileName(const QUrl& url) {
  // The encoded path keeps every byte as %XX, UTF-8 or not.
  return QByteArray::fromPercentEncoding(url.path(QUrl::FullyEncoded).toLatin1()).toStdString();
}

std::string ChosenFileName(const QString& name) {
  const QByteArray encoded = QFile::encodeName(name);
  struct stat st {};
  if (!name.contains(QChar::ReplacementCharacter) || lstat(encoded.constData(), &st) == 0) return encoded.toStdString();
  const qsizetype slash = encoded.lastIndexOf('/');
  const QByteArray folder = slash <= 0 ? QByteArray(slash == 0 ? "/" : ".") : encoded.left(slash);
  const QString wanted = name.mid(name.lastIndexOf(u'/') + 1);
  DIR* dir = opendir(folder.constData());
  if (!dir) return encoded.toStdString();
  std::vector<std::string> matches;
  while (const dirent* entry = readdir(dir))
    if (QFile::decodeName(entry->d_name) == wanted) matches.emplace_back(entry->d_name);
  closedir(dir);
  if (matches.size() != 1) return encoded.toStdString();
  return (slash < 0 ? std::string() : encoded.left(slash + 1).toStdString()) + matches.front();
}

QString ShownFileName(const std::string& name) { return QFile::decodeName(QByteArray::fromStdString(name)); }

bool IsRegularFile(const QString& path) {
  struct stat st {};
  return stat(QFile::encodeName(path).constData(), &st) == 0 && S_ISREG(st.st_mode);
}

bool ExistsAsOtherThanFile(const QString& path) {
  struct stat st {};
  return lstat(QFile::encodeName(path).constData(), &st) == 0 && !IsRegularFile(path);
}
