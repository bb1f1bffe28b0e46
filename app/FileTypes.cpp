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

// %1: the MIME type.
constexpr const char* kMimePackage = R"(<?xml version="1.0" encoding="UTF-8"?>
<mime-info xmlns="http://www.freedesktop.org/standards/shared-mime-info">
  <mime-type type="%1">
    <comment>Melotrix Voice File</comment>
    <icon name="melotrix"/>
    <magic priority="50">
      <match type="string" offset="0" value="Melotrix Format"/>
    </magic>
    <glob pattern="*.mxv"/>
    <glob pattern="*.MXV"/>
  </mime-type>
</mime-info>
)";

// %1: the program path, %2: the same as Exec's quoted argument, %3: the MIME type.
constexpr const char* kDesktopEntry = R"([Desktop Entry]
Type=Application
Name=Melotrix
GenericName=Voice Editor
Comment=Edit PCM voices for the RKM series
TryExec=%1
Exec=%2 %f
Icon=melotrix
MimeType=%3;
Terminal=false
Categories=AudioVideo;Audio;AudioVideoEditing;
X-Melotrix-Author=DRN
)";
constexpr int kUpdateWaitMs = 30000;

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

KFileTypeFiles FileTypeFiles(const QString& dataHome) {
  return {dataHome + "/mime/packages/melotrix-mxv.xml", dataHome + "/applications/melotrix.desktop",
          dataHome + QString("/icons/hicolor/%1x%1/apps/melotrix.png").arg(kIconSize)};
}

QByteArray MimePackageText() { return QString(kMimePackage).arg(kMxvMimeType).toUtf8(); }

QByteArray DesktopEntryText(const QString& programPath) {
  for (QChar c : programPath)
    if (c.category() == QChar::Other_Control) return QByteArray();
  const QString tryExec = QString(programPath).replace(u'\\', QString("\\\\"));
  return QString(kDesktopEntry).arg(tryExec, ExecArgument(programPath), kMxvMimeType).toUtf8();
}

KStatus KAddToWin32RegKey(const QString& programPath, const QString& dataHome) {
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
