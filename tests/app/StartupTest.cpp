// What start-up sets up, and the names of files as they come in.
#include <QGuiApplication>
#include <cstdio>
#include <cstring>

#include "AppFixture.h"
#include "app/FileNames.h"
#include "app/Screen.h"
#include "app/Signals.h"
#include "app/SingleInstance.h"
#include "app/Title.h"

namespace {

// In the runtime folder, or else in a folder of the temporary folder that is
// the user's own; never in one others may write to.
TEST(SingleInstance, TheSocketLiesInAFolderOfTheUsersOwn) {
  KDesktop desktop;
  const QString name = "/DRN-Melotrix-System-7-40518276";
  EXPECT_EQ(KSingleInstance::SocketPath(), desktop.Path("runtime") + name);
  {
    KSingleInstance first;
    ASSERT_EQ(first.Claim(), KClaim::First) << first.Error().toStdString();
    const auto socket = std::filesystem::status(KSingleInstance::SocketPath().toStdString());
    EXPECT_EQ(std::make_pair(socket.type(), socket.permissions() & std::filesystem::perms(077)),
              std::make_pair(std::filesystem::file_type::socket, std::filesystem::perms::none));
  }
  KEnvironmentValue tmp("TMPDIR", desktop / "home");
  const QString own = desktop.Path("home/melotrix-") + QString::number(getuid());
  chmod((desktop / "cache").c_str(), 0777);
  for (const std::string& runtime : {std::string(), std::string("relative/run"), desktop / "cache"}) {
    KEnvironmentValue value("XDG_RUNTIME_DIR", runtime);
    EXPECT_EQ(KSingleInstance::SocketPath(), own + name) << runtime;
  }
  EXPECT_EQ(std::filesystem::status(own.toStdString()).permissions(), std::filesystem::perms(0700));
  chmod(QFile::encodeName(own).constData(), 0777);
  KEnvironmentValue none("XDG_RUNTIME_DIR", "");
  KSingleInstance refused;
  EXPECT_EQ(refused.Claim(), KClaim::Failed);
  EXPECT_FALSE(refused.Error().isEmpty());
}

// The first takes the place of what a crashed copy left; later copies are
// refused or hand over their file (bytes) in order; after Release one runs.
TEST(SingleInstance, LaterCopiesAreRefusedOrHandOverTheirFile) {
  KDesktop desktop;
  std::ofstream(KSingleInstance::SocketPath().toStdString()) << "left";
  KSingleInstance first;
  ASSERT_EQ(first.Claim(), KClaim::First) << first.Error().toStdString();
  QByteArrayList received;
  QObject::connect(&first, &KSingleInstance::FileReceived, [&](const QByteArray& file) { received << file; });
  const QByteArrayList files = {"/home/Voice, take 2 \xc3\xa4.wav", "/home/lat\xe9n.wav"};
  for (const QByteArray& file : {QByteArray(), files[0], QByteArray(), files[1]}) {
    KSingleInstance later;
    EXPECT_EQ(later.Claim(file), file.isEmpty() ? KClaim::SecondCopy : KClaim::HandedOver) << file.toStdString();
  }
  for (int round = 0; round < 1000 && received.size() < files.size(); ++round) QCoreApplication::processEvents();
  for (int round = 0; round < 20; ++round) QCoreApplication::processEvents();  // nothing more comes
  EXPECT_EQ(received, files);
  first.Release();
  KSingleInstance next;
  EXPECT_EQ(next.Claim(), KClaim::First);
}

bool gOldHandlerRan = false;
void OldHandler(int) { gOldHandlerRan = true; }

// One object catches the signals at a time; the old handlers come back after it.
TEST(QuitSignals, TheOldHandlersComeBack) {
  struct sigaction saved = {}, own = {};
  own.sa_handler = OldHandler;
  sigaction(SIGHUP, &own, &saved);
  {
    KQuitSignals quit;
    ASSERT_TRUE(quit.Ok()) << quit.Error().toStdString();
    EXPECT_FALSE(KQuitSignals().Ok());
  }
  raise(SIGHUP);
  EXPECT_TRUE(gOldHandlerRan);
  sigaction(SIGHUP, &saved, nullptr);
  EXPECT_TRUE(KQuitSignals().Ok());
}

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
  std::vector<int> closed{0};
  {
    KDeactivationHook hook([&] { ++closed.back(); });
    for (auto state : {Qt::ApplicationActive, Qt::ApplicationInactive, Qt::ApplicationHidden, Qt::ApplicationActive,
                       Qt::ApplicationSuspended, Qt::ApplicationActive}) {
      emit qGuiApp->applicationStateChanged(state);
      closed.push_back(closed.back());
    }
  }
  emit qGuiApp->applicationStateChanged(Qt::ApplicationInactive);
  EXPECT_EQ(closed, (std::vector<int>{0, 1, 1, 1, 2, 2, 2}));
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

#ifdef MELOTRIX_PATH
// --help and --version print and exit before the window system is needed.
TEST(CommandLine, HelpAndVersionNeedNoDisplay) {
  for (auto [argument, start] : {std::pair{"--help", "Usage:\n  melotrix [FILE]\n"},
                                 {"-h", "Usage:"},
                                 {"--version", "melotrix " MELOTRIX_VERSION "\n"}}) {
    const std::string command =
        std::string("env -u DISPLAY -u WAYLAND_DISPLAY -u QT_QPA_PLATFORM '") + MELOTRIX_PATH + "' " + argument;
    FILE* pipe = popen(command.c_str(), "r");
    ASSERT_NE(pipe, nullptr);
    std::string output;
    char buffer[4096];
    for (size_t got; (got = fread(buffer, 1, sizeof buffer, pipe)) > 0;) output.append(buffer, got);
    EXPECT_EQ(pclose(pipe), 0) << argument;
    EXPECT_EQ(output.substr(0, std::strlen(start)), start) << argument;
  }
}
#endif

}  // namespace
