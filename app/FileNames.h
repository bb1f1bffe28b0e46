// File names as the file system's bytes. Qt turns names into Unicode text,
// which loses bytes that are not UTF-8 ("lat\xe9n.wav"); the voices take the
// bytes, so every name the window gets is brought back to them here.
#pragma once

#include <QString>
#include <QUrl>
#include <string>

// A name from the command line, made absolute against the working folder.
std::string ArgumentFileName(const char* argument);
// The local file a dropped URL names.
std::string UrlFileName(const QUrl& url);
// A name the file dialog chose. When its text cannot stand for the bytes
// (the name holds U+FFFD) the one entry of its folder that reads as that text
// is taken; a name that exists, or matches no entry, is encoded as it stands.
std::string ChosenFileName(const QString& name);
// The readable form of a name, for captions and dialogs.
QString ShownFileName(const std::string& name);

// Only regular files are read or rewritten at start-up and shutdown: opening
// a FIFO or a device would block, and a folder is no store. A link counts as
// what it points to.
bool IsRegularFile(const QString& path);
// True when something other than a regular file stands at `path`.
bool ExistsAsOtherThanFile(const QString& path);
