#include "app/FileTypes.h"

#include <QBuffer>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QProcess>
#include <QSaveFile>
#include <QStandardPaths>

#include "app/FileNames.h"
#include "display/paint/Artwork.h"

namespace {

constexpr int kIconSize = 256;
constexpr int kUpdateWaitMs = 30000;
// A desktop entry is a few hundred bytes: a larger file is read no further.
constexpr qint64 kMaxEntryBytes = 64 * 1024;
constexpr const char* kEntryName = "/applications/melotrix.desktop";
constexpr const char* kPackageName = "/mime/packages/melotrix-mxv.xml";

// One of the texts an install puts into the system's data folders, compiled in.
QByteArray InstalledText(const char* name) {
  QFile file(QString(":/filetypes/") + name);
  return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
}

// Characters that need a backslash inside a quoted argument of Exec.
bool IsExecReserved(QChar c) { return c == u'"' || c == u'`' || c == u'$' || c == u'\\'; }

// The program path as one quoted argument of Exec, then escaped as a desktop
// entry string: a backslash in the path ends up as four.
QString ExecArgument(const QString& path) {
  QString quoted = "\"";
  for (QChar c : path) {
    if (IsExecReserved(c)) quoted += u'\\';
    if (c == u'%') quoted += u'%';
    quoted += c;
  }
  quoted += u'"';
  return quoted.replace(u'\\', QString("\\\\"));
}

// A desktop entry string with its escapes (\s, \n, \t, \r, \\) undone.
QString Unescaped(const QString& value) {
  QString text;
  for (qsizetype i = 0; i < value.size(); ++i) {
    QChar c = value[i];
    if (c == u'\\' && i + 1 < value.size()) {
      c = value[++i];
      c = c == u's' ? QChar(u' ') : c == u'n' ? QChar(u'\n') : c == u't' ? QChar(u'\t') : c == u'r' ? QChar(u'\r') : c;
    }
    text += c;
  }
  return text;
}

// The program word of an Exec value: a quoted argument with its backslashes
// undone, or the text up to the first blank; "%%" stands for "%".
QString ExecProgram(const QString& exec) {
  if (!exec.startsWith(u'"')) return exec.section(u' ', 0, 0).replace("%%", "%");
  QString word;
  for (qsizetype i = 1; i < exec.size() && exec[i] != u'"'; ++i) {
    if (exec[i] == u'\\' && i + 1 < exec.size()) ++i;
    word += exec[i];
  }
  return word.replace("%%", "%");
}

// The program file the desktop entry at `path` starts: the program word of
// its Exec, looked up on PATH when it names no folder. Empty when there is no
// such entry or the word names no executable file.
QString EntryProgram(const QString& path) {
  QFile file(path);
  if (!IsRegularFile(path) || !file.open(QIODevice::ReadOnly)) return QString();
  QString exec;
  for (const QByteArray& line : file.read(kMaxEntryBytes).split('\n'))
    if (line.startsWith("Exec=")) exec = Unescaped(QString::fromUtf8(line.mid(5)).trimmed());
  QString program = ExecProgram(exec);
  if (!program.contains(u'/')) program = QStandardPaths::findExecutable(program);
  const QFileInfo info(program);
  return !program.isEmpty() && info.isFile() && info.isExecutable() ? info.canonicalFilePath() : QString();
}

// True when the user's files are left as they are: the system's entry (the
// first data folder's that holds one, as the desktop finds it) installed this
// program with its MIME package, or starts another program that a per-user
// entry would hide; or the per-user entry starts another program. An entry
// whose program is gone counts for nothing.
bool LeftAsItIs(const QString& programPath, const QString& dataHome, const QStringList& dataDirs) {
  const QFileInfo self(programPath);
  const QString me = self.exists() ? self.canonicalFilePath() : QDir::cleanPath(programPath);
  for (const QString& dir : dataDirs) {
    if (!QFileInfo::exists(dir + kEntryName)) continue;
    const QString program = EntryProgram(dir + kEntryName);
    if (program == me && QFileInfo::exists(dir + kPackageName)) return true;
    if (!program.isEmpty() && program != me) return true;
    break;
  }
  const QString program = EntryProgram(dataHome + kEntryName);
  return !program.isEmpty() && program != me;
}

QByteArray IconPng() {
  QByteArray png;
  QBuffer buffer(&png);
  buffer.open(QIODevice::WriteOnly);
  GlyphImage(KGlyph::Logo, QSize(kIconSize, kIconSize)).save(&buffer, "PNG");
  return png;
}

// Writes `text` to `path` unless the file holds it already. `changed` tells
// whether it was written.
KStatus WriteIfChanged(const QString& path, const QByteArray& text, bool& changed) {
  changed = false;
  if (ExistsAsOtherThanFile(path)) return KStatus::Failure(path.toStdString() + " is not a regular file");
  QFile old(path);
  if (old.open(QIODevice::ReadOnly) && old.readAll() == text) return KStatus::Success();
  QSaveFile file(path);
  if (!QDir().mkpath(QFileInfo(path).path()) || !file.open(QIODevice::WriteOnly) || file.write(text) != text.size() ||
      !file.commit())
    return KStatus::Failure("cannot write " + path.toStdString());
  changed = true;
  return KStatus::Success();
}

KStatus UpdateMimeDatabase(const QString& mimeFolder) {
  const QString tool = QStandardPaths::findExecutable("update-mime-database");
  if (tool.isEmpty()) return KStatus::Success();
  QProcess process;
  process.setProcessChannelMode(QProcess::ForwardedErrorChannel);
  process.setStandardOutputFile(QProcess::nullDevice());
  process.start(tool, {mimeFolder});
  if (!process.waitForFinished(kUpdateWaitMs) || process.exitStatus() != QProcess::NormalExit ||
      process.exitCode() != 0)
    return KStatus::Failure("update-mime-database failed on " + mimeFolder.toStdString());
  return KStatus::Success();
}

}  // namespace

QString DataHome() {
  const QString data = qEnvironmentVariable("XDG_DATA_HOME");
  if (data.isEmpty() || !QDir::isAbsolutePath(data)) return QDir::homePath() + "/.local/share";
  return data;
}

QStringList DataDirs() {
  QStringList dirs;
  for (const QString& dir : qEnvironmentVariable("XDG_DATA_DIRS").split(u':'))
    if (QDir::isAbsolutePath(dir)) dirs += QDir::cleanPath(dir);
  return dirs.isEmpty() ? QStringList{"/usr/local/share", "/usr/share"} : dirs;
}

KFileTypeFiles FileTypeFiles(const QString& dataHome) {
  return {dataHome + kPackageName, dataHome + kEntryName,
          dataHome + QString("/icons/hicolor/%1x%1/apps/melotrix.png").arg(kIconSize)};
}

QByteArray MimePackageText() { return InstalledText("melotrix-mxv.xml"); }

QByteArray DesktopEntryText(const QString& programPath) {
  for (QChar c : programPath)
    if (c.category() == QChar::Other_Control) return QByteArray();
  QStringList lines = QString::fromUtf8(InstalledText("melotrix.desktop")).split(u'\n');
  for (QString& line : lines) {
    if (line.startsWith("TryExec="))
      line = "TryExec=" + QString(programPath).replace(u'\\', QString("\\\\"));
    else if (line.startsWith("Exec=")) {
      const qsizetype blank = line.indexOf(u' ');  // the arguments stay
      line = "Exec=" + ExecArgument(programPath) + (blank < 0 ? QString() : line.mid(blank));
    }
  }
  return lines.join(u'\n').toUtf8();
}

KStatus KAddToWin32RegKey(const QString& programPath, const QString& dataHome, const QStringList& dataDirs) {
  if (LeftAsItIs(programPath, dataHome, dataDirs)) return KStatus::Success();
  // Every step is tried; the first failure is the one reported.
  KStatus first;
  auto note = [&first](const KStatus& status) {
    if (first && !status) first = status;
  };
  const KFileTypeFiles files = FileTypeFiles(dataHome);
  bool packageChanged = false, changed = false;
  note(WriteIfChanged(files.MimePackage, MimePackageText(), packageChanged));
  const QByteArray desktop = DesktopEntryText(programPath);
  if (desktop.isEmpty())
    note(KStatus::Failure("no desktop entry can start " + programPath.toStdString()));
  else
    note(WriteIfChanged(files.DesktopEntry, desktop, changed));
  note(WriteIfChanged(files.Icon, IconPng(), changed));
  if (packageChanged || !QFileInfo::exists(dataHome + "/mime/mime.cache")) note(UpdateMimeDatabase(dataHome + "/mime"));
  return first;
}
