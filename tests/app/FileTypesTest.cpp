#include <gtest/gtest.h>
#include <sys/stat.h>

#include <QDir>
#include <QFile>
#include <QImage>
#include <QStandardPaths>

#include "XdgFolders.h"
#include "app/FileTypes.h"

namespace {

QByteArray ReadFile(const QString& path) {
  QFile file(path);
  return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
}

ino_t Inode(const QString& path) {
  struct stat st {};
  return stat(QFile::encodeName(path).constData(), &st) == 0 ? st.st_ino : 0;
}

// The value of `key` in a desktop entry, as written.
QByteArray EntryValue(const QByteArray& entry, const QByteArray& key) {
  for (const QByteArray& line : entry.split('\n'))
    if (line.startsWith(key + "=")) return line.mid(key.size() + 1);
  return QByteArray();
}

class FileTypesTest : public testing::Test {
 protected:
  KXdgFolders xdg_;
  KFileTypeFiles files_ = FileTypeFiles(DataHome());
};

TEST_F(FileTypesTest, TheFilesLiveInTheDataHome) {
  EXPECT_EQ(files_.MimePackage, xdg_.Data() + "/mime/packages/melotrix-mxv.xml");
  EXPECT_EQ(files_.DesktopEntry, xdg_.Data() + "/applications/melotrix.desktop");
  EXPECT_EQ(files_.Icon, xdg_.Data() + "/icons/hicolor/256x256/apps/melotrix.png");
  TempDir home;
  KEnvironmentValue homeValue("HOME", home.Path());
  KEnvironmentValue unset("XDG_DATA_HOME", "");
  EXPECT_EQ(DataHome(), QString::fromStdString(home.Path()) + "/.local/share");
}

TEST_F(FileTypesTest, RegistrationWritesTheTypeTheEntryAndTheIcon) {
  ASSERT_TRUE(KAddToWin32RegKey("/opt/Melotrix Apps/melotrix").Ok);

  const QByteArray package = ReadFile(files_.MimePackage);
  EXPECT_EQ(package, MimePackageText());
  for (const char* part :
       {"type=\"application/x-melotrix-mxv\"", "<comment>Melotrix Voice File</comment>", "<glob pattern=\"*.mxv\"/>",
        "<glob pattern=\"*.MXV\"/>", "<match type=\"string\" offset=\"0\" value=\"Melotrix Format\"/>"})
    EXPECT_TRUE(package.contains(part)) << part;

  const QByteArray entry = ReadFile(files_.DesktopEntry);
  EXPECT_TRUE(entry.startsWith("[Desktop Entry]\n"));
  EXPECT_EQ(EntryValue(entry, "Type"), "Application");
  EXPECT_EQ(EntryValue(entry, "Exec"), "\"/opt/Melotrix Apps/melotrix\" %f");
  EXPECT_EQ(EntryValue(entry, "TryExec"), "/opt/Melotrix Apps/melotrix");
  EXPECT_EQ(EntryValue(entry, "MimeType"), "application/x-melotrix-mxv;");
  EXPECT_EQ(EntryValue(entry, "Icon"), "melotrix");

  const QImage icon(files_.Icon);
  EXPECT_EQ(icon.size(), QSize(256, 256));
  EXPECT_EQ(icon.pixelColor(0, 0).alpha(), 0);
  EXPECT_EQ(icon.pixelColor(128, 40).alpha(), 255);
}

TEST_F(FileTypesTest, TheMimeDatabaseIsRebuiltWhenTheToolIsInstalled) {
  if (QStandardPaths::findExecutable("update-mime-database").isEmpty()) GTEST_SKIP() << "no update-mime-database";
  ASSERT_TRUE(KAddToWin32RegKey("/usr/bin/melotrix").Ok);
  const QString mime = xdg_.Data() + "/mime";
  EXPECT_TRUE(QFileInfo::exists(mime + "/mime.cache"));
  EXPECT_TRUE(QFileInfo::exists(mime + "/application/x-melotrix-mxv.xml"));
  EXPECT_TRUE(ReadFile(mime + "/globs2").contains(":application/x-melotrix-mxv:*.mxv"));
  EXPECT_TRUE(ReadFile(mime + "/magic").contains("Melotrix Format"));
}

TEST_F(FileTypesTest, WithoutTheToolTheFilesAreStillWritten) {
  KEnvironmentValue path("PATH", "");
  EXPECT_TRUE(KAddToWin32RegKey("/usr/bin/melotrix").Ok);
  EXPECT_TRUE(QFileInfo::exists(files_.MimePackage));
  EXPECT_FALSE(QFileInfo::exists(xdg_.Data() + "/mime/mime.cache"));
}

TEST_F(FileTypesTest, OnlyChangedFilesAreRewritten) {
  ASSERT_TRUE(KAddToWin32RegKey("/usr/bin/melotrix").Ok);
  const ino_t package = Inode(files_.MimePackage), icon = Inode(files_.Icon);
  {
    QFile entry(files_.DesktopEntry);
    ASSERT_TRUE(entry.open(QIODevice::WriteOnly));
    entry.write("[Desktop Entry]\nExec=/somewhere/else\n");
  }
  ASSERT_TRUE(KAddToWin32RegKey("/usr/local/bin/melotrix").Ok);
  EXPECT_EQ(EntryValue(ReadFile(files_.DesktopEntry), "Exec"), "\"/usr/local/bin/melotrix\" %f");
  EXPECT_EQ(Inode(files_.MimePackage), package);
  EXPECT_EQ(Inode(files_.Icon), icon);
}

TEST(DesktopEntry, TheProgramPathIsQuotedAsTheEntryFormatWants) {
  const QByteArray entry = DesktopEntryText("/home/a$b/\"q\"/back\\slash/100%/`x`/melotrix");
  EXPECT_EQ(EntryValue(entry, "Exec"),
            "\"/home/a\\\\$b/\\\\\"q\\\\\"/back\\\\\\\\slash/100%%/\\\\`x\\\\`/melotrix\" %f");
  EXPECT_EQ(EntryValue(entry, "TryExec"), "/home/a$b/\"q\"/back\\\\slash/100%/`x`/melotrix");
  EXPECT_EQ(EntryValue(DesktopEntryText("/opt/\u00e4/melotrix"), "Exec"), "\"/opt/\u00e4/melotrix\" %f");
  EXPECT_TRUE(DesktopEntryText("/opt/new\nline/melotrix").isEmpty());
}

TEST_F(FileTypesTest, FailuresAreReportedButTheRestIsDone) {
  const KStatus status = KAddToWin32RegKey("/opt/new\nline/melotrix");
  EXPECT_FALSE(status.Ok);
  EXPECT_TRUE(QFileInfo::exists(files_.MimePackage));
  EXPECT_TRUE(QFileInfo::exists(files_.Icon));
  EXPECT_FALSE(QFileInfo::exists(files_.DesktopEntry));

  const QString plain = xdg_.Data() + "/plain";
  QFile file(plain);
  ASSERT_TRUE(file.open(QIODevice::WriteOnly));
  file.close();
  EXPECT_FALSE(KAddToWin32RegKey("/usr/bin/melotrix", plain).Ok);
}

}  // namespace
