// The desktop's knowledge of MXV voice files, kept current at every start:
// a shared-mime-info package for the type, a desktop entry that opens such
// files with this program, and the program's icon, all under the user's
// data folder. Each file is rewritten only when its text changed, and the
// MIME database is rebuilt when the package changed.
#pragma once

#include <QByteArray>
#include <QString>

#include "platform/Status.h"

constexpr const char* kMxvMimeType = "application/x-melotrix-mxv";

// $XDG_DATA_HOME, else ~/.local/share.
QString DataHome();

struct KFileTypeFiles {
  QString MimePackage;   // mime/packages/melotrix-mxv.xml
  QString DesktopEntry;  // applications/melotrix.desktop
  QString Icon;          // icons/hicolor/256x256/apps/melotrix.png
};
KFileTypeFiles FileTypeFiles(const QString& dataHome);

// The type "Melotrix Voice File": globs *.mxv and *.MXV, magic "Melotrix Format" at offset 0.
QByteArray MimePackageText();
// The desktop entry starting `programPath` with the file to open; empty when
// the path holds a control character no desktop entry can carry.
QByteArray DesktopEntryText(const QString& programPath);

// Writes the three files under `dataHome` for the program at `programPath`,
// then runs update-mime-database when it is installed. Start-up ignores the
// result; it names the first step that failed.
KStatus KAddToWin32RegKey(const QString& programPath, const QString& dataHome = DataHome());
