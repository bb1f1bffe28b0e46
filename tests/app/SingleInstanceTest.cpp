#include <gtest/gtest.h>
#include <sys/socket.h>
#include <sys/stat.h>
#include <sys/un.h>
#include <unistd.h>

#include <QCoreApplication>
#include <QDir>
#include <QFileInfo>
#include <cstring>

#include "XdgFolders.h"
#include "app/SingleInstance.h"

namespace {

bool IsSocket(const QString& path) {
  struct stat st {};
  return lstat(QFile::encodeName(path).constData(), &st) == 0 && S_ISSOCK(st.st_mode);
}

// Permission bits of a file.
mode_t Mode(const QString& path) {
  struct stat st {};
  return lstat(QFile::encodeName(path).constData(), &st) == 0 ? st.st_mode & 0777 : 0777;
}

// What the running copy was handed, once the event loop has read it.
class KReceived {
 public:
  explicit KReceived(KSingleInstance& first) {
    QObject::connect(&first, &KSingleInstance::FileReceived, [this](const QByteArray& path) { paths_ << path; });
  }
  // Reads whatever later copies sent; a copy that sent nothing leaves it empty.
  QByteArrayList Paths(qsizetype expected) {
    for (int round = 0; round < 1000 && paths_.size() < expected; ++round) QCoreApplication::processEvents();
    for (int round = 0; round < 20; ++round) QCoreApplication::processEvents();
    return paths_;
  }

 private:
  QByteArrayList paths_;
};

class SingleInstanceTest : public testing::Test {
 protected:
  KXdgFolders xdg_;
};

TEST_F(SingleInstanceTest, TheSocketIsNamedAfterTheMarkerInTheRuntimeFolder) {
  EXPECT_EQ(KSingleInstance::SocketName(), "DRN-Melotrix-System-7-40518276");
  EXPECT_EQ(KSingleInstance::SocketPath(), xdg_.Runtime() + "/DRN-Melotrix-System-7-40518276");
  KSingleInstance first;
  ASSERT_EQ(first.Claim(), KClaim::First) << first.Error().toStdString();
  EXPECT_TRUE(IsSocket(KSingleInstance::SocketPath()));
  EXPECT_EQ(Mode(KSingleInstance::SocketPath()) & 077, 0u);  // this user's only
}

TEST_F(SingleInstanceTest, WithoutAUsableRuntimeFolderAFolderOfOurOwnInTempIsUsed) {
  TempDir temp;
  KEnvironmentValue tmp("TMPDIR", temp.Path());
  const QString own = QString::fromStdString(temp / "melotrix-") + QString::number(getuid());
  for (const std::string& runtime : {std::string(), std::string("relative/run"), temp / "shared"}) {
    QDir().mkpath(QString::fromStdString(temp / "shared"));
    chmod((temp / "shared").c_str(), 0777);
    KEnvironmentValue value("XDG_RUNTIME_DIR", runtime);
    EXPECT_EQ(KSingleInstance::SocketPath(), own + "/DRN-Melotrix-System-7-40518276") << runtime;
  }
  struct stat st {};
  ASSERT_EQ(stat(QFile::encodeName(own).constData(), &st), 0);
  EXPECT_EQ(st.st_mode & 0777, 0700u);

  // A folder under that name that others may write to is not ours.
  chmod(QFile::encodeName(own).constData(), 0777);
  KEnvironmentValue none("XDG_RUNTIME_DIR", "");
  EXPECT_TRUE(KSingleInstance::SocketPath().isEmpty());
  KSingleInstance first;
  EXPECT_EQ(first.Claim(), KClaim::Failed);
  EXPECT_FALSE(first.Error().isEmpty());
}

TEST_F(SingleInstanceTest, ASecondCopyWithoutAFileIsRefused) {
  KSingleInstance first;
  ASSERT_EQ(first.Claim(), KClaim::First);
  KReceived received(first);
  KSingleInstance second;
  EXPECT_EQ(second.Claim(), KClaim::SecondCopy);
  EXPECT_TRUE(received.Paths(0).isEmpty());
  // The first copy still answers.
  KSingleInstance third;
  EXPECT_EQ(third.Claim(), KClaim::SecondCopy);
}

TEST_F(SingleInstanceTest, ASecondCopyHandsItsFileToTheRunningOne) {
  KSingleInstance first;
  ASSERT_EQ(first.Claim(), KClaim::First);
  KReceived received(first);
  // Names go over as the file system's bytes, UTF-8 or not.
  const QByteArray utf8 = QFile::encodeName(xdg_.Data()) + "/Voice, take 2 \xc3\xa4.wav";
  const QByteArray latin1 = QFile::encodeName(xdg_.Data()) + "/lat\xe9n.wav";
  KSingleInstance second, third;
  EXPECT_EQ(second.Claim(utf8), KClaim::HandedOver);
  EXPECT_EQ(third.Claim(latin1), KClaim::HandedOver);
  EXPECT_EQ(received.Paths(2), QByteArrayList({utf8, latin1}));
}

TEST_F(SingleInstanceTest, ASocketLeftByACrashedCopyIsTakenOver) {
  const QByteArray path = QFile::encodeName(KSingleInstance::SocketPath());
  const int fd = socket(AF_UNIX, SOCK_STREAM, 0);
  sockaddr_un address{};
  address.sun_family = AF_UNIX;
  std::strncpy(address.sun_path, path.constData(), sizeof address.sun_path - 1);
  ASSERT_EQ(bind(fd, reinterpret_cast<sockaddr*>(&address), sizeof address), 0);
  close(fd);
  ASSERT_TRUE(IsSocket(path));

  KSingleInstance first;
  ASSERT_EQ(first.Claim(), KClaim::First) << first.Error().toStdString();
  KSingleInstance second;
  EXPECT_EQ(second.Claim(), KClaim::SecondCopy);
}

TEST_F(SingleInstanceTest, AfterReleaseTheNextCopyRuns) {
  KSingleInstance first;
  ASSERT_EQ(first.Claim(), KClaim::First);
  first.Release();
  EXPECT_FALSE(QFileInfo::exists(KSingleInstance::SocketPath()));
  KSingleInstance second;
  EXPECT_EQ(second.Claim(), KClaim::First);
  {
    KSingleInstance third;
    EXPECT_EQ(third.Claim(), KClaim::SecondCopy);
  }
  // A refused copy leaves the running one's socket alone.
  KSingleInstance fourth;
  EXPECT_EQ(fourth.Claim(), KClaim::SecondCopy);
}

}  // namespace
