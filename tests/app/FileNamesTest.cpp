// Names reach the voices as the file system's bytes, from the command line,
// a drop and the file dialog alike, UTF-8 or not.
#include <gtest/gtest.h>
#include <unistd.h>

#include <QFile>
#include <fstream>

#include "app/FileNames.h"
#include "support/TempDir.h"

namespace {

TEST(FileNames, EveryWayInGivesTheBytes) {
  TempDir dir;
  const std::string latin1 = dir / "lat\xe9n 1.wav";
  std::ofstream(latin1) << "x";
  const QByteArray folder = QByteArray::fromStdString(dir.Path());
  EXPECT_EQ(ArgumentFileName(latin1.c_str()), latin1);
  ASSERT_EQ(chdir(dir.Path().c_str()), 0);
  EXPECT_EQ(ArgumentFileName("lat\xe9n 1.wav"), latin1);
  EXPECT_EQ(UrlFileName(QUrl::fromEncoded("file://" + folder + "/lat%E9n%201.wav")), latin1);
  EXPECT_EQ(UrlFileName(QUrl::fromLocalFile(QString::fromUtf8(folder + "/\xc3\xa4.wav"))), dir / "\xc3\xa4.wav");
  // The dialog's text of the Latin-1 name has U+FFFD in place of the byte.
  const QString shown = ShownFileName(latin1);
  ASSERT_TRUE(shown.contains(QChar::ReplacementCharacter));
  EXPECT_EQ(ChosenFileName(shown), latin1);
  EXPECT_EQ(ChosenFileName(QString::fromUtf8(folder + "/new \xc3\xa4.wav")), dir / "new \xc3\xa4.wav");
  EXPECT_EQ(ChosenFileName(ShownFileName(dir / "gone\xe9.wav")),
            QFile::encodeName(ShownFileName(dir / "gone\xe9.wav")).toStdString());
}

}  // namespace
