// The desktop's knowledge of MXV voice files, kept current at every start:
// a shared-mime-info package for the type (and the sound types the system may
// lack), a desktop entry that opens such files with this program, and the
// program's icon, all under the user's data folder. Both texts are the ones
// an install puts into the system's data folders (resources/), so that the
// per-user files replace the installed ones rather than doubling them. Each
// file is rewritten only when its text changed, and the MIME database is
// rebuilt when the package changed.
#pragma once

#include <QByteArray>
#include <QString>
#include <QStringList>

#include "platform/Status.h"

// $XDG_DATA_HOME, else ~/.local/share.
QString DataHome();
// The absolute folders of $XDG_DATA_DIRS, else /usr/local/share and /usr/share.
QStringList DataDirs();

struct KFileTypeFiles {
  QString MimePackage;   // mime/packages/melotrix-mxv.xml
  QString DesktopEntry;  // applications/melotrix.desktop
  QString Icon;          // icons/hicolor/256x256/apps/melotrix.png
};
KFileTypeFiles FileTypeFiles(const QString& dataHome);

// The installed MIME package: "Melotrix Voice File" with globs *.mxv and
// *.MXV and magic "Melotrix Format" at offset 0, and the sound types the
// window opens that shared-mime-info does not define.
QByteArray MimePackageText();
// The installed desktop entry with its TryExec and Exec naming `programPath`;
// empty when the path holds a control character no desktop entry can carry.
QByteArray DesktopEntryText(const QString& programPath);

// Writes the three files under `dataHome` for the program at `programPath`,
// then runs update-mime-database when it is installed. Nothing is written
// when the first of `dataDirs` to hold the desktop entry installed this very
// program with its MIME package, or the entry starts another program that
// exists (a per-user entry would hide it), nor when the per-user entry starts
// another program that exists. Start-up ignores the result; it names the
// first step that failed.
KStatus KAddToWin32RegKey(const QString& programPath, const QString& dataHome = DataHome(),
                          const QStringList& dataDirs = DataDirs());
