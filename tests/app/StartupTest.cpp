// What start-up sets up: one copy per user (what a later copy finds and
// hands over), the quit signals, the window's place, the deactivation hook,
// and the names of files as they come in.
#include <gtest/gtest.h>
#include <sys/socket.h>
#include <sys/un.h>
#include <unistd.h>

#include <QFileInfo>
#include <QGuiApplication>
#include <cstring>
#include <fstream>

#include "AppFixture.h"
#include "app/FileNames.h"
#include "app/Screen.h"
#include "app/Signals.h"
#include "app/SingleInstance.h"
#include "app/Title.h"

namespace {

mode_t Mode(const QString& path) {
  struct stat st {};
  return lstat(QFile::encodeName(path).constData(), &st) == 0 ? st.st_mode : 0;
}

// In the runtime folder, or else in a folder of the temporary folder that is
// the user's own; never in one others may write to.
TEST(SingleInstance, TheSocketLiesInAFolderOfTheUsersOwn) {
  KDesktop desktop;
  EXPECT_EQ(KSingleInstance::SocketPath(), desktop.Path("runtime") + "/DRN-Melotrix-System-7-40518276");
  {
    KSingleInstance first;
    ASSERT_EQ(first.Claim(), KClaim::First) << first.Error().toStdString();
    EXPECT_TRUE(S_ISSOCK(Mode(KSingleInstance::SocketPath())));
    EXPECT_EQ(Mode(KSingleInstance::SocketPath()) & 077, 0u);
  }
  KEnvironmentValue tmp("TMPDIR", desktop / "home");
  const QString own = desktop.Path("home/melotrix-") + QString::number(getuid());
  chmod((desktop / "cache").c_str(), 0777);
  for (const std::string& runtime : {std::string(), std::string("relative/run"), desktop / "cache"}) {
    KEnvironmentValue value("XDG_RUNTIME_DIR", runtime);
    EXPECT_EQ(KSingleInstance::SocketPath(), own + "/DRN-Melotrix-System-7-40518276") << runtime;
  }
  EXPECT_EQ(Mode(own) & 0777, 0700u);
  chmod(QFile::encodeName(own).constData(), 0777);
  KEnvironmentValue none("XDG_RUNTIME_DIR", "");
  EXPECT_TRUE(KSingleInstance::SocketPath().isEmpty());
  KSingleInstance refused;
  EXPECT_EQ(refused.Claim(), KClaim::Failed);
  EXPECT_FALSE(refused.Error().isEmpty());
}

// The first copy takes over a socket a crashed copy left; later copies are
// refused, or hand over their file (the file system's bytes, UTF-8 or not)
// in order; a refused copy leaves the first's socket alone, and once the
// first has let go the next copy runs.
TEST(SingleInstance, LaterCopiesAreRefusedOrHandOverTheirFile) {
  KDesktop desktop;
  const QByteArray path = QFile::encodeName(KSingleInstance::SocketPath());
  const int fd = socket(AF_UNIX, SOCK_STREAM, 0);
  sockaddr_un address{};
  address.sun_family = AF_UNIX;
  std::strncpy(address.sun_path, path.constData(), sizeof address.sun_path - 1);
  ASSERT_EQ(bind(fd, reinterpret_cast<sockaddr*>(&address), sizeof address), 0);
  close(fd);

  KSingleInstance first;
  ASSERT_EQ(first.Claim(), KClaim::First) << first.Error().toStdString();
  QByteArrayList received;
  QObject::connect(&first, &KSingleInstance::FileReceived, [&](const QByteArray& file) { received << file; });
  const QByteArrayList files = {QFile::encodeName(desktop.Path("home")) + "/Voice, take 2 \xc3\xa4.wav",
                                QFile::encodeName(desktop.Path("home")) + "/lat\xe9n.wav"};
  for (const QByteArray& file : {QByteArray(), files[0], QByteArray(), files[1]}) {
    KSingleInstance later;
    EXPECT_EQ(later.Claim(file), file.isEmpty() ? KClaim::SecondCopy : KClaim::HandedOver) << file.toStdString();
  }
  for (int round = 0; round < 1000 && received.size() < files.size(); ++round) QCoreApplication::processEvents();
  for (int round = 0; round < 20; ++round) QCoreApplication::processEvents();  // nothing more comes
  EXPECT_EQ(received, files);
  first.Release();
  EXPECT_FALSE(QFileInfo::exists(KSingleInstance::SocketPath()));
  KSingleInstance next;
  EXPECT_EQ(next.Claim(), KClaim::First);
}

bool gOldHandlerRan = false;
void OldHandler(int) { gOldHandlerRan = true; }

// Each signal ends the event loop on its own pass, not inside the handler;
// one object catches them at a time, and the old handlers come back after it.
TEST(QuitSignals, EachEndsTheEventLoopAndTheOldHandlersComeBack) {
  struct sigaction own {
  }, saved{};
  own.sa_handler = OldHandler;
  sigemptyset(&own.sa_mask);
  sigaction(SIGHUP, &own, &saved);
  {
    KQuitSignals quit;
    ASSERT_TRUE(quit.Ok()) << quit.Error().toStdString();
    EXPECT_FALSE(KQuitSignals().Ok());
    std::vector<int> received;
    QObject::connect(&quit, &KQuitSignals::Received, [&](int number) { received.push_back(number); });
    QTimer guard;  // only a loop that the signal does not end runs into this
    QObject::connect(&guard, &QTimer::timeout, [] { QCoreApplication::exit(1); });
    for (int signalNumber : {SIGTERM, SIGINT, SIGHUP}) {
      raise(signalNumber);
      EXPECT_EQ(quit.QuitRequested(), signalNumber != SIGTERM);
      guard.start(60000);
      EXPECT_EQ(QCoreApplication::exec(), 0) << signalNumber;
    }
    EXPECT_EQ(received, (std::vector<int>{SIGTERM, SIGINT, SIGHUP}));
  }
  gOldHandlerRan = false;
  raise(SIGHUP);
  EXPECT_TRUE(gOldHandlerRan);
  sigaction(SIGHUP, &saved, nullptr);
  KQuitSignals again;
  EXPECT_TRUE(again.Ok()) << again.Error().toStdString();
}

// The window moves to the corner and keeps its size; only an exactly
// 640-pixel display is warned about.
TEST(Screen, TheWindowMovesToTheCornerAndOnly640PixelsWarn) {
  QWidget window;
  QStringList warnings;
  for (int width : {0, 639, 640, 641, 3840}) {
    window.setGeometry(120, 80, 793, 526);
    PlaceMainWindow(window, width, [&](const QString& text) { warnings << QString::number(width) + text; });
    EXPECT_EQ(std::make_pair(window.pos(), window.size()), std::make_pair(QPoint(0, 0), QSize(793, 526))) << width;
  }
  EXPECT_EQ(warnings, QStringList{"640" + QString(kResolutionMessage)});
}

// Runs each time the application leaves the active state, while it lives.
TEST(DeactivationHook, FollowsTheApplicationsStateSignal) {
  int closed = 0;
  std::vector<int> counts;
  {
    KDeactivationHook hook([&] { ++closed; });
    for (auto state : {Qt::ApplicationActive, Qt::ApplicationInactive, Qt::ApplicationHidden, Qt::ApplicationActive,
                       Qt::ApplicationSuspended, Qt::ApplicationActive}) {
      emit qGuiApp->applicationStateChanged(state);
      counts.push_back(closed);
    }
  }
  emit qGuiApp->applicationStateChanged(Qt::ApplicationInactive);
  EXPECT_EQ(counts, (std::vector<int>{0, 1, 1, 1, 2, 2}));
  EXPECT_EQ(closed, 2);
}

// Names reach the voices as the file system's bytes, from the command line,
// a drop and the file dialog alike, UTF-8 or not.
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
  const QString gone = ShownFileName(dir / "gone\xe9.wav");
  EXPECT_EQ(ChosenFileName(gone), QFile::encodeName(gone).toStdString());
  ASSERT_EQ(chdir("/"), 0);
}

}  // namespace
